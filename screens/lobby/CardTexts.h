// The texts the market shows for cards and shop entries: price texts, the
// kind word with its number, the mark-up tooltip of a card, and what the
// image box shows for a prize or a combination result. All message-table
// texts go through the checked formatter.
#pragma once

#include <cstdint>
#include <string>

#include "world/GameDataRegistry.h"
#include "world/InventorySlot.h"

// "%d Cra", "%d Cash" or "%d Cra & %d Cash" (Cra first).
std::string ShopPriceText(uint32_t cra, uint32_t cash);
// The kind word of a card record: entries 109-111 with the number, 112
// without; count cards entry 356 with the number.
std::string CardKindWord(const ItemCatalogueEntry& record, uint32_t kind, int64_t number);
// Appends the card's tooltip to out. count: the number shown with the kind
// word and the one the refund line counts against.
void BuildCardTooltip(const ItemCatalogueEntry& record, int64_t count, bool showRefund, bool expired,
                      std::string& out);
// A shop entry's tooltip: its one card's, or the entry's name and every card
// with its count.
std::string ShopEntryTooltip(const ItemTextEntry& entry, const CGameDataRegistry& registry);
// The data text of an inventory slot (empty when locked or without a count).
std::string InventorySlotDataText(const InventorySlot& slot, const ItemCatalogueEntry& record);
// "%d / %d" with at least one page.
std::string PageText(int page, int pages);

// What the image box shows.
struct ItemResultView {
    std::string image;    // a texture name
    std::string message;  // word-wrapped under the image
    std::string caption;
    int bonus = 0;        // 0: no "+%d"
};
constexpr const char* kPrizeCraImage = "CRA.DDS";
constexpr const char* kPrizeNothingImage = "CRAP.DDS";
// The reply's prize value v: 0 nothing, below 1,000,000,000 an amount of Cra,
// above it a card id. *cra gets the amount won (0 otherwise).
ItemResultView PrizeContent(uint32_t value, const CGameDataRegistry* registry, int64_t* cra);
// The card a combination made (0: none).
ItemResultView CombineContent(uint32_t createdId, const CGameDataRegistry* registry);
