// QORTestServer's market over a real connection: a purchase answered with the
// new inventory and money, a refusal for a sold-out entry, a sale, and the
// player market's listings bought.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/ClientSession.h"
#include "net/ItemRequests.h"
#include "net/ItemResults.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/LocalMarket.h"
#include "tools/SampleCards.h"

namespace sc = sample_cards;

namespace {

class LocalMarketTest : public NetTest {
protected:
    void SetUp() override {
        NetTest::SetUp();
        market.Serve(server);
        server.Accept();
        ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
        ASSERT_TRUE(server.WaitIdle());
        g_pClientSession = &session;
    }
    void TearDown() override { g_pClientSession = nullptr; }
    // Sends the request and hands the answer to the client's item handler.
    NetPacket Ask(uint16_t id, const uint8_t* payload, size_t length) {
        EXPECT_EQ(client.SendPacket(id, payload, static_cast<int>(length)), 1);
        NetPacket answer;
        for (int i = 0; i < 1000 && answer.id == 0; ++i) {
            EXPECT_EQ(client.RecvPacket(answer), 1);
            if (answer.id == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        HandleItemResultPackets(nullptr, answer);
        return answer;
    }

    CLocalMarket market;  // outlives the server that answers through it
    CFakeGameServer server;
    CNetClient client;
    CClientSession session;
};

}  // namespace

TEST_F(LocalMarketTest, ShopAndMarket) {
    uint8_t buf[64];
    NetPacket answer = Ask(PK_SHOP_BUY_CARD, buf, WriteShopBuy(buf, sizeof buf, sc::kShopDayCard));
    EXPECT_EQ(answer.id, PK_SHOP_BUY_CARD_RESULT);
    EXPECT_EQ(session.inventory[0][0].cardId, sc::kDayCard);
    EXPECT_EQ(session.money, CLocalMarket::kStartCra - 100);

    answer = Ask(PK_SHOP_BUY_CARD, buf, WriteShopBuy(buf, sizeof buf, sc::kShopSoldOut));
    EXPECT_EQ(answer.payload[0], 0);
    EXPECT_EQ(session.inventory[0][1].cardId, 0u);

    answer = Ask(PK_SHOP_SELL_CARD, buf, WriteSlotRequest(buf, sizeof buf, {0, 0}));
    EXPECT_EQ(answer.id, PK_SHOP_SELL_CARD_RESULT);
    EXPECT_EQ(session.inventory[0][0].cardId, 0u);

    answer = Ask(PK_MARKET_LIST, buf, WriteMarketList(buf, sizeof buf, 0, "", 0));
    ASSERT_EQ(answer.id, PK_MARKET_LIST_RESULT);
    MarketSearchPage page{};
    ASSERT_EQ(ReadMarketRecords(answer.payload.data() + 6, 246, page.data(), page.size()), 1);
    EXPECT_EQ(page[1].cardId, sc::kJewel2);
    answer = Ask(PK_MARKET_BUY, buf, WriteMarketBuy(buf, sizeof buf, page[1]));
    EXPECT_EQ(answer.payload[0], 1);
    EXPECT_EQ(session.inventory[0][0].cardId, sc::kJewel2);
    EXPECT_EQ(session.money, market.Cra());
    for (const std::string& f : server.Failures()) ADD_FAILURE() << f;
}
