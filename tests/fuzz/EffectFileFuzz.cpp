// Fuzz target: the ".DRE" effect file reader on arbitrary bytes (without a
// resource manager a layer that names a resource fails, as a missing one would).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/effects/EffectResource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CErrorReport report;
    CFileStream s;
    s.OpenMemory(std::vector<uint8_t>(data, data + size), "FUZZ.DRE");
    float version = 0;
    if (!s.ReadFloat(version) || version != CEffectResource::kVersion) return 0;
    CEffectResource effect;
    if (effect.LoadBody(s)) {
        for (uint32_t g = 0; g < CEffectResource::kOptionGroups; ++g)
            for (size_t i = 0; i <= effect.Layers().size(); ++i) effect.LayerRuns(g, i);
    }
    return 0;
}
