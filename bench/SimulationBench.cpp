// The match simulation on the headless world harness: one step of 500 units
// attack-moving on the sample map (world update with orders, paths, combat
// and the dispatch of the step's records), and the tests' scripted match run whole.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/BenchSupport.h"
#include "tools/WorldHarness.h"
#include "world/CombatObject.h"

namespace {

void BM_SimulationStep500Units(benchmark::State& state) {
    CWorldHarness h;
    if (!h.ok()) {
        state.SkipWithError(h.Error().c_str());
        return;
    }
    std::vector<int32_t> red, blue;
    h.SpawnArmies(BenchScale(250, 10), &red, &blue);
    h.OrderArmies(red, blue);
    // The first steps take the orders and search the first paths.
    for (int i = 0; i < 3; ++i) h.Step(1.0f / 30);
    const int32_t paths = CCombatObject::s_pathRequests;
    int64_t steps = 0;
    for (auto _ : state) {
        h.Step(1.0f / 30);
        ++steps;
    }
    state.counters["path_requests"] =
        steps ? static_cast<double>(CCombatObject::s_pathRequests - paths) / static_cast<double>(steps) : 0.0;
    state.counters["units"] = static_cast<double>(red.size() + blue.size());
}
BENCHMARK(BM_SimulationStep500Units)->Unit(benchmark::kMillisecond)->MinTime(BenchMinTime(2.0));

void BM_ScriptedMatch5Minutes(benchmark::State& state) {
    for (auto _ : state) {
        CWorldHarness h;
        if (!h.ok()) {
            state.SkipWithError(h.Error().c_str());
            return;
        }
        benchmark::DoNotOptimize(h.RunScriptedMatch(6, BenchSmokeRun() ? 10.0f : 300.0f));
    }
}
BENCHMARK(BM_ScriptedMatch5Minutes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
