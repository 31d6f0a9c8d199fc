// The system report of a crash mail: memory, processor and operating system
// in the report's fixed labels, from the machine's figures (or, in tests,
// from figures given to it).
#pragma once

#include <string>

#include "platform/SystemFigures.h"

class CZEMSystemInfo {
public:
    // Reads this machine's figures.
    void Build();
    // Uses the given figures.
    void Build(const platform::SystemFigures& figures);

    const std::string& MemoryText() const { return m_memory; }
    const std::string& ProcessorText() const { return m_processor; }
    const std::string& OsText() const { return m_os; }
    // The whole report: memory, processor and operating system.
    std::string ReportText() const { return m_memory + m_processor + m_os + m_extra; }

    // The processor type's name for uname's machine.
    static std::string ProcessorTypeName(const std::string& machine);
    // The number after "#" in uname's version (0 when there is none).
    static int BuildNumber(const std::string& version);

private:
    std::string m_memory;
    std::string m_processor;
    std::string m_os;
    std::string m_extra;  // a fourth text that stays empty
};
