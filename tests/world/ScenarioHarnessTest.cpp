// The sample map's triggers and lords, and the sample tutorial, played
// headless through the world harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/core/NameHash.h"
#include "platform/CodePage.h"
#include "tools/WorldHarness.h"
#include "tests/world/TestScriptHost.h"
#include "tools/SampleMap.h"
#include "world/GameDataRegistry.h"
#include "world/ItemObject.h"
#include "world/MapScenario.h"
#include "world/ScriptManager.h"
#include "world/TriggerElements.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

auto Never = [] { return false; };

float DistanceXZ(const platform::Vec3& a, float x, float z) { return std::hypot(a.x - x, a.z - z); }

// The live units of the hostile creeps' owner, spawned ones (ids from the spawn base) or all.
std::vector<CUnit*> Creeps(CWorldHarness& h, bool spawnedOnly) {
    std::vector<CUnit*> out;
    for (CWorldObject* o : h.machine(0).map->objects.Objects())
        if (o->IsUnit() && o->alive && o->owner == kOwnerHostileNeutral &&
            (!spawnedOnly || o->id >= static_cast<int32_t>(CWorldObjectManager::kSpawnIdBase)))
            out.push_back(static_cast<CUnit*>(o));
    return out;
}

TEST(ScenarioHarness, TheCreepCampComesOnTimeAndAgainOnceCleared) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    h.PlayScenario();
    h.RunUntil(59.5f, 0.1f, Never);
    EXPECT_TRUE(Creeps(h, true).empty());
    EXPECT_TRUE(h.machine(0).scenario.chat.empty());

    h.RunUntil(1.0f, 0.1f, Never);
    std::vector<CUnit*> wave = Creeps(h, true);
    ASSERT_EQ(wave.size(), 2u);
    std::vector<int32_t> ids;
    for (CUnit* u : wave) {
        ids.push_back(u->id);
        EXPECT_EQ(u->recordName, "Creep");
        EXPECT_LT(DistanceXZ(u->position, 170, 125), 40.0f) << "at the camp";
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int32_t>{20000, 20001})) << "consecutive ids from the spawn base";
    const CWorldHarness::ScenarioView& view = h.machine(0).scenario;
    ASSERT_EQ(view.chat.size(), 1u);
    EXPECT_EQ(view.chat[0], "Creeps gather at the camp.");
    EXPECT_EQ(view.mapAlerts, 1);

    // The camp cleared before the respawn's first check: it is filled again.
    for (CUnit* u : Creeps(h, false)) u->Die();
    h.RunUntil(30.0f, 0.1f, Never);
    std::vector<CUnit*> again = Creeps(h, true);
    ASSERT_EQ(again.size(), 2u);
    for (CUnit* u : again) {
        EXPECT_GE(u->id, 20002);
        EXPECT_LT(DistanceXZ(u->position, 170, 125), 40.0f);
    }
    // Not cleared at the next check: only the wave's second round comes.
    h.RunUntil(30.0f, 0.1f, Never);
    EXPECT_EQ(Creeps(h, true).size(), 4u);
}

TEST(ScenarioHarness, TheLordsAppearAtTheirAltarsOnTimeAndMarch) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    CMapScenario& scenario = h.machine(0).map->scenario;
    h.PlayScenario();
    LordBlock& lords = scenario.Lords();
    ASSERT_FLOAT_EQ(lords.lordTime, kSampleLordTime);
    for (int e = 0; e < 2; ++e) {
        EXPECT_EQ(lords.entries[e].markerObjectId, kLordAltarIds[e]);
        EXPECT_EQ(lords.entries[e].lordObjectId, CMapScenario::kLordIds[e]);
        EXPECT_EQ(lords.entries[e].owner, 24 + e);
    }
    EXPECT_FLOAT_EQ(lords.entries[0].spawnPosition[0], 90.0f);
    EXPECT_FLOAT_EQ(lords.entries[1].spawnPosition[2], 250.0f);

    h.RunUntil(kSampleLordTime - 0.5f, 0.1f, Never);
    EXPECT_EQ(lords.phase, LordBlock::PHASE_WAITING);
    EXPECT_EQ(h.Object(0, 13), nullptr);
    h.RunUntil(1.0f, 0.1f, Never);
    ASSERT_EQ(lords.phase, LordBlock::PHASE_MARCHING);
    const char* const names[2] = {"로드 뱀파이어", "로드 헌터"};
    const float goals[2][2] = {{272, 272}, {48, 48}};
    for (int e = 0; e < 2; ++e) {
        CUnit* lord = h.Unit(0, CMapScenario::kLordIds[e]);
        ASSERT_NE(lord, nullptr) << e;
        EXPECT_EQ(lord->recordName, platform::Utf8ToCp949(names[e]));
        EXPECT_EQ(lord->team, e);
        EXPECT_EQ(lord->order.kind, 3) << "marching";
        EXPECT_LT(DistanceXZ(lord->order.point, goals[e][0], goals[e][1]), 1.0f) << "toward the other start area";
        CWorldObject* altar = h.Object(0, kLordAltarIds[e]);
        EXPECT_TRUE(altar == nullptr || !altar->alive) << "the altar gave way";
    }
    for (const char* trigger : {"LordAltarLight", "LordAltarDark", "LordTime"})
        EXPECT_EQ(scenario.FindTrigger(NameHash(trigger)), nullptr) << trigger;

    // The first march check sends each lord toward the other. They walk
    // slowly here, and the camp's creeps are gone, so that neither is
    // fighting at that time.
    for (CUnit* u : Creeps(h, false)) u->Die();
    for (int32_t id : CMapScenario::kLordIds) {
        CUnit* lord = h.Unit(0, id);
        lord->stats.base[10] = 5;
        lord->RecalcStats(10);
    }
    h.RunUntil(6.0f, 0.1f, Never);
    CUnit* vampire = h.Unit(0, 13);
    CUnit* hunter = h.Unit(0, 14);
    ASSERT_NE(vampire, nullptr);
    ASSERT_NE(hunter, nullptr);
    EXPECT_TRUE(lords.reordered[0]);
    EXPECT_TRUE(lords.reordered[1]);
    EXPECT_EQ(vampire->order.kind, 3);
    EXPECT_GT(DistanceXZ(vampire->position, 90, 70), 10.0f) << "the lord walked";
    EXPECT_GT(DistanceXZ(vampire->order.point, goals[0][0], goals[0][1]), 1.0f) << "now toward the hunter";

    // The Light's lord falls: the match ends for the team of the Darkness.
    vampire->Die();
    h.Step(0.1f);
    EXPECT_EQ(lords.phase, LordBlock::PHASE_ENDED);
    EXPECT_EQ(h.machine(0).scenario.winningTeam, 1);
}

// A trigger that fires at once: it spawns level-3 creeps at the camp, each
// carrying a drop of two potions, and raises a map alert, which ends it in
// the same frame as its spawn record leaves.
uint32_t AddAmbush(CMapScenario& scenario, uint32_t owner, uint32_t fixedOwner) {
    auto trigger = std::make_unique<CTrigger>();
    trigger->SetName("Ambush");
    auto spawn = std::make_unique<CTriggerSpawnAction>();
    spawn->areaHash = NameHash("CreepCamp");
    spawn->unitId = NameHash("Creep");
    spawn->unit = FindGameRecord(CAT_UNIT, spawn->unitId);
    spawn->drops.push_back({NameHash("Potion"), 2, FindGameRecord(CAT_ITEM, NameHash("Potion")), 0});
    spawn->count = 2;
    spawn->extraValue = 3;
    spawn->owner = owner;
    spawn->fixedOwnerFlag = fixedOwner;
    trigger->AddAction(std::move(spawn));
    trigger->AddAction(std::make_unique<CMapAlertAction>());
    const uint32_t hash = trigger->hash;
    scenario.Triggers().push_back(std::move(trigger));
    return hash;
}

std::vector<CItemObject*> GroundItems(CWorldHarness& h) {
    std::vector<CItemObject*> out;
    for (CWorldObject* o : h.machine(0).map->objects.Objects())
        if (auto* item = dynamic_cast<CItemObject*>(o); item && o->id >= CWorldObjectManager::kDropIdBase)
            out.push_back(item);
    return out;
}

TEST(ScenarioHarness, AnAlertingSpawnBringsLevelledCreepsThatDropTheirItems) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    CMapScenario& scenario = h.machine(0).map->scenario;
    const uint32_t ambush = AddAmbush(scenario, kOwnerHostileNeutral, 0);
    h.PlayScenario();
    h.Step(0.1f);
    h.Step(0.1f);
    EXPECT_EQ(scenario.FindTrigger(ambush), nullptr) << "the alert ended the trigger";
    EXPECT_EQ(h.machine(0).scenario.mapAlerts, 1);
    std::vector<CUnit*> creeps = Creeps(h, true);
    ASSERT_EQ(creeps.size(), 2u) << "its spawn was not lost";
    for (CUnit* u : creeps) {
        EXPECT_EQ(u->level, 3);
        ASSERT_EQ(u->randomEvents.size(), 1u);
        EXPECT_EQ(u->randomEvents[0].values[0], 2);
        EXPECT_EQ(u->randomEvents[0].values[1], static_cast<int32_t>(NameHash("Potion")));
        EXPECT_EQ(u->eventChance, 100);
    }
    EXPECT_TRUE(GroundItems(h).empty());

    const platform::Vec3 fell = creeps[0]->position;
    CGameCommandManager& cm = *h.machine(0).commands;
    cm.BuildUnitKilled(creeps[0]->id, -1, 1);
    for (int i = 0; i < 4; ++i) h.Step(0.1f);
    std::vector<CItemObject*> items = GroundItems(h);
    ASSERT_EQ(items.size(), 1u) << "the creep dropped its potion";
    EXPECT_EQ(items[0]->recordName, "Potion");
    EXPECT_EQ(items[0]->itemCount, 2);
    EXPECT_LT(DistanceXZ(items[0]->position, fell.x, fell.z), 1.5f) << "where it fell";
    EXPECT_EQ(items[0]->id, CWorldObjectManager::kDropIdBase);

    // A record naming an item that does not exist, or an id out of range, places nothing.
    cm.BuildCreateObject(1, 12345, {100, 0, 100}, 10500, 1);
    cm.BuildCreateObject(1, NameHash("Potion"), {100, 0, 100}, 0xFFFFFFFFu, 1);
    h.Step(0.1f);
    EXPECT_EQ(GroundItems(h).size(), 1u);
}

TEST(ScenarioHarness, ALordIdSpawnMakesOneUnitUnderThatId) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    CMapScenario& scenario = h.machine(0).map->scenario;
    AddAmbush(scenario, 24, 1);
    h.PlayScenario();
    h.Step(0.1f);
    h.Step(0.1f);
    CUnit* lord = h.Unit(0, CMapScenario::kLordIds[0]);
    ASSERT_NE(lord, nullptr) << "owner 24's fixed spawn takes the first lord's id";
    EXPECT_EQ(lord->owner, 24);
    EXPECT_EQ(lord->recordName, "Creep");
    EXPECT_EQ(h.Object(0, CMapScenario::kLordIds[1]), nullptr) << "the count does not spill onto the other lord";
    EXPECT_EQ(h.Object(0, 15), nullptr);
}

TEST(ScenarioHarness, TriggerRecordsChangeTheWorld) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    CMapScenario& scenario = h.machine(0).map->scenario;
    CGameCommandManager& cm = *h.machine(0).commands;
    const CWorldHarness::ScenarioView& view = h.machine(0).scenario;
    const int32_t unit = h.SpawnUnit("Creep", {100, 0, 100}, 37, kTeamHostileNeutral);
    ASSERT_GE(unit, 0);
    CUnit* u = h.Unit(0, unit);
    auto gate = std::make_unique<CTrigger>();
    gate->SetName("Gate");
    for (uint32_t value : {0u, 1u}) {
        auto marker = std::make_unique<CAreaMarkerAction>();
        marker->value = value;
        marker->areaHash = NameHash(value ? "Team1" : "Team2");
        gate->AddAction(std::move(marker));
    }
    const uint32_t gateHash = gate->hash;
    scenario.Triggers().push_back(std::move(gate));

    // Trigger control: disable, enable, then remove.
    cm.BuildTriggerControl(2, gateHash, 1);
    h.Step(0.05f);
    ASSERT_NE(scenario.FindTrigger(gateHash), nullptr);
    EXPECT_EQ(scenario.FindTrigger(gateHash)->enabled, 0u);
    cm.BuildTriggerControl(1, gateHash, 1);
    h.Step(0.05f);
    EXPECT_EQ(scenario.FindTrigger(gateHash)->enabled, 1u);

    // Along the marked areas, the second queued with the flagged sub-kind; the trigger goes.
    cm.BuildUnitToArea(unit, gateHash, 1);
    h.Step(0.05f);
    EXPECT_EQ(u->order.kind, 3);
    EXPECT_EQ(u->order.subKind, 2);
    EXPECT_LT(DistanceXZ(u->order.point, 272, 272), 1.0f);
    EXPECT_EQ(u->queuedOrders.Count(), 1);
    EXPECT_EQ(scenario.FindTrigger(gateHash), nullptr);

    cm.BuildUnitFlags(unit, 1, 0x80000, 1);
    h.Step(0.05f);
    EXPECT_TRUE(u->IsUntargetable());
    cm.BuildUnitFlags(unit, 0, 0x80000, 1);
    h.Step(0.05f);
    EXPECT_FALSE(u->IsUntargetable());

    // Restored in place: targetable again, the counter down.
    u->stateFlags |= 0x80;
    u->restoreCounter = 1;
    const platform::Vec3 before = u->position;
    cm.BuildRestoreUnit(unit, {300, 0, 300}, 1);
    h.Step(0.05f);
    EXPECT_EQ(u->stateFlags & 0x80u, 0u);
    EXPECT_EQ(u->restoreCounter, 0);
    EXPECT_LT(DistanceXZ(u->position, before.x, before.z), 40.0f) << "near its own spot, not the area";

    cm.BuildGrantReward(1, 3, 250, 1);
    cm.BuildGrantReward(0, unit, 40, 1);
    cm.EmitRewardCommands({0, 1, 2}, 1, 10, 1);
    h.Step(0.05f);
    EXPECT_EQ(view.gold[3], 250);
    EXPECT_EQ(view.gold[0], 10);
    EXPECT_EQ(view.gold[2], 10);
    EXPECT_FLOAT_EQ(u->experience, 40.0f);
}

TEST(ScenarioHarness, TheSampleTutorialPlaysToItsEnd) {
    CWorldHarness h;
    ASSERT_TRUE(h.ok()) << h.Error();
    // The player's hero, slot 0's object, at the Light's start.
    const int32_t hero = h.SpawnUnit("Knight", {48, 0, 48}, 0, 0, 800, 80, 60, 20, 0);
    ASSERT_EQ(hero, 0);
    CTestScriptHost host;
    CScriptManager scripts;
    ASSERT_EQ(scripts.Open("TUTORIAL.DAT"), 1) << h.Error();
    EXPECT_EQ(scripts.MapFile(), kSampleMap);
    ASSERT_EQ(scripts.Start(), 1) << h.Error();
    // The play screen's order: the script, then the world and the records.
    auto frame = [&] {
        const int going = scripts.Update(0.1f);
        h.Step(0.1f);
        return going;
    };
    frame();
    EXPECT_EQ(host.box.text, "Walk to the marked area.");
    host.box.result = 1;
    ASSERT_EQ(h.Order(hero, 3, {272, 0, 272}, -1, 1), 1);
    for (int i = 0; i < 1200 && scripts.CurrentIndex() == 0; ++i) frame();
    ASSERT_EQ(scripts.CurrentIndex(), 1) << "the hero reached the other base";

    frame();
    EXPECT_EQ(host.box.text, "Defeat the guard.");
    host.box.result = 1;
    CWorldObject* guard = scripts.FindObject(NameHash("Guard"));
    ASSERT_NE(guard, nullptr);
    EXPECT_EQ(guard->owner, kOwnerHostileNeutral);
    ASSERT_EQ(h.Order(hero, 2, guard->position, guard->id, 2), 1);
    int going = 1;
    for (int i = 0; i < 1200 && going; ++i) going = frame();
    EXPECT_EQ(going, 0) << "the last mission ended: the tutorial is over";
    EXPECT_TRUE(h.Unit(0, hero)->alive);
    const std::vector<std::string>& chat = h.machine(0).scenario.chat;
    EXPECT_NE(std::find(chat.begin(), chat.end(), "Well done!"), chat.end());
}

}  // namespace
