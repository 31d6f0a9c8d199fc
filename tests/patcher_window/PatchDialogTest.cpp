// The patch dialog in a real window under Xvfb, patching from nginx on
// loopback: what it shows, real clicks and keys, and the hand-over.
#include <gtest/gtest.h>

#include <FL/Fl_BMP_Image.H>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

#include "patcher/PatchStrings.h"
#include "patcher/ZEMBitmapButton.h"
#include "patcher/ZEMPatchDlg.h"
#include "patcher/ZEMStaticEx.h"
#include "platform/Dialog.h"
#include "platform/Ini.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "tests/patcher/PatchTestSupport.h"
#include "tests/patcher_window/PatchWindowSupport.h"
#include "tests/servers/LocalHttpServer.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kQuestion = "Are you sure to cancel the patch?";

class PatchDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::StartDialogs()) << "no display";
        platform::SetDialogHook([this](const platform::DialogBox& box) {
            std::lock_guard<std::mutex> lock(m_mutex);
            boxes.push_back(box);
            return answer;
        });
    }
    void TearDown() override {
        dialog.reset();
        // The window's end reaches the X server now, not with some later request.
        Fl::check();
        platform::SetDialogHook(nullptr);
    }

    // Versions A and B on nginx; slow: a 6 MB file of B that arrives at 1 MB/s.
    void StartSite(bool slow) {
        if (slow) http.AddLocation("location = /patch/BIG.DAT { limit_rate 1m; }");
        ASSERT_TRUE(http.Start()) << ReadFileText(site.work + "/nginx-error.log");
        ASSERT_TRUE(site.MakeVersions(Server(), false));
        if (slow) {
            tmp.Write("A/BIG.DAT", std::string(1000, 'a'));
            tmp.Write("B/BIG.DAT", std::string(6 << 20, 'b'));
        }
    }
    std::string Server() const { return "127.0.0.1:" + std::to_string(http.Port()); }
    // A [PATCH] key of both versions, so that the patch does not replace VAZE.INI.
    void SetPatchKey(const std::string& key, const std::string& value) {
        ASSERT_TRUE(platform::WriteProfileString("PATCH", key, value, site.a + "/VAZE.INI"));
        ASSERT_TRUE(platform::WriteProfileString("PATCH", key, value, site.b + "/VAZE.INI"));
    }
    void Open() {
        dialog = std::make_unique<CZEMPatchDlg>(kLanguageEnglish);
        ASSERT_TRUE(dialog->LoadPatchConfig("QOR", site.game));
        dialog->OnInitDialog();
        ASSERT_TRUE(PumpUntil(5000, [&] { return dialog->shown() && WindowId(*dialog) != 0; }));
        Settle();
    }
    uint32_t Flags() { return dialog->Engine().Flags(); }
    // The worker has ended and its hand-over ran.
    bool HandedOver() {
        return PumpUntil(60000, [&] {
            return dialog->Ended() || ((Flags() & PATCH_FLAG_WORKER_DONE) && !dialog->Engine().WorkerRunning());
        });
    }
    bool Patching() {
        return PumpUntil(20000, [&] {
            std::error_code ec;
            return fs::file_size(site.game + "/BIG.DAT.part", ec) > 0 && !ec;
        });
    }
    std::vector<platform::DialogBox> Boxes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return boxes;
    }
    int Questions() {
        int n = 0;
        for (const auto& b : Boxes()) n += b.question && b.text == kQuestion && b.title == "Patch Message";
        return n;
    }
    int CenterX(const LayoutRect& r) { return r.x + r.w / 2; }
    int CenterY(const LayoutRect& r) { return r.y + r.h / 2; }

    PatchTestEnvironment env;
    TempFolder tmp;
    CPatchSite site{tmp.path()};
    CLocalHttpServer http{site.www, site.work};
    std::unique_ptr<CZEMPatchDlg> dialog;
    bool answer = false;
    std::vector<platform::DialogBox> boxes;
    std::mutex m_mutex;
};

}  // namespace

TEST_F(PatchDialogTest, ShowsSkinNoticeButtonsAndFollowsTheEngine) {
    StartSite(false);
    SetPatchKey("NOTICE_URL", "");
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    tmp.Write("game/DefaultNotice.htm", "<html><body bgcolor=\"#00FF00\"><p>local</p></body></html>");
    Open();
    EXPECT_STREQ(dialog->label(), "Morvane");
    const DialogLayout& layout = dialog->Layout();
    EXPECT_EQ(dialog->w(), 691);
    EXPECT_EQ(dialog->h(), 537);
    ASSERT_TRUE(HandedOver());
    ASSERT_FALSE(dialog->Ended()) << dialog->Engine().ErrorText();
    ASSERT_NE(Flags() & PATCH_FLAG_FINISHED, 0u);
    EXPECT_EQ(dialog->StatusLabel(), "Patch finished");
    EXPECT_GT(dialog->TotalBarMaximum(), 1.0);
    EXPECT_EQ(dialog->TotalBarValue(), dialog->TotalBarMaximum());
    EXPECT_TRUE(dialog->RepatchButton().active());
    EXPECT_EQ(dialog->StartButton().OutId(), 137);
    Settle();

    Screenshot shot = TakeScreenshot(*dialog);
    ASSERT_EQ(shot.width, 691);
    Fl_BMP_Image logo((site.game + "/PATCHLOGO.BMP").c_str());
    ASSERT_EQ(logo.w(), 691);
    auto logoAt = [&](int x, int y) {
        const uchar* p = reinterpret_cast<const uchar*>(logo.data()[0]) + (static_cast<size_t>(y) * 691 + x) * 3;
        return static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
    };
    // The skin around the controls: the frame's edge, between the bars and the buttons, the far corner.
    for (auto [x, y] : {std::pair{5, 5}, std::pair{680, 450}, std::pair{690, 536}, std::pair{400, 520}})
        EXPECT_TRUE(Near(shot.At(x, y), logoAt(x, y))) << x << "," << y << ": " << std::hex << shot.At(x, y);
    // The notice's background inside WEB's rectangle.
    EXPECT_TRUE(Near(shot.At(layout.web.x + layout.web.w - 40, layout.web.y + layout.web.h - 20), 0x00FF00))
        << std::hex << shot.At(layout.web.x + layout.web.w - 40, layout.web.y + layout.web.h - 20);
    // The finished start button: its white-keyed corners show the skin, its middle the green image.
    const LayoutRect& s = layout.startButton;
    for (auto [x, y] : {std::pair{s.x, s.y}, std::pair{s.x + s.w - 1, s.y + s.h - 1}})
        EXPECT_TRUE(Near(shot.At(x, y), logoAt(x, y)))
            << "corner " << x << "," << y << std::hex << " " << shot.At(x, y);
    uint32_t middle = shot.At(s.x + 10, s.y + s.h / 2);
    EXPECT_TRUE(Near(middle, 0x209030)) << std::hex << middle;
    // The status line is white text on the skin.
    bool white = false;
    for (int x = layout.fileStatic.x; x < layout.fileStatic.x + 150 && !white; ++x)
        for (int y = layout.fileStatic.y; y < layout.fileStatic.y + layout.fileStatic.h; ++y)
            if (Near(shot.At(x, y), 0xFFFFFF, 40)) white = true;
    EXPECT_TRUE(white);
}

TEST_F(PatchDialogTest, WhilePatchingTheButtonsAreKeyedAndStartAsksFirst) {
    StartSite(true);
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    Open();
    ASSERT_TRUE(Patching());
    Settle();
    Screenshot shot = TakeScreenshot(*dialog);
    const LayoutRect& s = dialog->Layout().startButton;
    const LayoutRect& r = dialog->Layout().repatchButton;
    for (auto [x, y] : {std::pair{s.x, s.y}, std::pair{s.x + s.w - 1, s.y}, std::pair{r.x, r.y}}) {
        EXPECT_FALSE(Near(shot.At(x, y), 0xFF00FF, 40)) << x << "," << y;
        EXPECT_TRUE(Near(shot.At(x, y), shot.At(x - 2, y - 2), 12)) << x << "," << y;
    }
    EXPECT_TRUE(Near(shot.At(s.x + 10, s.y + s.h / 2), 0x2040A0)) << std::hex << shot.At(s.x + 10, s.y + s.h / 2);
    EXPECT_FALSE(dialog->RepatchButton().active());

    // Enter and Escape change nothing.
    FocusWindow(*dialog);
    ASSERT_TRUE(XdoTool({"key", "--clearmodifiers", "Return", "Escape", "KP_Enter"}));
    EXPECT_EQ(Boxes().size(), 0u);
    EXPECT_FALSE(dialog->Ended());
    EXPECT_TRUE(dialog->shown());

    // The window manager's close asks; No goes on.
    SendDeleteWindow(*dialog);
    ASSERT_TRUE(PumpUntil(5000, [&] { return Questions() == 1; }));
    EXPECT_EQ(Flags() & PATCH_FLAG_CANCEL, 0u);

    // Start asks too; a double click is two clicks.
    ASSERT_TRUE(ClickAt(*dialog, CenterX(s), CenterY(s), 2));
    ASSERT_TRUE(PumpUntil(5000, [&] { return Questions() == 3; })) << Questions();
    EXPECT_EQ(Flags() & PATCH_FLAG_CANCEL, 0u);
    EXPECT_FALSE(dialog->Ended());

    // Yes cancels: the dialog ends and nothing is started.
    answer = true;
    ASSERT_TRUE(ClickAt(*dialog, CenterX(s), CenterY(s)));
    ASSERT_TRUE(HandedOver());
    EXPECT_TRUE(dialog->Ended());
    EXPECT_NE(Flags() & PATCH_FLAG_CANCEL, 0u);
    EXPECT_TRUE(env.spawns.empty());
    EXPECT_FALSE(dialog->shown());
}

TEST_F(PatchDialogTest, HoverShowsTheInImageAndTheLinkOpensTheHomePage) {
    StartSite(true);
    SetPatchKey("HOMEPAGE_URL", "http://127.0.0.1:9/home page");
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    Open();
    ASSERT_TRUE(Patching());
    FocusWindow(*dialog);
    const LayoutRect& s = dialog->Layout().startButton;
    ASSERT_TRUE(XdoTool({"mousemove", "--window", std::to_string(WindowId(*dialog)), std::to_string(CenterX(s)),
                         std::to_string(CenterY(s))}));
    ASSERT_TRUE(PumpUntil(3000, [&] { return dialog->StartButton().Hover(); }));
    Settle();
    Screenshot shot = TakeScreenshot(*dialog);
    EXPECT_TRUE(Near(shot.At(s.x + 10, s.y + s.h / 2), 0x3070E0)) << std::hex << shot.At(s.x + 10, s.y + s.h / 2);

    const LayoutRect& link = dialog->Layout().homepageStatic;
    ASSERT_TRUE(ClickAt(*dialog, link.x + 5, CenterY(link)));
    ASSERT_FALSE(env.spawns.empty());
    EXPECT_EQ(env.spawns.back(), "xdg-open http://127.0.0.1:9/home page");
}

TEST_F(PatchDialogTest, StartAfterAFinishedPatchStartsTheClientWithGo) {
    StartSite(false);
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    // A real stub client that writes down its arguments.
    std::string record = tmp.Path("client-args");
    tmp.Write("game/QOR.run", "#!/bin/sh\necho \"$@\" > '" + record + "'\n");
    ::chmod((site.game + "/QOR.run").c_str(), 0755);
    platform::SetSpawnHook(nullptr);
    Open();
    ASSERT_TRUE(HandedOver());
    ASSERT_NE(Flags() & PATCH_FLAG_FINISHED, 0u) << dialog->Engine().ErrorText();
    const LayoutRect& s = dialog->Layout().startButton;
    ASSERT_TRUE(ClickAt(*dialog, CenterX(s), CenterY(s)));
    ASSERT_TRUE(PumpUntil(5000, [&] { return dialog->Ended(); }));
    EXPECT_EQ(dialog->ExitStatus(), 0);
    ASSERT_TRUE(PumpUntil(5000, [&] { return ReadFileText(record) == "go\n"; })) << ReadFileText(record);
    EXPECT_EQ(Questions(), 0);
}

TEST_F(PatchDialogTest, HandOverRows) {
    StartSite(false);
    struct Row {
        const char* name;
        std::function<void()> prepare;
        bool afterPublish;
        std::string spawn;    // "" : nothing started
        std::string message;  // "" : no box
        int exitStatus;
    };
    std::vector<Row> rows = {
        {"new patcher", [&] { tmp.Write("B/QORPatch.run", "#!/bin/sh\n# patcher B\n"); }, false,
         "QOR.exe QORPatchTemp.tmp", "", 0},
        {"new VAZE.INI", [&] { platform::WriteProfileString("INFO", "JOIN", "yes", site.b + "/VAZE.INI"); }, false,
         "QOR.exe QOR", "", 0},
        {"stop notice", [&] { tmp.Write("www/patch/PatchStop.txt", "Closed for maintenance."); }, true, "",
         "Closed for maintenance.", 1},
        {"failed run", [&] { site.SetIni("PATCH_SERVER", "127.0.0.1:" + std::to_string(FreeLoopbackPort())); }, false,
         "", "No response from the server", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(site.a);
        fs::remove_all(site.b);
        ASSERT_TRUE(site.MakeVersions(Server(), false));
        if (!row.afterPublish) row.prepare();
        ASSERT_TRUE(site.Publish(site.b, 2));
        if (row.afterPublish) row.prepare();
        ASSERT_TRUE(site.Install(site.a));
        env.spawns.clear();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            boxes.clear();
        }
        Open();
        ASSERT_TRUE(HandedOver());
        EXPECT_TRUE(dialog->Ended());
        EXPECT_EQ(dialog->ExitStatus(), row.exitStatus);
        std::string spawned = env.spawns.empty() ? "" : env.spawns.back().substr(env.spawns.back().rfind('/') + 1);
        EXPECT_EQ(spawned, row.spawn);
        std::vector<platform::DialogBox> shown = Boxes();
        if (row.message.empty()) {
            EXPECT_TRUE(shown.empty());
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].title, "Patch Message");
            EXPECT_NE(shown[0].text.find(row.message), std::string::npos) << shown[0].text;
            EXPECT_FALSE(shown[0].question);
        }
        dialog.reset();
        fs::remove_all(site.a);
        fs::remove_all(site.b);
        fs::remove_all(site.game);
        fs::remove_all(site.www + "/patch");
        platform::TheRegistry().SetDword("SOFTWARE\\Brimholt\\QOR_ENG", "PatchKey", 1);
    }
}

TEST_F(PatchDialogTest, RepatchFetchesAChangedLocalFileAgain) {
    StartSite(false);
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    Open();
    ASSERT_TRUE(HandedOver());
    ASSERT_NE(Flags() & PATCH_FLAG_FINISHED, 0u) << dialog->Engine().ErrorText();
    int before = http.CountRequests("GET /patch/NOTICE.TXT ");
    tmp.Write("game/NOTICE.TXT", "changed by the player\n");
    const LayoutRect& r = dialog->Layout().repatchButton;
    ASSERT_TRUE(ClickAt(*dialog, CenterX(r), CenterY(r)));
    ASSERT_TRUE(PumpUntil(10000, [&] { return http.CountRequests("GET /patch/NOTICE.TXT ") == before + 1; }));
    ASSERT_TRUE(HandedOver());
    ASSERT_TRUE(PumpUntil(30000, [&] { return dialog->RepatchButton().active(); }));
    EXPECT_EQ(ReadFileText(site.game + "/NOTICE.TXT"), "new notice\n");
    EXPECT_FALSE(dialog->Ended());
}

TEST_F(PatchDialogTest, NoticeShowsTheLocalPageThenTheServersPage) {
    StartSite(false);
    SetPatchKey("NOTICE_URL", "http://" + Server() + "/notice.htm");
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    tmp.Write("game/DefaultNotice.htm", "<html><body bgcolor=\"#00FF00\">local page</body></html>");
    // The server's page in code page 949: "공지" (notice).
    tmp.Write("www/notice.htm",
              std::string("<html><body bgcolor=\"#0000FF\">server page \xB0\xF8\xC1\xF6</body></html>"));
    Open();
    ASSERT_TRUE(PumpUntil(10000, [&] { return dialog->NoticeHtml().find("server page") != std::string::npos; }))
        << dialog->NoticeHtml();
    EXPECT_NE(dialog->NoticeHtml().find("server page \xEA\xB3\xB5\xEC\xA7\x80"), std::string::npos);
    EXPECT_EQ(http.CountRequests("GET /notice.htm HTTP/1.1 [application/x-www-form-urlencoded]"), 1)
        << http.AccessLog();
    Settle();
    const LayoutRect& web = dialog->Layout().web;
    Screenshot shot = TakeScreenshot(*dialog);
    EXPECT_TRUE(Near(shot.At(web.x + web.w - 40, web.y + web.h - 20), 0x0000FF));
}

TEST_F(PatchDialogTest, AnUnreachableNoticeKeepsTheLocalPage) {
    StartSite(false);
    SetPatchKey("NOTICE_URL", "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/notice.htm");
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    tmp.Write("game/DefaultNotice.htm",
              "<html><body bgcolor=\"#00FF00\"><h1><a href=\"http://127.0.0.1:9/news\">NEWS NEWS NEWS NEWS</a></h1>"
              "local page</body></html>");
    Open();
    EXPECT_NE(dialog->NoticeHtml().find("local page"), std::string::npos);
    ASSERT_TRUE(PumpUntil(15000, [&] { return !dialog->NoticeFetching(); }));
    EXPECT_NE(dialog->NoticeHtml().find("local page"), std::string::npos);

    // A link of the page opens in the desktop's browser; the view stays.
    const LayoutRect& web = dialog->Layout().web;
    ASSERT_TRUE(ClickAt(*dialog, web.x + 40, web.y + 20));
    ASSERT_FALSE(env.spawns.empty());
    EXPECT_EQ(env.spawns.back(), "xdg-open http://127.0.0.1:9/news");
    EXPECT_NE(dialog->NoticeHtml().find("local page"), std::string::npos);
}
