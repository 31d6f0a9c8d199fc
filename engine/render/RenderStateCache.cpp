// The render-state cache.
#include "engine/render/RenderStateCache.h"

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

namespace {

// Sends the value unless the slot already holds it; a refused value is not
// cached, so the next set tries again. No slot: always sent.
template <typename Send>
int32_t SetCached(uint32_t* slot, uint32_t value, Send send) {
    if (slot && *slot == value) return platform::GFX_OK;
    const int32_t r = send();
    if (slot && r == platform::GFX_OK) *slot = value;
    return r;
}

}  // namespace

int32_t CRenderStateCache::SetRenderState(uint32_t state, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    uint32_t* slot = state < kRenderStates ? &m_render[state] : nullptr;
    return SetCached(slot, value, [&] { return m_device->SetRenderState(state, value); });
}

int32_t CRenderStateCache::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    uint32_t* slot =
        stage < kStages && type >= 1 && type <= kStageTypes ? &m_stage[stage * kStageTypes + type - 1] : nullptr;
    return SetCached(slot, value, [&] { return m_device->SetTextureStageState(stage, type, value); });
}

int32_t CRenderStateCache::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (!m_device) return platform::GFXERR_INVALIDCALL;
    uint32_t* slot = sampler < kSamplers && type >= 1 && type <= kSamplerTypes
                         ? &m_sampler[sampler * kSamplerTypes + type - 1]
                         : nullptr;
    return SetCached(slot, value, [&] { return m_device->SetSamplerState(sampler, type, value); });
}
