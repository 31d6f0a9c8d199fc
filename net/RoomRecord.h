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

    static constexpr size_t kNumberOffset = 0;
    static constexpr size_t kTitleOffset = 4;
    static constexpr size_t kTitleField = 31;
    static constexpr size_t kPasswordOffset = 35;
    static constexpr size_t kPasswordField = 13;
    static constexpr size_t kLowerRankOffset = 48;
    static constexpr size_t kUpperRankOffset = 50;
    static constexpr size_t kModeOffset = 52;
    static constexpr size_t kMemberLimitOffset = 56;
    static constexpr size_t kTeamChangeOffset = 57;
    static constexpr size_t kGuardianOffset = 58;
    // The team-change byte of a room whose members may change team.
    static constexpr uint8_t kTeamChangeAllowed = 2;

    // Replaces the record from a received payload; 0 (unchanged) when shorter.
    int Assign(const uint8_t* data, size_t size);
    uint16_t MapId() const;
    uint8_t HostSlot() const { return bytes[kHostSlotOffset]; }
    // The host's slot 0..11, or -1 when the byte names no slot.
    int HostSlotIndex() const { return HostSlot() < kSlots ? HostSlot() : -1; }
    uint16_t Number() const { return U16(kNumberOffset); }
    std::string_view Title() const;
    std::string_view Password() const;
    uint16_t LowerRank() const { return U16(kLowerRankOffset); }
    uint16_t UpperRank() const { return U16(kUpperRankOffset); }
    uint8_t Mode() const { return bytes[kModeOffset]; }
    // A negative limit from the server counts as no room for anyone.
    int MemberLimit() const;
    uint8_t TeamChange() const { return bytes[kTeamChangeOffset]; }
    uint16_t GuardianChoice() const { return U16(kGuardianOffset); }
    void SetMapId(uint16_t id) { SetU16(kMapIdOffset, id); }
    void SetGuardianChoice(uint16_t choice) { SetU16(kGuardianOffset, choice); }
    void SetHostSlot(uint8_t slot) { bytes[kHostSlotOffset] = slot; }
    uint16_t U16(size_t offset) const { return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8)); }
    void SetU16(size_t offset, uint16_t value) {
        bytes[offset] = static_cast<uint8_t>(value);
        bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
    }

    // Slot n's state as the room shows it: a state or team the protocol does
    // not know counts as an open slot.
    uint8_t SlotShownState(int slot) const;
    bool SlotReady(int slot) const { return SlotByte(slot, 2) != 0; }
    bool SlotChangingTeam(int slot) const { return SlotByte(slot, 3) == 1; }
    uint8_t SlotByte(int slot, int field) const {
        return bytes[kSlotOffset + static_cast<size_t>(slot) * kSlotBytes + static_cast<size_t>(field)];
    }
    // Member fields of slot n; the rank clamped to 1..100.
    int MemberRank(int slot) const;
    int32_t MemberRankPoints(int slot) const { return I32(Member(slot) + MemberEntry::kRankPointsOffset); }
    uint16_t MemberDisconnectPoints(int slot) const;
    bool MemberNoPenalty(int slot) const { return Member(slot)[MemberEntry::kNoPenaltyOffset] == 1; }
    std::string_view MemberGuild(int slot) const;
    static int32_t I32(const uint8_t* at);
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

// A practice room: nothing but the own player, host of the own slot, the
// first six slots team 0 and the rest team 1, map and guardian time as chosen.
void BuildPracticeRoom(RoomRecord& room, int ownSlot, const MemberEntry& own, uint16_t mapId, uint16_t guardianChoice);
// The guardian time of a room's choice: 1..4 are 1800..3600 seconds, any other 0.
int GuardianSeconds(int choice);

// Reads the 360-byte block row by row; 0 (inventory unchanged) when fewer bytes are given.
int ReadInventory(InventoryTable& inventory, const uint8_t* data, size_t size);
void WriteInventory(const InventoryTable& inventory, uint8_t* out);
