// The machine's figures that go into a crash report: memory, processor and
// operating system, read from the kernel (sysinfo, uname, /proc) and
// /etc/os-release. Reading never fails: a figure that cannot be read is 0 or "".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

struct SystemFigures {
    uint64_t totalMemoryKb = 0;
    uint64_t availableMemoryKb = 0;
    // RLIMIT_AS when it is set, else the user address space of the machine.
    uint64_t virtualMemoryKb = 0;
    int processorMhz = 0;
    // uname's machine ("x86_64", "i686", ...).
    std::string machine;
    int processorCount = 0;
    // uname's release and version, and /etc/os-release's PRETTY_NAME.
    std::string release;
    std::string version;
    std::string prettyName;
};

SystemFigures ReadSystemFigures();

// The readers of the files behind the figures, over their text.
// MemAvailable of /proc/meminfo, in KB (0 when missing).
uint64_t MemAvailableKb(std::string_view meminfo);
// The first "cpu MHz" of /proc/cpuinfo, rounded down (0 when missing).
int CpuInfoMhz(std::string_view cpuinfo);
// PRETTY_NAME of an os-release file, without its quotes ("" when missing).
std::string OsReleasePrettyName(std::string_view osRelease);

}  // namespace platform
