// A client on test services in a sample game folder: the real application and
// main loop on a test window, the recording device system, scripted input, an
// in-memory registry, a stepped clock and recorded message boxes. With
// realWindow set (the window tests, under their own X server) the client gets
// a real SDL window, the GL device and a scripted input method instead.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/GameApp.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/GfxSystem.h"
#include "platform/MessageSink.h"
#include "platform/Registry.h"
#include "platform/ScriptedIme.h"
#include "platform/ScriptedInput.h"
#include "platform/Window.h"
#include "tests/fixtures/ScopedEnv.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/SampleGameFolder.h"

// The application with its waits counted instead of slept.
class CTestGameApp : public CGameApp {
public:
    using CGameApp::CGameApp;
    std::vector<uint32_t> sleeps;
    int CountSleeps(uint32_t ms) const {
        int n = 0;
        for (uint32_t s : sleeps) n += s == ms;
        return n;
    }

protected:
    void Sleep(uint32_t ms) override { sleeps.push_back(ms); }
};

// A screen that records what the manager and the application do to it and
// follows a script of update results.
struct ScreenLog {
    std::vector<std::string> lines;
    void Add(const std::string& line) { lines.push_back(line); }
};

class CScriptedScreen : public CScreen {
public:
    CScriptedScreen(std::string name, ScreenLog* log, std::vector<int> results = {})
        : m_name(std::move(name)), m_log(log), m_results(std::move(results)) {}
    ~CScriptedScreen() override { Add("delete"); }

    void Enter() override {
        CScreen::Enter();
        Add("enter");
    }
    int Update() override {
        Add("update");
        m_timer.Update();
        UpdateCommon(1, nullptr, 0);
        ++updates;
        if (onUpdate) onUpdate(*this);
        if (Phase() >= kPhaseErrorPopup) return UpdateErrorPopup();
        if (m_next < m_results.size()) return m_results[m_next++];
        return m_results.empty() ? SCREEN_RUNNING : m_results.back();
    }
    void Render() override {
        Add("render");
        if (platform::CGfxDevice* device = GetDevice()) {
            device->BeginScene();
            device->Clear(0, nullptr, platform::CLEAR_TARGET, clearColor, 1.0f, 0);
            device->EndScene();
        }
    }
    int InitDeviceObjects() override { return Add("init"), initResult; }
    int RestoreDeviceObjects() override { return Add("restore"), 1; }
    int InvalidateDeviceObjects() override { return Add("invalidate"), 1; }
    void DeleteDeviceObjects() override { Add("delete-objects"); }

    std::function<void(CScriptedScreen&)> onUpdate;
    int updates = 0;
    uint32_t clearColor = 0xFF00FF00u;
    int initResult = 1;

private:
public:
    void Add(const std::string& what) {
        if (m_log) m_log->Add(m_name + " " + what);
    }
    std::string m_name;
    ScreenLog* m_log;
    std::vector<int> m_results;
    size_t m_next = 0;
};

class AppFixture : public ::testing::Test {
protected:
    // Each reading on the test's thread is a 60 Hz frame later. Threads of
    // their own (the sound feeder, the network's waits) poll often, and only
    // a millisecond goes by on each of their readings, so that their waits
    // still end without running a frame's time away between two frames.
    static inline std::atomic<uint32_t> s_now{0};
    static inline std::thread::id s_testThread;
    static uint32_t Now() {
        const uint32_t step = std::this_thread::get_id() == s_testThread ? 16 : 1;
        return s_now.fetch_add(step) + step;
    }

    void SetUp() override {
        ASSERT_EQ(MakeSampleGameFolder(tmp.path()), 1);
        m_oldFolder = platform::WorkingFolder();
        ASSERT_TRUE(platform::SetWorkingFolder(tmp.path()));
        platform::SetRegistry(platform::CreateMemoryRegistry());
        s_testThread = std::this_thread::get_id();
        platform::SetClockSource(&AppFixture::Now);
        platform::SetMessageHook(
            [this](const std::string& title, const std::string& text) { messages.push_back(title + "|" + text); });
    }
    void TearDown() override {
        app.reset();
        m_pendingWindow.reset();
        platform::SetMessageHook(nullptr);
        platform::SetClockSource(nullptr);
        platform::SetWorkingFolder(m_oldFolder);
    }

    // Makes the application on test services; windowed unless told otherwise,
    // and with a fast machine's figures unless the figures are to be measured.
    CTestGameApp& MakeApp(bool windowed = true, bool giveFigures = true) {
        platform::TheRegistry().SetDword(kOptionsKeyPath, "WindowMode", windowed ? 1 : 0);
        platform::TheRegistry().SetDword(kOptionsKeyPath, "Color32Bit", 1);
        app = std::make_unique<CTestGameApp>("go");
        if (giveFigures) app->SetSystemFigures({1u << 20, 3000, 1u << 18});
        m_pendingWindow = std::make_unique<platform::CTestWindow>(1024, 768, windowed);
        window = m_pendingWindow.get();
        app->SetWindowMaker([this](const std::string& title, int, int, bool, std::string*) {
            window->SetTitle(title);
            return std::unique_ptr<platform::CWindow>(std::move(m_pendingWindow));
        });
        app->SetSystemMaker([this] {
            auto made = std::make_unique<platform::CGfxRecordingSystem>();
            system = made.get();
            if (configureSystem) configureSystem(*made);
            return made;
        });
        if (realWindow) UseRealWindow();
        app->SetInputMaker([this](platform::CWindow*) {
            auto made = std::make_unique<platform::ScriptedInput>();
            input = made.get();
            ++inputsMade;
            return made;
        });
        return *app;
    }

    // The SDL window, the GL device system and the scripted input method.
    void UseRealWindow() {
        window = nullptr;
        m_pendingWindow.reset();
        app->SetWindowMaker([](const std::string& title, int width, int height, bool windowed, std::string* error) {
            return platform::CreateSdlWindow(title, width, height, windowed, true, error);
        });
        app->SetSystemMaker([] { return std::make_unique<platform::CGfxGlSystem>(); });
        app->SetImeMaker([this](platform::CWindow*) {
            auto made = std::make_unique<platform::ScriptedIme>();
            ime = made.get();
            return made;
        });
    }

    // The application's device while it has one.
    platform::CGfxRecordingDevice* Device() const { return dynamic_cast<platform::CGfxRecordingDevice*>(GetDevice()); }

    TempFolder tmp;
    TempFolder documents;
    ScopedEnv documentsEnv{"XDG_DOCUMENTS_DIR", documents.path().c_str()};
    // The single-instance lock and the options store are this test's own: a
    // running client or a second test run changes no result.
    TempFolder runtime;
    TempFolder config;
    ScopedEnv runtimeEnv{"XDG_RUNTIME_DIR", runtime.path().c_str()};
    ScopedEnv configEnv{"XDG_CONFIG_HOME", config.path().c_str()};
    // Sound plays into OpenAL Soft's silent output: no sound card is needed.
    ScopedEnv soundEnv{"ALSOFT_DRIVERS", "null"};
    std::unique_ptr<CTestGameApp> app;
    platform::CTestWindow* window = nullptr;  // owned by the application
    platform::CGfxRecordingSystem* system = nullptr;
    platform::ScriptedInput* input = nullptr;
    bool realWindow = false;
    platform::ScriptedIme* ime = nullptr;  // owned by the application, with realWindow
    std::function<void(platform::CGfxRecordingSystem&)> configureSystem;
    std::vector<std::string> messages;
    int inputsMade = 0;

private:
    std::string m_oldFolder;
    std::unique_ptr<platform::CTestWindow> m_pendingWindow;
};
