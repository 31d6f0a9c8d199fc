// The tooltip of a hero button on the my-info page: the hero's name, title
// and class, its whole-number stats at level 20 and its race, then how it
// attacks (ranged or close) over its description, all in the texts of the
// message table.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "screens/lobby/HeroStats.h"

class CUnitData;

// Race names by race index (0..3 for the race bits 0x100, 0x200, 0x400,
// 0x800) and class names by the record's class; a hero past either list
// shows an empty name.
std::string BuildHeroTooltip(const CUnitData& unit, const std::array<float, hero_stats::kStats>& stats,
                             const std::vector<std::string>& raceNames, const std::vector<std::string>& classNames);
