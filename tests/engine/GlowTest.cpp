#include "engine/render/ZEMGauss.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tools/StandardEffects.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 64;

uint32_t Red(uint32_t argb) { return (argb >> 16) & 0xFF; }

}  // namespace

TEST(GlowWeights, FollowTheGaussianOfDeviationSeven) {
    float w[CZEMGauss::kTaps];
    ComputeGaussWeights(7.0f, 1.5f, w);
    const float expected[] = {0.085488f, 0.084620f, 0.082069f, 0.077986f, 0.072610f, 0.066239f, 0.059206f};
    for (int i = 0; i < CZEMGauss::kTaps; ++i) EXPECT_NEAR(w[i], expected[i], 1e-5f) << i;
}

TEST(Glow, ReleaseIsHarmlessAndASizeOfZeroDividesNothing) {
    CGfxRecordingDevice device;
    CGfxEffect* effect = nullptr;
    std::vector<uint8_t> bytes = GaussEffectFile();
    ASSERT_EQ(CreateEffect(&device, bytes.data(), bytes.size(), &effect), GFX_OK);
    {
        CZEMGauss glow(&device);
        glow.Release();
        glow.SetSize(0, 0, 0.25f);
        glow.Create(effect, FMT_A8R8G8B8);
        glow.Render();
        glow.Release();
        glow.Release();
        EXPECT_EQ(CZEMGauss::LiveCount(), 1u);
    }
    EXPECT_EQ(CZEMGauss::LiveCount(), 0u);
    EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);
    GfxRelease(effect);
}

TEST(Glow, ABrightSquareGlowsAroundItsEdges) {
    auto device = CreateHeadlessGl(kSize, true);
    ASSERT_NE(device, nullptr);
    CGfxEffect* effect = nullptr;
    std::string errors;
    std::vector<uint8_t> bytes = GaussEffectFile();
    ASSERT_EQ(CreateEffect(device.get(), bytes.data(), bytes.size(), &effect, &errors), GFX_OK) << errors;

    CZEMGauss glow(device.get());
    glow.SetSize(kSize, kSize, 0.25f);
    ASSERT_EQ(glow.Create(effect, FMT_A8R8G8B8), 1);
    // The scene: a white 16 x 16 square in the middle of black.
    device->SetRenderTarget(0, glow.Surface(0));
    device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    GfxRect square{24, 24, 40, 40};
    device->Clear(1, &square, CLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    glow.Render();

    const std::vector<uint32_t> px = ReadBackBuffer(*device);
    ASSERT_EQ(px.size(), static_cast<size_t>(kSize) * kSize);
    auto at = [&](int x, int y) { return Red(px[static_cast<size_t>(y) * kSize + x]); };
    EXPECT_GT(at(32, 32), 0xF0u);  // the square itself
    for (int d : {2, 3}) {         // just outside each edge
        EXPECT_GT(at(40 + d, 32), 0x20u) << d;
        EXPECT_GT(at(23 - d, 32), 0x20u) << d;
        EXPECT_GT(at(32, 40 + d), 0x20u) << d;
        EXPECT_GT(at(32, 23 - d), 0x20u) << d;
    }
    EXPECT_LT(at(4, 4), 0x08u);  // beyond the kernel's reach
    EXPECT_LT(at(60, 60), 0x08u);
    glow.Release();
    GfxRelease(effect);
}
