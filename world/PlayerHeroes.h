// The heroes of a match's player positions, made one way for every match:
// the loading screen makes them for play and replays, and the headless world
// that records the sample replay makes them the same way, so that a replay
// starts from the world its records were made in.
#pragma once

#include <cstdint>
#include <string>

class CGameDataRecord;
class CUnit;
class CWorldObjectManager;
class CZEMMap;

// What one position's hero is made of.
struct PlayerHeroSpec {
    CGameDataRecord* record = nullptr;  // the hero's UNIT record
    int32_t position = 0;               // 0..11: its owner, its start area and its object id
    int32_t bonusLevel = 0;             // each point adds 2 % of the three base attributes
    std::string name;                   // the position's short owner name
};

// The position's hero at its team start area, facing pi at scale 1, owned by
// the position with the position's team, its resources linked and registered
// under the position as its id (every reader finds a position's hero there).
// 1 with *hero the unit, or null when the map has no start area for the
// position (the match plays without it); 0 with the error report set.
int CreatePlayerHero(CZEMMap& map, const PlayerHeroSpec& spec, CUnit** hero);

// The first step of a match: every position's hero moves to the first free
// spot around where it stands (its own cells do not count as taken), so
// heroes that start on one another stand apart.
void SpreadPlayerHeroes(CWorldObjectManager& world);
