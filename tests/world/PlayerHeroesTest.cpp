// The heroes of the player positions, on the sample map loaded headless.
#include "world/PlayerHeroes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/render/ModelResource.h"
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

// Nothing else links a hero's record before the match: the hero links it, or
// it would have no model to draw, and bounds no click could hit.
TEST(PlayerHeroes, AHeroTakesTheModelOfItsRecordAndFailsWithoutIt) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    CZEMMap& map = *h.machine(0).map;
    CWorldObjectManager& world = map.objects;
    CGameDataRecord* record = FindGameRecord(CAT_UNIT, NameHash("Knight"));
    ASSERT_NE(record, nullptr);
    record->ReleaseResources();

    CUnit* hero = nullptr;
    ASSERT_EQ(CreatePlayerHero(map, {record, 0, 0, "Knight"}, &hero), 1) << h.Error();
    ASSERT_NE(hero, nullptr);
    ASSERT_NE(record->modelResource, nullptr);
    EXPECT_EQ(hero->GetModel(), record->modelResource);
    EXPECT_EQ(hero->bounds.boxMax.y, static_cast<CModelResource*>(record->modelResource)->BoundsMax().y);

    // A record whose model cannot load makes no hero.
    record->ReleaseResources();
    record->model = "NO_SUCH_MODEL.DSM";
    const size_t objects = world.Objects().size();
    CUnit* none = hero;
    EXPECT_EQ(CreatePlayerHero(map, {record, 1, 0, "Knight"}, &none), 0);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(world.Objects().size(), objects);
    EXPECT_NE(ErrorReport().Text().find("Knight"), std::string::npos) << ErrorReport().Text();
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
