// Selection and orders by mouse: the normal mode (hover, drag start, right
// click), the three target modes (attack, patrol, move) and drag select. The
// units turn every order into the command records; the screen only chooses
// the order, the point and the target.
#include "engine/core/MessageTable.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/Camera.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/UnitInfoWindow.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"
#include "world/CombatObject.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {
CWorldObjectManager* World() { return g_pWorldObjectManager; }

// The edge cursors 1..12 are the sum of the edges the pointer touches.
int32_t EdgeCursor(const CursorPoint& c, int32_t width, int32_t height) {
    int32_t n = 0;
    if (c.x <= 0) n += 1;
    if (c.x >= width - 1) n += 4;
    if (c.y <= 0) n += 2;
    if (c.y >= height - 1) n += 8;
    return n;
}

// The failure's line of the skill-and-attack messages.
std::string FailureText(int32_t code) {
    return g_pPlayResources ? CPlayResources::ListEntry(g_pPlayResources->skillAttackMessages, code) : std::string();
}
}  // namespace

int32_t CPlayScreen::EdgeCursorIndex(int32_t x, int32_t y, int32_t width, int32_t height) {
    return EdgeCursor(CursorPoint{x, y}, width, height);
}

void CPlayScreen::InputModeNormal() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput* in = InputDevice();
    CWorldObjectManager* world = World();
    if (!host || !in || !world) return;
    const bool watching = world->gameMode == 3 || world->gameMode == 4;
    UpdateObjectAlert(m_timer.Dt());
    if (g_pUiManager) g_pUiManager->SetTooltipsOn(1);
    CursorPoint cursor{};
    in->GetCursor(&cursor);
    const int32_t edge = EdgeCursor(cursor, static_cast<int32_t>(host->BackBufferWidth()),
                                    static_cast<int32_t>(host->BackBufferHeight()));
    SetCursor((!m_waiting || watching) && edge ? edge : 13);

    CWorldObject* picked = CursorOverWorld() ? PickHoverObject(PanelObject(), in->KeyDown(DIK_LMENU)) : nullptr;
    if (in->KeyDown(DIK_LCONTROL) && in->MousePressed(0)) {
        CWorldObject* marked = world->GetObjectById(m_markedObject);
        if (CWorldObject* shown = marked ? marked : picked; shown && m_unitInfo) m_unitInfo->ShowObject(shown->id);
    }
    if (!HandleHotkeys()) return;
    if (!m_waiting && CursorOverWorld()) {
        if (in->MouseDown(0) && IsControllable(picked)) {
            m_dragStart = m_dragEnd = cursor;
            m_dragStarted = true;
            m_inputMode = INPUT_DRAG;
        } else if (in->MousePressed(0)) {
            m_dragStart = m_dragEnd = cursor;
            m_recalledGroup = -1;
            m_dragStarted = true;
        } else if (in->MouseDown(0)) {
            if (!m_dragStarted) {
                m_dragStart = cursor;
                m_dragStarted = true;
            } else if (cursor.x != m_dragStart.x || cursor.y != m_dragStart.y) {
                m_dragEnd = cursor;
                m_inputMode = INPUT_DRAG;
            }
        }
        RightClickOrder();
        UpdateControlGroups();
    }
    if (Phase() != PHASE_LEAVING && Phase() != kPhaseErrorPopup) HandleTabAndEsc();
}

void CPlayScreen::RightClickOrder() {
    CZEMDXInput* in = InputDevice();
    CWorldObjectManager* world = World();
    if (!in || !world || world->gameMode == 3 || world->gameMode == 4) return;
    if (!in->MouseReleased(1) || m_selection.selected.empty()) return;
    CWorldObject* target = GetHoveredObject();
    Vec3 point;
    int hit = 0;
    if (!target) {
        PickGroundPoint(&point, &hit);
        if (!hit) return;
    }
    const bool queued = in->KeyDown(DIK_LSHIFT) != 0;
    CWorldObject* shown = PanelObject();
    int32_t step = 0;
    for (int32_t id : m_selection.selected) {
        CCombatObject* unit = LiveControllable(id);
        if (!unit) continue;
        if (!target) {
            Vec3 spot = point;
            world->StepFormationPoint(&spot, &step, unit->bounds.radius * unit->bounds.scale * 1.5f);
            OrderUnit(*unit, 3, 1, spot, -1, queued);
            ShowClickMarker(0, spot);
            continue;
        }
        if (target == unit) continue;
        if (!OrderUnit(*unit, 1, 0, target->position, target->id, queued) && unit == shown) {
            int32_t code = -1;
            if (world->GetAttackFailure(*target, 0, 0, unit, &code) && code >= 0)
                ShowNotice(FailureText(code).c_str(), 0xFFFF0000u);
        }
    }
}

void CPlayScreen::InputModeOrderTarget() {
    CZEMDXInput* in = InputDevice();
    if (!in || !World()) return;
    if (m_selection.selected.empty()) {
        m_inputMode = INPUT_NORMAL;
        return;
    }
    SetCursor(m_inputMode == INPUT_ATTACK ? 15 : m_inputMode == INPUT_PATROL ? 24 : 25);
    if (!HandleHotkeys()) return;
    int32_t failure = -1;
    CWorldObject* shown = PanelObject();
    CWorldObject* target = nullptr;
    Vec3 point;
    int hit = 0;
    if (CursorOverWorld() && shown && shown->IsCombatObject())
        target = PickOrderTarget(static_cast<CCombatObject*>(shown), 0, 0, &failure, 1, in->KeyDown(DIK_LMENU));
    if (!target) {
        failure = -1;
        PickGroundPoint(&point, &hit);
    }
    if (in->MouseReleased(0) && !m_waiting) {
        if (failure >= 0) {
            ShowNotice(FailureText(failure).c_str(), 0xFFFF0000u);
            return;
        }
        if ((target || hit) && OrderSelectedOnTarget(target, point, in->KeyDown(DIK_LSHIFT) != 0)) {
            m_inputMode = INPUT_NORMAL;
            return;
        }
    }
    if (in->MouseReleased(1) || in->KeyPressed(DIK_ESCAPE)) m_inputMode = INPUT_NORMAL;
}

int CPlayScreen::OrderSelectedOnTarget(CWorldObject* target, const Vec3& point, bool queued) {
    CWorldObjectManager* world = World();
    const int mode = m_inputMode;
    int given = 0;
    int32_t step = 0;
    for (int32_t id : m_selection.selected) {
        CCombatObject* unit = LiveControllable(id);
        if (!unit) continue;
        if (target && mode != INPUT_PATROL) {
            if (target == unit) continue;
            if (mode == INPUT_MOVE)
                given |= OrderUnit(*unit, 1, 1, target->position, target->id, queued);
            else
                given |= OrderUnit(*unit, 2, unit->IsWithinRange(*target, -1) ? 5 : 3, target->position, target->id,
                                   queued);
            continue;
        }
        Vec3 spot = target ? target->position : point;
        world->StepFormationPoint(&spot, &step, unit->bounds.radius * unit->bounds.scale * 1.5f);
        const int32_t subKind = mode == INPUT_ATTACK ? 2 : mode == INPUT_PATROL ? 9 : 1;
        if (OrderUnit(*unit, 3, subKind, spot, -1, queued)) {
            given = 1;
            // Patrol comes back to where the unit stood.
            if (mode == INPUT_PATROL && !queued) unit->queuedOrders.Add(3, 9, unit->position, -1, -1, false);
        }
        ShowClickMarker(mode == INPUT_ATTACK ? 1 : mode == INPUT_PATROL ? 2 : 0, spot);
    }
    return given;
}

void CPlayScreen::InputModeDragSelect() {
    CZEMDXInput* in = InputDevice();
    if (!in || !World() || m_waiting) {
        m_inputMode = INPUT_NORMAL;
        return;
    }
    SetCursor(13);
    CursorPoint cursor{};
    in->GetCursor(&cursor);
    if (in->MouseDown(0)) {
        m_dragEnd = cursor;
        m_dragRect = PickRect{m_dragStart.x, m_dragStart.y, m_dragEnd.x, m_dragEnd.y};
        return;
    }
    // A release, or a button lost with the focus, ends the drag alike.
    m_dragRect = PickRect{m_dragStart.x, m_dragStart.y, m_dragEnd.x, m_dragEnd.y};
    if (m_camera) {
        m_selection.PickObjects(m_dragRect, *m_camera);
        m_selection.Commit(in->KeyDown(DIK_LSHIFT) != 0, World()->gameMode);
    }
    m_dragStarted = false;
    RefreshHud();
    m_inputMode = INPUT_NORMAL;
}
