// Replay files: written by the manager's writer, read back whole, refused
// (with nothing applied) when anything in them is wrong; playback by clock.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "platform/File.h"
#include "tests/fixtures/TempFolder.h"

namespace {

const uint8_t kBlock[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const std::array<int32_t, 12> kTeams{};

ReplayWorldState SampleWorld() {
    ReplayWorldState w;
    w.matchLength = 754.25f;
    w.localSlot = 3;
    w.slotRecordIds[0] = {101, 102};
    w.slotRecordIds[3] = {301};
    w.slotRecordIds[11] = {1101, 1102, 1103};
    return w;
}

// Records a short match of n records at times 1, 2, ... and writes it.
std::string WriteSample(const TempFolder& dir, int n, const std::string& file = "sample.srd") {
    CGameCommandManager m;
    float clock = 0;
    m.BeginSession(0, &clock, 1, 0, kTeams);
    m.SetScenarioValue(0xABCD0123);
    for (int i = 0; i < 12; ++i) {
        m.heroIds[size_t(i)] = i ? 1000u + uint32_t(i) : 0u;
        m.bonusLevels[size_t(i)] = uint32_t(i * 2);
    }
    m.playerNames[0] = "Alice";
    m.playerNames[5] = "\xB0\xA1\xB3\xAA";  // a Korean name in the game's code page
    for (int i = 0; i < n; ++i) {
        clock = float(i + 1);
        if (i % 3 == 0) m.BuildChat(uint32_t(i % 12), 1, ("line " + std::to_string(i)).c_str(), 0xFF00FF00, 0);
        else if (i % 3 == 1) m.BuildUnitOrder(i, 50.0f, 3, 0, {float(-i), 0, float(i)}, {}, -1, -1, 0);
        else m.BuildPlayerEvent(uint32_t(i % 12), 2, 0);
        CGameCommand* r = m.NextCommand();
        m.ReleaseDispatched(r);
    }
    const std::string path = dir.Path(file);
    EXPECT_EQ(m.WriteReplay(path.c_str(), "MAP\\FOREST\\FOREST01.DRM", 0x12345678, kBlock, SampleWorld()), 1);
    return path;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    platform::ReadWholeFile(path, bytes);
    return bytes;
}

class ReplayTest : public ::testing::Test {
protected:
    CErrorReport report;
    TempFolder dir;
};

}  // namespace

TEST_F(ReplayTest, RoundTripRestoresRecordingAndWorld) {
    const std::string path = WriteSample(dir, 30);
    CGameCommandManager m;
    ReplayWorldState world;
    ASSERT_EQ(m.LoadReplay(1, path.c_str(), 0x12345678, kBlock, &world), 1) << report.Text();
    EXPECT_EQ(world.matchLength, 754.25f);
    EXPECT_EQ(world.localSlot, 3u);
    EXPECT_EQ(world.scenarioValue, 0xABCD0123u);
    EXPECT_EQ(world.slotRecordIds, SampleWorld().slotRecordIds);
    EXPECT_EQ(m.ScenarioValue(), 0xABCD0123u);
    EXPECT_EQ(m.heroIds[0], 0u);
    EXPECT_EQ(m.heroIds[11], 1011u);
    EXPECT_EQ(m.bonusLevels[7], 14u);
    EXPECT_EQ(m.playerNames[0], "Alice");
    EXPECT_EQ(m.playerNames[5], "\xB0\xA1\xB3\xAA");
    EXPECT_EQ(m.playerNames[1], "");
    EXPECT_TRUE(m.IsPlayback());
    EXPECT_FALSE(m.IsPacking());
    ASSERT_EQ(m.Recorded().size(), 30u);
    for (size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(m.RecordedTimes()[i], float(i + 1));
        const CGameCommand* r = m.Recorded()[i];
        EXPECT_EQ(r->Type(), i % 3 == 0 ? CMD_CHAT : i % 3 == 1 ? CMD_UNIT_ORDER : CMD_PLAYER_EVENT);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Recorded()[3]->Bytes() + 4)), "line 3");
    EXPECT_EQ(m.Recorded()[4]->I16(12), -4);
}

TEST_F(ReplayTest, PlaybackHandsRecordsOutByTheClock) {
    const std::string path = WriteSample(dir, 12);
    CGameCommandManager m;
    ASSERT_EQ(m.LoadReplay(0, path.c_str(), 0, nullptr, nullptr), 1);
    float clock = 9.99f;
    m.BeginSession(0, &clock, 0, 0, kTeams);
    int due = 0;
    while (CGameCommand* r = m.NextCommand()) {
        m.ReleaseDispatched(r);  // in playback the recording keeps it
        ++due;
    }
    EXPECT_EQ(due, 9) << "records of 1.0 to 9.0";
    clock = 10.0f;
    CGameCommand* tenth = m.NextCommand();
    ASSERT_NE(tenth, nullptr);
    EXPECT_EQ(tenth, m.Recorded()[9]);
    // A record whose unit refused it is read again.
    m.DeferCommand(tenth);
    EXPECT_EQ(m.PlaybackIndex(), 9);
    EXPECT_EQ(m.NextCommand(), tenth);
    EXPECT_EQ(m.NextCommand(), nullptr);
    clock = 100.0f;
    EXPECT_EQ(m.NextCommand(), m.Recorded()[10]);
    EXPECT_EQ(m.NextCommand(), m.Recorded()[11]);
    EXPECT_EQ(m.NextCommand(), nullptr);
    EXPECT_EQ(m.Recorded().size(), 12u);
}

TEST_F(ReplayTest, VersionMustBeExactly1Point3) {
    const std::string path = WriteSample(dir, 3);
    std::vector<uint8_t> bytes = ReadFile(path);
    // The version follows the map name (4 + 24 bytes with its NUL).
    const size_t at = 4 + std::strlen("MAP\\FOREST\\FOREST01.DRM") + 1;
    ASSERT_EQ(bytes[at + 3], 0x3F);
    ASSERT_EQ(bytes[at], 0x66);
    bytes[at] = 0x67;  // 1.3000001
    platform::WriteWholeFile(path, bytes.data(), bytes.size());
    CGameCommandManager m;
    EXPECT_EQ(m.LoadReplay(0, path.c_str(), 0, nullptr, nullptr), 0);
    EXPECT_EQ(report.GetCode(), uint32_t{ERR_FILE_VERSION});
    std::string name;
    EXPECT_EQ(m.ReadReplayHeader(path.c_str(), &name), 0);
}

TEST_F(ReplayTest, ACheckMismatchRefusesOnlyWithTheCheckFlag) {
    const std::string path = WriteSample(dir, 3);
    uint8_t other[16];
    std::memcpy(other, kBlock, 16);
    other[15] ^= 1;
    CGameCommandManager m;
    EXPECT_EQ(m.LoadReplay(1, path.c_str(), 0x12345679, kBlock, nullptr), 0);
    EXPECT_EQ(m.LoadReplay(1, path.c_str(), 0x12345678, other, nullptr), 0);
    EXPECT_FALSE(m.IsPlayback());
    EXPECT_TRUE(m.Recorded().empty());
    EXPECT_EQ(m.LoadReplay(0, path.c_str(), 0x12345679, other, nullptr), 1);
    EXPECT_EQ(m.Recorded().size(), 3u);
}

TEST_F(ReplayTest, AnEmptyMatchAndEmptyNamesLoad) {
    const std::string path = WriteSample(dir, 0);
    CGameCommandManager m;
    ASSERT_EQ(m.LoadReplay(1, path.c_str(), 0x12345678, kBlock, nullptr), 1);
    EXPECT_TRUE(m.Recorded().empty());
    EXPECT_TRUE(m.IsPlayback());
    float clock = 1e9f;
    m.BeginSession(0, &clock, 0, 0, kTeams);
    EXPECT_EQ(m.NextCommand(), nullptr);
    for (int i = 1; i < 12; ++i) {
        if (i != 5) {
            EXPECT_EQ(m.playerNames[size_t(i)], "");
        }
    }
}

TEST_F(ReplayTest, NothingIsWrittenWithoutRecording) {
    CGameCommandManager m;
    const std::string path = dir.Path("none.srd");
    EXPECT_EQ(m.WriteReplay(path.c_str(), "MAP", 0, kBlock, {}), 0);
    EXPECT_FALSE(platform::FileExists(path));
}

TEST_F(ReplayTest, EveryCutOfAFileIsRefusedWithNothingApplied) {
    const std::string path = WriteSample(dir, 2);
    const std::vector<uint8_t> whole = ReadFile(path);
    const std::string cutPath = dir.Path("cut.srd");
    CGameCommandManager m;
    for (size_t n = 0; n < whole.size(); ++n) {
        platform::WriteWholeFile(cutPath, whole.data(), n);
        ReplayWorldState world;
        world.localSlot = 77;
        m.heroIds[0] = 55;
        EXPECT_EQ(m.LoadReplay(0, cutPath.c_str(), 0, nullptr, &world), 0) << n << " of " << whole.size();
        EXPECT_EQ(world.localSlot, 77u);
        EXPECT_EQ(m.heroIds[0], 55u);
        EXPECT_TRUE(m.Recorded().empty());
        EXPECT_FALSE(m.IsPlayback());
    }
    platform::WriteWholeFile(cutPath, whole.data(), whole.size());
    EXPECT_EQ(m.LoadReplay(0, cutPath.c_str(), 0, nullptr, nullptr), 1);
}

TEST_F(ReplayTest, DamagedEntriesAreRefused) {
    const std::string path = WriteSample(dir, 1);  // one chat record
    const std::vector<uint8_t> whole = ReadFile(path);
    // The one entry sits before the twelve empty-or-not slot lists (4 * 12 + 4 * 6 bytes).
    const size_t listBytes = 12 * 4 + 6 * 4;
    const size_t record = whole.size() - listBytes - 136;
    const size_t type = record - 4;
    const size_t count = type - 8;  // N, then the entry's time
    ASSERT_EQ(whole[record], CMD_CHAT);
    ASSERT_EQ(whole[type], CMD_CHAT);
    ASSERT_EQ(whole[count], 1);
    struct Case {
        const char* what;
        size_t at;
        uint8_t value;
    };
    const Case cases[] = {
        {"entry type 34", type, 34},
        {"entry type above 255", type + 1, 1},
        {"record type byte differs", record, CMD_UNIT_ORDER},
        {"record size byte differs", record + 1, 135},
        {"N past the bytes", count, 200},
        {"N huge", count + 3, 0x7F},
        {"slot list past the bytes", whole.size() - listBytes, 0xFF},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = whole;
        bytes[c.at] = c.value;
        const std::string p = dir.Path("bad.srd");
        platform::WriteWholeFile(p, bytes.data(), bytes.size());
        CGameCommandManager m;
        EXPECT_EQ(m.LoadReplay(0, p.c_str(), 0, nullptr, nullptr), 0) << c.what;
        EXPECT_TRUE(m.Recorded().empty()) << c.what;
    }
}

TEST_F(ReplayTest, HeaderGivesTheMapsFileName) {
    struct Case {
        const char* stored;
        const char* name;
    };
    const Case cases[] = {{"MAP\\FOREST\\FOREST01.DRM", "FOREST01.DRM"},
                          {"MAP/DESERT.DRM", "DESERT.DRM"},
                          {"ICE.DRM", "ICE.DRM"},
                          {"", ""}};
    for (const Case& c : cases) {
        CGameCommandManager m;
        float clock = 0;
        m.BeginSession(0, &clock, 1, 0, kTeams);
        const std::string path = dir.Path("h.srd");
        ASSERT_EQ(m.WriteReplay(path.c_str(), c.stored, 1, kBlock, {}), 1);
        std::string name = "stale";
        EXPECT_EQ(m.ReadReplayHeader(path.c_str(), &name), 1);
        EXPECT_EQ(name, c.name);
    }
    CGameCommandManager m;
    std::string name;
    EXPECT_EQ(m.ReadReplayHeader(dir.Path("missing.srd").c_str(), &name), 0);
    EXPECT_EQ(m.LoadReplay(0, dir.Path("missing.srd").c_str(), 0, nullptr, nullptr), 0);
    EXPECT_EQ(report.GetCode(), uint32_t{ERR_FILE_NOT_FOUND});
}

TEST_F(ReplayTest, FileNameCarriesTheLocalDateAndTime) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 9;
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(ReplayFilePath("C:\\Users\\me\\REPLAY", t), "C:\\Users\\me\\REPLAY\\REPLAY_20260109070503.SRD");
    const std::string now = ReplayFilePath("R");
    EXPECT_EQ(now.size(), std::string("R\\REPLAY_20260109070503.SRD").size());
    EXPECT_EQ(now.rfind("R\\REPLAY_", 0), 0u);
}
