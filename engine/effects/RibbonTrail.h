// The band a weapon or limb leaves behind: the owner hands it the world
// matrix and the action's recorded attach points each frame, and it keeps
// the newest positions. This small version keeps only what the game object
// hands over; the effects work replaces it with the drawn band under the
// same operations.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/ModelResource.h"
#include "platform/Math.h"

class CGameObject;

class CRibbonTrail {
public:
    virtual ~CRibbonTrail() = default;

    void Setup(CGameObject* owner, int32_t firstPoint, int32_t secondPoint);
    // The action's switch and its four values (colour and alpha), as the action starts.
    void SetStyle(uint32_t on, const uint32_t values[4]);
    void Update(const platform::Matrix& ownerMatrix, const std::vector<TrailPoint>* samples, float time);
    void ClearSegments() {
        segmentsCleared++;
        updates = 0;
    }
    void Draw() {}

    CGameObject* owner = nullptr;
    int32_t points[2] = {-1, -1};
    uint32_t ready = 0;
    uint32_t active = 0;
    std::array<uint32_t, 4> style{};
    platform::Matrix matrix = platform::Matrix::Identity();
    float lastTime = 0;
    uint32_t updates = 0;
    uint32_t segmentsCleared = 0;
};

class CRibbonManager {
public:
    CRibbonManager();
    ~CRibbonManager();
    CRibbonManager(const CRibbonManager&) = delete;
    CRibbonManager& operator=(const CRibbonManager&) = delete;

    CRibbonTrail* CreateRibbon(CGameObject* owner, int32_t firstPoint, int32_t secondPoint);
    // Null or unknown trails are ignored.
    void RemoveRibbon(CRibbonTrail* trail);
    void DrawAll();
    size_t Count() const { return m_trails.size(); }

private:
    std::vector<std::unique_ptr<CRibbonTrail>> m_trails;
};

extern CRibbonManager* g_pRibbonManager;
