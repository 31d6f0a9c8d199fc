// The device holder.
#include "engine/render/RenderStateCache.h"

#include "engine/render/DeviceStates.h"
#include "platform/GfxDevice.h"

CRenderStateCache* g_pRenderStateCache = nullptr;

platform::CGfxDevice* GetDevice() { return g_pRenderStateCache ? g_pRenderStateCache->GetDevice() : nullptr; }

CRenderStateCache::CRenderStateCache() {
    if (!g_pRenderStateCache) g_pRenderStateCache = this;
}

CRenderStateCache::~CRenderStateCache() {
    if (g_pRenderStateCache == this) g_pRenderStateCache = nullptr;
}

int32_t CRenderStateCache::SetRenderState(uint32_t state, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    return SetRenderStateCached(*m_device, state, value);
}

int32_t CRenderStateCache::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    return SetStageStateCached(*m_device, stage, type, value);
}

int32_t CRenderStateCache::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    return SetSamplerStateCached(*m_device, sampler, type, value);
}
