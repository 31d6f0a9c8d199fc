// What lies under the cursor: the hovered object, an order's target and the
// ground point, with the hover highlight they leave, and the blinking alert
// of one object. Every pick runs on the frame's visible list along the
// camera's pick ray, and finds nothing while a HUD control has the mouse.
#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "engine/render/Camera.h"
#include "engine/render/Draw2D.h"
#include "screens/game/MiniMap.h"
#include "screens/game/PlayScreen.h"
#include "ui/ScreenHost.h"
#include "world/CombatObject.h"
#include "world/SpatialTree.h"
#include "world/TerrainEngine.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {
CWorldObjectManager* World() { return g_pWorldObjectManager; }

// Half the side of the square around the pointer that an order target's
// screen rectangle must touch.
constexpr int32_t kTargetReach = 20;

template <class Visit>
void ForEachCandidate(Visit visit) {
    if (!g_pSpatialTree) return;
    for (CSceneObject* s : g_pSpatialTree->VisibleList()) {
        if (!s || !(s->flags & WO_WORLD_OBJECT) || (s->flags & 0x120) || !s->IsVisible()) continue;
        visit(*static_cast<CWorldObject*>(s));
    }
}

bool Closer(float d, float best, int deep) { return deep ? d > best : d < best; }
}  // namespace

bool CPlayScreen::TouchesTargetSquare(const int32_t low[2], const int32_t high[2], int32_t x, int32_t y) {
    return high[0] >= x - kTargetReach && low[0] <= x + kTargetReach && high[1] >= y - kTargetReach &&
           low[1] <= y + kTargetReach;
}

void CPlayScreen::ClearHoverHighlight() {
    if (CWorldObject* o = World() ? World()->GetObjectById(m_hoveredObject) : nullptr) o->colorScale = m_hoverColor;
    m_hoveredObject = -1;
}

CWorldObject* CPlayScreen::GetHoveredObject() {
    CWorldObject* o = World() ? World()->GetObjectById(m_hoveredObject) : nullptr;
    if (!o) m_hoveredObject = -1;
    return o;
}

void CPlayScreen::SetHovered(CWorldObject& object) {
    m_hoverColor = object.colorScale;
    m_hoveredObject = object.id;
    m_markedObject = object.id;
}

CWorldObject* CPlayScreen::PickHoverObject(CWorldObject* reference, int deep) {
    ClearHoverHighlight();
    if (!CursorOverWorld() || !m_camera) return nullptr;
    const Vec3 origin = m_camera->rayOrigin, direction = m_camera->rayDirection;
    auto* attacker = reference && reference->IsCombatObject() ? static_cast<CCombatObject*>(reference) : nullptr;
    float best = deep ? 0.0f : m_camera->farPlane;
    bool targetable = false;
    CWorldObject* result = nullptr;
    ForEachCandidate([&](CWorldObject& o) {
        if (!o.alive || (o.stateFlags & 0x200000) || &o == reference) return;
        float d = 0;
        if (!o.IntersectRay(origin, direction, &d, nullptr, 1) || !Closer(d, best, deep)) return;
        if (attacker && CCombatObject::CanTarget(&o, *attacker, 0)) {
            result = &o;
            best = d;
            targetable = true;
        } else if (!targetable) {
            result = &o;
        }
    });
    if (!result && reference) {
        float d = 0;
        if (reference->IntersectRay(origin, direction, &d, nullptr, 1)) result = reference;
    }
    if (!result) return nullptr;
    if (result->flags & WO_ITEM) {
        CWorldObject* shown = PanelObject();
        if (shown && !(shown->stateFlags & 0x80000)) SetCursor(22);
    } else if (targetable) {
        SetCursor(14);
    }
    SetHovered(*result);
    return result;
}

CWorldObject* CPlayScreen::PickOrderTarget(CCombatObject* actor, uint32_t stateMask, uint32_t relationMask,
                                           int32_t* failure, int enemyTest, int deep) {
    ClearHoverHighlight();
    if (failure) *failure = -1;
    if (!CursorOverWorld() || !m_camera || !actor || !World()) return nullptr;
    CZEMDXInput* in = InputDevice();
    CursorPoint cursor{};
    if (in) in->GetCursor(&cursor);
    const Vec3 origin = m_camera->rayOrigin, direction = m_camera->rayDirection;
    Viewport viewport;
    viewport.width = m_camera->viewportWidth;
    viewport.height = m_camera->viewportHeight;
    float best = deep ? 0.0f : m_camera->farPlane;
    bool passing = false;
    int32_t resultCode = -1;
    CWorldObject* result = nullptr;
    ForEachCandidate([&](CWorldObject& o) {
        if (!o.alive) return;
        int32_t code = -1;
        if (enemyTest) {
            if (!World()->GetAttackFailure(o, stateMask, relationMask, actor, &code)) return;
        } else {
            code = World()->GetTargetFailure(o, stateMask, relationMask, actor);
        }
        if (passing && code != -1) return;
        int32_t low[2], high[2];
        ProjectBoxToScreenRect(viewport, m_camera->view, m_camera->projection, o.bounds.center, o.bounds.outerBox, low,
                               high);
        if (!TouchesTargetSquare(low, high, cursor.x, cursor.y)) return;
        float d = 0;
        if (!o.IntersectRay(origin, direction, &d, nullptr, 0) || !Closer(d, best, deep)) return;
        if (code == -1) {
            result = &o;
            best = d;
            passing = true;
            resultCode = -1;
        } else if (!passing) {
            result = &o;
            resultCode = code;
        }
    });
    if (!result) return nullptr;
    if (failure) *failure = resultCode;
    SetHovered(*result);
    if (resultCode == -1) {
        result->colorScale = Vec4{0.6f, 0, 0, result->colorScale.w};
        SetCursor(m_inputMode == INPUT_ATTACK ? 16 : 18);
    }
    return result;
}

int CPlayScreen::PickGroundPoint(Vec3* point, int* hit) {
    *hit = 0;
    if (!CursorOverWorld()) {
        // Over the minimap the map point under the pointer stands for the ground.
        CZEMDXInput* in = InputDevice();
        CursorPoint cursor{};
        if (in) in->GetCursor(&cursor);
        float x = 0, z = 0;
        if (m_uiHit == m_minimapControl && m_minimapControl &&
            CMiniMap::OfCurrentMap().ScreenToMap(cursor.x, cursor.y, &x, &z)) {
            *point = Vec3{x, 0, z};
            *hit = 1;
        }
        return 0;
    }
    if (!m_camera) return 1;
    const Vec3 origin = m_camera->rayOrigin, direction = m_camera->rayDirection;
    if (g_pTerrainEngine && g_pTerrainEngine->PickTerrain(origin, direction, point)) {
        *hit = 1;
        return 1;
    }
    // Without a terrain under the ray, the ground plane at height 0 answers.
    if (!g_pTerrainEngine || g_pTerrainEngine->worldWidth() <= 0) {
        if (direction.y < 0 && origin.y > 0) {
            const float t = -origin.y / direction.y;
            *point = Vec3{origin.x + direction.x * t, 0, origin.z + direction.z * t};
            *hit = 1;
        }
    }
    return 1;
}

void CPlayScreen::UpdateObjectAlert(float dt) {
    if (m_alertObject == -1) return;
    m_alertTimer += dt;
    const float phase = std::fmod(m_alertTimer, kAlertBlink);
    if (phase >= kAlertBlink * 0.5f) {
        m_alertMarkerDue = true;
    } else if (CWorldObject* o = World() ? World()->GetObjectById(m_alertObject) : nullptr; o && m_alertMarkerDue) {
        int32_t x = 0, y = 0;
        if (CMiniMap::OfCurrentMap().MapToScreen(o->position.x, o->position.z, &x, &y)) {
            AddMapAlertMarker(static_cast<float>(x), static_cast<float>(y), 1, 0, 0, 1);
            m_alertMarkerDue = false;
        }
    }
    if (m_alertTimer > kAlertLength) {
        m_alertObject = -1;
        m_alertTimer = 0;
    }
}
