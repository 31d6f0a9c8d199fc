#include "screens/lobby/ItemChecks.h"

#include "engine/core/MessageTable.h"
#include "net/MessageIds.h"
#include "screens/lobby/CardRecord.h"

namespace {

constexpr uint16_t kExpiredCount = 100;

bool Empty(const InventorySlot* slot) { return !slot || slot->cardId == 0; }

}  // namespace

int IsInventorySlotLocked(const InventorySlot& slot) {
    return slot.cardId != 0 && slot.inUse && slot.useType != card::KIND_ALL && slot.remaining >= kExpiredCount;
}

int64_t CardSalePrice(const InventorySlot& slot, const ItemCatalogueEntry& record) {
    const int64_t unit = card::UnitPrice(record);
    if (card::KindOf(record) == card::KIND_ALL) return unit;
    if (IsInventorySlotLocked(slot)) return 0;
    if (slot.inUse) return static_cast<int64_t>(slot.remaining) * unit;
    return static_cast<int64_t>(card::Level(slot.cardId)) * unit;
}

int CheckSell(const InventorySlot* slot, const ItemCatalogueEntry* record, int64_t* price) {
    if (!slot) return MSG_OUTSHOP_SELECT_SELL_CARD;
    if (Empty(slot)) return MSG_OUTSHOP_NO_SLOT;
    if (!record) return MSG_OUTSHOP_WRONG_CARD_INFO;
    if (card::Flags(*record) & card::kNotForSale) return MSG_OUTSHOP_NOT_SELL_CARD;
    if (price) *price = CardSalePrice(*slot, *record);
    return kItemCheckPass;
}

int CheckDelete(const InventorySlot* slot) { return Empty(slot) ? MSG_OUTSHOP_NO_SLOT : kItemCheckPass; }

int CheckUse(const InventorySlot* slot, const ItemCatalogueEntry* record, int* pendingId) {
    if (Empty(slot)) return MSG_OUTSHOP_NO_SLOT;
    if (record && (card::Flags(*record) & card::kNotUsableHere)) return MSG_COMBINATION_NOT_USE_ITEMCARD;
    if (IsInventorySlotLocked(*slot)) return MSG_OUTSHOP_EXPIRATION_MSG;
    if (slot->inUse && slot->useType != card::KIND_COUNT) return MSG_OUTSHOP_ALREADY_USE_CARD;
    if (pendingId) *pendingId = card::IsPrizeCard(slot->cardId) ? PK_SHOP_OPEN_PRIZE_CARD : PK_SHOP_USE_CARD;
    return kItemCheckPass;
}

int CheckReturnToUnused(const InventorySlot* slot, const ItemCatalogueEntry* record, int64_t* refund) {
    if (Empty(slot)) return MSG_OUTSHOP_NO_SLOT;
    if (!record) return MSG_OUTSHOP_WRONG_CARD_INFO;
    if (slot->useType == card::KIND_COUNT || slot->useType == card::KIND_ALL || !slot->inUse ||
        (card::Flags(*record) & card::kNotRefundable) || card::RefundPrice(*record) == 0)
        return MSG_COMBINATION_IS_NOT_USE;
    const int64_t level = card::Level(slot->cardId);
    const int64_t unused = slot->remaining < kExpiredCount ? level - slot->remaining : level;
    if (refund) *refund = static_cast<int64_t>(card::RefundPrice(*record)) * unused;
    return kItemCheckPass;
}

int64_t MarketFee(int64_t price) { return price * 5 / 100; }

int CheckRegister(int64_t price, int ownListings, int64_t* fee) {
    if (price < kMarketMinPrice) return MSG_MARKET_REGISTRATION_ITEM_MIN_CRA;
    if (ownListings >= kMarketMaxListings) return MSG_MARKET_REGISTRATION_OVER;
    if (fee) *fee = MarketFee(price);
    return kItemCheckPass;
}
