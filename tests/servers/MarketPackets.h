// The card shop and market replies a fake server sends, built field by field:
// the 360-byte inventory, every item result with its money, the prize and
// combination results, the market list (six search and five own listings of
// 41 bytes) and the sale notice.
#pragma once

#include <cstdint>
#include <vector>

#include "net/MarketRecord.h"
#include "world/InventorySlot.h"

std::vector<uint8_t> InventoryBlock(const InventoryTable& inventory);

struct ItemResultSpec {
    uint8_t ok = 1;
    uint8_t code = 0;
    InventoryTable inventory{};
    int64_t cra = 0;
    uint32_t second = 0;
    uint16_t useValue = 0;    // 3022
    uint32_t prize = 0;       // 3045
    uint32_t createdId = 0;   // 3049
};
// The reply of its id (3019-3022, 3024, 3045, 3049, 3050, 3052, 3053, 3055,
// 3056) at its full size; empty for another id.
std::vector<uint8_t> ItemResultPayload(uint16_t id, const ItemResultSpec& spec);
// 3054: ok, code, the list kind, the search page and the own listings.
std::vector<uint8_t> MarketListPayload(uint32_t kind, const MarketSearchPage& search, const MarketOwnListings& own,
                                       uint8_t ok = 1, uint8_t code = 0);
// 1073: the sold card at 17 and the new Cra at 21.
std::vector<uint8_t> MarketSoldPayload(uint32_t cardId, int64_t cra);
