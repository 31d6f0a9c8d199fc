// A screen host for tests of single screens and the shared handlers: a message
// box that remembers what it showed, counters of the connection closes, the
// count-downs started and the sleeps, no music or maps, and no window unless
// the test lends one (a test window, to read back what was done to it).
#pragma once

#include <string>
#include <vector>

#include "engine/core/MessageBoxHost.h"
#include "engine/core/Options.h"
#include "engine/input/ZEMDXInput.h"
#include "platform/GfxTypes.h"
#include "tests/engine/RecordingMessageBox.h"
#include "tests/engine/RecordingOptionsTarget.h"
#include "ui/MapListEntry.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiManager.h"

class CRecordingScreenHost : public IScreenHost {
public:
    CRecordingScreenHost() { RegisterScreenHost(this); }
    ~CRecordingScreenHost() override { WithdrawScreenHost(this); }

    CZEMDXInput& Input() override { return input; }
    CUiManager& Ui() override { return ui; }
    IMessageBoxHost& MessageBox() override { return box; }
    CScreenManager& Screens() override { return screens; }
    platform::CWindow* Window() const override { return window; }
    bool HasWindowFocus() const override { return true; }
    std::string WindowTitle() const override { return "QOR"; }
    uint32_t BackBufferWidth() const override { return 1024; }
    uint32_t BackBufferHeight() const override { return 768; }
    int TickShutdownCountdown(IChatLines*, float) override { return 1; }
    void CloseConnection() override { ++closes; }
    CZEMSound* Bgm() const override { return nullptr; }
    void StopBgm() override {}
    void PlayBgm(CZEMSound*) override {}
    int PlayBgmByName(const char*) override { return 0; }
    uint32_t SumMapChecks() const override { return 0; }
    const MapListEntry* FindMapInfo(int) const override { return nullptr; }
    int FindMapByName(const char*, int*) const override { return -1; }
    bool HasMessageBox() const override { return true; }
    int LogoCount() const override { return 0; }
    int LogoIndex() const override { return 0; }
    void SetLogoIndex(int) override {}
    std::string LogoTexture(int) const override { return std::string(); }
    std::string LogoSound(int) const override { return std::string(); }
    size_t MapCount(int) const override { return 0; }
    const MapListEntry& Map(int, size_t) const override { return m_noMap; }
    int SystemGrade() const override { return 0; }
    COptions& Options() override { return options; }
    void ApplyOptions() override {}
    IOptionsTarget* OptionsTarget() override { return &optionsTarget; }
    void StartShutdownCountdown(float seconds) override { countdowns.push_back(seconds); }
    void Sleep(uint32_t ms) override { sleeps.push_back(ms); }
    void SetSceneLight(const platform::GfxLight& l) override {
        light = l;
        ++lightSets;
    }
    std::string ReplayFolderPath() const override { return replayFolder; }

    CZEMDXInput input;
    CUiManager ui;
    CRecordingMessageBox box;
    std::string replayFolder;
    CScreenManager screens;
    COptions options;
    CRecordingOptionsTarget optionsTarget;
    int closes = 0;
    platform::GfxLight light;
    int lightSets = 0;
    std::vector<float> countdowns;
    std::vector<uint32_t> sleeps;
    platform::CWindow* window = nullptr;

private:
    MapListEntry m_noMap;
};
