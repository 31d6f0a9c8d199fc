// The render-state cache.
#include "engine/RenderStateCache.h"

#include "platform/GfxDevice.h"

CRenderStateCache* g_pRenderStateCache = nullptr;

platform::CGfxDevice* GetDevice() { return g_pRenderStateCache ? g_pRenderStateCache->GetDevice() : nullptr; }

CRenderStateCache::CRenderStateCache() {
    ResetStateCache();
    if (!g_pRenderStateCache) g_pRenderStateCache = this;
}

CRenderStateCache::~CRenderStateCache() {
    if (g_pRenderStateCache == this) g_pRenderStateCache = nullptr;
}

void CRenderStateCache::ResetStateCache() {
    m_render.fill(kUnknown);
    m_stage.fill(kUnknown);
    m_sampler.fill(kUnknown);
}

int32_t CRenderStateCache::SetRenderState(uint32_t state, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    if (state < kRenderStates) {
        if (m_render[state] == value) return platform::GFX_OK;
        int32_t r = m_device->SetRenderState(state, value);
        // A refused value is not cached, so the next set tries again.
        if (r == platform::GFX_OK) m_render[state] = value;
        return r;
    }
    return m_device->SetRenderState(state, value);
}

int32_t CRenderStateCache::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    if (stage < kStages && type >= 1 && type <= kStageTypes) {
        uint32_t& slot = m_stage[stage * kStageTypes + type - 1];
        if (slot == value) return platform::GFX_OK;
        int32_t r = m_device->SetTextureStageState(stage, type, value);
        if (r == platform::GFX_OK) slot = value;
        return r;
    }
    return m_device->SetTextureStageState(stage, type, value);
}

int32_t CRenderStateCache::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    if (sampler < kSamplers && type >= 1 && type <= kSamplerTypes) {
        uint32_t& slot = m_sampler[sampler * kSamplerTypes + type - 1];
        if (slot == value) return platform::GFX_OK;
        int32_t r = m_device->SetSamplerState(sampler, type, value);
        if (r == platform::GFX_OK) slot = value;
        return r;
    }
    return m_device->SetSamplerState(sampler, type, value);
}
