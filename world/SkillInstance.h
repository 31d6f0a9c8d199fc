// A skill a unit (or an inventory item) owns at run time: a SKILL record, the
// learned level, the cooldown clock and the objects the skill acts on. The
// world object manager makes one per skill from the pool of the record's
// kind; the kinds override the operations below, this base is what every
// kind shares.
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Math.h"

class CCombatObject;
class CProjectile;
class CWorldObject;
class CSkillRecord;
class CSkillLevelRecord;

class CSkillInstance {
public:
    // The time since use of a skill that is ready.
    static constexpr float kReady = FLT_MAX;

    CSkillInstance() { targets.reserve(10); }
    virtual ~CSkillInstance() = default;
    CSkillInstance(const CSkillInstance&) = delete;
    CSkillInstance& operator=(const CSkillInstance&) = delete;

    // Bound to its owner, or its level changed.
    virtual void Init() {}
    virtual void Update(float /*elapsed*/) {}
    virtual void UpdateSecond(float /*elapsed*/) {}
    // 0 while the skill has no level (or, capped, no level record).
    virtual int Start(const platform::Vec3& point, int32_t targetId);
    virtual int SetTarget(const platform::Vec3& /*point*/, int32_t /*targetId*/, int /*hasTarget*/) { return 0; }
    virtual void AutoTarget(int32_t /*a*/, int32_t /*b*/, int32_t /*c*/) {}
    virtual void Stop() {
        active = 0;
        targets.clear();
    }
    virtual int32_t GetAnswerId(int32_t /*attackerId*/) { return -1; }
    virtual void Activate(int /*force*/) {}
    virtual void Deactivate() {}
    virtual int IsCasting() { return 0; }
    virtual void Cancel() {}
    virtual void Notify(int32_t /*value*/) {}

    // The level record of the current level; null at level 0 or past the record's levels.
    const CSkillLevelRecord* LevelRecord() const;
    float Cooldown() const;
    // Level 1 or more, and no cooldown or the cooldown has passed.
    bool IsReady() const;
    // Pending levels take effect once the skill is not cooling down; the
    // level never passes the record's level count.
    void ApplyPendingLevels();
    // The cooldown runs anew (time since use 0, rate 1, active).
    void RestartCooldown() {
        cooldownElapsed = 0;
        cooldownRate = 1.0f;
        active = 1;
    }
    // Kinds 0 and 5: pending levels, then the cooldown clock.
    void AdvanceCooldown(float elapsed) {
        ApplyPendingLevels();
        if (cooldownElapsed != kReady) cooldownElapsed += elapsed * cooldownRate;
    }
    // A learned level: at once when the skill is at level 0 or not cooling
    // down, else pending until its cooldown has passed.
    void AdvanceTimedStep();
    // The record's level count (0 without a record).
    int32_t LevelCount() const;
    // Restore: the two values as given. Otherwise from the time left of the
    // cooldown: none left starts it, a cooldown already over makes it ready.
    void SetCooldownState(int restore, float value, float rate);
    // The skill's EFFECT records on the target (each one the target takes),
    // from the owner at the skill's level; their record ids go to targets
    // (the list holds object ids, which the skill actions act on).
    void ApplyEffectsToTarget(CWorldObject& target);
    // The effects this skill gave (by targets) end on the unit at its next update.
    void EndGivenEffects(CWorldObject& unit);
    // CMD_GAME_EVENT kind 5 for every listed object this machine rules; the list empties.
    void CastOnTargets();
    float Amount(size_t i) const;

    // The skill actions (every machine, in frame order; the host alone
    // chooses spots and ids and queues the records that carry them).
    // The recall: one CMD_SKILL_ACTION per free spot with a reserved id.
    void CastAtSpot(const platform::Vec3& point);
    // The recalled UNIT under the id; it joins the list.
    int SpawnRecordObject(int32_t objectId, const platform::Vec3& point);
    // The owner's new spot, and one for each of its copies.
    void MoveCasterToSpot(const platform::Vec3& point);
    // The owner moves (its own id), or a copy of it appears under the id.
    int SummonUnit(int32_t objectId, const platform::Vec3& point);
    // Turns the shot toward its target; the owner asks for its next order.
    void SteerProjectile(CProjectile& shot);
    // The use of kinds 0 and 1: only under authority; the owner pays, and every
    // machine runs the skill action the request asks for at the point.
    int StartSkillAction(const platform::Vec3& point);

    int32_t pendingLevels = 0;
    int32_t id = -1;
    int32_t index = -1;
    int32_t instanceWord1 = -1;
    uint32_t instanceWord2 = 0;
    CSkillRecord* record = nullptr;
    int32_t level = 0;
    CCombatObject* owner = nullptr;
    float kindValue = FLT_MAX;  // a second timer of some kinds
    float castTimer = 0;
    float cooldownElapsed = kReady;
    float cooldownRate = 1.0f;
    uint32_t active = 0;
    std::vector<int32_t> targets;
    std::vector<int32_t> list;
    // The pool the storage came from (kept by the world object manager).
    int32_t poolKind = -1;
};
