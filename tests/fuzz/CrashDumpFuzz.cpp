// The crash dump reader on any bytes: it accepts or refuses, never reads past
// the end; what it accepts writes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/Crash.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::CrashDump dump;
    if (platform::ParseCrashDump(data, size, &dump)) {
        const std::vector<uint8_t> again = platform::EncodeCrashDump(dump);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    }
    return 0;
}
