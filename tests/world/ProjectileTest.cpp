#include "world/ProjectileManager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "world/SightGrid.h"
#include "world/SkillInstance.h"
#include "engine/effects/EffectManager.h"
#include "world/VisualRef.h"
#include "world/WorldObjectLookup.h"
#include "tests/world/WorldFixture.h"

namespace {

struct ProjectileTest : WorldFixture {
    void SetUp() override {
        CUnitData& r = UnitRecord("Archer");
        r.baseStats[5] = F(1000);
        record = &r;
        shooter = Spawn(r, 100, 100, 0);
        target = Spawn(r, 200, 100, 5);
        shooter->team = 0;
        target->team = 1;
        shooter->attackRange = 40;  // gives up past 100 (and past 150)
        Sent();
    }
    VisualRef Shot(float speed, float angle = 0) {
        VisualRef info;
        info.refWord1 = F(speed);
        info.refWord2 = F(angle);
        return info;
    }
    // Whether the records include a hit on the target (damage or a miss).
    static bool HasHit(const std::vector<SentCommand>& sent) {
        return std::any_of(sent.begin(), sent.end(), [](const SentCommand& c) {
            return c.Type() == CMD_HP_CHANGE || c.Type() == CMD_UNIT_EFFECTS_RESET;
        });
    }
    // Updates until the shot has gone (at most frames updates); the frames it took.
    int Fly(int frames, float dt = 0.05f) {
        int n = 0;
        while (!projectiles.Live().empty() && n < frames) {
            projectiles.Update(dt);
            ++n;
        }
        return n;
    }

    CProjectileManager projectiles;
    CUnitData* record = nullptr;
    CUnit* shooter = nullptr;
    CUnit* target = nullptr;
};

}  // namespace

TEST(Projectile, SteeringGainGrowsOverTheFlight) {
    const struct {
        float t, gain;
    } cases[] = {{0, 0.01f}, {3.9f, 0.01f}, {4.0f, 1.0f}, {4.1f, 0.05f}, {9.9f, 0.05f}, {10, 1.0f}, {12, 1.0f}};
    for (const auto& c : cases) EXPECT_EQ(CProjectile::SteeringGain(c.t, 10), c.gain) << c.t;
}

TEST_F(ProjectileTest, SpeedZeroHitsInTheLaunchFrame) {
    VisualRef info = Shot(0);
    const uint32_t refs = shooter->refCount;
    CProjectile* p = projectiles.Launch(shooter, &info, target, target->position, -1, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->Finished());
    EXPECT_EQ(shooter->refCount, refs + 1);
    EXPECT_TRUE(HasHit(Sent()));
    EXPECT_EQ(Fly(5), 1);
    EXPECT_EQ(shooter->refCount, refs);
}

TEST_F(ProjectileTest, AFlyingShotHomesOnItsTargetAndHitsOnce) {
    VisualRef info = Shot(50);
    CProjectile* p = projectiles.Launch(shooter, &info, target, target->position, -1, 0);
    EXPECT_FLOAT_EQ(p->flightEstimate, 2.0f);
    EXPECT_FLOAT_EQ(p->giveUpDistance, 100.0f);
    target->position.z += 10;  // it steps aside; the shot follows
    target->bounds.center.z += 10;
    int hits = 0;
    for (int i = 0; i < 80 && !projectiles.Live().empty(); ++i) {
        projectiles.Update(0.05f);
        hits += HasHit(Sent()) ? 1 : 0;
    }
    EXPECT_EQ(hits, 1);
    EXPECT_TRUE(projectiles.Live().empty());
}

TEST_F(ProjectileTest, NoWayAcrossTheGroundHitsAtOnce) {
    VisualRef info = Shot(50);
    target->position = shooter->position;
    target->bounds.center = shooter->position;
    CProjectile* p = projectiles.Launch(shooter, &info, target, target->position, -1, 0);
    EXPECT_TRUE(p->Finished());
    EXPECT_TRUE(HasHit(Sent()));
}

TEST_F(ProjectileTest, ATargetThatRunsFarAwayIsGivenUp) {
    VisualRef info = Shot(10);
    CProjectile* p = projectiles.Launch(shooter, &info, target, target->position, -1, 0);
    projectiles.Update(0.05f);
    target->position.x = 900;
    target->bounds.center.x = 900;
    projectiles.Update(0.05f);
    EXPECT_TRUE(p->Finished());
    Fly(10);
    EXPECT_FALSE(HasHit(Sent()));
}

TEST_F(ProjectileTest, AStealthedTargetIsNoLongerFollowed) {
    VisualRef info = Shot(50);
    CProjectile* p = projectiles.Launch(shooter, &info, target, target->position, -1, 0);
    projectiles.Update(0.05f);
    target->stateFlags |= CProjectile::kStealthBit;
    projectiles.Update(0.05f);
    EXPECT_EQ(p->targetId, -1);
    EXPECT_FLOAT_EQ(p->targetPoint.x, 200.0f);
    target->position.z += 50;  // slips away while hidden
    target->bounds.center.z += 50;
    Fly(80);
    EXPECT_FALSE(HasHit(Sent())) << "the shot lands where the target stood";
}

TEST_F(ProjectileTest, AChainFliesOnToLiveTargetsAndEndsAtADeadOne) {
    CUnit* second = Spawn(*record, 200, 150, 5);
    CUnit* dead = Spawn(*record, 250, 150, 5);
    dead->alive = 0;
    Sent();
    VisualRef info = Shot(60);
    CProjectile* p = projectiles.Launch(shooter, &info, target, target->position, -1, 0);
    p->chainTargets = {dead->id, second->id};
    int hits = 0;
    for (int i = 0; i < 200 && !projectiles.Live().empty(); ++i) {
        projectiles.Update(0.05f);
        hits += HasHit(Sent()) ? 1 : 0;
        if (!projectiles.Live().empty() && p->Finished()) {
            EXPECT_TRUE(p->chainTargets.empty());
        }
    }
    EXPECT_EQ(hits, 2);  // the first target, then the second; the dead one ends it
}

TEST_F(ProjectileTest, ASkillShotSendsItsCommandOnlyWithAuthority) {
    CSkillRecord& skill = SkillRecord("Bolt", {1.0f}, 4);
    CSkillInstance* caster = manager.CreateSkillInstance(&skill);
    ASSERT_NE(caster, nullptr);
    caster->owner = shooter;
    manager.online = 1;
    manager.gameMode = 0;
    manager.SetLocalSlot(3);  // the shooter (slot 0) is another machine's
    VisualRef info = Shot(0);
    projectiles.Launch(shooter, &info, target, target->position, caster->id, 2);
    EXPECT_TRUE(Sent().empty());
    manager.SetLocalSlot(0);
    projectiles.Launch(shooter, &info, target, target->position, caster->id, 2);
    std::vector<SentCommand> sent = Sent();
    // The shooting kind's instant shot also hands the shooter its next order.
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].Type(), CMD_CAST_SKILL);
    EXPECT_EQ(sent[0].U16(2), static_cast<uint32_t>(caster->id));
    EXPECT_EQ(sent[0].I16(4), shooter->id);
    EXPECT_EQ(sent[0].I16(6), target->id);
    EXPECT_EQ(sent[0].I16(8), 200);
    EXPECT_EQ(sent[0].U16(14), 1u);
    EXPECT_EQ(sent[1].Type(), CMD_UNIT_ORDER);
    EXPECT_TRUE(shooter->orderRequested);
    Fly(5);

    // Another kind's shot only sends what it did.
    shooter->orderRequested = 0;
    CSkillInstance* drain = manager.CreateSkillInstance(&SkillRecord("Drain", {1.0f}, 5));
    ASSERT_NE(drain, nullptr);
    drain->owner = shooter;
    projectiles.Launch(shooter, &info, target, target->position, drain->id, 2);
    sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_CAST_SKILL);
    EXPECT_FALSE(shooter->orderRequested);
    Fly(5);
    manager.online = 0;
    manager.FreeSkillInstance(drain);
    manager.FreeSkillInstance(caster);
}

TEST_F(ProjectileTest, HiddenUnderTheFogOfWar) {
    CSightGrid grid;
    ASSERT_EQ(grid.Setup(16, 16, 20.0f, 8, 0, 2), 1);
    SightSource eye;
    grid.AddSight(&eye, {100, 0, 100}, 40, 2, CSightGrid::MODE_DISC);
    manager.sightGrid = &grid;
    manager.fogOfWar = 1;
    VisualRef info = Shot(20);
    CProjectile* p = projectiles.Launch(shooter, &info, nullptr, {240, 0, 100}, -1, 0);
    projectiles.Update(0.05f);
    EXPECT_EQ(p->flags & SO_HIDDEN, 0u) << "still in sight";
    for (int i = 0; i < 200 && !(p->flags & SO_HIDDEN) && !p->Finished(); ++i) projectiles.Update(0.05f);
    EXPECT_NE(p->flags & SO_HIDDEN, 0u);
    EXPECT_GT(p->position.x, 140.0f);
    projectiles.Clear();
    manager.sightGrid = nullptr;
}

TEST_F(ProjectileTest, ClearAndPoolGrowth) {
    VisualRef info = Shot(1);
    const uint32_t refs = shooter->refCount;
    for (int i = 0; i < 150; ++i) projectiles.Launch(shooter, &info, nullptr, {100, 0, 900}, -1, 0);
    EXPECT_EQ(projectiles.Live().size(), 150u);
    EXPECT_EQ(shooter->refCount, refs + 150);
    projectiles.Clear();
    EXPECT_TRUE(projectiles.Live().empty());
    EXPECT_EQ(shooter->refCount, refs);
    projectiles.DestroyPool();
    EXPECT_NE(projectiles.Launch(shooter, &info, nullptr, {100, 0, 900}, -1, 0), nullptr);
}

TEST_F(ProjectileTest, LinkEffectsFindWorldObjectsByIdUntilTheyLeave) {
    CWorldObjectLookup lookup;
    CEffectManager effects;
    CLinkEffect* link = effects.CreateLinkEffect(shooter->id, target->id, nullptr, 0);
    EXPECT_EQ(link->Update(0.1f), 1);
    manager.UnregisterObject(target);
    EXPECT_EQ(link->Update(0.1f), 0);
    effects.ReleaseEffect(link);
}
