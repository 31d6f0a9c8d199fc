// The terrain and the map. Targets: loading a map of 16 x 16 patches with
// 1,000 placed objects from a package, without texture decoding, in at most
// 150 ms; a ground height in at most 50 ns; a ground pick over 16 x 16
// patches in at most 20 microseconds; the minimap marks of 300 objects in at
// most 4 draw calls and 0.2 ms.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <random>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileIndex.h"
#include "engine/core/FileStream.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/world/MapTestObject.h"
#include "tools/MapWriter.h"
#include "tools/PackageWriter.h"
#include "world/ZEMMap.h"

using platform::Vec3;

namespace {

constexpr int32_t kSide = 16;
constexpr float kWorld = kSide * 160.0f;

float Hills(float x, float z) { return 25.0f * std::sin(x / 170.0f) * std::cos(z / 230.0f) + 30.0f; }

MapDescription BigMap(std::vector<CMapTestObject>& objects) {
    MapDescription d;
    d.across = d.deep = kSide;
    d.height = Hills;
    for (int32_t x = 40; x < 400; ++x) d.blockedCells.emplace_back(x, 256);
    d.areas = {{"Team1", Vec3(100, 0, 100), 100, 100}, {"Team2", Vec3(2400, 0, 2400), 100, 100}};
    std::mt19937 random(1000);
    std::uniform_real_distribution<float> place(20, kWorld - 20);
    for (CMapTestObject& o : objects) {
        o.position = {place(random), 0, place(random)};
        d.objects.push_back({&o, 0});
    }
    for (int32_t z = 0; z < 8; ++z) d.water.push_back({17, 3, z, 10.0f});
    return d;
}

// The map in a package of the benchmark's own folder, indexed.
struct PackagedMap {
    PackagedMap() {
        std::vector<CMapTestObject> objects(static_cast<size_t>(BenchScale(1000, 50)));
        folder = BenchFolder("terrain");
        CPackageWriter package("MAPS.DRP");
        package.Add("BIG.DRM", WriteMapFile(BigMap(objects)), false);
        package.WritePackage(folder + "\\DATA");
        CPackageWriter::WriteList(folder + "\\PACKAGELIST.DRL", {&package});
        index.SetBaseFolder(folder);
        index.ScanFolder(".");
        index.LoadPackageList("PACKAGELIST.DRL");
    }
    std::string folder;
    CFileIndex index;
};

void BM_LoadMap16x16With1000Objects(benchmark::State& state) {
    CErrorReport report;
    static PackagedMap packaged;
    for (auto _ : state) {
        CZEMMap map;
        UseMapTestObjects(map.objects);
        std::atomic<float> progress{0};
        if (!map.LoadMap("BIG.DRM", 0, &progress, 1.0f)) state.SkipWithError(report.GetText());
        benchmark::DoNotOptimize(progress.load());
        state.PauseTiming();
        map.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadMap16x16With1000Objects)->Unit(benchmark::kMillisecond);

struct Terrain {
    Terrain() {
        engine.BuildTree(kSide, kSide, 1, 0);
        for (int32_t p = 0; p < engine.patchCount(); ++p) {
            CTerrainObject& patch = *engine.Patch(p);
            for (int i = 0; i < CTerrainObject::kVertexCount; ++i) {
                const float lx = static_cast<float>(i % 9) * 20, lz = static_cast<float>(i / 9) * 20;
                patch.SetVertex(i, Vec3(lx, Hills(patch.position.x + lx, patch.position.z + lz), lz), Vec3(0, 1, 0));
            }
        }
        std::mt19937 random(7);
        std::uniform_real_distribution<float> place(0, kWorld - 0.01f);
        for (int i = 0; i < 4096; ++i) points.push_back({place(random), 0, place(random)});
    }
    CSpatialTree tree;
    CTerrainEngine engine;
    std::vector<Vec3> points;
};

Terrain& TheTerrain() {
    static Terrain terrain;
    return terrain;
}

void BM_GetHeightAt(benchmark::State& state) {
    Terrain& t = TheTerrain();
    size_t i = 0;
    float sum = 0;
    for (auto _ : state) {
        float h = 0;
        t.engine.GetHeightAt(t.points[i++ & 4095], &h);
        sum += h;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_GetHeightAt);

void BM_PickGround16x16(benchmark::State& state) {
    Terrain& t = TheTerrain();
    size_t i = 0, hits = 0;
    for (auto _ : state) {
        // A camera 600 above and 500 behind a point, looking at it.
        const Vec3& target = t.points[i++ & 4095];
        const Vec3 eye(target.x, 600, target.z - 500);
        Vec3 hit;
        hits += static_cast<size_t>(t.engine.PickTerrain(eye, target - eye, &hit));
    }
    state.counters["hit_share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PickGround16x16)->Unit(benchmark::kMicrosecond);

void BM_DrawMinimap300Objects(benchmark::State& state) {
    CErrorReport report;
    platform::CGfxRecordingDevice device;
    CZEMMap map(&device);
    UseTestObjects(map.objects);
    map.terrain.BuildTree(kSide, kSide, 1, 0);
    map.sideFileWanted = 0;
    map.CreateDeviceObjects();
    map.SetMinimapRect(800, 560, 200, 200);
    std::mt19937 random(300);
    std::uniform_real_distribution<float> place(20, kWorld - 20);
    for (int i = 0; i < 300; ++i) {
        CTestWorldObject* o = NewTestObject(map.objects, place(random), place(random), i % 2);
        o->owner = 24 + i % 2;
        map.objects.RegisterObject(o, -1, 0, 0);
    }
    const uint32_t before = device.DrawCount();
    for (auto _ : state) {
        map.DrawMinimap(MinimapHeroes(), 0, 0);
        state.PauseTiming();
        device.ClearLog();
        state.ResumeTiming();
    }
    state.counters["draw_calls"] =
        static_cast<double>(device.DrawCount() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DrawMinimap300Objects)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
