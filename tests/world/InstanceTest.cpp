#include "world/SkillInstance.h"

#include <gtest/gtest.h>

#include <cfloat>

#include "tests/world/WorldFixture.h"
#include "world/UnitEffect.h"
#include "world/WalkGrid.h"

namespace {

using InstanceTest = WorldFixture;

TEST_F(InstanceTest, SkillsStartOnlyWithALevelRecord) {
    CSkillRecord& r = SkillRecord("Bash", {0.0f, 5.0f});
    CSkillInstance* s = manager.CreateSkillInstance(&r);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(manager.GetSkillInstance(s->id), s);
    s->owner = Spawn(UnitRecord("Caster"));
    r.skillWord1 = 0;  // a use type that runs the skill (active) as it starts
    EXPECT_EQ(s->Start({}, -1), 0) << "level 0 never starts";
    EXPECT_FALSE(s->IsReady());
    s->level = 3;
    EXPECT_EQ(s->Start({}, -1), 0) << "past the record's levels";
    s->level = 2;
    EXPECT_EQ(s->Start({}, -1), 1);
    EXPECT_EQ(s->cooldownElapsed, 0);
    EXPECT_EQ(s->active, 1u);
    EXPECT_FALSE(s->IsReady());
    s->cooldownElapsed = 5;
    EXPECT_TRUE(s->IsReady());
    std::vector<SentCommand> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().Type(), CMD_SKILL_ACTION) << "the recall's request to every machine";
    EXPECT_EQ(sent.back().I16(2), -1);
    EXPECT_EQ(sent.back().I16(6), s->id);
    manager.gameMode = 3;
    EXPECT_EQ(s->Start({}, -1), 0) << "only the machine with authority starts it";
    const int32_t id = s->id;
    manager.FreeSkillInstance(s);
    EXPECT_EQ(manager.GetSkillInstance(id), nullptr);
    EXPECT_EQ(manager.LiveSkillInstances(), 0);
}

TEST_F(InstanceTest, PendingLevelsWaitForTheCooldown) {
    CSkillRecord& r = SkillRecord("Bolt", {10.0f, 10.0f, 10.0f});
    CSkillInstance* s = manager.CreateSkillInstance(&r);
    s->level = 1;
    s->pendingLevels = 1;
    s->cooldownElapsed = 3;
    s->ApplyPendingLevels();
    EXPECT_EQ(s->level, 1) << "still cooling down";
    s->AdvanceCooldown(7.0f);
    EXPECT_EQ(s->level, 1);
    s->ApplyPendingLevels();
    EXPECT_EQ(s->level, 2);
    EXPECT_EQ(s->pendingLevels, 0);
    EXPECT_EQ(s->cooldownElapsed, FLT_MAX) << "ready after the level";
    s->pendingLevels = 5;
    s->ApplyPendingLevels();
    EXPECT_EQ(s->level, 3) << "capped at the record's level count";

    CSkillRecord& quick = SkillRecord("Quick", {0.0f, 0.0f});
    CSkillInstance* q = manager.CreateSkillInstance(&quick);
    q->level = 1;
    q->pendingLevels = 1;
    q->cooldownElapsed = 0;
    q->ApplyPendingLevels();
    EXPECT_EQ(q->level, 2) << "no cooldown: at once";
    manager.FreeSkillInstance(s);
    manager.FreeSkillInstance(q);
}

struct EffectTest : WorldFixture {
    void SetUp() override {
        CUnitData& r = UnitRecord("Grunt");
        r.baseStats[5] = F(100);
        unit = Spawn(r);
    }
    size_t Count() const { return unit->effects.size(); }
    CUnit* unit = nullptr;
};

TEST_F(EffectTest, StackingAndRefresh) {
    CEffectRecord& plain = EffectRecord("Poison", 12, {10, 10});
    EXPECT_EQ(unit->ApplyEffect(&plain, 1, -1, 0), 1);
    EXPECT_EQ(unit->ApplyEffect(&plain, 1, -1, 0), 1) << "a record that is not refreshable stacks";
    EXPECT_EQ(Count(), 2u);

    CEffectRecord& shield = EffectRecord("Shield", 6, {10, 10, 10});
    shield.flags |= kEffectRefreshable;
    ASSERT_EQ(unit->ApplyEffect(&shield, 1, -1, 0), 1);
    CUnitEffect* active = unit->effects.back();
    unit->UpdateEffects(4.0f);
    EXPECT_EQ(unit->ApplyEffect(&shield, 2, -1, 0), 0) << "renewed, not created";
    EXPECT_EQ(active->elapsed, 0);
    EXPECT_EQ(active->level, 2);
    EXPECT_EQ(unit->ApplyEffect(&shield, 1, -1, 0), 1) << "an active level above the new one: a new effect";
    EXPECT_EQ(Count(), 4u);

    CEffectRecord& lone = EffectRecord("Lone", 7, {10});
    lone.flags |= kEffectNoStacking;
    EXPECT_EQ(unit->ApplyEffect(&lone, 1, -1, 0), 1);
    CEffectRecord& other = EffectRecord("Other", 7, {10});
    EXPECT_EQ(unit->ApplyEffect(&other, 1, -1, 0), 0) << "bit 22 of either record refuses the kind";

    CEffectRecord& shape = EffectRecord("Shape", 11, {10});
    shape.flags |= kEffectRefreshable;
    ASSERT_EQ(unit->ApplyEffect(&shape, 1, -1, 0), 1);
    CUnitEffect* firstShape = unit->effects.back();
    EXPECT_EQ(unit->ApplyEffect(&shape, 1, -1, 0), 1) << "kind 11 ends the old one and applies anew";
    EXPECT_EQ(firstShape->elapsed, CUnitEffect::kEnded);
    const int32_t live = manager.LiveUnitEffects();
    unit->UpdateEffects(0.1f);
    EXPECT_EQ(manager.LiveUnitEffects(), live - 1) << "the ended effect went back to its pool";

    CEffectRecord& noLevels = EffectRecord("Empty", 12, {});
    EXPECT_EQ(unit->ApplyEffect(&noLevels, 1, -1, 0), 0) << "no level record: no effect";
    unit->RemoveAllEffects();
    EXPECT_EQ(manager.LiveUnitEffects(), 0);
}

TEST_F(EffectTest, Prerequisites) {
    CEffectRecord& a = EffectRecord("A", 12, {0});
    CEffectRecord& b = EffectRecord("B", 12, {0});
    CEffectRecord& wants = EffectRecord("Wants", 6, {0});
    wants.values = {a.id, b.id};
    ASSERT_EQ(unit->ApplyEffect(&a, 1, -1, 0), 1);
    struct Row {
        uint32_t presence, all;
        int result;
    } rows[] = {{1, 1, 0}, {1, 0, 1}, {0, 0, 1}, {0, 1, 0}};
    for (const Row& r : rows) {
        wants.effectWord5 = r.presence;
        wants.effectWord6 = r.all;
        EXPECT_EQ(unit->ApplyEffect(&wants, 1, -1, 1), r.result) << r.presence << " " << r.all;
        EXPECT_EQ(unit->ApplyEffect(&wants, 1, -1, 0), 1) << "without the check";
    }
    (void)b;
}

TEST_F(EffectTest, DurationsSourcesAndTheDead) {
    CEffectRecord& timed = EffectRecord("Timed", 12, {1.0f});
    CEffectRecord& open = EffectRecord("Open", 19, {0.0f});
    ASSERT_EQ(unit->ApplyEffect(&timed, 1, 42, 0), 1);
    ASSERT_EQ(unit->ApplyEffect(&open, 1, 7, 0), 1);
    unit->UpdateEffects(0.5f);
    EXPECT_EQ(Count(), 2u);
    unit->UpdateEffects(0.5f);
    EXPECT_EQ(Count(), 1u) << "the timed one ends at its duration";
    unit->UpdateEffects(1000.0f);
    EXPECT_EQ(Count(), 1u) << "a duration of 0 never ends by time";
    unit->EndEffectsFrom(7);
    unit->UpdateEffects(0.0f);
    EXPECT_EQ(Count(), 0u);

    CEffectRecord& summon = EffectRecord("Summon", 17, {1.0f});
    ASSERT_EQ(unit->ApplyEffect(&open, 1, 7, 0), 1);
    unit->Die();
    EXPECT_EQ(Count(), 0u) << "death ends every effect";
    EXPECT_EQ(manager.LiveUnitEffects(), 0);
    EXPECT_EQ(unit->ApplyEffect(&timed, 1, -1, 0), 0);
    EXPECT_EQ(unit->ApplyEffect(&summon, 1, -1, 0), 1) << "the dead take only kind 17";
    EXPECT_EQ(manager.LiveUnitEffects(), 1);
}

TEST_F(EffectTest, DecorationsOfRecordBit21NeverMarkTheWalkGrid) {
    CWalkGrid grid;
    ASSERT_EQ(grid.Setup(40, 40, 5.0f), 1);
    auto count = [&] {
        int n = 0;
        for (int32_t z = 0; z < 40; ++z)
            for (int32_t x = 0; x < 40; ++x) n += grid.Cell(x, z) != 0;
        return n;
    };
    auto& rock = registry.AddNamed(std::make_unique<CDecorationData>(), "Rock");
    rock.decoWord3 = F(250);
    auto& grass = registry.AddNamed(std::make_unique<CDecorationData>(), "Grass");
    grass.flags |= 0x200000;
    CWorldObject* g = manager.CreateObject(2);
    ASSERT_EQ(g->InitFromRecord({50, 0, 50}, &grass, 1, 0, 5.0f), 1);
    manager.RegisterObject(g, -1, 1, 1);
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(g->flags & 0x100, 0x100u);
    CWorldObject* r = manager.CreateObject(2);
    ASSERT_EQ(r->InitFromRecord({100, 0, 100}, &rock, 1, 0, 5.0f), 1);
    EXPECT_EQ(r->hitPoints, 250);
    manager.RegisterObject(r, -1, 1, 1);
    EXPECT_GT(count(), 0) << "a plain decoration blocks";
    manager.UnregisterObject(r);
    EXPECT_EQ(count(), 0);
}

TEST_F(EffectTest, BuildingRegenerationRestartsItsTimerAtFullHealth) {
    auto& tower = registry.AddNamed(std::make_unique<CBuildingData>(), "Tower");
    tower.baseStats[5] = F(1000);
    tower.baseStats[7] = F(8);
    tower.baseStats[3] = F(70);
    CWorldObject* o = manager.CreateObject(1);
    ASSERT_EQ(o->InitFromRecord({100, 0, 100}, &tower, 1, 1.5f, 3.0f), 1);
    auto* b = static_cast<CBuilding*>(o);
    EXPECT_EQ(b->hitPoints, 1000);
    EXPECT_EQ(b->GetStat(3), 0) << "a building that does not fight has no attack";
    EXPECT_EQ(b->orderFlags, 0x18000u);
    b->Regenerate(0.3f);
    EXPECT_EQ(b->hitPoints, 1000);
    EXPECT_EQ(b->regenerationTimer, 0) << "the timer restarts at full health too";
    b->hitPoints = 500;
    b->Regenerate(0.1f);
    EXPECT_EQ(b->hitPoints, 500);
    b->Regenerate(0.2f);
    EXPECT_FLOAT_EQ(b->hitPoints, 500 + 0.3f * 8);
    manager.DestroyObject(o);
}

TEST_F(EffectTest, ItemsOnTheGround) {
    CItemData& potion = ItemRecord("Potion");
    potion.itemWord[3] = 3;
    CWorldObject* o = manager.CreateObject(3);
    ASSERT_EQ(o->InitFromRecord({10, 0, 10}, &potion, 1, 0, 1), 1);
    EXPECT_EQ(static_cast<CItemObject*>(o)->itemCount, 3);
    EXPECT_EQ(o->GetStat(5), 1.0f);
    EXPECT_EQ(o->flags & WO_KIND_ITEM, WO_KIND_ITEM);
    EXPECT_EQ(o->flags & WO_BLOCKS_GRID, 0u);
    EXPECT_EQ(o->InitFromRecord({10, 0, 10}, &UnitRecord("Other"), 1, 0, 1), 0) << "a record of another category";
    manager.DestroyObject(o);
}

}  // namespace
