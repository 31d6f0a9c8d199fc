// The base of every screen (start-up, login, lobby, room, loading, play,
// result ...): a phase word, a frame timer, a full-screen fade and the
// operations the screen manager calls. The helpers every screen's update
// calls live here too: the common per-frame input step, the error popup that
// leads back to the login screen, and the confirmation of a one-button box.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/core/FrameTimer.h"
#include "engine/resource/LoaderJob.h"
#include "ui/ScreenFade.h"
#include "platform/Window.h"

class IChatLines;

// Results of a screen's Update; the manager adds 1 (no screen) and 3 (no successor).
enum ScreenResult : int {
    SCREEN_RUNNING = 0,
    SCREEN_NONE = 1,
    SCREEN_FINISHED = 2,
    SCREEN_NO_SUCCESSOR = 3,
    SCREEN_FATAL = 4,
};

class CScreen : public CLoaderJob {
public:
    // The error-popup phases shared by every screen.
    static constexpr int kPhaseErrorPopup = 10000;
    static constexpr int kPhaseErrorQuit = 10001;
    static constexpr int kPhaseErrorReturn = 10002;
    // Room for one whole network packet, which screens build in place.
    static constexpr size_t kPacketBufferSize = 2048;

    CScreen();
    ~CScreen() override;
    CScreen(const CScreen&) = delete;
    CScreen& operator=(const CScreen&) = delete;

    // The background job on the loader thread.
    int Job() override { return 1; }
    // Runs when the screen is pushed: the full viewport and the fade start.
    virtual void Enter();
    virtual int Update() { return SCREEN_RUNNING; }
    virtual void Render() {}
    virtual int InitDeviceObjects() { return 1; }
    virtual int RestoreDeviceObjects() { return 1; }
    virtual int InvalidateDeviceObjects() { return 1; }
    virtual void DeleteDeviceObjects() {}
    // 1 when the message was not consumed.
    virtual intptr_t MsgProc(const platform::WindowMessage&) { return 1; }

    // The start of every update: input, UI input, fade; with flags bit 0 the
    // server-shutdown count-down too.
    void UpdateCommon(int inputActive, IChatLines* chat, uint32_t flags);
    // The error popup's phases; its result is the update's result while the
    // phase is one of them, else 0.
    int UpdateErrorPopup();
    // 1 while a one-button box is up: the screen skips its own interaction.
    int CheckMessageBoxConfirm();
    // Shows the error report's text in the message box (closing the game
    // connection first when closeConnection is set) and enters the popup phase.
    void ShowErrorPopup(int closeConnection);

    // The phase word may be written by the screen's job on the loader thread.
    int Phase() const { return m_phase.load(std::memory_order_acquire); }
    void SetPhase(int phase) { m_phase.store(phase, std::memory_order_release); }
    CFrameTimer& Timer() { return m_timer; }
    float Dt() const { return m_timer.Dt(); }
    CScreenFade& Fade() { return m_fade; }
    unsigned char* PacketBuffer() { return m_packet; }

protected:
    int m_word = 0;
    std::atomic<int> m_phase{0};
    CFrameTimer m_timer;
    CScreenFade m_fade;
    UiColor m_fadeColor{0.0f, 0.0f, 0.0f, 1.0f};
    unsigned char m_packet[kPacketBufferSize] = {};
};

// The login screen that the error popup returns to. The lobby screens install
// the maker; until then the popup ends the program instead.
using LoginScreenMaker = CScreen* (*)();
void SetLoginScreenMaker(LoginScreenMaker maker);
CScreen* MakeLoginScreen();

// The lobby screen that the channel screen goes on to; until one is installed
// the channel screen ends there.
void SetLobbyScreenMaker(LoginScreenMaker maker);
CScreen* MakeLobbyScreen();

// The loading screen of a match whose state (game mode, map, slots) the
// caller has set up. The game screens install the maker; null until then.
using LoadingScreenMaker = CScreen* (*)();
void SetLoadingScreenMaker(LoadingScreenMaker maker);
CScreen* MakeLoadingScreen();

// The waiting room of the room the session has just made or joined.
using WaitRoomScreenMaker = CScreen* (*)();
void SetWaitRoomScreenMaker(WaitRoomScreenMaker maker);
CScreen* MakeWaitRoomScreen();

// The play screen of a match whose world the loading screen has loaded. The
// application installs the maker; null until then.
using PlayScreenMaker = CScreen* (*)();
void SetPlayScreenMaker(PlayScreenMaker maker);
CScreen* MakePlayScreen();

// The market and the my-info screen, reached from the lobby, a room and each
// other; null until the lobby screens install them.
using MarketScreenMaker = CScreen* (*)();
void SetMarketScreenMaker(MarketScreenMaker maker);
CScreen* MakeMarketScreen();
void SetMyInfoScreenMaker(MarketScreenMaker maker);
CScreen* MakeMyInfoScreen();
