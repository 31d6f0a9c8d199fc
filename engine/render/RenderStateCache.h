// The device holder every renderer reads: the one render device, with state
// setters that reach it only when the value changes. The device's own record
// of its state is the cache (engine/render/DeviceStates.h), so a value set by
// any other path, or the defaults after a reset, are never missed.
#pragma once

#include <cstdint>

namespace platform {
class CGfxDevice;
}

class CRenderStateCache {
public:
    CRenderStateCache();
    virtual ~CRenderStateCache();
    CRenderStateCache(const CRenderStateCache&) = delete;
    CRenderStateCache& operator=(const CRenderStateCache&) = delete;

    platform::CGfxDevice* GetDevice() const { return m_device; }
    void SetDevice(platform::CGfxDevice* device) { m_device = device; }

    // Device results; GFX_OK (0) when the device already held the value.
    int32_t SetRenderState(uint32_t state, uint32_t value);
    int32_t SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
    int32_t SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value);

private:
    platform::CGfxDevice* m_device = nullptr;
};

// The process-wide holder (the application framework), or null.
extern CRenderStateCache* g_pRenderStateCache;
// The device of the holder, or null.
platform::CGfxDevice* GetDevice();
