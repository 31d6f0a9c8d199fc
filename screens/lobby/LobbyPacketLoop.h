// The lobby's network loop: keeps the connection alive with the player-list
// request every ten seconds, reads every waiting message and hands the
// lobby's own answers, already taken apart, to the screen; every other id goes
// to the screen's shared handlers.
#pragma once

#include <cstdint>
#include <string>

#include "net/LobbyMessages.h"

class CClientSession;
class CNetClient;
struct NetPacket;

// What the lobby screen does with the answers.
class ILobbyEvents {
public:
    virtual ~ILobbyEvents() = default;
    // 3005 accepted; the notice code is kept for a later screen.
    virtual void OnLobbyEntered(const LobbyEnterResult& result) = 0;
    virtual void OnRoomList(const RoomPage& rooms) = 0;
    virtual void OnLobbyUsers(const LobbyUserList& users) = 0;
    // A chat line that passed the block list and the word filter.
    virtual void OnChatLine(const std::string& line, uint32_t colour) = 0;
    // 3006 (room made), 3007 (room joined) or 3018 (quick join): result 1 is
    // success; room is 0 for 3007, which carries none.
    virtual void OnRoomAnswer(uint16_t id, uint8_t result, uint8_t reason, uint16_t room) = 0;
    // 3001: the server let the player quit.
    virtual void OnQuitAnswer() = 0;
    // Any other id; 0 ends the loop (the error report is set).
    virtual int OnOtherPacket(const NetPacket& packet) = 0;
    // False once the lobby is leaving: what the server sends behind an
    // accepted room answer (the room's record) is the next screen's to read.
    virtual bool Reading() const { return true; }
};

class CLobbyPacketLoop {
public:
    static constexpr float kKeepAliveSeconds = 10.0f;

    // One frame's work. 0 when a send or a receive failed, the entry was
    // refused or an answer was cut short (the error report says which; the
    // caller shows the error popup); 1 otherwise.
    int Run(CNetClient& net, CClientSession& session, float dt, ILobbyEvents& events);
    // The keep-alive goes out on the next run.
    void ResetKeepAlive() { m_keepAlive = 0.0f; }
    float KeepAliveTimer() const { return m_keepAlive; }

private:
    int Handle(CNetClient& net, CClientSession& session, const NetPacket& packet, ILobbyEvents& events);

    float m_keepAlive = 0.0f;
};

// The chat line as the lobby shows it: "%s : %s" in white, or in magenta
// for an operator (a sender with "["). 0 when the sender is blocked or the
// word filter drops the text.
int MakeLobbyChatLine(const CClientSession& session, const std::string& sender, const std::string& text,
                      std::string* line, uint32_t* colour);
