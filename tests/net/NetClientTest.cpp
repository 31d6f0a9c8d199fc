// The client's connection against the fake game server: connecting, the
// failures a screen sees, and the login and server-entry handshakes.
#include <sys/socket.h>

#include <netinet/in.h>

#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "net/AccountSeal.h"
#include "net/ByteWriter.h"
#include "net/Framing.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/ServerAddress.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/FakeGameServer.h"
#include "tools/ProtocolTablesWriter.h"

namespace {

class NetClientTest : public NetTest {
protected:
    void SetUp() override {
        NetTest::SetUp();
        ASSERT_TRUE(server.Failures().empty());
    }
    void TearDown() override {
        EXPECT_TRUE(server.WaitIdle());
        for (const std::string& f : server.Failures()) ADD_FAILURE() << "fake server: " << f;
        NetTest::TearDown();
    }

    // Polls as a screen does until a packet comes or the client fails; bounded.
    int Poll(NetPacket& packet) {
        for (int i = 0; i < 500; ++i) {
            if (!client.RecvPacket(packet)) return 0;
            if (packet.id != 0) return 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

    CFakeGameServer server;
    CNetClient client;
};

// A port on 127.0.0.1 that nothing listens on.
uint16_t ClosedPort() {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

TEST_F(NetClientTest, ConnectFailuresGiveTheirMessages) {
    struct Case {
        const char* host;
        bool closedPort;
        uint32_t code;
    } cases[] = {
        {"127.0.0.1", true, 26},          // refused
        {"999.0.0.1", false, 29},         // not an address
        {"localhost", false, 29},         // names are not resolved
        {"127.000.000.0001", false, 29},  // 16 characters: longer than any address
        {"", false, 29},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        report.Set(0, "");
        EXPECT_EQ(client.Connect(c.host, c.closedPort ? ClosedPort() : server.Port()), 0);
        EXPECT_FALSE(client.IsConnected());
        EXPECT_EQ(report.GetCode(), c.code);
        EXPECT_EQ(report.Text(), "msg" + std::to_string(c.code));
        EXPECT_LE(std::strlen(client.GetHost()), 15u);
    }
}

TEST_F(NetClientTest, ConnectThatGetsNoAnswerTimesOut) {
    // A listener whose queue is full lets further connection requests go
    // unanswered, as an unreachable server would.
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    std::vector<platform::SocketHandle> sockets;
    bool timedOut = false;
    for (int i = 0; i < 8 && !timedOut; ++i) {
        sockets.push_back(platform::SocketOpen(platform::SOCKET_STREAM));
        timedOut = !platform::SocketConnect(sockets.back(), "127.0.0.1", ntohs(addr.sin_port), 200);
    }
    for (platform::SocketHandle s : sockets) platform::SocketClose(s);
    ::close(listener);
    if (!timedOut) GTEST_SKIP() << "this system answers every connection request";
    ReportNetError(kNetErrorFromSocket);
    EXPECT_EQ(report.GetCode(), 27u);
}

TEST_F(NetClientTest, ConnectAndDisconnect) {
    server.Accept().Expect(PK_LOADING_DONE);
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1) << report.Text();
    EXPECT_TRUE(client.IsConnected());
    EXPECT_STREQ(client.GetHost(), "127.0.0.1");
    const uint8_t done[2] = {0, 0};
    EXPECT_EQ(client.SendPacket(PK_LOADING_DONE, done, 2), 1);
    client.Disconnect();
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(client.GetSocket(), platform::kInvalidSocket);
    client.Disconnect();  // twice is harmless
    // A send after the close fails at once with the disconnection.
    EXPECT_EQ(client.SendPacket(PK_LOADING_DONE, done, 2), 0);
    EXPECT_EQ(report.GetCode(), 28u);
}

TEST_F(NetClientTest, NothingWaitingGivesIdZero) {
    server.Accept();
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
    NetPacket packet;
    packet.id = 5;
    packet.length = 5;
    EXPECT_EQ(client.RecvPacket(packet), 1);
    EXPECT_EQ(packet.id, 0);
    EXPECT_EQ(packet.length, 0);
    EXPECT_TRUE(client.IsConnected());
}

TEST_F(NetClientTest, ReceiveFailuresGiveTheirMessages) {
    struct Case {
        const char* name;
        std::function<void(CFakeGameServer&)> script;
        uint32_t code;
    } cases[] = {
        {"closed between packets", [](CFakeGameServer& s) { s.Accept().Close(); }, 28},
        {"closed inside a payload",
         [](CFakeGameServer& s) {
             s.Accept().SendRaw(CFakeGameServer::HeaderBytes(PK_NOTICE, 100)).SendRaw({1, 2, 3}).Close();
         },
         28},
        {"header over 2,044 bytes",
         [](CFakeGameServer& s) { s.Accept().SendRaw(CFakeGameServer::HeaderBytes(PK_NOTICE, 4000)); }, 28},
        {"stalled payload",
         [](CFakeGameServer& s) {
             s.Accept().SendRaw(CFakeGameServer::HeaderBytes(PK_NOTICE, 100)).SendRaw({1, 2}).Stall(1500);
         },
         27},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.script(server);
        ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
        report.Set(0, "");
        NetPacket packet;
        EXPECT_EQ(Poll(packet), 0);
        EXPECT_FALSE(client.IsConnected());
        EXPECT_EQ(report.GetCode(), c.code);
        EXPECT_EQ(report.Text(), "msg" + std::to_string(c.code));
        ASSERT_TRUE(server.WaitIdle());
        client.Disconnect();
    }
}

TEST_F(NetClientTest, SendToAClosedServerReportsTheDisconnect) {
    server.Accept().Close();
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
    ASSERT_TRUE(server.WaitIdle());
    const uint8_t data[4] = {};
    int sent = 1;
    // The first sends may still be taken by the system; a reset follows.
    for (int i = 0; i < 200 && sent; ++i) {
        sent = client.SendPacket(PK_LOADING_DONE, data, 2);
        if (sent) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(sent, 0);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(report.GetCode(), 28u);
}

TEST_F(NetClientTest, OversizedSendIsRefused) {
    server.Accept();
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
    std::vector<uint8_t> big(kMaxPayload + 1);
    EXPECT_EQ(client.SendPacket(PK_GAME_COMMANDS, big.data(), static_cast<int>(big.size())), 0);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(report.GetCode(), 25u);
}

class HandshakeTest : public NetClientTest {
protected:
    void SetUp() override {
        NetClientTest::SetUp();
        SampleProtocolTables t = MakeSampleProtocolTables();
        ASSERT_EQ(tables.Set(t.permutation, t.experience), 1);
    }
    // Waits for PK_AUTH_KEY and returns its key.
    uint32_t ReceiveKey() {
        NetPacket packet;
        EXPECT_EQ(Poll(packet), 1);
        EXPECT_EQ(packet.id, PK_AUTH_KEY);
        CByteReader r = packet.Reader();
        uint32_t key = r.ReadU32();
        EXPECT_TRUE(r.Ok());
        return key;
    }
    CProtocolTables tables;
};

TEST_F(HandshakeTest, LoginAgainstTheFakeServer) {
    AccountRecord seen;
    server.Accept().SendAuthKey(0x5EED1234u).ExpectLogin(&seen).SendResult(PK_LOGIN_RESULT, 1, 0, 8);
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);

    const uint32_t key = ReceiveKey();
    EXPECT_EQ(key, 0x5EED1234u);
    std::array<uint8_t, kSealedRecordSize> sealed;
    ASSERT_EQ(SealAccountRecord(MakeAccountRecord("hero", "pass", key), sealed), 1);
    ASSERT_EQ(SendFrame(kSealedRecordSize, sealed.data(), client.GetSocket(), PK_LOGIN, CNetClient::kTimeoutMs), 0);

    NetPacket answer;
    ASSERT_EQ(Poll(answer), 1);
    EXPECT_EQ(answer.id, PK_LOGIN_RESULT);
    EXPECT_EQ(answer.payload[0], 1);
    ASSERT_TRUE(server.WaitIdle());
    EXPECT_STREQ(seen.userId, "hero");
    EXPECT_STREQ(seen.password, "pass");
    EXPECT_EQ(seen.key, key);
}

TEST_F(HandshakeTest, EnterServerRefused) {
    AccountRecord seen;
    uint8_t reentry = 9;
    server.Accept().SendAuthKey(77).ExpectEnterServer(&seen, &reentry).SendResult(PK_ENTER_SERVER_RESULT, 0, 5, 2);
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);

    std::array<uint8_t, kSealedRecordSize> sealed;
    ASSERT_EQ(SealAccountRecord(MakeAccountRecord("hero", nullptr, ReceiveKey()), sealed), 1);
    std::array<uint8_t, kEnterServerSize> payload;
    BuildEnterServerPayload(sealed, true, payload);
    ASSERT_EQ(client.SendPacket(PK_ENTER_SERVER, payload.data(), kEnterServerSize), 1);

    NetPacket answer;
    ASSERT_EQ(Poll(answer), 1);
    EXPECT_EQ(answer.id, PK_ENTER_SERVER_RESULT);
    EXPECT_EQ(answer.payload[0], 0);
    ReportServerResult(answer.payload[1]);
    EXPECT_EQ(report.GetCode(), 34u);
    ASSERT_TRUE(server.WaitIdle());
    EXPECT_STREQ(seen.userId, "hero");
    EXPECT_STREQ(seen.password, "");
    EXPECT_EQ(reentry, 1);
}

TEST(ServerAddress, DefaultsAndOverrides) {
    EXPECT_EQ(GetServerPort(ServerKind::Login), 10000);
    EXPECT_EQ(GetServerPort(ServerKind::Game), 10001);
    EXPECT_EQ(GetServerPort(ServerKind::Channel), 10003);
    SetServerPortOverride(ServerKind::Game, 4567);
    SetLoginServerHostOverride("127.0.0.1");
    EXPECT_EQ(GetServerPort(ServerKind::Game), 4567);
    EXPECT_EQ(GetLoginServerHost(), "127.0.0.1");
    SetServerPortOverride(ServerKind::Game, 0);
    SetLoginServerHostOverride("");
    EXPECT_EQ(GetServerPort(ServerKind::Game), 10001);
}

TEST(ServerAddress, LoginHostComesFromTheSettingsFile) {
    TempFolder folder;
    const std::string ini =
        folder.Write("VAZE.INI", "[PATCH]\r\nLOGIN_SERVER=1.1.1.1\r\n[INFO]\r\nLOGIN_SERVER = 10.0.0.7\r\n");
    EXPECT_EQ(GetLoginServerHost(ini), "10.0.0.7");
    EXPECT_EQ(GetLoginServerHost(folder.Path("NONE.INI")), "");
}

}  // namespace
