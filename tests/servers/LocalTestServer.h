// QORTestServer's login, game and channel servers: a permissive script for
// trying the screens before the lobby on one machine, not a game server. Any
// id and password log in; an account starts without nicknames and keeps the
// ones it creates (three at most, each unique) while the server runs; the game
// server lists two channels on its own host and refreshes the list every
// second; the channel is a lobby of one player, who makes or joins a room of
// their own and plays it through (tests/servers/LocalRoom.h). Clients are
// served one after another on each port.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "tests/servers/FakeGameServer.h"
#include "tests/servers/LocalRoom.h"
#include "tests/servers/LocalMarket.h"

class CLocalTestServer {
public:
    static constexpr uint16_t kLoginPort = 10000;
    static constexpr uint16_t kGamePort = 10001;
    static constexpr uint16_t kChannelPort = 10003;
    static constexpr size_t kSlots = 3;

    // Port 0: the system picks one. host is the address the login server
    // names for the game server and the game server for its channels; the
    // rooms draw random maps and heroes from content.
    CLocalTestServer(uint16_t loginPort = kLoginPort, uint16_t gamePort = kGamePort,
                     uint16_t channelPort = kChannelPort, std::string host = "127.0.0.1",
                     LocalRoomContent content = {});

    // False when a port could not be taken; Error() then says which and why.
    bool Listening() const;
    std::string Error() const;

    uint16_t LoginPort() const { return m_login.Port(); }
    uint16_t GamePort() const { return m_game.Port(); }
    uint16_t ChannelPort() const { return m_channel.Port(); }

    // The account's slots; "" is a free one.
    std::array<std::string, kSlots> Nicknames(const std::string& accountId) const;
    // The room of the channel's current client.
    RoomSpec Room() const;
    bool InRoom() const;

private:
    std::vector<FakePacket> NicknameList(const std::string& accountId) const;
    std::vector<FakePacket> CreateNickname(const FakePacket& request);
    std::vector<FakePacket> DeleteNickname(const FakePacket& request);
    std::vector<FakePacket> ChannelList() const;
    void ServeLobby();
    std::vector<FakePacket> EnterLobby(const FakePacket& request);

    const std::string m_host;
    mutable std::mutex m_mutex;
    std::map<std::string, std::array<std::string, kSlots>> m_accounts;
    uint32_t m_nextKey = 0x5EED0001u;
    const LocalRoomContent m_content;
    std::string m_lobbyNickname;
    CLocalRoom m_room;
    CLocalMarket m_market;
    // Declared last: their threads answer through the members above.
    CFakeGameServer m_login;
    CFakeGameServer m_game;
    CFakeGameServer m_channel;
};
