// The crash handler in a child process that crashes on purpose: the dump file
// it leaves, and the patcher it starts (a stub that writes down its arguments).
#include "platform/Crash.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/File.h"
#include "platform/Process.h"
#include "tests/fixtures/TempFolder.h"

using namespace platform;

namespace {

uint32_t U32(const std::string& d, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(d[at + static_cast<size_t>(i)]);
    return v;
}
uint64_t U64(const std::string& d, size_t at) { return U32(d, at) | static_cast<uint64_t>(U32(d, at + 4)) << 32; }

}  // namespace

TEST(CrashHandler, ACrashingChildLeavesADumpAndStartsThePatcher) {
    TempFolder tmp;
    const std::string stub = tmp.path() + "/QORPatch.run";
    {
        std::ofstream out(stub);
        out << "#!/bin/sh\necho \"$1|$2\" >> \"" << tmp.path() << "/args.tmp\"\nmv \"" << tmp.path() << "/args.tmp\" \""
            << tmp.path() << "/args.txt\"\n";
    }
    ASSERT_EQ(chmod(stub.c_str(), 0755), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (chdir(tmp.path().c_str()) != 0 || !InstallCrashHandler(stub, 1.00441f)) _exit(3);
        volatile uintptr_t address = 0x10;
        *reinterpret_cast<volatile int*>(address) = 1;
        _exit(4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    std::string args;
    for (int i = 0; i < 500 && !FileExists(tmp.path() + "/args.txt"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    args = ReadFileText(tmp.path() + "/args.txt");
    ASSERT_FALSE(args.empty());
    const std::string version = args.substr(0, args.find('|'));
    const std::string dumpName = args.substr(args.find('|') + 1, args.find('\n') - args.find('|') - 1);
    EXPECT_EQ(version, "1.004410");
    std::string user = UserName();
    EXPECT_EQ(dumpName.rfind(user, 0), 0u) << dumpName;
    EXPECT_EQ(dumpName.size(), user.size() + std::strlen("2026-12-10-13-33-35.dmp")) << dumpName;

    const std::string dump = ReadFileText(tmp.path() + "/" + dumpName);
    ASSERT_GT(dump.size(), 48u);
    EXPECT_EQ(dump.substr(0, 8), "QORDUMP1");
    EXPECT_EQ(U32(dump, 8), uint32_t(SIGSEGV));
    EXPECT_EQ(U64(dump, 16), 0x10u);
    EXPECT_EQ(U64(dump, 24), uint64_t(child));
    size_t at = 40;
    const uint32_t registers = U32(dump, at);
    at += 4 + 8 * registers;
    const uint32_t frames = U32(dump, at);
    EXPECT_GT(frames, 0u);
    at += 4 + 8 * frames;
    const uint32_t mapLength = U32(dump, at);
    at += 4;
    EXPECT_EQ(dump.size(), at + mapLength);
    EXPECT_NE(dump.find("[stack]", at), std::string::npos);

    CrashDump read;
    ASSERT_TRUE(ReadCrashDump(tmp.path() + "/" + dumpName, &read));
    EXPECT_EQ(read.signal, uint32_t(SIGSEGV));
    EXPECT_EQ(read.faultAddress, 0x10u);
    EXPECT_EQ(read.processId, uint64_t(child));
    EXPECT_EQ(read.frames.size(), frames);
    EXPECT_EQ(read.memoryMap, dump.substr(dump.size() - mapLength));
}

TEST(CrashHandler, DumpsReadBackAndBrokenOnesAreRefused) {
    CrashDump d;
    d.signal = 11;
    d.code = 1;
    d.faultAddress = 0x1234;
    d.processId = 42;
    d.time = 1765400000;
    d.registers = {1, 2, 3};
    d.frames = {0x401000, 0x402000};
    d.memoryMap = "00400000-00401000 r-xp 00000000 00:00 0 /QOR.run\n";
    const std::vector<uint8_t> bytes = EncodeCrashDump(d);
    CrashDump r;
    ASSERT_TRUE(ParseCrashDump(bytes.data(), bytes.size(), &r));
    EXPECT_EQ(EncodeCrashDump(r), bytes);
    // Every cut, a byte more, another magic, and counts beyond the limits.
    for (size_t size = 0; size < bytes.size(); ++size) EXPECT_FALSE(ParseCrashDump(bytes.data(), size, &r)) << size;
    std::vector<uint8_t> bad = bytes;
    bad.push_back(0);
    EXPECT_FALSE(ParseCrashDump(bad.data(), bad.size(), &r));
    bad = bytes;
    bad[7] = '2';
    EXPECT_FALSE(ParseCrashDump(bad.data(), bad.size(), &r));
    bad = bytes;
    bad[40] = 0xff;  // register count
    bad[43] = 0x7f;
    EXPECT_FALSE(ParseCrashDump(bad.data(), bad.size(), &r));
    d.frames.assign(kMaxDumpFrames + 1, 7);
    bad = EncodeCrashDump(d);
    EXPECT_FALSE(ParseCrashDump(bad.data(), bad.size(), &r));

    TempFolder tmp;
    const std::string path = tmp.Write("a.dmp", std::vector<unsigned char>(bytes.begin(), bytes.end()));
    EXPECT_TRUE(ReadCrashDump(path, &r));
    EXPECT_EQ(r.frames, (std::vector<uint64_t>{0x401000, 0x402000}));
    EXPECT_FALSE(ReadCrashDump(tmp.Write("b.dmp", "QORDUMP1"), &r));
    EXPECT_FALSE(ReadCrashDump(tmp.Path("missing.dmp"), &r));
}

TEST(CrashHandler, DumpNamesAndDates) {
    EXPECT_EQ(CrashDumpName("kim", 2026, 3, 4, 5, 6, 7), "kim2026-03-04-05-06-07.dmp");
    EXPECT_EQ(CrashDumpName("", 2026, 12, 31, 23, 59, 59), "Unknown2026-12-31-23-59-59.dmp");
    struct Row {
        int64_t days;
        int year, month, day;
    } rows[] = {{0, 1970, 1, 1}, {59, 1970, 3, 1}, {11016, 2000, 2, 29}, {20432, 2025, 12, 10}, {-1, 1969, 12, 31}};
    for (const Row& r : rows) {
        int y, m, d;
        CivilFromDays(r.days, &y, &m, &d);
        EXPECT_EQ(y * 10000 + m * 100 + d, r.year * 10000 + r.month * 100 + r.day) << r.days;
    }
}
