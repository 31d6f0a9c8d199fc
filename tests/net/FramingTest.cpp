// Framing on a socket pair: what a receive gives for each way a peer can send,
// stall or close, and what a send puts on the wire.
#include <fcntl.h>

#include <chrono>
#include <thread>
#include <vector>

#include "net/Framing.h"
#include "net/NetErrors.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/FakeGameServer.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Payload(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 1);
    return b;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void WriteAll(int fd, const Bytes& b) {
    size_t done = 0;
    while (done < b.size()) {
        ssize_t n = ::send(fd, b.data() + done, b.size() - done, MSG_NOSIGNAL);
        ASSERT_GT(n, 0);
        done += static_cast<size_t>(n);
    }
}

class FramingTest : public NetTest {
protected:
    void SetUp() override {
        NetTest::SetUp();
        MakePair();
    }
};

TEST_F(FramingTest, ReceiveTable) {
    const Bytes body = Payload(300);
    const Bytes whole = CFakeGameServer::PacketBytes(1015, body);
    struct Case {
        const char* name;
        std::vector<Bytes> pieces;  // written 30 ms apart
        bool closeAfter;
        int expected;
        uint16_t id;
        size_t length;
    } cases[] = {
        {"empty payload", {CFakeGameServer::HeaderBytes(1015, 0)}, false, 4, 1015, 0},
        {"nothing waiting", {}, false, 0, 0, 0},
        {"payload in three pieces",
         {Bytes(whole.begin(), whole.begin() + 10), Bytes(whole.begin() + 10, whole.begin() + 200),
          Bytes(whole.begin() + 200, whole.end())},
         false,
         300,
         1015,
         300},
        {"close between packets", {}, true, FRAME_CLOSED, 0, 0},
        {"close inside the header", {Bytes(whole.begin(), whole.begin() + 2)}, true, FRAME_CLOSED, 0, 0},
        {"close inside the payload", {Bytes(whole.begin(), whole.begin() + 104)}, true, FRAME_CLOSED, 0, 0},
        {"stalled payload", {Bytes(whole.begin(), whole.begin() + 104)}, false, FRAME_TIMEOUT, 0, 0},
        {"header over 2,044 bytes", {CFakeGameServer::HeaderBytes(1015, 2045)}, false, FRAME_CLOSED, 0, 0},
        {"undefined id dropped", {CFakeGameServer::PacketBytes(1999, Payload(8))}, false, 0, 0, 0},
        {"fixed size short kept: a bare result code", {CFakeGameServer::PacketBytes(3000, Payload(2))}, false, 2, 3000, 2},
        {"fixed size exact", {CFakeGameServer::PacketBytes(3000, Payload(8))}, false, 8, 3000, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        MakePair();
        std::thread writer([&] {
            for (size_t i = 0; i < c.pieces.size(); ++i) {
                if (i) std::this_thread::sleep_for(std::chrono::milliseconds(30));
                WriteAll(peer, c.pieces[i]);
            }
            if (c.closeAfter) ClosePeer();
        });
        if (!c.pieces.empty() || c.closeAfter) {
            // Let the first piece (or the close) arrive before looking.
            while (platform::SocketWaitFor(near, platform::SOCKET_READABLE, 10) == 0) {
            }
        }
        writer.join();
        NetPacket packet;
        packet.id = 77;
        EXPECT_EQ(RecvFrame(near, packet, 200), c.expected);
        EXPECT_EQ(packet.id, c.id);
        EXPECT_EQ(packet.length, c.length);
        if (c.length == body.size()) {
            EXPECT_TRUE(std::equal(body.begin(), body.end(), packet.payload.begin()));
        }
    }
}

TEST_F(FramingTest, ThreePiecesArriveWhileWaiting) {
    // The pieces come while the receive is already waiting for the payload.
    const Bytes whole = CFakeGameServer::PacketBytes(1017, Payload(500));
    WriteAll(peer, Bytes(whole.begin(), whole.begin() + 6));
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        WriteAll(peer, Bytes(whole.begin() + 6, whole.begin() + 300));
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        WriteAll(peer, Bytes(whole.begin() + 300, whole.end()));
    });
    NetPacket packet;
    EXPECT_EQ(RecvFrame(near, packet, 2000), 500);
    writer.join();
    EXPECT_EQ(packet.id, 1017);
    EXPECT_EQ(Bytes(packet.payload.begin(), packet.payload.begin() + 500), Payload(500));
}

TEST_F(FramingTest, DroppedPacketKeepsTheStreamInStep) {
    WriteAll(peer, Concat(CFakeGameServer::PacketBytes(1999, Payload(8)), CFakeGameServer::PacketBytes(3001, {1, 0})));
    NetPacket packet;
    EXPECT_EQ(RecvFrame(near, packet, 200), 0);
    EXPECT_EQ(RecvFrame(near, packet, 200), 2);
    EXPECT_EQ(packet.id, 3001);
}

TEST_F(FramingTest, StalledPayloadGivesUpAtItsTimeout) {
    WriteAll(peer, Bytes(CFakeGameServer::HeaderBytes(1015, 100)));
    NetPacket packet;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RecvFrame(near, packet, 150), FRAME_TIMEOUT);
    const auto waited = std::chrono::steady_clock::now() - start;
    // Bounded by the time-out (with room for a slow machine), never an endless wait.
    EXPECT_LT(waited, std::chrono::milliseconds(1500));
}

TEST_F(FramingTest, FullPayloadPutsTheWholePacketOnTheWire) {
    const Bytes body = Payload(kMaxPayload);
    ASSERT_EQ(SendFrame(kMaxPayload, body.data(), near, 1015, 1000), 0);
    Bytes got(kMaxPacketSize + 16);
    size_t n = 0;
    while (platform::SocketWaitFor(peer, platform::SOCKET_READABLE, 100) == 1) {
        ssize_t r = ::recv(peer, got.data() + n, got.size() - n, 0);
        if (r <= 0) break;
        n += static_cast<size_t>(r);
    }
    ASSERT_EQ(n, static_cast<size_t>(kMaxPacketSize));
    got.resize(n);
    EXPECT_EQ(got, CFakeGameServer::PacketBytes(1015, body));
}

TEST_F(FramingTest, OversizedSendIsRefusedAndNothingIsSent) {
    const Bytes body = Payload(kMaxPayload + 1);
    EXPECT_EQ(SendFrame(kMaxPayload + 1, body.data(), near, 1015, 1000), -1);
    EXPECT_EQ(platform::SocketWaitFor(peer, platform::SOCKET_READABLE, 0), 0);
    ReportNetError(kNetErrorFromSocket);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(MSG_ERROR_NETWORK_NORMAL));
    EXPECT_NE(report.Text().find("error 10040"), std::string::npos) << report.Text();
}

// Fills the near end's send buffer so the next send can only go in part.
void FillSendBuffer(int fd) {
    const Bytes junk(4096, 0xAB);
    while (::send(fd, junk.data(), junk.size(), MSG_DONTWAIT | MSG_NOSIGNAL) > 0) {
    }
    while (::send(fd, junk.data(), 1, MSG_DONTWAIT | MSG_NOSIGNAL) > 0) {
    }
}

TEST_F(FramingTest, FullSendBufferIsWaitedOutWithinTheTimeout) {
    FillSendBuffer(near);
    Bytes got;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        uint8_t buf[8192];
        for (;;) {
            if (platform::SocketWaitFor(peer, platform::SOCKET_READABLE, 500) != 1) break;
            ssize_t r = ::recv(peer, buf, sizeof(buf), 0);
            if (r <= 0) break;
            got.insert(got.end(), buf, buf + r);
        }
    });
    const Bytes body = Payload(kMaxPayload);
    EXPECT_EQ(SendFrame(kMaxPayload, body.data(), near, 1015, 3000), 0);
    reader.join();
    const Bytes packet = CFakeGameServer::PacketBytes(1015, body);
    ASSERT_GE(got.size(), packet.size());
    EXPECT_EQ(Bytes(got.end() - static_cast<long>(packet.size()), got.end()), packet);
}

TEST_F(FramingTest, SendThatCannotStartTimesOut) {
    FillSendBuffer(near);
    const Bytes body = Payload(100);
    EXPECT_EQ(SendFrame(100, body.data(), near, 1015, 100), -2);
}

TEST_F(FramingTest, SendToAClosedPeerFailsWithoutASignal) {
    ClosePeer();
    const Bytes body = Payload(10);
    EXPECT_EQ(SendFrame(10, body.data(), near, 1017, 1000), -1);
    ReportNetError(kNetErrorFromSocket);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(MSG_ERROR_NETWORK_DISCONNECT));
}

}  // namespace
