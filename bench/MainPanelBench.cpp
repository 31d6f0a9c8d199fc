// The play screen's main panel: its per-frame update with the statistics
// rebuilt, and the whole panel drawn on the recording device.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
