// The play screen's command dispatcher: every record that is due runs through
// the handler of its type, then the frames the frame filled go to the server.
// Every field a handler uses is checked before use (ids, slots, indexes,
// counts); a record that fails a check is released without effect, so a
// damaged or hostile record can never half-run.
#include <algorithm>
#include <cmath>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/render/Camera.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "screens/game/PlayScreen.h"
#include "world/GameDataRegistry.h"
#include "world/MapScenario.h"
#include "world/ItemObject.h"
#include "world/SkillActions.h"
#include "world/SkillInstance.h"
#include "world/SkillLearning.h"
#include "world/SummonRecords.h"
#include "world/Trigger.h"
#include "world/TriggerRecords.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr int kSlotCount = 12;

CWorldObject* Object(int32_t id) {
    return id >= 0 && g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(id) : nullptr;
}
CCombatObject* Combat(int32_t id) {
    CWorldObject* o = Object(id);
    return o && o->IsCombatObject() ? static_cast<CCombatObject*>(o) : nullptr;
}
CUnit* UnitOf(int32_t id) {
    CWorldObject* o = Object(id);
    return o && o->IsUnit() ? static_cast<CUnit*>(o) : nullptr;
}
bool ValidSlot(int32_t slot) { return slot >= 0 && slot < kSlotCount; }
CPlayerSlot* Slot(int32_t slot) {
    return ValidSlot(slot) && g_pClientSession ? &g_pClientSession->slots[static_cast<size_t>(slot)] : nullptr;
}
bool ReplayOrObserver() { return g_pWorldObjectManager->gameMode == 3 || g_pWorldObjectManager->gameMode == 4; }
// Records that still run once the match is over.
bool RunsAfterGameOver(uint8_t type) {
    return type == CMD_UNIT_KILLED || type == CMD_TRIGGER_CONTROL || type == CMD_UI_CUE || type == CMD_CHAT ||
           type == CMD_PLAYER_EVENT || type == CMD_PLAYER_SLOT_STATE;
}
}  // namespace

int CPlayScreen::DispatchGameCommands(float realDt) {
    CGameCommandManager* commands = g_pGameCommandManager;
    if (!commands || !g_pWorldObjectManager) return 1;
    while (CGameCommand* record = commands->NextCommand()) {
        if (record->Type() >= kGameCommandTypes) {
            commands->ReleaseDispatched(record);
            continue;
        }
        if (!Dispatch(*record)) {
            // The unit cannot take the order yet: nothing overtakes it.
            commands->DeferCommand(record);
            break;
        }
        commands->ReleaseDispatched(record);
    }
    return SendFrames(realDt);
}

int CPlayScreen::SendFrames(float realDt) {
    CGameCommandManager* commands = g_pGameCommandManager;
    CWorldObjectManager* world = g_pWorldObjectManager;
    if (!world->IsNetworkGame() || Phase() == kPhaseErrorPopup) return 1;
    m_sendTimer += realDt;
    m_slotStateTimer += realDt;
    if (m_sendTimer <= kSendInterval) return 1;
    if (!commands->Frame(0).Empty() && m_slotStateTimer > kSlotStateInterval) {
        if (CGameCommand* r = commands->IsPacking()
                                  ? commands->PackCommand(GameCommandSize(CMD_PLAYER_SLOT_STATE), CMD_PLAYER_SLOT_STATE)
                                  : commands->CreateCommand(CMD_PLAYER_SLOT_STATE)) {
            r->SetU8(2, static_cast<uint32_t>(LocalSlot()));
            r->SetU8(3, ConnectionClass(m_ownLatency));
            if (!commands->IsPacking()) commands->QueueCommand(r);
        }
        m_slotStateTimer = 0;
    }
    CNetClient* net = g_pClientSession ? g_pClientSession->net : nullptr;
    bool sent = false;
    for (int f = 0; f <= commands->CurrentFrameIndex() && f < CGameCommandManager::kFrames; ++f) {
        CommandFrame& frame = commands->Frame(f);
        if (frame.Empty()) continue;
        frame.Seal(static_cast<uint8_t>(LocalSlot()), world->gameClock);
        if (!net || !net->SendPacket(PK_GAME_COMMANDS, frame.Data(), frame.Used())) {
            // The frames sent before this one must not go out a second time.
            if (sent) {
                for (int done = 0; done < f; ++done) commands->Frame(done).Reset();
            }
            if (!net) ErrorReport().SetError(10000, "%s", "The match has no game connection");
            return 0;
        }
        sent = true;
    }
    if (sent) {
        m_sendTimer = 0;
        commands->ResetFrames();
    }
    return 1;
}

int CPlayScreen::Dispatch(CGameCommand& r) {
    const uint8_t type = r.Type();
    if (m_gameOver && !RunsAfterGameOver(type)) return 1;
    switch (type) {
        case CMD_UNIT_ORDER:
            return OnUnitOrder(r);
        case CMD_UNIT_ORDER_QUEUED:
            OnUnitOrderQueued(r);
            break;
        case CMD_UNIT_STOP:
            return OnUnitStop(r);
        case CMD_HERO_REVIVE:
            OnHeroRevive(r);
            break;
        case CMD_UNIT_NEXT_ORDER:
            OnUnitNextOrder(r);
            break;
        case CMD_CREATE_OBJECT:
            OnCreateObject(r);
            break;
        case CMD_TRIGGER_CONTROL:
            OnTriggerControl(r);
            break;
        case CMD_SPAWN_UNIT:
            OnSpawnUnit(r);
            break;
        case CMD_GRANT_REWARD:
            OnGrantReward(r);
            break;
        case CMD_GRANT_REWARD_GROUP:
            OnGrantRewardGroup(r);
            break;
        case CMD_UI_CUE:
            OnUiCue(r);
            break;
        case CMD_CHAT:
            OnChat(r);
            break;
        case CMD_CAST_SKILL:
            OnCastSkill(r);
            break;
        case CMD_UNIT_FLAGS:
            OnUnitFlags(r);
            break;
        case CMD_GAME_EVENT:
            OnGameEvent(r);
            break;
        case CMD_SKILL_ACTION:
            OnSkillAction(r);
            break;
        case CMD_USE_ITEM:
            OnUseItem(r);
            break;
        case CMD_FOLLOWER_ACTION:
            OnFollowerAction(r);
            break;
        case CMD_RUN_TRIGGER:
            OnRunTrigger(r);
            break;
        case CMD_RESTORE_UNIT:
            OnRestoreUnit(r);
            break;
        case CMD_UNIT_TARGET_LIST:
            OnUnitTargetList(r);
            break;
        case CMD_PLAYER_SLOT_STATE:
            OnPlayerSlotState(r);
            break;
        case CMD_UNIT_TO_AREA:
            OnUnitToArea(r);
            break;
        case CMD_SKILL_SLOT_ACTION:
            OnSkillSlotAction(r);
            break;
        case CMD_BUY_ITEM:
            OnBuyItem(r);
            break;
        case CMD_SUMMON:
            OnSummon(r);
            break;
        case CMD_MAP_ALERT:
            OnMapAlert(r);
            break;
        case CMD_UNIT_KILLED:
            OnUnitKilled(r);
            break;
        case CMD_HP_CHANGE:
            OnHpChange(r);
            break;
        case CMD_UNIT_EFFECTS_RESET:
            OnUnitEffectsReset(r);
            break;
        case CMD_PLAYER_EVENT:
            OnPlayerEvent(r);
            break;
        case CMD_MOVE_ITEM:
            OnMoveItem(r);
            break;
        case CMD_ITEM_SLOT_ACTION:
            OnItemSlotAction(r);
            break;
        default:
            // The HUD's, the shop's and the result's types arrive with their
            // windows. A target query only asks the others to look at an
            // attacker; nothing in this world keeps the answer.
            break;
    }
    return 1;
}

int CPlayScreen::OnUnitOrder(CGameCommand& r) {
    CCombatObject* unit = Combat(r.I16(8));
    if (!unit) return 1;
    const uint32_t kind = r.U8(2), subKind = r.U8(3);
    if (unit->alive) {
        const bool moveLike = kind == 1 || kind == 2 || kind == 6 || (kind == 0 && subKind == 8);
        // A unit bound in place by a trigger or a skill stays where it is held.
        if (moveLike && !(unit->stateFlags & 0x80)) SyncUnitPosition(*unit, r.Point(16));
        SyncUnitHitPoints(*unit, r.F32(20));
    }
    if (!unit->SetOrder(static_cast<int32_t>(kind), static_cast<int32_t>(subKind), r.Point(12), r.I16(10), r.I16(6)))
        return 0;
    if (g_pWorldObjectManager->gameMode != 3 && unit->order.kind == 5 && unit->owner == LocalSlot()) {
        if (m_inputMode == 2) m_inputMode = 0;
    }
    return 1;
}

void CPlayScreen::SyncUnitPosition(CWorldObject& unit, const platform::Vec3& senderPosition) {
    if (!unit.IsUnit() || unit.HasLocalAuthority()) return;
    const platform::Vec3 d = unit.position - senderPosition;
    const float distance = std::sqrt(d.x * d.x + d.z * d.z);
    if (distance <= 120.0f) return;
    unit.TeleportTo({senderPosition.x, 0.0f, senderPosition.z});
}

void CPlayScreen::SyncUnitHitPoints(CWorldObject& unit, float senderHitPoints) {
    if (!unit.alive || unit.HasLocalAuthority() || !unit.IsCombatObject()) return;
    auto& combat = static_cast<CCombatObject&>(unit);
    const float maximum = combat.GetStat(5);
    const bool mismatch =
        senderHitPoints > 0.0f && std::fabs(senderHitPoints - unit.hitPoints) > 80.0f && senderHitPoints < maximum;
    if (!mismatch) {
        combat.hitMismatches = 0;
        return;
    }
    if (++combat.hitMismatches > 3) {
        unit.hitPoints = std::min(maximum, senderHitPoints + 0.2f * combat.GetStat(7));
        combat.hitMismatches = 0;
    }
}

void CPlayScreen::OnUnitOrderQueued(CGameCommand& r) {
    CCombatObject* unit = Combat(r.I16(8));
    const uint32_t kind = r.U8(2);
    if (!unit || (!unit->alive && kind != 4 && kind != 5)) return;
    const int32_t mode = r.I16(4);
    if (mode == 0) {
        unit->queuedOrders.Add(static_cast<int32_t>(kind), r.U8(3), r.Point(12), r.I16(10), -1, true);
    } else if (mode == 1) {
        if (unit->order.kind == 0 && unit->currentOrders.Empty())
            unit->SetOrder(static_cast<int32_t>(kind), r.U8(3), r.Point(12), r.I16(10), -1);
        else
            unit->queuedOrders.Add(static_cast<int32_t>(kind), r.U8(3), r.Point(12), r.I16(10), -1, false);
    }
}

int CPlayScreen::OnUnitStop(CGameCommand& r) {
    CCombatObject* unit = Combat(r.I16(2));
    if (!unit) return 1;
    return unit->SetOrder(0, 0, unit->position, -1, -1);
}

void CPlayScreen::OnHeroRevive(CGameCommand& r) {
    CCombatObject* hero = Combat(r.I16(2));
    if (!hero || hero->alive || hero->order.kind != 4) return;
    CWorldObjectManager& world = *g_pWorldObjectManager;
    platform::Vec3 base = hero->homePoint;
    const float radius = hero->bounds.horizontalRadius;
    world.BuildSpawnCandidates(radius);
    platform::Vec3 spot = base;
    if (world.FindFreeSpawnPoint(base, radius, 1, &spot)) hero->TeleportTo(spot);
    hero->SetOrder(5, 0, hero->position, -1, -1, 1);
    if (hero->owner == LocalSlot()) {
        if (m_inputMode == 2) m_inputMode = 0;
        FocusCamera(hero->position);
    }
}

void CPlayScreen::OnUnitNextOrder(CGameCommand& r) {
    CCombatObject* unit = Combat(r.I16(2));
    if (unit && !unit->HasLocalAuthority() && !unit->alive && unit->order.kind == 4) unit->DropFirstQueuedOrder();
}

void CPlayScreen::OnCreateObject(CGameCommand& r) { PlaceDroppedItem(r.I16(2), r.U32(4), r.Point(8), r.U32(12)); }

void CPlayScreen::OnTriggerControl(CGameCommand& r) {
    if (!g_pMapScenario) return;
    const uint32_t hash = r.U32(4);
    switch (r.I16(2)) {
        case 0:
            g_pMapScenario->RemoveTrigger(hash);
            break;
        case 1:
            g_pMapScenario->SetTriggerEnabled(hash, 1);
            break;
        case 2:
            g_pMapScenario->SetTriggerEnabled(hash, 0);
            break;
        default:
            break;
    }
}

void CPlayScreen::OnSpawnUnit(CGameCommand& r) {
    if (const uint32_t hash = r.U32(8)) {
        SpawnTriggerUnits({r.U8(2), r.U8(3), r.Point(4), hash, r.U32(12), r.U32(16)});
        return;
    }
    // One unit of a player slot (or the scenario's owners), under its id.
    CWorldObjectManager& world = *g_pWorldObjectManager;
    CGameDataRecord* record = FindGameRecord(CAT_UNIT, r.U32(12));
    const uint32_t id = r.U32(16);
    const int32_t owner = r.U8(3);
    if (!record || id >= static_cast<uint32_t>(CWorldObjectManager::kIdLimit) || Object(static_cast<int32_t>(id)))
        return;
    CWorldObject* o = world.CreateObject(0);
    if (!o) return;
    o->SetOwner(owner);
    const platform::Vec3 at = r.Point(4);
    if (!o->InitFromRecord(at, record, 1, 0.0f, 1.0f) || !o->IsCombatObject() ||
        !world.RegisterObject(o, static_cast<int32_t>(id), 1, 1)) {
        world.DestroyObject(o);
        return;
    }
    auto* unit = static_cast<CCombatObject*>(o);
    unit->team = owner < kOwnerCount ? world.ownerTeam[owner] : 0;
    unit->RebuildSkills(ValidSlot(owner) ? 0 : -1);
    unit->SetOrder(5, 0, at, -1, -1, 1);
}

void CPlayScreen::GrantReward(uint32_t kind, int32_t id, int32_t amount) {
    if (kind == 0) {
        CUnit* unit = UnitOf(id);
        if (!unit) return;
        unit->experience += static_cast<float>(amount);
        unit->ApplyLevelUps();
        if (CPlayerSlot* slot = Slot(unit->owner); slot && unit->id == unit->owner) {
            slot->level = unit->level;
            slot->experience = static_cast<int32_t>(unit->experience);
        }
        return;
    }
    CPlayerSlot* slot = Slot(id);
    if (!slot) return;
    slot->gold += amount;
    if (amount > 0) slot->goldEarned += amount;
    slot->goldTally += amount;
}

void CPlayScreen::OnGrantReward(CGameCommand& r) {
    GrantReward(r.U8(2), r.I16(4), r.I16(6));
    RefreshRankBoard();
}

void CPlayScreen::OnGrantRewardGroup(CGameCommand& r) {
    const int count = std::min<int>(r.U8(3), kRewardGroupIds);
    for (int i = 0; i < count; ++i) GrantReward(r.U8(2), r.I16(4 + 2 * static_cast<size_t>(i)), r.I16(18));
    RefreshRankBoard();
}

void CPlayScreen::OnUiCue(CGameCommand& r) {
    if (r.U8(2) == 0) FocusCamera({r.F32(4), r.F32(8), r.F32(12)});
}

void CPlayScreen::OnCastSkill(CGameCommand& r) {
    if (!ReplayOrObserver() && r.U16(12) == static_cast<uint32_t>(LocalSlot())) return;
    CSkillInstance* caster = g_pWorldObjectManager->GetSkillInstance(r.U16(2));
    if (!caster || !Object(r.I16(4))) return;
    const int32_t target = r.I16(6);
    caster->Start(target < 0 ? r.Point(8) : platform::Vec3{}, target < 0 ? -1 : target);
}

void CPlayScreen::OnUnitFlags(CGameCommand& r) {
    CWorldObject* unit = Object(r.I16(4));
    if (!unit) return;
    // The flags changed in play (targetable and the like), never the record's class bits.
    if (r.I16(6))
        unit->stateFlags |= r.U32(8);
    else
        unit->stateFlags &= ~r.U32(8);
}

void CPlayScreen::OnGameEvent(CGameCommand& r) {
    if (r.U8(2) != 10) return OnMatchGameEvent(r);
    CWorldObjectManager& world = *g_pWorldObjectManager;
    if (r.I16(4) == 1) {
        // Every player has loaded: the match starts for everyone at once.
        if (Phase() == PHASE_WAITING) {
            m_waiting = false;
            if (IMessageBoxHost* box = MessageBox()) box->HideBox();
            SetPhase(PHASE_PLAY);
            SetMenuLeaveButtonsEnabled(true);
        }
        return;
    }
    const int32_t slot = r.I16(6);
    if (!ValidSlot(slot)) return;
    m_ready[static_cast<size_t>(slot)] = 1;
    if (world.IsNetworkGame() && !world.host) return;
    for (int s = 0; s < kSlotCount; ++s)
        if (world.slotOccupied[s] && !world.slotGone[s] && !m_ready[static_cast<size_t>(s)]) return;
    if (!m_readySent) {
        m_readySent = true;
        g_pGameCommandManager->BuildGameEvent(10, 1, -1, 1);
    }
}

void CPlayScreen::OnSkillAction(CGameCommand& r) {
    CWorldObjectManager& world = *g_pWorldObjectManager;
    const int32_t index = r.I16(2);
    if (!RunSkillAction(world, index, r.I16(4), r.I16(6), r.Point(8)) || index == kSkillActionRequest) return;
    const CSkillInstance* caster = world.GetSkillInstance(r.I16(6));
    if (world.gameMode == 3 || !caster || !caster->owner || caster->owner->owner != LocalSlot()) return;
    m_unitGroups[kSummonGroup] = caster->list;
}

void CPlayScreen::OnUseItem(CGameCommand& r) {
    const int32_t slot = r.U8(6);
    if (slot > 7 || !UnitOf(r.I16(4))) return;
    g_pWorldObjectManager->ApplyItemUse(UnitOf(r.I16(4))->owner, r.I16(4), slot, 0);
}

void CPlayScreen::OnFollowerAction(CGameCommand& r) {
    CWorldObject* unit = Object(r.I16(4));
    if (!unit) return;
    if (r.U16(2) == 0)
        unit->RefreshEffect(r.U32(8));
    else if (r.U16(2) == 1)
        unit->EndEffects(0);
}

void CPlayScreen::OnRunTrigger(CGameCommand& r) {
    CTrigger* trigger = g_pMapScenario ? g_pMapScenario->FindTrigger(r.U32(4)) : nullptr;
    if (trigger) trigger->NotifyConditions(r.U32(8), r.U16(2));
}

void CPlayScreen::OnRestoreUnit(CGameCommand& r) { RestoreTriggerUnit(r.I16(2)); }

void CPlayScreen::OnUnitTargetList(CGameCommand& r) {
    CCombatObject* unit = Combat(r.I16(16));
    if (!unit) return;
    const int count = std::min<int>(r.U8(2), kTargetListIds);
    unit->targetList.clear();
    for (int i = 0; i < count; ++i) unit->targetList.push_back(r.I16(4 + 2 * static_cast<size_t>(i)));
    unit->targetListValue = r.U8(3);
}

void CPlayScreen::OnPlayerSlotState(CGameCommand& r) {
    const int32_t slot = r.U8(2);
    if (ValidSlot(slot)) m_slotStates[static_cast<size_t>(slot)] = r.U8(3);
    RefreshRankBoard();
}

void CPlayScreen::OnUnitToArea(CGameCommand& r) {
    CWorldObject* unit = Object(r.I16(2));
    const uint32_t hash = r.U32(4);
    CTrigger* trigger = g_pMapScenario ? g_pMapScenario->FindTrigger(hash) : nullptr;
    if (!trigger || !unit || !unit->IsUnit()) return;
    SendUnitToTriggerAreas(*unit, *trigger);
    g_pMapScenario->RemoveTrigger(hash);
}

void CPlayScreen::OnSkillSlotAction(CGameCommand& r) {
    // The learning player's own machine took the step when the point was spent.
    const int32_t slot = r.U8(2);
    if (!ValidSlot(slot) || (slot == LocalSlot() && !ReplayOrObserver())) return;
    if (CUnit* unit = UnitOf(r.I16(4))) LearnSkill(*unit, r.I16(6));
}

void CPlayScreen::OnSummon(CGameCommand& r) {
    CCombatObject* unit = RunSummonRecord(r);
    if (!unit || ReplayOrObserver()) return;
    const CWorldObject* caster = Object(r.I16(4));
    if (caster && caster->owner == LocalSlot()) m_unitGroups[kSummonGroup].push_back(unit->id);
}
