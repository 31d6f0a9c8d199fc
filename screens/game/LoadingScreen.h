// The screen between the lobby side and a match. It shows the map's loading
// picture, a game tip, the overall progress and, in a network match, every
// player's progress and a chat; on the loader thread it runs the match's
// loading job (map digest, HUD textures, water, map, the twelve heroes with
// their starting items); when every player has loaded it pushes the play
// screen.
//
// Phases: 0 set-up -> 1 loading -> (the job) 4 loaded, 3 start or 2 failed;
// 4 -> 3 by message 1012 or Space; 3 -> 6 fade-out -> play screen; 2 and the
// error popup end the program with the error text.
//
// Threads: the job writes the phase, the job progress and the done flag; the
// main thread writes the received-data flags, the gone flags and the other
// players' progress; all of them are atomics. The job never touches the
// connection or the UI: it raises a request (send the loading header, send
// the 100 % report, send 1011) that the main thread serves in its update and
// answers through a flag the job waits on. The job's waits end as soon as
// the stop flag is set (error popup, disconnection, the screen going away).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "ui/Screen.h"
#include "ui/ScreenFade.h"

class CGameDataRecord;
class CLoadingWindow;
class CResource;
class CZEMMap;
struct NetPacket;

class CLoadingScreen : public CScreen {
public:
    enum LoadingPhase {
        PHASE_SETUP = 0,
        PHASE_LOADING = 1,
        PHASE_FAILED = 2,
        PHASE_START = 3,
        PHASE_LOADED = 4,
        PHASE_FADE_OUT = 6,
    };
    static constexpr int kPositions = 12;
    static constexpr uint32_t kClearColor = 0xFF0000FFu;
    static constexpr float kFadeRate = 0.8f;
    static constexpr float kRefreshSeconds = 0.5f;
    static constexpr float kReportSeconds = 0.5f;
    static constexpr int32_t kWaterFrames = 45;
    static constexpr float kWaterFramesPerSecond = 3.0f;
    static constexpr uint32_t kLocalGaugeColour = 0xFFFFFF00u;
    static constexpr uint32_t kOtherGaugeColour = 0xFF00FF00u;
    static constexpr const char* kLayout = "LOADING.DUI";
    static constexpr const char* kFootmarkEffect = "EFF_COM_FOOTMARK-WATER.DRE";
    static constexpr const char* kWaterSound = "WATERMARK.OGG";

    CLoadingScreen();
    ~CLoadingScreen() override;

    int Job() override { return RunLoadingJob(); }
    int Update() override;
    void Render() override;
    // The map the job fills goes with the device: the job ends first.
    void DeleteDeviceObjects() override;

    // The match's loading job; runs on the loader thread. 1 when loaded.
    int RunLoadingJob();
    // Reads the game connection until nothing is left; 0 when it failed.
    int HandleServerMessages();
    // The progress report of the local position (1015 kind 2); 0 when the send failed.
    int SendProgress(float percent);
    // Adds an ITEM record to a position's record list unless the record is
    // kept out of matches (flag 0x40000000) or already listed. 1 when added.
    static int AddLocalRecord(int32_t position, CGameDataRecord* record);

    // The picture a map shows while it loads: its file name without folder
    // and extension, with "_LOADING.DDS".
    static std::string LoadingPictureName(const std::string& mapFile);

    float JobProgress() const { return m_progress.load(std::memory_order_acquire); }
    float ShownProgress() const { return m_shown; }
    bool JobDone() const { return m_jobDone.load(std::memory_order_acquire); }
    float PlayerProgress(int position) const;
    bool DataReceived(int position) const;
    bool PlayerGone(int position) const;
    int RowOf(int position) const;
    int ChatMode() const { return m_chatMode; }
    CLoadingWindow* Window() const { return m_window; }
    const CScreenFade& Picture() const { return m_picture; }

protected:
    // Every change of the job progress, on the loader thread (tests record it).
    virtual void OnProgress(float) {}

private:
    enum Request { REQUEST_NONE, REQUEST_HEADER, REQUEST_FULL_PROGRESS, REQUEST_LOADING_DONE };

    int SetUp();
    void MarkPresentPositions();
    void FillLocalRecords();
    void StartJob();
    int Failed();
    int EndWithPopupText();
    int PushPlayScreen();
    void UpdateCommonPart();
    void RefreshRows();
    void ServeRequest();
    void HandleChatInput();
    void ToggleChatMode();
    void ShowChatMode();
    void HandleLoadingMessage(const NetPacket& packet);
    void ShowPlayerChat(uint32_t position, uint32_t mode, const std::string& text);
    int SendLoadingHeader();
    int SendLoadingDone();
    void StopJob();

    // The job's own steps (loader thread).
    int Fail();
    void SetProgress(float value);
    int AskMainThread(Request request);
    int WaitForPlayers();
    int CreateHeroes(CZEMMap& map);
    int CreateHero(CZEMMap& map, int position);
    int LoadWaterEffects(CZEMMap& map);

    CLoadingWindow* m_window = nullptr;
    CResource* m_layout = nullptr;
    CScreenFade m_picture;
    std::atomic<float> m_progress{0.0f};
    float m_shown = 0;
    float m_reportTimer = 0;
    float m_refreshTimer = kRefreshSeconds;
    std::array<std::atomic<float>, kPositions> m_playerProgress{};
    std::array<std::atomic<bool>, kPositions> m_received{};
    std::array<std::atomic<bool>, kPositions> m_gone{};
    std::array<int, kPositions> m_rows{};
    std::atomic<bool> m_jobDone{false};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_request{REQUEST_NONE};
    std::atomic<int> m_answer{-1};
    bool m_jobStarted = false;
    bool m_pressKeyShown = false;
    int m_chatMode = 1;
    // Read by the job: fixed before it starts.
    bool m_network = false;
    int32_t m_gameMode = 0;
    int32_t m_local = 0;
};

// The loading screen's maker for SetLoadingScreenMaker.
CScreen* NewLoadingScreen();
