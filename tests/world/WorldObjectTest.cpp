#include "world/WorldObject.h"

#include <gtest/gtest.h>

#include "tests/world/WorldFixture.h"

namespace {

using WorldObjectTest = WorldFixture;

TEST_F(WorldObjectTest, AuthorityTable) {
    struct Row {
        int32_t mode;
        uint32_t online, host, withdrawn;
        int32_t owner;
        bool combat, present, gone;
        bool expected;
        const char* what;
    };
    const Row rows[] = {
        {3, 0, 1, 0, 0, true, true, false, false, "mode 3 never"},
        {0, 0, 1, 1, 0, true, true, false, false, "authority withdrawn"},
        {0, 0, 0, 0, 5, true, true, false, true, "offline always"},
        {1, 1, 0, 0, 5, true, true, false, true, "online single play"},
        {0, 1, 1, 0, 5, false, true, false, true, "a decoration: the host"},
        {0, 1, 0, 0, 5, false, true, false, false, "a decoration: not the host"},
        {0, 1, 1, 0, 30, true, true, false, true, "team units: the host"},
        {0, 1, 0, 0, 30, true, true, false, false, "team units: not the host"},
        {0, 1, 0, 0, 12, true, true, false, true, "own uncontrolled units"},
        {4, 1, 0, 0, 12, true, true, false, false, "own uncontrolled units in mode 4"},
        {0, 1, 1, 0, 15, true, true, false, false, "a present player's units, even on the host"},
        {0, 1, 1, 0, 15, true, true, true, true, "a player who left: the host"},
        {0, 1, 0, 0, 15, true, true, true, false, "a player who left: not the host"},
        {0, 1, 0, 0, 0, true, true, false, true, "own slot"},
        {4, 1, 0, 0, 0, true, true, false, false, "own slot in mode 4"},
        {0, 1, 1, 0, 3, true, true, false, false, "another player's unit"},
    };
    for (const Row& r : rows) {
        manager.gameMode = r.mode;
        manager.online = r.online;
        manager.host = r.host;
        manager.authorityWithdrawn = r.withdrawn;
        manager.localSlot = 0;
        std::fill(std::begin(manager.slotOccupied), std::end(manager.slotOccupied), r.present);
        std::fill(std::begin(manager.slotGone), std::end(manager.slotGone), r.gone);
        CWorldObject* o = manager.CreateObject(r.combat ? 0 : 2);
        o->owner = r.owner;
        EXPECT_EQ(o->HasLocalAuthority(), r.expected) << r.what;
        manager.DestroyObject(o);
    }
}

TEST_F(WorldObjectTest, FriendlinessOfTheNeutralTeams) {
    CWorldObject* a = manager.CreateObject(0);
    CWorldObject* b = manager.CreateObject(0);
    struct Row {
        int32_t mine, theirs;
        bool friendly;
    } rows[] = {{12, 0, true}, {12, 12, true}, {12, 13, false}, {13, 13, true}, {13, 12, false},
                {13, 0, false}, {0, 12, true},  {0, 13, false},  {0, 0, true},   {0, 1, false}};
    for (const Row& r : rows) {
        a->team = r.mine;
        b->team = r.theirs;
        EXPECT_EQ(a->IsFriendlyTeam(*b), r.friendly) << r.mine << " to " << r.theirs;
    }
    manager.DestroyObject(a);
    manager.DestroyObject(b);
}

struct DamageTest : WorldFixture {
    void SetUp() override {
        CUnitData& r = UnitRecord("Grunt");
        r.baseStats[5] = F(500);
        r.baseStats[3] = F(40);
        target = Spawn(r, 100, 100, 5);
        attacker = Spawn(r, 120, 100, 7);
        target->team = 0;
        attacker->team = 1;
        Sent();
    }
    CUnit* target = nullptr;
    CUnit* attacker = nullptr;
};

TEST_F(DamageTest, SmallHitsApplyLocallyAndHealsStopAtTheMaximum) {
    target->TakeDamage(0, attacker->id, 0, 1, 0);
    EXPECT_EQ(target->hitPoints, 500);
    target->TakeDamage(30, attacker->id, 0, 1, 0);
    EXPECT_EQ(target->hitPoints, 470);
    target->TakeDamage(-50, attacker->id, 3, 1, 0);
    EXPECT_EQ(target->hitPoints, 500) << "a heal is capped at maximum HP";
    target->TakeDamage(30, attacker->id, 0, 0, 0);
    EXPECT_EQ(target->hitPoints, 470) << "without apply every machine applies it";
    EXPECT_TRUE(Sent().empty());
}

TEST_F(DamageTest, LethalAndLargeHitsTravelAsCommands) {
    target->TakeDamage(150, attacker->id, 0, 1, 0);
    EXPECT_EQ(target->hitPoints, 500) << "a hit of 100 or more comes back as its command";
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_HP_CHANGE);
    EXPECT_EQ(sent[0].bytes[2], 0);
    EXPECT_EQ(sent[0].bytes[3], 0) << "flag 0: lethality travels as CMD_UNIT_KILLED";
    EXPECT_EQ(sent[0].I16(4), target->id);
    EXPECT_EQ(sent[0].I16(6), attacker->id);
    EXPECT_EQ(sent[0].F32(8), 150.0f);

    target->hitPoints = 50;
    target->TakeDamage(60, attacker->id, 0, 1, 0);
    EXPECT_EQ(target->hitPoints, 0);
    EXPECT_EQ(target->alive, 0);
    sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].Type(), CMD_HP_CHANGE);
    EXPECT_EQ(sent[1].Type(), CMD_UNIT_KILLED);
    EXPECT_EQ(sent[1].I16(2), target->id);
    EXPECT_EQ(static_cast<int32_t>(sent[1].U32(4)), attacker->id);
    target->TakeDamage(10, attacker->id, 0, 1, 0);
    EXPECT_TRUE(Sent().empty()) << "the dead take nothing";
}

TEST_F(DamageTest, WithoutAuthorityHitPointsNeverDropBelowOne) {
    manager.online = 1;
    manager.gameMode = 0;
    manager.localSlot = 0;
    manager.slotOccupied[5] = true;
    target->hitPoints = 10;
    target->TakeDamage(20, attacker->id, 0, 0, 0);
    EXPECT_EQ(target->hitPoints, 1.0f);
    target->hitPoints = 30;
    target->TakeDamage(60, attacker->id, 0, 1, 0);
    EXPECT_EQ(target->hitPoints, 30) << "a lethal hit waits for the kill command";
    EXPECT_EQ(target->alive, 1);
    EXPECT_TRUE(Sent().empty()) << "a machine without authority emits nothing";
}

TEST_F(DamageTest, UntargetableTakesNoDamageAndCriticalChanceIsCapped) {
    target->stateFlags |= 0x80000;
    target->TakeDamage(30, attacker->id, 0, 1, 0);
    EXPECT_EQ(target->hitPoints, 500);
    EXPECT_FLOAT_EQ(CriticalChance(700), 50.0f);
    EXPECT_FLOAT_EQ(CriticalChance(150), 5.0f);
    EXPECT_LE(CriticalChance(100), 0.0f);
}

TEST_F(DamageTest, ManaStaysBetweenZeroAndTheMaximum) {
    target->stats.final[6] = 80;
    target->mana = 50;
    target->ConsumeMana(70);
    EXPECT_EQ(target->mana, 0);
    target->ConsumeMana(-500);
    EXPECT_EQ(target->mana, 80);
}

TEST_F(DamageTest, HealthBarColours) {
    struct Row {
        float hp, maxHp;
        platform::Vec4 colour;
    } rows[] = {{70, 100, {1, 1.4f, 0, 1}}, {75, 100, {0.5f, 1, 0, 1}}, {50, 0, {1, 0, 0, 1}}};
    for (const Row& r : rows) {
        target->stats.final[5] = r.maxHp;
        target->hitPoints = r.hp;
        target->UpdateHealthBar(0.1f);
        target->UpdateHealthBar(0.15f);
        EXPECT_FLOAT_EQ(target->healthBarColor.x, r.colour.x) << r.hp << "/" << r.maxHp;
        EXPECT_FLOAT_EQ(target->healthBarColor.y, r.colour.y) << r.hp << "/" << r.maxHp;
        EXPECT_EQ(target->healthBarTimer, 0);
    }
}

}  // namespace

namespace {

struct VisibilityTest : WorldFixture {
    void SetUp() override {
        ASSERT_EQ(grid.Setup(64, 64, 20.0f, 8, 0, 0), 1);
        grid.OpenLayer(1, 0);
        manager.sightGrid = &grid;
        manager.sightLayer = 0;
        record = &UnitRecord("Scout");
    }
    CSightGrid grid;
    CUnitData* record = nullptr;
};

TEST_F(VisibilityTest, SeenFlagsAndDrawingFollowTheLocalLayer) {
    CUnit* near = Spawn(*record, 110, 100, 5);
    CUnit* far = Spawn(*record, 900, 900, 5);
    SightSource eye;
    grid.AddSight(&eye, {100, 0, 100}, 60, 0, CSightGrid::MODE_DISC);
    SightSource other;
    grid.AddSight(&other, {900, 0, 900}, 60, 1, CSightGrid::MODE_DISC);
    near->UpdateVisibility();
    far->UpdateVisibility();
    EXPECT_EQ(near->seen[0], 1);
    EXPECT_EQ(near->seen[1], 0);
    EXPECT_EQ(near->flags & 0x40000040u, 0u);
    EXPECT_EQ(near->colorScale.x, 1.0f);
    EXPECT_EQ(far->seen[0], 0);
    EXPECT_EQ(far->seen[1], 1) << "another team's layer sees it";
    EXPECT_EQ(far->colorScale.x, 0.0f) << "never seen by the local viewer";
    EXPECT_TRUE(far->flags & SO_HIDDEN);

    grid.RemoveSight(&eye, {100, 0, 100}, 60, 0, CSightGrid::MODE_DISC);
    near->UpdateVisibility();
    EXPECT_EQ(near->seen[0], 0);
    EXPECT_FLOAT_EQ(near->colorScale.x, 0.2f) << "explored, not seen";
    near->unitFlags |= 0x8;
    near->UpdateVisibility();
    EXPECT_FALSE(near->flags & SO_HIDDEN) << "unit flag bit 3 keeps it shown";

    manager.gameMode = 4;
    far->UpdateVisibility();
    EXPECT_EQ(far->colorScale.x, 1.0f) << "an observer draws what any layer sees";
    manager.fogOfWar = 0;
    manager.gameMode = 0;
    near->UpdateVisibility();
    EXPECT_EQ(near->colorScale.x, 1.0f);
    EXPECT_EQ(near->flags & 0x40000040u, 0u);
    grid.RemoveSight(&other, {900, 0, 900}, 60, 1, CSightGrid::MODE_DISC);
}

// Scene flag 0x100 keeps an object out of the cursor's picks: the fog sets it
// while the local viewer does not see the object and takes it back when it
// does, but never from an object that carries it for good.
TEST_F(VisibilityTest, OnlyASeenObjectCanBePickedUnderTheFog) {
    constexpr uint32_t kOutOfPicks = 0x100;
    CUnit* plain = Spawn(*record, 110, 100, 5);
    CUnit* passable = Spawn(*record, 120, 100, 5);
    passable->flags |= kOutOfPicks;
    SightSource eye;
    const auto see = [&](bool on) {
        if (on)
            grid.AddSight(&eye, {100, 0, 100}, 60, 0, CSightGrid::MODE_DISC);
        else
            grid.RemoveSight(&eye, {100, 0, 100}, 60, 0, CSightGrid::MODE_DISC);
    };
    struct Step {
        bool seen;
        uint32_t fog;
        bool plainOut;
        const char* what;
    };
    const Step steps[] = {
        {false, 1, true, "never seen"},
        {true, 1, false, "seen"},
        {true, 1, false, "still seen, a frame later"},
        {false, 1, true, "out of sight again"},
        {false, 0, false, "the fog lifted"},
        {false, 1, true, "the fog back"},
        {true, 1, false, "seen again"},
    };
    bool seeing = false;
    for (const Step& s : steps) {
        if (s.seen != seeing) see(seeing = s.seen);
        manager.fogOfWar = s.fog;
        plain->UpdateVisibility();
        passable->UpdateVisibility();
        EXPECT_EQ((plain->flags & kOutOfPicks) != 0, s.plainOut) << s.what;
        EXPECT_TRUE(passable->flags & kOutOfPicks) << s.what;
    }
    see(false);
}

TEST_F(VisibilityTest, DeathEndsInRemovalAndRevivalBringsTheUnitBack) {
    record->baseStats[5] = F(200);
    record->baseStats[6] = F(40);
    CUnit* u = Spawn(*record, 100, 100, 2);
    u->Die();
    EXPECT_EQ(u->alive, 0);
    EXPECT_EQ(u->deadFlag, 1);
    u->mana = 3;
    u->stateFlags |= 0x4200000;
    u->Revive();
    EXPECT_EQ(u->alive, 1);
    EXPECT_EQ(u->hitPoints, 200);
    EXPECT_EQ(u->mana, 40);
    EXPECT_EQ(u->stateFlags & 0x4200000u, 0u);
    EXPECT_EQ(u->conditions[5], 1);
    EXPECT_TRUE(u->IsUntargetable()) << "while the revival lasts";
    u->conditions[0] = 3;
    u->EndRevive();
    EXPECT_EQ(u->conditions[5], 0);
    EXPECT_EQ(u->conditions[0], 0) << "a player's unit starts clean";
    EXPECT_FALSE(u->IsUntargetable());

    u->Die();
    u->finished = 1;
    EXPECT_EQ(u->Update(0.1f), 0) << "the death action has ended: removed";
    EXPECT_TRUE(u->flags & SO_FROZEN);
    EXPECT_EQ(u->deadFlag, 0);
}

TEST_F(VisibilityTest, RandomEventsRollWithAuthority) {
    CUnit* u = Spawn(*record, 321, 654, 2);
    u->AddRandomEvent(3, 777, 0);
    u->eventChance = 100;
    u->RollRandomEvent();
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_CREATE_OBJECT);
    EXPECT_EQ(sent[0].U16(2), 3);
    EXPECT_EQ(sent[0].U32(4), 777u);
    EXPECT_EQ(sent[0].I16(8), 321);
    EXPECT_EQ(sent[0].I16(10), 654);
    EXPECT_EQ(sent[0].U32(12), static_cast<uint32_t>(CWorldObjectManager::kDropIdBase))
        << "the dropped item's id, clear of the heroes' and the placed objects'";
    manager.eventCounter = static_cast<int32_t>(CWorldObjectManager::kSpawnIdBase) - 1;
    u->RollRandomEvent();
    sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].U32(12), static_cast<uint32_t>(CWorldObjectManager::kDropIdBase)) << "wraps before the spawn ids";
    u->eventChance = 0;
    u->RollRandomEvent();
    manager.online = 1;
    manager.eventCounter = 0;
    u->eventChance = 100;
    u->RollRandomEvent();
    EXPECT_TRUE(Sent().empty()) << "no chance, and online only the host rolls";
}

TEST_F(VisibilityTest, ShotTargetsInRange) {
    CUnit* shooter = Spawn(*record, 100, 100, 2);
    CUnit* shot = Spawn(*record, 500, 500, 2);
    CUnit* a = Spawn(*record, 520, 500, 7);
    CUnit* b = Spawn(*record, 560, 500, 7);
    a->team = b->team = 1;
    std::vector<CWorldObject*> hit;
    manager.CollectShotTargets(*shot, 0, 30, 0, 0, shooter, 4, hit);
    EXPECT_EQ(hit, std::vector<CWorldObject*>{a}) << "the record's range when the shot has none";
    manager.CollectShotTargets(*shot, 80, 30, 0, 0, shooter, 4, hit);
    EXPECT_EQ(hit.size(), 2u);
    manager.CollectShotTargets(*shot, 0, 0, 0, 0, shooter, 4, hit);
    EXPECT_TRUE(hit.empty());
    EXPECT_FALSE(Sent().empty()) << "the hits went out";
}

}  // namespace
