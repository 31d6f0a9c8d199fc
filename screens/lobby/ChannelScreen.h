// The channel list of the game server: pick a channel and enter its server,
// then the lobby. Back returns to the nickname screen; coming back from the
// lobby, the screen first re-enters the game server.
//
// Phases: 0 load, 1 fade in, 2 re-entering the game server, 3 choosing,
// 4 back to the nickname screen, 5 connect to the channel, 6 entering it,
// 7 and 8 leaving for the lobby; 10000.. the error popup.
#pragma once

#include "net/NetPacket.h"
#include "screens/lobby/ChannelWindow.h"
#include "ui/Screen.h"

class CResource;

class CChannelScreen : public CScreen {
public:
    enum ScreenPhase {
        PHASE_LOAD,
        PHASE_FADE_IN,
        PHASE_REENTER,
        PHASE_CHOOSING,
        PHASE_BACK,
        PHASE_CONNECT,
        PHASE_ENTERING,
        PHASE_ENTERED,
        PHASE_LEAVING
    };
    static constexpr uint32_t kClearColor = 0xFFFFFFFFu;
    static constexpr size_t kGuildRosterSize = 792;

    ~CChannelScreen() override;

    int Update() override;
    void Render() override;
    // 0 when the error popup is to be shown.
    int HandlePackets();

    CChannelWindow* Window() const { return m_window; }
    bool ListReceived() const { return m_listReceived; }
    const ChannelList& Channels() const { return m_channels; }

private:
    int Load();
    void UpdateChoosing();

    CResource* m_layout = nullptr;
    CChannelWindow* m_window = nullptr;
    ChannelList m_channels;
    bool m_listReceived = false;
    bool m_returning = false;
    bool m_waitCursor = true;
    NetPacket m_received;
};
