#include "net/RoomRecord.h"

#include <cstring>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"

namespace {
std::string_view FieldText(const uint8_t* field, size_t size) {
    const void* end = std::memchr(field, 0, size);
    size_t n = end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - field) : size;
    return std::string_view(reinterpret_cast<const char*>(field), n);
}
}  // namespace

std::string_view MemberEntry::Nickname() const { return FieldText(&bytes[kNicknameOffset], kNicknameField); }

void MemberEntry::SetNickname(std::string_view nickname) {
    uint8_t* field = &bytes[kNicknameOffset];
    std::memset(field, 0, kNicknameField);
    std::memcpy(field, nickname.data(), nickname.size() < kNicknameMax ? nickname.size() : kNicknameMax);
}

int RoomRecord::Assign(const uint8_t* data, size_t size) {
    if (!data || size < kBytes) return 0;
    std::memcpy(bytes.data(), data, kBytes);
    return 1;
}

uint16_t RoomRecord::MapId() const {
    return static_cast<uint16_t>(bytes[kMapIdOffset] | (bytes[kMapIdOffset + 1] << 8));
}

std::string_view RoomRecord::MemberNickname(int slot) const {
    return FieldText(Member(slot) + MemberEntry::kNicknameOffset, kNicknameField);
}

std::string_view RoomRecord::Title() const { return FieldText(&bytes[kTitleOffset], kTitleField); }
std::string_view RoomRecord::Password() const { return FieldText(&bytes[kPasswordOffset], kPasswordField); }

int RoomRecord::MemberLimit() const {
    const int limit = static_cast<int8_t>(bytes[kMemberLimitOffset]);
    return limit < 0 ? 0 : limit;
}

uint8_t RoomRecord::SlotShownState(int slot) const {
    const uint8_t state = SlotByte(slot, 0);
    return state > kOccupied || SlotByte(slot, 1) > 1 ? kOpen : state;
}

int32_t RoomRecord::I32(const uint8_t* at) {
    return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
                                (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24));
}

int RoomRecord::MemberRank(int slot) const {
    const int32_t rank = I32(Member(slot) + MemberEntry::kRankOffset);
    return rank < 1 ? 1 : rank > 100 ? 100 : rank;
}

uint16_t RoomRecord::MemberDisconnectPoints(int slot) const {
    const uint8_t* at = Member(slot) + MemberEntry::kDisconnectOffset;
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

std::string_view RoomRecord::MemberGuild(int slot) const {
    return FieldText(Member(slot) + MemberEntry::kGuildOffset, kNicknameField);
}

void BuildPracticeRoom(RoomRecord& room, int ownSlot, const MemberEntry& own, uint16_t mapId,
                       uint16_t guardianChoice) {
    room.bytes.fill(0);
    room.SetMapId(mapId);
    room.SetGuardianChoice(guardianChoice);
    if (ownSlot < 0 || ownSlot >= RoomRecord::kSlots) ownSlot = 0;
    room.SetHostSlot(static_cast<uint8_t>(ownSlot));
    for (int slot = 0; slot < RoomRecord::kSlots; ++slot) room.Slot(slot)[1] = slot < 6 ? 0 : 1;
    room.Slot(ownSlot)[0] = RoomRecord::kOccupied;
    room.SetMember(ownSlot, own);
}

int GuardianSeconds(int choice) { return choice >= 1 && choice <= 4 ? 1200 + 600 * choice : 0; }

void RoomRecord::SetMember(int slot, const MemberEntry& entry) {
    std::memcpy(Member(slot), entry.bytes.data(), MemberEntry::kBytes);
}

int ReadInventory(InventoryTable& inventory, const uint8_t* data, size_t size) {
    if (!data || size < kInventoryBlockBytes) return 0;
    CByteReader in(data, kInventoryBlockBytes);
    for (auto& row : inventory) {
        for (InventorySlot& slot : row) {
            slot.cardId = in.ReadU32();
            slot.inUse = in.ReadU8();
            slot.useType = in.ReadU8();
            slot.remaining = in.ReadU16();
        }
    }
    return 1;
}

void WriteInventory(const InventoryTable& inventory, uint8_t* out) {
    CByteWriter writer(out, kInventoryBlockBytes);
    for (const auto& row : inventory) {
        for (const InventorySlot& slot : row) {
            writer.WriteU32(slot.cardId);
            writer.WriteU8(slot.inUse);
            writer.WriteU8(slot.useType);
            writer.WriteU16(slot.remaining);
        }
    }
}
