// The fake server catches a client that sends the wrong message or size.
#include <vector>

#include "net/Framing.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
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
