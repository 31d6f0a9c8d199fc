#include "world/TriggerRecords.h"

#include <algorithm>

#include "world/CombatObject.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"
#include "world/MapAreas.h"
#include "world/MapScenario.h"
#include "world/TriggerElements.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr int kRingSpots = 25;
constexpr float kDefaultRadius = 5.0f;

float SpawnRadius(const CWorldObject& unit) {
    const float r = unit.bounds.horizontalRadius * unit.bounds.scale;
    return r > 0 ? r : kDefaultRadius;
}

// One unit of the action's record (or the picked one) for its owner, at its
// level and with its drops, idle at the point, not yet registered.
CCombatObject* MakeUnit(CWorldObjectManager& om, const CTriggerSpawnAction& action, CGameDataRecord& record,
                        const platform::Vec3& at) {
    CWorldObject* o = om.CreateObject(0);
    if (!o) return nullptr;
    const int32_t owner = static_cast<int32_t>(action.owner);
    o->SetOwner(owner);
    // The level is clamped to the record's range; 0 (never set) gives level 1.
    const int32_t level = static_cast<int32_t>(std::min<uint32_t>(action.extraValue, 10000));
    if (!o->InitFromRecord(at, &record, level, 0, 1.0f) || !o->IsCombatObject()) {
        om.DestroyObject(o);
        return nullptr;
    }
    o->team = owner >= 0 && owner < kOwnerCount ? om.ownerTeam[owner] : 0;
    o->recordName = record.name;
    // Each drop is one of the unit's random events, rolled when it dies.
    for (const CTriggerSpawnAction::Drop& drop : action.drops)
        if (drop.record) o->AddRandomEvent(static_cast<int32_t>(drop.value), static_cast<int32_t>(drop.itemId), 0);
    o->eventChance = static_cast<int32_t>(std::min<uint32_t>(action.dropBase, 100));
    auto* unit = static_cast<CCombatObject*>(o);
    unit->SetOrder(0, 0, at, -1, -1, 1);
    return unit;
}

}  // namespace

int SpawnTriggerUnits(const TriggerSpawn& spawn) {
    CWorldObjectManager* om = g_pWorldObjectManager;
    CTrigger* trigger = g_pMapScenario ? g_pMapScenario->FindSpawnTrigger(spawn.triggerHash) : nullptr;
    if (!om || !trigger || spawn.actionIndex >= trigger->actions.size()) return 0;
    auto* action = dynamic_cast<CTriggerSpawnAction*>(trigger->actions[spawn.actionIndex].get());
    if (!action) return 0;
    CGameDataRecord* record = spawn.recordId ? FindGameRecord(CAT_UNIT, spawn.recordId) : action->unit;
    if (!record) return 0;
    // A lord's id names one unit: more would take the other lord's id and
    // the ids below it.
    const bool lordId = spawn.firstId == static_cast<uint32_t>(CMapScenario::kLordIds[0]) ||
                        spawn.firstId == static_cast<uint32_t>(CMapScenario::kLordIds[1]);
    const uint32_t count = lordId ? std::min<uint32_t>(spawn.count, 1) : spawn.count;
    int made = 0;
    platform::Vec3 spots[kRingSpots];
    for (uint32_t done = 0; done < count;) {
        // Up to a ring's worth at a time, each batch on the free spots around the point.
        const int batch = static_cast<int>(std::min<uint32_t>(count - done, kRingSpots));
        bool placed = false;
        for (int i = 0; i < batch; ++i, ++done) {
            const uint32_t id = spawn.firstId + done;
            if (id >= static_cast<uint32_t>(CWorldObjectManager::kIdLimit)) return made;
            CCombatObject* unit = MakeUnit(*om, *action, *record, spawn.point);
            if (!unit) continue;
            if (!placed) {
                om->BuildSpawnCandidates(SpawnRadius(*unit));
                om->FindFreeSpawnPoint(spawn.point, SpawnRadius(*unit), batch, spots);
                placed = true;
            }
            if (!om->RegisterObject(unit, static_cast<int32_t>(id), 1, 1)) {
                om->DestroyObject(unit);
                continue;
            }
            unit->TeleportTo(spots[i]);
            unit->SetOrder(0, 0, spots[i], -1, -1, 1);
            SendUnitToTriggerAreas(*unit, *trigger);
            ++made;
        }
    }
    return made;
}

int SendUnitToTriggerAreas(CWorldObject& unit, const CTrigger& trigger) {
    auto* combat = unit.IsCombatObject() ? static_cast<CCombatObject*>(&unit) : nullptr;
    if (!combat) return 0;
    int sent = 0;
    for (const auto& action : trigger.actions) {
        const uint32_t kind = action->Kind();
        if (kind != 1 && kind != 8) continue;
        MapAreaView area;
        if (!FindMapArea(static_cast<const CAreaMarkerAction&>(*action).areaHash, &area)) continue;
        const int32_t subKind = kind == 8 ? 9 : 2;
        if (sent++ == 0)
            combat->SetOrder(3, subKind, area.centre, -1, -1, 1);
        else
            combat->queuedOrders.Add(3, subKind, area.centre, -1, -1, false);
    }
    return sent;
}

void RestoreTriggerUnit(int32_t unitId) {
    CWorldObjectManager* om = g_pWorldObjectManager;
    CWorldObject* unit = om ? om->GetObjectById(unitId) : nullptr;
    if (!unit) return;
    const float radius = SpawnRadius(*unit);
    platform::Vec3 spot;
    om->BuildSpawnCandidates(radius);
    om->FindFreeSpawnPoint(unit->position, radius, 1, &spot);
    unit->TeleportTo(spot);
    unit->stateFlags &= ~0x80u;
    if (--unit->restoreCounter <= 0 && !om->HasLocalAuthority(*unit) && unit->IsCombatObject())
        static_cast<CCombatObject*>(unit)->queuedOrders.Clear();
}
