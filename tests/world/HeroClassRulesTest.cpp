#include "world/HeroClassRules.h"

#include <gtest/gtest.h>

namespace {

TEST(HeroClassRules, GrowthFactor) {
    const struct {
        uint32_t heroClass, attribute, level;
        float expected;
    } cases[] = {
        {0, 0, 1, 1.0f}, {0, 2, 11, 2.0f}, {4, 1, 6, 1.5f}, {3, 0, 11, 2.0f}, {3, 1, 11, 1.0f},
        {3, 2, 3, 1.2f}, {5, 0, 9, 1.0f},  {0, 3, 5, 0.0f}, {2, 7, 1, 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(GrowthFactor(c.heroClass, c.attribute, c.level), c.expected)
            << c.heroClass << " " << c.attribute << " " << c.level;
}

TEST(HeroClassRules, DerivedStatsOfEveryClass) {
    // Attributes 10, 20, 30 make every factor visible.
    const float table[10][5] = {
        {15, 30, 60, 50, 20},         // 3 attack
        {5, 5, 5, 10, 4},             // 4 armour
        {200, 200, 200, 1500, 250},   // 5 HP
        {300, 300, 300, 300, 300},    // 6 mana
        {0.5f, 0.5f, 0.5f, 10.0f / 3, 1},  // 7 HP regeneration
        {1.5f, 1.5f, 1.5f, 10, 3},    // 8 mana regeneration
        {0, 0, 0, 2.5f, 0},           // 9 attack interval
        {3, 3.6f, 2.8f, 0.3f, 0},     // 10 movement
        {3, 3, 3, 3, 3},              // 11 hit
        {2, 2, 2, 2, 2},              // 12 evasion
    };
    for (uint32_t stat = 3; stat <= 12; ++stat)
        for (uint32_t c = 0; c < 5; ++c)
            EXPECT_FLOAT_EQ(DerivedStat(c, stat, 10, 20, 30), table[stat - 3][c]) << "stat " << stat << " class " << c;
    for (uint32_t stat : {0u, 2u, 13u, 16u}) EXPECT_EQ(DerivedStat(0, stat, 10, 20, 30), 0.0f) << stat;
    for (uint32_t c : {5u, 0xFFFFFFFFu}) EXPECT_EQ(DerivedStat(c, 3, 10, 20, 30), 0.0f) << c;
}

TEST(HeroClassRules, SplitSpanBranches) {
    const struct {
        float a, b, c, d, first, second;
    } cases[] = {
        {2, 3, 4, 10, 4, 1},      // a + c within d: c and a x b / (d - c)
        {2, 3, 8, 8, 6, 3},       // a + c past d, a below d
        {0, 3, 8, 8, 8, 0},       // a + c = d and d - c = 0: no division by zero
        {6, 3, 8, 10, 4, 3},      // a below d: d - a and b
        {12, 3, 8, 10, 0, 3.6f},  // otherwise: 0 and a / d x b
        {5, 3, 8, 0, 0, 0},       // d = 0
    };
    for (const auto& c : cases) {
        auto [first, second] = SplitSpan(c.a, c.b, c.c, c.d);
        EXPECT_FLOAT_EQ(first, c.first) << c.a << " " << c.c << " " << c.d;
        EXPECT_FLOAT_EQ(second, c.second) << c.a << " " << c.c << " " << c.d;
    }
}

}  // namespace
