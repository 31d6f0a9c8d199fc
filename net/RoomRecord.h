// The state of the current game room as the server sends it (message 1007,
// 973 bytes) or as a practice start builds it, and the 71-byte member entry
// of one player. Kept as the received bytes; fields are read at their offsets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/ChatInput.h"
#include "world/InventorySlot.h"

// One player's entry: guild name at 2, nickname at 19 (17-byte fields), rank
// at 48, rank points at 52, disconnect points at 62, no-penalty byte at 68.
struct MemberEntry {
    static constexpr size_t kBytes = 71;
    static constexpr size_t kGuildOffset = 2;
    static constexpr size_t kNicknameOffset = 19;
    static constexpr size_t kRankOffset = 48;
    static constexpr size_t kRankPointsOffset = 52;
    static constexpr size_t kDisconnectOffset = 62;
    static constexpr size_t kNoPenaltyOffset = 68;
    std::array<uint8_t, kBytes> bytes{};

    // The nickname up to its NUL, never past its field.
    std::string_view Nickname() const;
    void SetNickname(std::string_view nickname);
};

struct RoomRecord {
    static constexpr size_t kBytes = 973;
    static constexpr int kSlots = 12;
    static constexpr size_t kMapIdOffset = 53;
    static constexpr size_t kHostSlotOffset = 60;
    static constexpr size_t kSlotOffset = 61;
    static constexpr size_t kSlotBytes = 5;
    static constexpr size_t kMemberOffset = 121;
    // Slot states.
    static constexpr uint8_t kOpen = 0, kClosed = 1, kOccupied = 2;

    std::array<uint8_t, kBytes> bytes{};

    // Replaces the record from a received payload; 0 (unchanged) when shorter.
    int Assign(const uint8_t* data, size_t size);
    uint16_t MapId() const;
    uint8_t HostSlot() const { return bytes[kHostSlotOffset]; }
    // Slot n's state, team and ready bytes; n must be 0..11.
    uint8_t SlotState(int slot) const { return bytes[kSlotOffset + static_cast<size_t>(slot) * kSlotBytes]; }
    uint8_t SlotTeam(int slot) const { return bytes[kSlotOffset + static_cast<size_t>(slot) * kSlotBytes + 1]; }
    uint8_t* Slot(int slot) { return &bytes[kSlotOffset + static_cast<size_t>(slot) * kSlotBytes]; }
    // Slot n's member entry bytes (71 of them).
    uint8_t* Member(int slot) { return &bytes[kMemberOffset + static_cast<size_t>(slot) * MemberEntry::kBytes]; }
    const uint8_t* Member(int slot) const {
        return &bytes[kMemberOffset + static_cast<size_t>(slot) * MemberEntry::kBytes];
    }
    std::string_view MemberNickname(int slot) const;
    void SetMember(int slot, const MemberEntry& entry);
};

// Reads the 360-byte block row by row; 0 (inventory unchanged) when fewer bytes are given.
int ReadInventory(InventoryTable& inventory, const uint8_t* data, size_t size);
void WriteInventory(const InventoryTable& inventory, uint8_t* out);
