#include "tests/servers/RoomPackets.h"

#include "net/ByteWriter.h"

namespace {
constexpr size_t kRoomBytes = 973;
constexpr size_t kMemberBytes = 71;

void WriteSlots(CByteWriter& w, const RoomSpec& room) {
    for (const RoomSlotSpec& slot : room.slots) {
        w.WriteU8(slot.state);
        w.WriteU8(slot.team);
        w.WriteU8(slot.ready);
        w.WriteU8(slot.changingTeam);
        w.WriteU8(slot.unused);
    }
}

void WriteMember(CByteWriter& w, const RoomMemberSpec& m) {
    w.WriteZeros(2);
    w.WriteText(m.guild.c_str(), 17);
    w.WriteText(m.nickname.c_str(), 17);
    w.WriteZeros(12);  // 36..47
    w.WriteI32(m.rank);
    w.WriteI32(m.rankPoints);
    w.WriteZeros(6);  // 56..61
    w.WriteU16(m.disconnectPoints);
    w.WriteZeros(4);  // 64..67
    w.WriteU8(m.noPenalty);
    w.WriteZeros(kMemberBytes - 69);
}
}  // namespace

RoomSpec::RoomSpec() {
    for (size_t i = 0; i < slots.size(); ++i) slots[i].team = i < 6 ? 0 : 1;
}

RoomSpec& RoomSpec::Seat(int slot, const std::string& nickname, bool ready, int32_t rank) {
    RoomSlotSpec& s = slots[static_cast<size_t>(slot)];
    s.state = 2;
    s.ready = ready ? 1 : 0;
    members[static_cast<size_t>(slot)].nickname = nickname;
    members[static_cast<size_t>(slot)].rank = rank;
    return *this;
}

std::vector<uint8_t> RoomInfoPayload(const RoomSpec& room) {
    std::vector<uint8_t> out(kRoomBytes);
    CByteWriter w(out.data(), out.size());
    w.WriteU16(room.number);
    w.WriteU16(room.unused2);
    w.WriteText(room.title.c_str(), 31);
    w.WriteText(room.password.c_str(), 13);
    w.WriteU16(room.lowerRank);
    w.WriteU16(room.upperRank);
    w.WriteU8(room.mode);
    w.WriteU16(room.mapId);
    w.WriteU8(room.unused55);
    w.WriteU8(static_cast<uint8_t>(room.memberLimit));
    w.WriteU8(room.teamChange);
    w.WriteU16(room.guardianChoice);
    w.WriteU8(room.hostSlot);
    WriteSlots(w, room);
    for (const RoomMemberSpec& m : room.members) WriteMember(w, m);
    return out;
}

std::vector<uint8_t> SlotStatesPayload(const RoomSpec& room) {
    std::vector<uint8_t> out(60);
    CByteWriter w(out.data(), out.size());
    WriteSlots(w, room);
    return out;
}

std::vector<uint8_t> HeroChoicesPayload(const std::array<uint32_t, 12>& choices,
                                        const std::array<uint8_t, 12>& levels) {
    std::vector<uint8_t> out(60);
    CByteWriter w(out.data(), out.size());
    for (uint32_t c : choices) w.WriteU32(c);
    for (uint8_t l : levels) w.WriteU8(l);
    return out;
}
