#include "world/TriggerElements.h"

#include <algorithm>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/Random.h"
#include "engine/resource/Resource.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundEffect.h"
#include "platform/CrtRandom.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"
#include "world/MapAreas.h"
#include "world/MapScenario.h"
#include "world/SpatialTree.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

namespace {

// Offline play and the host of a networked match.
bool HasAuthority() {
    return !g_pWorldObjectManager || !g_pWorldObjectManager->online || g_pWorldObjectManager->host;
}

CWorldObject* FindObject(uint32_t id) {
    return g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(static_cast<int32_t>(id)) : nullptr;
}

bool FindArea(uint32_t hash, MapAreaView* out) {
    IMapAreas* areas = g_pMapScenario ? g_pMapScenario->Areas() : nullptr;
    return areas && areas->FindArea(hash, out);
}

uint32_t MissingObject(uint32_t id) {
    ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_NOT_FOUND_OBJECT), static_cast<int32_t>(id));
    return 0;
}

uint32_t MissingData(const char* what) {
    ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_NOT_FOUND_DATA), what);
    return 0;
}

// Hidden objects (scene flag bit 6) cannot be what a trigger names.
uint32_t CheckObject(uint32_t id) {
    CWorldObject* object = FindObject(id);
    if (!object || (object->flags & 0x40u)) return MissingObject(id);
    return 1;
}

uint32_t CheckArea(uint32_t hash, const char* word) {
    MapAreaView area;
    return FindArea(hash, &area) ? 1 : MissingData(word);
}

// A sound named by a trigger; an empty name is no sound. A failed load with
// sound on leaves its text in the report and the trigger goes on without it.
CResource* LoadSound(const std::string& name) {
    if (name.empty() || !g_pResourceManager || !g_pResourceManager->SoundDeviceUsable()) return nullptr;
    CResource* sound = g_pResourceManager->GetResource(name.c_str(), RES_SOUND_EFFECT, nullptr, 1);
    if (!sound) ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", name));
    return sound;
}

void PlaySound(CResource* sound) {
    if (auto* effect = dynamic_cast<CSoundEffect*>(sound)) effect->Play(false);
}

bool IsSeenHere(const CWorldObject& object) {
    const int32_t slot = g_pWorldObjectManager ? g_pWorldObjectManager->localSlot : -1;
    return slot >= 0 && slot < kPlayerSlots && object.seen[slot] > 0;
}

bool SerializeAll(CFileStream& s) { return !s.Failed(); }

// The delay-then-interval clock of conditions 0 and 1: true when an interval has passed.
bool AdvanceClock(float elapsed, float firstDelay, float interval, float& clock, uint32_t& started) {
    clock += elapsed;
    if (!started) {
        if (clock > firstDelay) {
            started = 1;
            clock = interval + 1.0f;
        }
        return false;
    }
    if (clock > interval) {
        clock = 0;
        return true;
    }
    return false;
}

}  // namespace

// ---- conditions ----

uint32_t CTimerCondition::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(firstDelay);
    s.Serialize(interval);
    s.Serialize(repeatCount);
    return SerializeAll(s);
}

uint32_t CTimerCondition::Test(float elapsed) {
    if (!AdvanceClock(elapsed, firstDelay, interval, clock, started)) return 0;
    if (repeatCount == 0) return 1;
    const uint32_t c = fired++;
    if (c == repeatCount) {
        fired = 0;
        return 0;
    }
    return 1;
}

uint32_t CAreaClearedCondition::Serialize(CFileStream& s, CTrigger* trigger) {
    if (trigger) owner = trigger;
    s.Serialize(firstDelay);
    s.Serialize(interval);
    return SerializeAll(s);
}

uint32_t CAreaClearedCondition::Test(float elapsed) {
    if (!AdvanceClock(elapsed, firstDelay, interval, clock, started)) return 0;
    if (!HasAuthority()) return 0;
    if (!owner) return 1;
    for (auto& action : owner->actions) {
        const uint32_t kind = action->Kind();
        if (kind != 0 && kind != 6) continue;
        auto& spawn = static_cast<CTriggerSpawnAction&>(*action);
        MapAreaView area;
        if (!g_pSpatialTree || !FindArea(spawn.areaHash, &area)) continue;
        const float radius = std::max(area.width, area.depth) * 0.5f;
        if (g_pSpatialTree->AnyOwnedUnitInArea(area.centre, radius, static_cast<int32_t>(spawn.owner))) return 0;
    }
    return 1;
}

uint32_t CAreaAlertCondition::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(areaHash);
    s.Serialize(filter);
    if (s.Failed()) return 0;
    if (s.mode() == CFileStream::MODE_READ && g_pWorldObjectManager && g_pWorldObjectManager->IsNetworkGame()) {
        MapAreaView area;
        // One place per player slot, indexed by slot.
        if (FindArea(areaHash, &area) && area.heroIds) area.heroIds->assign(kPlayerSlots, -1);
    }
    return 1;
}

uint32_t CAreaAlertCondition::Test(float elapsed) {
    clock += elapsed;
    if (clock <= 0.5f) return 1;
    clock = 0;
    MapAreaView area;
    if (!g_pSpatialTree || !g_pGameCommandManager || !FindArea(areaHash, &area) || !area.heroIds) return 1;
    CWorldObject* seen =
        g_pSpatialTree->QueryArea(area.centre, area.width, area.depth, *area.heroIds, static_cast<int32_t>(filter));
    if (seen) g_pGameCommandManager->BuildMapAlert(seen->id, seen->position, 2, 0);
    return 1;
}

uint32_t CAreaAlertCondition::LinkReferences() { return CheckArea(areaHash, "Area"); }

uint32_t CObjectDeadCondition::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(objectId);
    return SerializeAll(s);
}

uint32_t CObjectDeadCondition::Test(float) {
    CWorldObject* object = FindObject(objectId);
    return object && object->alive == 0 ? 1 : 0;
}

uint32_t CObjectDeadCondition::LinkReferences() { return CheckObject(objectId); }

uint32_t CGameTimeCondition::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(gameTime);
    return SerializeAll(s);
}

uint32_t CGameTimeCondition::Test(float) {
    return g_pWorldObjectManager && g_pWorldObjectManager->gameClock >= gameTime ? 1 : 0;
}

uint32_t CIntervalCondition::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(interval);
    return SerializeAll(s);
}

uint32_t CIntervalCondition::Test(float elapsed) {
    clock += elapsed;
    if (clock <= interval) return 0;
    clock = 0;
    return 1;
}

CBoundUnitCondition::CBoundUnitCondition(const CBoundUnitCondition& other)
    : CTriggerElementOf<CBoundUnitCondition, CTriggerCondition>(other),
      objectId(other.objectId),
      cooldown(other.cooldown),
      areaHashes(other.areaHashes),
      soundName(other.soundName),
      sound(other.sound),
      clock(other.clock),
      triggerHash(other.triggerHash) {
    if (sound) sound->AddRef();
}

CBoundUnitCondition::~CBoundUnitCondition() {
    if (sound && g_pResourceManager) g_pResourceManager->ReleaseResource(sound);
}

uint32_t CBoundUnitCondition::Serialize(CFileStream& s, CTrigger* trigger) {
    s.Serialize(objectId);
    s.Serialize(cooldown);
    uint32_t n = static_cast<uint32_t>(areaHashes.size());
    s.Serialize(n);
    if (s.Failed() || n > CTrigger::kMaxElements) return 0;
    areaHashes.resize(n);
    for (uint32_t& hash : areaHashes) s.Serialize(hash);
    s.Serialize(soundName);
    if (s.Failed()) return 0;
    if (s.mode() == CFileStream::MODE_READ) {
        if (trigger) triggerHash = trigger->hash;
        if (CWorldObject* object = FindObject(objectId)) object->boundTrigger = triggerHash;
        sound = LoadSound(soundName);
    }
    return 1;
}

uint32_t CBoundUnitCondition::Test(float elapsed) {
    clock += elapsed;
    return 0;
}

uint32_t CBoundUnitCondition::LinkReferences() { return CheckObject(objectId); }

void CBoundUnitCondition::Notify(uint32_t kind, uint32_t value) {
    CWorldObject* unit = FindObject(value);
    CGameCommandManager* cm = g_pGameCommandManager;
    if (kind == 0) {
        if (unit) unit->RequestStop();
        if (!HasAuthority() || !cm) return;
        if (cooldown < clock) {
            clock = 0;
            cm->BuildRunTrigger(value, triggerHash, 1, 1);
        } else {
            cm->BuildRunTrigger(value, triggerHash, 2, 1);
        }
        return;
    }
    if (kind == 2) {
        if (unit) {
            --unit->restoreCounter;
            if (unit->restoreCounter == 0 && g_pWorldObjectManager && g_pWorldObjectManager->HasLocalAuthority(*unit))
                unit->OnRestoresSpent();
            if (unit->restoreCounter <= 0) unit->restoreCounter = 0;
        }
    } else if (kind != 1) {
        return;
    }
    if (CWorldObject* own = FindObject(objectId); own && own->IsCombatObject()) {
        own->WakeForTrigger();
        if (sound && IsSeenHere(*own)) PlaySound(sound);
    }
    if (!unit) return;
    unit->stateFlags |= 0x80u;
    if (!HasAuthority() || areaHashes.empty() || !cm) return;
    const int pick = RandomRange(0, static_cast<int>(areaHashes.size()) - 1);
    MapAreaView area;
    if (FindArea(areaHashes[static_cast<size_t>(pick)], &area)) cm->BuildRestoreUnit(unit->id, area.centre, 1);
}

uint32_t CWorldFlagCondition::Test(float) {
    if (!g_pWorldObjectManager) return 0;
    const uint32_t a = g_pWorldObjectManager->worldFlagA;
    const uint32_t b = g_pWorldObjectManager->worldFlagB;
    if (kind == 7) return a == 0 && b != 0 ? 1 : 0;
    return a != 0 && b != 0 ? 1 : 0;
}

// ---- actions ----

uint32_t CTriggerSpawnAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(areaHash);
    s.Serialize(unitId);
    uint32_t n = static_cast<uint32_t>(drops.size());
    s.Serialize(n);
    if (s.Failed() || n > kMaxDrops) return 0;
    drops.resize(n);
    for (Drop& drop : drops) {
        s.Serialize(drop.itemId);
        s.Serialize(drop.value);
    }
    s.Serialize(dropBase);
    s.Serialize(count);
    s.Serialize(extraValue);
    s.Serialize(owner);
    s.Serialize(lordFlag);
    s.Serialize(lordIndex);
    s.Serialize(fixedOwnerFlag);
    if (s.Failed()) return 0;
    if (s.mode() == CFileStream::MODE_READ) {
        unit = FindGameRecord(CAT_UNIT, unitId);
        for (Drop& drop : drops) {
            drop.record = FindGameRecord(CAT_ITEM, drop.itemId);
            drop.nameHash = drop.record ? NameHash(drop.record->name) : 0;
        }
    }
    return 1;
}

uint32_t CTriggerSpawnAction::Execute() {
    if (!HasAuthority() || (!unit && !lordFlag) || !g_pGameCommandManager) return 1;
    uint32_t lordRecordId = 0;
    if (lordFlag && g_pMapScenario) {
        auto& groups = g_pMapScenario->SpawnGroups();
        if (lordIndex < groups.size() && !groups[lordIndex].empty()) {
            const auto& group = groups[lordIndex];
            lordRecordId = group[static_cast<size_t>(platform::CrtRand()) % group.size()]->id;
        }
    }
    // One byte carries the count.
    const uint32_t sent = std::min<uint32_t>(count, 255);
    uint32_t ownerCode = 0;
    if (fixedOwnerFlag) {
        ownerCode = owner == 24 ? 13 : 14;
    } else if (g_pWorldObjectManager) {
        uint32_t& counter = g_pWorldObjectManager->spawnCounter;
        if (counter < CWorldObjectManager::kSpawnIdBase ||
            counter + sent > static_cast<uint32_t>(CWorldObjectManager::kIdLimit))
            counter = CWorldObjectManager::kSpawnIdBase;
        ownerCode = counter;
        counter += sent;
    }
    MapAreaView area;
    FindArea(areaHash, &area);
    const int32_t index = trigger ? trigger->FindActionIndex(this) : -1;
    g_pGameCommandManager->BuildSpawnUnit(sent, static_cast<uint32_t>(index), area.centre,
                                          trigger ? trigger->hash : 0, lordRecordId, ownerCode, 1);
    return 1;
}

uint32_t CTriggerSpawnAction::LinkResources() {
    if (lordFlag) {
        auto* groups = g_pMapScenario ? &g_pMapScenario->SpawnGroups() : nullptr;
        if (!groups || lordIndex >= groups->size() || (*groups)[lordIndex].empty()) {
            ErrorReport().Set(ErrorReport().GetCode(), FormatText("error create monster Index<-Trigger Name : %s",
                                                                  trigger ? trigger->name : std::string()));
            return 0;
        }
        for (CGameDataRecord* record : (*groups)[lordIndex])
            if (!record->Link()) return 0;
    } else if (unit && !unit->Link()) {
        return 0;
    }
    for (const Drop& drop : drops)
        if (drop.record && !(drop.record->flags & (1u << 30)) && !drop.record->Link()) return 0;
    return 1;
}

uint32_t CTriggerSpawnAction::CheckReferences() {
    if (!lordFlag && !unit) return MissingData(std::to_string(unitId).c_str());
    for (const Drop& drop : drops)
        if (!drop.record) return MissingData("드롭 아이템");
    return CheckArea(areaHash, "지역정보");
}

uint32_t CAreaMarkerAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(value);
    s.Serialize(areaHash);
    return SerializeAll(s);
}

uint32_t CAreaMarkerAction::CheckReferences() { return CheckArea(areaHash, "Area"); }

uint32_t CMakeTargetableAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(objectId);
    return SerializeAll(s);
}

uint32_t CMakeTargetableAction::Execute() {
    if (pending && g_pGameCommandManager) {
        pending = 0;
        g_pGameCommandManager->BuildUnitFlags(static_cast<int32_t>(objectId), 0, 0x80000, 0);
    }
    return 0;
}

uint32_t CMakeTargetableAction::CheckReferences() { return CheckObject(objectId); }

uint32_t CObjectMarkerAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(objectId);
    for (uint32_t& v : values) s.Serialize(v);
    return SerializeAll(s);
}

uint32_t CObjectMarkerAction::CheckReferences() { return CheckObject(objectId); }

uint32_t CTriggerControlAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(targetHash);
    return SerializeAll(s);
}

uint32_t CTriggerControlAction::Execute() {
    if (!HasAuthority() || !g_pGameCommandManager || !g_pMapScenario) return 1;
    CTrigger* target = g_pMapScenario->FindTrigger(targetHash);
    if (kind == 4) {
        if (done || !target) return 1;
        done = 1;
        target->enabled = 0;
        g_pGameCommandManager->BuildTriggerControl(0, targetHash, 1);
        return 1;
    }
    if (target) g_pGameCommandManager->BuildTriggerControl(kind == 15 ? 1 : 2, targetHash, 1);
    return 1;
}

uint32_t CTriggerControlAction::CheckReferences() {
    return g_pMapScenario && g_pMapScenario->FindTrigger(targetHash) ? 1 : MissingData("Trigger");
}

uint32_t CPlayerEventAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(slot);
    return SerializeAll(s);
}

uint32_t CPlayerEventAction::Execute() {
    if (HasAuthority() && !done && g_pGameCommandManager) {
        done = 1;
        g_pGameCommandManager->BuildPlayerEvent(0, slot, 1);
    }
    return 0;
}

uint32_t CTeamRewardAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(team);
    s.Serialize(amount);
    s.Serialize(rewardKind);
    s.Serialize(onceFlag);
    s.Serialize(shareFlag);
    return SerializeAll(s);
}

uint32_t CTeamRewardAction::Execute() {
    const uint32_t result = onceFlag != 1 ? 1 : 0;
    if (!HasAuthority() || !g_pWorldObjectManager || !g_pGameCommandManager) return result;
    CWorldObjectManager& om = *g_pWorldObjectManager;
    std::vector<int32_t> ids;
    for (int32_t slot = 0; slot < kPlayerSlots; ++slot) {
        CWorldObject* hero = om.GetObjectById(slot);
        if (hero && hero->team == static_cast<int32_t>(team)) ids.push_back(hero->id);
    }
    int32_t share = static_cast<int32_t>(amount);
    if (shareFlag) {
        const int32_t players = om.CountActivePlayers(-1);
        if (!om.IsNetworkGame() || players < 1) return result;
        share /= players;
    }
    g_pGameCommandManager->EmitRewardCommands(ids, rewardKind, share, 1);
    return result;
}

uint32_t CSystemMessageAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(text);
    s.Serialize(onceFlag);
    return SerializeAll(s);
}

uint32_t CSystemMessageAction::Execute() {
    if (g_pGameCommandManager) g_pGameCommandManager->BuildChat(200, 1, text.c_str(), 0xFFFFFFFFu, 0);
    return onceFlag == 0 ? 1 : 0;
}

uint32_t CMapAlertAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(value);
    s.Serialize(x);
    s.Serialize(z);
    return SerializeAll(s);
}

uint32_t CMapAlertAction::Execute() {
    if (g_pGameCommandManager)
        g_pGameCommandManager->BuildMapAlert(static_cast<int32_t>(value), platform::Vec3{x, 0, z}, 2, 0);
    return 0;
}

uint32_t CPlaySoundAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(soundName);
    if (s.Failed()) return 0;
    if (s.mode() == CFileStream::MODE_READ) {
        sound = LoadSound(soundName);
        if (sound && g_pMapScenario) g_pMapScenario->HoldResource(sound);
    }
    return 1;
}

uint32_t CPlaySoundAction::Execute() {
    PlaySound(sound);
    return 0;
}

uint32_t CObjectAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(objectId);
    if (kind == 14) s.Serialize(value);
    return SerializeAll(s);
}

uint32_t CObjectAction::Execute() {
    if (CWorldObject* object = FindObject(objectId)) {
        if (kind == 12)
            object->Die();
        else
            object->ResetToFirstAction();
    }
    return 0;
}

uint32_t CSendUnitToAreaAction::Serialize(CFileStream& s, CTrigger*) {
    s.Serialize(objectId);
    return SerializeAll(s);
}

uint32_t CSendUnitToAreaAction::Execute() {
    if (!HasAuthority() || !g_pGameCommandManager) return 1;
    g_pGameCommandManager->BuildUnitToArea(static_cast<int32_t>(objectId), trigger ? trigger->hash : 0, 1);
    if (trigger) trigger->enabled = 0;
    return 1;
}
