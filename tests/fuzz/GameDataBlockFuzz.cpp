// Fuzz target: the game data block reader (every record category, the
// preload table, combinations and item tables) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "world/GameDataRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CErrorReport report;
    CGameDataRegistry registry;
    CFileStream s;
    s.OpenMemory(std::vector<uint8_t>(data, data + size), "FUZZ.DAT");
    if (registry.ReadDataBlock(s)) {
        // What was read writes back and reads again.
        CFileStream out;
        out.OpenMemoryWrite("FUZZ.DAT");
        registry.WriteDataBlock(out);
        CGameDataRegistry again(false);
        CFileStream in;
        in.OpenMemory(out.Bytes(), "FUZZ.DAT");
        if (!again.ReadDataBlock(in)) __builtin_trap();
        registry.FindCombination(0);
        registry.FindItemRecord(1200);
    }
    return 0;
}
