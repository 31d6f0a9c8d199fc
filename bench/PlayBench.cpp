// The play screen's command dispatch. Target: 1,000 mixed records dispatched
// in at most 1 ms, beside the bare pop-and-release of the same records (the
// cost of the queue and the pools alone) measured in the same run. The drag
// selection over 2,000 objects of the sample map: at most 0.3 ms. And one
// whole frame of the play screen with 200 units on the sample map and twelve
// players' full frames waiting: under 2.5 ms of CPU.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "bench/BenchSupport.h"
#include "commands/GameCommandManager.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "platform/Clock.h"
#include "screens/game/PlayScreen.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

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

// Twelve players' frames as the server relays them, each filled to its last
// record: a few attack-moves of the player's units, the rest the rewards,
// flags, target lists and slot states a busy match sends.
std::vector<std::vector<uint8_t>> FullFrames(const std::vector<int32_t>& units, int players) {
    std::vector<std::vector<uint8_t>> frames;
    CGameCommandManager packer;
    const float clock = 0;
    packer.BeginSession(1, &clock, 0, 0, {});
    const int32_t ids[7] = {0, 1, 2, 3, 4, 5, 6};
    for (int p = 0; static_cast<int>(frames.size()) < players; ++p) {
        for (int i = 0; i < 4; ++i) {
            const int32_t id = units[static_cast<size_t>(p * 4 + i) % units.size()];
            const float x = id % 2 ? 300.0f : 20.0f;
            packer.BuildUnitOrder(id, 200.0f, 3, 2, {x, 0, 100}, {160, 0, 100}, -1, -1, 1);
        }
        for (int i = 0; packer.CurrentFrameIndex() == 0; ++i) {
            packer.BuildGrantReward(1, p, 5, 1);
            packer.BuildGrantRewardGroup(1, ids, 7, 1, 1);
            packer.BuildUnitFlags(units[static_cast<size_t>(i) % units.size()], 1, 0x10, 1);
            packer.BuildUnitTargetList(units[static_cast<size_t>(i) % units.size()], ids, 6, 1, 1);
        }
        const CommandFrame& full = packer.Frame(0);
        frames.emplace_back(full.Data(), full.Data() + full.Used());
        packer.ResetFrames();
    }
    return frames;
}

uint32_t g_benchNow = 1000;
uint32_t BenchNow() { return g_benchNow; }

void BM_PlayUpdate200Units(benchmark::State& state) {
    CWorldHarness h;
    if (!h.ok()) {
        state.SkipWithError(h.Error().c_str());
        return;
    }
    h.MakeCurrent(0);
    RegisterLayoutResource(*g_pResourceManager);
    RegisterUiControls();
    CClientSession session;
    g_pClientSession = &session;
    CRecordingScreenHost host;
    platform::SetClockSource(&BenchNow);
    std::vector<int32_t> red, blue;
    h.SpawnArmies(BenchScale(100, 10), &red, &blue);
    std::vector<int32_t> units = red;
    units.insert(units.end(), blue.begin(), blue.end());
    const std::vector<std::vector<uint8_t>> frames = FullFrames(units, 12);
    h.MakeCurrent(0);
    CGameCommandManager& commands = *h.machine(0).commands;
    h.machine(0).map->objects.gameMode = 1;
    CPlayCamera camera;
    camera.distance = 300.0f;
    PlayContext context;
    context.ground = h.machine(0).map.get();
    context.camera = &camera;
    {
        CPlayScreen screen(context);
        g_benchNow += 33;
        if (screen.Update() != SCREEN_RUNNING || screen.Phase() != CPlayScreen::PHASE_PLAY) {
            state.SkipWithError("the play screen did not start");
        } else {
            size_t records = 0;
            for (auto _ : state) {
                state.PauseTiming();
                for (const auto& f : frames) records += static_cast<size_t>(commands.UnpackFrame(f.data(), f.size()));
                g_benchNow += 33;
                state.ResumeTiming();
                screen.Update();
            }
            state.counters["records"] =
                static_cast<double>(records) / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
            state.counters["units"] = static_cast<double>(units.size());
        }
    }
    platform::SetClockSource(nullptr);
    g_pClientSession = nullptr;
}
BENCHMARK(BM_PlayUpdate200Units)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
