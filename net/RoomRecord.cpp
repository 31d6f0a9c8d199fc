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
