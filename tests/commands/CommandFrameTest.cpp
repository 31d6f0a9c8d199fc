// Outgoing frames fill up by bytes and by count, and a received frame is
// checked before any record of it is trusted.
#include <gtest/gtest.h>

#include <vector>

#include "commands/GameCommandManager.h"

namespace {

const std::array<int32_t, 12> kTeams{};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override { m.BeginSession(1, &clock, 0, 0, kTeams); }
    // Pads frame 0 with large records, then small ones, until it has used bytes.
    void FillTo(uint16_t used) {
        for (uint8_t type : {CMD_CHAT, CMD_UNIT_ORDER, CMD_UNIT_STOP}) {
            const uint8_t size = GameCommandSize(type);
            while (m.Frame(0).Used() + size <= used) ASSERT_NE(m.PackCommand(size, type), nullptr);
        }
        ASSERT_EQ(m.Frame(0).Used(), used);
    }
    CGameCommandManager m;
    float clock = 0;
};

}  // namespace

TEST_F(FrameTest, ARecordThatEndsExactlyAtTheCapacityFits) {
    FillTo(2032);
    CGameCommand* r = m.PackCommand(4, CMD_UNIT_STOP);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(m.CurrentFrameIndex(), 0);
    EXPECT_EQ(m.Frame(0).Used(), CommandFrame::kCapacity);
    EXPECT_EQ(r->Bytes(), m.Frame(0).Data() + 2032);
}

TEST_F(FrameTest, ARecordPastTheCapacityGoesToTheNextFrame) {
    FillTo(2032);
    CGameCommand* r = m.PackCommand(8, CMD_HERO_REVIVE);  // would make 2040
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(m.CurrentFrameIndex(), 1);
    EXPECT_EQ(m.Frame(0).Used(), 2032);
    EXPECT_EQ(r->Bytes(), m.Frame(1).Data() + 8);
    EXPECT_EQ(m.Frame(1).Count(), 1);
    EXPECT_EQ(m.Frame(1).Used(), 16);
}

TEST_F(FrameTest, The256thRecordGoesToTheNextFrame) {
    for (int i = 0; i < 255; ++i) ASSERT_NE(m.PackCommand(4, CMD_UNIT_STOP), nullptr);
    EXPECT_EQ(m.Frame(0).Count(), 255);
    EXPECT_EQ(m.Frame(0).Used(), 8 + 255 * 4);
    CGameCommand* r = m.PackCommand(4, CMD_UNIT_STOP);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(m.CurrentFrameIndex(), 1);
    EXPECT_EQ(r->Bytes(), m.Frame(1).Data() + 8);
}

TEST_F(FrameTest, FiveFullFramesRefuseMoreAndStayOnTheLast) {
    for (int i = 0; i < 5 * 255; ++i) ASSERT_NE(m.PackCommand(4, CMD_UNIT_STOP), nullptr) << i;
    EXPECT_EQ(m.PackCommand(4, CMD_UNIT_STOP), nullptr);
    EXPECT_EQ(m.BuildPlayerEvent(1, 2, 1), nullptr) << "the builder gives nothing when no frame has room";
    EXPECT_EQ(m.CurrentFrameIndex(), 4);
    EXPECT_TRUE(m.Queue().empty());
    for (int f = 0; f < 5; ++f) EXPECT_EQ(m.Frame(f).Count(), 255);
}

TEST_F(FrameTest, AfterAResetTheNextRecordStartsFrameZero) {
    for (int i = 0; i < 300; ++i) ASSERT_NE(m.PackCommand(4, CMD_UNIT_STOP), nullptr);
    ASSERT_EQ(m.CurrentFrameIndex(), 1);
    m.ResetFrames();
    CGameCommand* r = m.PackCommand(24, CMD_UNIT_ORDER);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(m.CurrentFrameIndex(), 0);
    EXPECT_EQ(r->Bytes(), m.Frame(0).Data() + 8);
    EXPECT_EQ(m.Frame(0).Count(), 1);
    EXPECT_EQ(m.Frame(1).Count(), 0);
}

TEST_F(FrameTest, PackRefusesASizeThatIsNotTheTypes) {
    EXPECT_EQ(m.PackCommand(8, CMD_UNIT_STOP), nullptr);
    EXPECT_EQ(m.PackCommand(4, 34), nullptr);
    EXPECT_EQ(m.PackCommand(0, CMD_CHAT), nullptr);
    EXPECT_EQ(m.Frame(0).Count(), 0);
    EXPECT_EQ(m.Frame(0).Used(), 8);
}

TEST_F(FrameTest, SealStampsSenderAndClock) {
    ASSERT_NE(m.BuildPlayerEvent(3, 4, 1), nullptr);
    m.Frame(0).Seal(7, 12.5f);
    EXPECT_EQ(m.Frame(0).Sender(), 7);
    EXPECT_EQ(m.Frame(0).Time(), 12.5f);
    EXPECT_EQ(m.Frame(0).Data()[4], 0x00);
    EXPECT_EQ(m.Frame(0).Data()[7], 0x41);  // 12.5f = 0x41480000
}

TEST(FrameUnpack, DamagedFramesKeepOnlyTheGoodRecordsBeforeTheDamage) {
    // A good frame: a unit order (24 bytes), a chat line (136) and a player event (4).
    std::vector<uint8_t> good;
    {
        CGameCommandManager sender;
        float clock = 0;
        sender.BeginSession(1, &clock, 0, 0, kTeams);
        sender.BuildUnitOrder(1, 100.0f, 3, 0, {5, 0, 6}, {7, 0, 8}, -1, -1, 1);
        sender.BuildChat(2, 1, "gg", 0xFFFFFFFF, 1);
        sender.BuildPlayerEvent(3, 4, 1);
        sender.Frame(0).Seal(2, 1.0f);
        good.assign(sender.Frame(0).Data(), sender.Frame(0).Data() + sender.Frame(0).Used());
    }
    ASSERT_EQ(good.size(), 8u + 24 + 136 + 4);
    const size_t second = 8 + 24, third = 8 + 24 + 136;
    auto setUsed = [](std::vector<uint8_t>& f, size_t used) {
        f[2] = static_cast<uint8_t>(used);
        f[3] = static_cast<uint8_t>(used >> 8);
    };

    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        int kept;
    };
    const Case cases[] = {
        {"intact", [](std::vector<uint8_t>&) {}, 3},
        {"count past the bytes", [](std::vector<uint8_t>& f) { f[0] = 9; }, 3},
        {"count 255 past the bytes", [](std::vector<uint8_t>& f) { f[0] = 255; }, 3},
        {"wrong size byte", [&](std::vector<uint8_t>& f) { f[second + 1] = 128; }, 1},
        {"size byte zero", [&](std::vector<uint8_t>& f) { f[second + 1] = 0; }, 1},
        {"type 34", [&](std::vector<uint8_t>& f) { f[second] = 34; }, 1},
        {"type 255", [&](std::vector<uint8_t>& f) { f[0 + 8] = 255; }, 0},
        {"used past the received length", [&](std::vector<uint8_t>& f) { setUsed(f, f.size() + 4); }, 0},
        {"used below 8", [&](std::vector<uint8_t>& f) { setUsed(f, 4); }, 0},
        {"used cuts the last record", [&](std::vector<uint8_t>& f) { setUsed(f, third + 2); }, 2},
        {"used cuts a record head", [&](std::vector<uint8_t>& f) { setUsed(f, third + 1); }, 2},
        {"received length cut", [&](std::vector<uint8_t>& f) { f.resize(third + 2); }, 0},
        {"shorter than the header", [](std::vector<uint8_t>& f) { f.resize(7); }, 0},
        {"longer than a frame", [](std::vector<uint8_t>& f) { f.resize(2037); }, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> frame = good;
        c.damage(frame);
        // An exact-size copy, so a read past the end is caught by ASan.
        std::vector<uint8_t> exact(frame.begin(), frame.end());
        CGameCommandManager m;
        const int expected = std::string(c.what) == "longer than a frame" ? 0 : c.kept;
        EXPECT_EQ(m.UnpackFrame(exact.data(), exact.size()), expected);
        ASSERT_EQ(m.QueueSize(), size_t(expected));
        const uint8_t types[] = {CMD_UNIT_ORDER, CMD_CHAT, CMD_PLAYER_EVENT};
        for (int i = 0; i < expected; ++i) {
            EXPECT_EQ(m.Queue()[size_t(i)]->Type(), types[i]);
            EXPECT_EQ(std::memcmp(m.Queue()[size_t(i)]->Bytes(), good.data() + (i == 0 ? 8 : i == 1 ? second : third),
                                  m.Queue()[size_t(i)]->Size()),
                      0);
        }
    }
}
