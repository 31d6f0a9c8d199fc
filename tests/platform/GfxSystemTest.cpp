#include "platform/GfxSystem.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(GfxSystem, RecordingSystemAnswersAsScripted) {
    CGfxRecordingSystem system;
    EXPECT_EQ(system.GetAdapterModeCount(0, FMT_X8R8G8B8), 3u);
    GfxDisplayMode mode;
    ASSERT_EQ(system.EnumAdapterModes(0, FMT_X8R8G8B8, 1, &mode), GFX_OK);
    EXPECT_EQ(mode.width, 1024u);
    EXPECT_EQ(system.EnumAdapterModes(0, FMT_X8R8G8B8, 3, &mode), GFXERR_INVALIDCALL);
    EXPECT_EQ(system.GetAdapterModeCount(1, FMT_X8R8G8B8), 0u);

    // Only D16 left: the framework's depth fall-back ends there.
    system.depthFormats = {FMT_D16};
    struct Case {
        uint32_t format;
        GfxResult want;
    } depth[] = {{FMT_D24S8, GFXERR_NOTAVAILABLE}, {FMT_D24X8, GFXERR_NOTAVAILABLE}, {FMT_D16, GFX_OK}};
    for (const auto& c : depth) {
        EXPECT_EQ(system.CheckDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, USAGE_DEPTHSTENCIL, 1, c.format), c.want);
        EXPECT_EQ(system.CheckDepthStencilMatch(0, DEVTYPE_HAL, FMT_X8R8G8B8, FMT_X8R8G8B8, c.format), c.want);
    }

    // Creation failures are counted and every attempt's parameters kept.
    system.failCreates = 1;
    GfxPresentParameters p;
    p.backBufferWidth = 1024;
    p.backBufferHeight = 768;
    p.enableAutoDepthStencil = 1;
    p.autoDepthStencilFormat = FMT_D24S8;
    std::unique_ptr<CGfxDevice> device;
    EXPECT_EQ(system.CreateDevice(0, DEVTYPE_HAL, nullptr, CREATE_MULTITHREADED, &p, &device), GFXERR_NOTAVAILABLE);
    EXPECT_EQ(system.CreateDevice(0, DEVTYPE_HAL, nullptr, CREATE_MULTITHREADED, &p, &device), GFXERR_NOTAVAILABLE);
    p.autoDepthStencilFormat = FMT_D16;
    ASSERT_EQ(system.CreateDevice(0, DEVTYPE_HAL, nullptr, CREATE_MULTITHREADED, &p, &device), GFX_OK);
    ASSERT_EQ(system.createCalls.size(), 3u);
    EXPECT_EQ(system.createCalls[1].autoDepthStencilFormat, static_cast<uint32_t>(FMT_D24S8));
    EXPECT_EQ(device->GetPresentParameters().backBufferFormat, static_cast<uint32_t>(FMT_X8R8G8B8));
    system.capsResult = GFXERR_NOTAVAILABLE;
    GfxCaps caps;
    EXPECT_EQ(system.GetDeviceCaps(0, DEVTYPE_HAL, &caps), GFXERR_NOTAVAILABLE);
}

TEST(GfxSystem, GlSystemCreatesAHeadlessDevice) {
    CGfxGlSystem system;
    GfxAdapterIdentifier id;
    ASSERT_EQ(system.GetAdapterIdentifier(0, 0, &id), GFX_OK);
    GfxCaps caps;
    ASSERT_EQ(system.GetDeviceCaps(0, DEVTYPE_HAL, &caps), GFX_OK);
    EXPECT_NE(caps.devCaps & DEVCAPS_HWTRANSFORMANDLIGHT, 0u);
    EXPECT_GT(system.GetAdapterModeCount(0, FMT_X8R8G8B8), 0u);
    for (uint32_t f : {FMT_D16, FMT_D24X8, FMT_D24S8})
        EXPECT_EQ(system.CheckDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, USAGE_DEPTHSTENCIL, 1, f), GFX_OK);
    EXPECT_EQ(system.CheckDeviceFormat(0, DEVTYPE_HAL, FMT_X8R8G8B8, USAGE_DEPTHSTENCIL, 1, FMT_A8R8G8B8),
              GFXERR_NOTAVAILABLE);
    EXPECT_EQ(system.CheckDeviceType(0, DEVTYPE_HAL, FMT_X8R8G8B8, FMT_X8R8G8B8, false), GFX_OK);

    GfxPresentParameters p;  // 0 x 0: the device picks its size
    p.enableAutoDepthStencil = 1;
    p.autoDepthStencilFormat = FMT_D24S8;
    p.presentationInterval = PRESENT_INTERVAL_IMMEDIATE;
    std::unique_ptr<CGfxDevice> device;
    ASSERT_EQ(system.CreateDevice(0, DEVTYPE_HAL, nullptr, CREATE_HARDWARE_VERTEXPROCESSING, &p, &device), GFX_OK);
    EXPECT_EQ(p.backBufferWidth, 1024u);
    EXPECT_EQ(p.backBufferHeight, 768u);
    EXPECT_EQ(device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF00FF00u, 1.0f, 0), GFX_OK);
    EXPECT_EQ(device->Present(), GFX_OK);
    p.autoDepthStencilFormat = FMT_A8R8G8B8;
    std::unique_ptr<CGfxDevice> refused;
    EXPECT_EQ(system.CreateDevice(0, DEVTYPE_HAL, nullptr, 0, &p, &refused), GFXERR_INVALIDCALL);
    EXPECT_EQ(refused, nullptr);
}
