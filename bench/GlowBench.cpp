// The glow's four passes at 1024 x 768 on the headless GL device; first
// target 15 ms a frame. Each frame ends with a present, so that the passes
// are finished before the clock stops.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/render/ZEMGauss.h"
#include "platform/GfxGlDevice.h"
#include "tools/StandardEffects.h"

using namespace platform;

namespace {

void BM_GlowFourPasses1024x768(benchmark::State& state) {
    GfxPresentParameters pp;
    pp.backBufferWidth = 1024;
    pp.backBufferHeight = 768;
    pp.enableAutoDepthStencil = 1;
    pp.autoDepthStencilFormat = FMT_D24S8;
    auto device = CGfxGlDevice::CreateHeadless(pp);
    if (!device) {
        state.SkipWithError("no headless GL device");
        return;
    }
    std::vector<uint8_t> bytes = GaussEffectFile();
    CGfxEffect* effect = nullptr;
    if (CreateEffect(device.get(), bytes.data(), bytes.size(), &effect) != GFX_OK) {
        state.SkipWithError("the glow effect did not build");
        return;
    }
    {
        CZEMGauss glow(device.get());
        glow.SetSize(1024, 768, 0.25f);
        if (!glow.Create(effect, FMT_A8R8G8B8)) state.SkipWithError("no glow targets");
        GfxRect square{400, 300, 600, 450};
        for (auto _ : state) {
            device->SetRenderTarget(0, glow.Surface(0));
            device->Clear(1, &square, CLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
            glow.Render();
            device->Present();
        }
        glow.Release();
    }
    GfxRelease(effect);
}
BENCHMARK(BM_GlowFourPasses1024x768)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
