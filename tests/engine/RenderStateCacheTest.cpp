#include "engine/render/RenderStateCache.h"

#include <gtest/gtest.h>

#include "platform/GfxRecordingDevice.h"

using namespace platform;

TEST(RenderStateCache, RepeatedValuesStayInTheCacheUntilAReset) {
    CGfxRecordingDevice device;
    CRenderStateCache cache;
    EXPECT_EQ(g_pRenderStateCache, &cache);
    EXPECT_EQ(cache.SetRenderState(RS_ZENABLE, 1), GFXERR_INVALIDCALL);  // no device yet
    cache.SetDevice(&device);
    EXPECT_EQ(GetDevice(), &device);
    device.ClearLog();
    for (int i = 0; i < 3; ++i) {
        cache.SetRenderState(RS_ZENABLE, 0);
        cache.SetTextureStageState(1, TSS_COLOROP, TOP_MODULATE);
        cache.SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
        cache.SetSamplerState(3, SAMP_MINFILTER, TEXF_LINEAR);  // outside the cache: always sent
    }
    EXPECT_EQ(device.Count("RenderState"), 1u);
    EXPECT_EQ(device.Count("StageState"), 1u);
    EXPECT_EQ(device.Count("Sampler 0"), 1u);
    EXPECT_EQ(device.Count("Sampler 3"), 3u);
    cache.ResetStateCache();
    cache.SetRenderState(RS_ZENABLE, 0);
    EXPECT_EQ(device.Count("RenderState"), 2u);
}
