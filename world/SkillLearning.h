// Spending a hero's skill point: the machine of the player who clicks and
// every other machine (through the CMD_SKILL_SLOT_ACTION record) take the
// same step, so the skill reaches the same level everywhere.
#pragma once

#include <cstdint>

class CUnit;

// One skill point into the unit's skill at the index: refused (0) when the
// unit has no point left, the index names no skill or the skill is at its
// last level.
int LearnSkill(CUnit& unit, int32_t skillIndex);
