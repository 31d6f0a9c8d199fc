// What the my-info screen shows of the player and which heroes go on which
// button row. The card reads the lobby's player record, whose first 71 bytes
// are a member entry: guild name at 2, rank at 48 (grade and level), rank
// points at 52 (experience), wins and losses (u16) at 56 and 58, the two
// disconnection counters (u16) at 60 and 62; the guild state at 90.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "net/LobbyMessages.h"
#include "screens/lobby/HeroStats.h"
#include "world/GameDataRegistry.h"
#include "world/InventorySlot.h"

class CUnitData;

struct MyInfoCard {
    std::string player, level, battle, disconnection, heroes, hidden, guild, experience;
    int experiencePercent = 0;
};
MyInfoCard BuildMyInfoCard(const PlayerRecord& record, const std::string& nickname, int ownedHeroes,
                           int ownedHidden);

struct MyInfoHero {
    const CUnitData* record = nullptr;
    bool owned = false;
    int cardLevel = 0;
    // Its stats at level 20, as hero select works them out.
    std::array<float, hero_stats::kStats> stats{};
};
// The heroes of the game by row: 0 those without the side bit 28, 1 those
// with it, 2 the hidden ones (0x8000000), each at most as many as its buttons.
constexpr int kMyInfoSideButtons = 21;
constexpr int kMyInfoHiddenButtons = 12;
using MyInfoHeroLists = std::array<std::vector<MyInfoHero>, 3>;
MyInfoHeroLists BuildMyInfoHeroLists(const CGameDataRegistry& registry, const InventoryTable& inventory);
