#include "world/WorldObjectManager.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/render/WalkGridView.h"
#include "platform/CrtRandom.h"
#include "world/GameDataRecord.h"
#include "world/SightGrid.h"
#include "world/SpatialTree.h"
#include "world/TerrainEngine.h"
#include "world/Building.h"
#include "world/Decoration.h"
#include "world/EffectRecord.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/ItemObject.h"
#include "world/SkillInstance.h"
#include "world/SkillKinds.h"
#include "world/SkillRecord.h"
#include "world/Unit.h"
#include "world/UnitEffect.h"
#include "world/UnitEffectKinds.h"
#include "world/WorldObject.h"

using platform::Vec3;

CWorldObjectManager* g_pWorldObjectManager = nullptr;

namespace {

// Condition bits of a target mask tested on the object's state flags, and their codes.
struct MaskCode {
    uint32_t bit;
    int32_t code;
};
constexpr MaskCode kStateCodes[] = {{0x100000, 17},  {0x200000, 18},   {0x1000000, 19},
                                    {0x2000000, 20}, {0x40000000, 21}, {0x80000000, 22}};
constexpr MaskCode kUnitCodes[] = {{0x10, 0},         {0x100, 1},     {0x200, 2},      {0x400, 3},     {0x800, 4},
                                   {0x1000, 5},       {0x20, 6},      {0x40, 7},       {0x80, 8},      {0x2, 9},
                                   {0x20000000, 36},  {0x80000, 10},  {0x100000, 11},  {0x8, 12},      {0x400000, 30},
                                   {0x1000000, 31},   {0x800000, 32}, {0x2000, 33},    {0x4000, 34},   {0x8000, 35}};
constexpr MaskCode kAttackCodes[] = {{0x100000, 38},  {0x8, 39},    {0x400000, 40}, {0x1000000, 41},
                                     {0x800000, 42},  {0x2000, 43}, {0x4000, 44},   {0x8000, 45}};

int32_t FirstCode(const MaskCode* begin, const MaskCode* end, uint32_t mask, uint32_t objectFlags) {
    for (const MaskCode* c = begin; c != end; ++c)
        if ((mask & c->bit) && (objectFlags & c->bit)) return c->code;
    return -1;
}

// The offsets of a formation's steps 1..11, in units of 1.5 x radius (x, z).
constexpr float kFormation[12][2] = {{0, 0},  {-1, 1}, {0, 1},   {1, 1},   {1, 0},   {-1, 0},
                                     {-1, -1}, {0, -1}, {1, -1}, {-1, -2}, {0, -2}, {1, -2}};

// The two rings around the centre, in units of 3 x radius (x, z).
constexpr float kRings[25][2] = {{0, 0},   {1, 0},   {0, 1},   {-1, 0},  {0, -1},  {1, -1},  {1, 1},
                                 {-1, 1},  {-1, -1}, {-2, 2},  {-1, 2},  {0, 2},   {1, 2},   {2, 2},
                                 {-2, 1},  {2, 1},   {-2, 0},  {2, 0},   {-2, -1}, {2, -1},  {-2, -2},
                                 {-1, -2}, {0, -2},  {1, -2},  {2, -2}};
constexpr int kRing2First = 9;

// An element of a pool made by its class's constructor; null without storage or class.
template <class T>
T* ConstructIn(CObjectPool* pools, int32_t pool, T* (*factory)(void*)) {
    if (pool < 0 || pool >= POOL_COUNT || !factory) return nullptr;
    void* storage = pools[pool].Alloc();
    if (!storage) return nullptr;
    T* made = factory(storage);
    if (!made) pools[pool].Free(storage);
    return made;
}

// Destroys an element and gives its storage back to the pool it came from.
template <class T>
void DestroyIn(CObjectPool* pools, T* element) {
    const int32_t pool = element->poolKind;
    element->~T();
    if (pool >= 0 && pool < POOL_COUNT) pools[pool].Free(element);
}

}  // namespace

CWorldObjectManager::CWorldObjectManager() {
    g_pWorldObjectManager = this;
    for (int32_t i = 0; i < POOL_COUNT; ++i) m_pools[i].SetBlockCount(kPoolFirstBlock[i]);
    for (int32_t i = 0; i < 12; ++i) {
        std::string n = std::to_string(i + 1);
        ownerNames[i] = {"P" + n, "플레이어 " + n};
        ownerNames[12 + i] = {"NPC" + n, "비컨트롤 플레이어 " + n};
        ownerNames[24 + i] = {"T" + n, "팀 유닛 " + n};
    }
    ownerNames[kOwnerFriendlyNeutral] = {"우호NPC", "우호적 중립"};
    ownerNames[kOwnerHostileNeutral] = {"적대NPC", "적대적 중립"};
    ResetTeams();
    GrowTables();
    BuildSpawnCandidates(0);
    RegisterWorldClasses();
}

template <class T>
static CWorldObject* MakeObject(void* storage) {
    return new (storage) T;
}

void CWorldObjectManager::RegisterWorldClasses() {
    SetObjectFactory(0, &MakeObject<CUnit>, sizeof(CUnit));
    SetObjectFactory(1, &MakeObject<CBuilding>, sizeof(CBuilding));
    SetObjectFactory(2, &MakeObject<CDecoration>, sizeof(CDecoration));
    SetObjectFactory(3, &MakeObject<CItemObject>, sizeof(CItemObject));
    // The kinds' own classes replace these bases as they arrive.
    for (int32_t kind = 0; kind < 9; ++kind)
        SetSkillFactory(kind, [](void* p) { return new (p) CSkillInstance; }, sizeof(CSkillInstance));
    RegisterSkillKinds(*this);
    for (int32_t kind = 0; kind < 24; ++kind)
        SetEffectFactory(kind, [](void* p) { return new (p) CUnitEffect; }, sizeof(CUnitEffect));
    RegisterUnitEffectKinds(*this);
    SizePool(m_pools[POOL_INVENTORY_ITEM], sizeof(CInventoryItem));
}

bool CWorldObjectManager::SizePool(CObjectPool& pool, size_t elementBytes) {
    if (pool.ElementSize() >= elementBytes) return true;
    // A pool in use keeps its size: its elements live in the blocks.
    if (pool.LiveCount() > 0) return false;
    pool.SetElementSize(elementBytes);
    pool.Grow();
    return true;
}

void CWorldObjectManager::SetSkillFactory(int32_t kind, SkillFactory factory, size_t elementBytes) {
    int32_t pool = SkillPool(kind);
    if (pool >= 0 && factory && SizePool(m_pools[pool], elementBytes)) m_skillFactories[kind] = factory;
}

void CWorldObjectManager::SetEffectFactory(int32_t kind, EffectFactory factory, size_t elementBytes) {
    int32_t pool = EffectPool(kind);
    if (pool >= 0 && factory && SizePool(m_pools[pool], elementBytes)) m_effectFactories[kind] = factory;
}

CWorldObjectManager::~CWorldObjectManager() {
    Clear();
    for (CObjectPool& pool : m_pools) pool.Clear();
    if (g_pWorldObjectManager == this) g_pWorldObjectManager = nullptr;
}

void CWorldObjectManager::SetObjectFactory(int32_t type, ObjectFactory factory, size_t elementBytes) {
    int32_t kind = ObjectTypePool(type);
    if (kind < 0) return;
    m_factories[type] = factory;
    CObjectPool& pool = m_pools[kind];
    if (pool.ElementSize() != elementBytes) {
        pool.SetElementSize(elementBytes);
        pool.Grow();
    }
}

void CWorldObjectManager::GrowTables() {
    size_t size = std::min<size_t>(m_objectTable.size() + kTableStep, kIdLimit);
    m_objectTable.resize(size, nullptr);
    objectNames.resize(size);
    objectOwners.resize(size, -1);
}

void CWorldObjectManager::Clear() {
    std::list<CWorldObject*> objects;
    objects.swap(m_objects);
    for (CWorldObject* o : objects) {
        if (o->id >= 0 && static_cast<size_t>(o->id) < m_objectTable.size() && m_objectTable[o->id] == o)
            m_objectTable[o->id] = nullptr;
        if (g_pSpatialTree) g_pSpatialTree->Remove(o);
        if (g_pTerrainEngine) g_pTerrainEngine->RemoveFromObjectSets(o);
        o->terrainHandles[0] = o->terrainHandles[1] = nullptr;
        RemoveSight(*o);
        if (!o->unregistered) DestroyObject(o);
    }
    for (CWorldObject* o : m_pendingDestroy) DestroyObject(o);
    m_pendingDestroy.clear();
    m_skillInstances.clear();
    m_inventoryItems.clear();
    std::fill(m_objectTable.begin(), m_objectTable.end(), nullptr);
    std::fill(objectNames.begin(), objectNames.end(), std::string());
    std::fill(objectOwners.begin(), objectOwners.end(), -1);
    ResetTeams();
    gameClock = 0;
    nextId = kFirstId;
}

void CWorldObjectManager::ResetTeams() {
    for (int32_t i = 0; i < 12; ++i) {
        ownerTeam[i] = i < 6 ? 0 : 1;
        ownerTeam[12 + i] = ownerTeam[i];
        ownerTeam[24 + i] = i;
    }
    ownerTeam[kOwnerFriendlyNeutral] = kTeamFriendlyNeutral;
    ownerTeam[kOwnerHostileNeutral] = kTeamHostileNeutral;
}

void CWorldObjectManager::SetLocalSlot(int32_t slot) {
    if (slot < 0 || slot >= kOwnerCount) return;
    localSlot = slot;
    localTeam = ownerTeam[slot];
    std::fill(std::begin(teamInPlay), std::end(teamInPlay), false);
    for (int32_t i = 0; i < 12; ++i)
        if (ownerTeam[i] >= 0 && ownerTeam[i] < 14) teamInPlay[ownerTeam[i]] = true;
    teamInPlay[1] = true;
}

uint32_t CWorldObjectManager::GetTeamColor(int32_t team) const {
    if (team == kTeamFriendlyNeutral || team == kTeamHostileNeutral) return 0xFF333333u;
    return team == localTeam ? 0xFF00FF00u : 0xFFFF0000u;
}

CWorldObject* CWorldObjectManager::CreateObject(int32_t type) {
    int32_t kind = ObjectTypePool(type);
    CWorldObject* object = kind < 0 ? nullptr : ConstructIn(m_pools, kind, m_factories[type]);
    if (object) object->poolKind = kind;
    return object;
}

void CWorldObjectManager::DestroyObject(CWorldObject* object) {
    if (!object) return;
    // The effects end while the object is still whole: their end steps may ask it.
    object->RemoveAllEffects();
    if (object->poolKind < 0 || object->poolKind >= POOL_COUNT) {
        delete object;
        return;
    }
    DestroyIn(m_pools, object);
}

int CWorldObjectManager::RegisterObject(CWorldObject* object, int32_t id, int addToTree, int addToTerrain) {
    if (!object) return 0;
    if (id < 0) {
        if (nextId >= kIdLimit) {
            // Past the limit: the first free id from 100 up.
            auto first = m_objectTable.begin() + kFirstId;
            auto it = std::find(first, m_objectTable.end(), nullptr);
            if (it == m_objectTable.end()) return 0;
            id = static_cast<int32_t>(it - m_objectTable.begin());
        } else {
            if (static_cast<size_t>(nextId) >= m_objectTable.size()) GrowTables();
            id = nextId++;
        }
    } else {
        if (id >= kIdLimit) return 0;
        if (nextId <= id) nextId = id + 1;
        while (static_cast<size_t>(id) >= m_objectTable.size()) GrowTables();
    }
    CWorldObject* holder = m_objectTable[id];
    if (holder == object) return 1;
    if (holder) UnregisterObject(holder);
    object->id = id;
    object->unregistered = 0;
    m_objectTable[id] = object;
    m_objects.push_back(object);
    if (g_pSpatialTree && addToTree) g_pSpatialTree->Insert(object);
    if (g_pTerrainEngine) g_pTerrainEngine->AddToObjectSets(object, addToTerrain);
    if (g_pWalkGridView) object->OccupyGrid(1);
    objectNames[id] = object->name;
    objectOwners[id] = object->owner;
    return 1;
}

void CWorldObjectManager::UnregisterObject(CWorldObject* object) {
    if (!object || object->unregistered) return;
    if (object->id >= 0 && static_cast<size_t>(object->id) < m_objectTable.size() &&
        m_objectTable[object->id] == object)
        m_objectTable[object->id] = nullptr;
    if (g_pSpatialTree) g_pSpatialTree->Remove(object);
    if (g_pTerrainEngine) g_pTerrainEngine->RemoveFromObjectSets(object);
    object->terrainHandles[0] = object->terrainHandles[1] = nullptr;
    object->VacateGrid(1);
    RemoveSight(*object);
    object->unregistered = 1;
    if (m_updating) {
        // The walk holds the list: the entry goes when the walk has ended.
        m_pendingDestroy.push_back(object);
        return;
    }
    auto it = std::find(m_objects.begin(), m_objects.end(), object);
    if (it != m_objects.end()) m_objects.erase(it);
    DestroyObject(object);
}

CWorldObject* CWorldObjectManager::GetObjectById(int32_t id) const {
    if (id < 0 || static_cast<size_t>(id) >= m_objectTable.size()) return nullptr;
    return m_objectTable[id];
}

void CWorldObjectManager::Update(float elapsed, IWorldGround* ground) {
    if (ground && effectMode != 2) ApplyWaterDepth(*ground);
    gameClock += elapsed;
    m_updating = true;
    // Objects registered during the walk are appended and updated this frame too.
    for (CWorldObject* o : m_objects) {
        if (o->unregistered) continue;
        if (o->Update(elapsed) == 0) UnregisterObject(o);
    }
    m_updating = false;
    if (m_pendingDestroy.empty()) return;
    m_objects.remove_if([](CWorldObject* o) { return o->unregistered != 0; });
    std::vector<CWorldObject*> pending;
    pending.swap(m_pendingDestroy);
    for (CWorldObject* o : pending) DestroyObject(o);
}

void CWorldObjectManager::QueryRange(const Vec3& centre, float radius, uint32_t excludeFlagsA, uint32_t excludeFlagsB,
                                     CWorldObject* self, std::vector<CWorldObject*>& out) const {
    out.clear();
    if (!g_pSpatialTree) return;
    SpatialFilter filter;
    filter.x = centre.x;
    filter.z = centre.z;
    filter.radius = radius;
    g_pSpatialTree->QueryRange(filter, out, false);
    std::erase_if(out, [&](CWorldObject* o) { return !PassesFilter(*o, excludeFlagsA, excludeFlagsB, self); });
}

int CWorldObjectManager::PassesFilter(CWorldObject& o, uint32_t excludeA, uint32_t excludeB,
                                      CWorldObject* self) const {
    if ((o.unitFlags & excludeA) || (o.stateFlags & excludeB)) return 0;
    if ((excludeB & 0x80000) && o.IsUntargetable()) return 0;
    if ((excludeB & 0x10000) && &o == self) return 0;
    if (self) {
        if ((excludeB & 0x40000) && o.team != self->team) return 0;
        if ((excludeB & 0x20000) && &o != self && o.team == self->team) return 0;
    }
    if (!(excludeB & 0xC0000000u)) return 1;
    if ((excludeB & 0x40000000u) && (o.stateFlags & 0x1000000)) return 1;
    if ((excludeB & 0x80000000u) && (o.stateFlags & 0x2000000) && !(o.stateFlags & 0x1000000)) return 1;
    return 0;
}

int32_t CWorldObjectManager::GetTargetFailure(CWorldObject& o, uint32_t flagsB, uint32_t flagsA,
                                              CWorldObject* self) const {
    if ((flagsB & 0x10000) && &o == self) return 13;
    if (self && (flagsB & 0x40000) && o.team != self->team) return 14;
    if (self && (flagsB & 0x20000) && o.team == self->team && &o != self) return 15;
    bool wantsHp = (flagsB & 0x10000000) != 0, wantsMana = (flagsB & 0x20000000) != 0;
    bool fullHp = o.hitPoints == o.GetStat(5), fullMana = o.mana == o.GetStat(6);
    if (wantsHp && !wantsMana && fullHp) return 27;
    if (wantsMana && !wantsHp && fullMana) return 28;
    if (wantsHp && wantsMana && fullHp && fullMana) return 29;
    if ((flagsB & 0x80000) && o.IsUntargetable()) return 16;
    int32_t code = FirstCode(std::begin(kStateCodes), std::end(kStateCodes), flagsB, o.stateFlags);
    if (code >= 0) return code;
    return FirstCode(std::begin(kUnitCodes), std::end(kUnitCodes), flagsA, o.unitFlags);
}

int CWorldObjectManager::GetAttackFailure(CWorldObject& o, uint32_t /*flagsB*/, uint32_t flagsA, CWorldObject* self,
                                          int32_t* code) const {
    if (&o == self || (self && o.team == self->team) || o.deadFlag || !o.alive || (o.unitFlags & 0x80000)) return 0;
    int32_t c = o.IsUntargetable() ? 37 : FirstCode(std::begin(kAttackCodes), std::end(kAttackCodes), flagsA, o.unitFlags);
    if (code) *code = c;
    return 1;
}

bool CWorldObjectManager::HasLocalAuthority(const CWorldObject& o) const {
    if (gameMode == 3 || authorityWithdrawn) return false;
    if (!online) return true;
    if (gameMode != 0 && gameMode != 4) return true;
    if (!o.IsCombatObject() || o.owner >= 24) return host != 0;
    if (o.owner >= 12) {
        int32_t slot = o.owner - 12;
        if (slot == localSlot && gameMode != 4) return true;
        bool present = slotOccupied[slot] && !slotGone[slot];
        return present ? false : host != 0;
    }
    return o.owner == localSlot && gameMode != 4;
}

void CWorldObjectManager::SetSightGrade(int32_t grade) {
    switch (grade) {
        case 0: sightMoveThreshold = 30.0f, sightGradeFlag = 0; break;
        case 1: sightMoveThreshold = 20.0f, sightGradeFlag = 1; break;
        case 2: sightMoveThreshold = 10.0f, sightGradeFlag = 1; break;
        default: return;
    }
    if (sightGrid) sightGrid->SetSmoothFade(sightGradeFlag);
}

void CWorldObjectManager::AddCircle(CWorldObject& o, float radius) {
    if (sightGrid && o.sight.added) sightGrid->RemoveSight(&o.sight, o.sightPosition, o.sightRadius, o.team, 0);
    if (sightGrid) sightGrid->AddSight(&o.sight, o.position, radius, o.team, CSightGrid::MODE_LINE_OF_SIGHT);
    o.sightRadius = radius;
    o.sightPosition = o.position;
}

void CWorldObjectManager::UpdateSight(CWorldObject& o, float radius, float elapsed) {
    if (o.team < 0 || o.team >= kPlayerSlots) return;
    if (radius < 1.0f) {
        if (sightGrid && o.sight.added) sightGrid->RemoveSight(&o.sight, o.sightPosition, o.sightRadius, o.team, 0);
        o.sightRadius = 0;
        o.sightMoving = 0;
        o.sightPosition = o.position;
        return;
    }
    float dx = o.position.x - o.sightPosition.x, dz = o.position.z - o.sightPosition.z;
    if (radius == o.sightRadius && std::sqrt(dx * dx + dz * dz) <= sightMoveThreshold) return;
    if (radius == o.sightRadius) {
        AddCircle(o, radius);
        return;
    }
    if (!o.sightMoving || o.sightTarget != radius) {
        o.sightMoving = 1;
        o.sightTarget = radius;
    }
    float remaining = std::fabs(radius - o.sightRadius);
    float step = std::min(std::max(std::trunc(elapsed * 100.0f), 1.0f), remaining);
    AddCircle(o, radius > o.sightRadius ? o.sightRadius + step : o.sightRadius - step);
    if (o.sightRadius == radius) o.sightMoving = 0;
}

void CWorldObjectManager::StampSight(CWorldObject& o, float radius) {
    if (o.team < 0 || o.team >= kPlayerSlots) return;
    AddCircle(o, radius);
}

void CWorldObjectManager::StampOnce(CWorldObject& o, int32_t team, float radius) {
    if (team < 0 || team >= kPlayerSlots || !sightGrid) return;
    RemoveStamp(o);
    sightGrid->AddSight(&o.stamp, o.position, radius, team, CSightGrid::MODE_DISC);
}

void CWorldObjectManager::RemoveStamp(CWorldObject& o) {
    if (sightGrid && o.stamp.added)
        sightGrid->RemoveSight(&o.stamp, o.stamp.position, o.stamp.range, o.stamp.layer, o.stamp.mode);
}

void CWorldObjectManager::RemoveSight(CWorldObject& o) {
    if (sightGrid && o.sight.added)
        sightGrid->RemoveSight(&o.sight, o.sight.position, o.sight.range, o.sight.layer, o.sight.mode);
    RemoveStamp(o);
    o.sightRadius = 0;
    o.sightMoving = 0;
}

void CWorldObjectManager::StepFormationPoint(Vec3* point, int32_t* step, float radius) const {
    if (!point || !step) return;
    int32_t s = *step >= 0 && *step < 12 ? *step : 0;
    float d = 1.5f * radius;
    point->x += kFormation[s][0] * d;
    point->z += kFormation[s][1] * d;
    *step = s == 11 ? 0 : s + 1;
}

void CWorldObjectManager::BuildSpawnCandidates(float radius) {
    float s = 3.0f * radius;
    for (int i = 0; i < 25; ++i) m_candidates[i] = {kRings[i][0] * s, 0, kRings[i][1] * s};
}

int CWorldObjectManager::FindFreeSpawnPoint(const Vec3& position, float size, int32_t wanted, Vec3* out) const {
    if (!out || wanted <= 0) return 0;
    Vec3 order[25];
    std::copy(std::begin(m_candidates), std::end(m_candidates), order);
    // Ring 2 in random order: each place swapped with one drawn from the ring.
    for (int i = kRing2First; i < 25; ++i)
        std::swap(order[i], order[kRing2First + platform::CrtRand() % (25 - kRing2First)]);
    int32_t found = 0;
    auto tryPoint = [&](const Vec3& p) {
        if (found < wanted && IsAreaFree(p, size)) out[found++] = p;
    };
    for (const Vec3& offset : order) tryPoint(position + offset);
    float t = 1.5f * size;
    for (int k = 0; k <= 6 && found < wanted; ++k) {
        float step = static_cast<float>(k) * t;
        tryPoint({position.x - 3 * t + step, position.y, position.z + 3 * t});
        tryPoint({position.x - 3 * t, position.y, position.z + 3 * t - step});
    }
    for (int k = 0; k <= 6 && found < wanted; ++k) {
        float step = static_cast<float>(k) * t;
        tryPoint({position.x - 3 * t + step, position.y, position.z - 3 * t});
        tryPoint({position.x + 3 * t, position.y, position.z + 3 * t - step});
    }
    int32_t result = found;
    while (found < wanted) out[found++] = position;
    return result;
}

bool CWorldObjectManager::IsAreaFree(const Vec3& position, float size) const {
    const CWalkGridView* grid = g_pWalkGridView;
    if (!grid || !grid->cells || !(grid->cellSize > 0)) return false;
    float half = size * 0.5f;
    float fx0 = std::floor((position.x - half) / grid->cellSize), fx1 = std::floor((position.x + half) / grid->cellSize);
    float fz0 = std::floor((position.z - half) / grid->cellSize), fz1 = std::floor((position.z + half) / grid->cellSize);
    if (!(fx0 >= 0 && fz0 >= 0 && fx1 < static_cast<float>(grid->width) && fz1 < static_cast<float>(grid->height)))
        return false;
    for (int32_t z = static_cast<int32_t>(fz0); z <= static_cast<int32_t>(fz1); ++z)
        for (int32_t x = static_cast<int32_t>(fx0); x <= static_cast<int32_t>(fx1); ++x)
            if (grid->cells[static_cast<size_t>(z) * static_cast<size_t>(grid->width) + static_cast<size_t>(x)] &
                0x0FFFFFFFu)
                return false;
    return true;
}

void CWorldObjectManager::AddPlayerRecord(int32_t slot, CGameDataRecord* record) {
    if (slot >= 0 && slot < 12 && record) m_playerRecords[slot].push_back(record);
}

int CWorldObjectManager::LinkPlayerRecords() {
    for (auto& list : m_playerRecords)
        for (CGameDataRecord* r : list)
            if (!r->Link()) return 0;
    return 1;
}

void CWorldObjectManager::ReleasePlayerRecords() {
    for (auto& list : m_playerRecords) {
        for (CGameDataRecord* r : list) r->ReleaseResources();
        list.clear();
    }
}

int32_t CWorldObjectManager::CountActivePlayers(int32_t team) const {
    if (gameMode == 4) return 0;
    int32_t n = 0;
    for (int32_t i = 0; i < 12; ++i)
        if (slotOccupied[i] && !slotGone[i] && (team == -1 || ownerTeam[i] == team)) ++n;
    return n;
}

float CWorldObjectManager::GetTeamDamageScale(float amount, int32_t count) const {
    int32_t n = count == -1 ? CountActivePlayers(-1) : count;
    if (n >= 12 || !(amount > 0)) return amount;
    return amount * (static_cast<float>(n) * 0.05f + 0.4f);
}

void CWorldObjectManager::ApplyWaterDepth(IWorldGround& ground) {
    for (CWorldObject* o : m_objects) {
        if (!(o->unitFlags & 0x1) || (o->unitFlags & 0x400000)) continue;
        float water = ground.GetWaterHeight(o->position);
        float height = ground.GetHeightAt(o->position);
        if (ground.IsWaterAt(o->position) && height <= water) {
            if (!o->inWater) o->enteredWater = 1;
            o->inWater = 1;
            o->waterDepth = water - height;
        } else {
            o->inWater = 0;
            o->waterDepth = 0;
        }
    }
}

CSkillInstance* CWorldObjectManager::CreateSkillInstance(CGameDataRecord* skillRecord) {
    auto* r = dynamic_cast<CSkillRecord*>(skillRecord);
    if (!r) return nullptr;
    int32_t kind = SkillPool(static_cast<int32_t>(r->kind));
    CSkillInstance* s = kind < 0 ? nullptr : ConstructIn(m_pools, kind, m_skillFactories[r->kind]);
    if (!s) return nullptr;
    s->poolKind = kind;
    s->record = r;
    s->index = s->id = static_cast<int32_t>(m_skillInstances.size());
    m_skillInstances.push_back(s);
    ++m_liveSkills;
    return s;
}

void CWorldObjectManager::FreeSkillInstance(CSkillInstance* s) {
    if (!s) return;
    if (s->id >= 0 && static_cast<size_t>(s->id) < m_skillInstances.size() && m_skillInstances[s->id] == s)
        m_skillInstances[s->id] = nullptr;
    DestroyIn(m_pools, s);
    --m_liveSkills;
}

CSkillInstance* CWorldObjectManager::GetSkillInstance(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_skillInstances.size()) return nullptr;
    return m_skillInstances[index];
}

CUnitEffect* CWorldObjectManager::CreateUnitEffect(CGameDataRecord* effectRecord) {
    auto* r = dynamic_cast<CEffectRecord*>(effectRecord);
    if (!r) return nullptr;
    int32_t kind = EffectPool(static_cast<int32_t>(r->kind));
    CUnitEffect* e = kind < 0 ? nullptr : ConstructIn(m_pools, kind, m_effectFactories[r->kind]);
    if (!e) return nullptr;
    e->poolKind = kind;
    e->record = r;
    ++m_liveEffects;
    return e;
}

void CWorldObjectManager::FreeUnitEffect(CUnitEffect* e) {
    if (!e) return;
    DestroyIn(m_pools, e);
    --m_liveEffects;
}

CInventoryItem* CWorldObjectManager::CreateInventoryItem(CGameDataRecord* itemRecord, uint32_t id, int32_t charges) {
    auto* r = dynamic_cast<CItemData*>(itemRecord);
    if (!r && (itemRecord || !id)) return nullptr;
    CInventoryItem* item =
        ConstructIn<CInventoryItem>(m_pools, POOL_INVENTORY_ITEM, [](void* p) { return new (p) CInventoryItem; });
    if (!item) return nullptr;
    item->poolKind = POOL_INVENTORY_ITEM;
    item->index = static_cast<int32_t>(m_inventoryItems.size());
    m_inventoryItems.push_back(item);
    ++m_liveItems;
    item->recordId = id ? id : r->id;
    item->charges = id || !r ? charges : static_cast<int32_t>(r->itemWord[3]);
    item->SetRecord(r);
    return item;
}

void CWorldObjectManager::FreeInventoryItem(CInventoryItem* item) {
    if (!item) return;
    if (item->index >= 0 && static_cast<size_t>(item->index) < m_inventoryItems.size() &&
        m_inventoryItems[item->index] == item)
        m_inventoryItems[item->index] = nullptr;
    DestroyIn(m_pools, item);
    --m_liveItems;
}

void CWorldObjectManager::ApplyStatBonus(CUnit* unit, const StatBlock& bonuses, const StatBlock& modes, int add) {
    if (!unit) return;
    for (int32_t i = 0; i < kStatCount; ++i) {
        float bonus = BitsFloat(bonuses[static_cast<size_t>(i)]);
        if (bonus == 0.0f) continue;
        if (!add) bonus = -bonus;
        if (modes[static_cast<size_t>(i)] == 1)
            unit->stats.fraction[i] += bonus;
        else
            unit->stats.addB[i] += bonus;
        unit->RecalcStats(i);
    }
}

void CWorldObjectManager::AddStats(CUnit* unit, const StatBlock& values) {
    if (!unit) return;
    for (int32_t i = 0; i < kStatCount; ++i) {
        float value = BitsFloat(values[static_cast<size_t>(i)]);
        if (value == 0.0f) continue;
        unit->stats.addA[i] += value;
        unit->RecalcStats(i);
    }
}

CWorldObject* CWorldObjectManager::SpawnObject(int32_t kind, CWorldObject* source, int32_t type,
                                               CGameDataRecord* record, const Vec3& position, int32_t level,
                                               float yaw, float scale) {
    CWorldObject* o = CreateObject(type);
    if (!o) return nullptr;
    int32_t owner = source ? source->owner : kOwnerHostileNeutral;
    if (kind != 0 && owner >= 0 && owner < kPlayerSlots) owner += kPlayerSlots;
    o->SetOwner(owner);
    if (!o->InitFromRecord(position, record, level, yaw, scale)) {
        DestroyObject(o);
        return nullptr;
    }
    auto* c = o->IsCombatObject() ? static_cast<CCombatObject*>(o) : nullptr;
    if (!c) return o;
    const bool unitSource = source && source->IsUnit();
    auto makeMaster = [&] {
        if (!unitSource) return;
        c->leader = source;
        c->leaderId = source->id;
        ++source->refCount;
    };
    switch (kind) {
        case 2:
            c->summonFlags |= 0x8000;
            c->stateFlags |= 0x20;
            break;
        case 3:
            c->summonFlags |= 0x10000;
            c->currentOrders.Add(0, 8, position, -1, -1, false);
            c->stateFlags |= 0x20;
            break;
        case 5:
            c->summonFlags |= 0x100000;
            c->currentOrders.Add(0, 8, position, -1, -1, false);
            c->stateFlags |= 0x20;
            c->unitFlags |= 0x4000000;
            makeMaster();
            break;
        case 6:
            c->summonFlags |= 0x200000;
            if (c->stateFlags & 0x80000) c->unitFlags |= 0x4000000;
            makeMaster();
            break;
        default:
            break;
    }
    c->SetOrder(5, 0, position, -1, -1);
    return o;
}

int CWorldObjectManager::LoadMapObject(CFileStream& stream, int flag) {
    uint32_t kindFlags = 0;
    if (!stream.Serialize(kindFlags)) return 0;
    if (kindFlags != WO_WORLD_OBJECT) return 1;
    int32_t type = -1;
    if (!stream.Serialize(type)) return 0;
    CWorldObject* o = CreateObject(type);
    if (!o) {
        ErrorReport().SetError(ERR_DATA, "Wrong object type %d - %s", type, stream.path());
        return 0;
    }
    o->objectType = type;
    if (o->LoadFromMap(stream, flag)) return 1;
    if (!o->unregistered && GetObjectById(o->id) == o)
        UnregisterObject(o);
    else
        DestroyObject(o);
    return 0;
}

void CWorldObjectManager::ApplyItemUse(int32_t owner, int32_t unitId, int32_t slot, int sendCommand) {
    if (slot < 0 || slot >= CUnit::kInventorySlots || unitId < 0) return;
    CWorldObject* o = GetObjectById(unitId);
    if (!o || !o->IsUnit()) return;
    auto* unit = static_cast<CUnit*>(o);
    CInventoryItem* item = unit->Item(slot);
    if (!item) return;
    // The local player's own use ran when it was sent.
    if (sendCommand != 1 && owner == localSlot && gameMode != 3) return;
    CItemData* record = item->record;
    const uint32_t group = CUnit::CooldownGroup(*item);
    const uint32_t recordId = item->recordId;
    CSkillInstance* use = item->useSkill;
    if (record && record->kind == 0) {
        --item->charges;
        if (!use) AddStats(unit, record->statsA);
        if (item->charges <= 0) {
            unit->RemoveInventoryItem(slot);
            if (!use)
                FreeInventoryItem(item);
            else
                unit->AddItemInUse(item);
        }
    }
    if (sendCommand && g_pGameCommandManager)
        g_pGameCommandManager->BuildUseItem(unitId, static_cast<uint32_t>(owner), static_cast<uint32_t>(slot), 1);
    if (use) {
        use->RestartCooldown();
        auto names = [](const CItemData* r, uint32_t key) {
            return r && std::any_of(r->linkedItems.begin(), r->linkedItems.end(),
                                    [&](const RecordKey& k) { return k.key == key; });
        };
        for (int32_t s = 0; s < CUnit::kInventorySlots; ++s) {
            CInventoryItem* other = unit->Item(s);
            if (!other || !other->useSkill || other->useSkill == use) continue;
            if (CUnit::CooldownGroup(*other) == group || names(record, other->recordId) ||
                names(other->record, recordId))
                other->useSkill->RestartCooldown();
        }
    }
    if (record && record->effectResource && itemEffectHook) itemEffectHook(*unit, *record);
}

void CWorldObjectManager::CollectShotTargets(CWorldObject& shot, float range, float recordRange, uint32_t excludeA,
                                             uint32_t excludeB, CWorldObject* attacker, int32_t kind,
                                             std::vector<CWorldObject*>& out) {
    out.clear();
    const float radius = range > 0 ? range : recordRange;
    if (!(radius > 0)) return;
    QueryRange(shot.position, radius, excludeA, excludeB, attacker, out);
    std::erase(out, &shot);
    if (!attacker) return;
    for (CWorldObject* target : out) target->ReceiveAttack(attacker, kind);
}
