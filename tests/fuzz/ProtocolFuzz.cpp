// "PROTOCOL.DAT": the record permutation and the level experience table, then
// the level progress the screens show from them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/ProtocolTables.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    const std::string path = fuzz::WriteInput("PROTOCOL.DAT", data, size);
    CProtocolTables tables;
    if (!tables.Load(path.c_str())) return 0;
    for (int level = -1; level <= CProtocolTables::kLevelCount; ++level)
        for (int64_t experience : {int64_t{-1}, int64_t{0}, int64_t{1} << 20, int64_t{INT32_MAX} * 4})
            (void)LevelProgressPercent(level, experience);
    return 0;
}
