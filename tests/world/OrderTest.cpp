#include <gtest/gtest.h>

#include <cmath>

#include "tests/world/WorldFixture.h"
#include "world/CombatObject.h"
#include "world/OrderRecord.h"
#include "world/SightGrid.h"
#include "world/SkillInstance.h"

namespace {

struct OrderTest : WorldFixture {
    void SetUp() override {
        CUnitData& r = UnitRecord("Soldier");
        r.baseStats[5] = F(500);
        r.baseStats[10] = F(40);
        r.baseStats[16] = F(150);
        r.word[5] = F(20);  // attack range
        record = &r;
        unit = Spawn(r, 100, 100, 0);
        unit->SetOrder(0, 0, unit->position, -1, -1);
        Sent();
    }
    // Frames of dt until the total time has passed.
    void Run(CCombatObject* u, float total, float dt = 0.1f) {
        for (float t = 0; t < total - 1e-4f; t += dt) u->Update(dt);
    }
    std::vector<uint8_t> Types() {
        std::vector<uint8_t> t;
        for (const SentCommand& c : Sent()) t.push_back(c.Type());
        return t;
    }
    CSkillInstance* GiveSkill(CCombatObject* u) {
        CSkillInstance* s = manager.CreateSkillInstance(&SkillRecord("Blast", {0.0f}, 0));
        s->level = 1;
        s->owner = u;
        u->skills.push_back(s);
        return s;
    }
    CUnitData* record = nullptr;
    CUnit* unit = nullptr;
};

TEST_F(OrderTest, ARequestOnItsWaySendsNothingMoreUntilItClears) {
    EXPECT_EQ(unit->IssueOrder(3, {400, 0, 100}, -1, nullptr, 1), 1);
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_UNIT_ORDER);
    EXPECT_EQ(sent[0].U16(8), unit->id);
    EXPECT_EQ(unit->IssueOrder(3, {100, 0, 400}, -1, nullptr, 1), 0) << "the first request is still on its way";
    EXPECT_TRUE(Sent().empty());
    Run(unit, 9.9f);
    EXPECT_EQ(unit->orderRequested, 1u);
    Run(unit, 0.2f);
    EXPECT_EQ(unit->orderRequested, 0u) << "cleared after 10 s";
    EXPECT_EQ(unit->IssueOrder(3, {100, 0, 400}, -1, nullptr, 1), 1);
}

TEST_F(OrderTest, MoveRefusalsAndAttackToMove) {
    EXPECT_EQ(unit->IssueOrder(3, {110, 0, 105}, -1, nullptr, 1), 0) << "within attack range of where it idles";
    EXPECT_TRUE(Sent().empty());

    CUnit* enemy = Spawn(*record, 300, 100, 5);
    enemy->team = 1;
    unit->SetOrder(2, 3, enemy->position, enemy->id, -1);
    EXPECT_EQ(unit->IssueOrder(3, {100, 0, 600}, -1, nullptr, 2), 1);
    EXPECT_EQ(unit->order.kind, 2);
    EXPECT_EQ(unit->order.subKind, 2) << "3 becomes 2";
    EXPECT_EQ(unit->order.targetId, -1) << "the target is forgotten";
    ASSERT_EQ(unit->queuedOrders.Count(), 1) << "a player's move is queued locally";
    EXPECT_EQ(unit->queuedOrders.Front()->point.z, 600);

    unit->owner = 12;
    unit->SetOrder(2, 5, enemy->position, enemy->id, -1);
    EXPECT_EQ(unit->IssueOrder(3, {100, 0, 600}, -1, nullptr, 2), 1);
    EXPECT_EQ(unit->order.subKind, 4) << "5 becomes 4";
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_UNIT_ORDER_QUEUED) << "a computer unit's move travels as a queued order";
}

TEST_F(OrderTest, SkillPointWithinFiveIsTheSameOrder) {
    CSkillInstance* skill = GiveSkill(unit);
    unit->SetOrder(6, 4, {100, 0, 100}, -1, skill->id);
    unit->orderJustSet = 0;
    EXPECT_EQ(unit->order.skillId, skill->id);
    EXPECT_EQ(unit->IssueOrder(6, {104.9f, 0, 100}, -1, skill, 0), 0) << "4.9 away";
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(unit->IssueOrder(6, {105.0f, 0, 100}, -1, skill, 0), 1) << "5.0 away";
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_UNIT_ORDER);
    EXPECT_EQ(sent[0].U8(2), 6);
    EXPECT_EQ(sent[0].U8(3), 4) << "in range: cast";
    EXPECT_EQ(sent[0].I16(6), skill->id);
}

TEST_F(OrderTest, ADeadUnitTakesOnlyDeathAndRevive) {
    unit->alive = 0;
    for (int32_t kind : {0, 1, 2, 3, 6}) {
        EXPECT_EQ(unit->SetOrder(kind, 1, {0, 0, 0}, -1, -1), 1);
        EXPECT_EQ(unit->order.kind, 0) << "kind " << kind << " changes nothing";
    }
    unit->SetOrder(4, 0, unit->position, -1, -1);
    EXPECT_EQ(unit->order.kind, 4);
    unit->SetOrder(5, 0, unit->position, -1, -1);
    EXPECT_EQ(unit->order.kind, 5);
}

TEST_F(OrderTest, AJustSetCastIsReplacedOnlyWithForce) {
    CSkillInstance* skill = GiveSkill(unit);
    unit->SetOrder(6, 4, {120, 0, 100}, -1, skill->id);
    EXPECT_EQ(unit->SetOrder(0, 0, unit->position, -1, -1), 0);
    EXPECT_EQ(unit->order.kind, 6);
    EXPECT_EQ(unit->SetOrder(0, 0, unit->position, -1, -1, 1), 1);
    EXPECT_EQ(unit->order.kind, 0);
}

TEST_F(OrderTest, NextOrderAnnouncesDroppedQueuedOrdersOfComputerUnits) {
    struct Case {
        int32_t owner;
        std::vector<uint8_t> types;
    } cases[] = {
        {0, {CMD_UNIT_STOP}},
        {12, {CMD_UNIT_NEXT_ORDER, CMD_UNIT_STOP}},
    };
    for (const Case& c : cases) {
        unit->owner = c.owner;
        unit->orderRequested = 0;
        unit->queuedOrders.Add(1, 0, {}, 9999, -1, false);  // a chase of nothing: refused
        unit->NextOrder();
        EXPECT_EQ(Types(), c.types) << "owner " << c.owner;
        EXPECT_TRUE(unit->queuedOrders.Empty());
    }
}

TEST_F(OrderTest, NextOrderTakesTheFirstAcceptedWaitingOrder) {
    const int32_t live = COrderRecord::LiveCount();
    unit->currentOrders.Add(1, 0, {}, 9999, -1, false);        // refused: dropped
    unit->currentOrders.Add(3, 1, {500, 0, 500}, -1, -1, false);  // accepted
    unit->NextOrder();
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_UNIT_ORDER);
    EXPECT_EQ(sent[0].U8(2), 3);
    ASSERT_EQ(unit->currentOrders.Count(), 1) << "the accepted one stays listed";
    unit->currentOrders.Clear();
    EXPECT_EQ(COrderRecord::LiveCount(), live) << "every record back in the pool";
}

TEST_F(OrderTest, IdleAcquiresEveryThreeTenths) {
    CUnit* enemy = Spawn(*record, 210, 100, 5);
    enemy->team = 1;
    Sent();
    unit->Update(0.1f);
    unit->Update(0.1f);
    EXPECT_TRUE(Sent().empty());
    unit->Update(0.1f);
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_UNIT_ORDER);
    EXPECT_EQ(sent[0].U8(2), 2);
    EXPECT_EQ(sent[0].U8(3), 2) << "out of range: attack-move";
    EXPECT_EQ(sent[0].I16(10), enemy->id);

    // Holding position leaves an enemy out of reach alone.
    unit->SetOrder(0, 8, unit->position, -1, -1);
    Run(unit, 1.0f);
    EXPECT_TRUE(Sent().empty());
    enemy->position = {115, 0, 100};
    Run(unit, 0.3f);
    sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].U8(3), 8) << "in range while holding";
}

TEST_F(OrderTest, DeathToRemovalOrToTheRevivalWait) {
    unit->alive = 0;
    unit->SetOrder(4, 0, unit->position, -1, -1);
    Run(unit, 1.1f);
    EXPECT_TRUE(unit->flags & 0x20) << "no revival time: removed";
    EXPECT_TRUE(unit->stateFlags & (1u << 26));

    struct Case {
        int32_t gameMode;
        bool sends;
    } cases[] = {{0, true}, {3, false}};
    for (const Case& c : cases) {
        manager.gameMode = c.gameMode;
        CUnit* hero = Spawn(*record, 300, 300, 0);
        hero->alive = 0;
        hero->revivalTime = 2.0f;
        hero->SetOrder(4, 0, hero->position, -1, -1);
        Sent();
        Run(hero, 1.1f);
        EXPECT_EQ(hero->order.subKind, 7);
        Run(hero, 0.1f);
        EXPECT_EQ(hero->stateFlags & 0x4200000u, 0x4200000u);
        EXPECT_EQ(hero->waitingRevival, 1u);
        Run(hero, 2.0f);
        EXPECT_EQ(hero->waitingRevival, 0u);
        std::vector<SentCommand> sent = Sent();
        ASSERT_EQ(sent.size(), c.sends ? 1u : 0u) << "game mode " << c.gameMode;
        if (c.sends) {
            EXPECT_EQ(sent[0].Type(), CMD_HERO_REVIVE);
            EXPECT_EQ(sent[0].I16(2), hero->id);
        }
    }
}

TEST_F(OrderTest, StepToward) {
    unit->facing = {0, 0, 1};
    EXPECT_TRUE(unit->StepToward(unit->position, 0.1f, 40, 0.5f, 0)) << "on its point: arrived, no turn";
    EXPECT_FLOAT_EQ(unit->facing.z, 1.0f);
    EXPECT_FALSE(unit->StepToward({100, 0, 200}, 0.5f, 0, 0.5f, 0)) << "no speed: no move";
    EXPECT_FLOAT_EQ(unit->position.z, 100);
    EXPECT_TRUE(unit->StepToward({100, 0, 200}, 0.5f, 40, 0.5f, 1)) << "facing it: turn-only is done";
    EXPECT_FALSE(unit->StepToward({100, 0, 200}, 0.5f, 40, 0.5f, 0));
    EXPECT_FLOAT_EQ(unit->position.z, 120);
    EXPECT_TRUE(unit->StepToward({100, 0, 200}, 10.0f, 40, 0.5f, 0));
    EXPECT_FLOAT_EQ(unit->position.z, 200);
    EXPECT_FALSE(unit->StepToward({200, 0, 200}, 0.01f, 40, 0.5f, 1)) << "a turn under way";
    EXPECT_GT(unit->facing.x, 0.0f) << "turns toward +x";
}

TEST_F(OrderTest, ConditionZeroWithAuthoritySendsHoldPosition) {
    unit->SetOrder(3, 1, {500, 0, 100}, -1, -1);
    unit->AddCondition(0);
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].U8(2), 0);
    EXPECT_EQ(sent[0].U8(3), 8);
    EXPECT_EQ(unit->currentOrders.Count(), 1) << "the move waits";
    EXPECT_FALSE(unit->CanMove());
    unit->RemoveCondition(0);
    unit->RemoveCondition(0);
    EXPECT_EQ(unit->conditions[0], 0) << "never below 0";
}

// A unit keeps its sight circle in its team's layer as it lives: the day's
// radius by day, the night's by night, none once its body has fallen.
TEST_F(OrderTest, SightFollowsTheUnitByDayAndByNight) {
    CSightGrid grid;
    ASSERT_EQ(grid.Setup(32, 32, 20.0f, 8, 0, 0), 1);
    manager.sightGrid = &grid;
    CUnitData& r = UnitRecord("Scout");
    r.baseStats[5] = F(100);
    r.baseStats[14] = F(60);
    r.baseStats[15] = F(30);
    CUnit* scout = Spawn(r, 300, 300, 0);
    scout->SetOrder(0, 8, scout->position, -1, -1);
    auto lit = [&](float dx) { return grid.GetCell({300 + dx, 0, 300}, 0) > 0; };
    EXPECT_FALSE(lit(0)) << "no circle before its first update";
    Run(scout, 1.0f);
    EXPECT_TRUE(lit(55));
    EXPECT_FALSE(lit(75));
    manager.day = 0;
    Run(scout, 1.0f);
    EXPECT_TRUE(lit(25));
    EXPECT_FALSE(lit(45)) << "night sight";

    scout->alive = 0;
    scout->SetOrder(4, 0, scout->position, -1, -1);
    Run(scout, 0.1f);
    EXPECT_TRUE(lit(0)) << "the circle stays while the body falls";
    Run(scout, 1.0f);
    EXPECT_FALSE(lit(0));
    manager.sightGrid = nullptr;
}

// An attacker is shown to the team it strikes, and hidden again when it moves
// or three seconds after its attack ended; not in a replay, nor when its
// record forbids it.
TEST_F(OrderTest, AnAttackerIsShownToTheTeamItStrikes) {
    CSightGrid grid;
    ASSERT_EQ(grid.Setup(32, 32, 20.0f, 8, 0, 0), 1);
    grid.OpenLayer(1, 1);
    manager.sightGrid = &grid;
    manager.fogOfWar = 0;
    CUnit* enemy = Spawn(*record, 115, 100, 5);
    enemy->team = 1;
    auto shown = [&] { return grid.GetCell(unit->position, 1) > 0; };
    auto attack = [&] {
        unit->SetOrder(2, 4, unit->position, enemy->id, -1);
        unit->Update(0.1f);
    };
    attack();
    EXPECT_TRUE(shown());
    EXPECT_NE(unit->flags & 0x80000000u, 0u);
    unit->SetOrder(0, 8, unit->position, -1, -1);
    Run(unit, 2.8f);
    EXPECT_TRUE(shown()) << "standing still after the attack";
    Run(unit, 0.3f);
    EXPECT_FALSE(shown());
    EXPECT_EQ(unit->flags & 0x80000000u, 0u);

    attack();
    unit->SetOrder(3, 1, {100, 0, 300}, -1, -1);
    unit->Update(0.1f);
    EXPECT_FALSE(shown()) << "it moved";

    struct Case {
        int32_t gameMode;
        uint32_t unitFlags;
    } hidden[] = {{3, 0}, {4, 0}, {0, 1u << 26}};
    for (const Case& c : hidden) {
        manager.gameMode = c.gameMode;
        const uint32_t keep = unit->unitFlags;
        unit->unitFlags |= c.unitFlags;
        unit->TeleportTo({100, 0, 100});
        attack();
        EXPECT_FALSE(shown()) << "game mode " << c.gameMode;
        unit->unitFlags = keep;
    }
    manager.gameMode = 0;
    manager.sightGrid = nullptr;
}

}  // namespace
