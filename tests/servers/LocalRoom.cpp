#include "tests/servers/LocalRoom.h"

#include <algorithm>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "net/MessageIds.h"
#include "tests/servers/LobbyPackets.h"

namespace {

constexpr size_t kTitleField = 31;
constexpr size_t kPasswordField = 13;
constexpr size_t kMakeRoomModeAt = 56;
constexpr size_t kSettingsRanksAt = 44;
constexpr size_t kProfileHead = 71;
constexpr uint32_t kRandomHero = 1;
constexpr int kTeamSlots = 6;
// Result codes the client shows as "the room is full" and "the room does not exist".
constexpr uint8_t kCodeRoomFull = 10;
constexpr uint8_t kCodeNoRoom = 33;

// An accepted answer that carries a u16 after the flag and code.
FakePacket ValueAnswer(uint16_t id, uint16_t value) {
    FakePacket p = ResultPacket(id, 1, 0);
    CByteWriter(p.payload.data() + 2, p.payload.size() - 2).WriteU16(value);
    return p;
}

}  // namespace

const std::vector<uint16_t>& CLocalRoom::Ids() {
    static const std::vector<uint16_t> ids{
        PK_MAKE_ROOM,        PK_JOIN_ROOM,       PK_QUICK_JOIN,         PK_LEAVE_ROOM,        PK_ROOM_READY_TOGGLE,
        PK_CHAT_LINE,        PK_ROOM_MAP_CHANGE, PK_ROOM_TIME_CHANGE,   PK_ROOM_TEAM_CHANGE,  PK_ROOM_SLOT_TOGGLE,
        PK_CREATE_ROOM,      PK_GAME_START,      PK_HERO_PICK,          PK_HERO_SELECT,       PK_LOADING_DONE,
        PK_GAME_COMMANDS,    PK_PRACTICE_ROOM_LEAVE};
    return ids;
}

RoomListRecord CLocalRoom::ListedRoom() {
    RoomListRecord room;
    room.number = kListedRoom;
    room.state = 1;
    room.title = "Open room";
    room.players = 0;
    room.capacity = 12;
    room.lowestRank = 1;
    room.highestRank = 100;
    room.mode = 1;
    return room;
}

std::vector<FakePacket> CLocalRoom::Answer(const FakePacket& request) {
    CByteReader in(request.payload.data(), request.payload.size());
    switch (request.id) {
        case PK_MAKE_ROOM: {
            in.Seek(kMakeRoomModeAt);
            const uint8_t mode = in.ReadU8();
            return Enter(PK_MAKE_ROOM_RESULT, kMadeRoom, PacketText(request, 0, kTitleField),
                         PacketText(request, kTitleField, kPasswordField), in.Ok() && mode <= 1 ? mode : 0);
        }
        case PK_JOIN_ROOM: {
            const uint16_t number = in.ReadU16();
            if (!in.Ok() || number != kListedRoom) return {ResultPacket(PK_JOIN_ROOM_RESULT, 0, kCodeNoRoom)};
            const RoomListRecord listed = ListedRoom();
            return Enter(PK_JOIN_ROOM_RESULT, listed.number, listed.title, "", listed.mode);
        }
        case PK_QUICK_JOIN: {
            const RoomListRecord listed = ListedRoom();
            return Enter(PK_QUICK_JOIN_RESULT, listed.number, listed.title, "", listed.mode);
        }
        // The match's own messages: the loading is over when the player's is,
        // and every command frame comes back as the relay sends it.
        case PK_LOADING_DONE:
            return {{PK_MATCH_BEGIN, std::vector<uint8_t>(2, 0)}};
        case PK_GAME_COMMANDS:
            return {request};
        default:
            break;
    }
    if (!m_inRoom) return {};
    switch (request.id) {
        case PK_LEAVE_ROOM:
            return Leave();
        case PK_ROOM_READY_TOGGLE: {
            RoomSlotSpec& own = m_room.slots[static_cast<size_t>(m_own)];
            if (m_own != m_room.hostSlot) own.ready = own.ready ? 0 : 1;
            return {{PK_ROOM_READY_TOGGLE, std::vector<uint8_t>(4, 0)}, SlotStates()};
        }
        case PK_CHAT_LINE:
            return {request};
        case PK_ROOM_MAP_CHANGE:
        case PK_ROOM_TIME_CHANGE: {
            const uint16_t value = in.ReadU16();
            if (!in.Ok()) return {};
            if (request.id == PK_ROOM_MAP_CHANGE) {
                m_room.mapId = value;
                return {ValueAnswer(PK_ROOM_MAP_CHANGE_RESULT, value)};
            }
            m_room.guardianChoice = value;
            return {ValueAnswer(PK_ROOM_TIME_CHANGE_RESULT, value)};
        }
        case PK_ROOM_TEAM_CHANGE: {
            const uint16_t team = in.ReadU16();
            return in.Ok() ? ChangeTeam(team) : std::vector<FakePacket>{};
        }
        case PK_ROOM_SLOT_TOGGLE:
            return ToggleSlot(request);
        case PK_CREATE_ROOM:
            return ChangeSettings(request);
        case PK_GAME_START:
            return Start();
        case PK_HERO_PICK:
            return Pick(request);
        case PK_HERO_SELECT:
            return Withdraw();
        case PK_PRACTICE_ROOM_LEAVE:
        default:
            return {};
    }
}

std::vector<FakePacket> CLocalRoom::Enter(uint16_t answerId, uint16_t number, const std::string& title,
                                          const std::string& password, uint8_t mode) {
    m_room = RoomSpec();
    m_room.number = number;
    m_room.title = title;
    m_room.password = password;
    m_room.mode = mode;
    m_room.hostSlot = 0;
    m_room.Seat(0, m_nickname);
    m_own = 0;
    m_inRoom = true;
    m_choices = {};
    FakePacket answer = answerId == PK_JOIN_ROOM_RESULT ? ResultPacket(answerId, 1, 0) : ValueAnswer(answerId, number);
    return {answer, RoomInfo()};
}

std::vector<FakePacket> CLocalRoom::Leave() {
    m_inRoom = false;
    m_own = -1;
    FakePacket answer = ResultPacket(PK_LEAVE_ROOM_RESULT, 1, 0);
    // The head of the player's profile follows the flag and code.
    LobbyPlayerSpec player;
    player.nickname = m_nickname;
    const std::vector<uint8_t> entry = LobbyEnterAnswer(1, 0, player);
    std::copy_n(entry.begin() + 2, std::min(kProfileHead, answer.payload.size() - 2), answer.payload.begin() + 2);
    return {answer};
}

std::vector<FakePacket> CLocalRoom::ChangeTeam(uint16_t team) {
    if (team > 1) return {ResultPacket(PK_ROOM_TEAM_CHANGE_RESULT, 0, kCodeRoomFull)};
    const int first = team * kTeamSlots;
    int target = -1;
    for (int slot = first; slot < first + kTeamSlots && target < 0; ++slot)
        if (m_room.slots[static_cast<size_t>(slot)].state == 0) target = slot;
    if (target < 0) return {ResultPacket(PK_ROOM_TEAM_CHANGE_RESULT, 0, kCodeRoomFull)};
    m_room.slots[static_cast<size_t>(m_own)] = RoomSlotSpec{.state = 0, .team = m_own < kTeamSlots ? uint8_t{0} : uint8_t{1}};
    m_room.members[static_cast<size_t>(m_own)] = RoomMemberSpec();
    m_room.Seat(target, m_nickname);
    m_own = target;
    m_room.hostSlot = static_cast<uint8_t>(target);
    return {ResultPacket(PK_ROOM_TEAM_CHANGE_RESULT, 1, 0), RoomInfo()};
}

std::vector<FakePacket> CLocalRoom::ToggleSlot(const FakePacket& request) {
    CByteReader in(request.payload.data(), request.payload.size());
    const uint16_t slot = in.ReadU16();
    const uint32_t close = in.ReadU32();
    // Only the empty seats open and close: the player's own stays.
    if (!in.Ok() || slot >= m_room.slots.size() || static_cast<int>(slot) == m_own)
        return {ResultPacket(PK_ROOM_SLOT_TOGGLE_RESULT, 0, kCodeNoRoom)};
    m_room.slots[slot].state = close ? 1 : 0;
    return {ResultPacket(PK_ROOM_SLOT_TOGGLE_RESULT, 1, 0), SlotStates()};
}

std::vector<FakePacket> CLocalRoom::ChangeSettings(const FakePacket& request) {
    CByteReader in(request.payload.data(), request.payload.size());
    in.Seek(kSettingsRanksAt);
    const uint16_t lowest = in.ReadU16();
    const uint16_t highest = in.ReadU16();
    const std::string title = PacketText(request, 0, kTitleField);
    if (!in.Ok() || title.empty()) return {ResultPacket(PK_ROOM_CHANGE_RESULT, 0, kCodeNoRoom)};
    m_room.title = title;
    m_room.password = PacketText(request, kTitleField, kPasswordField);
    m_room.lowerRank = lowest;
    m_room.upperRank = highest;
    return {ResultPacket(PK_ROOM_CHANGE_RESULT, 1, 0), RoomInfo()};
}

std::vector<FakePacket> CLocalRoom::Start() {
    const uint16_t map = m_room.mapId ? m_room.mapId : m_content.mapKeys[m_room.mode <= 1 ? m_room.mode : 0];
    if (!map) return {ResultPacket(PK_GAME_START_RESULT, 0, kCodeNoRoom)};
    m_choices = {};
    return {ValueAnswer(PK_GAME_START_RESULT, map)};
}

uint32_t CLocalRoom::Resolve(uint32_t hero) const {
    if (hero != kRandomHero) return hero;
    const std::vector<uint32_t>& side = m_content.heroes[m_own < kTeamSlots ? 0 : 1];
    return side.empty() ? 0 : side[m_draws % side.size()];
}

std::vector<FakePacket> CLocalRoom::Pick(const FakePacket& request) {
    CByteReader in(request.payload.data(), request.payload.size());
    in.ReadU16();
    const uint32_t hero = in.ReadU32();
    const uint32_t final = in.Ok() ? Resolve(hero) : 0;
    if (final <= kRandomHero) return {ResultPacket(PK_HERO_PICK_RESULT, 0, kCodeNoRoom)};
    ++m_draws;
    m_choices[static_cast<size_t>(m_own)] = hero;
    std::vector<FakePacket> out{ResultPacket(PK_HERO_PICK_RESULT, 1, 0), {PK_HERO_CHOICES, HeroChoicesPayload(m_choices)}};
    // Every seated player has chosen: the server's final assignment ends hero select.
    std::array<uint32_t, 12> assigned{};
    assigned[static_cast<size_t>(m_own)] = final;
    out.push_back({PK_HERO_FINAL, HeroChoicesPayload(assigned)});
    m_inRoom = false;
    return out;
}

std::vector<FakePacket> CLocalRoom::Withdraw() {
    m_choices[static_cast<size_t>(m_own)] = 0;
    return {ResultPacket(PK_HERO_SELECT_RESULT, 1, 0), {PK_HERO_CHOICES, HeroChoicesPayload(m_choices)}};
}

FakePacket CLocalRoom::RoomInfo() const { return {PK_ROOM_INFO, RoomInfoPayload(m_room)}; }

FakePacket CLocalRoom::SlotStates() const { return {PK_ROOM_SLOT_STATES, SlotStatesPayload(m_room)}; }
