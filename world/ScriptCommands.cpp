#include "world/ScriptCommands.h"

#include <algorithm>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/NameHash.h"
#include "engine/render/Camera.h"
#include "ui/UiManager.h"
#include "ui/UiTypes.h"
#include "ui/UiWindow.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"
#include "world/MapAreas.h"
#include "world/MapScenario.h"
#include "world/ScriptHost.h"
#include "world/ScriptManager.h"
#include "world/SpatialTree.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {

const char* KeywordWord(int keyword) {
    switch (keyword) {
        case SCR_CHECK_TIMER: return "CHECK_TIMER";
        case SCR_CHECK_CLICK_MSGBOX: return "CHECK_CLICK_MSGBOX";
        case SCR_RUN_TIMER: return "RUN_TIMER";
        case SCR_STOP_TIMER: return "STOP_TIMER";
        case SCR_DISPLAY_MSGBOX: return "DISPLAY_MSGBOX";
        default: return "";
    }
}

uint32_t NumberedKey(int keyword, int32_t number) {
    return NameHash(std::string(KeywordWord(keyword)) + std::to_string(number));
}

CScriptMission* Current(const CScriptCommand& command) {
    return command.manager ? command.manager->CurrentMission() : nullptr;
}

}  // namespace

// ---- containers ----

uint32_t CScriptBlock::Execute() {
    for (auto& command : commands) command->Execute();
    return 1;
}

uint32_t CScriptBlock::Check(float elapsed) {
    size_t held = 0;
    for (auto& command : commands) {
        if (command->Check(elapsed)) {
            if (mode == 1) return 1;
            ++held;
        } else if (command->KeywordId() == SCR_CHECK_CLICK_MSGBOX) {
            break;
        }
    }
    return mode == 0 && held == commands.size() ? 1 : 0;
}

uint32_t CScriptBlock::IsReady() {
    for (auto& command : commands)
        if (!command->IsReady()) return 0;
    return 1;
}

void CScriptBlock::Reset() {
    for (auto& command : commands) command->Reset();
}

void CScriptBlock::CollectNumbered(std::vector<CScriptCommand*>& out) {
    for (auto& command : commands) command->CollectNumbered(out);
}

uint32_t CScriptEvent::Update(float elapsed) {
    if (fired && !loop) return 1;
    if (condition && condition->Check(elapsed)) {
        fired = 1;
        if (loop) condition->Reset();
        if (execute) execute->Execute();
    }
    return 0;
}

uint32_t CScriptEvent::IsReady() {
    return (!condition || condition->IsReady()) && (!execute || execute->IsReady()) ? 1 : 0;
}

void CScriptEvent::Reset() {
    fired = 0;
    if (condition) condition->Reset();
    if (execute) execute->Reset();
}

void CScriptEvent::CollectNumbered(std::vector<CScriptCommand*>& out) {
    if (condition) condition->CollectNumbered(out);
    if (execute) execute->CollectNumbered(out);
}

void CScriptMission::Update(float elapsed) {
    for (auto& event : events) event->Update(elapsed);
    // A click counts for the events of one frame only.
    IMessageBoxHost* box = g_pScriptHost ? g_pScriptHost->MessageBox() : nullptr;
    if (box && box->Result() == 1) box->SetResult(-1);
}

uint32_t CScriptMission::IsReady() {
    if (start && !start->IsReady()) return 0;
    for (auto& event : events)
        if (!event->IsReady()) return 0;
    return 1;
}

void CScriptMission::Reset() {
    started = 0;
    if (start) start->Reset();
    for (auto& event : events) event->Reset();
}

void CScriptMission::BuildRegistry() {
    registry.clear();
    std::vector<CScriptCommand*> numbered;
    if (start) start->CollectNumbered(numbered);
    for (auto& event : events) event->CollectNumbered(numbered);
    for (CScriptCommand* command : numbered)
        registry.emplace_back(NumberedKey(command->Keyword(), command->number), command);
}

std::vector<CScriptCommand*> CScriptMission::FindNumbered(int keyword, int32_t number) const {
    const uint32_t key = NumberedKey(keyword, number);
    std::vector<CScriptCommand*> found;
    for (const auto& [hash, command] : registry)
        if (hash == key) found.push_back(command);
    return found;
}

// ---- conditions ----

uint32_t CScriptCheckArea::Check(float elapsed) {
    clock += elapsed;
    if (clock <= 0.5f || !manager || !g_pSpatialTree) return 0;
    MapAreaView view;
    CWorldObject* unit = manager->FindObject(object);
    if (!unit || !FindMapArea(area, &view)) return 0;
    clock = 0;
    if (!g_pSpatialTree->AnyOwnedUnitInArea(view.centre, AreaReach(view), unit->owner)) return 0;
    if (g_pScriptHost) g_pScriptHost->SetScriptedMove(false);
    return 1;
}

uint32_t CScriptCheckDie::Check(float elapsed) {
    if (held) return 1;
    clock += elapsed;
    if (clock <= 1.0f || !manager) return 0;
    CWorldObject* target = manager->FindObject(object);
    if (!target || target->alive) return 0;
    held = 1;
    target->scriptRevive = 0;
    return 1;
}

uint32_t CScriptCheckTimer::Check(float elapsed) {
    if (!running) return 0;
    clock += elapsed;
    return (in ? clock < limit : clock > limit) ? 1 : 0;
}

uint32_t CScriptCheckClickMsgBox::Check(float) {
    if (!armed) return 0;
    if (clicked) return 1;
    IMessageBoxHost* box = g_pScriptHost ? g_pScriptHost->MessageBox() : nullptr;
    if (box && box->Result() == 1) clicked = 1;
    return 0;
}

uint32_t CScriptCheckStat::Check(float) {
    CWorldObject* target = manager ? manager->FindObject(object) : nullptr;
    if (!target) return 0;
    const bool hp = KeywordId() == SCR_CHECK_HP;
    const float value = hp ? target->hitPoints : target->mana;
    const float bound = percent * 0.01f * target->GetStat(hp ? 5 : 6);
    return (in ? value <= bound : value >= bound) ? 1 : 0;
}

uint32_t CScriptCheckClickUi::Check(float) {
    if (!g_pUiManager || !g_pScriptHost) return 0;
    CUiWindow* found = g_pUiManager->FindWindow(window);
    CUiObject* child = found ? found->FindChild(control) : nullptr;
    return child && g_pScriptHost->MouseClicked(button) && child->HasFlags(UI_POINTER_OVER) ? 1 : 0;
}

uint32_t CScriptCheckItem::Check(float) {
    if (!g_pScriptHost) return 0;
    switch (KeywordId()) {
        case SCR_CHECK_INVENTORY_ITEM: return g_pScriptHost->HasStorageItem(item) ? 1 : 0;
        case SCR_CHECK_SLOT_ITEM: return g_pScriptHost->HasInventoryItem(item) ? 1 : 0;
        default: return g_pScriptHost->CountItems(item) >= count ? 1 : 0;
    }
}

// ---- actions ----

uint32_t CScriptCreateObject::IsReady() {
    CGameDataRecord* unit = FindGameRecord(CAT_UNIT, record);
    return unit && unit->Link() ? 1 : 0;
}

uint32_t CScriptCreateObject::Execute() {
    MapAreaView view;
    CGameDataRecord* unitRecord = FindGameRecord(CAT_UNIT, record);
    if (!manager || !g_pWorldObjectManager || !unitRecord || !FindMapArea(area, &view)) return 1;
    CWorldObjectManager& om = *g_pWorldObjectManager;
    CWorldObject* made = om.CreateObject(0);
    if (!made) return 1;
    made->owner = owner;
    made->team = owner >= 0 && owner < kOwnerCount ? om.ownerTeam[owner] : 0;
    if (!made->InitFromRecord(view.centre, unitRecord, 1, 0, 1.0f)) {
        om.DestroyObject(made);
        return 1;
    }
    made->recordName = unitRecord->name;
    if (auto* combat = dynamic_cast<CCombatObject*>(made)) combat->RebuildSkills(-1);
    if (!om.RegisterObject(made, -1, 1, 1)) {
        om.DestroyObject(made);
        return 1;
    }
    createdId = made->id;
    manager->ObjectMap()[object] = made->id;
    return 1;
}

void CScriptCreateObject::Reset() {
    CWorldObject* made = g_pWorldObjectManager && createdId >= 0 ? g_pWorldObjectManager->GetObjectById(createdId)
                                                                 : nullptr;
    if (made && made->alive) made->Die();
    createdId = -1;
}

uint32_t CScriptObjectAction::Execute() {
    CWorldObject* target = manager ? manager->FindObject(object) : nullptr;
    if (!target) return 1;
    if (KeywordId() == SCR_DIE_OBJECT) {
        target->Die();
        return 1;
    }
    MapAreaView view;
    if (!FindMapArea(area, &view)) return 1;
    if (KeywordId() == SCR_JUMP_OBJECT) {
        target->TeleportTo(view.centre);
        if (auto* combat = dynamic_cast<CCombatObject*>(target)) combat->SetOrder(0, 0, view.centre, -1, -1);
        return 1;
    }
    if (g_pGameCommandManager)
        g_pGameCommandManager->BuildUnitOrder(target->id, target->hitPoints, 3, 0, view.centre, target->position, -1,
                                              -1, 1);
    if (flag && g_pScriptHost) g_pScriptHost->SetScriptedMove(true);
    return 1;
}

uint32_t CScriptMoveCamera::Execute() {
    MapAreaView view;
    CCamera* camera = g_pScriptHost ? g_pScriptHost->Camera() : nullptr;
    if (!camera || !FindMapArea(area, &view)) return 1;
    g_pScriptHost->SelectOwnHero();
    camera->travelB = camera->target;
    camera->travelA = view.centre;
    camera->travelA.y = camera->target.y;
    camera->travelSpeed = speed;
    camera->holdTime = hold;
    camera->holdElapsed = 0;
    camera->travelStage = flag;
    camera->returning = 0;
    camera->travelDone = 0;
    return 1;
}

uint32_t CScriptControlLock::Execute() {
    const bool lock = KeywordId() == SCR_CONTROL_LOCK;
    if (CWorldObject* hero = manager ? manager->Hero() : nullptr) {
        if (lock) {
            if (auto* combat = dynamic_cast<CCombatObject*>(hero)) combat->SetOrder(0, 0, hero->position, -1, -1);
            hero->controlFlags |= 0x80000u;
        } else {
            hero->controlFlags &= ~0x80000u;
        }
    }
    if (g_pScriptHost) g_pScriptHost->SetInputLocked(lock);
    return 1;
}

uint32_t CScriptAlertArea::Execute() {
    MapAreaView view;
    if (g_pGameCommandManager && FindMapArea(area, &view))
        g_pGameCommandManager->BuildMapAlert(-1, view.centre, 2, 0);
    return 1;
}

uint32_t CScriptTimerControl::Execute() {
    CScriptMission* mission = Current(*this);
    if (!mission) return 1;
    for (CScriptCommand* command : mission->FindNumbered(SCR_CHECK_TIMER, number)) {
        auto* timer = static_cast<CScriptCheckTimer*>(command);
        timer->running = KeywordId() == SCR_RUN_TIMER;
        if (timer->running) timer->clock = 0;
    }
    return 1;
}

uint32_t CScriptMessage::Execute() {
    if (!box) {
        if (g_pGameCommandManager) g_pGameCommandManager->BuildChat(200, 1, text.c_str(), 0xFFFFFF, 0);
        return 1;
    }
    if (IMessageBoxHost* messageBox = g_pScriptHost ? g_pScriptHost->MessageBox() : nullptr)
        ShowMessageBox(*messageBox, text.c_str(), 1, 1);
    if (CScriptMission* mission = Current(*this))
        for (CScriptCommand* command : mission->FindNumbered(SCR_CHECK_CLICK_MSGBOX, number))
            static_cast<CScriptCheckClickMsgBox*>(command)->armed = 1;
    return 1;
}

uint32_t CScriptSimpleAction::Execute() {
    CWorldObject* hero = manager ? manager->Hero() : nullptr;
    switch (KeywordId()) {
        case SCR_NEXT_MISSION:
            if (manager) manager->RequestNextMission();
            break;
        case SCR_AGAIN_MISSION: {
            if (hero && !hero->alive) {
                auto* combat = dynamic_cast<CCombatObject*>(hero);
                CScriptMission* mission = Current(*this);
                if (combat && combat->order.kind == 4 && g_pGameCommandManager)
                    g_pGameCommandManager->BuildHeroRevive(hero->id, mission ? mission->objectStart : 0, 0);
                hero->scriptRevive = 1;
            }
            if (manager) manager->RequestAgainMission();
            break;
        }
        case SCR_FINISH_ITEM_COOLTIME:
            if (g_pScriptHost) g_pScriptHost->RestockShopItem(object);
            break;
        case SCR_GAME_PAUSE:
        case SCR_GAME_PLAY: {
            const bool pause = KeywordId() == SCR_GAME_PAUSE;
            if (g_pScriptHost) {
                g_pScriptHost->SetControlsEnabled(!pause);
                g_pScriptHost->SetPaused(pause);
            }
            break;
        }
        case SCR_ENABLE_TOWNPORTAL:
            // The skill instances carry no enable flag yet: the town portal is always usable.
            break;
        case SCR_STOP_EVENT:
            if (CScriptMission* mission = Current(*this);
                mission && value >= 0 && value < static_cast<int32_t>(mission->events.size())) {
                mission->events[static_cast<size_t>(value)]->fired = 1;
                mission->events[static_cast<size_t>(value)]->loop = 0;
            }
            break;
        case SCR_LEVEL_UP: {
            auto* unit = dynamic_cast<CUnit*>(manager ? manager->FindObject(object) : nullptr);
            if (unit && g_pGameCommandManager) {
                const int32_t amount = unit->GetExperienceForLevel(value) - static_cast<int32_t>(unit->experience);
                g_pGameCommandManager->BuildGrantReward(0, unit->id, amount, 0);
            }
            break;
        }
        case SCR_SCREEN_FADE:
            if (g_pScriptHost) g_pScriptHost->StartScreenFade(value != 0);
            break;
        default: break;
    }
    return 1;
}

uint32_t CScriptFlicker::Execute() {
    if (!manager) return 1;
    if (Keyword() == SCR_FLICKER_ON)
        manager->AddFlicker(window, control);
    else
        manager->FinishFlicker(window, control);
    return 1;
}
