// The screen manager's rules, the error popup's way back to the login screen,
// and the client's start (one copy, the start word).
#include <csignal>

#include "app/ClientEntry.h"
#include "engine/core/ErrorReport.h"
#include "platform/Process.h"
#include "tests/app/AppFixture.h"

using namespace platform;

namespace {

struct ManagerCase {
    const char* name;
    std::vector<std::vector<int>> results;  // per pushed screen
    int pushedByFirst;                      // how many follow-up screens the first one pushes before finishing
    int expected;
};

}  // namespace

TEST(ScreenManager, UpdateResults) {
    {
        CScreenManager manager;
        EXPECT_EQ(manager.Update(), SCREEN_NONE);
    }
    const ManagerCase cases[] = {
        {"running", {{0}}, 0, SCREEN_RUNNING},
        {"finished without successor", {{2}}, 0, SCREEN_NO_SUCCESSOR},
        {"successor starts", {{2}, {0}}, 1, SCREEN_RUNNING},
        {"successor fails at once", {{2}, {4}}, 1, SCREEN_FATAL},
        {"fatal", {{4}}, 0, SCREEN_FATAL},
    };
    for (const ManagerCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenLog log;
        CScreenManager manager;
        auto* first = new CScriptedScreen("A", &log, c.results[0]);
        manager.PushScreen(first);
        if (c.pushedByFirst) manager.PushScreen(new CScriptedScreen("B", &log, c.results[1]));
        EXPECT_EQ(manager.Update(), c.expected);
        if (c.results[0][0] == SCREEN_FINISHED) {
            EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), "A delete"), log.lines.end());
            if (c.pushedByFirst) {
                EXPECT_EQ(log.lines.back(), "B update");
            }
        }
    }
}

TEST(ScreenManager, OnlyTheLastScreenPushedInAFrameFollows) {
    ScreenLog log;
    CScreenManager manager;
    manager.PushScreen(new CScriptedScreen("A", &log, {2}));
    manager.PushScreen(nullptr);
    manager.PushScreen(new CScriptedScreen("B", &log, {0}));
    manager.PushScreen(new CScriptedScreen("C", &log, {0}));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"A enter", "B enter", "B delete", "C enter"}));
    EXPECT_EQ(manager.Update(), SCREEN_RUNNING);
    EXPECT_EQ(log.lines.back(), "C update");
    manager.ClearScreens();
    EXPECT_EQ(log.lines.back(), "C delete");
    EXPECT_EQ(manager.Current(), nullptr);
}

TEST(ScreenManager, DeviceEventsReachQueuedScreensFirstAndStopAtAFailure) {
    ScreenLog log;
    CScreenManager manager;
    EXPECT_EQ(manager.InitDeviceObjects(), 1);
    auto* a = new CScriptedScreen("A", &log);
    manager.PushScreen(a);
    auto* b = new CScriptedScreen("B", &log);
    manager.PushScreen(b);
    log.lines.clear();
    EXPECT_EQ(manager.InitDeviceObjects(), 1);
    manager.InvalidateDeviceObjects();
    manager.DeleteDeviceObjects();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"B init", "A init", "B invalidate", "A invalidate",
                                                   "B delete-objects", "A delete-objects"}));
    log.lines.clear();
    b->initResult = 0;
    EXPECT_EQ(manager.InitDeviceObjects(), 0);
    EXPECT_EQ(log.lines, std::vector<std::string>{"B init"});
    log.lines.clear();
    b->initResult = 1;
    a->initResult = 0;
    EXPECT_EQ(manager.InitDeviceObjects(), 0);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"B init", "A init"}));
}

namespace {
ScreenLog* g_loginLog = nullptr;
CScreen* MakeTestLogin() { return new CScriptedScreen("Login", g_loginLog, {0, 2}); }
}  // namespace

class ErrorPopup : public AppFixture {};

TEST_F(ErrorPopup, EscapeOrOkLeadsBackToTheLoginScreen) {
    for (bool byEscape : {true, false}) {
        SCOPED_TRACE(byEscape);
        ScreenLog log;
        g_loginLog = &log;
        SetLoginScreenMaker(&MakeTestLogin);
        MakeApp();
        CScriptedScreen* screen = nullptr;
        app->SetFirstScreenMaker([&] { return screen = new CScriptedScreen("A", &log, {0}); });
        ASSERT_EQ(app->CreateApp(), 1);
        // What the start-up job does: the real message box.
        ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
        screen->onUpdate = [&](CScriptedScreen& s) {
            if (s.updates == 2) {
                ErrorReport().SetError(28, "%s", "connection lost");
                s.ShowErrorPopup(1);
                const IMessageBoxHost& box = app->MessageBox();
                EXPECT_TRUE(box.Visible());
                EXPECT_EQ(box.Text(), "connection lost");
                EXPECT_EQ(box.Mode(), 1);
                EXPECT_FLOAT_EQ(app->Ui().MessageBoxDim(), 0.4f);
                EXPECT_TRUE(window->CursorShown());
            }
            if (s.updates == 4) {
                if (byEscape)
                    input->SetKey(DIK_ESCAPE, true);
                else
                    app->MessageBox().SetResult(1);
            }
            if (s.updates == 5) input->SetKey(DIK_ESCAPE, false);
        };
        EXPECT_EQ(app->RunMessageLoop(), 1);
        EXPECT_FALSE(app->MessageBox().Visible());
        // The screen darkened for 1 / 0.8 s of 16 ms frames before the login screen came.
        const auto enter = std::find(log.lines.begin(), log.lines.end(), "Login enter");
        ASSERT_NE(enter, log.lines.end());
        EXPECT_GT(std::count(log.lines.begin(), enter, std::string("A update")), 70);
        EXPECT_EQ(log.lines.back(), "Login delete");
        app.reset();
    }
    SetLoginScreenMaker(nullptr);
}

class ClientStart : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        SetSpawnHook([this](const std::string& program, const std::vector<std::string>& args) {
            std::string line = program;
            for (const std::string& a : args) line += " " + a;
            spawned.push_back(line);
            return spawnWorks;
        });
        hooks.installCrashHandler = false;
        hooks.makeApp = [this](const std::string& commandLine) {
            made.push_back(commandLine);
            return std::unique_ptr<CGameApp>();
        };
    }
    void TearDown() override {
        SetSpawnHook(nullptr);
        AppFixture::TearDown();
    }
    std::vector<std::string> spawned, made;
    bool spawnWorks = true;
    ClientEntryHooks hooks;
};

TEST_F(ClientStart, OnlyGoStartsTheGameOtherWordsStartTheLauncher) {
    struct Row {
        const char* argument;
        const char* whole;
        bool game;
    } rows[] = {{"go", "", true},   {"", "go", true},   {"", "", false},       {"GO", "", false},
                {"go ", "", false}, {"x", "go", false}, {"Morvane", "", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.argument) + "|" + row.whole);
        spawned.clear();
        made.clear();
        EXPECT_EQ(ClientMain(row.argument, row.whole, hooks), 0);
        EXPECT_EQ(made.size(), row.game ? 1u : 0u);
        EXPECT_EQ(spawned, row.game ? std::vector<std::string>{} : std::vector<std::string>{"QOR.exe Morvane"});
    }
    EXPECT_TRUE(messages.empty());
    spawnWorks = false;
    EXPECT_EQ(ClientMain("", "", hooks), 0);
    EXPECT_EQ(messages, std::vector<std::string>{"Morvane|Cannot execute the file.!"});
}

TEST_F(ClientStart, ASecondCopyEndsBeforeAnything) {
    InstanceLock first("-Morvane-");
    ASSERT_FALSE(first.HeldElsewhere());
    for (const char* word : {"go", "x"}) EXPECT_EQ(ClientMain(word, "", hooks), 0);
    EXPECT_TRUE(made.empty());
    EXPECT_TRUE(spawned.empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(ClientStart, AClientRunningOutsideTheTestChangesNothing) {
    // A client of the machine's own runtime folder holds its lock.
    TempFolder machine;
    std::unique_ptr<InstanceLock> running;
    {
        ScopedEnv elsewhere{"XDG_RUNTIME_DIR", machine.path().c_str()};
        running = std::make_unique<InstanceLock>("-Morvane-");
    }
    ASSERT_FALSE(running->HeldElsewhere());
    EXPECT_EQ(InstanceLock::LockPath("-Morvane-").rfind(runtime.path() + "/", 0), 0u);
    EXPECT_EQ(ClientMain("go", "", hooks), 0);
    EXPECT_EQ(made.size(), 1u);
}

TEST_F(ClientStart, SigtermAndSigintEndTheLoopAndTheCleanUpRuns) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        int updates = 0;
        hooks.makeApp = [this, sig, &updates](const std::string&) {
            MakeApp();
            app->SetFirstScreenMaker([this, sig, &updates] {
                auto* screen = new CScriptedScreen("A", nullptr, {});
                screen->onUpdate = [this, sig, &updates](CScriptedScreen& s) {
                    updates = s.updates;
                    if (s.updates == 3) {
                        // Saved again at the end of a normal run.
                        TheRegistry().DeleteValue(kOptionsKeyPath, "WindowMode");
                        raise(sig);
                    }
                    if (s.updates == 100) window->PostQuitMessage(0);
                };
                return screen;
            });
            return std::unique_ptr<CGameApp>(std::move(app));
        };
        EXPECT_EQ(ClientMain("go", "", hooks), 0);
        EXPECT_EQ(updates, 3);
        EXPECT_TRUE(TheRegistry().GetDword(kOptionsKeyPath, "WindowMode").has_value());
        EXPECT_TRUE(messages.empty());
        // The handlers are gone with the run.
        struct sigaction now {};
        sigaction(sig, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL);
    }
}

TEST_F(ClientStart, AFailedStartShowsTheErrorTitledWithTheWindowTitle) {
    ASSERT_TRUE(DeleteFile(tmp.path() + "\\PACKAGELIST.DRL"));
    ASSERT_TRUE(DeleteFile(tmp.path() + "\\MSG.DAT"));  // the patcher's loose copy
    hooks.makeApp = [this](const std::string&) {
        MakeApp();
        return std::unique_ptr<CGameApp>(std::move(app));
    };
    EXPECT_EQ(ClientMain("go", "", hooks), 0);
    EXPECT_EQ(messages, std::vector<std::string>{"-Morvane-|not found file!!! (MSG.DAT)"});
}

class SystemCheck : public AppFixture {};

TEST_F(SystemCheck, MinimumsAndGrades) {
    MakeApp();
    struct Row {
        SystemFigures figures;
        int passes;
        int message;  // the failing check's message
        int grade;
    } rows[] = {
        {{1u << 20, 3000, 1u << 18}, 1, -1, 0},
        {{220201, 3000, 1u << 18}, 1, -1, 3},  // 256 MB less 16 %
        {{220200, 3000, 1u << 18}, 0, MSG_APP_ERROR_MEMORY_FALIED, 3},
        {{1u << 20, 999, 1u << 18}, 0, MSG_APP_ERROR_CPU_SPEED_FAILED, 3},
        {{1u << 20, 0, 1u << 18}, 1, -1, 3},  // no clock speed told
        {{1u << 20, 3000, 31999}, 0, MSG_APP_ERROR_VIDEO_MEM_FAILED, 3},
        {{1u << 20, 3000, 0}, 1, -1, 0},  // a driver that tells no video memory: the other figures grade
        {{450000, 3000, 0}, 1, -1, 2},
        {{450000, 3000, 1u << 18}, 1, -1, 2},
        {{1u << 20, 2000, 150000}, 1, -1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.figures.memoryKb);
        app->SetSystemFigures(row.figures);
        ErrorReport().Set(0, "");
        EXPECT_EQ(app->CheckMinimumSpec(256, 1000, "1 GHz", 32, 0), row.passes);
        if (row.message >= 0) {
            EXPECT_EQ(ErrorReport().GetCode(), 0u);
            EXPECT_FALSE(ErrorReport().Text().empty());
        }
        EXPECT_EQ(app->GetSystemGrade(), row.grade);
    }
}

TEST_F(SystemCheck, TheVideoMemoryIsTheGraphicsSystems) {
    MakeApp(true, false);
    configureSystem = [](CGfxRecordingSystem& made) { made.videoMemoryKb = 262144; };
    ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
    EXPECT_EQ(app->Figures().videoKb, 262144u);
    EXPECT_GT(app->Figures().memoryKb, 0u);
}

TEST_F(SystemCheck, UserFoldersAreMadeWhereMissing) {
    MakeApp();
    ASSERT_TRUE(CreateFolders(documents.path() + "\\QOR\\SCREENSHOT"));
    ASSERT_TRUE(WriteWholeFile(documents.path() + "\\QOR\\SCREENSHOT\\keep.jpg", "x", 1));
    app->CreateUserFolders();
    EXPECT_EQ(app->ScreenshotFolder(), documents.path() + "\\QOR\\SCREENSHOT");
    EXPECT_EQ(app->ReplayFolder(), documents.path() + "\\QOR\\REPLAY");
    EXPECT_TRUE(FolderExists(app->ReplayFolder()));
    EXPECT_TRUE(FileExists(documents.path() + "\\QOR\\SCREENSHOT\\keep.jpg"));
}

TEST_F(SystemCheck, OptionsAreSavedAtTheEndOnlyWhenTheyWereLoaded) {
    MakeApp();
    app->Options().gammaValue = 1.5f;
    app.reset();
    EXPECT_TRUE(TheRegistry().GetString(kOptionsKeyPath, "GammaValue").has_value());
    SetRegistry(CreateMemoryRegistry());
    ASSERT_TRUE(DeleteFile(tmp.path() + "\\VAZE.INI"));
    MakeApp();
    ASSERT_TRUE(app->LoaderFailed());
    TheRegistry().DeleteValue(kOptionsKeyPath, "WindowMode");
    app.reset();
    EXPECT_FALSE(TheRegistry().GetDword(kOptionsKeyPath, "WindowMode").has_value());
}

TEST_F(ErrorPopup, AOneButtonBoxHoldsTheScreenUntilConfirmed) {
    MakeApp();
    CScriptedScreen* screen = nullptr;
    app->SetFirstScreenMaker([&] { return screen = new CScriptedScreen("A", nullptr, {0}); });
    ASSERT_EQ(app->CreateApp(), 1);
    ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
    IMessageBoxHost& box = app->MessageBox();
    std::vector<int> held;
    screen->onUpdate = [&](CScriptedScreen& s) {
        held.push_back(s.CheckMessageBoxConfirm());
        switch (s.updates) {
            case 1:
                ShowMessageBox(box, "two buttons", 2, 0);
                break;
            case 2:
                ShowMessageBox(box, "one button", 1, 0);
                break;
            case 3:
                input->SetKey(DIK_RETURN, true);
                break;  // Enter confirms a one-button box like OK: the next check hides it
            case 4:
                input->SetKey(DIK_RETURN, false);
                break;
            case 5:
                ShowMessageBox(box, "again", 1, 0);
                break;
            case 6:
                input->SetKey(DIK_ESCAPE, true);
                break;
            case 7:
                input->SetKey(DIK_ESCAPE, false);
                break;
            case 9:
                window->PostQuitMessage(0);
                break;
        }
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    // Update 4 confirms by Enter, update 8 by Escape released; both still hold their frame.
    EXPECT_EQ(held, (std::vector<int>{0, 0, 1, 1, 0, 1, 1, 1, 0}));
    EXPECT_FALSE(box.Visible());
}
