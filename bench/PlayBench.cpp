// The play screen's command dispatch. Target: 1,000 mixed records dispatched
// in at most 1 ms, beside the bare pop-and-release of the same records (the
// cost of the queue and the pools alone) measured in the same run. And the
// drag selection over 2,000 objects of the sample map: at most 0.3 ms.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/render/Camera.h"
#include "tests/fixtures/WorldHarness.h"
#include "commands/GameCommandManager.h"
#include "net/ClientSession.h"
#include "screens/game/PlayScreen.h"
#include "world/WorldObjectManager.h"

namespace {

// Rewards, reward groups, unit flags and orders of ids the world does not
// have, slot states and ready events: the handlers' checks and effects
// without a map.
void QueueMixed(CGameCommandManager& m, int count) {
    const int32_t ids[7] = {0, 1, 2, 3, 4, 5, 6};
    for (int i = 0; i < count; i += 5) {
        m.BuildGrantReward(1, i % 12, 5, 0);
        m.BuildGrantRewardGroup(1, ids, 7, 1, 0);
        m.BuildUnitFlags(200 + i % 50, 1, 0x10, 0);
        m.BuildUnitOrder(300 + i % 50, 100.0f, 3, 0, {10, 0, 10}, {0, 0, 0}, -1, -1, 0);
        if (CGameCommand* r = m.CreateCommand(CMD_PLAYER_SLOT_STATE)) {
            r->SetU8(2, static_cast<uint32_t>(i % 12));
            r->SetU8(3, 1);
            m.QueueCommand(r);
        }
    }
}

struct PlayWorld {
    CClientSession session;
    CWorldObjectManager world;
    CGameCommandManager commands;
    PlayWorld() {
        g_pClientSession = &session;
        world.gameMode = 1;
        std::array<int32_t, CGameCommandManager::kSlots> teams{};
        commands.BeginSession(0, &world.gameClock, 0, 0, teams);
    }
    ~PlayWorld() { g_pClientSession = nullptr; }
};

void BM_DispatchMixedRecords(benchmark::State& state) {
    const int count = BenchScale(1000, 100);
    PlayWorld w;
    CPlayScreen screen;
    for (auto _ : state) {
        state.PauseTiming();
        QueueMixed(w.commands, count);
        state.ResumeTiming();
        screen.DispatchGameCommands(0.0f);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_DispatchMixedRecords)->Unit(benchmark::kMicrosecond);

void BM_PopAndReleaseRecords(benchmark::State& state) {
    const int count = BenchScale(1000, 100);
    PlayWorld w;
    for (auto _ : state) {
        state.PauseTiming();
        QueueMixed(w.commands, count);
        state.ResumeTiming();
        while (CGameCommand* r = w.commands.NextCommand()) w.commands.ReleaseDispatched(r);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_PopAndReleaseRecords)->Unit(benchmark::kMicrosecond);

void BM_PickObjectsRect2000(benchmark::State& state) {
    CWorldHarness h;
    if (!h.ok()) {
        state.SkipWithError(h.Error().c_str());
        return;
    }
    std::vector<int32_t> red, blue;
    h.SpawnArmies(BenchScale(1000, 50), &red, &blue);
    h.Step(1.0f / 30);  // places the bounds
    CPlayCamera camera;
    camera.SetLookAt({160, 400, -100}, {160, 0, 160}, CPlayScreen::kFieldOfView);
    camera.SetProjection(1024, 768);
    camera.view = platform::MatrixLookAtLH(camera.eye, camera.target, camera.up);
    CSelectionSet set;
    // A drag over the middle of the screen.
    const PickRect rect{200, 150, 800, 600};
    for (auto _ : state) {
        set.PickObjects(rect, camera);
        benchmark::DoNotOptimize(set.candidates.data());
    }
    state.counters["objects"] = static_cast<double>(red.size() + blue.size());
    state.counters["picked"] = static_cast<double>(set.candidates.size());
}
BENCHMARK(BM_PickObjectsRect2000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
