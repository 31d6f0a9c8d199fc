// The 34 record layouts byte for byte, the packed fields, the chat text rule,
// the game event's keep flag and the reward emitter.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "commands/GameCommandManager.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::Vec3;

Bytes Of(const CGameCommand* r) { return r ? Bytes(r->Bytes(), r->Bytes() + r->Size()) : Bytes{}; }

Bytes ChatBytes(uint8_t slot, uint8_t all, const std::string& text, uint32_t color) {
    Bytes b(136, 0);
    b[0] = 0x0F;
    b[1] = 0x88;
    b[2] = slot;
    b[3] = all;
    for (size_t i = 0; i < text.size(); ++i) b[4 + i] = static_cast<uint8_t>(text[i]);
    for (int i = 0; i < 4; ++i) b[132 + i] = static_cast<uint8_t>(color >> (8 * i));
    return b;
}

struct Golden {
    uint8_t type;
    std::function<CGameCommand*(CGameCommandManager&, int send)> build;
    Bytes bytes;
};

// Every type built with distinct values; the expected bytes are written from
// the layout table, little-endian.
std::vector<Golden> GoldenRecords() {
    using M = CGameCommandManager;
    auto created = [](uint8_t type) {
        return [type](M& m, int) {
            CGameCommand* r = m.CreateCommand(type);
            m.QueueCommand(r);
            return r;
        };
    };
    const int32_t two[] = {1, 2};
    const int32_t three[] = {1, 2, 3};
    return {
        {0,
         [](M& m, int s) {
             return m.BuildUnitOrder(0x0102, 2.0f, 3, 4, Vec3(-5.7f, 9, 300.9f), Vec3(1000.2f, 0, -2000.8f), 0x0506,
                                     -1, s);
         },
         {0x00, 0x18, 0x03, 0x04, 0x00, 0x00, 0xFF, 0xFF, 0x02, 0x01, 0x06, 0x05,
          0xFB, 0xFF, 0x2C, 0x01, 0xE8, 0x03, 0x30, 0xF8, 0x00, 0x00, 0x00, 0x40}},
        {1, [](M& m, int s) { return m.BuildUnitOrderQueued(0x0A0B, 5, 6, 1, Vec3(7, 0, -8), 0x0C0D, s); },
         {0x01, 0x10, 0x05, 0x06, 0x01, 0x00, 0x00, 0x00, 0x0B, 0x0A, 0x0D, 0x0C, 0x07, 0x00, 0xF8, 0xFF}},
        {2, created(2), {0x02, 0x04, 0x00, 0x00}},
        {3, [](M& m, int s) { return m.BuildHeroRevive(0x1112, 0x13141516, s); },
         {0x03, 0x08, 0x12, 0x11, 0x16, 0x15, 0x14, 0x13}},
        {4, created(4), {0x04, 0x04, 0x00, 0x00}},
        {5, [](M& m, int s) { return m.BuildUnitKilled(0x2122, -1, s); },
         {0x05, 0x08, 0x22, 0x21, 0xFF, 0xFF, 0xFF, 0xFF}},
        {6, [](M& m, int s) { return m.BuildHpChange(7, 1, 0x3132, 0x3334, -1.5f, s); },
         {0x06, 0x0C, 0x07, 0x01, 0x32, 0x31, 0x34, 0x33, 0x00, 0x00, 0xC0, 0xBF}},
        {7, [](M& m, int s) { return m.BuildCreateObject(0x4142, 0x43444546, Vec3(-1, 0, 2), 0x4748494A, s); },
         {0x07, 0x10, 0x42, 0x41, 0x46, 0x45, 0x44, 0x43, 0xFF, 0xFF, 0x02, 0x00, 0x4A, 0x49, 0x48, 0x47}},
        {8, [](M& m, int s) { return m.BuildTriggerControl(2, 0x51525354, s); },
         {0x08, 0x08, 0x02, 0x00, 0x54, 0x53, 0x52, 0x51}},
        {9, [](M& m, int s) { return m.BuildSpawnUnit(9, 3, Vec3(100, 0, -100), 0x61626364, 0x65666768, 13, s); },
         {0x09, 0x14, 0x09, 0x03, 0x64, 0x00, 0x9C, 0xFF, 0x64, 0x63,
          0x62, 0x61, 0x68, 0x67, 0x66, 0x65, 0x0D, 0x00, 0x00, 0x00}},
        {10, [](M& m, int s) { return m.BuildGrantReward(1, 0x7172, 500, s); },
         {0x0A, 0x08, 0x01, 0x00, 0x72, 0x71, 0xF4, 0x01}},
        {11, [three](M& m, int s) { return m.BuildGrantRewardGroup(0, three, 3, 0x0809, s); },
         {0x0B, 0x14, 0x00, 0x03, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00,
          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x08}},
        {12, [](M& m, int s) { return m.BuildSkillSlotAction(11, 0x1234, 2, s); },
         {0x0C, 0x08, 0x0B, 0x00, 0x34, 0x12, 0x02, 0x00}},
        {13, [](M& m, int s) { return m.BuildBuyItem(3, 0xFF, -1, 2, 0xA1A2A3A4, s); },
         {0x0D, 0x0C, 0x03, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0xA4, 0xA3, 0xA2, 0xA1}},
        {14, [](M& m, int s) { return m.BuildUiCue(1, 1, Vec3(1.0f, 2.0f, -4.0f), 0.5f, 200.0f, 1.0f, s); },
         {0x0E, 0x1C, 0x01, 0x01, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00,
          0x80, 0xC0, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x48, 0x43, 0x00, 0x00, 0x80, 0x3F}},
        {15, [](M& m, int s) { return m.BuildChat(2, 1, "hi", 0x00FF00FF, s); }, ChatBytes(2, 1, "hi", 0x00FF00FF)},
        {16, [](M& m, int s) { return m.BuildMoveItem(4, 0, 0x0102, -2, 1, 0, 5, 6, s); },
         {0x10, 0x0C, 0x04, 0x00, 0x02, 0x01, 0xFE, 0xFF, 0x01, 0x00, 0x05, 0x06}},
        {17, [](M& m, int s) { return m.BuildCastSkill(0x0304, 0x0506, -1, Vec3(-300, 0, 300.5f), 7, 1, s); },
         {0x11, 0x10, 0x04, 0x03, 0x06, 0x05, 0xFF, 0xFF, 0xD4, 0xFE, 0x2C, 0x01, 0x07, 0x00, 0x01, 0x00}},
        {18, [](M& m, int s) { return m.BuildMapAlert(0x0708, Vec3(-1, 0, 2), 2, s); },
         {0x12, 0x08, 0x08, 0x07, 0xFF, 0x7F, 0x01, 0x80}},
        {19, [](M& m, int s) { return m.BuildUnitFlags(0x0910, 1, 0x80000000u, s); },
         {0x13, 0x0C, 0x00, 0x00, 0x10, 0x09, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80}},
        {20, [](M& m, int s) { return m.BuildGameEvent(5, 0x0102, -1, s); },
         {0x14, 0x08, 0x05, 0x01, 0x02, 0x01, 0xFF, 0xFF}},
        {21, [](M& m, int s) { return m.BuildPlayerEvent(11, 1, s); }, {0x15, 0x04, 0x0B, 0x01}},
        {22, [](M& m, int s) { return m.BuildSkillAction(-1, 0x0203, 0x0405, Vec3(10, 0, -10), s); },
         {0x16, 0x0C, 0xFF, 0xFF, 0x03, 0x02, 0x05, 0x04, 0x0A, 0x00, 0xF6, 0xFF}},
        {23, [](M& m, int s) { return m.BuildTargetQuery(9, 0x1112, 0x1314, s); },
         {0x17, 0x08, 0x09, 0x00, 0x12, 0x11, 0x14, 0x13}},
        {24, [](M& m, int s) { return m.BuildItemSlotAction(0x0A0B, {1, 1, -2, -3, -4}, s); },
         {0x18, 0x08, 0x0B, 0x0A, 0x7B, 0xCF, 0xFF, 0xFF}},
        {25, [](M& m, int s) { return m.BuildUseItem(0x0C0D, 5, 7, s); },
         {0x19, 0x08, 0x00, 0x00, 0x0D, 0x0C, 0x05, 0x07}},
        {26, [](M& m, int s) { return m.BuildFollowerAction(1, 0x0E0F, 0x1011, 0x12131415, s); },
         {0x1A, 0x0C, 0x01, 0x00, 0x0F, 0x0E, 0x11, 0x10, 0x15, 0x14, 0x13, 0x12}},
        {27, [](M& m, int s) { return m.BuildRunTrigger(0x2122, 0x23242526, 0x2728292A, s); },
         {0x1B, 0x0C, 0x22, 0x21, 0x26, 0x25, 0x24, 0x23, 0x2A, 0x29, 0x28, 0x27}},
        {28, [](M& m, int s) { return m.BuildRestoreUnit(0x3132, Vec3(-7.9f, 0, 7.9f), s); },
         {0x1C, 0x08, 0x32, 0x31, 0xF9, 0xFF, 0x07, 0x00}},
        {29, [two](M& m, int s) { return m.BuildUnitTargetList(0x4142, two, 2, 9, s); },
         {0x1D, 0x14, 0x02, 0x09, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00,
          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x42, 0x41, 0x00, 0x00}},
        {30, created(30), {0x1E, 0x04, 0x00, 0x00}},
        {31, created(31), {0x1F, 0x04, 0x00, 0x00}},
        {32, [](M& m, int s) { return m.BuildSummon(3, 4, 0x0506, Vec3(-2, 0, 3), 0x0708, 0x090A0B0C, 0xFFFFFFFF, s); },
         {0x20, 0x14, 0x03, 0x04, 0x06, 0x05, 0xFE, 0xFF, 0x03, 0x00,
          0x08, 0x07, 0x0C, 0x0B, 0x0A, 0x09, 0xFF, 0xFF, 0xFF, 0xFF}},
        {33, [](M& m, int s) { return m.BuildUnitToArea(0x5152, 0x53545556, s); },
         {0x21, 0x08, 0x52, 0x51, 0x56, 0x55, 0x54, 0x53}},
    };
}

std::vector<Bytes> Drain(CGameCommandManager& m) {
    std::vector<Bytes> out;
    while (CGameCommand* r = m.NextCommand()) {
        out.push_back(Of(r));
        m.ReleaseDispatched(r);
    }
    return out;
}

const std::array<int32_t, 12> kTeams{};

}  // namespace

TEST(CommandRecords, SizeTableMatchesTheLayouts) {
    const uint8_t sizes[kGameCommandTypes] = {24, 16, 4,  8, 4,  8,   12, 16, 8,  20, 8,  20, 8, 12, 28, 136, 12,
                                              16, 8,  12, 8, 4,  12,  8,  8,  8,  12, 12, 8,  20, 4, 4,  20,  8};
    for (int t = 0; t < kGameCommandTypes; ++t) {
        EXPECT_EQ(kGameCommandTable[t].type, t);
        EXPECT_EQ(kGameCommandTable[t].size, sizes[t]) << kGameCommandTable[t].name;
        EXPECT_EQ(GameCommandSize(t), sizes[t]);
    }
    EXPECT_EQ(GameCommandSize(34), 0);
    EXPECT_EQ(GameCommandSize(0xFFFFFFFFu), 0);
}

TEST(CommandRecords, EveryTypeHasItsGoldenBytesOffline) {
    CGameCommandManager m;
    const std::vector<Golden> golden = GoldenRecords();
    ASSERT_EQ(golden.size(), size_t{kGameCommandTypes});
    for (const Golden& g : golden) {
        SCOPED_TRACE(kGameCommandTable[g.type].name);
        CGameCommand* r = g.build(m, 1);  // offline: the send flag does not pack
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(Of(r), g.bytes);
        EXPECT_EQ(g.bytes.size(), kGameCommandTable[g.type].size);
        ASSERT_FALSE(m.Queue().empty());
        EXPECT_EQ(m.Queue().back(), r) << "a created record goes to the back of the queue";
    }
    EXPECT_EQ(m.Frame(0).Count(), 0);
}

TEST(CommandRecords, PackedThenUnpackedGivesTheSameRecordsInOrder) {
    CGameCommandManager m;
    float clock = 0;
    m.BeginSession(1, &clock, 0, 0, kTeams);
    const std::vector<Golden> golden = GoldenRecords();
    for (const Golden& g : golden) {
        if (g.type == 2 || g.type == 4 || g.type == 30 || g.type == 31) {
            // Producers of these write their fields into a reserved record.
            CGameCommand* r = m.PackCommand(4, g.type);
            ASSERT_NE(r, nullptr);
            r->SetU16(2, 0x0102u * g.type);
        } else {
            ASSERT_NE(g.build(m, 1), nullptr);
        }
    }
    EXPECT_TRUE(m.Queue().empty()) << "online, sent records run only when they come back";
    const CommandFrame& f = m.Frame(0);
    EXPECT_EQ(f.Count(), kGameCommandTypes);
    const std::vector<uint8_t> payload(f.Data(), f.Data() + f.Used());

    EXPECT_EQ(m.UnpackFrame(payload.data(), payload.size()), kGameCommandTypes);
    const std::vector<Bytes> got = Drain(m);
    ASSERT_EQ(got.size(), golden.size());
    for (size_t i = 0; i < golden.size(); ++i) {
        Bytes want = golden[i].bytes;
        const uint8_t t = golden[i].type;
        if (t == 2 || t == 4 || t == 30 || t == 31) {
            want[2] = static_cast<uint8_t>(0x0102u * golden[i].type);
            want[3] = static_cast<uint8_t>((0x0102u * golden[i].type) >> 8);
        }
        EXPECT_EQ(got[i], want) << kGameCommandTable[golden[i].type].name;
    }
}

TEST(CommandRecords, ChatTextKeepsAtMost127Characters) {
    CGameCommandManager m;
    const std::string t127(127, 'a'), t128(128, 'b'), t300(300, 'c');
    EXPECT_EQ(Of(m.BuildChat(1, 0, t127.c_str(), 7, 0)), ChatBytes(1, 0, t127, 7));
    EXPECT_EQ(Of(m.BuildChat(1, 0, t128.c_str(), 7, 0)), ChatBytes(1, 0, t128.substr(0, 127), 7));
    EXPECT_EQ(Of(m.BuildChat(1, 0, t300.c_str(), 7, 0)), ChatBytes(1, 0, t300.substr(0, 127), 7));
    // A double-byte character is never cut in half at the end of the field.
    const std::string korean = std::string(126, 'x') + "\xB0\xA1";
    EXPECT_EQ(Of(m.BuildChat(1, 0, korean.c_str(), 7, 0)), ChatBytes(1, 0, std::string(126, 'x'), 7));
    EXPECT_EQ(Of(m.BuildChat(1, 0, nullptr, 7, 0)), ChatBytes(1, 0, "", 7));
}

TEST(CommandRecords, ReceivedChatAlwaysEndsItsText) {
    CGameCommandManager m;
    float clock = 0;
    m.BeginSession(1, &clock, 0, 0, kTeams);
    CGameCommand* r = m.PackCommand(136, CMD_CHAT);
    ASSERT_NE(r, nullptr);
    std::memset(r->Bytes() + 4, 'z', 128);  // a sender that filled the field
    const CommandFrame& f = m.Frame(0);
    ASSERT_EQ(m.UnpackFrame(f.Data(), f.Used()), 1);
    CGameCommand* got = m.NextCommand();
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->U8(131), 0);
    EXPECT_EQ(Of(got), ChatBytes(0, 0, std::string(127, 'z'), 0));
    m.ReleaseDispatched(got);
}

TEST(CommandRecords, NegativePointsKeepTheirSign) {
    struct Case {
        float x, z;
        int16_t wx, wz;
    };
    const Case cases[] = {{-1.9f, -0.5f, -1, 0}, {-32768.0f, 32767.0f, -32768, 32767}, {-40000.0f, 40000.0f, -32768, 32767},
                          {123.99f, -123.99f, 123, -123}};
    CGameCommandManager m;
    for (const Case& c : cases) {
        CGameCommand* r = m.BuildRestoreUnit(1, Vec3(c.x, 55.0f, c.z), 0);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->I16(4), c.wx);
        EXPECT_EQ(r->I16(6), c.wz);
        const Vec3 back = r->Point(4);
        EXPECT_EQ(back.x, float(c.wx));
        EXPECT_EQ(back.y, 0.0f);
        EXPECT_EQ(back.z, float(c.wz));
    }
}

TEST(CommandRecords, MapAlertFifteenBitFieldsSignExtend) {
    struct Case {
        float x, z;
        uint32_t kind;
        int32_t wx, wz;
    };
    const Case cases[] = {{-1, -1, 0, -1, -1},           {16383, -16384, 1, 16383, -16384},
                          {-16384.7f, 16383.2f, 3, -16384, 16383}, {0, 0, 2, 0, 0},
                          {-250.5f, 4000.9f, 1, -250, 4000}};
    CGameCommandManager m;
    for (const Case& c : cases) {
        CGameCommand* r = m.BuildMapAlert(3, Vec3(c.x, 0, c.z), c.kind, 0);
        ASSERT_NE(r, nullptr);
        const MapAlertFields f = UnpackMapAlert(r->U32(4));
        EXPECT_EQ(f.x, c.wx);
        EXPECT_EQ(f.z, c.wz);
        EXPECT_EQ(f.kind, c.kind);
    }
}

TEST(CommandRecords, ItemSlotSignedFieldsRoundTrip) {
    const ItemSlotFields cases[] = {
        {0, 0, 0, 0, 0}, {1, 0, -8, -32, -524288}, {0, 1, 7, 31, 524287}, {1, 1, -1, -1, -1}, {0, 1, 3, 11, 45}};
    for (const ItemSlotFields& c : cases) {
        const ItemSlotFields f = UnpackItemSlot(PackItemSlot(c));
        EXPECT_EQ(f.flag, c.flag);
        EXPECT_EQ(f.storage, c.storage);
        EXPECT_EQ(f.kind, c.kind);
        EXPECT_EQ(f.slot, c.slot);
        EXPECT_EQ(f.index, c.index);
    }
}

TEST(CommandRecords, GameEventKeepFlagByKind) {
    CGameCommandManager m;
    for (uint32_t kind = 0; kind <= 10; ++kind) {
        CGameCommand* r = m.BuildGameEvent(kind, 0, 0, 0);
        ASSERT_NE(r, nullptr);
        const bool dropped = kind == 7 || kind == 9 || kind == 10;
        EXPECT_EQ(r->U8(3), dropped ? 0 : 1) << "kind " << kind;
    }
}

TEST(CommandRecords, RewardCommandsGroupSevenIdsAtATime) {
    struct Case {
        int ids;
        std::vector<std::pair<uint8_t, uint8_t>> records;  // type and count
    };
    const Case cases[] = {{1, {{10, 0}}},
                          {2, {{10, 0}, {10, 0}}},
                          {3, {{11, 3}}},
                          {7, {{11, 7}}},
                          {15, {{11, 7}, {11, 7}, {11, 1}}}};
    for (const Case& c : cases) {
        CGameCommandManager m;
        std::vector<int32_t> ids;
        for (int i = 0; i < c.ids; ++i) ids.push_back(100 + i);
        m.EmitRewardCommands(ids, 1, 250, 0);
        ASSERT_EQ(m.QueueSize(), c.records.size()) << c.ids << " ids";
        int next = 100;
        for (size_t i = 0; i < c.records.size(); ++i) {
            CGameCommand* r = m.Queue()[i];
            EXPECT_EQ(r->Type(), c.records[i].first);
            EXPECT_EQ(r->U8(2), 1);
            if (r->Type() == CMD_GRANT_REWARD) {
                EXPECT_EQ(r->I16(4), next++);
                EXPECT_EQ(r->I16(6), 250);
            } else {
                EXPECT_EQ(r->U8(3), c.records[i].second);
                for (int k = 0; k < r->U8(3); ++k) EXPECT_EQ(r->I16(4 + 2 * k), next++);
                EXPECT_EQ(r->I16(18), 250);
            }
        }
        EXPECT_EQ(next, 100 + c.ids) << "every id once, in list order";
    }
}
