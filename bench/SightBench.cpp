// Fog of war each frame. Targets: on a 256 x 256-cell sight grid, 160 moving
// units each taking back and re-adding their line-of-sight circle of 80 units
// in at most 0.2 ms for all 160; the 128 x 128 view fog texture written with
// smooth fading in at most 0.1 ms. The whole-grid fog step and sight texture
// are printed beside them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/GfxRecordingDevice.h"
#include "world/SightGrid.h"

using platform::Vec3;

namespace {

// 128 tiles of 20 units a side: 256 x 256 cells of 10; 40 plateaus of raised
// ground (about a sixth of the map) that hide what lies behind their edges.
void MakeGrid(CSightGrid& grid) {
    grid.Setup(128, 128, 20, 8, 1, 0);
    grid.OpenLayer(1, 1);
    std::mt19937 random(160);
    const float flat[4] = {0, 0, 0, 0};
    for (int plateau = 0; plateau < 40; ++plateau) {
        const int32_t w = 8 + static_cast<int32_t>(random() % 24), h = 8 + static_cast<int32_t>(random() % 24);
        const int32_t x0 = static_cast<int32_t>(random() % static_cast<uint32_t>(grid.sizeX() - w));
        const int32_t z0 = static_cast<int32_t>(random() % static_cast<uint32_t>(grid.sizeZ() - h));
        for (int32_t z = z0; z < z0 + h; ++z)
            for (int32_t x = x0; x < x0 + w; ++x) grid.SetHeights(z, x, 60.0f, flat);
    }
}

void BM_SightFrame160Units(benchmark::State& state) {
    CSightGrid grid;
    MakeGrid(grid);
    struct Unit {
        SightSource source;
        Vec3 position;
        float dx, dz;
    };
    std::mt19937 random(5);
    std::vector<Unit> units(160);
    for (size_t i = 0; i < units.size(); ++i) {
        Unit& u = units[i];
        u.position = Vec3(static_cast<float>(random() % 2400 + 40), 5, static_cast<float>(random() % 2400 + 40));
        u.dx = static_cast<float>(random() % 7) - 3.0f;
        u.dz = static_cast<float>(random() % 7) - 3.0f;
        grid.AddSight(&u.source, u.position, 80, static_cast<int32_t>(i % 2), CSightGrid::MODE_LINE_OF_SIGHT);
    }
    for (auto _ : state) {
        for (Unit& u : units) {
            grid.RemoveSight(&u.source, u.position, 80, u.source.layer, CSightGrid::MODE_LINE_OF_SIGHT);
            u.position.x += u.dx;
            u.position.z += u.dz;
            if (u.position.x < 20 || u.position.x > 2540) u.dx = -u.dx;
            if (u.position.z < 20 || u.position.z > 2540) u.dz = -u.dz;
            grid.AddSight(&u.source, u.position, 80, u.source.layer, CSightGrid::MODE_LINE_OF_SIGHT);
        }
    }
    state.counters["target_us"] = 200;
}
BENCHMARK(BM_SightFrame160Units)->Unit(benchmark::kMicrosecond);

// The grid with a wide sight in its middle, a frame of fading done.
void MakeLitGrid(CSightGrid& grid, SightSource& source) {
    MakeGrid(grid);
    grid.AddSight(&source, Vec3(1280, 5, 1280), 400, 0, CSightGrid::MODE_LINE_OF_SIGHT);
    grid.UpdateFog(0.016f);
}

void BM_ViewFogRegionWrite(benchmark::State& state) {
    CSightGrid grid;
    SightSource source;
    MakeLitGrid(grid, source);
    platform::CGfxRecordingDevice device;
    platform::CGfxTexture* view = nullptr;
    device.CreateTexture(128, 128, 1, 0, platform::FMT_A8R8G8B8, platform::POOL_MANAGED, &view);
    for (auto _ : state) benchmark::DoNotOptimize(grid.WriteRegion(view, 64, 64));
    platform::GfxRelease(view);
    state.counters["target_us"] = 100;
}
BENCHMARK(BM_ViewFogRegionWrite)->Unit(benchmark::kMicrosecond);

void BM_FogStepAndSightTexture(benchmark::State& state) {
    CSightGrid grid;
    SightSource source;
    MakeLitGrid(grid, source);
    platform::CGfxRecordingDevice device;
    grid.CreateTexture(&device, 128, 128);
    for (auto _ : state) benchmark::DoNotOptimize(grid.UpdateTexture(0.016f));
}
BENCHMARK(BM_FogStepAndSightTexture)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
