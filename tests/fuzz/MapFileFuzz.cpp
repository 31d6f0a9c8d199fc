// Fuzz target: a whole map file, loaded the way the loading screen does (no
// game data, so every named record is missing). A map the loader accepts has
// a terrain of 1..64 patches a side whose heights and picks answer inside it.
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/ErrorReport.h"
#include "world/ZEMMap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char path[] = "/tmp/qor-mapfile-fuzz-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return 0;
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        unlink(path);
        return 0;
    }
    close(fd);
    CErrorReport report;
    CZEMMap map;
    map.sideFileWanted = 0;
    std::atomic<float> progress{0};
    const int loaded = map.LoadMap(path, 0, &progress, 1.0f);
    unlink(path);
    if (!loaded) return 0;
    const CTerrainEngine& terrain = map.terrain;
    if (terrain.across() < 1 || terrain.across() > 64 || terrain.deep() < 1 || terrain.deep() > 64) __builtin_trap();
    float h = 0;
    terrain.GetHeightAt(platform::Vec3(terrain.worldWidth() - 0.01f, 0, terrain.worldDepth() - 0.01f), &h);
    platform::Vec3 hit;
    terrain.PickTerrain(platform::Vec3(-10, 500, -10), platform::Vec3(1, -1, 1), &hit);
    map.IsWaterAt(platform::Vec3(terrain.worldWidth() - 1, 0, 1));
    return 0;
}
