// The world object that fights: units and buildings. It keeps the stat block
// (17 stats in five arrays), the skill instances of its record, the order
// state, the condition counters, the attack target and timing, and the
// combat rules of an attack received: hit roll, damage with armour and the
// class bonus, the commands of the outcome, the kill reward and the answer
// to the attacker.
#pragma once

#include <cstdint>
#include <vector>

#include "world/WorldObject.h"

class CCombatData;
class CSkillInstance;

constexpr int32_t kStatCount = 17;

// base, flat bonus A, flat bonus B (items and effects), fraction bonus, final.
struct StatArrays {
    float base[kStatCount] = {};
    float addA[kStatCount] = {};
    float addB[kStatCount] = {};
    float fraction[kStatCount] = {};
    float final[kStatCount] = {};
    // The bonus arrays back to 0.
    void ClearBonuses();
};

// The order the object carries out now.
struct CurrentOrder {
    int32_t kind = 0;
    int32_t subKind = 0;
    platform::Vec3 point;
    int32_t targetId = -1;
    int32_t skillId = -1;
};

class CCombatObject : public CWorldObject {
public:
    static constexpr float kUnlimitedLife = -5000.0f;
    static constexpr int32_t kConditions = 7;
    // The attack reward is shared by the killer's side within this distance.
    static constexpr float kRewardRadius = 180.0f;

    CCombatObject() = default;
    // Skill instances go back to their pools.
    ~CCombatObject() override;

    float GetStat(int32_t index) override {
        return index >= 0 && index < kStatCount ? stats.final[index] : 0.0f;
    }
    bool IsUntargetable() override {
        return (stateFlags & 0x80080) != 0 || conditions[5] > 0;
    }
    float RollDamage(CWorldObject* attacker, int32_t kind) override;
    void ReceiveAttack(CWorldObject* attacker, int32_t kind) override;
    void GrantKillReward(int32_t killerId) override;
    void ReactToAttacker(CWorldObject* attacker) override;
    void Die() override;

    virtual int UpdateItems(float /*elapsed*/) { return 0; }
    virtual void NotifyItems(int32_t /*value*/) {}
    virtual void RecalcStats(int32_t index) = 0;
    virtual float GetAcquireRange() = 0;
    virtual void Regenerate(float elapsed) = 0;
    virtual void Revive() {}
    virtual void EndRevive() {}
    virtual void OnLevelChanged() {}
    virtual void UpdateTrail(float /*elapsed*/) {}
    // Gives the object an order; the orders arrive with their own classes, so
    // that until then this only records the order and reports nothing done (0).
    virtual int SetOrder(int32_t kind, int32_t subKind, const platform::Vec3& point, int32_t targetId,
                         int32_t skillId);

    // The combat part of InitFromRecord: record, flags, place, stats, bounties, no order.
    int InitCombat(const platform::Vec3& position, CGameDataRecord* record, int32_t level, float yaw, float scale);
    CCombatData* CombatRecord() const;
    // Whether the hit of an attack of kind 0 lands (one percent roll unless it always hits).
    bool RollToHit(CWorldObject& attacker);
    // 0.2 or 0.25 x the attacker's attack power for its class against this one's (kinds other than 4).
    float ClassBonus(CWorldObject& attacker);
    // A new maximum keeps the ratio of the current value (the new maximum when the old one was 0).
    static float KeepRatio(float value, float oldMaximum, float newMaximum) {
        return oldMaximum != 0 ? newMaximum / oldMaximum * value : newMaximum;
    }
    // Runs the attack alert and the target query after an attack received.
    void AfterAttack(CWorldObject& attacker);
    // Bounties for the level from the record's values.
    void ComputeBounties(int32_t level);
    // The skill instances of the record, each at its record's level count
    // (capped by maxLevel, -1 no cap).
    void RebuildSkills(int32_t maxLevel);
    void FreeSkills();
    void NotifySkills(int32_t value);
    void RestartSkill(int32_t index);

    std::vector<CSkillInstance*> skills;
    CurrentOrder order;
    uint32_t orderJustSet = 1;
    uint32_t orderRequested = 0;
    float requestTimer = 0;
    uint32_t revivalFlag = 0;
    uint32_t movedFlag = 0;
    uint32_t combatFlags = 0;
    int32_t conditions[kConditions] = {};
    platform::Vec3 homePoint;
    uint32_t homeFlag = 0;
    uint32_t returning = 0;
    float leashDistance = 0;
    CWorldObject* leader = nullptr;
    int32_t leaderId = -1;
    uint32_t summonFlags = 0;
    // Orders waiting to run, first to last.
    std::vector<CurrentOrder> currentOrders;
    int32_t attackTargetId = -1;
    float lifetime = kUnlimitedLife;
    float revivalTime = 0;
    uint32_t waitingRevival = 0;
    float alertTimer = 0;
    float queryTimer = 0;
    StatArrays stats;
    float bountyExperience = 0;
    float bountyGold = 0;
    float swingTimer = 0;
    float animationFactor = 1.0f;
    float swingLeft = 0;
    float hitTime = 0;
    float attackRange = 0;
    float attackAnimationRate = 1.0f;
    uint32_t killRewardFlag = 0;
    int32_t level = 1;
};
