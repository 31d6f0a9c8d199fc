#include "world/CombatObject.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/world/WorldFixture.h"

namespace {

struct CombatTest : WorldFixture {
    void SetUp() override {
        CUnitData& r = UnitRecord("Soldier");
        r.baseStats[5] = F(1000);
        r.baseStats[10] = F(30);
        record = &r;
        defender = Spawn(r, 100, 100, 5);
        attacker = Spawn(r, 120, 100, 7);
        defender->team = 0;
        attacker->team = 1;
        Sent();
    }
    void SetStat(CUnit* u, int32_t stat, float value) {
        u->stats.base[stat] = value;
        u->RecalcStats(stat);
    }
    CUnitData* record = nullptr;
    CUnit* defender = nullptr;
    CUnit* attacker = nullptr;
};

TEST_F(CombatTest, HitRollAgainstEvasion) {
    SetStat(attacker, 11, 90);
    SetStat(defender, 12, 100);
    int hits = 0;
    for (int i = 0; i < 200; ++i) hits += defender->RollToHit(*attacker);
    EXPECT_EQ(hits, 0) << "a chance of 0 or less never hits";
    defender->combatFlags |= 0x4000;
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(defender->RollToHit(*attacker)) << "bit 14: every attack hits";

    defender->combatFlags = 0;
    defender->ReceiveAttack(attacker, 0);
    std::vector<SentCommand> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0].Type(), CMD_UNIT_EFFECTS_RESET) << "a miss";
    EXPECT_EQ(sent[0].I16(2), attacker->id);
    EXPECT_EQ(defender->hitPoints, 1000);
}

TEST_F(CombatTest, DamageWithArmourSplashAndClassBonus) {
    SetStat(attacker, 3, 100);
    SetStat(defender, 4, 500);
    for (int i = 0; i < 100; ++i) {
        float d = defender->RollDamage(attacker, 0);
        EXPECT_GE(d, 8.0f);
        EXPECT_LE(d, 12.0f) << "armour above the attack leaves the random part";
    }
    SetStat(defender, 4, 0);
    attacker->unitFlags = 0x400;
    defender->unitFlags = 0x200;
    for (int i = 0; i < 50; ++i) {
        float kind4 = defender->RollDamage(attacker, 4);
        EXPECT_GE(kind4, 30.0f + 8);
        EXPECT_LE(kind4, 30.0f + 12) << "kind 4: the splash factor and no class bonus";
        float kind0 = defender->RollDamage(attacker, 0);
        EXPECT_GE(kind0, 100.0f + 20 + 8);
        EXPECT_LE(kind0, 100.0f + 20 + 12);
    }
    attacker->combatFlags |= 0x40000;
    SetStat(defender, 4, 500);
    EXPECT_GE(defender->RollDamage(attacker, 0), 100.0f + 20 + 8) << "bit 18 ignores armour";
}

TEST_F(CombatTest, ClassBonusTable) {
    SetStat(attacker, 3, 100);
    struct Row {
        uint32_t attacker, target;
        float bonus;
    } rows[] = {{0x400, 0x200, 20}, {0x200, 0x800, 20}, {0x800, 0x100, 20}, {0x100, 0x400, 20},
                {0x400, 0x400, 0},  {0x200, 0x100, 0},  {0, 0, 0}};
    for (const Row& r : rows) {
        attacker->unitFlags = r.attacker;
        defender->unitFlags = r.target;
        EXPECT_EQ(defender->ClassBonus(*attacker), r.bonus) << std::hex << r.attacker << " on " << r.target;
    }
    attacker->unitFlags = 0x4000;
    defender->unitFlags = 0x8000;
    int quarter = 0, none = 0;
    for (int i = 0; i < 400; ++i) {
        float b = defender->ClassBonus(*attacker);
        quarter += b == 25.0f;
        none += b == 0.0f;
    }
    EXPECT_EQ(quarter + none, 400);
    EXPECT_GT(quarter, 20);
    EXPECT_LT(quarter, 120) << "a 15 percent chance";
}

TEST_F(CombatTest, LethalAttackSendsTheKillAndTheReward) {
    SetStat(attacker, 3, 100);
    defender->combatFlags |= 0x4000;
    defender->bountyExperience = 50;
    CUnit* near = Spawn(*record, 200, 100, 7);
    CUnit* far = Spawn(*record, 400, 100, 7);
    near->team = far->team = 1;
    defender->hitPoints = 50;
    defender->ReceiveAttack(attacker, 0);
    EXPECT_EQ(defender->alive, 0);
    std::vector<SentCommand> sent = Sent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[0].Type(), CMD_HP_CHANGE);
    EXPECT_EQ(sent[1].Type(), CMD_UNIT_KILLED);
    EXPECT_EQ(sent[2].Type(), CMD_GRANT_REWARD_GROUP);
    std::vector<int32_t> ids;
    for (int i = 0; i < sent[2].bytes[3]; ++i) ids.push_back(sent[2].I16(4 + 2 * static_cast<size_t>(i)));
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int32_t>{attacker->id, near->id})) << "the killer's side within 180";
    EXPECT_EQ(sent[2].I16(18), 50);
    EXPECT_EQ(defender->killRewardFlag, 1u);
}

TEST_F(CombatTest, SameTeamKillsGiveNothing) {
    defender->bountyExperience = 50;
    attacker->team = defender->team;
    defender->GrantKillReward(attacker->id);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(defender->killRewardFlag, 0u);
}

TEST_F(CombatTest, ReactionToAnAttacker) {
    defender->attackRange = 50;
    struct Row {
        const char* what;
        int32_t kind, subKind;
        float attackerX;
        bool building, requested;
        std::vector<std::pair<uint8_t, int>> expected;  // type, sub-kind
    } rows[] = {
        {"idle: an attack-move back queued, then the attack", 0, 0, 120, false, false,
         {{CMD_UNIT_ORDER_QUEUED, 2}, {CMD_UNIT_ORDER, 4}}},
        {"holding position, out of range: keeps its order", 0, 8, 400, false, false, {}},
        {"holding position in range: resumes afterwards", 0, 8, 120, false, false,
         {{CMD_UNIT_ORDER_QUEUED, 8}, {CMD_UNIT_ORDER, 4}}},
        {"attack sub-kind 5 keeps its target", 2, 5, 120, false, false, {}},
        {"a plain move is not interrupted", 3, 1, 120, false, false, {}},
        {"another move resumes afterwards, approach out of range", 3, 2, 400, false, false,
         {{CMD_UNIT_ORDER_QUEUED, 2}, {CMD_UNIT_ORDER, 2}}},
        {"a request already on its way", 0, 0, 120, false, true, {}},
        {"a building out of range", 0, 0, 400, true, false, {}},
    };
    for (const Row& r : rows) {
        defender->order = CurrentOrder{r.kind, r.subKind, {}, -1, -1};
        defender->orderRequested = r.requested;
        attacker->TeleportTo({r.attackerX, 0, 100});
        const uint32_t kindFlags = defender->flags;
        if (r.building) defender->flags = (defender->flags & ~WO_UNIT) | WO_BUILDING;
        defender->ReactToAttacker(attacker);
        defender->flags = kindFlags;
        std::vector<SentCommand> sent = Sent();
        ASSERT_EQ(sent.size(), r.expected.size()) << r.what;
        for (size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(sent[i].Type(), r.expected[i].first) << r.what;
            EXPECT_EQ(sent[i].bytes[3], r.expected[i].second) << r.what;
        }
        if (!sent.empty()) {
            EXPECT_EQ(sent.back().I16(10), attacker->id) << r.what;
        }
    }
}

TEST_F(CombatTest, AttackAlertOnlyForTheLocalPlayerAndOnlyLocally) {
    manager.localSlot = 5;
    defender->queryTimer = 0;
    defender->AfterAttack(*attacker);
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_GAME_EVENT);
    EXPECT_EQ(sent[0].bytes[2], 8);
    EXPECT_EQ(defender->alertTimer, 30.0f);
    defender->AfterAttack(*attacker);
    EXPECT_TRUE(Sent().empty()) << "the alert waits for its timer";
}

}  // namespace
