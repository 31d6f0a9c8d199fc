// The fake server's shop and market replies read back by the client's item
// result handler: every reply's inventory and money land where the handler
// takes them, and the list reply's records round-trip.
#include <gtest/gtest.h>

#include <cstring>

#include "net/ClientSession.h"
#include "net/ItemResults.h"
#include "net/MessageIds.h"
#include "net/NetPacket.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/MarketPackets.h"

namespace {

using MarketRepliesTest = NetTest;

NetPacket ToPacket(uint16_t id, const std::vector<uint8_t>& payload) {
    NetPacket p;
    p.id = id;
    p.length = static_cast<uint16_t>(payload.size());
    std::memcpy(p.payload.data(), payload.data(), payload.size());
    return p;
}

TEST_F(MarketRepliesTest, EveryReplyFillsInventoryAndMoney) {
    struct Case {
        uint16_t id;
        size_t size;
        bool cra, second;
    } cases[] = {
        {PK_SHOP_BUY_CARD_RESULT, 374, true, true},    {PK_SHOP_SELL_CARD_RESULT, 374, true, true},
        {PK_SHOP_DELETE_CARD_RESULT, 374, true, true}, {PK_SHOP_USE_CARD_RESULT, 376, true, true},
        {PK_INVENTORY_MOVE_RESULT, 374, true, true},   {PK_COMBINE_ITEMS_RESULT, 378, true, true},
        {PK_STACK_ITEM_RESULT, 374, true, true},       {PK_CARD_TO_UNUSED_RESULT, 374, true, true},
        {PK_MARKET_REGISTER_RESULT, 372, true, false}, {PK_MARKET_BUY_RESULT, 370, true, false},
        {PK_MARKET_CANCEL_RESULT, 362, false, false},
    };
    ItemResultSpec spec;
    spec.inventory[4][8] = {0xFFFFFFFFu, 1, 2, 300};
    spec.inventory[0][0] = {3100031000u, 0, 3, 10};
    spec.cra = 0x123456789ll;
    spec.second = 42;
    spec.useValue = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CClientSession session;
        g_pClientSession = &session;
        session.money = -1;
        const std::vector<uint8_t> payload = ItemResultPayload(c.id, spec);
        ASSERT_EQ(payload.size(), c.size);
        EXPECT_EQ(HandleItemResultPackets(nullptr, ToPacket(c.id, payload)), 1);
        EXPECT_EQ(session.inventory[4][8].cardId, 0xFFFFFFFFu);
        EXPECT_EQ(session.inventory[4][8].remaining, 300);
        EXPECT_EQ(session.inventory[0][0].cardId, 3100031000u);
        EXPECT_EQ(session.money, c.cra ? spec.cra : -1);
        EXPECT_EQ(session.secondMoney, c.second ? 42u : 0u);
        g_pClientSession = nullptr;
    }
    EXPECT_TRUE(ItemResultPayload(3023, spec).empty());
}

TEST_F(MarketRepliesTest, ListAndSaleNotice) {
    MarketSearchPage search{};
    MarketOwnListings own{};
    search[5] = {"Seller", 3100021000u, 900, 4, 1, 2, 3};
    own[4] = {"me", 77, 100, 1, 4, 5, 6};
    const std::vector<uint8_t> list = MarketListPayload(2, search, own);
    ASSERT_EQ(list.size(), 457u);
    MarketSearchPage searchBack{};
    MarketOwnListings ownBack{};
    ASSERT_EQ(ReadMarketRecords(list.data() + 6, 246, searchBack.data(), searchBack.size()), 1);
    ASSERT_EQ(ReadMarketRecords(list.data() + 252, 205, ownBack.data(), ownBack.size()), 1);
    EXPECT_EQ(searchBack[5].seller, "Seller");
    EXPECT_EQ(searchBack[5].price, 900);
    EXPECT_EQ(ownBack[4].key37, 6u);

    CClientSession session;
    g_pClientSession = &session;
    EXPECT_EQ(HandleItemResultPackets(nullptr, ToPacket(PK_MARKET_ITEM_SOLD, MarketSoldPayload(77, 5000))), 1);
    EXPECT_EQ(session.money, 5000);
    g_pClientSession = nullptr;
}

}  // namespace
