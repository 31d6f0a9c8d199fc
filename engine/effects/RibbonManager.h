// The ribbon trails of every object: created and removed by the objects that
// bind a model with ribbon frames, drawn once per frame all together with the
// states they share.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/effects/RibbonTrail.h"

class CRibbonManager {
public:
    CRibbonManager();
    virtual ~CRibbonManager();
    CRibbonManager(const CRibbonManager&) = delete;
    CRibbonManager& operator=(const CRibbonManager&) = delete;

    CRibbonTrail* CreateRibbon(CGameObject* owner, int32_t firstPoint, int32_t secondPoint);
    // Null is ignored; a trail the manager does not hold is deleted without touching the list.
    void RemoveRibbon(CRibbonTrail* trail);
    void DrawAll();
    int RestoreTrailBuffers();
    void ReleaseTrailBuffers();
    size_t Count() const { return m_trails.size(); }

private:
    std::vector<std::unique_ptr<CRibbonTrail>> m_trails;
};

extern CRibbonManager* g_pRibbonManager;
