#include "world/Building.h"

#include <algorithm>

#include "world/BuildingData.h"
#include "world/WorldObjectManager.h"

CBuildingData* CBuilding::BuildingRecord() const { return dynamic_cast<CBuildingData*>(record); }

bool CBuilding::Fights() const { return record && (record->flags & 0x1); }

int CBuilding::InitFromRecord(const platform::Vec3& at, CGameDataRecord* rec, int32_t newLevel, float yaw,
                              float scale) {
    if (!dynamic_cast<CBuildingData*>(rec) || !InitCombat(at, rec, newLevel, yaw, scale)) return 0;
    RecalcStats(17);
    orderFlags |= 0x10000;
    if (!Fights()) orderFlags |= 0x8000;
    stateFlags |= 0x20;
    RebuildSkills(-1);
    return 1;
}

void CBuilding::OnLevelChanged() {
    stats.ClearBonuses();
    CBuildingData* d = BuildingRecord();
    if (!d) return;
    for (int32_t i = 0; i < kStatCount; ++i) {
        const bool attack = i == 3 || i == 9 || i == 11;
        stats.base[i] = attack && !Fights() ? 0.0f : BitsFloat(d->baseStats[static_cast<size_t>(i)]);
    }
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (m && m->IsNetworkGame() && team == 1) {
        const int32_t n = m->CountActivePlayers(0) + m->CountActivePlayers(1);
        for (int32_t s : {4, 5, 7}) stats.base[s] = m->GetTeamDamageScale(stats.base[s], n);
    }
}

void CBuilding::RecalcStats(int32_t index) {
    if (index == 17) {
        for (int32_t i = 0; i < kStatCount; ++i) RecalcStats(i);
        return;
    }
    if (index < 0 || index >= kStatCount || index == 6 || index == 10) return;
    if ((index == 3 || index == 9 || index == 11) && !Fights()) return;
    const StatArrays& s = stats;
    const float old = s.final[index];
    const float now = s.base[index] * (1.0f + s.fraction[index]) + s.addA[index] + s.addB[index];
    stats.final[index] = now;
    if (index == 5 && old != now) hitPoints = KeepRatio(hitPoints, old, now);
}

void CBuilding::Regenerate(float elapsed) {
    regenerationTimer += elapsed;
    if (regenerationTimer < 0.25f) return;
    const float maximum = GetStat(5);
    if (hitPoints < maximum) hitPoints = std::min(hitPoints + regenerationTimer * GetStat(7), maximum);
    regenerationTimer = 0;
}
