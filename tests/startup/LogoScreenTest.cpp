// The start-up screen on the headless harness: the logos in turn, the
// start-up data job on the loader thread, its failures, and the message box
// it leaves to the later screens. Its own program, so that the ThreadSanitizer
// run covers the job.
#include <atomic>
#include <chrono>
#include <thread>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileIndex.h"
#include "platform/File.h"
#include "screens/game/PlayResources.h"
#include "screens/lobby/LogoScreen.h"
#include "tests/app/AppFixture.h"
#include "tools/MapWriter.h"
#include "tools/PackageWriter.h"
#include "tools/SampleGameData.h"
#include "ui/UiFramedWindow.h"
#include "ui/UiMessageBox.h"
#include "world/GameDataRegistry.h"

using namespace platform;

namespace {

// A logo screen that reports each update to the test (main thread only).
class CWatchedLogo : public CLogoScreen {
public:
    std::function<void(CWatchedLogo&)> before, after;
    std::function<int(CWatchedLogo&)> job;

    int Job() override { return job ? job(*this) : CLogoScreen::Job(); }
    int BaseJob() { return CLogoScreen::Job(); }
    int Update() override {
        if (before) before(*this);
        const int result = CLogoScreen::Update();
        if (after) after(*this);
        return result;
    }
};

// What the login maker sees: it is called while the last logo is still current.
struct LoginSeen {
    CGameApp* app = nullptr;
    int made = 0;
    int logoIndex = -1;
    CResource* lastLogoSound = reinterpret_cast<CResource*>(1);
};
LoginSeen* g_login = nullptr;

CScreen* MakeWatchedLogin() {
    if (g_login) {
        ++g_login->made;
        g_login->logoIndex = g_login->app->LogoIndex();
        if (auto* logo = dynamic_cast<CLogoScreen*>(g_login->app->Screens().Current()))
            g_login->lastLogoSound = logo->Sound();
    }
    // Ends the run at its first update.
    return new CScriptedScreen("Login", nullptr, {SCREEN_FINISHED});
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class LogoScreen : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        login.app = nullptr;
        g_login = &login;
        SetLoginScreenMaker(&MakeWatchedLogin);
    }
    void TearDown() override {
        SetLoginScreenMaker(nullptr);
        g_login = nullptr;
        AppFixture::TearDown();
    }
    // The application with a watched first logo; created, not yet run.
    CWatchedLogo* Start() {
        MakeApp();
        login.app = app.get();
        app->SetFirstScreenMaker([this] { return first = new CWatchedLogo(); });
        EXPECT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        return first;
    }
    void Remake(const std::string& gameInfo) { ASSERT_EQ(MakeSampleGameFolder(tmp.path(), gameInfo), 1); }

    LoginSeen login;
    CWatchedLogo* first = nullptr;
};

TEST_F(LogoScreen, TwoLogosTheStartUpJobThenTheLoginScreen) {
    CWatchedLogo* logo = Start();
    ASSERT_NE(logo, nullptr);
    std::vector<int> phases;
    CResource* sound = nullptr;
    float progress = 0.0f;
    logo->after = [&](CWatchedLogo& s) {
        if (phases.empty() || phases.back() != s.Phase()) phases.push_back(s.Phase());
        if (s.Sound()) sound = s.Sound();
        progress = s.Progress();
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    EXPECT_TRUE(messages.empty()) << messages.front();
    // Phase 1 while the job ran (or already 3 when it was quick), then showing and going out.
    ASSERT_GE(phases.size(), 3u);
    EXPECT_EQ(phases.front(), CLogoScreen::PHASE_LOADING);
    EXPECT_EQ(phases[phases.size() - 2], CLogoScreen::PHASE_SHOWING);
    EXPECT_EQ(phases.back(), CLogoScreen::PHASE_OUT);
    EXPECT_FLOAT_EQ(progress, 1.0f);
    EXPECT_NE(sound, nullptr);  // the first logo's sound, with sound on
    // The second logo, silent, made the login screen.
    EXPECT_EQ(login.made, 1);
    EXPECT_EQ(login.logoIndex, 2);
    EXPECT_EQ(login.lastLogoSound, nullptr);
    // What the job left: the sample block, the tooltip and the box on the upper layer.
    EXPECT_EQ(g_pGameDataRegistry->fileName, kSampleDataBlock);
    EXPECT_GT(g_pGameDataRegistry->Records(CAT_UNIT).Size(), 0u);
    EXPECT_NE(g_pGameDataRegistry->PreloadTable().HitSound(0, 0), nullptr);
    CUiManager& ui = app->Ui();
    ASSERT_NE(ui.Tooltip(), nullptr);
    ASSERT_NE(ui.MessageBox(), nullptr);
    EXPECT_EQ(ui.Tooltip(), g_pPlayResources->Tooltip());
    EXPECT_EQ(ui.MessageBox(), g_pPlayResources->MessageBox());
    const std::vector<CUiWindow*>& upper = ui.UpperLayer();
    EXPECT_NE(std::find(upper.begin(), upper.end(), ui.Tooltip()), upper.end());
    EXPECT_NE(std::find(upper.begin(), upper.end(), ui.MessageBox()), upper.end());
    EXPECT_TRUE(app->HasMessageBox());
    EXPECT_FALSE(app->MessageBox().Visible());
    // The clean-up gives everything back.
    app->Cleanup();
    EXPECT_EQ(g_pPlayResources->MessageBox(), nullptr);
    EXPECT_EQ(g_pGameDataRegistry->PreloadTable().HitSound(0, 0), nullptr);
    EXPECT_EQ(app->Resources().Cache(RES_SOUND_EFFECT)->Count(), 0u);
    EXPECT_EQ(app->Resources().Cache(RES_LAYOUT)->Count(), 0u);
}

// The job has set the showing phase but not yet returned when the count-down
// runs out: the screen goes out only after the job has ended.
TEST_F(LogoScreen, ShowingWaitsForTheJobPastTheCountDown) {
    CWatchedLogo* logo = Start();
    ASSERT_NE(logo, nullptr);
    std::atomic<bool> release{false}, finished{false};
    logo->job = [&](CWatchedLogo& s) {
        const int result = s.BaseJob();
        for (int i = 0; i < 10000 && !release.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // Work that is still going on when the main thread reaches its wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        finished = true;
        return result;
    };
    bool jumped = false, wentOut = false;
    logo->before = [&](CWatchedLogo& s) {
        if (!jumped && s.Phase() == CLogoScreen::PHASE_SHOWING && s.Fade().Done()) {
            // The count-down runs out in this update, while the job is still held.
            s_now += 5000;
            jumped = true;
            release = true;
        }
    };
    logo->after = [&](CWatchedLogo& s) {
        if (s.Phase() == CLogoScreen::PHASE_OUT && !wentOut) {
            wentOut = true;
            EXPECT_TRUE(s.Timer().CountdownDone());
            EXPECT_TRUE(finished.load());
        }
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    EXPECT_TRUE(jumped);
    EXPECT_TRUE(wentOut);
    EXPECT_EQ(login.made, 1);
}

TEST_F(LogoScreen, AFailedJobShowsItsTextAndEndsTheProgram) {
    struct Case {
        const char* what;
        std::string gameInfo;
        const char* text;
    };
    // A map made for another data block (stamp 2; the sample block has 1).
    MapDescription other;
    other.dataStamp = 2;
    const std::vector<uint8_t> map = WriteMapFile(other);
    const std::string sample = SampleGameInfoText();
    const Case cases[] = {
        {"a data file with a wrong digest", Replace(sample, "LOAD_DATA=GAMEDATA.DAT", "LOAD_DATA=BROKEN.DAT"),
         "The data file BROKEN.DAT is damaged.\nPlease run the patcher again."},
        {"a missing data file", Replace(sample, "LOAD_DATA=GAMEDATA.DAT", "LOAD_DATA=NOWHERE.DAT"),
         "The data file NOWHERE.DAT is damaged.\nPlease run the patcher again."},
        {"a map of other game data",
         Replace(sample, "PVM_MAPCOUNT=1", "PVM_MAPCOUNT=2\r\nPVM_KEY_2=7\r\nPVM_MAP_2=OTHER.MAP"),
         "The map OTHER.MAP was made for other game data.\nPlease run the patcher again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        Remake(c.gameInfo);
        ASSERT_TRUE(WriteWholeFile(tmp.path() + "\\BROKEN.DAT", "not a block, and no digest", 26));
        ASSERT_TRUE(WriteWholeFile(tmp.path() + "\\OTHER.MAP", map.data(), map.size()));
        CWatchedLogo* logo = Start();
        ASSERT_NE(logo, nullptr);
        std::vector<int> phases;
        logo->after = [&](CWatchedLogo& s) { phases.push_back(s.Phase()); };
        EXPECT_EQ(app->RunMessageLoop(), 1);
        EXPECT_TRUE(app->IsQuitting());
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.front(), std::string("-Morvane-|") + c.text);
        EXPECT_EQ(phases.back(), CLogoScreen::PHASE_FAILED);
        EXPECT_EQ(login.made, 0);
        EXPECT_FALSE(app->Resources().IsLoaderRunning());
        app.reset();
    }
}

TEST_F(LogoScreen, WithSoundOffEachLogoLeavesItsTextAndTheStartGoesOn) {
    Remake(Replace(SampleGameInfoText(), "LOGO2_SOUND=", "LOGO2_SOUND=LOGO1.WAV"));
    CWatchedLogo* logo = Start();
    ASSERT_NE(logo, nullptr);
    app->Sound().SwitchOff();
    CResource* sound = nullptr;
    logo->after = [&](CWatchedLogo& s) { sound = sound ? sound : s.Sound(); };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(login.made, 1);
    EXPECT_EQ(sound, nullptr);
    // The second logo's text is the last the start left.
    EXPECT_EQ(ErrorReport().Text(), "Sound load fail LOGO1.WAV\n");
}

TEST_F(LogoScreen, AMissingLogoIsFatal) {
    const std::string sample = SampleGameInfoText();
    const struct {
        const char* what;
        std::string gameInfo;
        const char* text;
    } cases[] = {
        {"more logos counted than listed", Replace(sample, "LOGO_COUNT=2", "LOGO_COUNT=3"),
         "Cannot find the file LOGO3_TEXTURE."},
        {"a logo file that is nowhere", Replace(sample, "LOGO2_TEXTURE=LOGO2.DDS", "LOGO2_TEXTURE=GONE.DDS"),
         "Cannot find the file GONE.DDS."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        Remake(c.gameInfo);
        ASSERT_NE(Start(), nullptr);
        EXPECT_EQ(app->RunMessageLoop(), 1);
        EXPECT_TRUE(app->IsQuitting());
        EXPECT_EQ(messages, std::vector<std::string>{std::string("-Morvane-|") + c.text});
        EXPECT_EQ(login.made, 0);
        app.reset();
    }
}

// Before the start-up job has made the box, a screen's error popup ends the program with the text.
TEST_F(LogoScreen, AnErrorPopupBeforeTheMessageBoxEndsTheProgram) {
    MakeApp();
    app->SetFirstScreenMaker([] {
        auto* screen = new CScriptedScreen("A", nullptr, {});
        screen->onUpdate = [](CScriptedScreen& s) {
            if (s.updates == 2) {
                ErrorReport().SetError(28, "%s", "connection lost");
                s.ShowErrorPopup(1);
            }
        };
        return screen;
    });
    ASSERT_EQ(app->CreateApp(), 1);
    EXPECT_FALSE(app->HasMessageBox());
    EXPECT_EQ(app->RunMessageLoop(), 1);
    EXPECT_TRUE(app->IsQuitting());
    EXPECT_EQ(messages, std::vector<std::string>{"-Morvane-|connection lost"});
}

}  // namespace
