// A gameplay effect on one unit (buff, debuff, aura, shield): the run-time
// side of an EFFECT record. The world object manager makes one from the pool
// of the record's kind; the unit keeps it in its effect list, runs its update
// each frame and passes its damage and attack events through it. This base is
// what every kind shares: a timed life by the level's duration.
#pragma once

#include <cfloat>
#include <cstdint>
#include <vector>

class CEffectParam;
class CEffectRecord;
class CWorldObject;

// EFFECT record flags read by the unit's effect list.
constexpr uint32_t kEffectNoStacking = 1u << 22;   // no second effect of the kind
constexpr uint32_t kEffectRefreshable = 1u << 23;  // the same record renews the active one

class CUnitEffect {
public:
    // Set as elapsed, the effect ends at its next update.
    static constexpr float kEnded = FLT_MAX;

    CUnitEffect() { list.reserve(5); }
    virtual ~CUnitEffect() = default;
    CUnitEffect(const CUnitEffect&) = delete;
    CUnitEffect& operator=(const CUnitEffect&) = delete;

    // False: the effect does not take and is freed.
    virtual int Begin() { return 1; }
    // False once the effect has ended: a duration of 0 or less never ends by time.
    virtual int Update(float elapsed);
    virtual void End() {}
    virtual void OnDealDamage(int /*outgoing*/, float* /*amount*/, int32_t* /*type*/, CWorldObject* /*other*/) {}
    virtual void OnTakeDamage(float /*amount*/, int32_t /*sourceId*/, int32_t /*flag*/) {}
    virtual void OnOwnerEvent() {}
    virtual void OnAttackTargets(int32_t /*value*/) {}
    virtual void OnAttackHit(int32_t /*a*/, int32_t /*b*/) {}
    virtual void ModifyIncomingDamage(float* /*amount*/) {}
    virtual void Reset() {}
    virtual void Refresh(int32_t /*value*/) {}
    virtual int KindFlag() { return 0; }
    virtual void Notify() {}

    // The parameters of the current level; null past the record's levels.
    const CEffectParam* LevelParam() const;
    float Duration() const;
    uint32_t Kind() const;

    CEffectRecord* record = nullptr;
    int32_t level = 1;
    CWorldObject* target = nullptr;
    int32_t sourceId = -1;
    float elapsed = 0;
    void* startVisual = nullptr;
    void* startVisual2 = nullptr;
    std::vector<int32_t> list;
    uint32_t extra = 0;
    float tickTimer = 0;
    // The pool the storage came from (kept by the world object manager).
    int32_t poolKind = -1;
};
