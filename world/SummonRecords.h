// What a CMD_SUMMON record does to the world: the host turns a request into
// one record per summoned unit (its own free spot and a new id), and every
// machine builds the unit a record with an id names. The EFFECT record's
// recall entry for the level says what is summoned, how many, for how long.
#pragma once

#include <cstdint>

#include "platform/Math.h"

class CCombatObject;
class CEffectParamRecall;
class CGameCommand;

// The object id of a request: the host chooses the ids.
constexpr uint32_t kSummonRequest = 0xFFFFFFFFu;

struct SummonFields {
    uint32_t level = 0;  // the recall entry, counted from 1
    uint32_t casterSlot = 0;
    int32_t casterId = -1;
    platform::Vec3 point;
    int32_t targetId = -1;  // the copied object of a copy-target entry
    uint32_t effectRecordId = 0;
    uint32_t objectId = kSummonRequest;
};

// The recall entry of the EFFECT record (kind 17) for the level; null when
// the record, its kind or the level does not fit.
const CEffectParamRecall* FindSummonEntry(uint32_t effectRecordId, uint32_t level);
// The host's part of a request: free spots around the point for the entry's
// unit count, ids taken from the object manager's counter, one CMD_SUMMON
// record per unit queued. Returns the number of records; 0 when the caster,
// the entry or (for a copy) the target is missing, or no spot is free.
int ExpandSummonRequest(const SummonFields& request);
// The unit of a record with an id, built on every machine: the copy of the
// target or the entry's UNIT, owned as the caster's summons, registered under
// the id with the revive order and the entry's life time. Null when nothing
// was built.
CCombatObject* BuildSummonedUnit(const SummonFields& record);
// One CMD_SUMMON record as every machine runs it: a request expanded by the
// host alone (not in a replay, which carries the expanded records), a record
// with an id built. The unit built, or null.
CCombatObject* RunSummonRecord(const CGameCommand& record);
