// Small matches on the sample map, run headless through the world harness.
#include "tools/WorldHarness.h"

#include <gtest/gtest.h>

#include "tests/world/GameDataFolder.h"
#include "tools/SampleMap.h"
#include "platform/GfxDevice.h"
#include "engine/core/NameHash.h"
#include "world/CombatData.h"
#include "world/EffectParams.h"
#include "world/EffectRecord.h"
#include "world/GameDataRegistry.h"
#include "world/SummonRecords.h"
#include "world/OrderRecord.h"
#include "world/ProjectileManager.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/SkillRecordKinds.h"
#include "platform/CrtRandom.h"
#include "world/SkillLevelRecord.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"
#include "world/Unit.h"

namespace {

TEST(WorldHarness, ADuelToTheDeathRemovesTheLoser) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    const int32_t strong = h.SpawnUnit("Knight", {150, 0, 160}, 0, 0, 400, 60);
    const int32_t weak = h.SpawnUnit("Creep", {200, 0, 160}, 5, 1, 150, 10);
    ASSERT_GE(strong, 0);
    ASSERT_GE(weak, 0);
    ASSERT_EQ(h.Order(strong, 2, {200, 0, 160}, weak, 2), 1);
    h.RunUntil(60, 0.05f, [&] { return h.Object(0, weak) == nullptr; });
    EXPECT_EQ(h.Object(0, weak), nullptr) << "the loser is removed";
    CUnit* winner = h.Unit(0, strong);
    ASSERT_NE(winner, nullptr);
    EXPECT_EQ(winner->alive, 1);
    EXPECT_GT(h.Emitted(0)[CMD_HP_CHANGE], 0);
    EXPECT_EQ(h.Emitted(0)[CMD_UNIT_KILLED], 1);
}

TEST(WorldHarness, ARangedAttackerHitsThroughItsShots) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    const int32_t archer = h.SpawnUnit("Knight", {150, 0, 160}, 0, 0, 400, 60, 40, 70);
    const int32_t target = h.SpawnUnit("Creep", {210, 0, 160}, 5, 1, 1000, 10);
    ASSERT_GE(archer, 0);
    ASSERT_GE(target, 0);
    CUnit* a = h.Unit(0, archer);
    a->unitFlags |= CCombatObject::kRangedAttacker;
    a->CombatRecord()->shootInfo.refWord1 = platform::FloatBits(50.0f);
    const platform::Vec3 stand = a->position;
    ASSERT_EQ(h.Order(archer, 2, {210, 0, 160}, target, 2), 1);
    // Steps until a shot is seen in flight, then until the target is hit.
    int flyingSteps = 0;
    h.RunUntil(10, 0.05f, [&] {
        const bool hit = h.Unit(0, target)->hitPoints < 1000.0f;
        if (!hit && !h.machine(0).shots->Live().empty()) ++flyingSteps;
        return hit;
    });
    EXPECT_LT(h.Unit(0, target)->hitPoints, 1000.0f) << "the shot arrived and hit";
    EXPECT_GE(flyingSteps, 5) << "the hit waits for the shot's flight";
    EXPECT_FLOAT_EQ(DistanceXZ(a->position, stand), 0.0f) << "in range: it shoots from where it stands";
}

TEST(WorldHarness, ARangedAttackWithoutShotsLandsAtOnce) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    h.machine(0).shots.reset();
    h.MakeCurrent(0);
    const int32_t archer = h.SpawnUnit("Knight", {150, 0, 160}, 0, 0, 400, 60, 40, 70);
    const int32_t target = h.SpawnUnit("Creep", {210, 0, 160}, 5, 1, 1000, 10);
    h.Unit(0, archer)->unitFlags |= CCombatObject::kRangedAttacker;
    ASSERT_EQ(h.Order(archer, 2, {210, 0, 160}, target, 2), 1);
    h.RunUntil(10, 0.05f, [&] { return h.Unit(0, target)->hitPoints < 1000.0f; });
    EXPECT_LT(h.Unit(0, target)->hitPoints, 1000.0f) << "no shot to carry it: the hit is not lost";
}

TEST(WorldHarness, TwoMachinesStayEqualAndOnlyTheAuthorityEmits) {
    CWorldHarness h(2);
    ASSERT_TRUE(h.ok()) << h.Error();
    // Slot 0 plays on machine 0, slot 1 on machine 1.
    const int32_t a = h.SpawnUnit("Knight", {150, 0, 160}, 0, 0, 400, 40);
    const int32_t b = h.SpawnUnit("Knight", {230, 0, 160}, 1, 1, 400, 40);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_EQ(h.Order(a, 3, {190, 0, 160}, -1, 1), 1);
    for (int i = 0; i < 400; ++i) {
        h.Step(0.05f);
        ASSERT_EQ(h.Snapshot(0), h.Snapshot(1)) << "step " << i;
    }
    EXPECT_GT(h.machine(0).dispatched[CMD_HP_CHANGE], 0) << "they fought";
    EXPECT_GT(h.Emitted(0)[CMD_UNIT_ORDER], 0);
    EXPECT_GT(h.Emitted(1)[CMD_UNIT_ORDER], 0) << "machine 1 orders its own unit";
    EXPECT_EQ(h.machine(0).dispatched[CMD_HP_CHANGE], h.machine(1).dispatched[CMD_HP_CHANGE]);
    EXPECT_EQ(h.Emitted(0)[CMD_HP_CHANGE] + h.Emitted(1)[CMD_HP_CHANGE], h.machine(0).dispatched[CMD_HP_CHANGE])
        << "each hit is sent once, by the machine of the attacked unit";
}

TEST(WorldHarness, TwoMachinesWalkTheSamePathsThroughAnArmyMatch) {
    CWorldHarness h(2);
    ASSERT_TRUE(h.ok()) << h.Error();
    std::vector<int32_t> red, blue;
    h.SpawnArmies(8, &red, &blue);
    h.OrderArmies(red, blue);
    for (int i = 0; i < 1200; ++i) {
        h.Step(1.0f / 30);
        if (i % 20 == 0) {
            ASSERT_EQ(h.Snapshot(0), h.Snapshot(1)) << "step " << i;
        }
    }
    EXPECT_EQ(h.Snapshot(0), h.Snapshot(1));
    EXPECT_GT(h.machine(0).dispatched[CMD_UNIT_KILLED], 0) << "the armies met";
}

TEST(WorldHarness, AFiveMinuteScriptedMatchRunsToItsEnd) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    const int alive = h.RunScriptedMatch(6, 300);
    EXPECT_LT(alive, 12) << "the armies met";
    EXPECT_GT(h.Emitted(0)[CMD_UNIT_KILLED], 0);
    EXPECT_GT(h.Emitted(0)[CMD_UNIT_ORDER_QUEUED], 0) << "the script's waves";
}

TEST(WorldHarness, TheRecordedDuelIsAReplayThatLoadsBack) {
    CWorldHarness h(1, 1);
    ASSERT_TRUE(h.ok()) << h.Error();
    const int32_t strong = h.SpawnUnit("Knight", {150, 0, 160}, 0, 0, 400, 60);
    const int32_t weak = h.SpawnUnit("Creep", {200, 0, 160}, 5, 1, 150, 10);
    ASSERT_EQ(h.Order(strong, 2, {200, 0, 160}, weak, 2), 1);
    h.RunUntil(60, 0.05f, [&] { return h.Object(0, weak) == nullptr; });
    int ran = 0;
    for (int n : h.machine(0).dispatched) ran += n;

    const uint8_t block[16] = {};
    ReplayWorldState world;
    world.matchLength = h.machine(0).clock;
    const std::string path = h.FolderPath() + "/DUEL.RPL";
    CGameCommandManager& commands = *h.machine(0).commands;
    ASSERT_EQ(commands.WriteReplay(path.c_str(), kSampleMap, 7, block, world), 1);
    ReplayWorldState loaded;
    ASSERT_EQ(commands.LoadReplay(1, path.c_str(), 7, block, &loaded), 1);
    EXPECT_FLOAT_EQ(loaded.matchLength, world.matchLength);
    int replayed = 0;
    while (CGameCommand* r = commands.NextCommand()) {
        ++replayed;
        commands.ReleaseDispatched(r);
    }
    EXPECT_EQ(replayed, ran) << "every record the match ran is in the replay";
}

TEST(WorldHarness, ARecallOfThreeSpawnsTheSameUnitsOnBothMachines) {
    CWorldHarness h(2);
    ASSERT_TRUE(h.ok()) << h.Error();
    const int32_t caster = h.SpawnUnit("Knight", {150, 0, 160}, 1, 1, 400, 40);
    ASSERT_GE(caster, 0);
    const int32_t skillId = h.GiveSkill(caster, "Call");
    ASSERT_GE(skillId, 0);
    CSkillInstance* call = h.machine(1).map->objects.GetSkillInstance(skillId);
    auto* level = dynamic_cast<CSkillLevelRecall*>(call->record->levels[0].get());
    ASSERT_NE(level, nullptr);
    level->amount[1] = 3;
    level->cooldown = 0;
    const int32_t firstFree = h.machine(0).map->objects.nextId;
    // A third machine's draws would not matter: only the caster's machine (1) draws.
    h.MakeCurrent(1);
    ASSERT_EQ(call->Start({200, 0, 200}, -1), 1) << "machine 1 rules its slot's unit";
    h.MakeCurrent(0);
    EXPECT_EQ(h.machine(0).map->objects.GetSkillInstance(skillId)->Start({200, 0, 200}, -1), 0)
        << "the other machine does not start it";
    for (int i = 0; i < 3; ++i) h.Step(0.05f);
    EXPECT_EQ(h.Emitted(1)[CMD_SKILL_ACTION], 4) << "the request and one record per spot";
    EXPECT_EQ(h.Emitted(0)[CMD_SKILL_ACTION], 0);
    for (int machine = 0; machine < 2; ++machine) {
        EXPECT_EQ(h.machine(machine).map->objects.nextId, firstFree + 3) << "three ids reserved";
        for (int32_t id = firstFree; id < firstFree + 3; ++id) {
            CUnit* u = h.Unit(machine, id);
            ASSERT_NE(u, nullptr) << "machine " << machine << " id " << id;
            EXPECT_LT(DistanceXZ(u->position, {200, 0, 200}), 100.0f);
        }
        EXPECT_EQ(h.machine(machine).map->objects.GetSkillInstance(skillId)->list.size(), 3u);
    }
    EXPECT_EQ(h.Snapshot(0), h.Snapshot(1)) << "the spots travel in the records";
}

TEST(WorldHarness, ATeleportLandsOnTheSameSpotOnBothMachines) {
    CWorldHarness h(2);
    ASSERT_TRUE(h.ok()) << h.Error();
    const int32_t unit = h.SpawnUnit("Knight", {150, 0, 160}, 1, 1, 400, 40);
    const int32_t skillId = h.GiveSkill(unit, "Blink");
    ASSERT_GE(skillId, 0);
    for (int machine = 0; machine < 2; ++machine)
        static_cast<CTeleportSkillRecord*>(h.machine(machine).map->objects.GetSkillInstance(skillId)->record)
            ->teleportText = "Team2";
    // Machine 0 draws a few times more than machine 1: the spot must not depend on it.
    for (int i = 0; i < 7; ++i) platform::CrtRand();
    h.MakeCurrent(1);
    CSkillInstance* blink = h.machine(1).map->objects.GetSkillInstance(skillId);
    ASSERT_EQ(blink->Start({}, -1), 1);
    blink->AutoTarget(1, -1, 0);
    h.MakeCurrent(0);
    for (int i = 0; i < 2; ++i) h.Step(0.05f);
    for (int machine = 0; machine < 2; ++machine)
        EXPECT_LT(DistanceXZ(h.Unit(machine, unit)->position, {272, 0, 272}), 100.0f) << "machine " << machine;
    EXPECT_EQ(h.Snapshot(0), h.Snapshot(1));
}

TEST(WorldHarness, ASummonRequestIsExpandedByTheHostAndBuildsTheSameUnitsOnBothMachines) {
    CWorldHarness h(2);
    ASSERT_TRUE(h.ok()) << h.Error();
    const int32_t caster = h.SpawnUnit("Knight", {150, 0, 160}, 1, 1, 400, 40);
    ASSERT_GE(caster, 0);
    auto* summon = dynamic_cast<CEffectRecord*>(FindGameRecord(CAT_EFFECT, NameHash("Summon")));
    ASSERT_NE(summon, nullptr);
    static_cast<CEffectParamRecall&>(*summon->params[0]).p[2] = 3;
    const int32_t firstFree = h.machine(0).map->objects.nextId;
    // The caster's machine asks; only the host draws the spots and the ids.
    h.MakeCurrent(1);
    h.machine(1).commands->BuildSummon(1, 1, caster, {200, 0, 200}, -1, NameHash("Summon"), kSummonRequest, 1);
    h.MakeCurrent(0);
    for (int i = 0; i < 3; ++i) h.Step(0.05f);
    EXPECT_EQ(h.Emitted(0)[CMD_SUMMON], 3) << "one record per unit, from the host";
    EXPECT_EQ(h.Emitted(1)[CMD_SUMMON], 1) << "the request";
    for (int machine = 0; machine < 2; ++machine)
        for (int32_t id = firstFree; id < firstFree + 3; ++id) {
            CUnit* u = h.Unit(machine, id);
            ASSERT_NE(u, nullptr) << "machine " << machine << " id " << id;
            EXPECT_EQ(u->owner, 1);
            EXPECT_LT(DistanceXZ(u->position, {200, 0, 200}), 100.0f);
        }
    EXPECT_EQ(h.Snapshot(0), h.Snapshot(1));
}

}  // namespace
