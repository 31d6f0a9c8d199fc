// The run-time classes of the skill kinds: each SKILL record kind gets its own
// behaviour on top of CSkillInstance. What they change in the world runs the
// same on every machine, or travels as commands from the machine with
// authority over the owner.
#pragma once

#include "world/SkillInstance.h"

class CWorldObject;

// Kind 0 and the kinds without a class of their own: the cooldown clock.
class CBasicSkill : public CSkillInstance {
public:
    void Update(float elapsed) override { AdvanceCooldown(elapsed); }
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

// Kind 5: a shot that puts effects on its target and drains or exchanges mana or HP.
class CObjectEffectSkill : public CSkillInstance {
public:
    void Update(float elapsed) override { AdvanceCooldown(elapsed); }
    int Start(const platform::Vec3& point, int32_t targetId) override;
    // The shot has reached the target.
    void AutoTarget(int32_t targetId, int32_t b, int32_t c) override;

    int32_t hits = 1;
};

// Kind 6: a channel between owner and target that drains on an interval
// until the distance, the target's state or the owner's conditions break it.
// Both ends are kept by id and looked up every update.
class CChannelSkill : public CSkillInstance {
public:
    void Update(float elapsed) override;
    void AutoTarget(int32_t targetId, int32_t b, int32_t c) override;
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
    // The cast completes: the owner arrives.
    void AutoTarget(int32_t a, int32_t b, int32_t c) override;

    platform::Vec3 destination;

private:
    // Where the owner lands; false when the named area does not exist.
    bool FindDestination(const class CTeleportSkillRecord& r, platform::Vec3* out) const;
};

// The world object manager's classes for the skill kinds.
void RegisterSkillKinds(class CWorldObjectManager& manager);
