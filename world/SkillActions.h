// What a CMD_SKILL_ACTION record asks of a skill: a request (index -1) runs
// the skill's first step, a record with an index puts the object of that id
// at its point. Every machine runs the records in frame order; free spots and
// new ids are chosen only by the machine with authority over the caster, and
// travel in the records it queues, so no other machine draws for them.
#pragma once

#include <cstdint>

#include "platform/Math.h"

class CWorldObjectManager;

// The index of a request.
constexpr int32_t kSkillActionRequest = -1;

// Runs one CMD_SKILL_ACTION record. 0 when the unit or the skill is missing
// or the step did nothing.
int RunSkillAction(CWorldObjectManager& objects, int32_t index, int32_t unitId, int32_t casterIndex,
                   const platform::Vec3& point);
