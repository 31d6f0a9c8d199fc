// Fuzz target: the mission script parser on arbitrary text, then a start and
// a few frames of the parsed missions without a world.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "world/ScriptManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    CScriptManager scripts;
    if (!scripts.OpenText("TUTORIAL.DAT", std::string(reinterpret_cast<const char*>(data), size))) return 0;
    scripts.Start();
    for (int i = 0; i < 8; ++i) scripts.Update(0.6f);
    scripts.DrawFlicker();
    scripts.Clear();
    return 0;
}
