#include "patcher/mail/ZEMSystemInfo.h"

#include <gtest/gtest.h>

TEST(ZEMSystemInfo, ReportFromGivenFigures) {
    platform::SystemFigures f;
    f.totalMemoryKb = 16314580;
    f.availableMemoryKb = 9876543;
    f.virtualMemoryKb = 137438953468ull;
    f.processorMhz = 2400;
    f.machine = "riscv64";
    f.processorCount = 8;
    f.release = "6.1.0-28-amd64";
    f.version = "#1 SMP PREEMPT_DYNAMIC Debian 6.1.119-1 (2024-11-22)";
    f.prettyName = "Debian GNU/Linux 12 (bookworm)";
    CZEMSystemInfo info;
    info.Build(f);
    EXPECT_EQ(
        info.ReportText(),
        "- Computer Info -\r\nTotal Memory : 16314580\r\nAvailable Memory : 9876543\r\n"
        "Virtual Memory : 137438953468\r\n"
        "Processor Speed : 2400 MHz\r\nProcessor Type : Unknown System\r\nProcessor Count : 8\r\n"
        "OS Info : Linux 6.1.0-28-amd64\r\nBUILD Number : 1\r\nService Pack : Debian GNU/Linux 12 (bookworm)\r\n");
    EXPECT_EQ(CZEMSystemInfo::ProcessorTypeName("x86_64"), "AMD X8664");
    EXPECT_EQ(CZEMSystemInfo::ProcessorTypeName("i686"), "Intel Pentium (II/Pro)");
    EXPECT_EQ(CZEMSystemInfo::BuildNumber("#42-Ubuntu SMP"), 42);
    EXPECT_EQ(CZEMSystemInfo::BuildNumber("SMP"), 0);
}

TEST(ZEMSystemInfo, FileReadersAndThisMachine) {
    EXPECT_EQ(platform::MemAvailableKb("MemTotal:  100 kB\nMemAvailable:    2345 kB\n"), 2345u);
    EXPECT_EQ(platform::MemAvailableKb("MemTotal: 100 kB\n"), 0u);
    EXPECT_EQ(platform::CpuInfoMhz("processor\t: 0\ncpu MHz\t\t: 2399.998\n"), 2399);
    EXPECT_EQ(platform::CpuInfoMhz("BogoMIPS\t: 50.00\n"), 0);
    EXPECT_EQ(platform::OsReleasePrettyName("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12\"\n"),
              "Debian GNU/Linux 12");
    EXPECT_EQ(platform::OsReleasePrettyName("PRETTY_NAME=Plain\n"), "Plain");

    const platform::SystemFigures f = platform::ReadSystemFigures();
    EXPECT_GT(f.totalMemoryKb, 0u);
    EXPECT_GT(f.availableMemoryKb, 0u);
    EXPECT_GT(f.virtualMemoryKb, 0u);
    EXPECT_GT(f.processorCount, 0);
    EXPECT_FALSE(f.release.empty());
    CZEMSystemInfo info;
    info.Build();
    EXPECT_EQ(info.ReportText().rfind("- Computer Info -\r\nTotal Memory : ", 0), 0u);
}
