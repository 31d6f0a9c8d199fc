// Between the login screen and the nickname screen, black under the wait
// cursor: enters the login server with the account, takes the account
// information with the game server's address, reconnects to the game server
// and enters it the same way.
//
// Phases: 2 on the login server, 4 reconnect, 5 on the game server, 6 entered;
// 10000 the error popup.
#pragma once

#include "net/NetPacket.h"
#include "ui/Screen.h"

class CConnectScreen : public CScreen {
public:
    enum ScreenPhase { PHASE_START = 0, PHASE_LOGIN_SERVER = 2, PHASE_RECONNECT = 4, PHASE_GAME_SERVER = 5, PHASE_ENTERED = 6 };
    static constexpr uint32_t kClearColor = 0x00000000u;

    int Update() override;
    void Render() override;
    // 0 when the error popup is to be shown.
    int HandlePackets();

private:
    NetPacket m_received;
};
