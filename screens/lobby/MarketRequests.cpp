#include "screens/lobby/MarketRequests.h"

#include "engine/core/MessageTable.h"
#include "net/MessageIds.h"
#include "screens/lobby/CardRecord.h"

namespace {

InventorySlot* SlotAt(InventoryTable& inventory, InventorySlotRef ref) {
    if (!ref.Valid()) return nullptr;
    return &inventory[static_cast<size_t>(ref.row)][static_cast<size_t>(ref.column)];
}

uint32_t CardAt(InventoryTable& inventory, InventorySlotRef ref) {
    const InventorySlot* slot = SlotAt(inventory, ref);
    return slot ? slot->cardId : 0;
}

const MarketRecord* Chosen(const MarketRecord* records, size_t count, int index) {
    return index >= 0 && static_cast<size_t>(index) < count ? &records[index] : nullptr;
}

}  // namespace

uint16_t DropRequestId(const InventorySlot& held, const InventorySlot& target, const CGameDataRegistry& registry) {
    if (held.cardId == 0 || held.cardId != target.cardId || held.useType != card::KIND_COUNT) return PK_INVENTORY_MOVE;
    const ItemCatalogueEntry* record = registry.FindItemRecord(held.cardId);
    if (!record) return PK_INVENTORY_MOVE;
    const uint32_t full = card::FullCount(*record);
    return held.remaining != full && target.remaining != full ? PK_STACK_ITEM : PK_INVENTORY_MOVE;
}

BuiltRequest BuildItemRequest(MarketRequestState& state, InventoryTable& inventory, const CGameDataRegistry& registry,
                              uint16_t id, uint8_t* out, size_t capacity) {
    BuiltRequest built;
    switch (id) {
        case PK_BACK_TO_LOBBY:
            built.length = WriteBackToLobby(out, capacity);
            break;
        case PK_SHOP_BUY_CARD: {
            const ItemTextEntry* entry = state.shopCode ? registry.FindTextEntry(state.shopCode) : nullptr;
            if (!entry) {
                built.refusal = MSG_OUTSHOP_WRONG_CARD_KEY;
            } else if (card::Flags(*entry) & card::kSoldOut) {
                built.refusal = MSG_OUTSHOP_SOLDOUT_CARD;
            } else {
                built.length = WriteShopBuy(out, capacity, state.shopCode);
            }
            break;
        }
        case PK_SHOP_SELL_CARD:
            built.length = WriteSlotRequest(out, capacity, state.saleFromHeld ? state.held : state.selected);
            break;
        case PK_SHOP_DELETE_CARD:
        case PK_SHOP_USE_CARD:
            built.length = WriteSlotRequest(out, capacity, state.selected);
            break;
        case PK_INVENTORY_MOVE:
            built.length = WriteInventoryMove(out, capacity, state.held, state.target);
            break;
        case PK_SHOP_OPEN_PRIZE_CARD:
        case PK_CARD_TO_UNUSED:
            built.length = WriteSlotCardRequest(out, capacity, state.selected, CardAt(inventory, state.selected));
            if (built.length && id == PK_SHOP_OPEN_PRIZE_CARD) SlotAt(inventory, state.selected)->cardId = 0;
            break;
        case PK_COMBINE_ITEMS:
            built.length = state.combine.WriteRequest(out, capacity, inventory);
            break;
        case PK_STACK_ITEM:
            built.length = WriteStackItem(out, capacity, state.held, state.heldCount, CardAt(inventory, state.held),
                                          state.target);
            if (!built.length && state.heldCount > 0xFF) built.refusal = MSG_COMBINATION_INPUT_WRONG_NUMBER;
            break;
        case PK_MARKET_REGISTER:
            built.length = WriteMarketRegister(out, capacity, state.registration, state.registrationPrice,
                                               state.registrationCount);
            break;
        case PK_MARKET_LIST:
            built.length = WriteMarketList(out, capacity, state.listKind, state.listName, state.listPage);
            break;
        case PK_MARKET_BUY:
        case PK_MARKET_CANCEL: {
            const MarketRecord* record = id == PK_MARKET_BUY
                                             ? Chosen(state.search.data(), state.search.size(), state.chosenListing)
                                             : Chosen(state.own.data(), state.own.size(), state.chosenOwn);
            if (!record) {
                built.refusal = id == PK_MARKET_BUY ? MSG_OUTSHOP_SELECT_BUY_CARD
                                                    : MSG_MARKET_ITEM_REGISTRATION_CANCEL_SELECT;
            } else {
                built.length = id == PK_MARKET_BUY ? WriteMarketBuy(out, capacity, *record)
                                                   : WriteMarketCancel(out, capacity, *record);
            }
            break;
        }
        default:
            break;
    }
    return built;
}
