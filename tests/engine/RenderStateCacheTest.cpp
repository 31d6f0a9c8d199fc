#include "engine/render/RenderStateCache.h"

#include <gtest/gtest.h>

#include "engine/render/DeviceStates.h"
#include "platform/GfxRecordingDevice.h"

using namespace platform;

TEST(RenderStateCache, RepeatedValuesNeverReachTheDevice) {
    CGfxRecordingDevice device;
    CRenderStateCache cache;
    EXPECT_EQ(g_pRenderStateCache, &cache);
    EXPECT_EQ(cache.SetRenderState(RS_ZENABLE, 1), GFXERR_INVALIDCALL);  // no device yet
    cache.SetDevice(&device);
    EXPECT_EQ(GetDevice(), &device);
    device.ClearLog();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cache.SetRenderState(RS_LIGHTING, 0), GFX_OK);
        EXPECT_EQ(cache.SetTextureStageState(1, TSS_COLOROP, TOP_MODULATE), GFX_OK);
        EXPECT_EQ(cache.SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR), GFX_OK);
        EXPECT_EQ(cache.SetSamplerState(3, SAMP_MINFILTER, TEXF_LINEAR), GFX_OK);
    }
    EXPECT_EQ(device.Count("RenderState"), 1u);
    EXPECT_EQ(device.Count("StageState"), 1u);
    EXPECT_EQ(device.Count("Sampler 0"), 1u);
    EXPECT_EQ(device.Count("Sampler 3"), 1u);
}

// One record, the device's: a value set by another path is never hidden by a
// stale copy.
TEST(RenderStateCache, NoCopyGoesStaleBehindAnotherSetter) {
    CGfxRecordingDevice device;
    CRenderStateCache cache;
    cache.SetDevice(&device);
    cache.SetRenderState(RS_LIGHTING, 0);
    cache.SetSamplerState(1, SAMP_MAGFILTER, TEXF_POINT);
    SetRenderStateCached(device, RS_LIGHTING, 1);
    device.SetSamplerState(1, SAMP_MAGFILTER, TEXF_LINEAR);
    device.ClearLog();
    cache.SetRenderState(RS_LIGHTING, 0);
    cache.SetSamplerState(1, SAMP_MAGFILTER, TEXF_POINT);
    EXPECT_EQ(device.Count("RenderState"), 1u);
    EXPECT_EQ(device.Count("Sampler 1"), 1u);
    uint32_t value = 7;
    ASSERT_EQ(device.GetRenderState(RS_LIGHTING, &value), GFX_OK);
    EXPECT_EQ(value, 0u);
}
