#include "world/WorldObjectManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/CrtRandom.h"
#include "tests/world/TestWorldObject.h"
#include "world/SightGrid.h"
#include "world/SpatialTree.h"
#include "world/WalkGrid.h"

using platform::Vec3;

namespace {

struct ManagerFixture : ::testing::Test {
    void SetUp() override { UseTestObjects(manager); }
    CTestWorldObject* Add(int32_t id = -1, float x = 50, float z = 50, int32_t team = 0) {
        CTestWorldObject* o = NewTestObject(manager, x, z, team);
        EXPECT_EQ(manager.RegisterObject(o, id, 1, 0), 1);
        return o;
    }
    CWorldObjectManager manager;
};

TEST_F(ManagerFixture, IdsStartAt100AndFollowExplicitOnes) {
    EXPECT_EQ(g_pWorldObjectManager, &manager);
    CWorldObject* building = manager.CreateObject(1);
    ASSERT_NE(building, nullptr) << "the world's own classes are registered";
    EXPECT_EQ(building->flags & WO_KIND_BUILDING, WO_KIND_BUILDING);
    manager.DestroyObject(building);
    EXPECT_EQ(manager.CreateObject(4), nullptr);
    CTestWorldObject* a = Add();
    EXPECT_EQ(a->id, 100);
    EXPECT_EQ(manager.GetObjectById(100), a);
    CTestWorldObject* b = Add(250);
    EXPECT_EQ(manager.nextId, 251);
    EXPECT_EQ(Add()->id, 251);
    Add(5);
    EXPECT_EQ(manager.nextId, 252) << "a lower explicit id leaves nextId";

    int live = CTestWorldObject::liveCount;
    EXPECT_EQ(manager.RegisterObject(b, 250, 1, 0), 1) << "again under its own id";
    EXPECT_EQ(CTestWorldObject::liveCount, live) << "nothing happens";
    CTestWorldObject* c = Add(250);
    EXPECT_EQ(CTestWorldObject::liveCount, live) << "the earlier holder is destroyed";
    EXPECT_EQ(manager.GetObjectById(250), c);
    EXPECT_EQ(manager.Objects().size(), 4u);

    EXPECT_EQ(manager.GetObjectById(-1), nullptr);
    EXPECT_EQ(manager.GetObjectById(1 << 20), nullptr);
    CTestWorldObject* far = Add(20000);
    EXPECT_EQ(manager.GetObjectById(20000), far) << "far past the table end, the table grows until it fits";

    manager.Clear();
    EXPECT_EQ(CTestWorldObject::liveCount, 0);
    EXPECT_TRUE(manager.Objects().empty());
    EXPECT_EQ(manager.GetObjectById(250), nullptr);
    EXPECT_EQ(Add()->id, 100) << "first id again after Clear";
}

TEST_F(ManagerFixture, IdsStayBelowTheLimitReusingFreeOnes) {
    CTestWorldObject* last = Add(CWorldObjectManager::kIdLimit - 1);
    EXPECT_EQ(last->id, 32767);
    CTestWorldObject* o = NewTestObject(manager);
    EXPECT_EQ(manager.RegisterObject(o, CWorldObjectManager::kIdLimit, 0, 0), 0) << "16 bits carry no more";
    EXPECT_EQ(manager.RegisterObject(o, -1, 0, 0), 1);
    EXPECT_EQ(o->id, 100) << "past the limit the first free id from 100 up";
    for (int32_t id = 101; id < CWorldObjectManager::kIdLimit - 1; ++id) Add(id);
    CTestWorldObject* extra = NewTestObject(manager);
    EXPECT_EQ(manager.RegisterObject(extra, -1, 0, 0), 0) << "every id taken";
    manager.DestroyObject(extra);
    manager.UnregisterObject(manager.GetObjectById(4000));
    extra = NewTestObject(manager);
    EXPECT_EQ(manager.RegisterObject(extra, -1, 0, 0), 1);
    EXPECT_EQ(extra->id, 4000);
}

TEST_F(ManagerFixture, UpdateSurvivesObjectsRemovingOthersAndThemselves) {
    CTestWorldObject* a = Add();
    CTestWorldObject* b = Add();
    CTestWorldObject* c = Add();
    CTestWorldObject* d = Add();
    int32_t cId = c->id;
    bool cGoneBeforeD = false;
    a->script = [&](CTestWorldObject&) {
        manager.UnregisterObject(b);  // the next one in the walk
        return 1;
    };
    c->script = [](CTestWorldObject&) { return 0; };
    d->script = [&](CTestWorldObject&) {
        cGoneBeforeD = manager.GetObjectById(cId) == nullptr;
        return 1;
    };
    manager.Update(0.5f, nullptr);
    EXPECT_TRUE(cGoneBeforeD);
    EXPECT_EQ(manager.Objects().size(), 2u);
    EXPECT_EQ(manager.Objects().front(), a);
    EXPECT_EQ(manager.Objects().back(), d);
    EXPECT_EQ(CTestWorldObject::liveCount, 2);
    EXPECT_FLOAT_EQ(manager.gameClock, 0.5f);

    // An object registered during the walk is updated in the same frame.
    CTestWorldObject* born = nullptr;
    a->script = [&](CTestWorldObject&) {
        if (!born) born = Add();
        return 1;
    };
    manager.Update(0.25f, nullptr);
    ASSERT_NE(born, nullptr);
    EXPECT_EQ(born->updates, 1);
    EXPECT_EQ(d->updates, 2);
}

TEST_F(ManagerFixture, FailureCodesTakeTheFirstMatch) {
    CTestWorldObject* self = Add(-1, 0, 0, 0);
    CTestWorldObject* ally = Add(-1, 0, 0, 0);
    CTestWorldObject* enemy = Add(-1, 0, 0, 1);
    struct Case {
        CTestWorldObject* object;
        uint32_t flagsB, flagsA, stateFlags, unitFlags;
        float hp, mana;
        int32_t code;
    };
    const Case cases[] = {
        {self, 0x10000 | 0x20000, 0, 0, 0, 10, 10, 13},
        {enemy, 0x40000, 0, 0, 0, 10, 10, 14},
        {ally, 0x20000 | 0x40000, 0, 0, 0, 10, 10, 15},
        {enemy, 0x10000000, 0, 0, 0, 100, 10, 27},
        {enemy, 0x10000000, 0, 0, 0, 99, 10, -1},
        {enemy, 0x20000000, 0, 0, 0, 10, 50, 28},
        {enemy, 0x30000000, 0, 0, 0, 100, 10, -1},
        {enemy, 0x30000000, 0, 0, 0, 100, 50, 29},
        {enemy, 0x80000 | 0x100000, 0, 0x80000 | 0x100000, 0, 10, 10, 16},
        {enemy, 0x100000 | 0x80000000, 0, 0x100000 | 0x80000000, 0, 10, 10, 17},
        {enemy, 0x80000000, 0, 0x80000000, 0, 10, 10, 22},
        {enemy, 0x2000000, 0, 0, 0, 10, 10, -1},
        {enemy, 0, 0x10 | 0x8000, 0, 0x10 | 0x8000, 10, 10, 0},
        {enemy, 0, 0x20000000 | 0x80000, 0, 0x20000000 | 0x80000, 10, 10, 36},
        {enemy, 0, 0x8000, 0, 0x8000, 10, 10, 35},
        {enemy, 0, 0x8000, 0, 0, 10, 10, -1},
    };
    for (const Case& c : cases) {
        c.object->stateFlags = c.stateFlags;
        c.object->unitFlags = c.unitFlags;
        c.object->hitPoints = c.hp;
        c.object->mana = c.mana;
        EXPECT_EQ(manager.GetTargetFailure(*c.object, c.flagsB, c.flagsA, self), c.code)
            << std::hex << c.flagsB << " " << c.flagsA;
        c.object->stateFlags = c.object->unitFlags = 0;
    }

    int32_t code = 0;
    EXPECT_EQ(manager.GetAttackFailure(*self, 0, 0, self, &code), 0);
    EXPECT_EQ(manager.GetAttackFailure(*ally, 0, 0, self, &code), 0);
    enemy->unitFlags = 0x80000;
    EXPECT_EQ(manager.GetAttackFailure(*enemy, 0, 0, self, &code), 0) << "not attackable";
    enemy->unitFlags = 0x8 | 0x4000;
    EXPECT_EQ(manager.GetAttackFailure(*enemy, 0, 0x4000 | 0x8, self, &code), 1);
    EXPECT_EQ(code, 39);
    enemy->stateFlags = 0x80000;
    EXPECT_EQ(manager.GetAttackFailure(*enemy, 0, 0x8, self, &code), 1);
    EXPECT_EQ(code, 37);
    enemy->unitFlags = enemy->stateFlags = 0;
    EXPECT_EQ(manager.GetAttackFailure(*enemy, 0, 0x8, self, &code), 1);
    EXPECT_EQ(code, -1);
}

TEST_F(ManagerFixture, FilterRejectsByFlagsTeamsAndClasses) {
    CTestWorldObject* self = Add(-1, 0, 0, 0);
    CTestWorldObject* ally = Add(-1, 0, 0, 0);
    CTestWorldObject* enemy = Add(-1, 0, 0, 1);
    EXPECT_EQ(manager.PassesFilter(*enemy, 0, 0, self), 1);
    enemy->unitFlags = 0x4;
    EXPECT_EQ(manager.PassesFilter(*enemy, 0x4, 0, self), 0);
    enemy->unitFlags = 0;
    enemy->stateFlags = 0x80000;
    EXPECT_EQ(manager.PassesFilter(*enemy, 0, 0x80000, self), 0);
    enemy->stateFlags = 0;
    EXPECT_EQ(manager.PassesFilter(*self, 0, 0x10000, self), 0);
    EXPECT_EQ(manager.PassesFilter(*enemy, 0, 0x40000, self), 0);
    EXPECT_EQ(manager.PassesFilter(*ally, 0, 0x40000, self), 1);
    EXPECT_EQ(manager.PassesFilter(*ally, 0, 0x20000, self), 0);
    EXPECT_EQ(manager.PassesFilter(*self, 0, 0x20000, self), 1);
    EXPECT_EQ(manager.PassesFilter(*enemy, 0, 0x40000000, self), 0);
    enemy->stateFlags = 0x2000000;
    EXPECT_EQ(manager.PassesFilter(*enemy, 0, 0x80000000, self), 1);
    enemy->stateFlags = 0x3000000;
    EXPECT_EQ(manager.PassesFilter(*enemy, 0, 0x80000000, self), 0);
}

TEST_F(ManagerFixture, TeamsColoursFormationAndPlayers) {
    EXPECT_EQ(manager.ownerTeam[5], 0);
    EXPECT_EQ(manager.ownerTeam[6], 1);
    EXPECT_EQ(manager.ownerTeam[18], 1);
    EXPECT_EQ(manager.ownerTeam[24 + 3], 3);
    EXPECT_EQ(manager.ownerTeam[36], 12);
    EXPECT_EQ(manager.ownerTeam[37], 13);
    EXPECT_EQ(manager.ownerNames[13].shortName, "NPC2");
    EXPECT_EQ(manager.ownerNames[37].longName, "적대적 중립");
    manager.SetLocalSlot(7);
    EXPECT_EQ(manager.localTeam, 1);
    EXPECT_EQ(manager.GetTeamColor(1), 0xFF00FF00u);
    EXPECT_EQ(manager.GetTeamColor(0), 0xFFFF0000u);
    EXPECT_EQ(manager.GetTeamColor(12), 0xFF333333u);
    EXPECT_EQ(manager.GetTeamColor(13), 0xFF333333u);

    Vec3 p{100, 0, 100};
    int32_t step = 0;
    const float expected[12][2] = {{100, 100}, {97, 103},  {100, 103}, {103, 103}, {103, 100}, {97, 100},
                                   {97, 97},   {100, 97},  {103, 97},  {97, 94},   {100, 94},  {103, 94}};
    for (const auto& e : expected) {
        Vec3 q = p;
        manager.StepFormationPoint(&q, &step, 2.0f);
        EXPECT_FLOAT_EQ(q.x, e[0]);
        EXPECT_FLOAT_EQ(q.z, e[1]);
    }
    EXPECT_EQ(step, 0) << "twelve steps return to step 0";

    for (int i : {0, 1, 6, 7, 8}) manager.slotOccupied[i] = true;
    manager.slotGone[8] = true;
    EXPECT_EQ(manager.CountActivePlayers(-1), 4);
    EXPECT_EQ(manager.CountActivePlayers(1), 2);
    EXPECT_FLOAT_EQ(manager.GetTeamDamageScale(100, -1), 60.0f);
    EXPECT_FLOAT_EQ(manager.GetTeamDamageScale(100, 12), 100.0f);
    manager.gameMode = 4;
    EXPECT_EQ(manager.CountActivePlayers(-1), 0);
}

TEST_F(ManagerFixture, AuthorityFollowsOwnerModeAndHost) {
    CTestWorldObject* o = Add();
    manager.SetLocalSlot(2);
    o->owner = 5;
    EXPECT_TRUE(manager.HasLocalAuthority(*o)) << "offline";
    manager.online = 1;
    EXPECT_FALSE(manager.HasLocalAuthority(*o));
    o->owner = 2;
    EXPECT_TRUE(manager.HasLocalAuthority(*o));
    o->owner = 12 + 5;
    manager.slotOccupied[5] = true;
    manager.host = 1;
    EXPECT_FALSE(manager.HasLocalAuthority(*o)) << "its player is still there";
    manager.slotGone[5] = true;
    EXPECT_TRUE(manager.HasLocalAuthority(*o)) << "the host takes a gone player's units";
    o->owner = 30;
    manager.host = 0;
    EXPECT_FALSE(manager.HasLocalAuthority(*o));
    manager.gameMode = 2;
    EXPECT_TRUE(manager.HasLocalAuthority(*o));
    manager.gameMode = 3;
    EXPECT_FALSE(manager.HasLocalAuthority(*o));
}

// The manager's circles on a real sight grid of 32 x 32 cells.
struct ManagerSightFixture : ManagerFixture {
    void SetUp() override {
        ManagerFixture::SetUp();
        ASSERT_EQ(grid.Setup(16, 16, 20.0f, 8, 0, 0), 1);
        manager.sightGrid = &grid;
    }
    // The objects take their circles out of the grid before it goes.
    void TearDown() override { manager.Clear(); }
    int32_t Cell(float x, float z) const { return grid.GetCell(Vec3(x, 0, z), 0); }
    CSightGrid grid;
};

TEST_F(ManagerSightFixture, GradesSetTheMoveThresholdAndTheGridFlag) {
    struct Case {
        int32_t grade;
        float threshold;
        uint32_t flag;
    };
    for (const Case& c : {Case{1, 20, 1}, Case{7, 20, 1}, Case{0, 30, 0}, Case{2, 10, 1}}) {
        manager.SetSightGrade(c.grade);
        EXPECT_FLOAT_EQ(manager.sightMoveThreshold, c.threshold);
        EXPECT_EQ(manager.sightGradeFlag, c.flag);
    }
    manager.SetSightGrade(1);
    CTestWorldObject* o = Add(-1, 100, 100, 0);
    manager.StampSight(*o, 30);
    EXPECT_GE(Cell(100, 100), 1);
    o->position = {119, 0, 100};
    manager.UpdateSight(*o, 30, 0.1f);
    EXPECT_FLOAT_EQ(o->sightPosition.x, 100) << "20 units or less: the circle stays";
    o->position = {121, 0, 100};
    manager.UpdateSight(*o, 30, 0.1f);
    EXPECT_FLOAT_EQ(o->sightPosition.x, 121);
    EXPECT_GE(Cell(145, 100), 1);
    EXPECT_EQ(Cell(75, 100), 0) << "the old circle taken back";
}

TEST_F(ManagerSightFixture, RadiusMovesInWholeStepsAndStampsGoAgain) {
    CTestWorldObject* o = Add(-1, 160, 160, 0);
    manager.UpdateSight(*o, 40, 0.055f);
    EXPECT_FLOAT_EQ(o->sightRadius, 5) << "trunc(0.055 x 100)";
    manager.UpdateSight(*o, 40, 0.001f);
    EXPECT_FLOAT_EQ(o->sightRadius, 6) << "at least 1";
    manager.UpdateSight(*o, 40, 1.0f);
    EXPECT_FLOAT_EQ(o->sightRadius, 40) << "at most the rest";
    EXPECT_EQ(o->sightMoving, 0);
    manager.UpdateSight(*o, 25, 0.1f);
    EXPECT_FLOAT_EQ(o->sightRadius, 30);
    EXPECT_GE(Cell(160 + 28, 160), 1);
    manager.UpdateSight(*o, 0.5f, 0.1f);
    EXPECT_FLOAT_EQ(o->sightRadius, 0);
    EXPECT_EQ(Cell(160, 160), 0) << "below 1 removes the circle";

    CTestWorldObject* neutral = Add(-1, 60, 60, 12);
    manager.StampSight(*neutral, 30);
    EXPECT_EQ(Cell(60, 60), -1) << "team 12 keeps no circle";

    manager.StampOnce(*o, 0, 20);
    EXPECT_GE(Cell(160, 160), 1);
    manager.RemoveStamp(*o);
    EXPECT_EQ(Cell(160, 160), 0);
    manager.StampOnce(*o, 12, 20);
    EXPECT_EQ(Cell(160, 160), 0);

    manager.StampSight(*o, 30);
    manager.UnregisterObject(o);
    EXPECT_EQ(Cell(160, 160), 0) << "an object leaving takes its circle";
}

TEST_F(ManagerFixture, SpawnCandidatesAndFreeSpots) {
    manager.BuildSpawnCandidates(2.0f);
    const float expected[25][2] = {{0, 0},   {6, 0},    {0, 6},    {-6, 0},  {0, -6},  {6, -6},  {6, 6},
                                   {-6, 6},  {-6, -6},  {-12, 12}, {-6, 12}, {0, 12},  {6, 12},  {12, 12},
                                   {-12, 6}, {12, 6},   {-12, 0},  {12, 0},  {-12, -6}, {12, -6}, {-12, -12},
                                   {-6, -12}, {0, -12}, {6, -12},  {12, -12}};
    for (int i = 0; i < 25; ++i) {
        EXPECT_FLOAT_EQ(manager.SpawnCandidates()[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(manager.SpawnCandidates()[i].z, expected[i][1]) << i;
    }

    Vec3 out[30];
    EXPECT_FALSE(manager.IsAreaFree({50, 0, 50}, 4)) << "no grid";
    EXPECT_EQ(manager.FindFreeSpawnPoint({50, 0, 50}, 4, 2, out), 0);
    EXPECT_FLOAT_EQ(out[1].x, 50) << "the rest are the position itself";

    CWalkGrid grid;
    ASSERT_EQ(grid.Setup(40, 40, 5.0f), 1);
    EXPECT_TRUE(manager.IsAreaFree({100, 0, 100}, 8));
    EXPECT_TRUE(manager.IsAreaFree({2.5f, 0, 2.5f}, 4)) << "the first cell";
    EXPECT_FALSE(manager.IsAreaFree({1, 0, 1}, 4)) << "reaches past the edge";
    EXPECT_FALSE(manager.IsAreaFree({199, 0, 100}, 4));
    grid.Cell(20, 20) = CELL_WAYPOINT;
    EXPECT_TRUE(manager.IsAreaFree({100, 0, 100}, 2)) << "a free graph node";
    grid.Cell(20, 20) = CELL_WAYPOINT | CELL_OCCUPIED;
    EXPECT_FALSE(manager.IsAreaFree({100, 0, 100}, 2)) << "an occupied graph node";

    // The centre and ring 1 come in table order, ring 2 shuffled by the seed.
    grid.Cell(20, 20) = 0;
    platform::CrtSrand(7);
    ASSERT_EQ(manager.FindFreeSpawnPoint({100, 0, 100}, 2, 25, out), 25);
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(out[i].x, 100 + expected[i][0]);
    std::set<std::pair<float, float>> ring2, ring2Again;
    for (int i = 9; i < 25; ++i) ring2.insert({out[i].x - 100, out[i].z - 100});
    EXPECT_EQ(ring2.size(), 16u);
    Vec3 again[25];
    platform::CrtSrand(7);
    manager.FindFreeSpawnPoint({100, 0, 100}, 2, 25, again);
    for (int i = 0; i < 25; ++i) EXPECT_FLOAT_EQ(again[i].x, out[i].x) << "same seed, same spots";
    // The centre blocked: the next ones move up.
    grid.Cell(20, 20) = CELL_BLOCKED;
    ASSERT_EQ(manager.FindFreeSpawnPoint({100, 0, 100}, 2, 1, out), 1);
    EXPECT_FLOAT_EQ(out[0].x, 106);
    // Everything around blocked but the third ring.
    for (int32_t z = 14; z <= 26; ++z)
        for (int32_t x = 14; x <= 26; ++x) grid.Cell(x, z) = CELL_BLOCKED;
    ASSERT_EQ(manager.FindFreeSpawnPoint({100, 0, 100}, 10, 2, out), 2);
    EXPECT_FLOAT_EQ(out[0].x, 100 - 45);
    EXPECT_FLOAT_EQ(out[0].z, 100 + 45);
    EXPECT_FLOAT_EQ(out[1].x, 100 - 45) << "corner points come up twice";
}

struct FakeGround : IWorldGround {
    bool IsWaterAt(const Vec3& p) override { return p.x < 100; }
    float GetWaterHeight(const Vec3&) override { return 5; }
    float GetHeightAt(const Vec3& p) override { return p.z < 100 ? 2.0f : 8.0f; }
};

TEST_F(ManagerFixture, WaterDepthForWalkingObjects) {
    CTestWorldObject* wet = Add(-1, 50, 50);
    CTestWorldObject* high = Add(-1, 50, 150);
    CTestWorldObject* flying = Add(-1, 50, 50);
    CTestWorldObject* dry = Add(-1, 150, 50);
    for (CTestWorldObject* o : {wet, high, flying, dry}) o->unitFlags = 0x1;
    flying->unitFlags |= 0x400000;
    dry->inWater = 1;
    FakeGround ground;
    manager.Update(0.1f, &ground);
    EXPECT_EQ(wet->inWater, 1);
    EXPECT_EQ(wet->enteredWater, 1);
    EXPECT_FLOAT_EQ(wet->waterDepth, 3);
    EXPECT_EQ(high->inWater, 0);
    EXPECT_EQ(flying->inWater, 0);
    EXPECT_EQ(dry->inWater, 0);
    wet->enteredWater = 0;
    manager.effectMode = 2;
    wet->position.x = 150;
    manager.Update(0.1f, &ground);
    EXPECT_EQ(wet->inWater, 1) << "effect mode 2 skips the water";
}

TEST_F(ManagerFixture, RangeQueriesGoThroughTheTreeIntoTheCallersList) {
    CSpatialTree tree;
    ASSERT_EQ(tree.Build(3, 400, 400, -100, 160), 1);
    CTestWorldObject* self = Add(-1, 100, 100, 0);
    CTestWorldObject* ally = Add(-1, 110, 100, 0);
    CTestWorldObject* enemy = Add(-1, 90, 100, 1);
    Add(-1, 300, 300, 1);
    std::vector<CWorldObject*> out{self};
    manager.QueryRange({100, 0, 100}, 30, 0, 0x10000 | 0x40000, self, out);
    EXPECT_EQ(out, std::vector<CWorldObject*>{ally});
    std::vector<CWorldObject*> outer;
    manager.QueryRange({100, 0, 100}, 30, 0, 0x20000 | 0x10000, self, outer);
    for (CWorldObject* o : outer) {
        // A query inside a walk of an earlier result keeps that result.
        manager.QueryRange({100, 0, 100}, 30, 0, 0, nullptr, out);
        EXPECT_EQ(o, enemy);
    }
    EXPECT_EQ(out.size(), 3u);
    manager.UnregisterObject(enemy);
    manager.QueryRange({100, 0, 100}, 30, 0, 0, nullptr, out);
    EXPECT_EQ(out.size(), 2u);
}

}  // namespace
