// A hero's stats at level 20 as the hero lists show them, the pages of a
// race list, and whether the player may use a hero: free heroes, or a usable
// hero card in the inventory.
#pragma once

#include <array>
#include <cstdint>

#include "world/InventorySlot.h"

class CUnitData;

namespace hero_stats {

constexpr int kBaseStats = 13;
constexpr int kStats = 17;
constexpr int kHeroesPerPage = 12;
constexpr uint32_t kFreeHeroBit = 0x80000000u;

// Stats 0..12 of level 20 from the record's base values and class (0..4);
// 13..16 stay 0. A class outside 0..4 grows its first three stats by the
// common rate and nothing else.
std::array<float, kStats> Level20Stats(const std::array<float, kBaseStats>& base, int heroClass);
// The same from a UNIT record's base values and class.
std::array<float, kStats> Level20Stats(const CUnitData& unit);
// A stat as the hero pages print it: truncated toward zero. The base values
// come from the data file, so a value past the int32 range stops at its end
// and one that is not a number shows 0.
int32_t WholeStat(float value);
// max(1, ceil(count / 12)).
int PageCount(int count);

// The inventory's card of a hero: an ITEM record (its number given) and a
// slot whose card number / 100 is that record's, in use, with some left and
// (number 0, fewer than 100 left, or use type 3). -1 when none; else the card
// level (card number % 100).
int FindHeroCard(const InventoryTable& inventory, uint32_t itemNumber);
// Owned: free (flag bit 31) or a card found.
bool IsHeroOwned(uint32_t heroFlags, int cardLevel);

}  // namespace hero_stats
