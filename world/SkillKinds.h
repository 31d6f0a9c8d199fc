// The run-time classes of the skill kinds: each SKILL record kind gets its own
// behaviour on top of CSkillInstance. What they change in the world runs the
// same on every machine, or travels as commands from the machine with
// authority over the owner.
#pragma once

#include "world/SkillInstance.h"

class CWorldObject;

// Kind 0, the recall: the cooldown clock, and a use that asks every machine
// for the recall at the point.
class CBasicSkill : public CSkillInstance {
public:
    void Update(float elapsed) override { AdvanceCooldown(elapsed); }
    int Start(const platform::Vec3& point, int32_t /*targetId*/) override { return StartSkillAction(point); }
};

// Kind 1: the caster freezes, its summoned copies with it, in a three-phase
// cast (first visual at once, the second at 0.3 s, the effects at 0.8 s).
// The copies it keeps by id in the instance's list.
class CEffectOtherSelfSkill : public CSkillInstance {
public:
    static constexpr float kSecondPhase = 0.3f;
    static constexpr float kLastPhase = 0.8f;

    CEffectOtherSelfSkill() { list.reserve(25); }
    void Init() override;
    void Update(float elapsed) override;
    int Start(const platform::Vec3& point, int32_t /*targetId*/) override { return StartSkillAction(point); }
    // The cast begins at the point.
    void AutoTarget(int32_t a, int32_t targetId, int32_t c) override;
    // The skill's effects on each listed copy.
    void ApplyToListed();

    uint32_t startArmed = 0;
    uint32_t otherDone = 0;
    float speedFactor = 1.0f;
    platform::Vec3 point;

private:
    bool CarriesEffectKind8(const CWorldObject& unit) const;
    void ForListed(void (*each)(CCombatObject&));
};

// Kind 2: puts the skill's effects on the units around the owner, once a
// second for a passive skill, every 0.3 s for an active, active-type one.
class CEffectAuraSkill : public CSkillInstance {
public:
    void Init() override;
    void Update(float elapsed) override;
    void Stop() override;
    uint32_t AuraWord() const;
};

// Kind 3: while it runs, drains mana or HP of the enemies around, paying its
// upkeep in mana.
class CDamageAuraSkill : public CSkillInstance {
public:
    void Update(float elapsed) override;
    void AutoTarget(int32_t value, int32_t b, int32_t c) override;
    void Stop() override;

    float runTimer = 0;
    int32_t stored = 0;
    uint32_t started = 0;
};

// Kind 4: a sweep from the owner to the target point over the travel time
// (the level's amount2) that hits each object within the hit radius
// (amount3) once; a radius of 0 hits only the target when the attack ends.
class CDirectAttackSkill : public CSkillInstance {
public:
    static constexpr float kHitInterval = 0.1f;

    void Init() override { fireArmed = 1; }
    void Update(float elapsed) override;
    // Every use is accepted: the sweep starts from where the owner stands.
    int Start(const platform::Vec3& point, int32_t targetId) override;
    // Once per use, with the record's kindWord3: the owner's cast order.
    int SetTarget(const platform::Vec3& point, int32_t targetId, int hasTarget) override;
    // The attack ends (b the target).
    void AutoTarget(int32_t a, int32_t targetId, int32_t c) override;
    void Stop() override;
    // Where the sweep stands now.
    platform::Vec3 CurrentPoint() const;
    platform::Vec3 EndPoint() const { return startPoint + travel * endFactor; }

    uint32_t fireArmed = 1;
    platform::Vec3 startPoint;
    platform::Vec3 travel;
    float endFactor = 1.0f;
    float travelTimer = 0;
    std::vector<int32_t> hitList;

private:
    void HitAround();
};

// Kind 5: a shot that puts effects on its target and drains or exchanges mana or HP.
class CObjectEffectSkill : public CSkillInstance {
public:
    void Update(float elapsed) override { AdvanceCooldown(elapsed); }
    int Start(const platform::Vec3& point, int32_t targetId) override;
    // The shot has reached the target (b).
    void AutoTarget(int32_t a, int32_t targetId, int32_t c) override;

    int32_t hits = 1;
};

// Kind 6: a channel between owner and target that drains on an interval
// until the distance, the target's state or the owner's conditions break it.
// Both ends are kept by id and looked up every update.
class CChannelSkill : public CSkillInstance {
public:
    void Update(float elapsed) override;
    // The channel begins to the target (b).
    void AutoTarget(int32_t a, int32_t targetId, int32_t c) override;
    void Stop() override;
    void Cancel() override { Stop(); }

    int32_t channelTarget = -1;
    float tickTimer = 0;
    float drainTimer = 0;
};

// Kind 7: moves the owner when the cast completes, to a named map area (by
// default its team's base) or toward the target point within a reach.
class CTeleportSkill : public CSkillInstance {
public:
    void Update(float elapsed) override { AdvanceCooldown(elapsed); }
    // 0 without an owner, 1 while a cast runs, otherwise the record's chance decides.
    int Start(const platform::Vec3& point, int32_t targetId) override;
    // The cast completes: the machine with authority finds where the owner
    // lands and sends it as a skill action that moves the owner everywhere.
    void AutoTarget(int32_t a, int32_t b, int32_t c) override;

    platform::Vec3 destination;

private:
    // Where the owner lands; false when the named area does not exist.
    bool FindDestination(const class CTeleportSkillRecord& r, platform::Vec3* out) const;
};

// Kind 8: answers an attack on its owner with its effects on both.
class CReflectionSkill : public CSkillInstance {
public:
    void Init() override { Activate(1); }
    void Update(float elapsed) override;
    int32_t GetAnswerId(int32_t attackerId) override;
    // The owner was attacked (b the attacker).
    void AutoTarget(int32_t a, int32_t attackerId, int32_t c) override;

    float secondTimer = 0;
};

// The world object manager's classes for the skill kinds.
void RegisterSkillKinds(class CWorldObjectManager& manager);
