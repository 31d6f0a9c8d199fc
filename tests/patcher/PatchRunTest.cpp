// Whole runs against real nginx and pyftpdlib on loopback.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "patcher/PatchApp.h"
#include "patcher/PatchEngine.h"
#include "platform/Ini.h"
#include "platform/Registry.h"
#include "tests/patcher/PatchTestSupport.h"
#include "tests/servers/LocalFtpServer.h"
#include "tests/servers/LocalHttpServer.h"
#include "tools/FileListWriter.h"

namespace fs = std::filesystem;

namespace {

const char* const kKey = "SOFTWARE\\Brimholt\\QOR_ENG";

uint32_t InstalledLevel() { return platform::TheRegistry().GetDword(kKey, "PatchKey").value_or(0); }

class HttpPatchRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(http.Start()) << ReadFileText(site.work + "/nginx-error.log");
        ASSERT_TRUE(site.MakeVersions("127.0.0.1:" + std::to_string(http.Port()), false));
    }

    PatchTestEnvironment env;
    TempFolder tmp;
    CPatchSite site{tmp.path()};
    CLocalHttpServer http{site.www, site.work};
};

// Publishes B at level 2, installs A and runs: the player ends with B's files and level.
void UpdateAToB(CPatchSite& site) {
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    CPatchSite::Result r = site.Run();
    EXPECT_EQ(r.flags & (PATCH_FLAG_FINISHED | PATCH_FLAG_STOPPED), PATCH_FLAG_FINISHED) << r.error;
    std::string diff;
    EXPECT_TRUE(site.SameFiles(site.b, &diff)) << diff;
    EXPECT_EQ(InstalledLevel(), 2u);
    EXPECT_TRUE(site.Leftovers().empty());
}

}  // namespace

TEST_F(HttpPatchRun, UpdatesVersionAToB) {
    UpdateAToB(site);
    EXPECT_FALSE(fs::exists(site.game + "/FILELIST.DAT"));
    // Packages travel packed; a lower-case ".drp" is no package.
    EXPECT_EQ(http.CountRequests("GET /patch/DATA/INFO.DRP.DRZ "), 1);
    EXPECT_EQ(http.CountRequests("GET /patch/DATA/lower.drp "), 1);
    EXPECT_EQ(http.CountRequests("GET /patch/DATA/A%20B%231%25.DAT "), 1);
    // Files that did not change are not fetched.
    EXPECT_EQ(http.CountRequests("GET /patch/DATA/TEXTURE.DRP"), 0);
    EXPECT_EQ(http.CountRequests("GET /patch/PatchStop.txt "), 1);
}

TEST_F(HttpPatchRun, EqualLevelsFetchOnlyMissingFilesUntilRecheck) {
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    platform::TheRegistry().SetDword(kKey, "PatchKey", 2);
    CPatchSite::Result r = site.Run();
    EXPECT_NE(r.flags & PATCH_FLAG_FINISHED, 0u) << r.error;
    EXPECT_EQ(ReadFileText(site.game + "/NOTICE.TXT"), "old notice\n");  // changed, but not looked at
    EXPECT_EQ(ReadFileText(site.game + "/DATA/MAP/DEEP/NEW.DAT"), ReadFileText(site.b + "/DATA/MAP/DEEP/NEW.DAT"));
    // Re-patch digests every file.
    r = site.Run(true);
    EXPECT_NE(r.flags & PATCH_FLAG_FINISHED, 0u) << r.error;
    EXPECT_EQ(r.flags & PATCH_FLAG_RECHECK, 0u);
    std::string diff;
    EXPECT_TRUE(site.SameFiles(site.b, &diff)) << diff;
}

TEST_F(HttpPatchRun, StopNoticeAndPassStop) {
    ASSERT_TRUE(site.Publish(site.b, 2));
    struct Case {
        bool notice;
        bool passStop;
        bool stops;
    };
    for (Case c : {Case{true, false, true}, Case{true, true, false}, Case{false, false, false}}) {
        ASSERT_TRUE(site.Install(site.a));
        platform::TheRegistry().SetDword(kKey, "PatchKey", 1);
        platform::TheRegistry().SetDword(kKey, "PassStop", c.passStop ? 1 : 0);
        fs::remove(site.www + "/patch/PatchStop.txt");
        if (c.notice) tmp.Write("www/patch/PatchStop.txt", "Closed for maintenance\r\nback at 10\r\n");
        CPatchSite::Result r = site.Run();
        if (c.stops) {
            EXPECT_EQ(r.flags & (PATCH_FLAG_STOPPED | PATCH_FLAG_FINISHED), PATCH_FLAG_STOPPED);
            EXPECT_EQ(r.error, "Closed for maintenance\nback at 10\n");
            EXPECT_EQ(InstalledLevel(), 1u);
        } else {
            EXPECT_NE(r.flags & PATCH_FLAG_FINISHED, 0u) << r.error << c.notice << c.passStop;
            EXPECT_EQ(InstalledLevel(), 2u);
        }
    }
}

TEST_F(HttpPatchRun, TestReportIsOpened) {
    ASSERT_TRUE(site.Publish(site.b, 2));
    tmp.Write("www/patch/TestReport.txt", "report");
    ASSERT_TRUE(site.Install(site.a));
    CPatchSite::Result r = site.Run();
    EXPECT_NE(r.flags & PATCH_FLAG_FINISHED, 0u) << r.error;
    ASSERT_EQ(env.spawns.size(), 1u);
    EXPECT_EQ(env.spawns[0], "xdg-open " + site.game + "/TestReport.txt");
    EXPECT_EQ(ReadFileText(site.game + "/TestReport.txt"), "report");
}

TEST_F(HttpPatchRun, KeyFilesAreReplacedFirst) {
    // A new VAZE.INI: replaced, then the launcher starts the patcher again.
    platform::WriteProfileString("PATCH", "NOTICE_URL", "http://127.0.0.1/new", site.b + "/VAZE.INI");
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    CPatchSite::Result r = site.Run();
    EXPECT_EQ(r.flags & (PATCH_FLAG_STOPPED | PATCH_FLAG_RELAUNCH | PATCH_FLAG_SELF_UPDATE),
              PATCH_FLAG_STOPPED | PATCH_FLAG_RELAUNCH)
        << r.error;
    EXPECT_EQ(ReadFileText(site.game + "/VAZE.INI"), ReadFileText(site.b + "/VAZE.INI"));
    EXPECT_EQ(ReadFileText(site.game + "/NOTICE.TXT"), "old notice\n");  // nothing else yet
    EXPECT_EQ(InstalledLevel(), 0u);

    // A new patcher: saved beside the old one, executable, equal to B's.
    tmp.Write("B/QORPatch.run", "#!/bin/sh\n# patcher B\n");
    ASSERT_TRUE(site.Publish(site.b, 3));
    CPatchSite::Result s = site.Run();
    EXPECT_EQ(s.flags & (PATCH_FLAG_STOPPED | PATCH_FLAG_SELF_UPDATE), PATCH_FLAG_STOPPED | PATCH_FLAG_SELF_UPDATE)
        << s.error;
    EXPECT_EQ(ReadFileText(site.game + "/QORPatchTemp.tmp"), "#!/bin/sh\n# patcher B\n");
    EXPECT_EQ(ReadFileText(site.game + "/QORPatch.run"), "#!/bin/sh\n# patcher A\n");
    struct stat st;
    ASSERT_EQ(::stat((site.game + "/QORPatchTemp.tmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_EQ(http.CountRequests("GET /patch/QORPatch.run "), 1);
    EXPECT_TRUE(site.Leftovers().empty());
}

TEST_F(HttpPatchRun, DbghelpIsNeverRequested) {
    tmp.Write("B/dbghelp.dll", "not ours");
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    CPatchSite::Result r = site.Run();
    EXPECT_NE(r.flags & PATCH_FLAG_FINISHED, 0u) << r.error;
    EXPECT_FALSE(fs::exists(site.game + "/dbghelp.dll"));
    EXPECT_EQ(http.CountRequests("dbghelp"), 0);
}

TEST_F(HttpPatchRun, DamagedListsChangeNothing) {
    ASSERT_TRUE(site.Install(site.a));
    const uint8_t md5[16] = {};
    std::vector<std::pair<CFileListWriter, std::string>> lists;
    CFileListWriter escaping(2);
    escaping.AddFile(".\\NOTICE.TXT", {'x'});
    escaping.AddRecord(1, md5, 1, 9, ".\\..\\EVIL");
    lists.emplace_back(escaping, "Failed to bring the file [.\\..\\EVIL]");
    CFileListWriter version(2);
    version.SetVersion(3);
    lists.emplace_back(version, "Download and install the set-up file");
    CFileListWriter huge(2);
    huge.AddFile(".\\NOTICE.TXT", {'x'});
    huge.SetCount(0x10000000);
    lists.emplace_back(huge, "Failed to bring the file [FILELIST.DAT]");
    // A list without the key files parses but cannot run.
    lists.emplace_back(CFileListWriter(5), "Not Found VAZE.INI [ServerList]");
    for (auto& [list, error] : lists) {
        fs::create_directories(site.www + "/patch");
        ASSERT_TRUE(list.Write(site.www + "/patch/FILELIST.DAT"));
        CPatchSite::Result r = site.Run();
        EXPECT_NE(r.flags & PATCH_FLAG_STOPPED, 0u);
        EXPECT_EQ(r.error, error);
        std::string diff;
        EXPECT_TRUE(site.SameFiles(site.a, &diff)) << diff;
        EXPECT_EQ(InstalledLevel(), 0u);
    }
    // Only the stop notice and the list were asked for.
    EXPECT_EQ(CountLinesWith(http.AccessLog(), "GET"), 2 * static_cast<int>(lists.size()));
}

TEST(FtpPatchRun, UpdatesVersionAToB) {
    PatchTestEnvironment env;
    TempFolder tmp;
    CPatchSite site(tmp.path());
    CLocalFtpServer ftp(site.www, site.work, "qor", "secret");
    ASSERT_TRUE(ftp.Start()) << ftp.Log();
    ASSERT_TRUE(site.MakeVersions("127.0.0.1:" + std::to_string(ftp.Port()), true));
    UpdateAToB(site);
    EXPECT_GT(ftp.CountCommands("EPRT"), 0);
    EXPECT_GT(ftp.CountCommands("RETR patch/DATA/INFO.DRP.DRZ"), 0);

    // A wrong password never gets in.
    site.SetIni("PASS", "wrong");
    ASSERT_TRUE(site.Install(site.a));
    CPatchSite::Result w = site.Run();
    EXPECT_NE(w.flags & PATCH_FLAG_STOPPED, 0u);
    EXPECT_FALSE(w.error.empty());
    std::string diff;
    EXPECT_TRUE(site.SameFiles(site.a, &diff)) << diff;
}

TEST_F(HttpPatchRun, ThePatcherHandsOverToTheLauncher) {
    struct Case {
        const char* file;
        const char* content;
        const char* argument;
    };
    const Case cases[] = {{"B/QOR.exe", "#!/bin/sh\n# launcher B\n", "QOR"},
                          {"B/QORPatch.run", "#!/bin/sh\n# patcher B\n", "QORPatchTemp.tmp"}};
    for (const Case& c : cases) {
        tmp.Write(c.file, c.content);
        ASSERT_TRUE(site.Publish(site.b, 2));
        ASSERT_TRUE(site.Install(site.a));
        env.spawns.clear();
        EXPECT_EQ(RunPatchApp("QOR", site.game), 0);
        EXPECT_EQ(env.spawns, std::vector<std::string>{site.game + "/QOR.exe " + c.argument});
        EXPECT_TRUE(env.messages.empty());
    }
    // A finished run starts nothing; a failed one shows its error.
    ASSERT_TRUE(site.Install(site.b));
    env.spawns.clear();
    EXPECT_EQ(RunPatchApp("QOR", site.game), 0);
    EXPECT_TRUE(env.spawns.empty());
    fs::remove(site.www + "/patch/FILELIST.DAT");
    EXPECT_EQ(RunPatchApp("QOR", site.game), 1);
    EXPECT_EQ(env.messages, std::vector<std::string>{"Unable to find the requested filepatch/FILELIST.DAT"});
}
