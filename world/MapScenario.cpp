#include "world/MapScenario.h"

#include <cmath>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/resource/Resource.h"
#include "engine/resource/ResourceManager.h"
#include "platform/CodePage.h"
#include "world/CombatObject.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"
#include "world/MapAreas.h"
#include "world/TriggerElements.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

CMapScenario* g_pMapScenario = nullptr;

namespace {

// The lords' UNIT record names (written here in UTF-8; the game data holds code page 949).
const char* const kLordRecordNames[2] = {"로드 뱀파이어", "로드 헌터"};

bool LordsOn() { return !g_pWorldObjectManager || !g_pWorldObjectManager->lordsOff; }

}  // namespace

bool HasScenarioAuthority() {
    return !g_pWorldObjectManager || !g_pWorldObjectManager->online || g_pWorldObjectManager->host;
}

bool FindMapArea(uint32_t hash, MapAreaView* out) {
    IMapAreas* areas = g_pMapScenario ? g_pMapScenario->Areas() : nullptr;
    return areas && areas->FindArea(hash, out);
}

CMapScenario::CMapScenario() { g_pMapScenario = this; }

CMapScenario::~CMapScenario() {
    Reset();
    if (g_pMapScenario == this) g_pMapScenario = nullptr;
}

int CMapScenario::LoadTriggers(CFileStream& stream) {
    if (stream.mode() == CFileStream::MODE_READ) {
        uint32_t count = 0;
        if (!stream.ReadU32(count) || count > kMaxTriggers) {
            ErrorReport().SetError(ERR_DATA, "Trigger count %u is damaged", count);
            return 0;
        }
        for (uint32_t i = 0; i < count; ++i) {
            m_triggers.push_back(std::make_unique<CTrigger>());
            if (!m_triggers.back()->Serialize(stream)) return 0;
        }
        uint32_t groups = 0;
        if (!stream.ReadU32(groups) || groups > kMaxGroups) {
            ErrorReport().SetError(ERR_DATA, "Spawn group count %u is damaged", groups);
            return 0;
        }
        for (uint32_t g = 0; g < groups; ++g) {
            m_spawnGroups.emplace_back();
            uint32_t units = 0;
            if (!stream.ReadU32(units) || units > kMaxGroupUnits) {
                ErrorReport().SetError(ERR_DATA, "Spawn group %u is damaged", g);
                return 0;
            }
            for (uint32_t u = 0; u < units; ++u) {
                uint32_t id = 0;
                if (!stream.ReadU32(id)) {
                    ErrorReport().SetError(ERR_DATA, "Spawn group %u is damaged", g);
                    return 0;
                }
                if (CGameDataRecord* record = FindGameRecord(CAT_UNIT, id)) m_spawnGroups.back().push_back(record);
            }
        }
        return FindLordRecords();
    }
    bool ok = stream.WriteU32(static_cast<uint32_t>(m_triggers.size()));
    for (auto& trigger : m_triggers)
        if (!trigger->Serialize(stream)) return 0;
    ok = ok && stream.WriteU32(static_cast<uint32_t>(m_spawnGroups.size()));
    for (const auto& group : m_spawnGroups) {
        ok = ok && stream.WriteU32(static_cast<uint32_t>(group.size()));
        for (const CGameDataRecord* record : group) ok = ok && stream.WriteU32(record->id);
    }
    return ok ? 1 : 0;
}

int CMapScenario::LinkTriggers() {
    for (auto& trigger : m_triggers)
        if (!trigger->AreActionsReady()) return 0;
    return 1;
}

int CMapScenario::CheckTriggers() {
    for (auto& trigger : m_triggers)
        if (!trigger->CheckReferences()) return 0;
    return 1;
}

void CMapScenario::UpdateTriggers(float elapsed) {
    for (auto it = m_triggers.begin(); it != m_triggers.end();) {
        if ((*it)->Evaluate(elapsed)) {
            ++it;
        } else {
            Retire(std::move(*it));
            it = m_triggers.erase(it);
        }
    }
}

void CMapScenario::Retire(std::unique_ptr<CTrigger> trigger) {
    for (const auto& action : trigger->actions)
        if (dynamic_cast<const CTriggerSpawnAction*>(action.get())) {
            m_retired.push_back(std::move(trigger));
            return;
        }
}

CTrigger* CMapScenario::FindTrigger(uint32_t hash) {
    for (auto& trigger : m_triggers)
        if (trigger->hash == hash) return trigger.get();
    return nullptr;
}

CTrigger* CMapScenario::FindSpawnTrigger(uint32_t hash) {
    if (CTrigger* trigger = FindTrigger(hash)) return trigger;
    for (auto& trigger : m_retired)
        if (trigger->hash == hash) return trigger.get();
    return nullptr;
}

void CMapScenario::SetTriggerEnabled(uint32_t hash, uint32_t enabled) {
    if (CTrigger* trigger = FindTrigger(hash)) trigger->enabled = enabled;
}

void CMapScenario::RemoveTrigger(uint32_t hash) {
    for (auto it = m_triggers.begin(); it != m_triggers.end(); ++it) {
        if ((*it)->hash == hash) {
            Retire(std::move(*it));
            m_triggers.erase(it);
            return;
        }
    }
}

int CMapScenario::FindLordRecords() {
    ScanLordTriggers();
    // The records are looked up once the triggers have given the lord time.
    if (m_lords.lordTime > 0 && LordsOn()) {
        // Entry 1's record first, as the lord records were always linked.
        for (int e = 1; e >= 0; --e) {
            const std::string name = platform::Utf8ToCp949(kLordRecordNames[e]);
            CGameDataRecord* record = FindGameRecord(CAT_UNIT, NameHash(name));
            if (!record) {
                ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_NOT_FOUND_DATA), name);
                return 0;
            }
            if (!record->Link()) return 0;
            m_lords.lordRecords[e] = record;
        }
    }
    return 1;
}

void CMapScenario::ScanLordTriggers() {
    for (LordEntry& entry : m_lords.entries) {
        entry.lordObjectId = -1;
        entry.markerObjectId = -1;
    }
    const bool lordsOn = LordsOn();
    m_lords.phase = LordBlock::PHASE_WAITING;
    for (auto& trigger : m_triggers) {
        const CTriggerCondition* first = trigger->conditions.empty() ? nullptr : trigger->conditions.front().get();
        bool lordTimer = false;
        for (auto& action : trigger->actions) {
            auto* spawn = dynamic_cast<CTriggerSpawnAction*>(action.get());
            if (!spawn) continue;
            if (spawn->lordFlag) {
                // A group spawn names the lord it stands for by its index.
                const int32_t index = static_cast<int32_t>(spawn->lordIndex);
                if (index >= 2) continue;
                if (index < 0) break;
                if (first && first->Kind() == 3) {
                    const int number = index == 0 ? 1 : 0;
                    LordEntry& entry = m_lords.entries[number];
                    entry.triggerHash = trigger->hash;
                    entry.markerObjectId = first->ObjectId();
                    if (lordsOn) entry.lordObjectId = kLordIds[number];
                    break;
                }
                if (lordsOn) {
                    m_lords.lordTime = 0;
                    return;
                }
                break;
            }
            if (spawn->fixedOwnerFlag) {
                // A fixed-owner spawn places the lord of the team it names.
                if (spawn->owner == 24 || spawn->owner == 25) {
                    const uint32_t team = spawn->owner - 24;
                    m_lords.entries[team].lordObjectId = kLordIds[team];
                }
                lordTimer = true;
            }
        }
        if (lordTimer) {
            if (first && first->Kind() == 4) {
                m_lords.lordTime = first->Time();
            } else {
                m_lords.lordTime = 0;
                return;
            }
        }
    }
    if (lordsOn)
        for (const LordEntry& entry : m_lords.entries)
            if (entry.markerObjectId <= 0) m_lords.lordTime = 0;
}

void CMapScenario::TrackLords() {
    if (!(m_lords.lordTime > 0) || !LordsOn()) return;
    for (LordEntry& entry : m_lords.entries) {
        CWorldObject* marker = nullptr;
        if (entry.markerObjectId > 0 && g_pWorldObjectManager)
            marker = g_pWorldObjectManager->GetObjectById(entry.markerObjectId);
        if (!marker) {
            // Without its spot a lord cannot appear: the map has no lords.
            m_lords.lordTime = 0;
            return;
        }
        entry.spawnPosition[0] = marker->position.x;
        entry.spawnPosition[1] = marker->position.y;
        entry.spawnPosition[2] = marker->position.z;
        entry.yaw = 0;
        entry.owner = marker->owner;
    }
}

void CMapScenario::UpdateLords(float elapsed) {
    if (!(m_lords.lordTime > 0) || !g_pWorldObjectManager || !g_pGameCommandManager) return;
    CWorldObjectManager& om = *g_pWorldObjectManager;
    CGameCommandManager& cm = *g_pGameCommandManager;
    if (m_lords.phase == LordBlock::PHASE_WAITING) {
        if (om.gameClock < m_lords.lordTime) return;
        // Every client counts the phase; the host alone announces.
        if (HasScenarioAuthority()) {
            for (const LordEntry& entry : m_lords.entries) {
                if (entry.lordObjectId < 0) continue;
                cm.BuildTriggerControl(0, entry.triggerHash, 1);
                cm.BuildGameEvent(5, entry.markerObjectId, -1, 1);
            }
            cm.BuildGameEvent(6, 0, 0, 1);
        }
        m_lords.phase = LordBlock::PHASE_ANNOUNCED;
        return;
    }
    if (m_lords.phase != LordBlock::PHASE_MARCHING) return;
    m_lords.marchTimer += elapsed;
    bool check = false;
    if (m_lords.marchTimer > kMarchCheck) {
        m_lords.marchTimer = 0;
        check = true;
    }
    for (int e = 0; e < 2; ++e) {
        const LordEntry& entry = m_lords.entries[e];
        if (entry.lordObjectId < 0) continue;
        CWorldObject* lord = om.GetObjectById(entry.lordObjectId);
        if (!lord || !lord->alive) {
            if (HasScenarioAuthority()) cm.BuildPlayerEvent(0, e == 0 ? 1 : 0, 1);
            m_lords.phase = LordBlock::PHASE_ENDED;
            return;
        }
        if (check && !m_lords.reordered[e] && om.HasLocalAuthority(*lord)) ReorderLord(e, *lord);
    }
}

void CMapScenario::ReorderLord(int entry, CWorldObject& lord) {
    auto* marching = dynamic_cast<CCombatObject*>(&lord);
    if (!marching || marching->order.kind != 3 || marching->order.subKind != 2) return;
    CWorldObject* other = g_pWorldObjectManager->GetObjectById(m_lords.entries[1 - entry].lordObjectId);
    if (!other || !g_pGameCommandManager) return;
    const float reach = other->bounds.horizontalRadius;
    const platform::Vec3& goal = marching->order.point;
    if (std::fabs(goal.x - other->position.x) > reach || std::fabs(goal.z - other->position.z) > reach) {
        g_pGameCommandManager->BuildUnitOrder(lord.id, lord.hitPoints, 3, 2, other->position, lord.position, -1, -1,
                                              1);
        m_lords.reordered[entry] = true;
    }
}

void CMapScenario::SpawnLords(int32_t level0, int32_t level1) {
    if (!LordsOn() || !g_pWorldObjectManager) {
        m_lords.phase = LordBlock::PHASE_MARCHING;
        return;
    }
    CWorldObjectManager& om = *g_pWorldObjectManager;
    for (int e = 0; e < 2; ++e) {
        LordEntry& entry = m_lords.entries[e];
        CGameDataRecord* record = m_lords.lordRecords[e];
        if (!record) continue;
        CWorldObject* lord = om.CreateObject(0);
        if (!lord) continue;
        lord->owner = entry.owner;
        lord->team = entry.owner >= 0 && entry.owner < kOwnerCount ? om.ownerTeam[entry.owner] : 0;
        const platform::Vec3 at{entry.spawnPosition[0], entry.spawnPosition[1], entry.spawnPosition[2]};
        const int32_t level = e == 0 ? level0 : level1;
        if (!lord->InitFromRecord(at, record, level > 0 ? level : 1, entry.yaw, 1.0f)) {
            om.DestroyObject(lord);
            continue;
        }
        lord->recordName = record->name;
        auto* combat = dynamic_cast<CCombatObject*>(lord);
        if (combat) {
            combat->RebuildSkills(-1);
            combat->SetOrder(0, 0, at, -1, -1);
        }
        platform::Vec3 goal = at;
        MapAreaView area;
        char name[8] = "Team2";
        name[4] = e == 0 ? '2' : '1';
        if (m_areas && m_areas->FindArea(NameHash(name), &area)) {
            goal = area.centre;
            platform::Vec3 toward{goal.x - at.x, 0, goal.z - at.z};
            const float length = std::sqrt(toward.x * toward.x + toward.z * toward.z);
            if (length > 0) lord->SetFacing({toward.x / length, 0, toward.z / length});
        }
        if (!om.RegisterObject(lord, kLordIds[e], 1, 1)) {
            om.DestroyObject(lord);
            continue;
        }
        if (g_pGameCommandManager)
            g_pGameCommandManager->BuildUnitOrder(lord->id, lord->hitPoints, 3, 2, goal, lord->position, -1, -1, 0);
    }
    m_lords.phase = LordBlock::PHASE_MARCHING;
}

void CMapScenario::ReleaseLordRecords() {
    for (CGameDataRecord*& record : m_lords.lordRecords) {
        if (record) record->ReleaseResources();
        record = nullptr;
    }
    m_lords.lordTime = 0;
}

void CMapScenario::HoldResource(CResource* resource) {
    if (resource) m_held.push_back(resource);
}

void CMapScenario::Reset() {
    m_triggers.clear();
    m_retired.clear();
    m_spawnGroups.clear();
    ReleaseLordRecords();
    for (CResource* resource : m_held) {
        if (g_pResourceManager)
            g_pResourceManager->ReleaseResource(resource);
    }
    m_held.clear();
}
