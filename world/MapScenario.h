// What a loaded map scripts: its triggers, the spawn groups (lists of UNIT
// records a spawn action picks from) and the two lords, which appear at a set
// game time and march toward the opposing start areas and each other. One
// scenario exists at a time; the process-wide pointer names it.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "world/Trigger.h"

class CFileStream;
class CGameDataRecord;
class CResource;
class CWorldObject;
class IMapAreas;

// Where one lord comes from.
struct LordEntry {
    uint32_t triggerHash = 0;
    int32_t lordObjectId = -1;
    int32_t markerObjectId = -1;
    float spawnPosition[3] = {0, 0, 0};
    float yaw = 0;
    int32_t owner = 0;
};

struct LordBlock {
    enum : int32_t { PHASE_WAITING = 0, PHASE_ANNOUNCED = 1, PHASE_MARCHING = 3, PHASE_ENDED = 4 };
    float lordTime = 0;  // 0: no lords
    LordEntry entries[2];
    CGameDataRecord* lordRecords[2] = {nullptr, nullptr};  // "로드 뱀파이어", "로드 헌터"
    float marchTimer = 0;
    int32_t phase = PHASE_WAITING;
    // Lords already sent toward the other one (the march re-orders each once).
    bool reordered[2] = {false, false};
};

class CMapScenario {
public:
    static constexpr int32_t kLordIds[2] = {13, 14};
    static constexpr float kMarchCheck = 5.0f;
    // Counts above these are damaged data, not maps.
    static constexpr uint32_t kMaxTriggers = 100000;
    static constexpr uint32_t kMaxGroups = 10000;
    static constexpr uint32_t kMaxGroupUnits = 10000;

    CMapScenario();
    virtual ~CMapScenario();
    CMapScenario(const CMapScenario&) = delete;
    CMapScenario& operator=(const CMapScenario&) = delete;

    // The trigger section of the map file, by the stream's mode.
    int LoadTriggers(CFileStream& stream);
    int LinkTriggers();
    // 0 at the first trigger element whose references are missing.
    int CheckTriggers();
    void UpdateTriggers(float elapsed);
    void SetTriggerEnabled(uint32_t hash, uint32_t enabled);
    void RemoveTrigger(uint32_t hash);
    // The first trigger of that name hash, or null.
    CTrigger* FindTrigger(uint32_t hash);
    // The trigger a spawn record names: a live one, else one that has ended
    // since it sent the record (its records arrive frames later).
    CTrigger* FindSpawnTrigger(uint32_t hash);

    int FindLordRecords();
    void TrackLords();
    void UpdateLords(float elapsed);
    // The levels the match end sends (0 is level 1); the lords take ids 13 and 14.
    void SpawnLords(int32_t level0, int32_t level1);
    void ReleaseLordRecords();
    void Reset();

    // The map's named areas (null: none).
    void SetAreas(IMapAreas* areas) { m_areas = areas; }
    IMapAreas* Areas() const { return m_areas; }
    // A resource the scenario keeps until it is reset (one reference is the scenario's).
    void HoldResource(CResource* resource);

    std::list<std::unique_ptr<CTrigger>>& Triggers() { return m_triggers; }
    std::vector<std::vector<CGameDataRecord*>>& SpawnGroups() { return m_spawnGroups; }
    LordBlock& Lords() { return m_lords; }
    const std::list<CResource*>& HeldResources() const { return m_held; }

    // Written by the waiting room; read by nothing yet.
    float guardianTime = 0;

private:
    // Finds the lord time, the lord entries and their markers in the triggers.
    void ScanLordTriggers();
    // Sends a marching lord once toward the other lord when it heads elsewhere.
    void ReorderLord(int entry, CWorldObject& lord);
    // An ended or removed trigger that spawns is kept, unseen but by the
    // spawn records, until the scenario is reset.
    void Retire(std::unique_ptr<CTrigger> trigger);

    std::list<std::unique_ptr<CTrigger>> m_triggers;
    std::list<std::unique_ptr<CTrigger>> m_retired;
    std::vector<std::vector<CGameDataRecord*>> m_spawnGroups;
    LordBlock m_lords;
    std::list<CResource*> m_held;
    IMapAreas* m_areas = nullptr;
};

// Null while no scenario exists.
extern CMapScenario* g_pMapScenario;

struct MapAreaView;
// The named area of the current scenario's map; false without one.
bool FindMapArea(uint32_t hash, MapAreaView* out);
// Offline play and the host of a networked match decide what the map does.
bool HasScenarioAuthority();
