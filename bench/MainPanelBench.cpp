// The play screen's main panel: its per-frame update with the statistics
// rebuilt, and the whole panel drawn on the recording device.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/BenchSupport.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "platform/GfxRecordingDevice.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/StubTexture.h"
#include "tests/fixtures/WorldHarness.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiManager.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

// A Knight as the local hero on the sample map, the panel loaded from the
// sample folder's layout.
struct PanelMatch {
    CWorldHarness harness;
    CClientSession session;
    platform::CGfxRecordingDevice device;
    CUiManager ui;
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
    CPlayMainPanel* panel = nullptr;

    PanelMatch() {
        if (!harness.ok()) return;
        harness.MakeCurrent(0);
        ui.SetDevice(&device);
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        RegisterStubTextures(*g_pResourceManager);
        g_pClientSession = &session;
        const int32_t hero = harness.SpawnUnit("Knight", {100, 0, 100}, 0, 0, 300, 30, 40, 20, 0);
        CWorldObjectManager& world = harness.machine(0).map->objects;
        world.slotOccupied[0] = true;
        world.gameMode = 1;
        PlayContext context;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        camera.distance = 300.0f;
        screen = std::make_unique<CPlayScreen>(context);
        screen->Update();
        panel = screen->MainPanel();
        if (panel) panel->Refresh(hero);
    }
    ~PanelMatch() {
        screen.reset();
        g_pClientSession = nullptr;
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
