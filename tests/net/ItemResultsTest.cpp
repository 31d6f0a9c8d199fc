// The item and money results without a market screen (the lobby's call): each
// id takes the inventory, the 64-bit money and the second amount from its own
// offsets; refusals of the chat-error class stop the poll.
#include <gtest/gtest.h>

#include <cstring>

#include "net/ByteWriter.h"
#include "net/ClientSession.h"
#include "net/ItemResults.h"
#include "net/NetPacket.h"
#include "tests/net/NetFixture.h"

namespace {

constexpr size_t kNone = SIZE_MAX;

struct SessionScope {
    SessionScope() { g_pClientSession = &session; }
    ~SessionScope() { g_pClientSession = nullptr; }
    CClientSession session;
};

NetPacket Packet(uint16_t id, uint16_t length, uint8_t ok, uint8_t code) {
    NetPacket p;
    p.id = id;
    p.length = length;
    p.payload[0] = ok;
    p.payload[1] = code;
    return p;
}

using ItemResultsTest = NetTest;

TEST_F(ItemResultsTest, EachIdTakesItsOwnOffsets) {
    struct Case {
        uint16_t id;
        size_t inventoryAt, moneyAt, secondAt;
    } cases[] = {
        {3019, 2, 362, 370}, {3020, 2, 362, 370}, {3021, 2, 362, 370},     {3024, 2, 362, 370},
        {3050, 2, 362, 370}, {3022, 4, 364, 372}, {3045, kNone, 362, 370}, {3049, 6, 366, 374},
        {3052, 14, 2, 10},   {3053, 2, 364, kNone}, {3055, 2, 362, kNone}, {3056, 2, kNone, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        SessionScope scope;
        scope.session.money = -1;
        scope.session.secondMoney = 9;
        NetPacket p = Packet(c.id, 400, 1, 0);
        if (c.inventoryAt != kNone) CByteWriter(p.payload.data() + c.inventoryAt, 4).WriteU32(123456);
        if (c.moneyAt != kNone) CByteWriter(p.payload.data() + c.moneyAt, 8).WriteU64(0x0000000700000005ull);
        if (c.secondAt != kNone) CByteWriter(p.payload.data() + c.secondAt, 4).WriteU32(77);
        if (c.id == 3022) CByteWriter(p.payload.data() + 2, 2).WriteU16(3);
        EXPECT_EQ(HandleItemResultPackets(nullptr, p), 1);
        EXPECT_EQ(scope.session.inventory[0][0].cardId, c.inventoryAt != kNone ? 123456u : 0u);
        EXPECT_EQ(scope.session.money, c.moneyAt != kNone ? 0x0000000700000005ll : -1);
        EXPECT_EQ(scope.session.secondMoney, c.secondAt != kNone ? 77u : 9u);
        if (c.id == 3022) {
            EXPECT_EQ(scope.session.useCardValue, 3);
        }
        // Cut before its last field, the result changes nothing.
        scope.session.money = -1;
        p.length = 300;
        if (c.moneyAt != kNone && c.moneyAt > 300) {
            EXPECT_EQ(HandleItemResultPackets(nullptr, p), 1);
            EXPECT_EQ(scope.session.money, -1);
        }
    }
    SessionScope scope;
    NetPacket sold;
    sold.id = 1073;
    sold.length = 29;
    CByteWriter(sold.payload.data() + 21, 8).WriteU64(static_cast<uint64_t>(-5ll));
    EXPECT_EQ(HandleItemResultPackets(nullptr, sold), 1);
    EXPECT_EQ(scope.session.money, -5);
    EXPECT_EQ(HandleItemResultPackets(nullptr, Packet(3005, 2, 1, 0)), -1);
}

TEST_F(ItemResultsTest, RefusalsOfTheChatErrorClassStopThePoll) {
    SessionScope scope;
    for (int code : {18, 19, 20, 22, 28}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(HandleItemResultPackets(nullptr, Packet(3019, 400, 0, static_cast<uint8_t>(code))), 0);
    }
    for (int code : {1, 5, 48, 52, 200}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(HandleItemResultPackets(nullptr, Packet(3053, 400, 0, static_cast<uint8_t>(code))), 1);
    }
    EXPECT_EQ(scope.session.money, 0);
}

}  // namespace
