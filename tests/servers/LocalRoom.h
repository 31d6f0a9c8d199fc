// QORTestServer's rooms, as one client on the channel sees them: the room the
// player makes, joins or quick-joins, where the player sits alone and hosts,
// and what follows it: map and guardian time, team, slots and settings, the
// start, hero select and the loading and play of the match, whose command
// frames come back to the player as a match server relays them. One room
// serves one connection; a new client starts with a new one.
//
// The answers follow the messages the client sends and reads. Nothing here
// decides a match: a one-player room starts only where the client's own start
// test lets it (mode 1; mode 0 wants equal teams).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "net/LobbyMessages.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/servers/RoomPackets.h"

// What the rooms draw from where the player leaves the choice to the server:
// a map key per room mode for the random map, and the heroes of each side for
// a random pick (none: a random pick is refused).
struct LocalRoomContent {
    std::array<uint16_t, 2> mapKeys{};
    std::array<std::vector<uint32_t>, 2> heroes;
};

class CLocalRoom {
public:
    // The server's own open room, listed in the lobby for joining.
    static constexpr uint16_t kListedRoom = 1;
    // The number a room made by the player gets.
    static constexpr uint16_t kMadeRoom = 2;

    explicit CLocalRoom(LocalRoomContent content = {}) : m_content(std::move(content)) {}

    // Every id Answer takes.
    static const std::vector<uint16_t>& Ids();
    // The lobby's nickname for this connection: the player's seat in any room.
    void SetNickname(std::string nickname) { m_nickname = std::move(nickname); }
    // The answers to one of the client's messages.
    std::vector<FakePacket> Answer(const FakePacket& request);

    // The listed room as the lobby's room list shows it.
    static RoomListRecord ListedRoom();
    bool InRoom() const { return m_inRoom; }
    const RoomSpec& Room() const { return m_room; }
    int OwnSlot() const { return m_own; }

private:
    std::vector<FakePacket> Enter(uint16_t answerId, uint16_t number, const std::string& title,
                                  const std::string& password, uint8_t mode);
    std::vector<FakePacket> Leave();
    std::vector<FakePacket> ChangeTeam(uint16_t team);
    std::vector<FakePacket> ToggleSlot(const FakePacket& request);
    std::vector<FakePacket> ChangeSettings(const FakePacket& request);
    std::vector<FakePacket> Start();
    std::vector<FakePacket> Pick(const FakePacket& request);
    std::vector<FakePacket> Withdraw();
    FakePacket RoomInfo() const;
    FakePacket SlotStates() const;
    // The hero for a pick: a concrete one as it is, random drawn from the side's.
    uint32_t Resolve(uint32_t hero) const;

    LocalRoomContent m_content;
    std::string m_nickname;
    RoomSpec m_room;
    bool m_inRoom = false;
    int m_own = -1;
    uint32_t m_draws = 0;
    std::array<uint32_t, 12> m_choices{};
};
