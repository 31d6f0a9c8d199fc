// The device holder every renderer reads: the one render device and a cache of
// the render, stage and sampler states last sent to it, so that repeated sets
// of the same value never reach the device. After a device reset the device
// has its defaults again, so ResetStateCache forgets every cached value.
#pragma once

#include <array>
#include <cstdint>

namespace platform {
class CGfxDevice;
}

class CRenderStateCache {
public:
    // Cached ranges: render states 0..208, stages 0..1 with types 1..32,
    // samplers 0..1 with types 1..13. Anything outside goes to the device uncached.
    static constexpr uint32_t kRenderStates = 209;
    static constexpr uint32_t kStages = 2, kStageTypes = 32;
    static constexpr uint32_t kSamplers = 2, kSamplerTypes = 13;
    // "No cached value": the next set always reaches the device.
    static constexpr uint32_t kUnknown = 0xF8F8F8F8u;

    CRenderStateCache();
    virtual ~CRenderStateCache();
    CRenderStateCache(const CRenderStateCache&) = delete;
    CRenderStateCache& operator=(const CRenderStateCache&) = delete;

    platform::CGfxDevice* GetDevice() const { return m_device; }
    void SetDevice(platform::CGfxDevice* device) { m_device = device; }

    void ResetStateCache();
    // Device results; GFX_OK (0) when the cache already held the value.
    int32_t SetRenderState(uint32_t state, uint32_t value);
    int32_t SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
    int32_t SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value);

private:
    platform::CGfxDevice* m_device = nullptr;
    std::array<uint32_t, kRenderStates> m_render;
    std::array<uint32_t, kStages * kStageTypes> m_stage;
    std::array<uint32_t, kSamplers * kSamplerTypes> m_sampler;
};

// The process-wide holder (the application framework), or null.
extern CRenderStateCache* g_pRenderStateCache;
// The device of the holder, or null.
platform::CGfxDevice* GetDevice();
