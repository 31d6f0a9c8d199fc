// The world of a match: ids for every world object, creation and destruction
// from the pools, the per-frame update in registration order, the teams,
// colours and names of the owners, filtered range and target questions, the
// objects' sight circles and the free-spot search. One manager exists at a
// time; the process-wide pointer names it.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "platform/Math.h"
#include "world/ObjectPool.h"
#include "world/PoolKind.h"

#include "world/GameDataRecord.h"

class CFileStream;
class CInventoryItem;
class CSceneObject;
class CSightGrid;
namespace platform {
class CGfxDevice;
}
class CSkillInstance;
class CSoundEffect;
class CUnit;
class CUnitEffect;
class CWorldObject;

// What the manager needs of the map and the terrain for water depth.
class IWorldGround {
public:
    virtual ~IWorldGround() = default;
    virtual bool IsWaterAt(const platform::Vec3& position) = 0;
    virtual float GetWaterHeight(const platform::Vec3& position) = 0;
    virtual float GetHeightAt(const platform::Vec3& position) = 0;
};

class CWorldObjectManager {
public:
    static constexpr int32_t kFirstId = 100;
    static constexpr int32_t kTableStep = 5000;
    // Commands carry ids in 16 bits.
    static constexpr int32_t kIdLimit = 32768;
    // Trigger spawns number their units from here up to kIdLimit, then again from here.
    static constexpr uint32_t kSpawnIdBase = 20000;
    // Items dropped by random events take ids from here up to kSpawnIdBase,
    // then again from here, clear of the ids of heroes and placed objects.
    static constexpr int32_t kDropIdBase = 10000;

    // Builds an object of one type in pool storage (the class's own constructor).
    using ObjectFactory = CWorldObject* (*)(void* storage);

    struct OwnerName {
        std::string shortName;
        std::string longName;
    };

    CWorldObjectManager();
    ~CWorldObjectManager();
    CWorldObjectManager(const CWorldObjectManager&) = delete;
    CWorldObjectManager& operator=(const CWorldObjectManager&) = delete;

    using SkillFactory = CSkillInstance* (*)(void* storage);
    using EffectFactory = CUnitEffect* (*)(void* storage);

    // A class of object type 0..3 registers its constructor and element size.
    void SetObjectFactory(int32_t type, ObjectFactory factory, size_t elementBytes);
    // The class of a skill kind 0..8 and of an effect kind 0..23 (kinds that
    // share a pool share a class and its size).
    void SetSkillFactory(int32_t kind, SkillFactory factory, size_t elementBytes);
    void SetEffectFactory(int32_t kind, EffectFactory factory, size_t elementBytes);
    CObjectPool& Pool(int32_t kind) { return m_pools[kind]; }

    void Clear();
    void ResetTeams();
    void SetLocalSlot(int32_t slot);
    uint32_t GetTeamColor(int32_t team) const;

    // Null while the type has no constructor registered.
    CWorldObject* CreateObject(int32_t type);
    void DestroyObject(CWorldObject* object);
    // A negative id takes the next free one; 0 when no id is left.
    int RegisterObject(CWorldObject* object, int32_t id, int addToTree, int addToTerrain);
    void UnregisterObject(CWorldObject* object);
    CWorldObject* GetObjectById(int32_t id) const;
    void Update(float elapsed, IWorldGround* ground);

    // Skill instances (by the SKILL record's kind), unit effects (by the
    // EFFECT record's kind) and inventory items from their pools; null when
    // the record is missing or of the wrong category.
    CSkillInstance* CreateSkillInstance(CGameDataRecord* skillRecord);
    void FreeSkillInstance(CSkillInstance* instance);
    CSkillInstance* GetSkillInstance(int32_t index) const;
    CUnitEffect* CreateUnitEffect(CGameDataRecord* effectRecord);
    void FreeUnitEffect(CUnitEffect* effect);
    // id 0 takes the record's own id and its count as charges; a given id
    // without a record still makes the item (the unit's link drops it).
    CInventoryItem* CreateInventoryItem(CGameDataRecord* itemRecord, uint32_t id, int32_t charges);
    void FreeInventoryItem(CInventoryItem* item);
    int32_t LiveSkillInstances() const { return m_liveSkills; }
    int32_t LiveUnitEffects() const { return m_liveEffects; }
    int32_t LiveInventoryItems() const { return m_liveItems; }

    // Item bonuses (mode 1: the fraction bonus, else the flat bonus B), added
    // or, with add 0, taken away; AddStats adds to the flat bonus A.
    void ApplyStatBonus(CUnit* unit, const StatBlock& bonuses, const StatBlock& modes, int add);
    void AddStats(CUnit* unit, const StatBlock& values);
    // An object made for a command: kind 0 plain, 2-6 the summon kinds; the
    // owner is the source's (a player's summons become its uncontrolled
    // units). Null when the type has no class or the record does not bind.
    CWorldObject* SpawnObject(int32_t kind, CWorldObject* source, int32_t type, CGameDataRecord* record,
                              const platform::Vec3& position, int32_t level, float yaw, float scale);
    // One entry of a map's object list: the kind flags, and for a world
    // object its type and its own record, read by the object of that type,
    // which registers itself. 0 (error report set) when the entry cannot be
    // read; the object made for it is destroyed again.
    int LoadMapObject(CFileStream& stream, int flag);
    // Uses the item in inventory slot 0..7 of a unit.
    void ApplyItemUse(int32_t owner, int32_t unitId, int32_t slot, int sendCommand);
    // The objects within the shot's range (its own, else recordRange) that
    // pass the filter, each but the shot itself hit by the attacker's attack
    // of the kind; out gets them.
    void CollectShotTargets(CWorldObject& shot, float range, float recordRange, uint32_t excludeA, uint32_t excludeB,
                            CWorldObject* attacker, int32_t kind, std::vector<CWorldObject*>& out);

    // The world objects within radius that pass PassesFilter, into the caller's list.
    void QueryRange(const platform::Vec3& centre, float radius, uint32_t excludeFlagsA, uint32_t excludeFlagsB,
                    CWorldObject* self, std::vector<CWorldObject*>& out) const;
    int PassesFilter(CWorldObject& object, uint32_t excludeFlagsA, uint32_t excludeFlagsB, CWorldObject* self) const;
    int32_t GetTargetFailure(CWorldObject& object, uint32_t flagsB, uint32_t flagsA, CWorldObject* self) const;
    int GetAttackFailure(CWorldObject& object, uint32_t flagsB, uint32_t flagsA, CWorldObject* self,
                         int32_t* code) const;
    bool HasLocalAuthority(const CWorldObject& object) const;

    void SetSightGrade(int32_t grade);
    void UpdateSight(CWorldObject& object, float radius, float elapsed);
    void StampSight(CWorldObject& object, float radius);
    void RemoveStamp(CWorldObject& object);
    // A one-off disc for a team (below 12) that RemoveStamp takes away again.
    void StampOnce(CWorldObject& object, int32_t team, float radius);
    // Takes the object's circle and stamp out of the grid.
    void RemoveSight(CWorldObject& object);

    void StepFormationPoint(platform::Vec3* point, int32_t* step, float radius) const;
    void BuildSpawnCandidates(float radius);
    const platform::Vec3* SpawnCandidates() const { return m_candidates; }
    int FindFreeSpawnPoint(const platform::Vec3& position, float size, int32_t wanted, platform::Vec3* out) const;
    bool IsAreaFree(const platform::Vec3& position, float size) const;

    void AddPlayerRecord(int32_t slot, CGameDataRecord* record);
    int LinkPlayerRecords();
    void ReleasePlayerRecords();
    const std::vector<CGameDataRecord*>& PlayerRecords(int32_t slot) const { return m_playerRecords[slot]; }

    int IsNetworkGame() const { return online && (gameMode == 0 || gameMode == 4); }
    int32_t CountActivePlayers(int32_t team) const;
    float GetTeamDamageScale(float amount, int32_t count) const;
    void ApplyWaterDepth(IWorldGround& ground);

    const std::list<CWorldObject*>& Objects() const { return m_objects; }
    int32_t ownerTeam[38] = {};
    OwnerName ownerNames[38];
    std::vector<std::string> objectNames;
    std::vector<int32_t> objectOwners;
    int32_t nextId = kFirstId;
    int32_t localSlot = 0;
    int32_t localTeam = 0;
    bool teamInPlay[14] = {};
    uint32_t online = 0;
    uint32_t host = 0;
    int32_t gameMode = 0;
    // The rooms' hand-over to a match: 1 a practice room (4 once a practice
    // match is set up), the map list the room chose from, the hero select
    // screen running, and players choosing their team themselves.
    int32_t practiceGame = 0;
    int32_t mapListIndex = 0;
    uint32_t heroSelect = 0;
    uint32_t teamChoice = 0;
    uint32_t authorityWithdrawn = 0;
    // Player slots taken in the match and those whose player has left.
    bool slotOccupied[12] = {};
    bool slotGone[12] = {};
    float gameClock = 0;
    float sightMoveThreshold = 30.0f;
    uint32_t sightGradeFlag = 0;
    // Day or night, mirrored by the play screen: units see by their day
    // sight (stat 14) by day and their night sight (stat 15) by night.
    uint32_t day = 1;
    uint32_t dayChanged = 0;
    // The sight grid of the loaded map (null without one).
    CSightGrid* sightGrid = nullptr;
    int32_t effectMode = 0;
    // Set by the play screen when each drawn object gets its own light: the
    // quadtree's RenderVisible runs it before the object's Render.
    void (*objectLightHook)(CSceneObject& object, platform::CGfxDevice& device) = nullptr;
    // What the map says of kills and distance fog; the play screen reads them.
    float killPointFactor = 1.0f;
    uint32_t fogOn = 0;
    float fogStart = 400.0f, fogEnd = 600.0f;
    uint32_t fogColor = 0xFF0000FFu;
    // Fog of war on, and the sight layer of the local viewer.
    uint32_t fogOfWar = 1;
    int32_t sightLayer = 0;
    // 1: the damage of team 1 scales with the number of players.
    int32_t damageScaling = 0;
    // Random events rolled in the match; the last one's item id.
    int32_t eventCounter = 0;
    // The world's footstep sound and footprint maker (null without them).
    CSoundEffect* footstepSound = nullptr;
    void (*footprintHook)(CWorldObject& unit) = nullptr;
    // The effect manager's hand-over of an item's effect slot to a unit.
    void (*itemEffectHook)(CWorldObject& unit, CGameDataRecord& item) = nullptr;
    // The map's triggers: lords switched off, the first id of the next
    // spawned group, and the two world flags conditions 7 and 8 test.
    uint32_t lordsOff = 0;
    uint32_t spawnCounter = kSpawnIdBase;
    uint32_t worldFlagA = 0;
    uint32_t worldFlagB = 0;
    // The match's rules: 0 the ranked match (bounties, first kill, shares of a
    // leaver), 1 and 2 special matches; the world stands still once it ended.
    int32_t matchKind = 0;
    uint32_t worldFrozen = 0;

private:
    void GrowTables();
    // The classes of the world's objects, skills, effects and items.
    void RegisterWorldClasses();
    // Sizes a pool for a class (a pool only grows, and only while empty).
    static bool SizePool(CObjectPool& pool, size_t elementBytes);
    void AddCircle(CWorldObject& object, float radius);

    std::list<CWorldObject*> m_objects;
    std::vector<CWorldObject*> m_objectTable;
    // Objects unregistered while the update walks the list wait here.
    bool m_updating = false;
    std::vector<CWorldObject*> m_pendingDestroy;
    CObjectPool m_pools[POOL_COUNT];
    ObjectFactory m_factories[4] = {};
    SkillFactory m_skillFactories[9] = {};
    EffectFactory m_effectFactories[24] = {};
    std::vector<CSkillInstance*> m_skillInstances;
    std::vector<CInventoryItem*> m_inventoryItems;
    int32_t m_liveSkills = 0;
    int32_t m_liveEffects = 0;
    int32_t m_liveItems = 0;
    std::vector<CGameDataRecord*> m_playerRecords[12];
    platform::Vec3 m_candidates[25];
};

// Null while no manager exists.
extern CWorldObjectManager* g_pWorldObjectManager;
