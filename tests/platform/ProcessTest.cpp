#include "platform/Process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "tests/fixtures/ScopedEnv.h"
#include "tests/fixtures/TempFolder.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WaitOk(int pid) {
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST(Process, InstanceLockIsHeldUntilReleased) {
    TempFolder tmp;
    ScopedEnv runtime("XDG_RUNTIME_DIR", tmp.path().c_str());
    const char* name = "-Morvane-";
    EXPECT_EQ(platform::InstanceLock::LockPath(name).rfind(tmp.path() + "/qor-", 0), 0u);
    {
        platform::InstanceLock first(name);
        EXPECT_FALSE(first.HeldElsewhere());
        platform::InstanceLock second(name);
        EXPECT_TRUE(second.HeldElsewhere());
        EXPECT_FALSE(platform::InstanceLock("other name").HeldElsewhere());

        // Another process sees it held too.
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(platform::InstanceLock(name).HeldElsewhere() ? 0 : 1);
        EXPECT_TRUE(WaitOk(child));
    }
    EXPECT_FALSE(platform::InstanceLock(name).HeldElsewhere());

    // A lock held by a process is freed when that process ends, however it ends.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        platform::InstanceLock held(name);
        char c = held.HeldElsewhere() ? 'n' : 'y';
        if (::write(ready[1], &c, 1) != 1) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    EXPECT_TRUE(platform::InstanceLock(name).HeldElsewhere());
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_FALSE(platform::InstanceLock(name).HeldElsewhere());
}

TEST(Process, SpawnPassesEveryArgumentAsGivenWithoutAShell) {
    TempFolder tmp;
    std::string out = tmp.Path("argv.txt");
    // The recording program: a shell script is fine as the stub, the spawn itself uses none.
    std::string stub =
        tmp.Write("Record.run", "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '%s|' \"$a\"; done > \"$OUT\"\n");
    ASSERT_EQ(::chmod(stub.c_str(), 0755), 0);
    ScopedEnv target("OUT", out.c_str());

    const std::vector<std::string> args = {"go", "two words", "$HOME; touch pwned", "*", ""};
    int pid = -1;
    ASSERT_TRUE(platform::Spawn(tmp.path() + "\\record.RUN", args, &pid));  // a game path, any case
    ASSERT_TRUE(WaitOk(pid));
    EXPECT_EQ(ReadText(out), tmp.path() + "/Record.run|go|two words|$HOME; touch pwned|*||");
    EXPECT_FALSE(std::ifstream(tmp.Path("pwned")).good());

    EXPECT_FALSE(platform::Spawn(tmp.Path("Missing.run"), {}, &pid));
    EXPECT_EQ(pid, -1);
    EXPECT_FALSE(platform::Spawn("", {}));
    ASSERT_TRUE(platform::Spawn("true", {}, &pid));  // a bare name is looked for along $PATH
    EXPECT_TRUE(WaitOk(pid));
}

TEST(Process, ASpawnHookRecordsInsteadOfStarting) {
    std::vector<std::pair<std::string, std::vector<std::string>>> spawned;
    platform::SetSpawnHook([&](const std::string& program, const std::vector<std::string>& args) {
        spawned.emplace_back(program, args);
        return program == "QOR.run";
    });
    EXPECT_TRUE(platform::Spawn("QOR.run", {"go"}));
    EXPECT_FALSE(platform::Spawn("QORPatch.run", {"1.5", "dump.dmp"}));
    platform::SetSpawnHook(nullptr);
    ASSERT_EQ(spawned.size(), 2u);
    EXPECT_EQ(spawned[0].second, std::vector<std::string>{"go"});
    EXPECT_EQ(spawned[1].first, "QORPatch.run");
    EXPECT_EQ(spawned[1].second, (std::vector<std::string>{"1.5", "dump.dmp"}));
}

TEST(Process, UserNameFallsBackToUnknown) {
    struct Case {
        const char* account;
        const char* variable;
        const char* expected;
    } cases[] = {{"kim", "lee", "kim"},
                 {nullptr, "lee", "lee"},
                 {"", "lee", "lee"},
                 {nullptr, nullptr, "Unknown"},
                 {"", "", "Unknown"}};
    for (const Case& c : cases) EXPECT_EQ(platform::PickUserName(c.account, c.variable), c.expected);
    EXPECT_FALSE(platform::UserName().empty());
}

TEST(Process, DocumentsFolderFollowsTheUsersFolders) {
    TempFolder tmp;
    ScopedEnv home("HOME", tmp.path().c_str());
    {
        ScopedEnv documents("XDG_DOCUMENTS_DIR", "/srv/docs");
        EXPECT_EQ(platform::DocumentsFolder(), "/srv/docs");
    }
    ScopedEnv documents("XDG_DOCUMENTS_DIR", nullptr);
    EXPECT_EQ(platform::DocumentsFolder(), tmp.path());  // no Documents folder: home
    tmp.Write("Documents/keep", "");
    EXPECT_EQ(platform::DocumentsFolder(), tmp.path() + "/Documents");
}
