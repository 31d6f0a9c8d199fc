// What the records that map triggers send do to the world once dispatched:
// the units a spawn action brings, a unit sent along a trigger's areas, and
// a bound unit restored in place. The play screen's dispatcher and the test
// harness call these with the record's fields on every machine.
#pragma once

#include <cstdint>

#include "platform/Math.h"

class CTrigger;
class CWorldObject;

struct TriggerSpawn {
    uint32_t count = 0;
    uint32_t actionIndex = 0;
    platform::Vec3 point;
    uint32_t triggerHash = 0;
    uint32_t recordId = 0;  // a pick of the spawn group; 0: the action's own record
    uint32_t firstId = 0;
};

// The units of the spawn action the record names, at the action's level and
// with its drops as their random events, on free spots around its point,
// registered with consecutive ids from firstId and sent along the trigger's
// areas. A lord's id (13 or 14) as firstId makes one unit under that id. The
// trigger may have ended since it sent the record. Returns the number made;
// 0 when the trigger, the action or the record is missing.
int SpawnTriggerUnits(const TriggerSpawn& spawn);
// The unit takes the moves to the trigger's marked areas: the first as its
// order, the others queued. 0 when the trigger marks no area.
int SendUnitToTriggerAreas(CWorldObject& unit, const CTrigger& trigger);
// A bound unit back on a free spot around itself, targetable again.
void RestoreTriggerUnit(int32_t unitId);
