#include "world/SummonRecords.h"

#include <algorithm>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/NameHash.h"
#include "world/EffectParams.h"
#include "world/EffectRecord.h"
#include "world/FreeSpots.h"
#include "world/GameDataRegistry.h"
#include "world/Unit.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr uint32_t kRecallEffectKind = 17;
// At most one candidate ring of units per request.
constexpr int32_t kMostUnits = 25;
constexpr float kDefaultSize = 5.0f;
// The life time that ends the unit as soon as it stands.
constexpr float kDieAtOnce = -1.0f;

CCombatObject* CombatOf(CWorldObjectManager& m, int32_t id) {
    CWorldObject* o = m.GetObjectById(id);
    return o && o->IsCombatObject() ? static_cast<CCombatObject*>(o) : nullptr;
}

bool CopiesTarget(const CEffectParamRecall& entry) { return entry.p[4] != 0; }

// The UNIT to summon: linked, or looked up by its name.
CGameDataRecord* RecallUnit(const CEffectParamRecall& entry) {
    if (entry.recallRecord || entry.recallUnit.empty()) return entry.recallRecord;
    return FindGameRecord(CAT_UNIT, NameHash(entry.recallUnit));
}

}  // namespace

const CEffectParamRecall* FindSummonEntry(uint32_t effectRecordId, uint32_t level) {
    auto* effect = dynamic_cast<CEffectRecord*>(FindGameRecord(CAT_EFFECT, effectRecordId));
    if (!effect || effect->kind != kRecallEffectKind || level < 1 || level > effect->params.size()) return nullptr;
    return dynamic_cast<const CEffectParamRecall*>(effect->params[level - 1].get());
}

int ExpandSummonRequest(const SummonFields& request) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    const CEffectParamRecall* entry = FindSummonEntry(request.effectRecordId, request.level);
    if (!m || !entry || !g_pGameCommandManager || !CombatOf(*m, request.casterId)) return 0;
    float size = 0;
    if (CopiesTarget(*entry)) {
        CWorldObject* target = m->GetObjectById(request.targetId);
        if (!target) return 0;
        size = target->bounds.radius * target->bounds.scale;
    } else if (auto* unit = dynamic_cast<const CUnitData*>(RecallUnit(*entry))) {
        size = static_cast<float>(unit->unitWord5);
    }
    if (!(size > 0)) size = kDefaultSize;
    const int32_t wanted = static_cast<int32_t>(std::min<uint32_t>(entry->p[2], kMostUnits));
    const std::vector<platform::Vec3> spots = FindFreeSpots(*m, request.point, size, wanted);
    const int32_t firstId = ReserveObjectIds(*m, static_cast<int32_t>(spots.size()));
    if (firstId < 0) return 0;
    for (size_t i = 0; i < spots.size(); ++i)
        g_pGameCommandManager->BuildSummon(request.level, request.casterSlot, request.casterId, spots[i],
                                           request.targetId, request.effectRecordId,
                                           static_cast<uint32_t>(firstId) + static_cast<uint32_t>(i), 1);
    return static_cast<int>(spots.size());
}

CCombatObject* BuildSummonedUnit(const SummonFields& record) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    const CEffectParamRecall* entry = FindSummonEntry(record.effectRecordId, record.level);
    CCombatObject* caster = m ? CombatOf(*m, record.casterId) : nullptr;
    if (!caster || !entry || record.objectId >= static_cast<uint32_t>(CWorldObjectManager::kIdLimit) ||
        m->GetObjectById(static_cast<int32_t>(record.objectId)))
        return nullptr;
    CWorldObject* copied = CopiesTarget(*entry) ? m->GetObjectById(record.targetId) : nullptr;
    CUnit* target = copied && copied->IsUnit() ? static_cast<CUnit*>(copied) : nullptr;
    CGameDataRecord* unitRecord = target ? target->record : RecallUnit(*entry);
    const int32_t level = target ? target->level : static_cast<int32_t>(std::min<uint32_t>(entry->p[3], 10000));
    if (!unitRecord) return nullptr;
    const platform::Vec3 at{record.point.x, 0, record.point.z};
    CWorldObject* o = m->SpawnObject(static_cast<int32_t>(entry->p[1]), caster, 0, unitRecord, at, level, 0, 1.0f);
    if (o && !o->IsCombatObject()) {
        m->DestroyObject(o);
        return nullptr;
    }
    auto* unit = static_cast<CCombatObject*>(o);
    if (!unit || !m->RegisterObject(unit, static_cast<int32_t>(record.objectId), 1, 1)) {
        if (unit) m->DestroyObject(unit);
        return nullptr;
    }
    unit->team = caster->team;
    unit->SetOrder(5, 0, at, -1, -1, 1);
    if (target && unit->IsUnit()) {
        // The copy takes the target's strength but stays the caster's summons.
        const int32_t owner = unit->owner;
        static_cast<CUnit*>(unit)->CloneFrom(*target, BitsFloat(entry->p[5]), static_cast<int>(entry->p[6]));
        unit->SetOwner(owner);
        unit->team = caster->team;
        if (unit->team == m->localTeam || m->gameMode == 3 || m->gameMode == 4) unit->SetColorScale(0, 0, 1);
    } else {
        unit->RebuildSkills(static_cast<int32_t>(record.level));
    }
    if (entry->duration == kDieAtOnce)
        unit->Die();
    else if (entry->duration > 0)
        unit->lifetime = unit->lifetimeTotal = entry->duration;
    return unit;
}

CCombatObject* RunSummonRecord(const CGameCommand& r) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!m || r.Type() != CMD_SUMMON) return nullptr;
    const SummonFields fields{r.U8(2), r.U8(3), r.I16(4), r.Point(6), r.I16(10), r.U32(12), r.U32(16)};
    if (fields.objectId != kSummonRequest) return BuildSummonedUnit(fields);
    if (m->gameMode != 3 && (!m->online || m->host)) ExpandSummonRequest(fields);
    return nullptr;
}
