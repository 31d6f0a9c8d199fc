// The heroes of the player positions, on the sample map loaded headless.
#include "world/PlayerHeroes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/NameHash.h"
#include "tools/WorldHarness.h"
#include "world/GameDataRegistry.h"
#include "world/NamedArea.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

TEST(PlayerHeroes, AHeroStandsAtItsStartAreaUnderItsPositionWithItsBonus) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    CZEMMap& map = *h.machine(0).map;
    CWorldObjectManager& world = map.objects;
    CGameDataRecord* record = FindGameRecord(CAT_UNIT, NameHash("Night Blade"));
    ASSERT_NE(record, nullptr);

    CUnit* plain = nullptr;
    ASSERT_EQ(CreatePlayerHero(map, {record, 1, 0, "Plain"}, &plain), 1) << h.Error();
    CUnit* bonus = nullptr;
    ASSERT_EQ(CreatePlayerHero(map, {record, 0, 10, "Bonus"}, &bonus), 1) << h.Error();
    ASSERT_TRUE(plain && bonus);
    // Every reader of a position's hero finds it under the position.
    EXPECT_EQ(world.GetObjectById(0), bonus);
    EXPECT_EQ(world.GetObjectById(1), plain);
    EXPECT_EQ(bonus->owner, 0);
    EXPECT_EQ(bonus->team, world.ownerTeam[0]);
    EXPECT_EQ(world.ownerNames[0].shortName, "Bonus");
    const platform::Vec3 start = map.areas.TeamArea(0)->centre;
    EXPECT_FLOAT_EQ(bonus->position.x, start.x);
    EXPECT_FLOAT_EQ(bonus->position.z, start.z);
    float plainSum = 0, bonusSum = 0;
    for (int a = 0; a < 3; ++a) {
        plainSum += plain->stats.base[a];
        bonusSum += bonus->stats.base[a];
        const float base = plain->stats.base[a];
        EXPECT_FLOAT_EQ(bonus->stats.base[a], base + std::trunc(10 * 0.02f * base)) << "attribute " << a;
    }
    EXPECT_GT(bonusSum, plainSum) << "the record's attributes are large enough to show the bonus";

    // A position whose start area the map lacks plays without its hero.
    const size_t objects = world.Objects().size();
    CUnit* none = plain;
    EXPECT_EQ(CreatePlayerHero(map, {record, 5, 0, "None"}, &none), 1);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(world.Objects().size(), objects);
}

TEST(PlayerHeroes, HeroesOnOneSpotMoveApartAtTheStart) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    ASSERT_EQ(h.SpawnHero("Knight", 0), 0) << h.Error();
    ASSERT_EQ(h.SpawnHero("Knight", 1), 1) << h.Error();
    CUnit* first = h.Unit(0, 0);
    CUnit* second = h.Unit(0, 1);
    second->TeleportTo(first->position);
    h.SpreadHeroes();
    EXPECT_GT(std::hypot(first->position.x - second->position.x, first->position.z - second->position.z),
              first->bounds.radius * first->bounds.scale);
}

}  // namespace
