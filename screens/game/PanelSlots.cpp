// What the main panel's slots do when the player clicks, right-clicks or
// double-clicks them: skills cast or wait for a target, skill points buy
// levels, items are used, picked up and dropped, storage items combine.
// Every refusal is a notice and changes nothing else.
#include <algorithm>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "engine/core/Random.h"
#include "engine/sound/SoundEffect.h"
#include "net/ClientSession.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/SkillTooltip.h"
#include "ui/UiButton.h"
#include "world/GameDataRegistry.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {
bool Usable(const CUiButton* button) { return button && !button->HasFlags(UI_HIDDEN) && button->Colour().a != 0; }

void PlayPanelSound(int which) {
    if (g_pPlayResources && which >= 0) g_pPlayResources->PlaySound(static_cast<size_t>(which));
}

// The record id of an ITEM record (its key in the registry's maps).
uint32_t ItemKey(const CGameDataRecord* record) { return record ? record->id : 0; }
}  // namespace

void CPlayMainPanel::CancelInputMode() {
    const int mode = m_play.InputMode();
    if (mode == MODE_ITEM_HELD) ClearHeld();
    if (mode == MODE_ITEM_HELD || mode == MODE_COMBINATION) m_play.SetInputMode(MODE_NORMAL);
}

void CPlayMainPanel::OnLButtonClick(CUiObject* control) {
    if (!control || m_play.InputMode() == MODE_UI_ONLY) return;
    if (m_play.Waiting() && !ReplayOrObserver()) return;
    if (!ReplayOrObserver() && ClickSlots(control)) return;
    if (const int i = SlotIndex(storage, control); i >= 0) ClickStorage(i);
}

bool CPlayMainPanel::ClickSlots(CUiObject* control) {
    if (control == notify) {
        if (!m_play.Waiting()) {
            m_play.SetInputMode(MODE_MAP_ALERT);
            m_pendingSkill = nullptr;
        }
        return true;
    }
    if (control == autoCombine) {
        AutoCombine();
        return true;
    }
    if (const int i = SlotIndex(skillPoint, control); i >= 0) {
        if (GameMode() != 2 || i < 4) SpendSkillPoint(i);
        return true;
    }
    if (const int i = SlotIndex(skill, control); i >= 0) {
        UseSlot(i, 0);
        return true;
    }
    if (m_play.InputMode() == MODE_SKILL_TARGET) {
        // The picked army unit becomes the target (the target mode reads the pick).
        const int i = SlotIndex(army, control);
        const std::vector<int32_t>& selected = m_play.Selection().selected;
        if (i >= 0 && static_cast<size_t>(i) < selected.size()) m_hudPickedTarget = selected[static_cast<size_t>(i)];
        return i >= 0;
    }
    if (m_play.InputMode() == MODE_ITEM_HELD) {
        DropHeldItem(control);
        return true;
    }
    if (const int i = SlotIndex(item, control); i >= 0) {
        UseSlot(i, 1);
        return true;
    }
    if (const int i = SlotIndex(army, control); i >= 0) {
        ClickArmy(i);
        return true;
    }
    if (control == viewer) {
        m_hudPickedTarget = m_selectedObject;
        return true;
    }
    if (control == combine) {
        if (m_play.InputMode() == MODE_COMBINATION) {
            Combine();
        } else {
            m_play.SetInputMode(MODE_COMBINATION);
            m_pendingSkill = nullptr;
        }
        return true;
    }
    return false;
}

void CPlayMainPanel::ClickArmy(int index) {
    const std::vector<int32_t>& selected = m_play.Selection().selected;
    if (static_cast<size_t>(index) >= selected.size()) return;
    const int32_t id = selected[static_cast<size_t>(index)];
    if (m_play.InputMode() == MODE_ITEM_HELD) {
        ClearHeld();
        m_play.SetInputMode(MODE_NORMAL);
    }
    if (m_play.InputMode() == MODE_COMBINATION) CancelCombination();
    if (!ShiftHeld()) {
        Refresh(id);
        return;
    }
    m_play.Selection().RemoveObject(id);
    if (m_selectedObject == id) m_selectedObject = -1;
    Refresh(-1);
}

void CPlayMainPanel::ClickStorage(int index) {
    const CPlayerSlot* player = LocalPlayer();
    if (!player || !player->items[static_cast<size_t>(index)]) return;
    if (m_play.InputMode() == MODE_COMBINATION) TogglePick(index);
}

void CPlayMainPanel::TogglePick(int storageIndex) {
    const CPlayerSlot* player = LocalPlayer();
    if (!player || storageIndex < 0 || storageIndex >= kStorage) return;
    const CInventoryItem* entry = player->items[static_cast<size_t>(storageIndex)];
    if (!entry) return;
    auto at = std::find(m_combinationSlots.begin(), m_combinationSlots.end(), storageIndex);
    if (at != m_combinationSlots.end()) {
        m_combinationItems.erase(m_combinationItems.begin() + (at - m_combinationSlots.begin()));
        m_combinationSlots.erase(at);
        return;
    }
    m_combinationSlots.push_back(storageIndex);
    m_combinationItems.push_back(static_cast<int32_t>(ItemKey(entry->record)));
}

int CPlayMainPanel::UseSlot(int index, int isItem) {
    if (ReplayOrObserver() || m_play.Waiting()) return 0;
    CUnit* unit = ShownUnit();
    if (!unit) return 0;
    if (IsDisabled(*unit)) {
        NoticeLine(kLineCannotAct);
        return 0;
    }
    CSkillInstance* use = nullptr;
    if (!isItem) {
        if (index < 0 || index >= kSkills || !Usable(skill[static_cast<size_t>(index)]) ||
            static_cast<size_t>(index) >= unit->skills.size())
            return 0;
        use = unit->skills[static_cast<size_t>(index)];
    } else {
        if (index < 0 || index >= kItems || !Usable(item[static_cast<size_t>(index)]) || !unit->record ||
            !(unit->record->flags & kHeroRecord))
            return 0;
        CInventoryItem* entry = unit->Item(index);
        if (!entry) return 0;
        use = entry->useSkill;
        if (!use && entry->record && entry->record->Grade() == 0) {
            if (g_pWorldObjectManager)
                g_pWorldObjectManager->ApplyItemUse(m_play.LocalPlayerSlot(), unit->id, index, 1);
            RefreshItems(true);
            return 0;
        }
    }
    if (!use || !use->record) return 0;
    if (use->level + use->pendingLevels < 1) {
        NoticeLine(kLineNotLearned);
        return 0;
    }
    const CSkillLevelRecord* level = use->LevelRecord();
    if (level && level->manaCost > 0 && unit->mana < level->manaCost) {
        NoticeLine(kLineNoMana);
        return 0;
    }
    const uint32_t flags = use->record->flags;
    if (!(flags & (kSkillActive | kSkillToggle))) return 0;  // passive
    if (!use->IsReady()) {
        NoticeLine(kLineNotReady);
        return 0;
    }
    CGameCommandManager* commands = g_pGameCommandManager;
    const uint32_t slot = static_cast<uint32_t>(m_play.LocalPlayerSlot());
    if (flags & kSkillActive) {
        if (use->record->skillWord2 != 0) {
            m_play.SetInputMode(MODE_SKILL_TARGET);
            m_hudPickedTarget = -1;
            m_pendingSkill = use;
            m_pendingIsItem = isItem;
            return 1;
        }
        use->UpdateSecond(-1);
        if (!use->Start({}, -1)) return 0;
        use->AutoTarget(1, -1, 0);
        if (commands) commands->BuildCastSkill(static_cast<uint32_t>(use->id), unit->id, -1, {}, slot, 1, 1);
        RefreshSkills(false);
        if (isItem) {
            if (g_pWorldObjectManager) g_pWorldObjectManager->ApplyItemUse(static_cast<int32_t>(slot), unit->id, index, 1);
            RefreshItems(true);
        }
        return 1;
    }
    // A toggle switches on or off on every machine through the record's flag.
    const uint32_t on = use->active ? 0 : 1;
    if (!use->Start({}, -1)) return 0;
    use->AutoTarget(static_cast<int32_t>(on), -1, 0);
    use->active = on;
    if (commands) commands->BuildCastSkill(static_cast<uint32_t>(use->id), unit->id, -1, {}, slot, on, 1);
    if (!isItem && skill[static_cast<size_t>(index)]) {
        RefreshSkills(true);
    }
    return 1;
}

void CPlayMainPanel::SpendSkillPoint(int index) {
    if (ReplayOrObserver() || m_play.Waiting() || index < 0 || index >= kSkills) return;
    CUnit* unit = ShownUnit();
    if (!unit) return;
    if (IsDisabled(*unit)) {
        NoticeLine(kLineCannotAct);
        return;
    }
    CUiButton* button = skillPoint[static_cast<size_t>(index)];
    if (!button || button->HasFlags(UI_HIDDEN) || static_cast<size_t>(index) >= unit->skills.size() ||
        unit->levelUps <= 0)
        return;
    CSkillInstance* learned = unit->skills[static_cast<size_t>(index)];
    if (!learned) return;
    --unit->levelUps;
    if (g_pGameCommandManager)
        g_pGameCommandManager->BuildSkillSlotAction(static_cast<uint32_t>(m_play.LocalPlayerSlot()), unit->id,
                                                    static_cast<uint32_t>(index), 1);
    // A skill cooling down takes its new level once the cool-down is over.
    const CSkillLevelRecord* level = learned->LevelRecord();
    const bool now = learned->level == 0 || !level || level->cooldown == 0 || learned->cooldownElapsed >= level->cooldown;
    if (now) {
        learned->level = std::min(learned->level + 1, learned->LevelCount());
        learned->Init();
    } else {
        ++learned->pendingLevels;
    }
    RefreshSkills(true);
    if (unit->levelUps <= 0)
        for (CUiButton* b : skillPoint)
            if (b) b->AddFlags(UI_HIDDEN);
}

void CPlayMainPanel::HoldItem(CInventoryItem* held, int32_t index, int32_t holder, int fromStorage) {
    dragIcon.Hold({held, index, holder, fromStorage});
    m_play.SetInputMode(MODE_ITEM_HELD);
    m_pendingSkill = nullptr;
    PlayPanelSound(CPlayResources::SND_PICKUP_ITEM);
}

void CPlayMainPanel::OnRButtonClick(CUiObject* control) {
    if (!control || m_play.InputMode() == MODE_UI_ONLY) return;
    if (ReplayOrObserver() || m_play.Waiting()) return;
    if (PickUpStorage(control)) return;
    if (m_play.InputMode() == MODE_ITEM_HELD) {
        ClearHeld();
        m_play.SetInputMode(MODE_NORMAL);
    }
    PickUpItem(control);
    if (m_play.InputMode() == MODE_COMBINATION) CancelCombination();
}

int CPlayMainPanel::PickUpStorage(CUiObject* control) {
    const int i = SlotIndex(storage, control);
    if (i < 0) return 0;
    if (m_play.InputMode() == MODE_ITEM_HELD) return DropHeldItem(control);
    CPlayerSlot* player = LocalPlayer();
    CInventoryItem* entry = player ? player->items[static_cast<size_t>(i)] : nullptr;
    if (!entry) return 0;
    const int32_t slot = m_play.LocalPlayerSlot();
    if (!ShiftHeld()) {
        HoldItem(entry, i, slot, 1);
        return 1;
    }
    CUnit* unit = ShownUnit();
    if (!unit) return 1;
    if (!m_controlsEnabled) {
        Notice(GetMessageText(MSG_ITEM_CHECK_NOT_GIVE));
        return 1;
    }
    int32_t place = -1;
    if (const int32_t code = unit->CanAcquireItem(*entry, -1, &place); code != -1) {
        Notice(GetMessageText(code));
        return 1;
    }
    if (m_play.MoveItem(slot, slot, 1, unit->id, 0, i, place, 1)) m_play.SetInputMode(MODE_UI_ONLY);
    RefreshStorage();
    return 1;
}

void CPlayMainPanel::PickUpItem(CUiObject* control) {
    const int i = SlotIndex(item, control);
    CUnit* unit = ShownUnit();
    if (i < 0 || !unit || IsDisabled(*unit) || !unit->record || !(unit->record->flags & kHeroRecord)) return;
    CInventoryItem* entry = unit->Item(i);
    if (!entry) return;
    if (entry->useSkill && unit->order.kind == 6 && unit->order.skillId == entry->useSkill->id) {
        Notice(GetMessageText(MSG_ITEM_USE_ITEM_SKILL));
        return;
    }
    if (!ShiftHeld()) {
        HoldItem(entry, i, unit->id, 0);
        return;
    }
    const CPlayerSlot* player = LocalPlayer();
    const int free = player ? player->FirstFreeItemSlot() : -1;
    if (free < 0) {
        Notice(GetMessageText(MSG_ITEM_BUY_FULL_INVENTORY));
        return;
    }
    const int32_t slot = m_play.LocalPlayerSlot();
    if (m_play.MoveItem(slot, unit->id, 0, slot, 1, i, free, 1)) m_play.SetInputMode(MODE_UI_ONLY);
}

int CPlayMainPanel::DropHeldItem(CUiObject* control) {
    if (!Held().item) return 0;
    const int32_t slot = m_play.LocalPlayerSlot();
    if (const int j = SlotIndex(storage, control); j >= 0) {
        if (Held().fromStorage && Held().index == j) return 1;
        if (!Held().fromStorage) {
            CWorldObject* holder = g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(Held().holder) : nullptr;
            if (!holder || !holder->IsUnit()) return 1;
        }
        PlayPanelSound(CPlayResources::SND_PUTDOWN_ITEM);
        if (m_play.MoveItem(slot, Held().holder, Held().fromStorage, slot, 1, Held().index, j, 1)) {
            m_play.SetInputMode(MODE_UI_ONLY);
            ClearHeld();
        }
        RefreshStorage();
        return 1;
    }
    if (const int j = SlotIndex(item, control); j >= 0) {
        CUnit* unit = ShownUnit();
        if (!unit) return 1;
        PlayPanelSound(CPlayResources::SND_PUTDOWN_ITEM);
        int32_t place = j;
        if (const int32_t code = unit->CanAcquireItem(*Held().item, Held().fromStorage ? -1 : j, &place);
            code != -1 && !(!Held().fromStorage && Held().holder == unit->id)) {
            Notice(GetMessageText(code));
            return 1;
        }
        if (m_play.MoveItem(slot, Held().holder, Held().fromStorage, unit->id, 0, Held().index, j, 1)) {
            m_play.SetInputMode(MODE_UI_ONLY);
            ClearHeld();
        }
        return 1;
    }
    return 0;
}

void CPlayMainPanel::OnLButtonDoubleClick(CUiObject* control) {
    if (!control || m_play.InputMode() == MODE_UI_ONLY || m_play.Waiting() || ShiftHeld()) return;
    if (const int i = SlotIndex(army, control); i >= 0) {
        const std::vector<int32_t>& selected = m_play.Selection().selected;
        if (static_cast<size_t>(i) >= selected.size()) return;
        const int32_t id = selected[static_cast<size_t>(i)];
        CancelInputMode();
        m_play.Selection().selected.assign(1, id);
        m_play.Selection().focus = id;
        Refresh(id);
        return;
    }
    if (control == viewer && GetActiveSelection()) {
        CancelInputMode();
        m_play.Selection().selected.assign(1, m_selectedObject);
        m_play.Selection().focus = m_selectedObject;
    }
}

// Combinations ------------------------------------------------------------

void CPlayMainPanel::CancelCombination() {
    m_combinationItems.clear();
    m_combinationSlots.clear();
    RefreshStorage();
    Notice(GetMessageText(MSG_COMBINATION_CANCEL));
    if (m_play.InputMode() == MODE_COMBINATION) m_play.SetInputMode(MODE_NORMAL);
}

bool CPlayMainPanel::HasIngredients(const ItemCombination& recipe) const {
    const CPlayerSlot* player = LocalPlayer();
    if (!player || recipe.members.empty()) return false;
    std::array<bool, kStorage> used{};
    for (const CGameDataRecord* member : recipe.members) {
        bool found = false;
        for (size_t i = 0; i < used.size() && !found; ++i) {
            const CInventoryItem* entry = player->items[i];
            if (used[i] || !entry || !member || entry->recordId != member->id) continue;
            used[i] = found = true;
        }
        if (!found) return false;
    }
    return true;
}

void CPlayMainPanel::Combine() {
    if (m_combinationItems.size() < 2) {
        Notice(GetMessageText(MSG_COMBINATION_NOT_2ITEM));
        return;
    }
    std::vector<CGameDataRecord*> members;
    const CPlayerSlot* player = LocalPlayer();
    for (int32_t index : m_combinationSlots) {
        const CInventoryItem* entry = player ? player->items[static_cast<size_t>(index)] : nullptr;
        if (entry && entry->record) members.push_back(entry->record);
    }
    const ItemCombination* recipe =
        g_pGameDataRegistry ? g_pGameDataRegistry->FindCombination(CGameDataRegistry::CombinationKey(members)) : nullptr;
    const int result = PerformCombination(recipe);
    m_combinationItems.clear();
    m_combinationSlots.clear();
    RefreshStorage();
    if (!result) m_play.SetInputMode(MODE_NORMAL);
}

void CPlayMainPanel::AutoCombine() {
    const CPlayerSlot* player = LocalPlayer();
    if (!player || !g_pGameDataRegistry) return;
    const ItemCombination* chosen = nullptr;
    for (const CInventoryItem* entry : player->items) {
        if (!entry) continue;
        for (const auto& recipe : g_pGameDataRegistry->Combinations()) {
            const bool uses = std::any_of(recipe->members.begin(), recipe->members.end(),
                                          [&](const CGameDataRecord* m) { return m && m->id == entry->recordId; });
            if (!uses || !HasIngredients(*recipe)) continue;
            if (!chosen) {
                chosen = recipe.get();
            } else if (chosen != recipe.get()) {
                m_combinationItems.clear();
                m_combinationSlots.clear();
                Notice(GetMessageText(MSG_COMBINATION_USE_SELECT));
                return;
            }
        }
    }
    if (!chosen) return;
    // The pick is the first storage slot of each ingredient.
    m_combinationItems.clear();
    m_combinationSlots.clear();
    std::array<bool, kStorage> used{};
    for (const CGameDataRecord* member : chosen->members)
        for (size_t i = 0; i < used.size(); ++i)
            if (!used[i] && player->items[i] && member && player->items[i]->recordId == member->id) {
                used[i] = true;
                m_combinationSlots.push_back(static_cast<int32_t>(i));
                m_combinationItems.push_back(static_cast<int32_t>(member->id));
                break;
            }
    PerformCombination(chosen);
    m_combinationItems.clear();
    m_combinationSlots.clear();
    RefreshStorage();
}

void CPlayMainPanel::RemovePicked(bool onlyLost) {
    const CPlayerSlot* player = LocalPlayer();
    const int32_t slot = m_play.LocalPlayerSlot();
    for (int32_t index : m_combinationSlots) {
        const CInventoryItem* entry = player ? player->items[static_cast<size_t>(index)] : nullptr;
        if (!entry || (onlyLost && !(entry->record && entry->record->LostOnFailedCombination()))) continue;
        m_play.ItemSlotAction(slot, slot, 1, index, 1, 1);
    }
}

int CPlayMainPanel::PerformCombination(const ItemCombination* recipe) {
    if (!recipe) {
        Notice(GetMessageText(MSG_COMBINATION_WRONG_ITEM));
        return 0;
    }
    const int32_t slot = m_play.LocalPlayerSlot();
    CWorldObject* own = g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(slot) : nullptr;
    const float chance = static_cast<float>(recipe->value) + (own ? own->GetStat(13) : 0.0f);
    CGameCommandManager* commands = g_pGameCommandManager;
    auto buy = [&](uint32_t itemId) {
        if (commands) commands->BuildBuyItem(static_cast<uint32_t>(slot), 0xFF, 0xFFFF, 1, itemId, 1);
    };
    if (chance > 100.0f || recipe->value == 0) {
        RemovePicked(false);
        if (ReplayOrObserver()) RefreshStorage();
        buy(ItemKey(recipe->resultItem));
        Notice(recipe->resultItem ? recipe->resultItem->name : std::string());
        return 1;
    }
    if (RollPercent(chance) && recipe->resultItem) {
        RemovePicked(false);
        buy(ItemKey(recipe->resultItem));
        return 1;
    }
    if (recipe->extraItem) {
        RemovePicked(false);
        buy(ItemKey(recipe->extraItem));
    } else {
        const CPlayerSlot* player = LocalPlayer();
        const bool anyLost = player && std::any_of(m_combinationSlots.begin(), m_combinationSlots.end(), [&](int32_t i) {
                                 const CInventoryItem* e = player->items[static_cast<size_t>(i)];
                                 return e && e->record && e->record->LostOnFailedCombination();
                             });
        RemovePicked(true);
        if (anyLost) buy(0);
    }
    Notice(GetMessageText(MSG_COMBINATION_FAILED));
    return 1;
}
