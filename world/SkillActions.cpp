#include "world/SkillActions.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "commands/GameCommandManager.h"
#include "world/CombatObject.h"
#include "world/FreeSpots.h"
#include "world/GameDataRegistry.h"
#include "world/Projectile.h"
#include "world/SkillInstance.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

namespace {

using platform::Vec3;

void QueueSpots(CSkillInstance& s, const std::vector<Vec3>& spots, int32_t firstId) {
    if (!g_pGameCommandManager || !s.owner || firstId < 0) return;
    for (size_t i = 0; i < spots.size(); ++i)
        g_pGameCommandManager->BuildSkillAction(firstId + static_cast<int32_t>(i), s.owner->id, s.id, spots[i], 1);
}

// The recalled UNIT: linked, or looked up by its name's key.
CGameDataRecord* RecallRecord(const CSkillLevelRecall& l) {
    return l.recallRecord ? l.recallRecord : FindGameRecord(CAT_UNIT, l.recallKey);
}

// Registers a new combat object of the record under the id, summoned by the owner.
CWorldObject* SpawnWithId(CWorldObjectManager& m, CCombatObject& owner, CGameDataRecord* record, int32_t id,
                          const Vec3& at, int32_t summonKind, int32_t level) {
    if (!record || id < 0 || id >= CWorldObjectManager::kIdLimit || m.GetObjectById(id)) return nullptr;
    CWorldObject* o = m.SpawnObject(summonKind, &owner, 0, record, at, level, 0, 1.0f);
    if (!o) return nullptr;
    if (!m.RegisterObject(o, id, 1, 1)) {
        m.DestroyObject(o);
        return nullptr;
    }
    o->team = owner.team;
    if (o->IsCombatObject()) static_cast<CCombatObject*>(o)->RebuildSkills(-1);
    return o;
}

}  // namespace

void CSkillInstance::CastAtSpot(const Vec3& point) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    auto* l = dynamic_cast<const CSkillLevelRecall*>(LevelRecord());
    if (!m || !l || !owner) return;
    const int32_t n = static_cast<int32_t>(l->amount[1]);
    if (n < 1) return;
    std::vector<Vec3> spots{point};
    if (n > 1) {
        auto* unit = dynamic_cast<const CUnitData*>(RecallRecord(*l));
        const float size = unit ? static_cast<float>(unit->unitWord5) : owner->bounds.radius;
        spots = FindFreeSpots(*m, point, size, n);
    }
    QueueSpots(*this, spots, ReserveObjectIds(*m, static_cast<int32_t>(spots.size())));
}

int CSkillInstance::SpawnRecordObject(int32_t objectId, const Vec3& point) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    auto* l = dynamic_cast<const CSkillLevelRecall*>(LevelRecord());
    if (!m || !l || !owner) return 0;
    CWorldObject* o = SpawnWithId(*m, *owner, RecallRecord(*l), objectId, point, 0, level);
    if (!o) return 0;
    list.push_back(o->id);
    return 1;
}

void CSkillInstance::MoveCasterToSpot(const Vec3& point) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!m || !owner) return;
    // The owner's spot first, then one for each copy (the level's amount1).
    const int32_t copies = std::max(static_cast<int32_t>(Amount(1)), 0);
    const float size = owner->bounds.radius * owner->bounds.scale;
    owner->VacateGrid(1);
    std::vector<Vec3> spots = FindFreeSpots(*m, point, size, copies + 1);
    owner->OccupyGrid(1);
    if (spots.empty() || !g_pGameCommandManager) return;
    g_pGameCommandManager->BuildSkillAction(owner->id, owner->id, id, spots[0], 1);
    spots.erase(spots.begin());
    QueueSpots(*this, spots, ReserveObjectIds(*m, static_cast<int32_t>(spots.size())));
}

int CSkillInstance::SummonUnit(int32_t objectId, const Vec3& point) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!m || !owner) return 0;
    if (objectId == owner->id) {
        Vec3 to = point;
        to.y = owner->position.y;
        owner->TeleportTo(to);
        return 1;
    }
    CWorldObject* o = SpawnWithId(*m, *owner, owner->record, objectId, point, 6, owner->level);
    if (!o) return 0;
    list.push_back(o->id);
    return 1;
}

void CSkillInstance::SteerProjectile(CProjectile& shot) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* target = m ? m->GetObjectById(shot.targetId) : nullptr;
    const Vec3 to = target ? target->position : shot.targetPoint;
    const Vec3 d = to - shot.position;
    if (d.x != 0 || d.y != 0 || d.z != 0) shot.TurnTo(platform::Vec3Normalize(d));
    if (owner && owner->HasLocalAuthority()) owner->RequestOrder(0, 0, owner->position, -1, -1);
}

int RunSkillAction(CWorldObjectManager& objects, int32_t index, int32_t unitId, int32_t casterIndex,
                   const platform::Vec3& at) {
    CSkillInstance* s = objects.GetSkillInstance(casterIndex);
    if (!objects.GetObjectById(unitId) || !s || !s->record || !s->owner) return 0;
    const platform::Vec3 point{at.x, 0, at.z};
    // Spots and ids are chosen once, by the machine in charge of the caster
    // (none while a replay plays); the records it queues carry them to all.
    const bool host = s->owner->HasLocalAuthority();
    if (s->record->kind == 0) {
        if (index != kSkillActionRequest) return s->SpawnRecordObject(index, point);
        // The record's ending flag: the objects of an earlier use go first.
        if (s->record->skillWord2) s->CastOnTargets();
        if (host) s->CastAtSpot(point);
        return 1;
    }
    if (index != kSkillActionRequest) return s->SummonUnit(index, point);
    s->CastOnTargets();
    if (host) s->MoveCasterToSpot(point);
    return 1;
}
