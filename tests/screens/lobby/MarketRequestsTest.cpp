// Every market request built from one state fixture, byte by byte, and the
// choice between moving and stacking a dropped card.
#include <gtest/gtest.h>

#include <vector>

#include "engine/core/MessageTable.h"
#include "net/MessageIds.h"
#include "screens/lobby/MarketRequests.h"
#include "tools/SampleCards.h"

namespace sc = sample_cards;

namespace {

using Bytes = std::vector<uint8_t>;

class MarketRequestsTest : public ::testing::Test {
protected:
    void SetUp() override {
        sc::AddSampleCards(registry);
        inventory[1][2] = {sc::kPrizeCard, 0, 3, 0};
        inventory[0][0] = {sc::kCountCard, 1, 1, 4};
        inventory[4][8] = {sc::kCountCard, 0, 1, 6};
        state.selected = {1, 2};
        state.held = {0, 0};
        state.target = {4, 8};
        state.heldCount = 4;
        state.shopCode = sc::kShopDayCard;
        state.registration = {3, 3};
        state.registrationPrice = -5;
        state.registrationCount = 10;
        state.listKind = 2;
        state.listName = "Jewel";
        state.listPage = 1;
        state.search[3].seller = "Other";
        state.search[3].cardId = 0x01020304;
        state.search[3].price = 1000;
        state.search[3].shownNumber = 5;
        state.search[3].key33 = 0x33;
        state.search[3].key37 = 0x37;
        state.own[1].cardId = 0x0A0B0C0D;
        state.own[1].shownNumber = 9;
        state.own[1].key33 = 0x33;
        state.own[1].key37 = 0x37;
    }
    BuiltRequest Build(uint16_t id) {
        bytes.assign(64, 0xEE);
        BuiltRequest built = BuildItemRequest(state, inventory, registry, id, bytes.data(), bytes.size());
        bytes.resize(built.length);
        return built;
    }

    CGameDataRegistry registry{false};
    InventoryTable inventory{};
    MarketRequestState state;
    Bytes bytes;
};

}  // namespace

TEST_F(MarketRequestsTest, ShopRequests) {
    EXPECT_EQ(Build(PK_SHOP_BUY_CARD).refusal, -1);
    EXPECT_EQ(bytes, (Bytes{1, 0, 0, 0}));
    // Refused only when it is built: the question was already confirmed.
    state.shopCode = sc::kShopSoldOut;
    EXPECT_EQ(Build(PK_SHOP_BUY_CARD).refusal, MSG_OUTSHOP_SOLDOUT_CARD);
    EXPECT_TRUE(bytes.empty());
    state.shopCode = 999;
    EXPECT_EQ(Build(PK_SHOP_BUY_CARD).refusal, MSG_OUTSHOP_WRONG_CARD_KEY);

    Build(PK_SHOP_SELL_CARD);
    EXPECT_EQ(bytes, (Bytes{2, 3}));
    state.saleFromHeld = true;
    Build(PK_SHOP_SELL_CARD);
    EXPECT_EQ(bytes, (Bytes{1, 1}));
    Build(PK_SHOP_DELETE_CARD);
    EXPECT_EQ(bytes, (Bytes{2, 3}));
    Build(PK_SHOP_USE_CARD);
    EXPECT_EQ(bytes, (Bytes{2, 3}));
    Build(PK_BACK_TO_LOBBY);
    EXPECT_EQ(bytes, (Bytes{0, 0, 0, 0}));
}

TEST_F(MarketRequestsTest, PrizeCardLeavesItsSlotAtOnce) {
    Build(PK_SHOP_OPEN_PRIZE_CARD);
    EXPECT_EQ(bytes, (Bytes{2, 3, 0x04, 0x43, 0x69, 0xb3}));
    EXPECT_EQ(inventory[1][2].cardId, 0u);
    inventory[1][2].cardId = sc::kDayCard;
    Build(PK_CARD_TO_UNUSED);
    EXPECT_EQ(bytes, (Bytes{2, 3, 0x09, 0xbd, 0x35, 0x77}));
    EXPECT_EQ(inventory[1][2].cardId, sc::kDayCard);
}

TEST_F(MarketRequestsTest, MovesAndStacks) {
    Build(PK_INVENTORY_MOVE);
    EXPECT_EQ(bytes, (Bytes{1, 1, 5, 9}));
    Build(PK_STACK_ITEM);
    EXPECT_EQ(bytes, (Bytes{1, 1, 4, 0x12, 0xe6, 0x35, 0x77, 5, 9}));
    state.heldCount = 256;
    EXPECT_EQ(Build(PK_STACK_ITEM).refusal, MSG_COMBINATION_INPUT_WRONG_NUMBER);
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(DropRequestId(inventory[0][0], inventory[4][8], registry), PK_STACK_ITEM);
    InventorySlot full = inventory[4][8];
    full.remaining = 10;  // the count card's full stack
    EXPECT_EQ(DropRequestId(inventory[0][0], full, registry), PK_INVENTORY_MOVE);
    InventorySlot day = inventory[4][8];
    day.useType = 0;
    EXPECT_EQ(DropRequestId(day, inventory[4][8], registry), PK_INVENTORY_MOVE);
    EXPECT_EQ(DropRequestId(inventory[0][0], InventorySlot{}, registry), PK_INVENTORY_MOVE);
}

TEST_F(MarketRequestsTest, MarketRequests) {
    Build(PK_MARKET_REGISTER);
    EXPECT_EQ(bytes, (Bytes{4, 4, 0xfb, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 10, 0}));
    Build(PK_MARKET_LIST);
    ASSERT_EQ(bytes.size(), kMarketListSize);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 10), (Bytes{2, 0, 0, 0, 'J', 'e', 'w', 'e', 'l', 0}));
    EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{2, 0, 0, 0}));

    EXPECT_EQ(Build(PK_MARKET_BUY).refusal, MSG_OUTSHOP_SELECT_BUY_CARD);
    state.chosenListing = 3;
    Build(PK_MARKET_BUY);
    ASSERT_EQ(bytes.size(), kMarketBuySize);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{'O', 't', 'h', 'e', 'r', 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 17, bytes.end()),
              (Bytes{4, 3, 2, 1, 5, 0, 0, 0, 0xe8, 3, 0, 0, 0, 0, 0, 0, 0x33, 0, 0, 0, 0x37, 0, 0, 0}));

    EXPECT_EQ(Build(PK_MARKET_CANCEL).refusal, MSG_MARKET_ITEM_REGISTRATION_CANCEL_SELECT);
    state.chosenOwn = 1;
    Build(PK_MARKET_CANCEL);
    EXPECT_EQ(bytes, (Bytes{0x0d, 0x0c, 0x0b, 0x0a, 9, 0, 0, 0, 0x33, 0, 0, 0, 0x37, 0, 0, 0}));
}
