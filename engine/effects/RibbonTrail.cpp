#include "engine/effects/RibbonTrail.h"

#include <algorithm>

CRibbonManager* g_pRibbonManager = nullptr;

void CRibbonTrail::Setup(CGameObject* trailOwner, int32_t firstPoint, int32_t secondPoint) {
    owner = trailOwner;
    points[0] = firstPoint;
    points[1] = secondPoint;
    ready = 1;
}

void CRibbonTrail::SetStyle(uint32_t on, const uint32_t values[4]) {
    active = on;
    std::copy(values, values + 4, style.begin());
}

void CRibbonTrail::Update(const platform::Matrix& ownerMatrix, const std::vector<TrailPoint>* /*samples*/, float time) {
    matrix = ownerMatrix;
    lastTime = time;
    ++updates;
}

CRibbonManager::CRibbonManager() {
    if (!g_pRibbonManager) g_pRibbonManager = this;
}

CRibbonManager::~CRibbonManager() {
    if (g_pRibbonManager == this) g_pRibbonManager = nullptr;
}

CRibbonTrail* CRibbonManager::CreateRibbon(CGameObject* owner, int32_t firstPoint, int32_t secondPoint) {
    m_trails.push_back(std::make_unique<CRibbonTrail>());
    m_trails.back()->Setup(owner, firstPoint, secondPoint);
    return m_trails.back().get();
}

void CRibbonManager::RemoveRibbon(CRibbonTrail* trail) {
    auto it = std::find_if(m_trails.begin(), m_trails.end(), [trail](const auto& t) { return t.get() == trail; });
    if (trail && it != m_trails.end()) m_trails.erase(it);
}

void CRibbonManager::DrawAll() {
    for (auto& trail : m_trails) trail->Draw();
}
