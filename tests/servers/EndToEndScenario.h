// The three servers of a whole lobby-side run (login, game and channel)
// scripted stage by stage from the packet builders the screens' own tests
// use. Each stage adds its steps as the client reaches it; what the client
// sent is kept for the test to check, every client message is held to the
// size table (or its text formula), and the servers' packets can be written
// out as a log where a failed step leaves it.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "net/AccountSeal.h"
#include "net/LobbyMessages.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/servers/LobbyPackets.h"
#include "tests/servers/LoginPackets.h"
#include "tests/servers/RoomPackets.h"

class CEndToEndScenario {
public:
    CEndToEndScenario(CFakeGameServer& login, CFakeGameServer& game, CFakeGameServer& channel);

    // The login server: key, 2000 (kept opened), 3000 ok, key, 2009, 1003
    // naming 127.0.0.1; then the game server: key, 2009, 3009 ok, 2002 and
    // 3002 with these nicknames.
    void Login(const std::vector<FakeNickname>& nicknames);
    // 2003 with the nickname, 3003 ok, 2002 again and 3002 with it.
    void CreateNickname(const std::string& cp949);
    // 1004 pushed by the game server: two channels here, the second full.
    void PushChannels();
    // The channel server's entry (key, 2009, 3009 ok) and the lobby's:
    // 2005 -> 3005 for the player, 1005 -> 1006 with the rooms, the friend,
    // blocked and guild lists answered; the keep-alive 2039 is answered
    // whenever it comes.
    void EnterLobby(const LobbyPlayerSpec& player, const std::vector<RoomListRecord>& rooms);
    // 1017 from the player.
    void ExpectLobbyChat();
    // 2006 -> 3006 ok with the room's number, then the room: 1007 with the
    // player hosting slot 0, a mate entering slot 6 (1007) and getting ready (1008).
    void MakeRoom(const RoomSpec& room, int mateSlot, const std::string& mate);
    // 2010 -> 3010 ok with the map, then 1019 with the mate's pick.
    void StartMatch(uint16_t mapId, const std::array<uint32_t, 12>& choices);
    // 2016 -> 3016 ok, then 1020 with every slot's final hero and card level.
    void PickHero(const std::array<uint32_t, 12>& final, const std::array<uint8_t, 12>& levels);
    // 1031 from the lobby; the market's inventory pushed as 3024; 1032 from my-info.
    void GoToMarket(const std::vector<uint8_t>& inventoryAnswer);
    void ExpectBackToLobby();
    // A returning lobby asks for its page (1005 -> 1006) and nothing else.
    void ReturnToLobby(const std::vector<RoomListRecord>& rooms);
    // 1041 pushed on the lobby's connection, which the client then closes.
    void DuplicateLogin();

    // The clock the keep-alives are stamped with (read on the server's thread).
    void SetClock(uint32_t (*clock)()) { m_clock = clock; }
    // When each keep-alive 2039 reached the channel server.
    std::vector<uint32_t> KeepAliveTimes() const;

    // Every failure of the three servers and of the size checks.
    std::vector<std::string> Failures() const;
    // Waits until every server has run its steps.
    bool WaitIdle();
    // How many times the channel server received this id.
    int ChannelCount(uint16_t id) const;
    // One line per packet the servers received: server, id, size, the bytes in hex.
    std::string PacketLog() const;

    // What the client sent.
    AccountRecord loginRecord{}, loginEnterRecord{}, gameRecord{}, channelRecord{};
    uint8_t loginReentry = 0xFF, gameReentry = 0xFF, channelReentry = 0xFF;
    std::vector<uint8_t> nicknameCreate, lobbyEnter, chat, makeRoom, start, pick;

private:
    CFakeGameServer& m_login;
    CFakeGameServer& m_game;
    CFakeGameServer& m_channel;
    uint32_t (*m_clock)() = nullptr;
    mutable std::mutex m_mutex;
    std::vector<uint32_t> m_keepAlives;
};

// Why a message the client sent breaks the size table, or "" when it keeps
// it: a fixed id must have its size exactly, 1017 be 18 bytes plus its text
// and 1021 20 bytes plus its text.
std::string ClientSizeProblem(const FakePacket& packet);
