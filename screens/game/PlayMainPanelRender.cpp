// The main panel's drawing: the cool-down shades and seconds of the slots,
// the window with its controls, then over the slots the highlights of
// running skills and the key numbers that use them.
#include <cstdio>

#include "screens/game/ItemTooltip.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "ui/UiButton.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/Unit.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFF;
const float kFullUv[8] = {0, 0, 1, 0, 0, 1, 1, 1};

// Seconds of cool-down left, or 0 for a ready skill.
float CooldownLeft(const CSkillInstance* skill) {
    if (!skill || skill->level < 1) return 0;
    const float cooldown = skill->Cooldown();
    if (cooldown <= 0 || skill->cooldownElapsed >= cooldown) return 0;
    return cooldown - skill->cooldownElapsed;
}

// The cool-down cell of the play resources' atlas over a cooling slot.
void DrawSlotCooldown(CUiButton& button, const CSkillInstance& skill) {
    CResource* atlas = g_pPlayResources ? g_pPlayResources->textures[CPlayResources::TEX_COOLTIMER] : nullptr;
    DrawCooldownOverlay(button, skill.cooldownElapsed, skill.Cooldown(), atlas);
}

bool Running(const CSkillInstance* skill, const CUnit& unit, const CSkillInstance* pending) {
    if (!skill || !skill->record) return false;
    if ((skill->record->flags & CPlayMainPanel::kSkillToggle) && skill->active) return true;
    return skill == pending || (unit.order.kind == 6 && unit.order.skillId == skill->id);
}

// The button's own image once more, as a highlight.
void DrawHighlight(CUiButton& button) {
    const UiImageInfo image = UiImageOf(button.StateImage(0));
    if (!image.texture) return;
    const UiPoint at = button.GetAbsolutePos();
    g_pUiManager->DrawQuad(kWhite, kFullUv, image.texture, at.x, at.y, button.Size().x, button.Size().y);
}

// Cell i of a strip of cells, a square of the strip's height.
void DrawKeyNumber(CResource* strip, int cell, int cells, float x, float y) {
    const UiImageInfo image = UiImageOf(strip);
    if (!image.texture || image.height == 0) return;
    const float u0 = static_cast<float>(cell) / static_cast<float>(cells);
    const float u1 = static_cast<float>(cell + 1) / static_cast<float>(cells);
    const float uv[8] = {u0, 0, u1, 0, u0, 1, u1, 1};
    const float side = static_cast<float>(image.height);
    g_pUiManager->DrawQuad(kWhite, uv, image.texture, x, y, side, side);
}
}  // namespace

void CPlayMainPanel::Render() {
    CUnit* unit = ShownUnit();
    for (size_t i = 0; i < skill.size(); ++i) {
        CUiStatic* coolTime = skillCoolTime[i];
        if (!coolTime) continue;
        coolTime->AddFlags(UI_HIDDEN);
        const CSkillInstance* instance = unit && i < unit->skills.size() ? unit->skills[i] : nullptr;
        const float left = CooldownLeft(instance);
        if (left <= 0) continue;
        char seconds[16];
        std::snprintf(seconds, sizeof seconds, "%d", static_cast<int>(left) + 1);
        coolTime->SetText(seconds);
        coolTime->ClearFlags(UI_HIDDEN);
    }
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiWindow::Render();
    if (!g_pUiManager || !unit) return;

    for (size_t i = 0; i < item.size(); ++i) {
        CUiButton* button = item[i];
        if (!button) continue;
        const CInventoryItem* entry = unit->Item(static_cast<int32_t>(i));
        if (entry && entry->charges > 0) {
            const CSkillInstance* use = entry->useSkill;
            if (CooldownLeft(use) > 0)
                DrawSlotCooldown(*button, *use);
            else if (Running(use, *unit, m_pendingSkill))
                DrawHighlight(*button);
            // Consumables carry their count.
            if (entry->record && entry->record->Grade() == 0) DrawCountBadge(*button, entry->charges);
        }
        const UiPoint at = button->GetAbsolutePos();
        DrawKeyNumber(keyNumber2, static_cast<int>(i), kItems, at.x + 2, at.y + 2);
    }
    for (size_t i = 0; i < skill.size(); ++i) {
        CUiButton* button = skill[i];
        if (!button) continue;
        const CSkillInstance* instance = i < unit->skills.size() ? unit->skills[i] : nullptr;
        if (CooldownLeft(instance) > 0)
            DrawSlotCooldown(*button, *instance);
        else if (Running(instance, *unit, m_pendingSkill))
            DrawHighlight(*button);
        const UiPoint at = button->GetAbsolutePos();
        DrawKeyNumber(keyNumber1, static_cast<int>(i), kSkills, at.x - 2, at.y - 2);
        // The pulse over every slot that holds a skill.
        if (instance && m_highlights[i].texture) m_highlights[i].Draw(at.x, at.y, button->Size().x, button->Size().y);
    }
}
