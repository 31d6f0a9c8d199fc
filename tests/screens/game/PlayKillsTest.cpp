// Kills, bounties and combat numbers on a small world: two heroes (or a
// hero and a creep) of the sample map, the play screen's bookkeeping run
// directly, and the messages from a fixture table.
#include <gtest/gtest.h>

#include "tests/screens/game/PlayMatchFixture.h"

namespace {

using PlayKillsTest = PlayMatchTest;

TEST_F(PlayKillsTest, HeroBountiesStatisticsAndRespawnTimes) {
    struct Case {
        const char* what;
        int32_t killerLevel, victimLevel;
        int32_t killerStreak, victimStreak, victimKills, victimDeaths;
        int32_t matchKind;
        int32_t bounty;
        float respawn;
    };
    const Case cases[] = {
        {"equal levels, no history", 5, 5, 0, 0, 0, 0, 0, (5 + 10) * 10, 20.0f},
        {"level 1 pays 110", 1, 1, 0, 0, 0, 0, 0, 110, 4.0f},
        {"a killer on a streak of 10 earns the minimum", 5, 5, 10, 0, 0, 0, 0, 100, 20.0f},
        {"a level gap raises it", 5, 8, 0, 0, 0, 0, 0, (8 + 2 * 3 + 10) * 10, 32.0f},
        {"the victim's record and streak raise it", 5, 5, 0, 2, 4, 1, 0, static_cast<int32_t>(210 * 1.4), 20.0f},
        {"level 10 waits 40 s in a ranked match", 10, 10, 0, 0, 0, 0, 0, 200, 40.0f},
        {"level 40 waits at most 120 s", 40, 40, 0, 0, 0, 0, 0, 500, 120.0f},
        {"level 10 waits 35 s in other matches", 10, 10, 0, 0, 0, 0, 1, 200, 35.0f},
    };
    CUnit* killer = Hero(6, 1, "Wolf");
    CUnit* victim = Hero(0, 1, "Mage");
    CPlayerSlot& k = session.slots[6];
    CPlayerSlot& v = session.slots[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        World().matchKind = c.matchKind;
        k.Reset();
        v.Reset();
        killer->level = k.level = c.killerLevel;
        victim->level = v.level = c.victimLevel;
        victim->alive = 1;
        k.streak = c.killerStreak;
        v.streak = c.victimStreak;
        v.heroKills = c.victimKills;
        v.deaths = c.victimDeaths;
        v.gold = 50;
        // Not the first kill: the bonus stays out of the sums.
        screen->ApplyKill(*victim, killer->id);
        const int32_t firstBonus = c.matchKind == 0 && k.goldEarned > c.bounty ? 300 : 0;
        EXPECT_EQ(k.gold - firstBonus, c.bounty);
        EXPECT_EQ(k.goldEarned - firstBonus, c.bounty);
        EXPECT_EQ(k.goldTally - firstBonus, c.bounty);
        EXPECT_EQ(k.heroKills, 1);
        EXPECT_EQ(k.streak, c.killerStreak + 1);
        EXPECT_EQ(v.deaths, c.victimDeaths + 1);
        EXPECT_EQ(v.streak, 0);
        // Above level 10 a death costs 100 gold, or all there is.
        EXPECT_EQ(v.gold, c.victimLevel > 10 ? 0 : 50);
        EXPECT_EQ(v.goldLost, c.victimLevel > 10 ? 50 : 0);
        EXPECT_FLOAT_EQ(victim->revivalTime, c.respawn);
        EXPECT_FALSE(victim->alive);
    }
    EXPECT_EQ(screen->TeamScore(1), 50 * 8);
}

TEST_F(PlayKillsTest, FirstKillNoticeTeamScoreAndTheLocalNumbers) {
    CUnit* mage = Hero(0, 11, "Mage");
    CUnit* wolf = Hero(6, 11, "Wolf");
    CUnit* other = Hero(7, 3, "Bat");
    session.slots[0].gold = 500;
    screen->ApplyKill(*mage, wolf->id);
    EXPECT_TRUE(screen->FirstKillDone());
    ASSERT_EQ(screen->PlayChatLines().size(), 2u);
    EXPECT_EQ(screen->PlayChatLines()[0],
              "</C=ff0000>Wolf(nickWolf) killed </C=00ff00>[11]Mage(nickMage) +210 gold, streak 1");
    EXPECT_EQ(screen->PlayChatLines()[1], "First blood: nickWolf +300");
    EXPECT_EQ(session.slots[6].gold, 210 + 300);
    EXPECT_EQ(session.slots[0].gold, 400);
    EXPECT_EQ(screen->TeamScore(1), 50);
    EXPECT_EQ(screen->TeamScore(0), 0);
    ASSERT_EQ(screen->EventNotices().size(), 1u);  // the local hero lost gold
    EXPECT_EQ(screen->EventNotices()[0].first, "You lost gold");
    EXPECT_TRUE(screen->DamageNumbers().empty());  // the bounty floats only for its earner

    // The local player's kill: no second bonus, the bounty floats in yellow.
    screen->ApplyKill(*other, mage->id);
    EXPECT_EQ(session.slots[0].gold, 400 + 130);
    ASSERT_EQ(screen->DamageNumbers().size(), 1u);
    EXPECT_EQ(screen->DamageNumbers()[0].text, "130");
    EXPECT_EQ(screen->DamageNumbers()[0].argb, 0xFFFFFF00u);
    EXPECT_EQ(screen->TeamScore(0), 50);
}

TEST_F(PlayKillsTest, UnknownKillersPayNothingButTheVictimDies) {
    CUnit* mage = Hero(0, 5, "Mage");
    CUnit* wolf = Hero(6, 5, "Wolf");
    World().objectNames[static_cast<size_t>(wolf->id)].clear();
    for (int32_t killer : {-1, wolf->id, 32767, 1 << 30}) {
        mage->alive = 1;
        screen->ApplyKill(*mage, killer);
        EXPECT_FALSE(mage->alive);
    }
    EXPECT_EQ(session.slots[6].gold, 0);
    EXPECT_EQ(session.slots[6].heroKills, 0);
    EXPECT_TRUE(screen->PlayChatLines().empty());
    EXPECT_FALSE(screen->FirstKillDone());
    EXPECT_EQ(session.slots[0].deaths, 4);

    // A team unit (owner 18) counts for slot 6; a creep pays its gold value.
    const int32_t creepId = harness.SpawnUnit("Creep", {300, 0, 300}, 24, 0);
    CUnit* creep = harness.Unit(0, creepId);
    creep->bountyGold = 37;
    const int32_t summonId = harness.SpawnUnit("Creep", {320, 0, 300}, 18, 1);
    World().objectNames[static_cast<size_t>(summonId)] = "Summon";
    World().objectOwners[static_cast<size_t>(summonId)] = 18;
    screen->ApplyKill(*creep, summonId);
    EXPECT_EQ(session.slots[6].gold, 37);
    EXPECT_EQ(session.slots[6].unitKills, 1);
}

TEST_F(PlayKillsTest, HpChangeNeverKillsAndNumbersHaveTheirLooks) {
    CUnit* mage = Hero(0, 5, "Mage");
    CUnit* wolf = Hero(6, 5, "Wolf");
    CGameCommandManager& commands = *harness.machine(0).commands;
    auto run = [&](uint32_t kind, uint32_t keep, float amount) {
        CGameCommand* r = commands.CreateCommand(CMD_HP_CHANGE);
        r->SetU8(2, kind);
        r->SetU8(3, keep);
        r->SetU16(4, static_cast<uint32_t>(mage->id));
        r->SetU16(6, static_cast<uint32_t>(wolf->id));
        r->SetF32(8, amount);
        screen->OnHpChange(*r);
        commands.FreeCommand(r);
    };
    mage->hitPoints = 100;
    run(2, 0, 30);
    EXPECT_FLOAT_EQ(mage->hitPoints, 70);
    run(2, 0, 500);
    EXPECT_FLOAT_EQ(mage->hitPoints, 1.0f);
    run(0, 1, 50);  // keep-HP: only the effects hear of it
    EXPECT_FLOAT_EQ(mage->hitPoints, 1.0f);
    run(3, 0, -1e9f);  // a heal stops at the maximum
    EXPECT_FLOAT_EQ(mage->hitPoints, mage->GetStat(5));
    ASSERT_EQ(screen->DamageNumbers().size(), 2u);  // kind 2 twice; kinds 0 and 3 float nothing
    EXPECT_EQ(screen->DamageNumbers()[0].objectId, wolf->id);
    EXPECT_EQ(screen->DamageNumbers()[0].text, "30");

    struct Look {
        int kind;
        float amount;
        const char* text;
        uint32_t argb;
    };
    const Look looks[] = {
        {-1, 120, "120", 0xFFFFFF00u}, {1, 40, "miss", 0xFFFF0000u}, {2, 40.7f, "40", 0xFFFF0000u},
        {5, 12, "12", 0xFFBB5500u},    {7, -25, "25", 0xFF88FF88u},  {7, 25, "25", 0xFF5555FFu},
        {3, -4, "-4", 0xFFFF0000u},    {3, 4, "4", 0xFFFFFFFFu},
    };
    for (const Look& l : looks) {
        const CPlayScreen::DamageNumber n = CPlayScreen::DamageNumberLook(l.kind, l.amount);
        EXPECT_EQ(n.text, l.text) << l.kind;
        EXPECT_EQ(n.argb, l.argb) << l.kind;
    }
    EXPECT_FLOAT_EQ(CPlayScreen::DamageNumberLook(-1, 5).scale, 0.5f);
}

}  // namespace
