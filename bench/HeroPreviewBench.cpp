// The lobby's hero preview on the headless GL device at 1024 x 768: the
// pass into the preview's own target against drawing the same backdrop and
// hero straight into the back buffer, in the same run. Target: the pass
// costs at most 1.2 times the straight drawing. Each frame ends with a
// present, so that the drawing is finished before the clock stops.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/RenderStateCache.h"
#include "platform/GfxGlDevice.h"
#include "screens/lobby/HeroPreview.h"
#include "tests/fixtures/SampleResources.h"
#include "tools/SampleGameFolder.h"

using namespace platform;

namespace {

const Vec3 kEye{0, 8.0f, -25.0f};
const Vec3 kTarget{0, 5.0f, 0};

// A settled preview of the sample hero on its backdrop, on a device of its own.
struct PreviewScene {
    PreviewScene() {
        GfxPresentParameters pp;
        pp.backBufferWidth = 1024;
        pp.backBufferHeight = 768;
        pp.enableAutoDepthStencil = 1;
        pp.autoDepthStencilFormat = FMT_D24S8;
        device = CGfxGlDevice::CreateHeadless(pp);
        if (!device) return;
        states.SetDevice(device.get());
        const std::string folder = BenchFolder("HeroPreview");
        if (MakeSampleGameFolder(folder) != 1) return;
        resources = MakeSampleResources(folder, device.get());
        if (!resources) return;
        preview = std::make_unique<CHeroPreview>(Vec3{0, 0, 30.0f}, kTarget);
        if (!preview->SetUp({"UI_CHA_SELECT_V_BG.DRC"}) || !preview->LoadModel("SAMPLE.DRC", kEye, kTarget)) return;
        for (int i = 0; i < 3; ++i) preview->Update(1.0f, false);
        ready = true;
    }
    ~PreviewScene() {
        preview.reset();
        resources.reset();
    }
    void BeginFrame() {
        device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0);
        device->BeginScene();
    }
    void EndFrame() {
        device->EndScene();
        device->Present();
    }

    CErrorReport report;
    CMessageTable messages;
    CRenderStateCache states;
    std::unique_ptr<CGfxGlDevice> device;
    std::unique_ptr<CResourceManager> resources;
    std::unique_ptr<CHeroPreview> preview;
    bool ready = false;
};

void BM_HeroPreviewStraight(benchmark::State& state) {
    PreviewScene scene;
    if (!scene.ready) {
        state.SkipWithError(scene.device ? "the sample preview did not load" : "no headless GL device");
        return;
    }
    CGfxDevice& device = *scene.device;
    const Matrix view = scene.preview->View().ViewMatrix();
    const Matrix& projection = scene.preview->View().Camera().projection;
    for (auto _ : state) {
        scene.BeginFrame();
        device.SetTransform(TS_VIEW, &view);
        device.SetTransform(TS_PROJECTION, &projection);
        SetRenderStateCached(device, RS_LIGHTING, 0);
        SetRenderStateCached(device, RS_ZENABLE, 0);
        scene.preview->Backdrop(0).Render();
        SetRenderStateCached(device, RS_ZENABLE, 1);
        scene.preview->Hero().Render();
        SetRenderStateCached(device, RS_LIGHTING, 1);
        scene.EndFrame();
    }
}
BENCHMARK(BM_HeroPreviewStraight)->Unit(benchmark::kMicrosecond);

void BM_HeroPreviewPass(benchmark::State& state) {
    PreviewScene scene;
    if (!scene.ready) {
        state.SkipWithError(scene.device ? "the sample preview did not load" : "no headless GL device");
        return;
    }
    for (auto _ : state) {
        scene.BeginFrame();
        scene.preview->Render(nullptr);
        scene.EndFrame();
    }
}
BENCHMARK(BM_HeroPreviewPass)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
