// The real main loop, headless: start-up on the sample game folder, screens in
// turn, frame results, device loss, minimised windows, the full-screen switch
// and screenshots.
#include <algorithm>
#include <cstring>
#include <set>

#include "engine/core/ErrorReport.h"
#include "platform/Crash.h"
#include "tests/app/AppFixture.h"
#include "tests/fixtures/JpegDecode.h"
#include "tools/SampleMap.h"
#include "tools/PackageWriter.h"
#include "tools/TextFileWriters.h"
#include "ui/StandInScreen.h"
#include "ui/UiControlFactory.h"
#include "ui/UiObject.h"

using namespace platform;

namespace {

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line, size_t from = 0) {
    auto it = std::find(lines.begin() + static_cast<long>(from), lines.end(), line);
    return static_cast<size_t>(it - lines.begin());
}

size_t CountOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

}  // namespace

class MainLoop : public AppFixture {
protected:
    // The first screen: named "A", logging into log, with the given results.
    CScriptedScreen* FirstScreen(std::vector<int> results) {
        CScriptedScreen* screen = nullptr;
        app->SetFirstScreenMaker([this, results, &screen] {
            screen = new CScriptedScreen("A", &log, results);
            return screen;
        });
        EXPECT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        return screen;
    }
    ScreenLog log;
};

TEST_F(MainLoop, StartsOnTheSampleFolderAndRunsTheFirstScreenToItsEnd) {
    MakeApp();
    CScriptedScreen* screen = FirstScreen({0, 0, 2});
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(window->Title(), "-Morvane-");
    EXPECT_FALSE(window->CursorShown());
    EXPECT_EQ(app->LoginServer(), kSampleLoginServer);
    EXPECT_EQ(app->JoinUrl(), kSampleJoinUrl);
    EXPECT_EQ(app->LogoTextures(), (std::vector<std::string>{"LOGO1.DDS", "LOGO2.DDS"}));
    EXPECT_EQ(app->LogoSounds(), (std::vector<std::string>{"LOGO1.WAV", ""}));
    EXPECT_EQ(app->GameTips().size(), 3u);
    EXPECT_EQ(app->FilterWords().size(), 2u);
    EXPECT_EQ(app->Fonts().Count(), 3);
    // The UI manager's font table names the same fonts, in the same order.
    ASSERT_EQ(app->Ui().FontCount(), 3u);
    EXPECT_EQ(app->Ui().GetFont(0)->LineHeight(), app->Fonts().Get(0)->LineHeight());
    // The controls are known before any layout loads.
    std::unique_ptr<CUiObject> editBox(CreateUiControl(UI_TYPE_EDITBOX));
    EXPECT_NE(editBox, nullptr);
    EXPECT_EQ(app->PlayerSlotIndex(11), 11);
    EXPECT_EQ(inputsMade, 1);
    EXPECT_EQ(input->LiveDevices(), 2);  // keyboard and mouse, made once
    // Pushed in the post-window step, then the device objects.
    EXPECT_EQ(log.lines, (std::vector<std::string>{"A enter", "A init", "A invalidate", "A restore"}));
    uint32_t ambient = 0;
    Device()->GetRenderState(RS_AMBIENT, &ambient);
    EXPECT_EQ(ambient, 0xFF777777u);
    ASSERT_EQ(system->createCalls.size(), 1u);
    const GfxPresentParameters& made = system->createCalls[0];
    EXPECT_EQ(made.backBufferWidth * 10000 + made.backBufferHeight, 1024u * 10000 + 768);
    EXPECT_EQ(made.autoDepthStencilFormat, uint32_t(FMT_D24S8));
    EXPECT_EQ(made.enableAutoDepthStencil, 1u);
    EXPECT_EQ(made.windowed, 1u);
    EXPECT_EQ(made.presentationInterval, PRESENT_INTERVAL_IMMEDIATE);

    SetCrashDumpsEnabled(true);
    EXPECT_EQ(app->RunMessageLoop(), 1);
    // The last frame presents too, after the finished screen is gone.
    EXPECT_EQ(Device()->PresentCount(), 3u);
    EXPECT_FALSE(app->IsCloseIgnored());
    EXPECT_EQ(CountOf(log.lines, "A update"), 3u);
    EXPECT_EQ(log.lines.back(), "A delete");
    EXPECT_TRUE(messages.empty());
    app.reset();
    EXPECT_FALSE(CrashDumpsEnabled());  // the end of the program is no crash
}

TEST_F(MainLoop, StartUpErrorsNameTheMissingFile) {
    struct Row {
        const char* remove;
        const char* text;
    } rows[] = {{"PACKAGELIST.DRL", "not found file!!! (MSG.DAT)"}, {"VAZE.INI", "Cannot find the file VAZE.INI."}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.remove);
        ASSERT_TRUE(DeleteFile(tmp.path() + "\\" + row.remove));
        // Without the packages the loose message file (the patcher's) would serve.
        if (std::string(row.remove) == "PACKAGELIST.DRL") {
            ASSERT_TRUE(DeleteFile(tmp.path() + "\\MSG.DAT"));
        }
        MakeApp();
        EXPECT_TRUE(app->LoaderFailed());
        EXPECT_EQ(app->CreateApp(), 0);
        EXPECT_EQ(ErrorReport().Text(), row.text);
        EXPECT_EQ(window->Title(), "");  // no window was made
        app.reset();
        ASSERT_EQ(MakeSampleGameFolder(tmp.path()), 1);
    }
}

TEST_F(MainLoop, AMissingTipFileLeavesTheWordFilterOn) {
    CPackageWriter info("INFO.DRP");
    info.Add("MSG.DAT", MessageFileText(SampleMessages()), false);
    info.Add("GAMEINFO.DAT", SampleGameInfoText(), false);
    info.Add("FilterWord.DAT", TextListText({"badword"}), false);
    ASSERT_TRUE(info.WritePackage(tmp.path() + "\\DATA"));
    CPackageWriter shaders("SHADER.DRP");
    AddSampleShaders(shaders);
    ASSERT_TRUE(shaders.WritePackage(tmp.path() + "\\DATA"));
    CPackageWriter maps("MAP.DRP");
    ASSERT_TRUE(AddSampleMap(maps) && maps.WritePackage(tmp.path() + "\\DATA"));
    ASSERT_TRUE(CPackageWriter::WriteList(tmp.path() + "\\PACKAGELIST.DRL", {&info, &shaders, &maps}));
    MakeApp();
    FirstScreen({2});
    EXPECT_TRUE(app->GameTips().empty());
    EXPECT_EQ(app->FilterWords(), std::vector<std::string>{"badword"});
}

TEST_F(MainLoop, TheFirstFailingDeviceObjectStepStopsTheStart) {
    MakeApp();
    app->SetFirstScreenMaker([this] {
        auto* screen = new CScriptedScreen("A", &log, {2});
        screen->initResult = 0;
        return screen;
    });
    EXPECT_EQ(app->CreateApp(), 0);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"A enter", "A init"}));
}

TEST_F(MainLoop, FatalScreenResultShowsTheErrorAndQuits) {
    MakeApp();
    CScriptedScreen* screen = FirstScreen({0, 4});
    screen->onUpdate = [](CScriptedScreen& s) {
        if (s.updates == 2) ErrorReport().SetError(ERR_DATA, "%s", "the world broke");
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    EXPECT_TRUE(app->IsQuitting());
    EXPECT_FALSE(app->IsCloseIgnored());
    EXPECT_EQ(app->Screens().Current(), nullptr);
    EXPECT_EQ(log.lines.back(), "A delete");
    EXPECT_EQ(messages, std::vector<std::string>{"-Morvane-|the world broke"});
}

TEST_F(MainLoop, ClosingTheWindowIsIgnoredWhileScreensRun) {
    MakeApp();
    CScriptedScreen* screen = FirstScreen({0, 0, 0, 0, 2});
    screen->onUpdate = [this](CScriptedScreen& s) {
        if (s.updates == 1) window->QueueEvent(WM_CLOSE);
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    EXPECT_EQ(CountOf(log.lines, "A update"), 5u);
}

TEST_F(MainLoop, TheStandInScreenEndsOnCloseOrEscapeAndClearsTheScreen) {
    for (bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape);
        MakeApp();
        // The login screen's stand-in.
        app->SetFirstScreenMaker([] { return new CStandInScreen(); });
        ASSERT_EQ(app->CreateApp(), 1);
        ASSERT_NE(dynamic_cast<CStandInScreen*>(app->Screens().Current()), nullptr);
        // Two frames, then the player leaves.
        for (int frame = 0; frame < 2; ++frame) ASSERT_EQ(app->RenderStep(), 1);
        if (byEscape) {
            input->SetKey(DIK_ESCAPE, true);
            app->RenderStep();
            input->SetKey(DIK_ESCAPE, false);
        } else {
            window->QueueEvent(WM_CLOSE);
        }
        EXPECT_EQ(app->RunMessageLoop(), 1);
        std::vector<uint32_t> pixels;
        CGfxSurface* back = nullptr;
        ASSERT_EQ(Device()->GetBackBuffer(0, 0, &back), GFX_OK);
        ASSERT_EQ(Device()->ReadSurface(back, &pixels), GFX_OK);
        back->Release();
        EXPECT_EQ(pixels[0], CStandInScreen::kClearColor);
        app.reset();
    }
}

TEST_F(MainLoop, ALostDeviceWaitsAndIsResetWhenTheDriverAllows) {
    MakeApp();
    CScriptedScreen* screen = FirstScreen({});
    screen->onUpdate = [this](CScriptedScreen& s) {
        if (s.updates == 2) {
            Device()->LoseDevice();
            s.Add("lost");
        }
        if (s.updates == 5) {
            Device()->AllowReset();
            s.Add("allowed");
        }
        if (s.updates == 8) window->PostQuitMessage(0);
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    const std::vector<std::string>& l = log.lines;
    const size_t lost = IndexOf(l, "A lost"), allowed = IndexOf(l, "A allowed");
    ASSERT_LT(allowed, l.size());
    // The frame of the loss still renders and its present fails; then nothing renders until the reset.
    EXPECT_EQ(l[lost + 1], "A render");
    EXPECT_EQ(IndexOf(l, "A render", lost + 2), IndexOf(l, "A restore", allowed) + 2);
    EXPECT_EQ(l[IndexOf(l, "A invalidate", allowed) + 1], "A restore");
    EXPECT_EQ(app->CountSleeps(100), 3);
    EXPECT_EQ(Device()->Count("Reset"), 2u);  // the first at creation
    EXPECT_FALSE(app->IsDeviceLost());
}

TEST_F(MainLoop, AMinimisedWindowDrawsNothingAndSleeps) {
    MakeApp();
    CScriptedScreen* screen = FirstScreen({});
    screen->onUpdate = [this](CScriptedScreen& s) {
        if (s.updates == 2) {
            window->Minimise();
            s.Add("minimised");
        }
        if (s.updates == 6) {
            window->Restore();
            s.Add("restored");
        }
        if (s.updates == 9) window->PostQuitMessage(0);
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    const std::vector<std::string>& l = log.lines;
    const size_t minimised = IndexOf(l, "A minimised"), restored = IndexOf(l, "A restored");
    EXPECT_EQ(l[minimised + 1], "A render");  // the frame before the message arrives
    EXPECT_GT(IndexOf(l, "A render", minimised + 2), restored);
    EXPECT_GE(app->CountSleeps(1), 4);
    EXPECT_FALSE(app->IsMinimised());
}

TEST_F(MainLoop, AltEnterSwitchesToFullScreenAndBack) {
    MakeApp();
    CScriptedScreen* screen = FirstScreen({});
    screen->onUpdate = [this](CScriptedScreen& s) {
        // Alt held; Enter pressed and released twice.
        const int u = s.updates;
        input->SetKey(DIK_LMENU, u >= 1 && u < 8);
        input->SetKey(DIK_RETURN, u == 2 || u == 5);
        if (u == 5) s.Add(app->IsWindowed() ? "windowed" : "full");
        if (u == 8) s.Add(app->IsWindowed() ? "windowed" : "full");
        if (u == 8) window->PostQuitMessage(0);
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    EXPECT_LT(IndexOf(log.lines, "A full"), IndexOf(log.lines, "A windowed"));
    EXPECT_EQ(Device()->Count("Reset 1024x768"), 3u);
    EXPECT_FALSE(window->IsFullscreen());
}

TEST_F(MainLoop, FullScreenNeedsTheModeAndFallsBackInDepthFormats) {
    struct Row {
        std::vector<GfxDisplayMode> modes;
        std::set<uint32_t> depths;
        uint32_t failCreates;
        int created;
        uint32_t depth, autoDepth;  // of the last creation, when made
    } rows[] = {
        {{{800, 600, 60, FMT_X8R8G8B8}}, {FMT_D24S8}, 0, 0, 0, 0},
        {{{1024, 768, 60, FMT_X8R8G8B8}}, {FMT_D24X8, FMT_D16}, 0, 1, FMT_D24X8, 1},
        {{{1024, 768, 60, FMT_X8R8G8B8}}, {FMT_D16}, 0, 1, FMT_D16, 1},
        {{{1024, 768, 60, FMT_X8R8G8B8}}, {FMT_D24S8, FMT_D16}, 1, 1, FMT_D16, 1},
        {{{1024, 768, 60, FMT_X8R8G8B8}}, {FMT_D24S8, FMT_D16}, 2, 1, FMT_D16, 0},
        {{{1024, 768, 60, FMT_X8R8G8B8}}, {FMT_D24S8, FMT_D16}, 3, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failCreates);
        configureSystem = [&](CGfxRecordingSystem& s) {
            s.modes = row.modes;
            s.depthFormats = row.depths;
            s.failCreates = row.failCreates;
        };
        MakeApp(false);
        app->SetFirstScreenMaker([] { return new CScriptedScreen("A", nullptr); });
        EXPECT_EQ(app->CreateApp(), row.created);
        if (row.created) {
            ASSERT_FALSE(system->createCalls.empty());
            const GfxPresentParameters& last = system->createCalls.back();
            EXPECT_EQ(last.autoDepthStencilFormat, row.depth);
            EXPECT_EQ(last.enableAutoDepthStencil, row.autoDepth);
            EXPECT_EQ(last.windowed, 0u);
            EXPECT_EQ(app->PresentParameters().backBufferFormat, uint32_t(FMT_X8R8G8B8));
        } else {
            EXPECT_EQ(ErrorReport().GetCode(), uint32_t(ERR_DEVICE_CALL));
        }
        app.reset();
    }
}

TEST_F(MainLoop, PrintScreenSavesTheLastPresentedFrame) {
    MakeApp();
    CScriptedScreen* screen = FirstScreen({});
    screen->clearColor = 0xFF3366CCu;
    screen->onUpdate = [this](CScriptedScreen& s) {
        input->SetKey(DIK_SYSRQ, s.updates == 2);
        // The next frame draws another colour: what is saved is the frame presented before the key.
        if (s.updates == 4) s.clearColor = 0xFFFF0000u;
        if (s.updates == 6) window->PostQuitMessage(0);
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    std::vector<FolderEntry> shots = ListFolder(app->ScreenshotFolder());
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].name.rfind("QOR_", 0), 0u) << shots[0].name;
    EXPECT_EQ(shots[0].name.size(), std::string("QOR_20261210133335.JPG").size()) << shots[0].name;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(app->ScreenshotFolder() + "\\" + shots[0].name, bytes));
    Decoded image;
    ASSERT_TRUE(Decode(bytes, &image));
    EXPECT_EQ(image.width, 1024u);
    EXPECT_EQ(image.height, 768u);
    for (uint32_t y : {0u, 384u, 767u}) ExpectColourAt(image, 512, y, 0xFF3366CCu);

    // A folder that cannot be written makes the step report it.
    EXPECT_EQ(app->SaveScreenshot(tmp.path() + "\\NO_SUCH_FOLDER"), 0);
    EXPECT_NE(ErrorReport().Text().find("could not be written"), std::string::npos);
}

TEST(ScreenshotName, FollowsTheFolderAndTheLocalTime) {
    EXPECT_EQ(CGameApp::ScreenshotName("C:\\Docs\\QOR\\SCREENSHOT", 2026, 1, 2, 3, 4, 5),
              "C:\\Docs\\QOR\\SCREENSHOT\\QOR_20260102030405.JPG");
    EXPECT_EQ(CGameApp::ScreenshotName("", 999, 12, 31, 23, 59, 9), "\\QOR_09991231235909.JPG");
}

TEST_F(MainLoop, GammaRampFollowsThePowerCurve) {
    MakeApp();
    FirstScreen({});
    struct Row {
        float gamma;
        int index;
        uint16_t entry;
    } rows[] = {{1.0f, 0, 0}, {1.0f, 128, 127 * 256}, {1.0f, 255, 254 * 256}, {2.0f, 64, 127 * 256}};
    for (const Row& r : rows) {
        app->ApplyGammaRamp(r.gamma);
        const GfxGammaRamp& ramp = Device()->GetGammaRamp();
        EXPECT_EQ(ramp.red[r.index], r.entry) << r.gamma << " " << r.index;
        EXPECT_EQ(ramp.blue[r.index], r.entry);
    }
}

TEST_F(MainLoop, AFontThatIsNowhereStopsTheStart) {
    std::string info = SampleGameInfoText();
    for (size_t at; (at = info.find("NanumGothic.ttf")) != std::string::npos;)
        info.replace(at, std::strlen("NanumGothic.ttf"), "NoSuchFont.ttf");
    CPackageWriter package("INFO.DRP");
    package.Add("MSG.DAT", MessageFileText(SampleMessages()), false);
    package.Add("GAMEINFO.DAT", info, false);
    ASSERT_TRUE(package.WritePackage(tmp.path() + "\\DATA"));
    CPackageWriter maps("MAP.DRP");
    ASSERT_TRUE(AddSampleMap(maps) && maps.WritePackage(tmp.path() + "\\DATA"));
    ASSERT_TRUE(CPackageWriter::WriteList(tmp.path() + "\\PACKAGELIST.DRL", {&package, &maps}));
    MakeApp();
    EXPECT_EQ(app->CreateApp(), 0);
    EXPECT_EQ(ErrorReport().GetCode(), uint32_t(ERR_FILE_NOT_FOUND));
    EXPECT_NE(ErrorReport().Text().find("NoSuchFont.ttf"), std::string::npos) << ErrorReport().Text();
}
