// Loading and checking the protocol data file, and the level progress it feeds.
#include "engine/core/FileStream.h"
#include "net/ProtocolTables.h"
#include "net/ServerAddress.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/net/NetFixture.h"
#include "tools/ProtocolTablesWriter.h"
#include "tools/SampleGameFolder.h"

namespace {

class ProtocolTablesTest : public NetTest {
protected:
    std::string Write(const ProtocolPermutation& p, const ProtocolExperience& e) {
        const std::string path = folder.Path(CProtocolTables::kFileName);
        EXPECT_EQ(WriteProtocolTables(path.c_str(), p, e), 1);
        return path;
    }
    TempFolder folder;
    SampleProtocolTables sample = MakeSampleProtocolTables();
};

TEST_F(ProtocolTablesTest, SampleTablesLoad) {
    CProtocolTables tables;
    ASSERT_EQ(tables.Load(Write(sample.permutation, sample.experience).c_str()), 1) << report.Text();
    EXPECT_EQ(tables.GetPermutation(), sample.permutation);
    const CProtocolTables::Experience& e = tables.GetExperience();
    struct Row {
        int level;
        uint32_t experience;
    } rows[] = {{1, 0}, {2, 1199}, {3, 2387}, {4, 4739}, {5, 8232}, {10, 42012}, {99, 3052455}, {100, 3096374}};
    for (const Row& r : rows) EXPECT_EQ(e[static_cast<size_t>(r.level)], r.experience) << r.level;
}

TEST_F(ProtocolTablesTest, BrokenFilesAreRefused) {
    struct Case {
        const char* name;
        void (*spoil)(ProtocolPermutation&, ProtocolExperience&);
        const char* textPart;
    } cases[] = {
        {"repeated index", [](ProtocolPermutation& p, ProtocolExperience&) { p[5] = p[6]; }, "permutation"},
        {"index 96", [](ProtocolPermutation& p, ProtocolExperience&) { p[0] = 96; }, "permutation"},
        {"flat experience", [](ProtocolPermutation&, ProtocolExperience& e) { e[50] = e[49]; }, "level 50"},
        {"level 1 not 0", [](ProtocolPermutation&, ProtocolExperience& e) { e[1] = 1; }, "level 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProtocolPermutation p = sample.permutation;
        ProtocolExperience e = sample.experience;
        c.spoil(p, e);
        CProtocolTables tables;
        EXPECT_EQ(tables.Load(Write(p, e).c_str()), 0);
        EXPECT_FALSE(tables.IsLoaded());
        EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_DATA));
        EXPECT_NE(report.Text().find(c.textPart), std::string::npos) << report.Text();
    }
}

TEST_F(ProtocolTablesTest, MissingShortOrOtherVersionFilesAreRefused) {
    CProtocolTables tables;
    EXPECT_EQ(tables.Load(folder.Path("NONE.DAT").c_str()), 0);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_FILE_NOT_FOUND));

    const std::string path = Write(sample.permutation, sample.experience);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
    const std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 4);
    EXPECT_EQ(tables.Load(folder.Write("CUT.DAT", cut).c_str()), 0);
    EXPECT_NE(report.Text().find("cut short"), std::string::npos) << report.Text();

    bytes[3] ^= 0x40;  // the version float
    EXPECT_EQ(tables.Load(folder.Write("OLD.DAT", bytes).c_str()), 0);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_FILE_VERSION));
}

TEST_F(ProtocolTablesTest, SampleGameFolderCarriesTheTables) {
    ASSERT_EQ(MakeSampleGameFolder(folder.Path("GAME")), 1);
    CProtocolTables tables;
    ASSERT_EQ(tables.Load(folder.Path("GAME/PROTOCOL.DAT").c_str()), 1) << report.Text();
    EXPECT_EQ(tables.GetPermutation(), sample.permutation);
    EXPECT_EQ(GetLoginServerHost(folder.Path("GAME/VAZE.INI")), kSampleLoginServer);
}

TEST_F(ProtocolTablesTest, LevelProgressStaysInRange) {
    EXPECT_EQ(LevelProgressPercent(1, 600), 0);  // no tables yet
    CProtocolTables tables;
    ASSERT_EQ(tables.Set(sample.permutation, sample.experience), 1);
    struct Case {
        int level;
        int64_t experience;
        int percent;
    } cases[] = {
        {1, 600, 50}, {1, 0, 0},      {0, 5000, 0}, {-1, 5000, 0},   {100, 0, 100},     {150, 0, 100},
        {2, 1199, 0}, {2, 2387, 100}, {1, -50, 0},  {1, 99999, 100}, {99, 3096373, 99},
    };
    for (const Case& c : cases) EXPECT_EQ(LevelProgressPercent(c.level, c.experience), c.percent) << c.level;
}

}  // namespace
