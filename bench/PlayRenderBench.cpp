// The play screen's frame on the recording device. Targets: 300 unit bars in
// under 0.3 ms and at most three draws (frames, fills; the labels go through
// the font), beside drawing the same bars one by one; 300 floating items
// updated and drawn in under 0.3 ms with no pool growth; the whole frame
// (update and render) with 200 units and their bars in under 4 ms of CPU;
// the status panel and the top bar drawn in under 0.5 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "engine/render/RenderStateCache.h"
#include "platform/Clock.h"
#include "platform/GfxRecordingDevice.h"
#include "screens/game/FloatingTextManager.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/StatusPanel.h"
#include "screens/game/TopBarPanel.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "world/SpatialTree.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

class NullFont : public IUiFont {
public:
    void Measure(std::string_view text, int32_t* w, int32_t* h) const override {
        *w = static_cast<int32_t>(text.size()) * 7;
        *h = 12;
    }
    void Draw(int32_t, int32_t, std::string_view, uint32_t) override {}
    int32_t LineHeight() const override { return 12; }
};

uint32_t g_now = 1000;
uint32_t Now() { return g_now; }

// The sample map with armies in view of an overview camera, a recording
// device behind the state cache and a host with the bars switched on.
struct RenderWorld {
    CWorldHarness harness;
    CClientSession session;
    platform::CGfxRecordingDevice device;
    CRenderStateCache cache;
    CRecordingScreenHost host;
    NullFont fonts[3];
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
    int units = 0;

    explicit RenderWorld(int perSide) {
        if (!harness.ok()) return;
        harness.MakeCurrent(0);
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        g_pClientSession = &session;
        cache.SetDevice(&device);
        host.ui.SetDevice(&device);
        for (NullFont& f : fonts) host.ui.AddFont(&f);
        host.options.showUnitHP = 1;
        std::vector<int32_t> red, blue;
        harness.SpawnArmies(perSide, &red, &blue);
        harness.Step(1.0f / 30);  // places the bounds
        units = static_cast<int>(red.size() + blue.size());
        camera.SetLookAt({160, 420, -120}, {160, 0, 160}, CPlayScreen::kFieldOfView);
        camera.SetProjection(1024, 768);
        camera.view = platform::MatrixLookAtLH(camera.eye, camera.target, camera.up);
        harness.machine(0).map->objects.gameMode = 1;
        PlayContext context;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        screen = std::make_unique<CPlayScreen>(context);
        screen->CullView();
    }
    ~RenderWorld() {
        screen.reset();
        g_pClientSession = nullptr;
        host.ui.ClearFonts();
    }
};

void BM_DrawUnitBars300(benchmark::State& state) {
    RenderWorld w(BenchScale(150, 20));
    if (!w.screen) {
        state.SkipWithError(w.harness.Error().c_str());
        return;
    }
    uint32_t draws = 0;
    for (auto _ : state) {
        const uint32_t before = w.device.DrawCount();
        w.screen->DrawUnitBars();
        draws = w.device.DrawCount() - before;
        w.device.ClearLog();
    }
    state.counters["bars"] = static_cast<double>(g_pSpatialTree->VisibleList().size());
    state.counters["draws"] = draws;
}
BENCHMARK(BM_DrawUnitBars300)->Unit(benchmark::kMicrosecond);

void BM_DrawUnitBars300OneByOne(benchmark::State& state) {
    RenderWorld w(BenchScale(150, 20));
    if (!w.screen) {
        state.SkipWithError(w.harness.Error().c_str());
        return;
    }
    std::vector<CWorldObject*> shown;
    for (CSceneObject* o : g_pSpatialTree->VisibleList())
        if (o && (o->flags & WO_WORLD_OBJECT)) shown.push_back(static_cast<CWorldObject*>(o));
    for (auto _ : state) {
        for (CWorldObject* o : shown) w.screen->DrawUnitBar(o, 0);
        w.device.ClearLog();
    }
}
BENCHMARK(BM_DrawUnitBars300OneByOne)->Unit(benchmark::kMicrosecond);

// Items of every kind, renewed as they finish, on a canvas that draws nothing.
class NullCanvas : public IFloatingTextCanvas {
public:
    void DrawSprite(platform::CGfxTexture*, const float*, float, float, float, float, uint32_t) override {}
    void DrawText(uint32_t, int32_t, int32_t, std::string_view, uint32_t) override {}
    platform::Vec3 Project(const CCamera*, const platform::Vec3& p) override { return {p.x, p.z, 0.5f}; }
    bool FogHidden(const platform::Vec3&) override { return false; }
};

void BM_FloatingItems300(benchmark::State& state) {
    const size_t count = static_cast<size_t>(BenchScale(300, 30));
    CFloatingTextManager manager;
    NullCanvas canvas;
    auto refill = [&] {
        while (manager.Items().size() < count) {
            const size_t i = manager.Items().size();
            if (i % 3 == 0) {
                auto* d = static_cast<CDamageText*>(manager.CreateItem(FT_DAMAGE));
                d->Setup({static_cast<float>(i), 0, 0}, "1234", 0xFFFF0000u, 1.0f, 30.0f, 1.0f, 1, nullptr, 0,
                         nullptr, 0);
                manager.Add(d);
            } else if (i % 3 == 1) {
                auto* a = static_cast<CMapAlertMarker*>(manager.CreateItem(FT_MAP_ALERT));
                a->Setup(nullptr, nullptr, 0xFFFFFFFFu, 10, 10, 5, 5, 0);
                manager.Add(a);
            } else {
                auto* t = static_cast<CWorldText*>(manager.CreateItem(FT_WORLD_TEXT));
                t->holdTime = 1.0f;
                t->fadeRate = 1.0f;
                manager.Add(t);
            }
        }
    };
    refill();
    manager.Update(0.016f);
    const size_t chunks = manager.PoolChunks();
    for (auto _ : state) {
        refill();
        manager.Update(0.016f);
        manager.Draw(canvas, 1);
        manager.Draw(canvas, 0);
    }
    state.counters["items"] = static_cast<double>(manager.Items().size());
    state.counters["chunks_grown"] = static_cast<double>(manager.PoolChunks() - chunks);
}
BENCHMARK(BM_FloatingItems300)->Unit(benchmark::kMicrosecond);

void BM_PlayFrame200Units(benchmark::State& state) {
    RenderWorld w(BenchScale(100, 10));
    if (!w.screen) {
        state.SkipWithError(w.harness.Error().c_str());
        return;
    }
    platform::SetClockSource(&Now);
    w.screen->Update();  // the load step
    for (auto _ : state) {
        g_now += 16;
        w.screen->Update();
        w.screen->Render();
        w.device.ClearLog();
    }
    platform::SetClockSource(nullptr);
    state.counters["units"] = w.units;
}
BENCHMARK(BM_PlayFrame200Units)->Unit(benchmark::kMicrosecond);

void BM_HudStripsRender(benchmark::State& state) {
    RenderWorld w(BenchScale(6, 2));
    if (!w.screen) {
        state.SkipWithError(w.harness.Error().c_str());
        return;
    }
    platform::SetClockSource(&Now);
    w.screen->Update();  // the load step makes the windows
    platform::SetClockSource(nullptr);
    CStatusPanel* status = w.screen->StatusPanel();
    CTopBarPanel* top = w.screen->TopBar();
    if (!status || !top) {
        state.SkipWithError("the HUD strips did not load");
        return;
    }
    status->Refresh();
    w.host.ui.BeginDraw();
    for (auto _ : state) {
        status->Render();
        top->Render();
        w.device.ClearLog();
    }
    w.host.ui.EndDraw();
}
BENCHMARK(BM_HudStripsRender)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
