// The play screen's main panel: its per-frame update with the statistics
// rebuilt, the whole panel drawn on the recording device, and the minimap
// with many object marks.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "bench/BenchSupport.h"
#include "bench/HudMatch.h"
#include "screens/game/PlayMainPanel.h"

namespace {

// The panel of the sample match, showing the hero.
struct PanelMatch : HudMatch {
    CPlayMainPanel* panel = nullptr;

    PanelMatch() {
        panel = screen ? screen->MainPanel() : nullptr;
        if (panel) panel->Refresh(hero);
    }
};

void BM_MainPanelUpdateWithStatistics(benchmark::State& state) {
    PanelMatch match;
    if (!match.panel) {
        state.SkipWithError("the panel did not load");
        return;
    }
    for (auto _ : state) {
        // Past the statistics interval: every frame rebuilds them.
        match.panel->Update(CPlayMainPanel::kStatInterval * 2);
    }
}
BENCHMARK(BM_MainPanelUpdateWithStatistics)->Unit(benchmark::kMicrosecond);

void BM_MainPanelRender(benchmark::State& state) {
    PanelMatch match;
    if (!match.panel) {
        state.SkipWithError("the panel did not load");
        return;
    }
    match.panel->Update(CPlayMainPanel::kStatInterval * 2);
    for (auto _ : state) {
        match.panel->Render();
        match.device.ClearLog();
    }
}
BENCHMARK(BM_MainPanelRender)->Unit(benchmark::kMicrosecond);

void BM_MinimapWith500Marks(benchmark::State& state) {
    PanelMatch match;
    if (!match.panel) {
        state.SkipWithError("the panel did not load");
        return;
    }
    CZEMMap& map = *match.harness.machine(0).map;
    map.SetDevice(&match.device);
    if (!map.CreateDeviceObjects()) {
        state.SkipWithError("the map's device objects");
        return;
    }
    // Units of both sides spread over the map, each a mark.
    const int marks = BenchScale(500, 50);
    const float side = map.terrain.worldWidth() > 100 ? map.terrain.worldWidth() : 1000.0f;
    std::mt19937 random(500);
    std::uniform_real_distribution<float> place(20, side - 20);
    for (int i = 0; i < marks; ++i)
        match.harness.SpawnUnit("Creep", {place(random), 0, place(random)}, 24 + i % 2, i % 2);
    match.harness.machine(0).map->objects.fogOfWar = 1;
    const uint32_t before = match.device.DrawCount();
    for (auto _ : state) {
        match.panel->minimap.Render();
        match.panel->sight.Render();
        state.PauseTiming();
        match.device.ClearLog();
        state.ResumeTiming();
    }
    state.counters["draw_calls"] =
        static_cast<double>(match.device.DrawCount() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_MinimapWith500Marks)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
