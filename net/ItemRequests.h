// The payloads of the card shop and player market requests. Slot references
// on the wire are 1-based: a row byte is the inventory row (0..4) plus 1, a
// column byte the column (0..8) plus 1. Each writer fills the buffer and
// gives the payload's length, 0 when the buffer is too small or a value does
// not fit its field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/MarketRecord.h"

struct InventorySlotRef {
    int row = -1;     // 0..4
    int column = -1;  // 0..8
    bool Valid() const { return row >= 0 && row < 5 && column >= 0 && column < 9; }
};

constexpr size_t kBackToLobbySize = 4;
constexpr size_t kShopBuySize = 4;
constexpr size_t kSlotRequestSize = 2;
constexpr size_t kInventoryMoveSize = 4;
constexpr size_t kSlotCardRequestSize = 6;
constexpr size_t kCombineItemsSize = 55;
constexpr size_t kStackItemSize = 9;
constexpr size_t kMarketRegisterSize = 12;
constexpr size_t kMarketListSize = 58;
constexpr size_t kMarketBuySize = 41;
constexpr size_t kMarketCancelSize = 16;
// The search name field is 50 bytes, but a name is never longer than this.
constexpr size_t kMarketSearchNameMax = 15;
constexpr size_t kCombineRecords = 8;

// 1032: u32 0.
size_t WriteBackToLobby(uint8_t* out, size_t capacity);
// 2019: u32 code of the shop entry.
size_t WriteShopBuy(uint8_t* out, size_t capacity, uint32_t shopCode);
// 2020, 2021, 2022: row + 1, column + 1.
size_t WriteSlotRequest(uint8_t* out, size_t capacity, InventorySlotRef slot);
// 2024: held row + 1, held column + 1, target row + 1, target column + 1.
size_t WriteInventoryMove(uint8_t* out, size_t capacity, InventorySlotRef held, InventorySlotRef target);
// 2045 and 2052: row + 1, column + 1, u32 card id of the slot.
size_t WriteSlotCardRequest(uint8_t* out, size_t capacity, InventorySlotRef slot, uint32_t cardId);

// 2049: one card and where it lies.
struct CombinePart {
    uint32_t cardId = 0;
    InventorySlotRef slot;
};
// u8 mode, the base card (u32 id, row + 1, column + 1), then up to eight
// 6-byte records of the materials, the rest zero. More than eight materials
// do not fit and give 0.
size_t WriteCombineItems(uint8_t* out, size_t capacity, uint8_t mode, const CombinePart& base,
                         const CombinePart* materials, size_t materialCount);
// 2050: held row + 1, held column + 1, u8 held count, u32 card id, target
// row + 1, target column + 1. A count above 255 does not fit: 0.
size_t WriteStackItem(uint8_t* out, size_t capacity, InventorySlotRef held, uint32_t heldCount, uint32_t cardId,
                      InventorySlotRef target);
// 2053: row + 1, column + 1, i64 price (sign-extended), u16 count.
size_t WriteMarketRegister(uint8_t* out, size_t capacity, InventorySlotRef slot, int32_t price, uint16_t count);
// 2054: u32 list kind, the name in a 50-byte field (at most 15 bytes of it,
// never cut inside a double-byte character), u32 page + 1.
size_t WriteMarketList(uint8_t* out, size_t capacity, uint32_t kind, std::string_view name, int32_t page);
// 2055: the chosen listing in the order the server takes it back: seller,
// card id, the shown number, the price as i64, keys 33 and 37.
size_t WriteMarketBuy(uint8_t* out, size_t capacity, const MarketRecord& record);
// 2056: card id, the shown number, keys 33 and 37 of an own listing.
size_t WriteMarketCancel(uint8_t* out, size_t capacity, const MarketRecord& record);
