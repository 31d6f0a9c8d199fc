#include "screens/lobby/HeroStats.h"

#include <cmath>

#include "world/UnitData.h"

namespace hero_stats {

namespace {

constexpr float kLevelsAbove1 = 19.0f;

// Growth of stats 3..12 by class, from A, B and C (stats 0, 1 and 2 final).
float Growth(int stat, int heroClass, float a, float b, float c) {
    static constexpr float kAttack[5][3] = {{1.5f, 0, 0}, {0, 1.5f, 0}, {0, 0, 2.0f}, {5.0f, 0, 0}, {2.0f, 0, 0}};
    static constexpr float kDefence[5] = {0.5f, 0.5f, 0.5f, 1.0f, 0.4f};
    static constexpr float kLife[5] = {20, 20, 20, 150, 25};
    static constexpr float kRegenDivisor[5] = {20, 20, 20, 3, 10};
    static constexpr float kSpeed10[5] = {0.3f, 0.36f, 0.28f, 0, 0};
    const bool known = heroClass >= 0 && heroClass <= 4;
    const int k = known ? heroClass : 0;
    switch (stat) {
        case 3:
            return known ? kAttack[k][0] * a + kAttack[k][1] * b + kAttack[k][2] * c : 0;
        case 4:
            return known ? kDefence[k] * a : 0;
        case 5:
            return known ? kLife[k] * a : 0;
        case 6:
            return known ? 10 * c : 0;
        // A class without a divisor grows neither regeneration.
        case 7:
            return known ? a / kRegenDivisor[k] : 0;
        case 8:
            return known ? c / kRegenDivisor[k] : 0;
        case 9:
            return heroClass == 3 ? 2.5f : 0;
        case 10:
            return heroClass == 3 ? 0.3f : known ? kSpeed10[k] * a : 0;
        case 11:
            return known ? 0.1f * c : 0;
        case 12:
            return known ? 0.1f * b : 0;
        default:
            return 0;
    }
}

}  // namespace

std::array<float, kStats> Level20Stats(const std::array<float, kBaseStats>& base, int heroClass) {
    std::array<float, kStats> out{};
    for (int k = 0; k < 3; ++k) {
        const float rate = heroClass == 3 && k == 1 ? 0.0f : 0.1f;
        out[static_cast<size_t>(k)] = base[static_cast<size_t>(k)] + 1.0f + kLevelsAbove1 * rate;
    }
    const float a = out[0], b = out[1], c = out[2];
    for (int k = 3; k < kBaseStats; ++k) {
        // Stats 9 and 10 grow by the levels alone.
        const bool byLevel = k == 9 || k == 10;
        out[static_cast<size_t>(k)] = base[static_cast<size_t>(k)] + Growth(k, heroClass, byLevel ? kLevelsAbove1 : a,
                                                                            byLevel ? 0 : b, byLevel ? 0 : c);
    }
    return out;
}

std::array<float, kStats> Level20Stats(const CUnitData& unit) {
    std::array<float, kBaseStats> base{};
    for (size_t k = 0; k < base.size(); ++k) base[k] = BitsFloat(unit.baseStats[k]);
    return Level20Stats(base, static_cast<int>(unit.unitClass));
}

int32_t WholeStat(float value) {
    if (std::isnan(value)) return 0;
    // 2^31 is the first float past the range; the largest below it converts exactly.
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int PageCount(int count) { return count <= kHeroesPerPage ? 1 : (count + kHeroesPerPage - 1) / kHeroesPerPage; }

int FindHeroCard(const InventoryTable& inventory, uint32_t itemNumber) {
    for (const auto& row : inventory) {
        for (const InventorySlot& slot : row) {
            if (slot.cardId / 100 != itemNumber || slot.inUse != 1 || slot.remaining == 0) continue;
            if (itemNumber == 0 || slot.remaining < 100 || slot.useType == 3)
                return static_cast<int>(slot.cardId % 100);
        }
    }
    return -1;
}

bool IsHeroOwned(uint32_t heroFlags, int cardLevel) { return (heroFlags & kFreeHeroBit) != 0 || cardLevel >= 0; }

}  // namespace hero_stats
