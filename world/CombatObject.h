// The world object that fights: units and buildings. It keeps the stat block
// (17 stats in five arrays), the skill instances of its record, the order
// state, the condition counters, the attack target and timing, and the
// combat rules of an attack received: hit roll, damage with armour and the
// class bonus, the commands of the outcome, the kill reward and the answer
// to the attacker.
#pragma once

#include <cstdint>
#include <vector>

#include "world/OrderRecord.h"
#include "world/WorldObject.h"

class CCombatData;
class CGameCommand;
class CSkillInstance;

constexpr int32_t kStatCount = 17;

// A command of a type without a builder: packed online, queued offline.
CGameCommand* BeginCommand(uint32_t type);

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
    // Unit flag: the attack is a shot of the record's shot description.
    static constexpr uint32_t kRangedAttacker = 1u << 23;
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
    // Sets the order every machine runs (the dispatcher's CMD_UNIT_ORDER, a
    // spawn's revive). 0 when the unit cannot take it now: a cast that has
    // just begun is only replaced with force.
    virtual int SetOrder(int32_t kind, int32_t subKind, const platform::Vec3& point, int32_t targetId,
                         int32_t skillId, int force = 0);
    // A player's order: checked here, then sent as CMD_UNIT_ORDER (queued:
    // CMD_UNIT_ORDER_QUEUED). 0 when refused; nothing is sent then.
    int IssueOrder(int32_t kind, const platform::Vec3& point, int32_t targetId, CSkillInstance* skill,
                   int32_t subKind, int queued = 0);
    void QueueOrder(int32_t kind, int32_t subKind, int32_t targetId, const platform::Vec3& point, int immediate);
    // Ends the present order: the first waiting order that is accepted, else a stop.
    void NextOrder();
    // CMD_UNIT_NEXT_ORDER: every machine drops the first queued order.
    void DropFirstQueuedOrder() { queuedOrders.DropFront(); }
    static bool CanTarget(CWorldObject* target, CCombatObject& attacker, uint32_t filter);
    // XZ distance less the target's radius within range (-1: the attack range x scale).
    bool IsWithinRange(const CWorldObject& target, float range) const;
    bool CanMove();
    void AddCondition(int32_t index);
    void RemoveCondition(int32_t index);
    void AddConditions(uint32_t mask);
    void RemoveConditions(uint32_t mask);
    // One step on the XZ plane toward a point; true once the unit stands on it
    // (turn-only: once it faces it).
    bool StepToward(const platform::Vec3& point, float elapsed, float speed, float turnTime, int turnOnly);
    int32_t QuerySkills(int32_t value) override;
    CSkillInstance* FindSkill(int32_t skillId) const;
    // The per-frame behaviour, then the world object's own update.
    int Update(float dt) override;

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
    // Orders waiting until what blocks them ends, and orders to run after the present one.
    COrderList currentOrders;
    COrderList queuedOrders;
    uint32_t arrived = 0;
    float pathTimer = 0;
    int32_t pathIndex = -1;
    std::vector<platform::Vec3> path;
    platform::Vec3 pathGoal;
    float idleTimer = 0;
    float acquireTimer = 0;
    // The action the order plays: seconds into it and its length.
    float actionClock = 0;
    float actionLength = 0;
    uint32_t hitDealt = 0;
    float chargeTimer = 0;
    std::vector<int32_t> targetList;
    int32_t targetListValue = 0;
    // Orders in a row whose sender's hit points differed from ours.
    int32_t hitMismatches = 0;
    platform::Vec3 patrolFrom;
    // Path searches made by every unit since start (the benchmark reads it).
    static int32_t s_pathRequests;

    // With authority: asks every machine for the order (sent once until it is set).
    void RequestOrder(int32_t kind, int32_t subKind, const platform::Vec3& point, int32_t targetId, int32_t skillId);

private:
    void PlayOrderAction();
    // Dies on every machine at once (a follower without its leader, a lifetime's end).
    void DieLocally();
    float WalkSpeed();
    // Along a path to goal (searched again when stale); true at its end.
    bool WalkTo(const platform::Vec3& goal, float elapsed, float turnTime, bool chasing);
    CWorldObject* FindNearestEnemy(float range);
    void RunOrder(float elapsed);
    void RunAttack(CWorldObject* target, float elapsed, bool authority, bool started);
    // The swing's hit: a melee attacker hits at once, a ranged one fires its
    // record's shot at the target or at each of its target list.
    void DealAttackHit(CWorldObject& target);
    void RunDeath(float elapsed, bool authority, bool started);
    // The sight circle and, while it attacks, the unit shown to its target's team.
    void UpdateSightAndReveal(float elapsed);
    void RunSkill(CWorldObject* target, float elapsed, bool authority, bool started);

public:
    int32_t attackTargetId = -1;
    float lifetime = kUnlimitedLife;
    // The whole life time given at the summons, to measure what is left against.
    float lifetimeTotal = 0;
    float revivalTime = 0;
    uint32_t waitingRevival = 0;
    float alertTimer = 0;
    float queryTimer = 0;
    StatArrays stats;
    float bountyExperience = 0;
    float bountyGold = 0;
    float swingTimer = 0;
    // The team an attack showed this unit to (-1 none) and how long ago the
    // attack ended there.
    int32_t revealTeam = -1;
    float revealTimer = 0;
    float animationFactor = 1.0f;
    float swingLeft = 0;
    float hitTime = 0;
    float attackRange = 0;
    float attackAnimationRate = 1.0f;
    uint32_t killRewardFlag = 0;
    int32_t level = 1;
};
