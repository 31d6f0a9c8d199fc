#include <gtest/gtest.h>

#include "tests/world/WorldFixture.h"
#include "world/UnitEffectKinds.h"

namespace {

struct UnitEffectKindTest : WorldFixture {
    void SetUp() override {
        CUnitData& r = UnitRecord("Soldier");
        r.baseStats[5] = F(1000);
        r.baseStats[6] = F(500);
        unit = Spawn(r, 100, 100, 0);
        other = Spawn(r, 120, 100, 5);
        other->team = 1;
        Sent();
    }
    CEffectRecord& Effect(uint32_t kind, float duration, std::vector<std::pair<size_t, uint32_t>> words = {}) {
        CEffectRecord& e = EffectRecord("E" + std::to_string(++made), kind, {duration});
        for (auto& [i, w] : words) e.params[0]->p[i] = w;
        return e;
    }
    int made = 0;
    CUnit* unit = nullptr;
    CUnit* other = nullptr;
};

TEST_F(UnitEffectKindTest, RefusalTable) {
    ItemRecord("Rock");
    auto* item = static_cast<CWorldObject*>(manager.CreateObject(3));
    ASSERT_NE(item, nullptr);
    for (uint32_t kind : {0u, 7u, 9u, 13u}) {
        CUnitEffect* e = manager.CreateUnitEffect(&Effect(kind, 5));
        e->target = item;
        EXPECT_EQ(e->Begin(), 0) << "kind " << kind << " takes units and buildings only";
        manager.FreeUnitEffect(e);
    }
    for (uint32_t kind : {15u, 17u, 18u, 20u, 23u}) {
        CUnitEffect* e = manager.CreateUnitEffect(&Effect(kind, 5));
        e->target = unit;
        e->level = -1;
        EXPECT_EQ(e->Begin(), 0) << "kind " << kind << " refuses a negative level";
        manager.FreeUnitEffect(e);
    }
    manager.DestroyObject(item);
}

TEST_F(UnitEffectKindTest, TwoLocksKeepBit20UntilBothEnd) {
    CEffectRecord& shortLock = Effect(7, 1);
    CEffectRecord& longLock = Effect(7, 2);
    ASSERT_EQ(unit->ApplyEffect(&shortLock, 1, -1, 0), 1);
    ASSERT_EQ(unit->ApplyEffect(&longLock, 1, -1, 0), 1);
    EXPECT_TRUE(unit->stateFlags & 0x100000);
    unit->UpdateEffects(1.5f);
    EXPECT_TRUE(unit->stateFlags & 0x100000) << "one lock still runs";
    unit->UpdateEffects(1.0f);
    EXPECT_FALSE(unit->stateFlags & 0x100000);
    EXPECT_EQ(unit->conditions[6], 0);
}

TEST_F(UnitEffectKindTest, RegenerationTable) {
    struct Case {
        uint32_t mana, fraction;
        float amount;
        uint32_t recordFlags;
        float dt;
        float hpGain, manaGain;
    } cases[] = {
        {0, 0, 10, 0, 2.0f, 30, 0},   // HP flat: the Begin tick and two catch-up ticks of one update
        {1, 0, 10, 0, 2.0f, 0, 30},   // mana flat
        {0, 1, 0.01f, 0, 1.0f, 20, 0},  // a fraction of the maximum HP
        {1, 0, 10, 1, 7.0f, 0, 80},   // flag bit 0: ticks on past the duration
    };
    for (const Case& c : cases) {
        unit->hitPoints = 500;
        unit->mana = 100;
        CEffectRecord& e = Effect(5, 5, {{1, c.mana}, {2, F(c.amount)}, {3, c.fraction}, {4, F(1.0f)}, {5, 0}});
        e.flags = c.recordFlags;
        ASSERT_EQ(unit->ApplyEffect(&e, 1, unit->id, 0), 1);
        unit->UpdateEffects(c.dt);
        EXPECT_FLOAT_EQ(unit->hitPoints - 500, c.hpGain) << c.mana << c.fraction << c.recordFlags;
        EXPECT_FLOAT_EQ(unit->mana - 100, c.manaGain) << c.mana << c.fraction << c.recordFlags;
        unit->RemoveAllEffects();
    }
    CEffectRecord& noInterval = Effect(5, 5, {{2, F(10)}, {4, F(0)}});
    EXPECT_EQ(unit->ApplyEffect(&noInterval, 1, -1, 0), 0) << "an interval of 0 is refused";

    // A share of each change goes to the source.
    unit->hitPoints = 500;
    other->hitPoints = 500;
    CEffectRecord& shared = Effect(5, 5, {{2, F(10)}, {4, F(1.0f)}, {5, F(0.5f)}, {6, 1}, {7, 0}});
    ASSERT_EQ(unit->ApplyEffect(&shared, 1, other->id, 0), 1);
    EXPECT_FLOAT_EQ(other->hitPoints, 505);
}

TEST_F(UnitEffectKindTest, CriticalMultiplierAtHundredAndZeroPercentAndOnlyWithAuthority) {
    struct Case {
        float chance;
        int32_t gameMode;
        float damage;
        int32_t type;
        size_t commands;
    } cases[] = {
        {100, 0, 30, 2, 1},
        {0, 0, 10, 0, 1},
        {100, 3, 10, 0, 0},  // no authority: no roll, no command
    };
    for (const Case& c : cases) {
        manager.gameMode = c.gameMode;
        CEffectRecord& e = Effect(6, 10, {{1, F(3)}, {2, F(c.chance)}, {3, 1}, {4, 0}});
        ASSERT_EQ(unit->ApplyEffect(&e, 1, -1, 0), 1);
        float damage = 10;
        int32_t type = 0;
        unit->effects.back()->OnDealDamage(1, &damage, &type, other);
        EXPECT_FLOAT_EQ(damage, c.damage) << c.chance << " " << c.gameMode;
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(Sent().size(), c.commands);
        unit->RemoveAllEffects();
    }
}

TEST_F(UnitEffectKindTest, ShieldNeverBelowZero) {
    CEffectRecord& e = Effect(20, 10, {{1, F(1.5f)}});
    ASSERT_EQ(unit->ApplyEffect(&e, 1, -1, 0), 1);
    float amount = 100;
    unit->effects.back()->ModifyIncomingDamage(&amount);
    EXPECT_EQ(amount, 0.0f);
}

TEST_F(UnitEffectKindTest, ManaBurnEndsWhenTheManaRunsShort) {
    unit->mana = 500;
    ASSERT_EQ(unit->ApplyEffect(&Effect(10, 100, {{1, F(100)}}), 1, -1, 0), 1);
    EXPECT_TRUE(unit->stateFlags & CVeilEffect::kManaBurnBit);
    unit->UpdateEffects(1.0f);
    EXPECT_FLOAT_EQ(unit->mana, 400);
    for (int i = 0; i < 3; ++i) unit->UpdateEffects(1.0f);
    EXPECT_FLOAT_EQ(unit->mana, 100);
    EXPECT_EQ(unit->effects.size(), 1u) << "100 left is enough for one more second";
    unit->UpdateEffects(1.0f);
    unit->UpdateEffects(0.1f);
    EXPECT_TRUE(unit->effects.empty()) << "0 left: the burn ends long before its 100 s";
    EXPECT_FALSE(unit->stateFlags & CVeilEffect::kManaBurnBit);
}

TEST_F(UnitEffectKindTest, HiddenUnitsSurpriseHitAndReveal) {
    struct Case {
        float bonus;
        uint32_t reveals;
        float damage;
        int32_t type;
        size_t events;
    } cases[] = {{7, 0, 17, 5, 0}, {0, 0, 10, 0, 0}, {7, 1, 17, 5, 1}};
    for (const Case& c : cases) {
        ASSERT_EQ(unit->ApplyEffect(&Effect(8, 30, {{3, c.reveals}, {4, F(c.bonus)}}), 1, -1, 0), 1);
        EXPECT_TRUE(unit->stateFlags & CVeilEffect::kHiddenBit);
        EXPECT_TRUE(unit->controlFlags & CVeilEffect::kHiddenOrderFlag);
        float damage = 10;
        int32_t type = 5;
        unit->effects.back()->OnDealDamage(1, &damage, &type, other);
        EXPECT_FLOAT_EQ(damage, c.damage) << c.bonus;
        EXPECT_EQ(type, c.type) << "no bonus: the hit is a plain one";
        size_t events = 0;
        for (const SentCommand& cmd : Sent()) events += cmd.Type() == CMD_GAME_EVENT && cmd.U8(2) == 2;
        EXPECT_EQ(events, c.events);
        unit->PingEffects(0);
        unit->UpdateEffects(0.01f);
        EXPECT_EQ(unit->effects.empty(), c.reveals != 0) << "a revealing veil ends on its refresh";
        unit->RemoveAllEffects();
        EXPECT_FALSE(unit->stateFlags & CVeilEffect::kHiddenBit);
        EXPECT_FALSE(unit->controlFlags & CVeilEffect::kHiddenOrderFlag);
    }
}

TEST_F(UnitEffectKindTest, MultiTargetNamesEnemiesAroundTheVictimUpToItsCount) {
    CUnitData& r = UnitRecord("Extra");
    std::vector<CUnit*> near;
    for (int i = 0; i < 4; ++i) {
        CUnit* u = Spawn(r, 125.0f + static_cast<float>(i), 100, 5);
        u->team = 1;
        near.push_back(u);
    }
    Spawn(r, 122, 100, 0)->team = 0;  // a friend beside the victim is no target
    unit->attackRange = 20;
    ASSERT_EQ(unit->ApplyEffect(&Effect(14, 30, {{1, 1}, {2, 3}}), 1, -1, 0), 1);
    Sent();
    unit->effects.back()->OnAttackTargets(other->id);
    std::vector<SentCommand> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), CMD_UNIT_TARGET_LIST);
    EXPECT_EQ(sent[0].U8(2), 3) << "the count caps the list";
    EXPECT_EQ(sent[0].U8(3), 1) << "p1 travels with it";
    EXPECT_EQ(sent[0].I16(16), unit->id);
    for (int i = 0; i < 3; ++i) {
        CWorldObject* o = manager.GetObjectById(sent[0].I16(4 + 2 * static_cast<size_t>(i)));
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->team, 1);
    }
    manager.gameMode = 3;
    unit->effects.back()->OnAttackTargets(other->id);
    EXPECT_TRUE(Sent().empty()) << "only the machine with authority names targets";
}

TEST_F(UnitEffectKindTest, DoomKillsAtItsEndOnlyUnderAuthority) {
    for (int32_t mode : {0, 3}) {
        manager.gameMode = mode;
        ASSERT_EQ(unit->ApplyEffect(&Effect(21, 2), 1, -1, 0), 1);
        unit->UpdateEffects(1.0f);
        EXPECT_TRUE(Sent().empty());
        unit->UpdateEffects(1.0f);
        std::vector<SentCommand> sent = Sent();
        ASSERT_EQ(sent.size(), mode == 0 ? 1u : 0u) << "game mode " << mode;
        if (!sent.empty()) {
            EXPECT_EQ(sent[0].Type(), CMD_GAME_EVENT);
            EXPECT_EQ(sent[0].U8(2), 5);
            EXPECT_EQ(sent[0].I16(4), unit->id);
        }
        EXPECT_TRUE(unit->effects.empty());
    }
}

TEST_F(UnitEffectKindTest, ReflectionSendsAShareOfTheDamageBackUnderAuthority) {
    struct Case {
        float chance, share;
        int32_t gameMode;
        bool sends;
        float amount;
    } cases[] = {
        {100, 0.5f, 0, true, 20},
        {100, 0, 0, true, 40},  // no share given: all of it
        {0, 0.5f, 0, false, 0},
        {100, 0.5f, 3, false, 0},  // a replay decides nothing
    };
    for (const Case& c : cases) {
        manager.gameMode = c.gameMode;
        CUnitEffect* e = manager.CreateUnitEffect(&Effect(3, 5, {{1, F(c.chance)}, {2, F(c.share)}}));
        e->target = unit;
        e->level = 1;
        e->OnTakeDamage(40, other->id, 1);
        e->OnTakeDamage(40, unit->id, 1);  // never back at itself
        std::vector<SentCommand> sent = Sent();
        ASSERT_EQ(sent.size(), c.sends ? 1u : 0u) << c.chance << " " << c.gameMode;
        if (c.sends) {
            EXPECT_EQ(sent[0].Type(), CMD_HP_CHANGE);
            EXPECT_EQ(sent[0].I16(4), other->id) << "the attacker takes it";
            EXPECT_FLOAT_EQ(sent[0].F32(8), c.amount);
        }
        manager.FreeUnitEffect(e);
    }
}

TEST_F(UnitEffectKindTest, GuardsMakeTheUnitUntargetableUntilTheLastEnds) {
    ASSERT_EQ(unit->ApplyEffect(&Effect(16, 1), 1, -1, 0), 1);
    ASSERT_EQ(unit->ApplyEffect(&Effect(16, 2), 1, -1, 0), 1);
    EXPECT_TRUE(unit->IsUntargetable());
    unit->UpdateEffects(1.5f);
    EXPECT_TRUE(unit->IsUntargetable()) << "one still runs";
    unit->UpdateEffects(1.0f);
    EXPECT_FALSE(unit->IsUntargetable());
    EXPECT_EQ(unit->conditions[5], 0);
}

TEST_F(UnitEffectKindTest, ANestedTransformationRestoresTheFirstScale) {
    unit->bounds.scale = 1.0f;
    ASSERT_EQ(unit->ApplyEffect(&Effect(11, 2, {{1, F(2.0f)}}), 1, -1, 0), 1);
    EXPECT_EQ(unit->bounds.scale, 2.0f) << "no transformation action: at once";
    ASSERT_EQ(unit->ApplyEffect(&Effect(11, 1, {{1, F(3.0f)}}), 1, -1, 0), 1);
    EXPECT_EQ(unit->bounds.scale, 3.0f);
    unit->UpdateEffects(1.5f);
    EXPECT_EQ(unit->bounds.scale, 3.0f) << "the first still runs: nothing restored yet";
    unit->UpdateEffects(1.0f);
    EXPECT_EQ(unit->bounds.scale, 1.0f) << "the scale from before the first";
    other->alive = 0;
    EXPECT_EQ(other->ApplyEffect(&Effect(11, 1, {{1, F(2.0f)}}), 1, -1, 0), 0) << "the dead do not transform";
}

}  // namespace
