#include "screens/lobby/CardTexts.h"

#include <algorithm>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "screens/lobby/CardRecord.h"
#include "screens/lobby/ItemChecks.h"

namespace {

constexpr uint32_t kPrizeCardFloor = 1000000000u;

std::string Msg(int index) { return GetMessageText(index); }

ItemResultView NothingWon() {
    ItemResultView c;
    c.image = kPrizeNothingImage;
    c.caption = Msg(MSG_OUTSHOP_NACKK_GGER);
    return c;
}

// A card won: its icon, its name and the level as the bonus; a card the data
// does not know shows as nothing won rather than an empty picture.
ItemResultView CardWon(uint32_t cardId, const CGameDataRegistry* registry, bool withLevel) {
    const ItemCatalogueEntry* record = registry ? registry->FindItemRecord(cardId) : nullptr;
    if (!record) return NothingWon();
    ItemResultView c;
    c.image = card::Icon(*record);
    c.message = card::Name(*record);
    c.caption = Msg(MSG_OUTSHOP_GET_CARD);
    if (withLevel) c.bonus = static_cast<int>(card::Level(cardId));
    return c;
}

}  // namespace

std::string ShopPriceText(uint32_t cra, uint32_t cash) {
    if (cash == 0) return FormatText("%d Cra", cra);
    if (cra == 0) return FormatText("%d Cash", cash);
    return FormatText("%d Cra & %d Cash", cra, cash);
}

std::string CardKindWord(const ItemCatalogueEntry& record, uint32_t kind, int64_t number) {
    if (card::Flags(record) & card::kCountCard) return FormatText(Msg(MSG_COMBINATION_ITEM_CARD_COUNT), number);
    switch (kind) {
        case card::KIND_DAY:
            return FormatText(Msg(MSG_OUTSHOP_CARD_TYPE_DAY), number);
        case card::KIND_COUNT:
            return FormatText(Msg(MSG_OUTSHOP_CARD_TYPE_COUNT), number);
        case card::KIND_GAME:
            return FormatText(Msg(MSG_OUTSHOP_CARD_TYPE_GAME), number);
        case card::KIND_ALL:
            return Msg(MSG_OUTSHOP_CARD_TYPE_ALL);
        default:
            return {};
    }
}

void BuildCardTooltip(const ItemCatalogueEntry& record, int64_t count, bool showRefund, bool expired,
                      std::string& out) {
    const uint32_t kind = card::KindOf(record);
    std::string status;
    if (expired) {
        if (kind == card::KIND_DAY) status = FormatText("</C=888888>(%s)", Msg(MSG_OUTSHOP_USE_EXPIRATION));
        if (kind == card::KIND_GAME) status = FormatText("</C=888888>(%s)", Msg(MSG_OUTSHOP_USE_STAGE_EXPIRATION));
    } else {
        status = CardKindWord(record, kind, count);
    }
    if (card::ClassOf(record) == card::CLASS_HERO) {
        out += FormatText("</>%s     </C=00ff00>%s\n", card::Name(record), status);
        out += FormatText("</>%s\n", card::LinkedUnit(record));
        out += "</C=00ff00>";
        out += FormatText(Msg(MSG_CARD_TOOLTIP_GAME_SHOP_PRICE), card::UnitPrice(record));
    } else {
        out += FormatText("</>%s     </C=00ff00>%s\n</>%s\n", card::Name(record), status, card::Description(record));
        out += "</C=00ff00>";
    }
    const uint32_t refund = card::RefundPrice(record);
    if (kind == card::KIND_COUNT || kind == card::KIND_ALL || (card::Flags(record) & card::kNotRefundable) ||
        refund == 0) {
        out += Msg(MSG_CARD_ATTR_NOT_REUSE);
    } else if (showRefund) {
        const int64_t unused = static_cast<int64_t>(card::FullCount(record)) - count;
        out += FormatText(Msg(MSG_CARD_TOOLTIP_RETUSE_PRICE), unused ? static_cast<int64_t>(refund) * unused
                                                                     : static_cast<int64_t>(refund));
    }
}

std::string ShopEntryTooltip(const ItemTextEntry& entry, const CGameDataRegistry& registry) {
    int cards = 0;
    for (int n = 0; n < card::kShopContents; ++n)
        if (card::Content(entry, n)) ++cards;
    std::string out;
    if (cards == 1) {
        for (int n = 0; n < card::kShopContents; ++n) {
            const uint32_t id = card::Content(entry, n);
            const ItemCatalogueEntry* record = id ? registry.FindItemRecord(id) : nullptr;
            if (record) BuildCardTooltip(*record, card::Level(id), true, false, out);
        }
        return out;
    }
    if (cards == 0) return out;
    out = FormatText("</>%s\n\n", card::Name(entry));
    for (int n = 0; n < card::kShopContents; ++n) {
        const uint32_t id = card::Content(entry, n);
        const ItemCatalogueEntry* record = id ? registry.FindItemRecord(id) : nullptr;
        if (!record) continue;
        out += FormatText("</C=ffff00>%d ", card::Level(id));
        BuildCardTooltip(*record, card::Level(id), true, false, out);
        out += "\n";
    }
    return out;
}

std::string InventorySlotDataText(const InventorySlot& slot, const ItemCatalogueEntry& record) {
    if (!slot.cardId || IsInventorySlotLocked(slot)) return {};
    const int64_t number = slot.inUse ? slot.remaining : card::Level(slot.cardId);
    std::string text = slot.inUse ? FormatText(Msg(MSG_OUTSHOP_USED_CARD), number)
                                  : FormatText(Msg(MSG_OUTSHOP_NOT_USE_CARD), number);
    return text + CardKindWord(record, slot.useType, number);
}

std::string PageText(int page, int pages) { return FormatText("%d / %d", page + 1, std::max(pages, 1)); }

ItemResultView PrizeContent(uint32_t value, const CGameDataRegistry* registry, int64_t* cra) {
    if (cra) *cra = 0;
    if (value > kPrizeCardFloor) return CardWon(value, registry, false);
    // Exactly 1,000,000,000 is neither an amount nor a card: nothing won,
    // rather than whatever the box showed last.
    if (value == 0 || value == kPrizeCardFloor) return NothingWon();
    if (cra) *cra = value;
    ItemResultView c;
    c.image = kPrizeCraImage;
    c.caption = FormatText(Msg(MSG_OUTSHOP_GET_CRA), value);
    return c;
}

ItemResultView CombineContent(uint32_t createdId, const CGameDataRegistry* registry) {
    return createdId ? CardWon(createdId, registry, true) : NothingWon();
}
