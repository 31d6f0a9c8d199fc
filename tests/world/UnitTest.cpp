#include "world/Unit.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "tests/world/WorldFixture.h"
#include "world/InventoryItem.h"
#include "world/SkillInstance.h"

namespace {

using UnitTest = WorldFixture;

TEST_F(UnitTest, ExperienceCurves) {
    CUnitData& r = UnitRecord("Grunt");
    CUnit* u = Spawn(r);
    struct Row {
        uint32_t flags;
        int32_t level, experience;
    } rows[] = {{0, 1, 200}, {0x10, 1, 200}, {0x20, 1, 2000}, {0x20000000, 1, 2000},
                {0, 5, 600}, {0x10, 5, 2000}, {0x20, 5, 20000}};
    for (const Row& row : rows) {
        u->unitFlags = row.flags;
        EXPECT_EQ(u->GetExperienceForLevel(row.level), row.experience) << row.flags << " at " << row.level;
    }
}

TEST_F(UnitTest, LevelStatsOfAHero) {
    CUnitData& r = UnitRecord("Knight", 0x11, 0);
    r.baseStats[0] = F(10);
    r.baseStats[1] = F(8);
    r.baseStats[2] = F(6);
    r.baseStats[3] = F(5);
    r.baseStats[5] = F(100);
    CUnit* u = Spawn(r, 100, 100, 0, 3);
    // Growth 1.2 at level 3: attributes 12, 9.6, 7.2.
    EXPECT_FLOAT_EQ(u->GetStat(0), 12.0f);
    EXPECT_FLOAT_EQ(u->GetStat(3), 1.5f * 12 + 5);
    EXPECT_FLOAT_EQ(u->GetStat(4), 0.5f * 12);
    EXPECT_FLOAT_EQ(u->GetStat(5), 20 * 12 + 100);
    EXPECT_FLOAT_EQ(u->GetStat(6), 10 * 7.2f);
    EXPECT_FLOAT_EQ(u->GetStat(10), 30 + 0.3f * 3) << "a hero's class step times the level";
    EXPECT_FLOAT_EQ(u->GetStat(12), 0.96f);
    EXPECT_EQ(u->hitPoints, u->GetStat(5));
    EXPECT_FLOAT_EQ(u->nextExperience, 900.0f) << "bit 4: 100 x 10 - 100 at level 3";

    // An attribute bonus reaches the stats that derive from it.
    u->stats.addB[0] = 10;
    u->RecalcStats(0);
    EXPECT_FLOAT_EQ(u->GetStat(0), 22.0f);
    EXPECT_FLOAT_EQ(u->GetStat(5), 20 * 22 + 100);
    EXPECT_FLOAT_EQ(u->GetStat(3), 1.5f * 22 + 5);

    u->experience = 2500;
    EXPECT_TRUE(u->ApplyLevelUps());
    EXPECT_EQ(u->level, 6) << "thresholds 900, 1400 and 2000 passed, 2700 not";
    EXPECT_EQ(u->levelUps, 3);
    EXPECT_FLOAT_EQ(u->previousExperience, 2000.0f);
}

TEST_F(UnitTest, LevelStopsAtTheRecordMaximum) {
    CUnitData& r = UnitRecord("Grunt");
    r.word[4] = 3;
    CUnit* u = Spawn(r);
    u->experience = 1e6f;
    EXPECT_TRUE(u->ApplyLevelUps());
    EXPECT_EQ(u->level, 3);
    EXPECT_EQ(u->experience, u->nextExperience);
    EXPECT_FALSE(u->ApplyLevelUps());
}

TEST_F(UnitTest, MovementSpeedLimits) {
    CUnit* u = Spawn(UnitRecord("Grunt"));
    for (auto [speed, expected] : {std::pair{95.0f, 80.0f}, {-3.0f, 1.0f}, {0.0f, 0.0f}, {42.0f, 42.0f}}) {
        u->stats.base[10] = speed;
        u->RecalcStats(10);
        EXPECT_EQ(u->GetMoveSpeed(), expected) << speed;
    }
    EXPECT_EQ(u->walkAnimationRate, 1.0f / 30.0f * 42.0f);
}

TEST_F(UnitTest, MaximumHitPointsKeepTheRatio) {
    CUnitData& r = UnitRecord("Grunt");
    r.baseStats[5] = F(100);
    CUnit* u = Spawn(r);
    u->hitPoints = 40;
    u->stats.addB[5] = 100;
    u->RecalcStats(5);
    EXPECT_FLOAT_EQ(u->hitPoints, 80.0f);
    u->stats.base[5] = 0;
    u->stats.addB[5] = 0;
    u->RecalcStats(5);
    EXPECT_EQ(u->hitPoints, 0);
    u->stats.base[5] = 150;
    u->RecalcStats(5);
    EXPECT_EQ(u->hitPoints, 150) << "from a maximum of 0 the new maximum";
    u->stateFlags |= 0x1000000;
    u->stats.base[5] = 300;
    u->RecalcStats(5);
    EXPECT_EQ(u->GetStat(5), 150) << "frozen maxima stay";
}

TEST_F(UnitTest, RegenerationEveryQuarterSecondUpToTheMaximum) {
    CUnitData& r = UnitRecord("Grunt");
    r.baseStats[5] = F(100);
    r.baseStats[7] = F(4);
    r.baseStats[6] = F(50);
    r.baseStats[8] = F(100);
    CUnit* u = Spawn(r);
    u->hitPoints = 50;
    u->mana = 40;
    u->Regenerate(0.2f);
    EXPECT_EQ(u->hitPoints, 50) << "nothing within the first 0.25 s";
    u->Regenerate(0.1f);
    EXPECT_FLOAT_EQ(u->hitPoints, 50 + 0.3f * 4);
    EXPECT_EQ(u->mana, 50) << "capped at the maximum";
    EXPECT_EQ(u->regenerationTimer, 0);
}

TEST_F(UnitTest, AttackIntervalFollowsTheSpeedCurve) {
    CUnitData& r = UnitRecord("Grunt", 0x21);
    r.baseStats[9] = F(2.0f);
    CUnit* u = Spawn(r);
    struct Row {
        float fraction, flatA, interval;
    } rows[] = {{0, 0, 3.6f}, {1, 0, 2.6f}, {5, 0, 0.6f}, {9, 0, 0.6f}, {5, 1, 0.3f}};
    for (const Row& row : rows) {
        u->stats.fraction[9] = row.fraction;
        u->stats.addA[9] = row.flatA;
        u->RecalcStats(9);
        EXPECT_NEAR(u->GetStat(9), row.interval, 1e-5) << row.fraction << " " << row.flatA;
        EXPECT_TRUE(std::isfinite(u->attackAnimationRate));
    }
}

struct InventoryTest : WorldFixture {
    void SetUp() override {
        hero = Spawn(UnitRecord("Hero", 0x11, 0));
        SkillRecord("Quaff", {10.0f});
    }
    CItemData& Item(const std::string& name, uint32_t cooldownItem = 0) {
        CItemData& r = ItemRecord(name);
        r.useSkill = "Quaff";
        r.cooldownItem = cooldownItem;
        return r;
    }
    CInventoryItem* Make(CItemData& r) { return manager.CreateInventoryItem(&r, 0, 0); }
    CUnit* hero = nullptr;
};

TEST_F(InventoryTest, AcquireCodes) {
    CItemData& potion = Item("Potion");
    CInventoryItem* item = Make(potion);
    int32_t slot = -9;
    CUnit* grunt = Spawn(UnitRecord("Grunt"));
    potion.itemWord[1] = 5;
    EXPECT_EQ(grunt->CanAcquireItem(*item, -1, &slot), 206) << "not a hero, before the level check";
    hero->stateFlags |= 0x2000000;
    EXPECT_EQ(hero->CanAcquireItem(*item, -1, &slot), 206) << "waiting for revival";
    hero->stateFlags = 0;
    EXPECT_EQ(hero->CanAcquireItem(*item, -1, &slot), 203);
    potion.itemWord[1] = 0;
    EXPECT_EQ(hero->CanAcquireItem(*item, 6, &slot), 209);
    EXPECT_EQ(hero->CanAcquireItem(*item, -1, &slot), -1);
    EXPECT_EQ(slot, 0);
    hero->SetInventoryItem(slot, item);
    CInventoryItem* second = Make(potion);
    EXPECT_EQ(hero->CanAcquireItem(*second, -1, &slot), 204);

    CItemData& ring = Item("Ring");
    ring.itemWord[2] = 1;
    ring.cooldownItem = 77;
    CInventoryItem* special = Make(ring);
    EXPECT_EQ(hero->CanAcquireItem(*special, 2, &slot), 215);
    EXPECT_EQ(hero->CanAcquireItem(*special, -1, &slot), -1);
    EXPECT_EQ(slot, 6);
    for (int32_t s = 1; s < CUnit::kNormalSlots; ++s) {
        CItemData& other = Item("Other" + std::to_string(s), 100 + static_cast<uint32_t>(s));
        hero->SetInventoryItem(s, Make(other));
    }
    CInventoryItem* extra = Make(Item("Extra", 999));
    EXPECT_EQ(hero->CanAcquireItem(*extra, -1, &slot), 205);
    EXPECT_EQ(hero->itemCount, 6);
    manager.FreeInventoryItem(second);
    manager.FreeInventoryItem(special);
    manager.FreeInventoryItem(extra);
}

TEST_F(InventoryTest, ItemsOfOneGroupShareTheirCooldown) {
    CItemData& a = Item("Small Potion", 42);
    CItemData& b = Item("Large Potion", 42);
    CInventoryItem* first = Make(a);
    hero->SetInventoryItem(0, first);
    ASSERT_NE(first->useSkill, nullptr);
    EXPECT_EQ(first->useSkill->cooldownElapsed, FLT_MAX) << "a new group is ready";
    first->useSkill->cooldownElapsed = 3;
    first->useSkill->cooldownRate = 2;
    CInventoryItem* second = Make(b);
    hero->SetInventoryItem(1, second);
    EXPECT_EQ(second->useSkill->cooldownElapsed, 3) << "handed over from the carried item of the group";
    EXPECT_EQ(second->useSkill->cooldownRate, 2);

    hero->RemoveInventoryItem(1);
    hero->RemoveInventoryItem(0);
    EXPECT_EQ(hero->itemCount, 0);
    hero->UpdateItems(2.0f);
    CInventoryItem* again = Make(b);
    hero->SetInventoryItem(3, again);
    EXPECT_EQ(again->useSkill->cooldownElapsed, 5) << "the group's time ran on after the last item left";
    manager.FreeInventoryItem(first);
    manager.FreeInventoryItem(second);
}

TEST_F(InventoryTest, EquippingAddsTheBonusesOnce) {
    CItemData& sword = ItemRecord("Sword");
    sword.statsA[3] = F(10);
    sword.statsA[12] = F(0.5f);
    sword.statsB[12] = 1;
    hero->stats.base[12] = 4;
    hero->RecalcStats(12);
    const float attack = hero->GetStat(3), evasion = hero->GetStat(12);
    CInventoryItem* item = Make(sword);
    EXPECT_EQ(item->useSkill, nullptr);
    hero->SetInventoryItem(2, item);
    EXPECT_FLOAT_EQ(hero->GetStat(3), attack + 10);
    EXPECT_FLOAT_EQ(hero->GetStat(12), evasion + 0.5f * 4) << "mode 1 multiplies the base";
    hero->RemoveInventoryItem(2);
    item->Unequip();
    EXPECT_FLOAT_EQ(hero->GetStat(3), attack);
    EXPECT_FLOAT_EQ(hero->GetStat(12), evasion);
    manager.FreeInventoryItem(item);
    EXPECT_EQ(manager.LiveInventoryItems(), 0);
}

TEST_F(InventoryTest, ItemUseTakesChargesAndStartsThePartnersCooldown) {
    CItemData& potion = Item("Potion", 42);
    CItemData& elixir = Item("Elixir", 42);
    CItemData& tome = ItemRecord("Tome");
    tome.statsA[0] = F(2);
    CInventoryItem* p = manager.CreateInventoryItem(&potion, potion.id, 2);
    CInventoryItem* e = Make(elixir);
    CInventoryItem* t = manager.CreateInventoryItem(&tome, tome.id, 1);
    const float strength = hero->GetStat(0);
    hero->SetInventoryItem(0, p);
    hero->SetInventoryItem(1, e);
    hero->SetInventoryItem(2, t);

    manager.ApplyItemUse(0, hero->id, 8, 1);
    manager.ApplyItemUse(0, hero->id, -1, 1);
    manager.ApplyItemUse(0, -4, 0, 1);
    EXPECT_TRUE(Sent().empty()) << "slots past 7 and bad ids do nothing";

    manager.ApplyItemUse(0, hero->id, 0, 1);
    EXPECT_EQ(p->charges, 1);
    EXPECT_EQ(p->useSkill->cooldownElapsed, 0);
    EXPECT_EQ(e->useSkill->cooldownElapsed, 0) << "the partner of the group cools down too";
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_USE_ITEM);
    EXPECT_EQ(sent[0].bytes[7], 0) << "+7 the inventory slot";

    manager.ApplyItemUse(0, hero->id, 0, 0);
    EXPECT_EQ(p->charges, 1) << "the local player's own use ran when it was sent";

    manager.ApplyItemUse(0, hero->id, 2, 1);
    EXPECT_FLOAT_EQ(hero->GetStat(0), strength + 2) << "an item without a use skill adds its stats for good";
    EXPECT_EQ(hero->Item(2), nullptr) << "and is gone at 0 charges";
    manager.ApplyItemUse(0, hero->id, 0, 1);
    EXPECT_EQ(hero->Item(0), nullptr);
    EXPECT_EQ(hero->itemsInUse.size(), 1u) << "an item with a use skill stays in use";
    EXPECT_EQ(hero->UpdateItems(4.0f), 1);
    EXPECT_EQ(hero->UpdateItems(1.0f), 0) << "released after 5 s";
    EXPECT_EQ(manager.LiveInventoryItems(), 1);
}

}  // namespace
