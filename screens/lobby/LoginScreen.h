// The first interactive screen: the login window, and on request the replay
// list. It connects to the login server, sends the sealed account record and
// goes on to the connect screen once the server accepts it; from the replay
// list it starts the playback of a stored replay through the loading screen.
// Escape or the exit button ends the program.
//
// Phases: 0 load, 1 interactive, 2 waiting for the login server, 3 accepted,
// 4 replay list, 5 fading out; 10000 the error popup.
#pragma once

#include <string>

#include "net/NetPacket.h"
#include "ui/Screen.h"

class CLoginWindow;
class CReplayListWindow;
class CResource;

class CLoginScreen : public CScreen {
public:
    enum ScreenPhase { PHASE_LOAD, PHASE_INTERACTIVE, PHASE_WAITING, PHASE_ACCEPTED, PHASE_REPLAYS, PHASE_LEAVING };
    // A refused id and password are not tried again within this time.
    static constexpr float kRetrySeconds = 120.0f;
    static constexpr uint32_t kClearColor = 0xFFFFFFFFu;

    CLoginScreen();
    ~CLoginScreen() override;

    int Update() override;
    void Render() override;
    // The window's close button ends the program as Escape does.
    intptr_t MsgProc(const platform::WindowMessage& message) override;

    // 0 when the error popup is to be shown, else 1.
    int HandlePackets();
    // 1 connected, 0 refused or failed (the error report is set).
    int Connect();
    // 1 when the loading screen was pushed.
    int StartReplay(bool check);

    CLoginWindow* Window() const { return m_window; }
    CReplayListWindow* ReplayWindow() const { return m_replayWindow; }
    int Shown() const { return m_shown; }

private:
    int Load();
    int UpdateInteractive();
    int UpdateReplays();
    int UpdatePopup();
    int HandleLoginResult(const NetPacket& packet);
    // Closes the connection, swallows the system keys and ends the screen.
    int LeaveForReplay();

    CResource* m_layout = nullptr;
    CLoginWindow* m_window = nullptr;
    CResource* m_replayLayout = nullptr;
    CReplayListWindow* m_replayWindow = nullptr;
    std::string m_refusedId;
    std::string m_refusedPassword;
    int m_refusedReason = -1;
    float m_sinceAttempt = 0.0f;
    int m_shown = 0;
    bool m_waitCursor = true;
    bool m_closeAsked = false;
    NetPacket m_received;
};

// The login screen's maker for SetLoginScreenMaker.
CScreen* NewLoginScreen();
