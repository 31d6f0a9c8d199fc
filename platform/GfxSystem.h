// The graphics system in place of the Direct3D object: adapter facts and
// capabilities, display modes, format checks and device creation. The
// client's framework asks it in the original's order and keeps its
// fall-backs (depth formats D24S8, D24X8, D16; a second and third creation
// attempt); the recording system lets tests script every answer.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/GfxDevice.h"

namespace platform {

constexpr uint32_t DEVTYPE_HAL = 1;

class CGfxSystem {
public:
    virtual ~CGfxSystem() = default;
    virtual GfxResult GetAdapterIdentifier(uint32_t adapter, uint32_t flags, GfxAdapterIdentifier* id) = 0;
    virtual GfxResult GetDeviceCaps(uint32_t adapter, uint32_t deviceType, GfxCaps* caps) = 0;
    // Over the modes of AdapterModes() that have the format, in its order.
    uint32_t GetAdapterModeCount(uint32_t adapter, uint32_t format) const;
    GfxResult EnumAdapterModes(uint32_t adapter, uint32_t format, uint32_t index, GfxDisplayMode* mode) const;
    virtual GfxResult GetAdapterDisplayMode(uint32_t adapter, GfxDisplayMode* mode) = 0;
    virtual GfxResult CheckDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t displayFormat,
                                      uint32_t backBufferFormat, bool windowed) = 0;
    virtual GfxResult CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                                        uint32_t resourceType, uint32_t checkFormat) = 0;
    virtual GfxResult CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                             uint32_t renderTargetFormat, uint32_t depthFormat) = 0;
    // window: the SDL window (created with SDL_WINDOW_OPENGL) or null for a headless device.
    virtual GfxResult CreateDevice(uint32_t adapter, uint32_t deviceType, void* window, uint32_t behaviorFlags,
                                   GfxPresentParameters* params, std::unique_ptr<CGfxDevice>* device) = 0;
    // The adapter's video memory in KB; 0 when the driver does not tell.
    virtual uint32_t VideoMemoryKb() { return 0; }

protected:
    virtual std::vector<GfxDisplayMode> AdapterModes() const = 0;
};

// The scripted system for tests; its devices are recording devices.
class CGfxRecordingSystem : public CGfxSystem {
public:
    CGfxRecordingSystem();

    // What the answers are.
    std::vector<GfxDisplayMode> modes;
    std::set<uint32_t> depthFormats{FMT_D16, FMT_D24X8, FMT_D24S8};
    std::set<uint32_t> backBufferFormats{FMT_X8R8G8B8, FMT_A8R8G8B8, FMT_R5G6B5};
    GfxCaps caps;
    GfxAdapterIdentifier identifier;
    GfxResult identifierResult = GFX_OK, capsResult = GFX_OK;
    uint32_t failCreates = 0;  // the next n CreateDevice calls fail
    // Every CreateDevice call's parameters, in order.
    std::vector<GfxPresentParameters> createCalls;
    uint32_t videoMemoryKb = 0;

    GfxResult GetAdapterIdentifier(uint32_t adapter, uint32_t flags, GfxAdapterIdentifier* id) override;
    GfxResult GetDeviceCaps(uint32_t adapter, uint32_t deviceType, GfxCaps* caps) override;
    GfxResult GetAdapterDisplayMode(uint32_t adapter, GfxDisplayMode* mode) override;
    GfxResult CheckDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t displayFormat, uint32_t backBufferFormat,
                              bool windowed) override;
    GfxResult CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                                uint32_t resourceType, uint32_t checkFormat) override;
    GfxResult CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                     uint32_t renderTargetFormat, uint32_t depthFormat) override;
    GfxResult CreateDevice(uint32_t adapter, uint32_t deviceType, void* window, uint32_t behaviorFlags,
                           GfxPresentParameters* params, std::unique_ptr<CGfxDevice>* device) override;
    uint32_t VideoMemoryKb() override { return videoMemoryKb; }

protected:
    std::vector<GfxDisplayMode> AdapterModes() const override { return modes; }
};

// The system on GL: display modes from SDL when its video is running (else
// the usual desktop sizes), devices in the given SDL window or headless.
class CGfxGlSystem : public CGfxSystem {
public:
    CGfxGlSystem();

    GfxResult GetAdapterIdentifier(uint32_t adapter, uint32_t flags, GfxAdapterIdentifier* id) override;
    GfxResult GetDeviceCaps(uint32_t adapter, uint32_t deviceType, GfxCaps* caps) override;
    GfxResult GetAdapterDisplayMode(uint32_t adapter, GfxDisplayMode* mode) override;
    GfxResult CheckDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t displayFormat, uint32_t backBufferFormat,
                              bool windowed) override;
    GfxResult CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                                uint32_t resourceType, uint32_t checkFormat) override;
    GfxResult CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                     uint32_t renderTargetFormat, uint32_t depthFormat) override;
    GfxResult CreateDevice(uint32_t adapter, uint32_t deviceType, void* window, uint32_t behaviorFlags,
                           GfxPresentParameters* params, std::unique_ptr<CGfxDevice>* device) override;
    // Asked of the driver once: GL_NVX_gpu_memory_info, GL_ATI_meminfo (free
    // texture memory) on a headless context, then Mesa's renderer query on
    // the X display.
    uint32_t VideoMemoryKb() override;

protected:
    std::vector<GfxDisplayMode> AdapterModes() const override;
};

}  // namespace platform
