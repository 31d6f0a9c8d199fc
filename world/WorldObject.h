// Everything that stands on the map of a match (unit, building, decoration,
// item on the ground) is a world object: an owner and a team, two flag words,
// hit points and mana, a dead state, per-team visibility and a list of
// effects, on top of the animated model object. Objects are created,
// numbered, updated and destroyed by the world object manager only; the
// classes of each kind override the operations below.
#pragma once

#include <cmath>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "engine/render/GameObject.h"
#include "platform/Math.h"
#include "world/SightGrid.h"

class CFileStream;
class CGameDataRecord;
class CUnitEffect;
class CEffectRecord;

// Kind bits in the scene flags word.
enum WorldObjectKind : uint32_t {
    WO_WORLD_OBJECT = 0x00200000,
    WO_UNIT = 0x01000000,
    WO_BUILDING = 0x02000000,
    WO_DECORATION = 0x04000000,
    WO_ITEM = 0x08000000,
    WO_BLOCKS_GRID = 0x10000000,
    WO_COMBAT = WO_UNIT | WO_BUILDING,
    WO_KIND_UNIT = 0x11200000,
    WO_KIND_BUILDING = 0x12200000,
    WO_KIND_DECORATION = 0x14200000,
    WO_KIND_ITEM = 0x08200000,
};

// Owner indexes: 0-11 player slots, 12-23 the uncontrolled units of slot
// (owner - 12), 24 + t the units of team t, 36 friendly and 37 hostile neutral.
enum : int32_t {
    kPlayerSlots = 12,
    kOwnerCount = 38,
    kOwnerFriendlyNeutral = 36,
    kOwnerHostileNeutral = 37,
    kTeamFriendlyNeutral = 12,
    kTeamHostileNeutral = 13,
};

// One entry of an object's random events.
struct RandomEvent {
    int32_t values[3] = {0, 0, 0};
};

class CWorldObject : public CGameObject {
public:
    CWorldObject() { flags |= WO_WORLD_OBJECT; }
    // The effects go back to their pools.
    ~CWorldObject() override;

    // Visibility, the end of death and the random event; 0 asks the manager
    // to remove and destroy the object.
    int Update(float dt) override;
    // One placed object of a map's object list, read (stream mode 0) or
    // written (mode 1). Writing writes the kind flags and the object type
    // first; reading starts after them (the map reads them to make the object).
    int LoadFromMap(CFileStream& stream, int flag) override;

    // Binds the data record at a place; 0 on failure.
    virtual int InitFromRecord(const platform::Vec3& position, CGameDataRecord* record, int32_t level, float yaw,
                               float scale) = 0;
    // The saved state after the map record: here the random events.
    virtual int Serialize(CFileStream& stream, int flag);
    virtual bool IsUntargetable() { return (stateFlags & 0x80000) != 0; }
    virtual float GetStat(int32_t index) = 0;
    virtual int LinkResources(int /*flag*/) { return 1; }
    virtual int IsLocalPlayerUnit() { return 0; }
    virtual void GrantKillReward(int32_t /*killerId*/) {}
    virtual void TakeDamage(float amount, int32_t attackerId, int32_t kind, int apply, int mayCrit);
    virtual void ConsumeMana(float amount);
    virtual float RollDamage(CWorldObject* attacker, int32_t kind);
    virtual void ReceiveAttack(CWorldObject* attacker, int32_t kind);
    virtual void Die();
    virtual int32_t QuerySkills(int32_t /*value*/) { return -1; }
    // The attacked object's answer to an attacker (combat objects decide).
    virtual void ReactToAttacker(CWorldObject* /*attacker*/) {}

    bool IsCombatObject() const { return (flags & WO_COMBAT) != 0; }
    bool IsUnit() const { return (flags & WO_UNIT) != 0; }
protected:
    // Serialize without what the map record reads before InitFromRecord (a unit's level).
    virtual int SerializeBody(CFileStream& stream, int flag);
    // Record, key, flags, model and place of a decoration or an item on the ground.
    int BindRecord(const platform::Vec3& position, CGameDataRecord* record, float yaw, float scale);

public:
    // Team 12 is friendly to every team but 13; team 13 to none but itself.
    bool IsFriendlyTeam(const CWorldObject& other) const {
        if (team == kTeamFriendlyNeutral) return other.team != kTeamHostileNeutral;
        if (team == kTeamHostileNeutral) return other.team == kTeamHostileNeutral;
        return other.team == kTeamFriendlyNeutral || other.team == team;
    }
    // Whether this machine simulates the object and sends what follows from it.
    bool HasLocalAuthority() const;
    // Owner and the owner's team from the manager's table.
    void SetOwner(int32_t newOwner);
    void AddRandomEvent(int32_t a, int32_t b, int32_t c);
    void TeleportTo(const platform::Vec3& position);
    // Seen flags of the sight layers and the drawing that follows for the local viewer.
    void UpdateVisibility();
    // Health-bar colour from HP / maximum HP every 0.2 s.
    void UpdateHealthBar(float dt);
    // With authority, a chance roll that spawns one of the random events.
    void RollRandomEvent();
    // The attack's hit sound at the object, when it is shown.
    void PlayHitSound(const CWorldObject& attacker);

    // The effect list.
    int ApplyEffect(CEffectRecord* record, int32_t level, int32_t sourceId, int checkPrerequisites);
    void EndEffectsFrom(int32_t sourceId);
    void RemoveAllEffects();
    void PassToEffects(int32_t value);
    void PingEffects(int32_t value);
    void EndKind9Effects();
    using CGameObject::UpdateEffects;
    void UpdateEffects(float elapsed);
    // OnOwnerEvent of every effect, or of the effects of one record (0: all).
    void EndEffects(uint32_t recordId);
    void NotifyEffects(float a, int32_t b, int32_t c);
    void ResetEffects();
    void RefreshEffect(uint32_t recordId);
    // Whether an effect of the record is active.
    bool HasEffect(uint32_t recordId) const;
    // A running effect of an EFFECT kind on the object.
    bool CarriesEffectKind(uint32_t kind) const;

    // The data record bound by InitFromRecord (null before).
    CGameDataRecord* record = nullptr;
    // The animation value of the map record, kept for writing it back.
    uint32_t animationValue = 0;
    std::string recordName;
    int32_t owner = kOwnerFriendlyNeutral;
    int32_t team = 0;
    uint32_t unitFlags = 0;   // flags A: class and behaviour bits of the record
    uint32_t stateFlags = 0;  // flags B: changed in play (bit 19 untargetable)
    uint32_t recordKey = 0;
    int32_t objectType = -1;  // 0 unit, 1 building, 2 decoration, 3 item
    std::list<CUnitEffect*> effects;
    float hitPoints = 0;
    float mana = 0;
    int32_t deadFlag = 0;
    platform::Vec4 healthBarColor{0, 1, 0, 1};
    float healthBarTimer = 0;
    std::vector<RandomEvent> randomEvents;
    int32_t eventChance = 100;
    int32_t seen[kPlayerSlots] = {};
    int32_t alive = 1;
    float splashFactor = 0.3f;
    // The trigger a bound unit reports to, and the restores it has left.
    uint32_t boundTrigger = 0;
    int32_t restoreCounter = 0;
    // Set by a mission script: the player's orders are locked (bit 0x80000),
    // and the hero was revived by the script.
    uint32_t controlFlags = 0;
    uint32_t scriptRevive = 0;

    // Kept by the world object manager: the id, the pool the storage came
    // from (-1: made with new) and whether the object waits for the end of
    // the update walk to be destroyed.
    int32_t id = -1;
    int32_t poolKind = -1;
    int32_t unregistered = 0;
    // Terrain object-set handles, released when the object leaves the world.
    void* terrainHandles[2] = {nullptr, nullptr};
    // Water under the object.
    int32_t inWater = 0;
    int32_t enteredWater = 0;
    float waterDepth = 0;
    // The sight circle: radius now, radius being moved to, where it was
    // stamped, and the one-off stamp with its radius.
    float sightRadius = 0;
    float sightTarget = 0;
    int32_t sightMoving = 0;
    platform::Vec3 sightPosition;
    SightSource sight;
    SightSource stamp;

private:
    // The visibility step set scene flag 0x100 (the object was not seen).
    bool m_unseenOutOfPicks = false;
};

// The distance of two points on the ground plane (height ignored).
inline float DistanceXZ(const platform::Vec3& a, const platform::Vec3& b) {
    const float dx = a.x - b.x, dz = a.z - b.z;
    return std::sqrt(dx * dx + dz * dz);
}

// (attacker stat 2 - 100) x 0.1 percent, at most 50.
float CriticalChance(float attackerStat2);
// max(0, power x factor - armour) + power x (0.08 .. 0.12), one draw of the C runtime's generator.
float BaseDamage(float power, float factor, float armour);
// CMD_HP_CHANGE and, for a lethal hit, CMD_UNIT_KILLED, sent through the command manager's builders.
void SendHitOutcome(CWorldObject& target, CWorldObject* attacker, int32_t kind, float amount, bool lethal);
