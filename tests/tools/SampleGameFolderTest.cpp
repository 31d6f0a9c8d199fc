#include "tools/SampleMap.h"
#include "tools/SampleGameFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextList.h"
#include "platform/Ini.h"
#include "tests/fixtures/IndexedFolder.h"

TEST(SampleGameFolder, EveryFileLoadsThroughTheFileIndex) {
    CErrorReport report;
    CMessageTable table;
    IndexedFolder folder;
    ASSERT_EQ(MakeSampleGameFolder(folder.tmp.path()), 1);
    ASSERT_TRUE(folder.Index());

    uint32_t offset = 0, size = 0;
    std::string msg = folder.index.ResolvePath("MSG.DAT", &offset, &size);
    ASSERT_NE(folder.index.FindPackageEntry("MSG.DAT"), nullptr);
    ASSERT_EQ(table.LoadMessages(msg.c_str(), offset, size), 1) << report.GetText();
    EXPECT_STREQ(table.GetMsg(MSG_ERROR_FILE_NOT_FOUND), "Cannot find the file %s.");
    EXPECT_STREQ(table.GetMsg(MSG_LOBBY_ROOM_FULL), "Lobby room full (52)");

    ASSERT_EQ(table.LoadInfoFile("GAMEINFO.DAT"), 1) << report.GetText();
    EXPECT_EQ(std::atoi(table.GetInfo("LOGO_COUNT")), 2);
    EXPECT_STREQ(table.GetInfo("LOGO1_TEXTURE"), "LOGO1.DDS");
    // Every logo the list names is in the folder, and the first one's sound.
    for (const char* file : {"LOGO1.DDS", "LOGO2.DDS", "LOGO1.WAV"}) {
        uint8_t digest[16];
        EXPECT_EQ(folder.index.ComputeFileDigest(file, digest, true), 1) << file;
    }
    EXPECT_STREQ(table.GetInfo("LOAD_MAPCOUNT"), "1");
    EXPECT_STREQ(table.GetInfo("PVM_MAPCOUNT"), "1");
    EXPECT_STREQ(table.GetInfo("TUTORIAL_MAPCOUNT"), "1");
    EXPECT_STREQ(table.GetInfo("TUTORIAL_MAP_1"), kSampleMap);
    // The listed map carries its digest, and its side file, water frames and icon are there.
    EXPECT_STREQ(table.GetInfo("LOAD_MAP_1"), kSampleMap);
    uint8_t mapDigest[16];
    EXPECT_EQ(folder.index.ComputeFileDigest(kSampleMap, mapDigest, true), 1);
    for (const char* file : {kSampleMapSide, "WATER00.DDS", "WATER44.DDS", kSampleMinimapIcon})
        EXPECT_NE(folder.index.FindPackageEntry(file), nullptr) << file;
    EXPECT_EQ(std::atoi(table.GetInfo("FONT_COUNT")), 3);
    EXPECT_STREQ(table.GetInfo("FONT3_NAME"), "NanumGothic.ttf");
    EXPECT_NEAR(std::atof(table.GetInfo("FONT3_BOLD1")), 1.0, 1e-9);

    for (const char* list : {"GAMETIP.DAT", "FilterWord.DAT", "ChangeFilterWord.DAT"}) {
        std::vector<std::string> lines;
        ASSERT_EQ(ReadTextList(list, lines), 1) << list;
        EXPECT_FALSE(lines.empty()) << list;
        for (const std::string& line : lines) EXPECT_EQ(line.find('\r'), std::string::npos) << list;
    }

    std::string vaze = folder.index.ResolvePath("VAZE.INI", nullptr, nullptr);
    ASSERT_FALSE(vaze.empty());
    EXPECT_EQ(platform::GetProfileString("INFO", "LOGIN_SERVER", "", vaze), kSampleLoginServer);
    EXPECT_EQ(platform::GetProfileString("PATCH", "HOMEPAGE_URL", "", vaze), kSampleHomepageUrl);
    EXPECT_EQ(platform::GetProfileString("PATCH", "JOIN_URL", "", vaze), kSampleJoinUrl);
}
