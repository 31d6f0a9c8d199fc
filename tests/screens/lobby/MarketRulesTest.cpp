// The market's rules without a screen: the question checks and prices, the
// combination table, the card and price texts and what the image box shows
// for a prize, all over the sample shop's cards.
#include <gtest/gtest.h>

#include "engine/core/MessageTable.h"
#include "net/MessageIds.h"
#include "screens/lobby/CardRecord.h"
#include "screens/lobby/CardTexts.h"
#include "screens/lobby/CombineTable.h"
#include "screens/lobby/ItemChecks.h"
#include "screens/lobby/MarketOverlay.h"
#include "tools/SampleCards.h"

namespace sc = sample_cards;

namespace {

class MarketRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        sc::AddSampleCards(registry);
        messages.SetMsg(MSG_OUTSHOP_CARD_TYPE_DAY, "%d days");
        messages.SetMsg(MSG_OUTSHOP_CARD_TYPE_COUNT, "%d uses");
        messages.SetMsg(MSG_OUTSHOP_CARD_TYPE_GAME, "%d games");
        messages.SetMsg(MSG_OUTSHOP_CARD_TYPE_ALL, "always");
        messages.SetMsg(MSG_COMBINATION_ITEM_CARD_COUNT, "%d left");
        messages.SetMsg(MSG_CARD_ATTR_NOT_REUSE, "no refund");
        messages.SetMsg(MSG_CARD_TOOLTIP_RETUSE_PRICE, "refund %d");
        messages.SetMsg(MSG_CARD_TOOLTIP_GAME_SHOP_PRICE, "shop %d");
        messages.SetMsg(MSG_OUTSHOP_NACKK_GGER, "nothing");
        messages.SetMsg(MSG_OUTSHOP_GET_CRA, "won %d Cra");
        messages.SetMsg(MSG_OUTSHOP_GET_CARD, "won a card");
        messages.SetMsg(MSG_OUTSHOP_USE_EXPIRATION, "expired");
        messages.SetMsg(MSG_OUTSHOP_NOT_USE_CARD, "new %d ");
        messages.SetMsg(MSG_OUTSHOP_USED_CARD, "used %d ");
    }
    const ItemCatalogueEntry& Record(uint32_t id) { return *registry.FindItemRecord(id); }

    CGameDataRegistry registry{false};
    CMessageTable messages;
};

InventorySlot Slot(uint32_t id, uint8_t inUse = 0, uint8_t useType = 0, uint16_t remaining = 0) {
    return InventorySlot{id, inUse, useType, remaining};
}

}  // namespace

TEST_F(MarketRulesTest, UseAndSellQuestions) {
    struct Case {
        const char* what;
        InventorySlot slot;
        int refusal;
        int pending;
    } cases[] = {
        {"expired day card", Slot(sc::kDayCard, 1, 0, 100), MSG_OUTSHOP_EXPIRATION_MSG, 0},
        {"an all card never expires", Slot(sc::kDayCard, 1, 3, 100), MSG_OUTSHOP_ALREADY_USE_CARD, 0},
        {"99 left is still running", Slot(sc::kDayCard, 1, 0, 99), MSG_OUTSHOP_ALREADY_USE_CARD, 0},
        {"a count card in use stacks", Slot(sc::kCountCard, 1, 1, 4), kItemCheckPass, PK_SHOP_USE_CARD},
        {"unused card", Slot(sc::kDayCard), kItemCheckPass, PK_SHOP_USE_CARD},
        {"prize card", Slot(sc::kPrizeCard), kItemCheckPass, PK_SHOP_OPEN_PRIZE_CARD},
        {"empty slot", Slot(0), MSG_OUTSHOP_NO_SLOT, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int pending = 0;
        const ItemCatalogueEntry* record = c.slot.cardId ? registry.FindItemRecord(c.slot.cardId) : nullptr;
        EXPECT_EQ(CheckUse(&c.slot, record, &pending), c.refusal);
        EXPECT_EQ(pending, c.pending);
    }

    struct Sale {
        const char* what;
        InventorySlot slot;
        int64_t price;
    } sales[] = {
        {"kind 3: the unit price", Slot(sc::kAllCard, 1, 0, 150), 500},
        {"expired: nothing", Slot(sc::kDayCard, 1, 0, 100), 0},
        {"in use: the remaining count", Slot(sc::kDayCard, 1, 0, 3), 60},
        {"unused: the count in the id", Slot(sc::kDayCard), 100},
    };
    for (const Sale& s : sales) {
        SCOPED_TRACE(s.what);
        int64_t price = -1;
        EXPECT_EQ(CheckSell(&s.slot, &Record(s.slot.cardId), &price), kItemCheckPass);
        EXPECT_EQ(price, s.price);
    }
    EXPECT_EQ(CheckSell(nullptr, nullptr, nullptr), MSG_OUTSHOP_SELECT_SELL_CARD);
    const InventorySlot empty;
    EXPECT_EQ(CheckSell(&empty, nullptr, nullptr), MSG_OUTSHOP_NO_SLOT);
    EXPECT_EQ(CheckDelete(&empty), MSG_OUTSHOP_NO_SLOT);
    ItemCatalogueEntry notForSale = Record(sc::kDayCard);
    notForSale.values[3] |= card::kNotForSale;
    const InventorySlot day = Slot(sc::kDayCard);
    EXPECT_EQ(CheckSell(&day, &notForSale, nullptr), MSG_OUTSHOP_NOT_SELL_CARD);
}

TEST_F(MarketRulesTest, RegistrationAndRefund) {
    int64_t fee = -1;
    EXPECT_EQ(CheckRegister(99, 0, &fee), MSG_MARKET_REGISTRATION_ITEM_MIN_CRA);
    EXPECT_EQ(CheckRegister(100, 0, &fee), kItemCheckPass);
    EXPECT_EQ(fee, 5);
    EXPECT_EQ(CheckRegister(1000, 5, &fee), MSG_MARKET_REGISTRATION_OVER);
    // A float fee rounds this one up to 5,000,000.
    EXPECT_EQ(MarketFee(99999999), 4999999);

    int64_t refund = -1;
    const InventorySlot running = Slot(sc::kDayCard, 1, 0, 2);
    EXPECT_EQ(CheckReturnToUnused(&running, &Record(sc::kDayCard), &refund), kItemCheckPass);
    EXPECT_EQ(refund, 10 * (5 - 2));
    const InventorySlot expired = Slot(sc::kDayCard, 1, 0, 100);
    EXPECT_EQ(CheckReturnToUnused(&expired, &Record(sc::kDayCard), &refund), kItemCheckPass);
    EXPECT_EQ(refund, 10 * 5);
    for (const InventorySlot& refused : {Slot(sc::kDayCard), Slot(sc::kDayCard, 1, 1, 2), Slot(sc::kDayCard, 1, 3, 2),
                                         Slot(sc::kCountCard, 1, 0, 2)})
        EXPECT_NE(CheckReturnToUnused(&refused, &Record(refused.cardId), nullptr), kItemCheckPass);
}

TEST_F(MarketRulesTest, CombinationTable) {
    // Inventory row 0: base cards of levels 4 and 12, the three jewels in full
    // stacks, a partial jewel stack, a day card; row 1: a second mid jewel.
    InventoryTable inv{};
    inv[0][0] = Slot(sc::kBaseCard + 4, 0, 3, 0);
    inv[0][1] = Slot(sc::kBaseCard + 12, 0, 3, 0);
    inv[0][2] = Slot(sc::kJewel1, 0, 3, sc::kJewelStack);
    inv[0][3] = Slot(sc::kJewel2, 0, 3, sc::kJewelStack);
    inv[0][4] = Slot(sc::kJewel3, 0, 3, sc::kJewelStack);
    inv[0][5] = Slot(sc::kJewel2, 0, 3, 4);
    inv[0][6] = Slot(sc::kDayCard);
    inv[1][0] = Slot(sc::kJewel2, 0, 3, sc::kJewelStack);
    struct Drop {
        int column, row, result;
    };
    struct Case {
        const char* what;
        int kind;
        std::vector<Drop> drops;
        int check;
    } cases[] = {
        {"level 4 needs the mid jewel", CCombineTable::KIND_CARD, {{0, 0, -1}, {3, 0, -1}}, MSG_COMBINATION_OK},
        {"level 4 refuses the low jewel", CCombineTable::KIND_CARD,
         {{0, 0, -1}, {2, 0, MSG_COMBINATION_CHARCARD_JEWEL_2}}, MSG_COMBINATION_NOT_UP_COMBINATION_JEWEL},
        {"level 12 takes a jewel but cannot combine", CCombineTable::KIND_CARD, {{1, 0, -1}, {4, 0, -1}},
         MSG_COMBINATION_ITEMCARD_CHAR_UPGRADE_MAX},
        {"two matching jewels", CCombineTable::KIND_CARD, {{0, 0, -1}, {3, 0, -1}, {0, 1, -1}},
         MSG_COMBINATION_NOT_UP_COMBINATION_JEWEL},
        {"a partial stack", CCombineTable::KIND_CARD, {{0, 0, -1}, {5, 0, MSG_COMBINATION_NEED_JEWEL_COUNT}},
         MSG_COMBINATION_NOT_UP_COMBINATION_JEWEL},
        {"a jewel before any base", CCombineTable::KIND_CARD, {{3, 0, MSG_COMBINATION_NOT_UP_COMBINATION_CHAR}},
         MSG_COMBINATION_NOT_UP_COMBINATION_CHAR},
        {"a second base", CCombineTable::KIND_CARD, {{0, 0, -1}, {1, 0, MSG_COMBINATION_IS_UP_COMBINATION_CHAR}},
         MSG_COMBINATION_NOT_UP_COMBINATION_JEWEL},
        {"a card that is neither", CCombineTable::KIND_CARD, {{6, 0, MSG_COMBINATION_CHARCARD_ATTR}},
         MSG_COMBINATION_NOT_UP_COMBINATION_CHAR},
        {"jewel mode: one full stack", CCombineTable::KIND_JEWEL, {{2, 0, -1}}, MSG_COMBINATION_OK},
        {"jewel mode: a second card", CCombineTable::KIND_JEWEL, {{2, 0, -1}, {3, 0, MSG_NOT_ADD_MEMBER}},
         MSG_COMBINATION_OK},
        {"jewel mode: the top jewel alone", CCombineTable::KIND_JEWEL, {{4, 0, -1}},
         MSG_COMBINATION_EMPTY_COMBINATION_ITEMLIST},
        {"jewel mode: partial", CCombineTable::KIND_JEWEL, {{5, 0, MSG_COMBINATION_NEED_JEWEL_COUNT}},
         MSG_COMBINATION_EMPTY_COMBINATION_ITEMLIST},
        {"jewel mode: not a jewel", CCombineTable::KIND_JEWEL,
         {{6, 0, MSG_COMBINATION_JEWEL_COMBINATION_ONLY_ATTR}}, MSG_COMBINATION_EMPTY_COMBINATION_ITEMLIST},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCombineTable table;
        table.Reset();
        table.SetKind(c.kind);
        int place = 0;
        for (const Drop& d : c.drops) {
            EXPECT_EQ(table.Place(place, d.row, d.column, inv, registry), d.result);
            if (d.result == kItemCheckPass) ++place;
        }
        EXPECT_EQ(table.Check(inv), c.check);
    }

    CCombineTable table;
    table.Reset();
    ASSERT_EQ(table.Place(0, 0, 0, inv, registry), kItemCheckPass);
    ASSERT_EQ(table.Place(4, 0, 3, inv, registry), kItemCheckPass);
    table.Swap(0, 8);
    EXPECT_TRUE(table.At(0).Empty());
    EXPECT_EQ(table.At(8).column, 0);
    EXPECT_EQ(table.FindSlot(0, 3), 4);
    uint8_t payload[kCombineItemsSize] = {};
    ASSERT_EQ(table.WriteRequest(payload, sizeof payload, inv), kCombineItemsSize);
    EXPECT_EQ(payload[0], 0);
    EXPECT_EQ(payload[1] | payload[2] << 8 | payload[3] << 16 | static_cast<uint32_t>(payload[4]) << 24,
              sc::kBaseCard + 4);
    EXPECT_EQ(payload[5], 1);
    EXPECT_EQ(payload[6], 1);
    EXPECT_EQ(payload[11], 1);  // the jewel's row + 1
    EXPECT_EQ(payload[12], 4);  // its column + 1
    EXPECT_EQ(payload[13], 0);  // no second record
    table.Reset();
    for (int i = 0; i < CCombineTable::kPlaces; ++i) EXPECT_TRUE(table.At(i).Empty());

    // Jewel mode: byte 0 is 2 and only the last material is sent.
    table.SetKind(CCombineTable::KIND_JEWEL);
    ASSERT_EQ(table.Place(2, 0, 2, inv, registry), kItemCheckPass);
    ASSERT_EQ(table.WriteRequest(payload, sizeof payload, inv), kCombineItemsSize);
    EXPECT_EQ(payload[0], 2);
    EXPECT_EQ(payload[5], 1);
    EXPECT_EQ(payload[6], 3);
    for (size_t i = 7; i < kCombineItemsSize; ++i) EXPECT_EQ(payload[i], 0) << i;
}

TEST_F(MarketRulesTest, PriceAndPageTexts) {
    EXPECT_EQ(ShopPriceText(100, 0), "100 Cra");
    EXPECT_EQ(ShopPriceText(0, 50), "50 Cash");
    EXPECT_EQ(ShopPriceText(300, 30), "300 Cra & 30 Cash");
    EXPECT_EQ(PageText(0, 0), "1 / 1");
    EXPECT_EQ(PageText(1, 3), "2 / 3");
}

TEST_F(MarketRulesTest, CardTooltips) {
    std::string text = "before|";
    BuildCardTooltip(Record(sc::kDayCard), 2, true, false, text);
    EXPECT_EQ(text, "before|</>Day card     </C=00ff00>2 days\n</>Day card of the sample shop\n</C=00ff00>refund 30");
    // A count equal to the card's full count shows the bare refund price.
    text.clear();
    BuildCardTooltip(Record(sc::kDayCard), 5, true, false, text);
    EXPECT_NE(text.find("refund 10"), std::string::npos);
    text.clear();
    BuildCardTooltip(Record(sc::kDayCard), 5, false, true, text);
    EXPECT_EQ(text, "</>Day card     </C=00ff00></C=888888>(expired)\n</>Day card of the sample shop\n</C=00ff00>");
    text.clear();
    BuildCardTooltip(Record(sc::kHeroCard), 1, false, false, text);
    EXPECT_EQ(text, "</>Knight     </C=00ff00>1 days\n</>Knight\n</C=00ff00>shop 40");
    text.clear();
    BuildCardTooltip(Record(sc::kCountCard), 7, true, false, text);
    EXPECT_EQ(text.find("7 left"), text.find("</C=00ff00>") + 11);
    EXPECT_NE(text.find("no refund"), std::string::npos);

    // A bundle lists every card with its count behind the entry's name.
    const std::string bundle = ShopEntryTooltip(*registry.FindTextEntry(sc::kShopBundle), registry);
    EXPECT_EQ(bundle.rfind("</>Starter bundle\n\n</C=ffff00>5 </>Day card", 0), 0u);
    EXPECT_NE(bundle.find("</C=ffff00>3 </>Game card"), std::string::npos);

    EXPECT_EQ(InventorySlotDataText(Slot(sc::kDayCard), Record(sc::kDayCard)), "new 5 5 days");
    EXPECT_EQ(InventorySlotDataText(Slot(sc::kDayCard, 1, 0, 3), Record(sc::kDayCard)), "used 3 3 days");
    EXPECT_EQ(InventorySlotDataText(Slot(sc::kDayCard, 1, 0, 100), Record(sc::kDayCard)), "");
}

TEST_F(MarketRulesTest, PrizeAndCombinationResults) {
    struct Case {
        uint32_t value;
        const char* image;
        const char* caption;
        const char* message;
        int64_t cra;
    } cases[] = {
        {0, "CRAP.DDS", "nothing", "", 0},
        {999999999u, "CRA.DDS", "won 999999999 Cra", "", 999999999},
        {1000000000u, "CRAP.DDS", "nothing", "", 0},
        {1000000001u, "CRAP.DDS", "nothing", "", 0},  // a card id the data does not know
        {sc::kPrizeCard, sc::kCardIcon, "won a card", "Prize card I", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        int64_t cra = -1;
        const ItemResultView box = PrizeContent(c.value, &registry, &cra);
        EXPECT_EQ(box.image, c.image);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.message, c.message);
        EXPECT_EQ(cra, c.cra);
        EXPECT_EQ(box.bonus, 0);
    }
    EXPECT_EQ(CombineContent(0, &registry).image, "CRAP.DDS");
    EXPECT_EQ(CombineContent(0xFFFFFFFFu, &registry).image, "CRAP.DDS");
    const ItemResultView made = CombineContent(sc::kBaseCard + 5, &registry);
    EXPECT_EQ(made.message, "Base card");
    EXPECT_EQ(made.bonus, 5);
}

TEST(ShopOverlayTest, MarksRowUpBelowThePlaceAndSoldOutCoversIt) {
    using namespace shop_overlay;
    struct Case {
        uint32_t flags;
        std::vector<Picture> pictures;
    };
    const Case cases[] = {
        {0, {}},
        {card::kMarkOne, {MARK_ONE}},
        {card::kMarkThree, {MARK_THREE}},
        {card::kMarkOne | card::kMarkTwo | card::kMarkThree | card::kHidden, {MARK_ONE, MARK_TWO, MARK_THREE}},
        {card::kMarkTwo | card::kSoldOut, {MARK_TWO, SOLD_OUT}},
    };
    for (const Case& c : cases) {
        const std::vector<Quad> quads = PlaceQuads(c.flags, 10.0f, 20.0f, 80.0f, 90.0f);
        ASSERT_EQ(quads.size(), c.pictures.size()) << std::hex << c.flags;
        float x = 10.0f;
        for (size_t i = 0; i < quads.size(); ++i) {
            const Quad& q = quads[i];
            EXPECT_EQ(q.picture, c.pictures[i]) << std::hex << c.flags;
            if (q.picture == SOLD_OUT) {
                EXPECT_EQ(q.x, 10.0f);
                EXPECT_EQ(q.y, 20.0f);
                EXPECT_EQ(q.width, 80.0f);
                EXPECT_EQ(q.height, 90.0f);
                continue;
            }
            // Marks leave no gap for an absent bit: each one follows the last.
            EXPECT_EQ(q.x, x) << std::hex << c.flags << " " << i;
            EXPECT_EQ(q.y, 125.0f);
            EXPECT_EQ(q.width, 29.0f);
            EXPECT_EQ(q.height, 15.0f);
            x += 33.0f;
        }
    }
}
