// The play screen's input. Targets: the hover pick over 500 visible objects
// under 0.1 ms, and one frame's input step (hot keys, the normal mode with its
// hover pick, a right-click move of 12 selected units) under 0.3 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "commands/GameCommandManager.h"
#include "engine/render/Camera.h"
#include "net/ClientSession.h"
#include "platform/ScriptedInput.h"
#include "screens/game/PlayScreen.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "world/SpatialTree.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {

// The armies of the harness in view of a camera over the map's middle, the
// visible list gathered and the pick ray through the screen's centre.
struct InputScene {
    CWorldHarness harness;
    CClientSession session;
    CPlayCamera camera;
    std::vector<int32_t> red, blue;

    bool Build(int perSide) {
        if (!harness.ok()) return false;
        g_pClientSession = &session;
        harness.SpawnArmies(perSide, &red, &blue);
        harness.Step(1.0f / 30);  // places the bounds
        camera.SetLookAt({160, 400, -100}, {160, 0, 160}, CPlayScreen::kFieldOfView);
        camera.SetProjection(1024, 768);
        camera.view = platform::MatrixLookAtLH(camera.eye, camera.target, camera.up);
        platform::Plane planes[6];
        CCamera::ExtractFrustumPlanes(camera.view, camera.projection, planes, false);
        g_pSpatialTree->CollectVisible(planes, 0);
        camera.MakePickRay(512, 384, camera.projection, camera.view);
        return true;
    }
    ~InputScene() { g_pClientSession = nullptr; }
};

void BM_PickHoverObject500(benchmark::State& state) {
    InputScene scene;
    if (!scene.Build(BenchScale(250, 25))) {
        state.SkipWithError(scene.harness.Error().c_str());
        return;
    }
    PlayContext context;
    context.camera = &scene.camera;
    CPlayScreen screen(context);
    for (auto _ : state) benchmark::DoNotOptimize(screen.PickHoverObject(nullptr, 0));
    state.counters["visible"] = static_cast<double>(g_pSpatialTree->VisibleList().size());
}
BENCHMARK(BM_PickHoverObject500)->Unit(benchmark::kMicrosecond);

void BM_InputStepRightClick12(benchmark::State& state) {
    InputScene scene;
    if (!scene.Build(BenchScale(100, 10))) {
        state.SkipWithError(scene.harness.Error().c_str());
        return;
    }
    std::vector<int32_t> own;
    for (int i = 0; i < 12; ++i)
        own.push_back(scene.harness.SpawnUnit("Creep", {120.0f + static_cast<float>(i) * 6, 0, 120}, 0, 0));
    CRecordingScreenHost host;
    auto scripted = std::make_unique<platform::ScriptedInput>();
    platform::ScriptedInput* input = scripted.get();
    host.input.CreateInput(std::move(scripted), 0);
    PlayContext context;
    context.camera = &scene.camera;
    CPlayScreen screen(context);
    screen.SetPhase(CPlayScreen::PHASE_PLAY);
    screen.Selection().selected = own;
    input->SetCursor(700, 300);
    CGameCommandManager& commands = *g_pGameCommandManager;
    for (auto _ : state) {
        state.PauseTiming();
        commands.ClearQueue();
        for (int32_t id : own)
            if (CUnit* u = scene.harness.Unit(0, id)) u->orderRequested = 0;
        input->SetButton(1, true);
        host.input.UpdateInput(0.033f, 1);
        input->SetButton(1, false);
        host.input.UpdateInput(0.033f, 1);
        state.ResumeTiming();
        screen.HandleInput();
    }
    state.counters["orders"] = static_cast<double>(commands.QueueSize());
}
BENCHMARK(BM_InputStepRightClick12)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
