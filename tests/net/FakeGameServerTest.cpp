// The fake server catches a client that sends the wrong message or size.
#include <chrono>
#include <thread>
#include <vector>

#include "net/Framing.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/FakeGameServer.h"

namespace {

using FakeGameServerTest = NetTest;

TEST_F(FakeGameServerTest, ExpectChecksIdAndSize) {
    struct Case {
        uint16_t expected;
        uint16_t sentId;
        int sentLength;
        const char* failure;  // null: the step passes
    } cases[] = {
        {PK_ENTER_SERVER, PK_ENTER_SERVER, 134, nullptr},
        {PK_GAME_COMMANDS, PK_GAME_COMMANDS, 17, nullptr},
        {PK_ENTER_SERVER, PK_LOGIN, 96, "expected 2009, got 2000"},
        {PK_ENTER_SERVER, PK_ENTER_SERVER, 100, "packet 2009 has 100 payload bytes, the table says 134"},
        {1999, 1999, 0, "packet 1999 has 0 payload bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentId);
        CFakeGameServer server;
        server.SetExpectTimeout(2000);
        server.Accept().Expect(c.expected);
        CNetClient client;
        ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
        std::vector<uint8_t> payload(static_cast<size_t>(c.sentLength));
        ASSERT_EQ(client.SendPacket(c.sentId, payload.data(), c.sentLength), 1);
        ASSERT_TRUE(server.WaitIdle());
        const std::vector<std::string> failures = server.Failures();
        if (!c.failure) {
            EXPECT_TRUE(failures.empty());
            ASSERT_EQ(server.Received().size(), 1u);
            EXPECT_EQ(server.Received()[0].payload.size(), payload.size());
        } else {
            ASSERT_EQ(failures.size(), 1u);
            EXPECT_NE(failures[0].find(c.failure), std::string::npos) << failures[0];
        }
    }
}

TEST_F(FakeGameServerTest, AFailedStepEndsTheScript) {
    CFakeGameServer server;
    server.SetExpectTimeout(2000);
    server.Accept().Expect(PK_LOADING_DONE).Send(PK_NOTICE, {'h', 'i'});
    CNetClient client;
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
    client.Disconnect();
    ASSERT_TRUE(server.WaitIdle());
    ASSERT_EQ(server.Failures().size(), 1u);
    EXPECT_NE(server.Failures()[0].find("closed"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(FakeGameServerTest, StandingRulesAnswerBesideTheSteps) {
    CFakeGameServer server;
    server.SetExpectTimeout(3000);
    server.On(PK_LOBBY_USER_LIST_REQUEST, [](const FakePacket& p) {
        return std::vector<FakePacket>{{PK_LOBBY_USER_LIST, std::vector<uint8_t>(514, p.payload[0])}};
    });
    server.On(PK_LOADING_DONE);  // only recorded
    server.Accept();
    CNetClient client;
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
    ASSERT_TRUE(server.WaitIdle());
    const uint8_t keepAlive[2] = {7, 0};
    const uint8_t done[2] = {};
    // While no step runs the rule answers; then a step expects around another rule packet.
    ASSERT_EQ(client.SendPacket(PK_LOBBY_USER_LIST_REQUEST, keepAlive, 2), 1);
    NetPacket packet;
    for (int i = 0; i < 500 && packet.id == 0; ++i) {
        ASSERT_EQ(client.RecvPacket(packet), 1);
        if (packet.id == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(packet.id, PK_LOBBY_USER_LIST);
    EXPECT_EQ(packet.payload[0], 7);
    ASSERT_EQ(client.SendPacket(PK_LOADING_DONE, done, 2), 1);
    ASSERT_EQ(client.SendPacket(PK_ROOM_LIST_REQUEST, done, 2), 1);
    uint8_t list[4] = {1, 0, 2, 0};
    ASSERT_EQ(client.SendPacket(PK_ROOM_LIST_REQUEST, list, 4), 1);
    server.Expect(PK_ROOM_LIST_REQUEST);
    ASSERT_TRUE(server.WaitIdle());
    // The first 1005 had 2 bytes: the step sees it, not the recorded 1011.
    ASSERT_EQ(server.Failures().size(), 1u);
    EXPECT_NE(server.Failures()[0].find("packet 1005 has 2 payload bytes"), std::string::npos);
    std::vector<uint16_t> ids;
    for (const FakePacket& p : server.Received()) ids.push_back(p.id);
    EXPECT_EQ(ids, (std::vector<uint16_t>{PK_LOBBY_USER_LIST_REQUEST, PK_LOADING_DONE, PK_ROOM_LIST_REQUEST}));
}

}  // namespace
