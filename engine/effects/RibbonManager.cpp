#include "engine/effects/RibbonManager.h"

#include <algorithm>

#include "engine/render/DeviceStates.h"
#include "engine/render/RenderStateCache.h"
#include "platform/GfxDevice.h"

using namespace platform;

CRibbonManager* g_pRibbonManager = nullptr;

CRibbonManager::CRibbonManager() {
    if (!g_pRibbonManager) g_pRibbonManager = this;
}

CRibbonManager::~CRibbonManager() {
    if (g_pRibbonManager == this) g_pRibbonManager = nullptr;
}

CRibbonTrail* CRibbonManager::CreateRibbon(CGameObject* owner, int32_t firstPoint, int32_t secondPoint) {
    auto trail = std::make_unique<CRibbonTrail>();
    trail->Setup(owner, firstPoint, secondPoint);
    m_trails.push_back(std::move(trail));
    return m_trails.back().get();
}

void CRibbonManager::RemoveRibbon(CRibbonTrail* trail) {
    if (!trail) return;
    auto it = std::find_if(m_trails.begin(), m_trails.end(), [trail](const auto& t) { return t.get() == trail; });
    if (it == m_trails.end()) {
        delete trail;
        return;
    }
    m_trails.erase(it);
}

void CRibbonManager::DrawAll() {
    CGfxDevice* device = GetDevice();
    if (m_trails.empty() || !device) return;
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(*device, RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderStateCached(*device, RS_DESTBLEND, BLEND_INVSRCALPHA);
    SetRenderStateCached(*device, RS_ZWRITEENABLE, 0);
    SetRenderStateCached(*device, RS_LIGHTING, 0);
    SetRenderStateCached(*device, RS_CULLMODE, CULL_NONE);
    SetStageStateCached(*device, 0, TSS_COLOROP, TOP_SELECTARG1);
    SetStageStateCached(*device, 0, TSS_COLORARG1, TA_DIFFUSE);
    SetStageStateCached(*device, 0, TSS_ALPHAOP, TOP_SELECTARG1);
    SetStageStateCached(*device, 0, TSS_ALPHAARG1, TA_DIFFUSE);
    for (auto& trail : m_trails) trail->Draw();
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 0);
    SetRenderStateCached(*device, RS_ZWRITEENABLE, 1);
    SetRenderStateCached(*device, RS_LIGHTING, 1);
    SetRenderStateCached(*device, RS_CULLMODE, CULL_CCW);
    SetStageStateCached(*device, 0, TSS_COLOROP, TOP_MODULATE);
    SetStageStateCached(*device, 0, TSS_COLORARG1, TA_TEXTURE);
    SetStageStateCached(*device, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(*device, 0, TSS_ALPHAARG1, TA_TEXTURE);
}

// The bands draw from memory, so there is nothing to make on a new device.
int CRibbonManager::RestoreTrailBuffers() { return 1; }

void CRibbonManager::ReleaseTrailBuffers() {
    for (auto& trail : m_trails) trail->ReleaseBuffer();
}
