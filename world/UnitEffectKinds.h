// The run-time classes of the EFFECT kinds that change a unit's numbers and
// state: stat blocks, damage modifiers, regeneration, locks, conditions, order
// flags and damage shields. Kinds without a class here keep the timed base.
// Rolls and commands happen only where the unit's machine has authority.
#pragma once

#include <cstddef>

#include "world/UnitEffect.h"

class CWorldObjectManager;

// Kind 0: the level's add and multiply stat blocks while it runs (units and buildings).
class CStatEffect : public CUnitEffect {
public:
    int Begin() override;
    void End() override;
};

// Kinds 1, 2, 4, 6: damage dealt raised (2, 6) or taken lowered (1), heals on damage taken (4).
class CDamageEffect : public CUnitEffect {
public:
    void OnDealDamage(int outgoing, float* amount, int32_t* type, CWorldObject* other) override;
    void OnTakeDamage(float amount, int32_t sourceId, int32_t flag) override;
    int KindFlag() override { return 1; }
};

// Kind 5: mana or HP every interval, a share of it to the source or the target.
class CRegenerationEffect : public CUnitEffect {
public:
    int Begin() override;
    int Update(float elapsed) override;
    void Tick();
};

// Kind 7: a lock; state bit 20 stays while any lock of the unit runs.
class CLockEffect : public CUnitEffect {
public:
    int Begin() override;
    void End() override;
};

// Kind 9: the unit's conditions of the mask p1 while it runs.
class CConditionEffect : public CUnitEffect {
public:
    int Begin() override;
    void End() override;
};

// Kinds 13 and 23: an order flag of the unit while it runs.
class COrderFlagEffect : public CUnitEffect {
public:
    int Begin() override;
    void End() override;
    uint32_t Flag() const;
};

// Kind 20: damage taken x (1 - p1), never below 0.
class CShieldEffect : public CUnitEffect {
public:
    int Begin() override { return level >= 0; }
    void ModifyIncomingDamage(float* amount) override;
};

// Kinds 8 and 10 (one class). Kind 10 holds state bit 23 and burns p1 mana
// a second, ending when the mana runs short. Kind 8 hides the unit (state
// bit 22, order flag 0x8000, alpha 0.4); its surprise hits (damage type 5)
// gain p4, and with p3 set it reveals the unit.
class CVeilEffect : public CUnitEffect {
public:
    static constexpr uint32_t kManaBurnBit = 1u << 23;
    static constexpr uint32_t kHiddenBit = 1u << 22;
    static constexpr uint32_t kHiddenOrderFlag = 0x8000;
    static constexpr float kHiddenAlpha = 0.4f;

    int Begin() override;
    int Update(float elapsed) override;
    void End() override;
    void OnDealDamage(int outgoing, float* amount, int32_t* type, CWorldObject* other) override;
    void Refresh(int32_t value) override;
    int KindFlag() override { return 1; }
};

// Kind 14: the unit's attacks reach up to six objects around the victim.
class CMultiTargetEffect : public CUnitEffect {
public:
    static constexpr size_t kMaxTargets = 6;
    void OnAttackTargets(int32_t victimId) override;
};

// Kind 21: at the end of its time the unit dies on every machine.
class CDoomEffect : public CUnitEffect {
public:
    int Update(float elapsed) override;
};

// Kinds 15, 17, 18: refuse a negative level, the timed base otherwise.
class CLevelCheckedEffect : public CUnitEffect {
public:
    int Begin() override { return level >= 0; }
};

// Kind 3: an attack taken may come back: with the level's chance in per cent
// (reflectChance), the attacker loses the damage x p2 (all of it when p2 is 0
// or less) through a CMD_HP_CHANGE from the machine with authority.
class CReflectEffect : public CUnitEffect {
public:
    void OnTakeDamage(float amount, int32_t sourceId, int32_t flag) override;
    void End() override;
};

// Kind 16: the target's revival counter (condition 5: untargetable) while it runs.
class CGuardEffect : public CUnitEffect {
public:
    int Begin() override;
    void End() override;
};

// Kind 11: the target takes the level's scale p1 while it runs. Without a
// transformation action to time it, the change takes no time. A nested
// transformation keeps the first one's saved scale, which comes back when
// the last one ends.
class CTransformEffect : public CUnitEffect {
public:
    int Begin() override;
    void End() override;

    float savedScale = 1.0f;

private:
    // Another transformation active on the target, or null.
    CTransformEffect* Other() const;
};

void RegisterUnitEffectKinds(CWorldObjectManager& manager);
