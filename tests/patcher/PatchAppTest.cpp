#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "patcher/PatchApp.h"
#include "patcher/PatchEngine.h"
#include "patcher/PatchStrings.h"
#include "platform/CodePage.h"
#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "tests/fixtures/ScopedEnv.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/patcher/PatchTestSupport.h"

TEST(PatchAppTest, ChoosesTheJobFromTheCommandLine) {
    struct Case {
        const char* line;
        PatchAppMode mode;
        const char* dump;
    };
    const Case cases[] = {
        {"1.004410 a b.dmp", PatchAppMode::CrashReport, "a b.dmp"},
        {"x.dmp", PatchAppMode::CrashReport, "x.dmp"},
        {"QOR", PatchAppMode::Patch, ""},
        {"", PatchAppMode::Patch, ""},
        {"qor", PatchAppMode::Unknown, ""},
        {"QOR ", PatchAppMode::Unknown, ""},
        {"a.DMP", PatchAppMode::Unknown, ""},
    };
    for (const Case& c : cases) {
        std::string dump;
        EXPECT_EQ(ChooseMode(c.line, &dump), c.mode) << c.line;
        EXPECT_EQ(dump, c.dump) << c.line;
    }
    EXPECT_EQ(JoinCommandLine({"1.004410", "a", "b.dmp"}), "1.004410 a b.dmp");
    EXPECT_EQ(JoinCommandLine({}), "");
}

TEST(PatchAppTest, LanguageIds) {
    struct Case {
        const char* value;
        uint16_t id;
        const char* error;
    };
    const Case cases[] = {{"KOR", 1042, ""},
                          {"ENG", 1033, ""},
                          {"USA", 1033, ""},
                          {"SG", 1033, ""},
                          {"", 0, "Unknown LanguageID!"},
                          {"kor", 0, "Unknown LanguageID!!"},
                          {"JPN", 0, "Unknown LanguageID!!"}};
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(LanguageIdOf(c.value, &error), c.id) << c.value;
        EXPECT_EQ(error, c.error) << c.value;
    }
}

TEST(PatchAppTest, ParseIntList) {
    struct Case {
        const char* text;
        int v[4];
    };
    const Case cases[] = {{"1, 2, 3, 4", {1, 2, 3, 4}},
                          {"10, 20", {10, 20, 0, 0}},
                          {"", {0, 0, 0, 0}},
                          {"1,2,3,4,5,6", {1, 2, 3, 4}},
                          {" 7 , x9, -3", {7, 0, -3, 0}},
                          {"99999999999999999999, 1", {INT_MAX, 1, 0, 0}},
                          {",,,5", {0, 0, 0, 5}}};
    for (const Case& c : cases) {
        int v[4];
        ParseIntList(c.text, v);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i], c.v[i]) << c.text << " " << i;
    }
}

TEST(PatchAppTest, HandOverChoices) {
    struct Case {
        uint32_t flags;
        const char* launcher;
        bool close;
    };
    const uint32_t done = PATCH_FLAG_WORKER_DONE;
    const Case cases[] = {
        {done | PATCH_FLAG_FINISHED, nullptr, false},
        {done | PATCH_FLAG_STOPPED, nullptr, true},
        {done | PATCH_FLAG_STOPPED | PATCH_FLAG_SELF_UPDATE | PATCH_FLAG_RELAUNCH, "QORPatchTemp.tmp", true},
        {done | PATCH_FLAG_STOPPED | PATCH_FLAG_RELAUNCH, "QOR", true},
        {done | PATCH_FLAG_STOPPED | PATCH_FLAG_RELAUNCH | PATCH_FLAG_CANCEL, nullptr, true},
        {done | PATCH_FLAG_FINISHED | PATCH_FLAG_CANCEL, nullptr, true},
    };
    for (const Case& c : cases) {
        PatchHandOverChoice h = PatchHandOver(c.flags);
        EXPECT_EQ(std::string(h.launcherArgument ? h.launcherArgument : "-"), c.launcher ? c.launcher : "-")
            << c.flags;
        EXPECT_EQ(h.close, c.close) << c.flags;
    }
}

TEST(PatchAppTest, StringTables) {
    EXPECT_EQ(LoadPatchString(kLanguageEnglish, 129), "Unable to find the requested file");
    EXPECT_EQ(LoadPatchString(kLanguageEnglish, 102), "");
    // Korean texts are code page 949 inside, converted back only at the edges.
    EXPECT_EQ(platform::Cp949ToUtf8(LoadPatchString(kLanguageKorean, 119)), "패치 완료.");
}

TEST(PatchConfigTest, ReadsTheFolderAndTheRegistry) {
    PatchTestEnvironment env;
    TempFolder tmp;
    tmp.Write("MSG.DAT", "x");
    std::string ini = tmp.Path("VAZE.INI");
    platform::WriteProfileString("INFO", "PATCH_SERVER", "example.test:8080", ini);
    platform::WriteProfileString("INFO", "ROOT_PATH", "patch", ini);
    platform::WriteProfileString("INFO", "CONNECT", "ftp", ini);
    platform::WriteProfileString("INFO", "LANGUAGE", "ENG", ini);

    {
        CRecordingPatchView view;
        CPatchEngine engine(kLanguageEnglish, view);
        ASSERT_EQ(engine.LoadPatchConfig("QOR", tmp.path()), 1);
        EXPECT_EQ(engine.Config().host, "example.test");
        EXPECT_EQ(engine.Config().port, 8080);
        EXPECT_FALSE(engine.Config().ftp);  // only "FTP" selects FTP
        EXPECT_EQ(engine.Config().registryKey, "SOFTWARE\\Brimholt\\QOR_ENG");
        EXPECT_EQ(engine.Config().installedLevel, 1u);  // no registry value yet
        EXPECT_EQ(engine.Flags() & PATCH_FLAG_PASS_STOP, 0u);
    }
    platform::TheRegistry().SetDword("SOFTWARE\\Brimholt\\QOR_ENG", "PatchKey", 9);
    platform::TheRegistry().SetDword("SOFTWARE\\Brimholt\\QOR_ENG", "PassStop", 1);
    platform::WriteProfileString("INFO", "CONNECT", "FTP", ini);
    {
        CRecordingPatchView view;
        CPatchEngine engine(kLanguageEnglish, view);
        ASSERT_EQ(engine.LoadPatchConfig("QOR", tmp.path()), 1);
        EXPECT_TRUE(engine.Config().ftp);
        EXPECT_EQ(engine.Config().installedLevel, 9u);
        EXPECT_NE(engine.Flags() & PATCH_FLAG_PASS_STOP, 0u);
    }
    EXPECT_TRUE(env.spawns.empty());
    EXPECT_TRUE(env.messages.empty());
}

TEST(PatchConfigTest, EmptyCommandLineStartsTheLauncherOnly) {
    PatchTestEnvironment env;
    TempFolder tmp;
    tmp.Write("MSG.DAT", "x");
    tmp.Write("VAZE.INI", "[INFO]\r\nLANGUAGE=ENG\r\n");
    EXPECT_EQ(RunPatchApp("", tmp.path()), 0);
    ASSERT_EQ(env.spawns.size(), 1u);
    EXPECT_EQ(env.spawns[0], tmp.Path("QOR.exe") + " QOR");
    EXPECT_TRUE(env.messages.empty());
}

TEST(PatchConfigTest, MissingFilesStopBeforeAnything) {
    PatchTestEnvironment env;
    TempFolder tmp;
    tmp.Write("VAZE.INI", "[INFO]\r\nLANGUAGE=ENG\r\n");
    EXPECT_EQ(RunPatchApp("QOR", tmp.path()), 0);
    ASSERT_EQ(env.messages.size(), 1u);
    EXPECT_EQ(env.messages[0], "Download and install the set-up file");
    EXPECT_TRUE(env.spawns.empty());

    env.messages.clear();
    tmp.Write("VAZE.INI", "[INFO]\r\nLANGUAGE=kor\r\n");
    tmp.Write("MSG.DAT", "x");
    EXPECT_EQ(RunPatchApp("QOR", tmp.path()), 1);
    ASSERT_EQ(env.messages.size(), 1u);
    EXPECT_EQ(env.messages[0], "Unknown LanguageID!!");
}

TEST(PatchConfigTest, SecondInstanceEndsAtOnce) {
    PatchTestEnvironment env;
    TempFolder tmp;
    tmp.Write("VAZE.INI", "[INFO]\r\nLANGUAGE=ENG\r\n");
    tmp.Write("MSG.DAT", "x");
    platform::InstanceLock first("Morvane");
    ASSERT_FALSE(first.HeldElsewhere());
    EXPECT_EQ(RunPatchApp("", tmp.path()), 0);
    EXPECT_TRUE(env.spawns.empty());
    EXPECT_TRUE(env.messages.empty());
}

TEST(PatchConfigTest, WithoutADisplayTheCrashReportKeepsTheDump) {
    PatchTestEnvironment env;
    ScopedEnv noDisplay("DISPLAY", nullptr);
    TempFolder tmp;
    tmp.Write("VAZE.INI", "[INFO]\r\nLANGUAGE=ENG\r\n");
    tmp.Write("MSG.DAT", "x");
    tmp.Write("QOR_1.dmp", "QORDUMP1 and the rest");
    EXPECT_EQ(RunPatchApp("1.004410 QOR_1.dmp", tmp.path()), 1);
    EXPECT_EQ(ReadFileText(tmp.Path("QOR_1.dmp")), "QORDUMP1 and the rest");
}
