// The checks the market asks before a card request goes out: each gives the
// message-table entry that refuses the action, or kItemCheckPass, and fills
// in what the confirmation question shows (price, refund, fee).
#pragma once

#include <cstdint>

#include "world/GameDataRegistry.h"
#include "world/InventorySlot.h"

constexpr int kItemCheckPass = -1;

// A card in use that is not an "all" card and shows 100 or more left has run
// out: the server keeps such counts at 100 and above once the card expired.
int IsInventorySlotLocked(const InventorySlot& slot);

// What a sold card brings: kind-3 cards their unit price, expired cards
// nothing, cards in use their remaining count, others their count (id % 100).
int64_t CardSalePrice(const InventorySlot& slot, const ItemCatalogueEntry& record);

// slot null: no column is selected. record null: no card record.
int CheckSell(const InventorySlot* slot, const ItemCatalogueEntry* record, int64_t* price);
int CheckDelete(const InventorySlot* slot);
// Gives 2045 for a prize card, else 2022, in pendingId.
int CheckUse(const InventorySlot* slot, const ItemCatalogueEntry* record, int* pendingId);
// Returning a card to unused refunds the unused part at the refund price.
int CheckReturnToUnused(const InventorySlot* slot, const ItemCatalogueEntry* record, int64_t* refund);
// The asking price of a listing and the listings already placed; the fee is
// 5 % of the price, truncated.
constexpr int kMarketMinPrice = 100;
constexpr int kMarketMaxListings = 5;
int CheckRegister(int64_t price, int ownListings, int64_t* fee);
int64_t MarketFee(int64_t price);
