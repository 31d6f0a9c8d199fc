#include <gtest/gtest.h>

#include <cfloat>

#include "tests/world/WorldFixture.h"
#include "world/MapAreaSet.h"
#include "world/SkillActions.h"
#include "world/SkillKinds.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecordKinds.h"

namespace {

struct SkillKindTest : WorldFixture {
    void SetUp() override {
        CUnitData& r = UnitRecord("Mage");
        r.baseStats[5] = F(1000);
        r.baseStats[6] = F(1000);
        record = &r;
        caster = Spawn(r, 100, 100, 0);
        caster->team = 0;
        enemy = Spawn(r, 150, 100, 5);
        enemy->team = 1;
        Sent();
    }
    // A skill of the kind at level 1 with the amounts given (amount1 first).
    CSkillInstance* Skill(uint32_t kind, std::vector<float> amounts, uint32_t flags = 0, float manaCost = 0) {
        CSkillRecord& r = SkillRecord("Skill" + std::to_string(++made), {0.0f}, kind);
        r.flags = flags;
        r.excludeMask1 = r.excludeMask2 = 0;
        for (size_t i = 0; i < amounts.size(); ++i) r.levels[0]->amount[i + 1] = F(amounts[i]);
        r.levels[0]->manaCost = manaCost;
        CSkillInstance* s = manager.CreateSkillInstance(&r);
        s->level = 1;
        s->owner = caster;
        caster->skills.push_back(s);
        return s;
    }
    void GiveEffect(CSkillInstance* s, float duration) {
        CEffectRecord& e = EffectRecord("Buff" + std::to_string(++made), 0, {duration});
        s->record->effects.push_back({&e, e.name});
    }
    void Run(CSkillInstance* s, float total, float dt = 0.05f) {
        for (float t = 0; t < total - 1e-4f; t += dt) s->Update(dt);
    }
    int made = 0;
    CUnitData* record = nullptr;
    CUnit* caster = nullptr;
    CUnit* enemy = nullptr;
};

TEST_F(SkillKindTest, ReadinessAndCooldownState) {
    CSkillInstance* s = Skill(0, {});
    s->level = 0;
    EXPECT_FALSE(s->IsReady()) << "a new instance has no level yet";
    s->level = 1;
    EXPECT_TRUE(s->IsReady()) << "cooldown 0: always ready";
    s->record->levels[0]->cooldown = 10;
    s->RestartCooldown();
    EXPECT_FALSE(s->IsReady());
    s->Update(10);
    EXPECT_TRUE(s->IsReady());

    struct Case {
        float left;
        float elapsed, rate;
    } cases[] = {
        {0, 0, 1.0f},          // nothing left: the cooldown starts
        {4, 0, 10.0f / 6.0f},  // runs faster to end in 4 s
        {10, FLT_MAX, 1.0f},   // left equal to the cooldown: over, not a division by 0
        {12, FLT_MAX, 1.0f},
    };
    for (const Case& c : cases) {
        s->SetCooldownState(0, c.left, 0);
        EXPECT_EQ(s->cooldownElapsed, c.elapsed) << "left " << c.left;
        EXPECT_FLOAT_EQ(s->cooldownRate, c.rate) << "left " << c.left;
    }
    s->level = 0;
    s->SetCooldownState(0, 0.5f, 0);
    EXPECT_FLOAT_EQ(s->cooldownRate, 2.0f) << "no level: 1 / (1 - left)";
    s->SetCooldownState(0, 1.0f, 0);
    EXPECT_EQ(s->cooldownElapsed, FLT_MAX);
    s->SetCooldownState(1, 3.0f, 0.5f);
    EXPECT_EQ(s->cooldownElapsed, 3.0f);
    EXPECT_EQ(s->cooldownRate, 0.5f);
}

TEST_F(SkillKindTest, AuraPeriods) {
    struct Case {
        uint32_t flags;
        uint32_t auraWord;
        uint32_t active;
        float period;
    } cases[] = {
        {CSkillRecord::kFlagPassive, 0, 0, 1.0f},
        {CSkillRecord::kFlagActivePassive, 3, 1, 0.3f},
    };
    for (const Case& c : cases) {
        CSkillInstance* s = Skill(2, {100, 1000}, c.flags);
        static_cast<CEffectAuraSkillRecord*>(s->record)->auraWord = c.auraWord;
        s->active = c.active;
        s->cooldownElapsed = 0;
        GiveEffect(s, 0.1f);
        enemy->RemoveAllEffects();
        Run(s, c.period - 0.05f);
        EXPECT_TRUE(enemy->effects.empty()) << "period " << c.period;
        Run(s, 0.05f);
        EXPECT_EQ(enemy->effects.size(), 1u) << "period " << c.period;
        caster->skills.pop_back();
        manager.FreeSkillInstance(s);
    }
    CSkillInstance* off = Skill(2, {100, 1000});
    GiveEffect(off, 1);
    Run(off, 2.0f);
    EXPECT_EQ(enemy->effects.size(), 1u) << "neither passive kind: no tick from the update";
}

TEST_F(SkillKindTest, DamageAuraVariants) {
    struct Case {
        uint32_t hp;        // kindWord1
        uint32_t fraction;  // kindWord2
        float amount2;
        float hpAfter, manaAfter;
    } cases[] = {
        {0, 0, 50, 1000, 950},
        {0, 1, 0.1f, 1000, 900},
        {1, 0, 50, 950, 1000},
        {1, 1, 0.05f, 950, 1000},  // small hits stay local; 100 or more travel as commands
    };
    for (const Case& c : cases) {
        CSkillInstance* s = Skill(3, {100, c.amount2, 100});
        auto* r = static_cast<CDamageAuraSkillRecord*>(s->record);
        r->kindWord1 = c.hp;
        r->kindWord2 = c.fraction;
        enemy->hitPoints = 1000;
        enemy->mana = 1000;
        s->active = 1;
        Run(s, 0.95f);
        EXPECT_EQ(enemy->mana, 1000) << "nothing before a second";
        Run(s, 0.1f);
        EXPECT_FLOAT_EQ(enemy->hitPoints, c.hpAfter) << c.hp << c.fraction;
        EXPECT_FLOAT_EQ(enemy->mana, c.manaAfter) << c.hp << c.fraction;
        EXPECT_EQ(caster->mana, 1000) << "friends and the owner keep theirs";
        s->Stop();
    }
}

TEST_F(SkillKindTest, ObjectEffectDrainsWhatTheTargetHas) {
    CSkillInstance* s = Skill(5, {0, 0, 100, 0.5f, 100});
    auto* r = static_cast<CObjectEffectSkillRecord*>(s->record);
    r->kindWord = {0, 0, 0, 0};  // mana both ways, drain
    enemy->mana = 40;
    caster->mana = 500;
    EXPECT_EQ(s->Start({}, enemy->id), 1);
    s->AutoTarget(1, enemy->id, 0);
    EXPECT_FLOAT_EQ(caster->mana, 520) << "gains the 40 it had x 0.5";
    EXPECT_FLOAT_EQ(enemy->mana, 0) << "asked to lose the full 100";
    EXPECT_EQ(s->active, 0u) << "one hit";
    EXPECT_EQ(s->Start({}, 9999), 0) << "no target";
}

TEST_F(SkillKindTest, ChannelBreaksAtItsReachAndStopsOnlyUnderAuthority) {
    struct Case {
        int32_t gameMode;
        size_t stops;
    } cases[] = {{0, 1}, {3, 0}};
    for (const Case& c : cases) {
        manager.gameMode = c.gameMode;
        CSkillInstance* s = Skill(6, {100, 60, 0, 0, 1});
        enemy->bounds.radius = 10;
        enemy->bounds.scale = 1;
        enemy->position = {209.9f, 0, 100};
        caster->orderRequested = 0;
        s->AutoTarget(1, enemy->id, 0);
        Run(s, 0.2f);
        EXPECT_EQ(s->active, 1u) << "99.9 apart";
        EXPECT_TRUE(Sent().empty());
        enemy->position = {210.0f, 0, 100};
        Run(s, 0.2f);
        EXPECT_EQ(s->active, 0u) << "distance - radius == amount1 breaks it";
        size_t stops = 0;
        for (const SentCommand& cmd : Sent()) stops += cmd.Type() == CMD_UNIT_STOP;
        EXPECT_EQ(stops, c.stops) << "game mode " << c.gameMode;
    }
    CSkillInstance* s = Skill(6, {100, 60, 0, 0, 1});
    enemy->position = {150, 0, 100};
    s->AutoTarget(1, enemy->id, 0);
    manager.UnregisterObject(enemy);  // destroys it
    s->Update(0.2f);
    EXPECT_EQ(s->active, 0u) << "a vanished end stops the channel";
}

TEST_F(SkillKindTest, TeleportToANamedAreaOrWithinItsReach) {
    CMapAreaSet areas;
    areas.Add({400, 0, 400}, "Base1", 40, 40);
    areas.Add({600, 0, 200}, "Shrine", 40, 40);
    struct Case {
        const char* text;
        float reach;
        platform::Vec3 point;
        bool moves;
        platform::Vec3 near;
        const char* what;
    } cases[] = {
        {"", 0, {}, true, {400, 0, 400}, "no name, no reach: the base of the owner's team (team 0 -> Base1)"},
        {"Shrine", 0, {}, true, {600, 0, 200}, "a named area"},
        {"Nowhere", 0, {}, false, {}, "a name no area has moves nothing"},
        {"", 50, {300, 0, 100}, true, {150, 0, 100}, "toward the point, no farther than the reach"},
        {"", 500, {130, 0, 100}, true, {130, 0, 100}, "a point within reach is reached"},
    };
    for (const Case& c : cases) {
        caster->TeleportTo({100, 0, 100});
        caster->stateFlags |= 0x80;
        CSkillInstance* s = Skill(7, {0, 0, c.reach});
        static_cast<CTeleportSkillRecord*>(s->record)->teleportText = c.text;
        ASSERT_EQ(s->Start(c.point, -1), 1) << c.what;
        s->AutoTarget(1, -1, 0);
        for (const SentCommand& cmd : Sent())
            if (cmd.Type() == CMD_SKILL_ACTION)
                RunSkillAction(manager, cmd.I16(2), cmd.I16(4), cmd.I16(6), {float(cmd.I16(8)), 0, float(cmd.I16(10))});
        // An area gives a free spot of its candidates around the centre; a reach lands exactly.
        const float slack = c.reach > 0 ? 0.01f : 3 * caster->bounds.radius * caster->bounds.scale + 1;
        if (c.moves)
            EXPECT_LE(DistanceXZ(caster->position, c.near), slack) << c.what;
        else
            EXPECT_EQ(DistanceXZ(caster->position, {100, 0, 100}), 0) << c.what;
        EXPECT_EQ(caster->stateFlags & 0x80, 0u) << c.what;
        EXPECT_EQ(s->active, 0u) << c.what;
    }
    CSkillInstance* never = Skill(7, {});
    static_cast<CTeleportSkillRecord*>(never->record)->kindWord4 = 0;
    EXPECT_EQ(never->Start({}, -1), 0) << "a chance of 0 never casts";
}

TEST_F(SkillKindTest, OtherSelfHoldsItsCopiesAndGivesItsEffectsAt08) {
    CSkillInstance* s = Skill(1, {});
    GiveEffect(s, 0);
    CUnit* copy = Spawn(*record, 120, 100, 0);
    copy->team = 0;
    s->list.push_back(copy->id);
    caster->attackAnimationRate = 1.5f;
    Sent();
    s->AutoTarget(1, -1, 0);
    EXPECT_EQ(caster->conditions[0], 1) << "the owner is held";
    EXPECT_EQ(copy->conditions[0], 1) << "and each copy";
    EXPECT_EQ(caster->attackAnimationRate, 0.0f);
    EXPECT_EQ(copy->attackAnimationRate, 0.0f);
    EXPECT_NE(caster->stateFlags & 0x80, 0u);
    EXPECT_EQ(caster->effects.size(), 1u) << "the owner's effects at once";
    EXPECT_TRUE(copy->effects.empty());
    bool asked = false;
    for (const SentCommand& c : Sent()) asked |= c.Type() == CMD_UNIT_ORDER && c.I16(8) == copy->id;
    EXPECT_TRUE(asked) << "the copy is asked to stand";

    auto* self = static_cast<CEffectOtherSelfSkill*>(s);
    Run(s, 0.25f);
    EXPECT_EQ(self->otherDone, 0u) << "first phase until 0.3 s";
    Run(s, 0.1f);
    EXPECT_EQ(self->otherDone, 1u) << "second phase from 0.3 s";
    Run(s, 0.4f);
    EXPECT_TRUE(copy->effects.empty()) << "nothing on the copies before 0.8 s";
    Run(s, 0.1f);
    EXPECT_EQ(copy->effects.size(), 1u) << "at 0.8 s";
    EXPECT_EQ(caster->conditions[0], 0);
    EXPECT_EQ(copy->conditions[0], 0) << "held with the owner, let go with it";
    EXPECT_EQ(caster->attackAnimationRate, 1.0f) << "no effect of kind 8: normal speed";
    EXPECT_EQ(caster->stateFlags & 0x80, 0u);
    EXPECT_EQ(s->active, 0u);
}

TEST_F(SkillKindTest, DirectAttackHitsEachObjectOnceAndRadius0OnlyItsTarget) {
    CUnit* other = Spawn(*record, 200, 100, 5);
    other->team = 1;
    enemy->position = {150, 0, 100};
    CSkillInstance* sweep = Skill(4, {0, 1.0f, 20});  // travel 1 s, radius 20
    GiveEffect(sweep, 0);
    sweep->record->excludeMask2 = 0;
    ASSERT_EQ(sweep->Start({200, 0, 100}, -1), 1);
    Run(sweep, 1.5f);
    EXPECT_EQ(enemy->effects.size(), 1u) << "passed on the way, hit once";
    EXPECT_EQ(other->effects.size(), 1u) << "at the end point, hit once";
    sweep->AutoTarget(1, enemy->id, 0);
    EXPECT_EQ(sweep->active, 0u);
    EXPECT_EQ(enemy->effects.size(), 1u) << "a radius above 0 gives nothing more at the end";

    enemy->RemoveAllEffects();
    other->RemoveAllEffects();
    caster->RemoveAllEffects();
    CSkillInstance* single = Skill(4, {0, 0, 0});
    GiveEffect(single, 0);
    static_cast<CDirectAttackSkillRecord*>(single->record)->kindWord[2] = 1;  // the owner goes to the end
    ASSERT_EQ(single->Start({180, 0, 100}, enemy->id), 1);
    Run(single, 0.5f);
    EXPECT_TRUE(enemy->effects.empty()) << "radius 0: nothing on the way";
    single->AutoTarget(1, enemy->id, 0);
    EXPECT_EQ(enemy->effects.size(), 1u) << "the target alone";
    EXPECT_TRUE(other->effects.empty());
    EXPECT_LE(DistanceXZ(caster->position, {180, 0, 100}), 0.01f) << "travel time 0: at its end point";
}

TEST_F(SkillKindTest, ReflectionAnswersAttacksWhenReady) {
    CSkillInstance* s = Skill(8, {}, 0, 100);
    GiveEffect(s, 0);
    s->record->levels[0]->cooldown = 5;
    caster->mana = 150;
    EXPECT_EQ(s->GetAnswerId(enemy->id), s->id);
    EXPECT_EQ(caster->QuerySkills(enemy->id), s->id) << "the unit asks its skills in order";
    EXPECT_EQ(s->GetAnswerId(caster->id), -1) << "not its own attacks";
    s->AutoTarget(1, enemy->id, 0);
    EXPECT_EQ(caster->effects.size(), 1u);
    EXPECT_EQ(enemy->effects.size(), 1u) << "the attacker takes the effects too";
    EXPECT_FLOAT_EQ(caster->mana, 50);
    EXPECT_EQ(s->GetAnswerId(enemy->id), -1) << "cooling down";
    s->Update(5);
    EXPECT_EQ(s->GetAnswerId(enemy->id), -1) << "ready, but 50 mana cannot pay 100";
    caster->mana = 100;
    EXPECT_EQ(s->GetAnswerId(enemy->id), s->id);
    caster->alive = 0;
    EXPECT_EQ(s->GetAnswerId(enemy->id), -1) << "a dead owner";
}

}  // namespace
