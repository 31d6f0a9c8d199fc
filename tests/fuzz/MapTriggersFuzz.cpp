// Fuzz target: the trigger section of a map (triggers with every condition
// and action kind, the spawn groups, the lord scan) on arbitrary bytes; what
// was read writes back and reads again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/FileStream.h"
#include "tests/fuzz/FuzzSupport.h"
#include "world/MapScenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    CMapScenario scenario;
    CFileStream s;
    s.OpenMemory(std::vector<uint8_t>(data, data + size), "FUZZ.ZEM");
    if (!scenario.LoadTriggers(s)) return 0;
    scenario.LinkTriggers();
    scenario.CheckTriggers();
    scenario.UpdateTriggers(0.5f);
    CFileStream out;
    out.OpenMemoryWrite("FUZZ.ZEM");
    if (!scenario.LoadTriggers(out)) __builtin_trap();
    CMapScenario again;
    CFileStream in;
    in.OpenMemory(out.Bytes(), "FUZZ.ZEM");
    if (!again.LoadTriggers(in)) __builtin_trap();
    return 0;
}
