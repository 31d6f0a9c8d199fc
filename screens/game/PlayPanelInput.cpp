// The main panel's part of the play screen's input: the skill and item slot
// keys, and the three modes the panel starts, one frame each (an item held
// on the cursor, a skill waiting for its target, the combination pick). The
// modes' rules are the panel's (PlayPanelModes.cpp); here the frame's keys,
// cursors and picks are gathered for them, and an area skill's ground marker
// follows the pointer.
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/TextureResource.h"
#include "platform/Window.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "ui/ScreenHost.h"
#include "world/CombatObject.h"
#include "world/SkillInstance.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"
#include "world/TerrainEngine.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {
struct SlotKey {
    uint8_t key;
    int slot;
};
// Skill slots, then item slots; the item keys wait while an item is carried.
constexpr SlotKey kSkillKeys[] = {{DIK_Q, 0}, {DIK_W, 1}, {DIK_E, 2}, {DIK_R, 3}, {DIK_Z, 4}};
constexpr SlotKey kItemKeys[] = {{DIK_F1, 6}, {DIK_F2, 7}, {DIK_1, 0}, {DIK_2, 1},
                                 {DIK_3, 2},  {DIK_4, 3},  {DIK_5, 4}, {DIK_6, 5}};
// Alt with these learns a level of skill slot 0..3.
constexpr SlotKey kLearnKeys[] = {{DIK_Q, 0}, {DIK_W, 1}, {DIK_E, 2}, {DIK_R, 3}};

// The cursors of the panel's modes.
constexpr int32_t kCursorCarry = 13;
constexpr int32_t kCursorAreaTarget = 17;
constexpr int32_t kCursorTarget = 19;
constexpr int32_t kCursorCombination = 23;
// How a skill names its target (the record's target kind).
constexpr uint32_t kTargetObject = 1;
constexpr uint32_t kTargetArea = 3;

bool AnyReleased(const CZEMDXInput& in) { return in.MouseReleased(0) || in.MouseReleased(1) || in.MouseReleased(2); }
}  // namespace

int CPlayScreen::PanelSlotKeys(CZEMDXInput& in) {
    if (!m_mainPanel) return 1;
    if (in.KeyDown(DIK_LMENU)) {
        for (const SlotKey& k : kLearnKeys)
            if (in.KeyPressed(k.key)) {
                m_mainPanel->SpendSkillPoint(k.slot);
                break;
            }
        return 1;
    }
    for (const SlotKey& k : kSkillKeys)
        if (in.KeyPressed(k.key)) return m_mainPanel->UseSlot(k.slot, 0) ? 0 : 1;
    if (m_inputMode == INPUT_ITEM) return 1;
    for (const SlotKey& k : kItemKeys)
        if (in.KeyPressed(k.key)) return m_mainPanel->UseSlot(k.slot, 1) ? 0 : 1;
    return 1;
}

void CPlayScreen::InputModeItemDrag() {
    CZEMDXInput* in = InputDevice();
    if (!in || !m_mainPanel) return;
    CDragIconWindow& icon = m_mainPanel->dragIcon;
    CursorPoint cursor{};
    in->GetCursor(&cursor);
    icon.Follow(cursor.x, cursor.y);
    SetCursor(kCursorCarry);
    if (!HandleHotkeys()) {
        m_mainPanel->ClearHeld();
        if (m_inputMode == INPUT_ITEM) m_inputMode = INPUT_NORMAL;
        return;
    }
    // The release that ends the pick-up is not a drop.
    const bool picking = icon.justPicked != 0;
    icon.justPicked = 0;
    CWorldObject* target = !picking && CursorOverWorld() ? PickHoverObject(nullptr, 0) : nullptr;
    m_mainPanel->ItemHeldFrame(*in, target, !picking && AnyReleased(*in));
}

void CPlayScreen::InputModeSkillTarget() {
    CZEMDXInput* in = InputDevice();
    if (!in || !m_mainPanel) return;
    CPlayMainPanel& panel = *m_mainPanel;
    CSkillInstance* pending = panel.PendingSkill();
    CWorldObject* shown = panel.GetActiveSelection();
    if (!pending || !pending->record || !shown || !shown->IsCombatObject() || CPlayMainPanel::IsDisabled(*shown)) {
        panel.CancelSkillTarget();
        return;
    }
    if (!HandleHotkeys() && m_inputMode != INPUT_SKILL) {
        // A key took the frame and another mode with it.
        panel.CancelSkillTarget();
        return;
    }
    const uint32_t kind = pending->record->skillWord2;
    if (kind == kTargetArea)
        AimAreaSkill(*pending);
    else
        SetCursor(kCursorTarget);

    // An army button or the portrait clicked this frame names the target.
    if (const int32_t picked = panel.TakeHudPickedTarget(); picked >= 0) {
        if (CWorldObject* target = g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(picked) : nullptr)
            panel.ConfirmSkillTarget(target->position, target->id);
        return;
    }
    int32_t failure = -1;
    CWorldObject* target = nullptr;
    if (kind != kTargetArea && CursorOverWorld())
        target = PickOrderTarget(static_cast<CCombatObject*>(shown), pending->record->excludeMask1,
                                 pending->record->excludeMask2, &failure, 0, in->KeyDown(DIK_LMENU));
    if (in->MouseReleased(0) && !m_waiting) {
        if (target) {
            panel.ConfirmSkillTarget(target->position, target->id);
            return;
        }
        if (failure >= 0) {
            panel.NoticeLine(failure);
            return;
        }
        Vec3 point;
        int hit = 0;
        PickGroundPoint(&point, &hit);
        if (hit && kind != kTargetObject) {
            panel.ConfirmSkillTarget(point, -1);
            return;
        }
    }
    panel.SkillTargetFrame(*in, in->MouseReleased(1) != 0);
}

void CPlayScreen::AimAreaSkill(const CSkillInstance& skill) {
    Vec3 point;
    int hit = 0;
    if (CursorOverWorld()) PickGroundPoint(&point, &hit);
    const CSkillLevelRecord* level = skill.LevelRecord();
    if (hit && ShowGroundMarker(point, level ? level->AreaRadius() : 0.0f)) return;
    SetCursor(kCursorAreaTarget);
}

void CPlayScreen::CreateGroundMarker() {
    if (!g_pTerrainEngine) return;
    CResource* picture = g_pPlayResources ? g_pPlayResources->textures[CPlayResources::TEX_SKILL_REGION] : nullptr;
    // Off the map until a mode shows it.
    g_pTerrainEngine->CreateGroundMarker(AsTexture(picture), kGroundMarkerSize, Vec3(-10, 0, -10));
}

void CPlayScreen::HideGroundMarker() {
    if (g_pTerrainEngine) g_pTerrainEngine->ShowGroundMarker(false);
}

bool CPlayScreen::ShowGroundMarker(const Vec3& point, float areaRadius) {
    CTerrainEngine* terrain = g_pTerrainEngine;
    if (!terrain || !terrain->GroundMarker()) return false;
    // A skill without an area still has its spot marked.
    terrain->SizeGroundMarker(areaRadius > 0 ? 2 * areaRadius : kGroundMarkerSize);
    terrain->MoveGroundMarker(point);
    terrain->ShowGroundMarker(true);
    return true;
}

void CPlayScreen::SyncPointerWithMarker() {
    const bool shown = g_pTerrainEngine && g_pTerrainEngine->GroundMarkerShown();
    if (shown == m_pointerHiddenByMarker) return;
    IScreenHost* host = ScreenHost();
    if (host && host->Window()) host->Window()->ShowCursor(!shown);
    m_pointerHiddenByMarker = shown;
}

void CPlayScreen::InputModeCombination() {
    CZEMDXInput* in = InputDevice();
    if (!in || !m_mainPanel) return;
    SetCursor(kCursorCombination);
    if (!HandleHotkeys()) {
        m_mainPanel->CancelCombination();
        if (m_inputMode == INPUT_COMBINATION) m_inputMode = INPUT_NORMAL;
        return;
    }
    m_mainPanel->CombinationFrame(*in, in->MouseReleased(1) != 0);
}
