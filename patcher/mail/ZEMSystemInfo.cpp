#include "patcher/mail/ZEMSystemInfo.h"

#include <cinttypes>
#include <cstdio>

void CZEMSystemInfo::Build() { Build(platform::ReadSystemFigures()); }

std::string CZEMSystemInfo::ProcessorTypeName(const std::string& machine) {
    static const struct {
        const char* machine;
        const char* name;
    } kNames[] = {{"i386", "Intel 386"},     {"i486", "Intel 486"},
                  {"i586", "Intel Pentium"}, {"i686", "Intel Pentium (II/Pro)"},
                  {"ia64", "Intel IA64"},    {"x86_64", "AMD X8664"}};
    for (const auto& n : kNames)
        if (machine == n.machine) return n.name;
    return "Unknown System";
}

int CZEMSystemInfo::BuildNumber(const std::string& version) {
    const size_t hash = version.find('#');
    if (hash == std::string::npos) return 0;
    int n = 0;
    for (size_t i = hash + 1; i < version.size() && version[i] >= '0' && version[i] <= '9' && n < 100000000; ++i)
        n = n * 10 + (version[i] - '0');
    return n;
}

void CZEMSystemInfo::Build(const platform::SystemFigures& f) {
    char text[1024];
    // 64-bit figures: the address space of a 64-bit process does not fit in an int.
    std::snprintf(text, sizeof(text),
                  "- Computer Info -\r\nTotal Memory : %" PRIu64 "\r\nAvailable Memory : %" PRIu64
                  "\r\nVirtual Memory : %" PRIu64 "\r\n",
                  f.totalMemoryKb, f.availableMemoryKb, f.virtualMemoryKb);
    m_memory = text;
    const std::string speed = std::to_string(f.processorMhz) + " MHz";
    m_processor = "Processor Speed : " + speed + "\r\nProcessor Type : " + ProcessorTypeName(f.machine) +
                  "\r\nProcessor Count : " + std::to_string(f.processorCount) + "\r\n";
    m_os = "OS Info : Linux " + f.release + "\r\nBUILD Number : " + std::to_string(BuildNumber(f.version)) +
           "\r\nService Pack : " + f.prettyName + "\r\n";
    m_extra.clear();
}
