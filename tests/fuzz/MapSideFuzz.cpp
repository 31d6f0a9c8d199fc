// Fuzz target: a map's side file (the layer count and one record of blend
// maps per patch) for a 2 x 2 terrain.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "world/TerrainEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CErrorReport report;
    CTerrainEngine terrain;
    if (!terrain.BuildTree(2, 2, 1, 0)) __builtin_trap();
    CFileStream stream;
    stream.OpenMemory(std::vector<uint8_t>(data, data + size), "SIDE.DRT");
    uint32_t layers = 0;
    if (!stream.ReadU32(layers) || layers > 64) return 0;
    if (!terrain.LoadSideRecords(stream, layers)) return 0;
    for (int32_t p = 0; p < terrain.patchCount(); ++p)
        if (terrain.Patch(p)->LayerSlots() < layers) __builtin_trap();
    return 0;
}
