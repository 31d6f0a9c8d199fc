// The three input modes the main panel starts, one frame each: an item held
// on the cursor (3), a skill waiting for its target (4) and the combination
// pick (8). The play screen's mode dispatcher calls them with what its picks
// found under the cursor this frame.
#include "engine/core/MessageTable.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/WalkGridView.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "world/InventoryItem.h"
#include "world/SightGrid.h"
#include "world/SkillInstance.h"
#include "world/Unit.h"
#include "world/WalkGrid.h"
#include "world/WorldObjectManager.h"

namespace {
// The order kinds the modes give.
constexpr int32_t kOrderChase = 1;
constexpr int32_t kOrderHandOver = 11;
constexpr int32_t kOrderSkill = 6;

// The keys that drop a held item on the shown unit's places 0..7.
constexpr uint8_t kSlotKeys[CPlayMainPanel::kItems] = {platform::DIK_1, platform::DIK_2, platform::DIK_3,
                                                        platform::DIK_4, platform::DIK_5, platform::DIK_6,
                                                        platform::DIK_F1, platform::DIK_F2};

bool BlockedGround(const platform::Vec3& point) {
    const CWalkGridView* grid = g_pWalkGridView;
    if (!grid || !grid->cells || grid->cellSize <= 0) return false;
    const int32_t x = static_cast<int32_t>(point.x / grid->cellSize);
    const int32_t z = static_cast<int32_t>(point.z / grid->cellSize);
    if (point.x < 0 || point.z < 0 || x >= grid->width || z >= grid->height) return true;
    return (grid->cells[static_cast<size_t>(grid->width) * static_cast<size_t>(z) + static_cast<size_t>(x)] &
            CELL_UNWALKABLE) != 0;
}

bool SeenByLocalTeam(const platform::Vec3& point) {
    const CSightGrid* sight = g_pWorldObjectManager ? g_pWorldObjectManager->sightGrid : nullptr;
    return !sight || sight->GetCell(point, -1) > 0;
}
}  // namespace

void CPlayMainPanel::EndHold() {
    ClearHeld();
    m_play.SetInputMode(MODE_NORMAL);
}

void CPlayMainPanel::ItemHeldFrame(CZEMDXInput& input, CWorldObject* target, bool released) {
    if (!Held().item) return EndHold();
    if (!Held().fromStorage) {
        CWorldObject* holder = g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(Held().holder) : nullptr;
        if (!holder || !holder->alive || !holder->IsUnit() || IsDisabled(static_cast<CUnit&>(*holder))) return EndHold();
    }
    const int32_t slot = m_play.LocalPlayerSlot();
    if (!released) {
        if (input.KeyPressed(platform::DIK_ESCAPE)) return EndHold();
        CUnit* shown = ShownUnit();
        if (!shown) return;
        for (int32_t place = 0; place < kItems; ++place) {
            if (!input.KeyPressed(kSlotKeys[place])) continue;
            if (!m_controlsEnabled) {
                Notice(GetMessageText(MSG_ITEM_CHECK_NOT_GIVE));
                return;
            }
            if (!Held().fromStorage && Held().holder == shown->id && Held().index == place) return EndHold();
            int32_t taken = place;
            if (const int32_t code = shown->CanAcquireItem(*Held().item, place, &taken); code != -1) {
                Notice(GetMessageText(code));
                return;
            }
            m_play.MoveItem(slot, Held().holder, Held().fromStorage, shown->id, 0, Held().index, place, 1);
            return EndHold();
        }
        return;
    }
    if (m_play.Waiting() || !target) return;
    if (target->owner != slot) {
        Notice(GetMessageText(MSG_ITEM_CHECK_NOT_CONROL));
        return;
    }
    if (!Held().fromStorage) {
        // The holder walks to the target to hand the item over.
        auto* holder = static_cast<CUnit*>(g_pWorldObjectManager->GetObjectById(Held().holder));
        m_play.ResetIdleTimer();
        holder->queuedOrders.Clear();
        holder->IssueOrder(kOrderChase, target->position, target->id, nullptr, kOrderHandOver);
        return EndHold();
    }
    if (!target->IsUnit()) return;
    auto& unit = static_cast<CUnit&>(*target);
    int32_t place = -1;
    if (const int32_t code = unit.CanAcquireItem(*Held().item, -1, &place); code != -1) {
        Notice(GetMessageText(code));
        return;
    }
    m_play.MoveItem(slot, Held().holder, 1, unit.id, 0, Held().index, place, 1);
    EndHold();
    m_play.SetInputMode(MODE_UI_ONLY);
}

int CPlayMainPanel::ConfirmSkillTarget(const platform::Vec3& point, int32_t targetId) {
    CUnit* caster = ShownUnit();
    CSkillInstance* skillToCast = m_pendingSkill;
    if (!caster || !skillToCast || IsDisabled(*caster) || !skillToCast->IsReady()) {
        CancelSkillTarget();
        return 0;
    }
    if (targetId < 0) {
        if (BlockedGround(point)) {
            Notice(GetMessageText(MSG_GAMEPLAY_PICKING_CANNOT));
            return 0;
        }
        if (!SeenByLocalTeam(point)) {
            Notice(GetMessageText(MSG_GAMEPLAY_PICKING_MUST_GO));
            return 0;
        }
    }
    caster->queuedOrders.Clear();
    m_play.ResetIdleTimer();
    const int issued = caster->IssueOrder(kOrderSkill, point, targetId, skillToCast, 0);
    CancelSkillTarget();
    return issued;
}

void CPlayMainPanel::CancelSkillTarget() {
    m_pendingSkill = nullptr;
    m_pendingIsItem = 0;
    if (m_play.InputMode() == MODE_SKILL_TARGET) m_play.SetInputMode(MODE_NORMAL);
}

void CPlayMainPanel::SkillTargetFrame(CZEMDXInput& input, bool rightReleased) {
    CUnit* caster = ShownUnit();
    if (!caster || !m_pendingSkill || IsDisabled(*caster) || rightReleased || input.KeyPressed(platform::DIK_ESCAPE))
        CancelSkillTarget();
}

void CPlayMainPanel::CombinationFrame(CZEMDXInput& input, bool rightReleased) {
    if (rightReleased || input.KeyPressed(platform::DIK_ESCAPE)) {
        CancelCombination();
        m_pendingSkill = nullptr;
        m_play.SetInputMode(MODE_NORMAL);
        return;
    }
    if (input.KeyPressed(platform::DIK_D)) Combine();
}
