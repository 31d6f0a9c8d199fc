// The play screen's input dispatcher, its hot keys and the keyboard orders.
// Each frame one handler runs, chosen by the input mode; the hot keys are
// shared by the modes and answer 0 when a key has taken the frame. Orders
// never change the world here: the units turn them into command records.
#include <algorithm>

#include "engine/core/MessageTable.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/Camera.h"
#include "engine/resource/Resource.h"
#include "platform/Window.h"
#include "screens/game/CombineListWindow.h"
#include "screens/game/ItemShopWindow.h"
#include "screens/game/PlayHelpWindow.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/StatusPanel.h"
#include "screens/game/UnitInfoWindow.h"
#include "screens/game/UnitTooltipWindow.h"
#include "engine/resource/ResourceManager.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"
#include "world/CombatObject.h"
#include "world/SpatialTree.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {
CWorldObjectManager* World() { return g_pWorldObjectManager; }

// Counter 4 holds every order.
bool Stunned(const CCombatObject& unit) { return unit.conditions[4] > 0; }

bool LastIsHold(const COrderList& list) {
    const COrderRecord* last = list.Front();
    while (last && last->next) last = last->next;
    return last && last->kind == 0 && last->subKind == 8;
}

// A window of the lower layer in front, or hidden and sent back.
void ShowInFront(CUiWindow* window, bool show) {
    if (!window || !g_pUiManager) return;
    g_pUiManager->ShowWindow(window, show);
    if (show)
        g_pUiManager->BringToFront(window);
    else
        g_pUiManager->SendToBack(window);
}
}  // namespace

bool CPlayScreen::IsControllable(CWorldObject* o) {
    return o && (o->flags & WO_COMBAT) && o->IsLocalPlayerUnit();
}

CCombatObject* CPlayScreen::LiveControllable(int32_t id) {
    CWorldObject* o = World() ? World()->GetObjectById(id) : nullptr;
    return IsControllable(o) && o->alive ? static_cast<CCombatObject*>(o) : nullptr;
}

CZEMDXInput* CPlayScreen::InputDevice() {
    IScreenHost* host = ScreenHost();
    return host ? &host->Input() : nullptr;
}

void CPlayScreen::SetCursor(int32_t n) {
    if (g_pUiManager) g_pUiManager->SetCursor(n);
}

CWorldObject* CPlayScreen::PanelObject() {
    if (!World()) return nullptr;
    if (CWorldObject* shown = m_mainPanel ? m_mainPanel->GetSelectedObject() : nullptr;
        shown && m_selection.Contains(shown->id))
        return shown;
    if (CWorldObject* o = World()->GetObjectById(m_selection.focus); o && m_selection.Contains(o->id)) return o;
    return m_selection.selected.empty() ? nullptr : World()->GetObjectById(m_selection.selected.front());
}

void CPlayScreen::RunInputStep(float gameDt) {
    IScreenHost* host = ScreenHost();
    if (!host) return;
    CullView();
    CursorPoint cursor{};
    host->Input().GetCursor(&cursor);
    if (m_camera)
        m_camera->MakePickRay(static_cast<float>(cursor.x), static_cast<float>(cursor.y), m_camera->projection,
                              m_camera->view);
    // The label names last frame's hovered object; it draws nothing without one.
    if (m_unitTooltip) {
        m_unitTooltip->SetObject(m_hoveredObject);
        m_unitTooltip->ClearFlags(UI_HIDDEN);
    }
    m_uiHit = host->Ui().DispatchInput(gameDt, host->Input());
    UpdateMenuWindows();
    ClearHoverHighlight();
    HandleInput();
}

void CPlayScreen::HandleInput() {
    // Hidden before the vote too: a marker left standing would keep the
    // pointer hidden over the vote's box.
    HideGroundMarker();
    if (m_voteState != -1) return SyncPointerWithMarker();  // the vote has the frame
    switch (m_inputMode) {
        case INPUT_NORMAL:
            InputModeNormal();
            break;
        case INPUT_ATTACK:
        case INPUT_PATROL:
        case INPUT_MOVE:
            InputModeOrderTarget();
            break;
        case INPUT_DRAG:
            InputModeDragSelect();
            break;
        case INPUT_MAP_ALERT:
            InputModeMapAlert();
            break;
        case INPUT_ITEM:
            InputModeItemDrag();
            break;
        case INPUT_SKILL:
            InputModeSkillTarget();
            break;
        case INPUT_COMBINATION:
            InputModeCombination();
            break;
        case INPUT_UI_ONLY:
            SetCursor(26);
            break;
        case INPUT_CHAT:
            InputModeChat();
            break;
        default:
            // Item, skill, chat and combination modes belong to the HUD's windows.
            break;
    }
    SyncPointerWithMarker();
    // An object of the player's that may not be ordered locks the cursor.
    if (CWorldObject* shown = PanelObject(); shown && World() && shown->owner == World()->localSlot) {
        if (IScreenHost* host = ScreenHost(); host && host->Window()) {
            if (shown->stateFlags & 0x80000) {
                host->Window()->ShowCursor(false);
                SetCursor(27);
            } else if (!m_pointerHiddenByMarker) {
                host->Window()->ShowCursor(true);
            }
        }
    }
}

int CPlayScreen::HandleHotkeys() {
    if (m_inputMode == INPUT_UI_ONLY || m_inputMode == INPUT_CHAT || m_hotkeysLocked) return 1;
    CZEMDXInput* in = InputDevice();
    if (!in || !World()) return 1;
    const std::array<int, UI_REQUEST_COUNT> requests = m_uiRequests;
    ClearUiRequests();
    const bool replay = World()->gameMode == 3;

    if (in->KeyPressed(DIK_F9)) {
        CancelInputMode();
        if (IScreenHost* host = ScreenHost(); host && host->Window()) host->Window()->PostMessage(WM_CLOSE);
        return 0;
    }
    if (in->KeyPressed(DIK_F11)) {
        m_showStatistics = !m_showStatistics;
        return 1;
    }
    HandleChatKey();
    if (Phase() == PHASE_WAITING) return 1;
    // C, V and F10 open windows of the HUD's shop, combination list and menu.
    if (in->KeyPressed(DIK_C) || requests[UI_REQUEST_COMBINATION]) {
        ToggleCombinationList();
        return 1;
    }
    if (in->KeyPressed(DIK_V) || requests[UI_REQUEST_SHOP]) {
        ToggleShop();
        return 1;
    }
    if (in->KeyPressed(DIK_F10) || requests[UI_REQUEST_MENU]) {
        ToggleMenu(replay);
        return 1;
    }
    if (requests[UI_REQUEST_OPTIONS]) {
        ToggleWindow(WINDOW_OPTIONS, -1);
        return 1;
    }
    if (requests[UI_REQUEST_HELP]) {
        ToggleWindow(WINDOW_HELP, -1);
        return 1;
    }
    if (in->KeyPressed(DIK_INSERT) || requests[UI_REQUEST_INSERT]) {
        ToggleWindow(WINDOW_RANKING, -1);
        return 1;
    }
    if (in->KeyPressed(DIK_T)) m_followSelected = !m_followSelected;
    if (replay || World()->gameMode == 4 || m_waiting) return 1;
    if (in->KeyPressed(DIK_SPACE)) {
        SelectOwnHero();
        if (CWorldObject* hero = World()->GetObjectById(LocalSlot()); hero && hero->alive) {
            RefreshHud();
            FocusCamera(hero->position);
        }
        return 1;
    }
    if (in->KeyPressed(DIK_ESCAPE) && !m_cameraLocked) m_followSelected = false;
    if (in->KeyPressed(DIK_D) && m_inputMode != INPUT_COMBINATION) {
        m_inputMode = INPUT_COMBINATION;
        return 0;
    }
    if (in->KeyPressed(DIK_F)) {
        if (m_mainPanel) m_mainPanel->AutoCombine();
        return 0;
    }
    if (in->KeyPressed(DIK_G) && m_inputMode != INPUT_MAP_ALERT) {
        m_inputMode = INPUT_MAP_ALERT;
        return 0;
    }
    if (!m_selection.selected.empty()) {
        struct TargetKey {
            int key, mode;
        };
        for (const TargetKey k : {TargetKey{DIK_A, INPUT_ATTACK}, {DIK_P, INPUT_PATROL}, {DIK_M, INPUT_MOVE}})
            if (in->KeyPressed(k.key) && m_inputMode != k.mode) {
                m_inputMode = k.mode;
                return 0;
            }
        if (in->KeyPressed(DIK_S)) OrderSelectedStop();
        if (in->KeyPressed(DIK_H)) OrderSelectedHold();
    }
    // Skill and item slot keys act through the main panel; an item held on
    // the cursor ignores the item keys.
    return PanelSlotKeys(*in);
}

void CPlayScreen::CancelInputMode() {
    // The held item and the combination slots are the main panel's; both end with the mode.
    if (m_inputMode == INPUT_ITEM && m_mainPanel) m_mainPanel->ClearHeld();
    if (m_inputMode == INPUT_COMBINATION && m_mainPanel) m_mainPanel->CancelCombination();
    if (m_inputMode == INPUT_ITEM || m_inputMode == INPUT_COMBINATION) m_inputMode = INPUT_NORMAL;
}

void CPlayScreen::ToggleWindow(int index, int show) {
    CUiWindow* window = nullptr;
    switch (index) {
        case WINDOW_HELP:
            window = m_helpWindow;
            break;
        case WINDOW_UNIT_INFO:
            window = m_unitInfo;
            break;
        case WINDOW_MENU:
        case WINDOW_OPTIONS:
        case WINDOW_RANKING:
        case WINDOW_REPLAY:
            window = MenuWindow(index);
            break;
        case WINDOW_SHOP:
            window = m_shopWindow;
            break;
        case WINDOW_COMBINATION:
            window = m_combineList;
            break;
        default:
            // The other windows come with the HUD.
            return;
    }
    if (!window) return;
    const bool hidden = window->HasFlags(UI_HIDDEN);
    ShowInFront(window, show == -1 ? hidden : show == 1);
    if (window == m_shopWindow && !window->HasFlags(UI_HIDDEN)) m_shopWindow->ShowCategoryPage(-1, 0);
}

void CPlayScreen::ClearUiRequests() { m_uiRequests.fill(0); }

void CPlayScreen::OrderSelectedStop() {
    for (int32_t id : m_selection.selected) {
        CCombatObject* unit = LiveControllable(id);
        if (!unit) continue;
        unit->idleTimer = 0;
        m_idleTimer = 0;
        if (!Stunned(*unit) && unit->IssueOrder(0, Vec3{-1, 0, -1}, -1, nullptr, 0, 0)) unit->queuedOrders.Clear();
    }
}

void CPlayScreen::OrderSelectedHold() {
    CZEMDXInput* in = InputDevice();
    const int queued = in && in->KeyDown(DIK_LSHIFT) ? 1 : 0;
    for (int32_t id : m_selection.selected) {
        CCombatObject* unit = LiveControllable(id);
        if (!unit) continue;
        // A hold already last in the queue is not queued twice.
        if (queued && LastIsHold(unit->queuedOrders)) continue;
        OrderUnit(*unit, 0, 8, unit->position, -1, queued);
    }
}

int CPlayScreen::OrderUnit(CCombatObject& unit, int32_t kind, int32_t subKind, const Vec3& point, int32_t targetId,
                           int queued) {
    unit.idleTimer = 0;
    m_idleTimer = 0;
    if (Stunned(unit)) return 0;
    if (queued) {
        const int32_t waiting = unit.queuedOrders.Count();
        if (waiting >= kMaxQueuedOrders) {
            RefuseWithNotice(MSG_GAMEPLAY_RESERVATION_ORDER);
            return 0;
        }
        if (waiting > 1 || unit.order.kind != 0) {
            unit.queuedOrders.Add(kind, subKind, point, targetId, -1, false);
            return 1;
        }
    }
    if (unit.IssueOrder(kind, point, targetId, nullptr, subKind, 0)) unit.queuedOrders.Clear();
    return 1;
}

void CPlayScreen::RefuseWithNotice(int messageId) {
    m_lastRefusal = messageId;
    ShowNotice(GetMessageText(messageId), 0xFFFF0000u);
    if (g_pPlayResources) g_pPlayResources->PlaySound(CPlayResources::SND_ERROR);
}

void CPlayScreen::RefreshHud() {
    CWorldObjectManager* world = World();
    if (world && (world->gameMode == 3 || world->gameMode == 4) && !m_selection.selected.empty()) {
        // Watching a match, the HUD follows the owner of what is selected.
        CWorldObject* first = world->GetObjectById(m_selection.selected.front());
        if (first && first->owner < 36) world->SetLocalSlot(first->owner);
    }
    if (m_mainPanel) {
        m_mainPanel->Refresh(-1);
        m_mainPanel->RefreshStorage();
    }
    if (m_statusPanel) m_statusPanel->Rebuild();
    if (m_shopWindow) m_shopWindow->ShowCategoryPage(-1, 0);
}

void CPlayScreen::ShowClickMarker(int marker, const Vec3& point) {
    if (marker < 0 || marker > 4) return;
    m_activeMarker = marker;
    m_markerPoint = point;
    m_clickMarkers.Show(marker, point, m_context.ground);
}

void CPlayScreen::UpdateControlGroups() {
    CZEMDXInput* in = InputDevice();
    if (!in) return;
    for (int g = 0; g < kControlGroups; ++g) {
        const int key = g == 0 ? DIK_F3 : DIK_F4;
        std::vector<int32_t>& group = m_unitGroups[static_cast<size_t>(g)];
        if (in->KeyDown(DIK_LCONTROL)) {
            if (in->KeyPressed(key) && !m_selection.selected.empty()) {
                group = m_selection.selected;
                m_recalledGroup = g;
            }
            continue;
        }
        const bool twice = m_recalledGroup == g && (in->GetKeyFlags(key) & INPUT_DOUBLE) != 0;
        if (!in->KeyPressed(key) && !twice) continue;
        std::erase_if(group, [](int32_t id) {
            CWorldObject* o = World()->GetObjectById(id);
            return !o || !o->alive || !o->IsVisible();
        });
        if (group.empty()) continue;
        if (twice) {
            // A second press jumps to the group.
            if (CWorldObject* first = World()->GetObjectById(m_selection.selected.empty()
                                                                  ? group.front()
                                                                  : m_selection.selected.front()))
                FocusCamera(first->position);
            continue;
        }
        m_selection.selected = group;
        m_selection.focus = group.front();
        m_recalledGroup = g;
        RefreshHud();
    }
}

void CPlayScreen::HandleTabAndEsc() {
    CZEMDXInput* in = InputDevice();
    if (!in || !g_pUiManager) return;
    IMessageBoxHost* box = MessageBox();
    const bool boxShown = box && box->Visible();
    if (in->KeyPressed(DIK_TAB) && !m_selection.selected.empty()) {
        // The main panel steps through the selected units.
        auto at = std::find(m_selection.selected.begin(), m_selection.selected.end(), m_selection.focus);
        m_selection.focus = at == m_selection.selected.end() || at + 1 == m_selection.selected.end()
                                ? m_selection.selected.front()
                                : *(at + 1);
    }
    if (!in->KeyPressed(DIK_ESCAPE) || m_gameOver || Phase() != PHASE_PLAY || m_inputMode != INPUT_NORMAL || boxShown)
        return;
    const std::vector<CUiWindow*>& lower = g_pUiManager->LowerLayer();
    for (auto it = lower.rbegin(); it != lower.rend(); ++it) {
        CUiWindow* window = *it;
        if (window->HasFlags(UI_HIDDEN) || window->HasFlags(UI_STAY_BEHIND)) continue;
        ShowInFront(window, false);
        break;
    }
}

int CPlayScreen::LoadInputLayouts() {
    CResourceManager* resources = g_pResourceManager;
    if (!resources) return 0;
    // A layout that fails takes its window with it.
    if (!m_unitTooltipLayout) {
        m_unitTooltip = new CUnitTooltipWindow();
        m_unitTooltipLayout = resources->GetResource(kUnitTooltipLayout, RES_LAYOUT, m_unitTooltip, 1);
        if (!m_unitTooltipLayout) {
            m_unitTooltip = nullptr;
            return 0;
        }
        m_unitTooltip->SetCamera(m_camera);
        ShowInFront(m_unitTooltip, false);
    }
    if (!m_unitInfoLayout) {
        m_unitInfo = new CUnitInfoWindow();
        m_unitInfoLayout = resources->GetResource(kUnitInfoLayout, RES_LAYOUT, m_unitInfo, 1);
        if (!m_unitInfoLayout) {
            m_unitInfo = nullptr;
            return 0;
        }
        ShowInFront(m_unitInfo, false);
    }
    return 1;
}

void CPlayScreen::ReleaseInputLayouts() {
    if (!g_pResourceManager) return;
    g_pResourceManager->ReleaseResource(m_unitTooltipLayout);
    g_pResourceManager->ReleaseResource(m_unitInfoLayout);
    m_unitTooltipLayout = m_unitInfoLayout = nullptr;
    m_unitTooltip = nullptr;
    m_unitInfo = nullptr;
}
