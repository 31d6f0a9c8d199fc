// Two clients on the fake game server's relay: the frames one client packs
// come back to both, and both re-create the same records in the same order.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "commands/GameCommandManager.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/FakeGameServer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Polls a client until it has received count command frames (bounded).
std::vector<Bytes> ReceiveFrames(CNetClient& client, size_t count) {
    std::vector<Bytes> frames;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    NetPacket packet;
    while (frames.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (!client.RecvPacket(packet)) break;
        if (packet.id == 0) {
            std::this_thread::yield();
            continue;
        }
        if (packet.id == PK_GAME_COMMANDS) frames.emplace_back(packet.payload.begin(), packet.payload.begin() + packet.length);
    }
    return frames;
}

std::vector<Bytes> Unpacked(CGameCommandManager& m, const std::vector<Bytes>& frames) {
    for (const Bytes& f : frames) m.UnpackFrame(f.data(), f.size());
    std::vector<Bytes> records;
    while (CGameCommand* r = m.NextCommand()) {
        records.emplace_back(r->Bytes(), r->Bytes() + r->Size());
        m.ReleaseDispatched(r);
    }
    return records;
}

class RelayTest : public NetTest {};

}  // namespace

TEST_F(RelayTest, BothClientsRunTheSameRecordsInTheSameOrder) {
    CFakeGameServer server;
    server.Relay(2);
    CNetClient a, b;
    ASSERT_EQ(a.Connect(server.Host(), server.Port()), 1) << report.Text();
    ASSERT_EQ(b.Connect(server.Host(), server.Port()), 1) << report.Text();

    // Client A (slot 2) makes 300 records of mixed types: more than one frame holds.
    CGameCommandManager managerA;
    float clockA = 42.5f;
    std::array<int32_t, 12> teams{};
    managerA.BeginSession(1, &clockA, 0, 0, teams);
    std::vector<Bytes> made;
    for (int i = 0; i < 300; ++i) {
        CGameCommand* r = i % 3 == 0   ? managerA.BuildPlayerEvent(uint32_t(i % 12), 2, 1)
                          : i % 3 == 1 ? managerA.BuildGameEvent(uint32_t(i % 11), i, -i, 1)
                                       : managerA.BuildUnitOrder(i, float(i), 3, 1, {float(i), 0, float(-i)}, {}, -1,
                                                                 -1, 1);
        ASSERT_NE(r, nullptr);
        made.emplace_back(r->Bytes(), r->Bytes() + r->Size());
    }
    ASSERT_GE(managerA.CurrentFrameIndex(), 1) << "the records spill into a second frame";
    EXPECT_TRUE(managerA.Queue().empty());
    const int frames = managerA.CurrentFrameIndex() + 1;
    for (int f = 0; f < frames; ++f) {
        CommandFrame& frame = managerA.Frame(f);
        frame.Seal(2, clockA);
        ASSERT_EQ(a.SendPacket(PK_GAME_COMMANDS, frame.Data(), frame.Used()), 1) << report.Text();
    }
    managerA.ResetFrames();

    const std::vector<Bytes> framesA = ReceiveFrames(a, size_t(frames));
    const std::vector<Bytes> framesB = ReceiveFrames(b, size_t(frames));
    ASSERT_EQ(framesA.size(), size_t(frames));
    ASSERT_EQ(framesB.size(), size_t(frames));
    for (const Bytes& f : framesB) {
        EXPECT_EQ(f[1], 2) << "the sender's slot";
        CommandFrame header;
        std::memcpy(header.Data(), f.data(), 8);
        EXPECT_EQ(header.Time(), 42.5f);
    }

    CGameCommandManager managerB;
    float clockB = 0;
    managerB.BeginSession(1, &clockB, 0, 0, teams);
    const std::vector<Bytes> runA = Unpacked(managerA, framesA);
    const std::vector<Bytes> runB = Unpacked(managerB, framesB);
    EXPECT_EQ(runA.size(), 300u);
    EXPECT_EQ(runA, made);
    EXPECT_EQ(runB, made);

    a.Disconnect();
    b.Disconnect();
    EXPECT_TRUE(server.WaitIdle());
    EXPECT_TRUE(server.Failures().empty());
}
