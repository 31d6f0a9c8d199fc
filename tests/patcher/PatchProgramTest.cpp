// The real programs, started as the player's launcher would start them.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "patcher/Launcher.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "tests/fixtures/ScopedEnv.h"
#include "tests/patcher/PatchTestSupport.h"
#include "tests/servers/LocalHttpServer.h"

namespace fs = std::filesystem;

TEST(PatchProgramTest, KilledMidTransferLeavesWholeFilesAndTheNextRunCompletes) {
    TempFolder tmp;
    ScopedEnv config("XDG_CONFIG_HOME", tmp.Path("config").c_str());
    ScopedEnv runtime("XDG_RUNTIME_DIR", tmp.path().c_str());
    CPatchSite site(tmp.path());
    CLocalHttpServer http(site.www, site.work);
    http.AddLocation("location = /patch/BIG.DAT { limit_rate 2m; }");
    ASSERT_TRUE(http.Start());
    ASSERT_TRUE(site.MakeVersions("127.0.0.1:" + std::to_string(http.Port()), false));
    std::string big(6 << 20, 'b');
    tmp.Write("A/BIG.DAT", std::string(6 << 20, 'a'));
    tmp.Write("B/BIG.DAT", big);
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));

    int pid = StartChild(QOR_PATCH_PROGRAM, {"QOR"}, site.game, site.work + "/patch1.log");
    ASSERT_GT(pid, 0);
    std::error_code ec;
    bool started = PollFor(20000, [&] { return fs::file_size(site.game + "/BIG.DAT.part", ec) > 0 && !ec; });
    ::kill(pid, SIGKILL);
    WaitChild(pid, 10000);
    ASSERT_TRUE(started) << ReadFileText(site.work + "/patch1.log");
    EXPECT_EQ(ReadFileText(site.game + "/BIG.DAT"), std::string(6 << 20, 'a'));
    EXPECT_EQ(platform::CreateFileRegistry()->GetDword("SOFTWARE\\Brimholt\\QOR_ENG", "PatchKey"), std::nullopt);

    pid = StartChild(QOR_PATCH_PROGRAM, {"QOR"}, site.game, site.work + "/patch2.log");
    EXPECT_EQ(WaitChild(pid, 120000), 0) << ReadFileText(site.work + "/patch2.log");
    std::string diff;
    EXPECT_TRUE(site.SameFiles(site.b, &diff)) << diff;
    EXPECT_EQ(platform::CreateFileRegistry()->GetDword("SOFTWARE\\Brimholt\\QOR_ENG", "PatchKey"), 2u);
    EXPECT_TRUE(site.Leftovers().empty());
}

TEST(PatchProgramTest, LauncherSwapsInTheNewPatcherAndStartsIt) {
    TempFolder tmp;
    ScopedEnv runtime("XDG_RUNTIME_DIR", tmp.path().c_str());
    fs::copy_file(QOR_LAUNCHER_PROGRAM, tmp.Path("QOR.exe"));
    const std::string stub = "#!/bin/sh\necho \"$@\" > ran.txt\n";
    tmp.Write("QORPatch.run", "old patcher");
    tmp.Write("QORPatchTemp.tmp", stub);

    {
        // While a patcher still runs, the swap waits; here it gives up.
        platform::InstanceLock running("Morvane");
        EXPECT_EQ(RunLauncher("QORPatchTemp.tmp", tmp.path(), 50), 1);
        EXPECT_EQ(ReadFileText(tmp.Path("QORPatch.run")), "old patcher");
    }

    int pid = StartChild(tmp.Path("QOR.exe"), {"QORPatchTemp.tmp"}, tmp.path(), tmp.Path("launcher.log"));
    EXPECT_EQ(WaitChild(pid, 40000), 0) << ReadFileText(tmp.Path("launcher.log"));
    EXPECT_EQ(ReadFileText(tmp.Path("QORPatch.run")), stub);
    EXPECT_FALSE(fs::exists(tmp.Path("QORPatchTemp.tmp")));
    struct stat st;
    ASSERT_EQ(::stat(tmp.Path("QORPatch.run").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_TRUE(PollFor(10000, [&] { return ReadFileText(tmp.Path("ran.txt")) == "QOR\n"; }));

    // "QOR" starts the patcher the same way.
    fs::remove(tmp.Path("ran.txt"));
    pid = StartChild(tmp.Path("QOR.exe"), {"QOR"}, tmp.path(), tmp.Path("launcher.log"));
    EXPECT_EQ(WaitChild(pid, 40000), 0);
    EXPECT_TRUE(PollFor(10000, [&] { return ReadFileText(tmp.Path("ran.txt")) == "QOR\n"; }));
}
