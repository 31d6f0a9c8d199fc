#include "platform/SystemFigures.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

std::string ReadText(const char* path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The value after "key" and ":" (or "=") on the line that starts with key.
std::string_view LineValue(std::string_view text, std::string_view key, char separator) {
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.substr(0, key.size()) != key) continue;
        std::string_view rest = line.substr(key.size());
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        if (rest.empty() || rest.front() != separator) continue;
        rest.remove_prefix(1);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r')) rest.remove_suffix(1);
        return rest;
    }
    return {};
}

uint64_t Number(std::string_view text) {
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (v > UINT64_MAX / 10 - 10) return v;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    return v;
}

// The user part of the address space, as the kernel sizes it.
uint64_t AddressSpaceKb() {
#if defined(__x86_64__)
    return ((uint64_t(1) << 47) - 4096) >> 10;
#elif defined(__aarch64__)
    return ((uint64_t(1) << 48) - 4096) >> 10;
#else
    return uint64_t(3) << 20;
#endif
}

}  // namespace

uint64_t MemAvailableKb(std::string_view meminfo) { return Number(LineValue(meminfo, "MemAvailable", ':')); }

int CpuInfoMhz(std::string_view cpuinfo) {
    const uint64_t mhz = Number(LineValue(cpuinfo, "cpu MHz", ':'));
    return mhz > 1000000 ? 0 : static_cast<int>(mhz);
}

std::string OsReleasePrettyName(std::string_view osRelease) {
    std::string_view v = LineValue(osRelease, "PRETTY_NAME", '=');
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

SystemFigures ReadSystemFigures() {
    SystemFigures f;
    struct sysinfo si {};
    if (sysinfo(&si) == 0) f.totalMemoryKb = static_cast<uint64_t>(si.totalram) * si.mem_unit >> 10;
    f.availableMemoryKb = MemAvailableKb(ReadText("/proc/meminfo"));
    struct rlimit limit {};
    f.virtualMemoryKb = getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                            ? static_cast<uint64_t>(limit.rlim_cur) >> 10
                            : AddressSpaceKb();
    f.processorMhz = CpuInfoMhz(ReadText("/proc/cpuinfo"));
    if (f.processorMhz == 0) {
        const uint64_t khz = Number(ReadText("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"));
        f.processorMhz = static_cast<int>(khz / 1000 > 1000000 ? 0 : khz / 1000);
    }
    struct utsname u {};
    if (uname(&u) == 0) {
        f.machine = u.machine;
        f.release = u.release;
        f.version = u.version;
    }
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
    f.processorCount = count > 0 ? static_cast<int>(count) : 0;
    f.prettyName = OsReleasePrettyName(ReadText("/etc/os-release"));
    return f;
}

}  // namespace platform
