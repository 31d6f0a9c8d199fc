// The player's card inventory as the application holds it: 5 rows of 9 slots,
// each 8 bytes on the wire (u32 card id, u8 in use, u8 use type, u16 remaining).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct InventorySlot {
    static constexpr size_t kBytes = 8;
    uint32_t cardId = 0;  // the ITEM record is cardId / 100, the level cardId % 100
    uint8_t inUse = 0;
    uint8_t useType = 0;  // 0 day, 1 count, 2 game, 3 all
    uint16_t remaining = 0;
};

constexpr size_t kInventoryRows = 5;
constexpr size_t kInventoryColumns = 9;
constexpr size_t kInventoryBlockBytes = kInventoryRows * kInventoryColumns * InventorySlot::kBytes;  // 360

using InventoryTable = std::array<std::array<InventorySlot, kInventoryColumns>, kInventoryRows>;
