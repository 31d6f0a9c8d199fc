// A building: a combat object that stands still, fights when its record says
// so and regenerates hit points.
#pragma once

#include "world/CombatObject.h"

class CBuildingData;

class CBuilding : public CCombatObject {
public:
    CBuilding() {
        flags |= WO_KIND_BUILDING;
        objectType = 1;
    }

    int InitFromRecord(const platform::Vec3& position, CGameDataRecord* record, int32_t level, float yaw,
                       float scale) override;
    void OnLevelChanged() override;
    void RecalcStats(int32_t index) override;
    float GetAcquireRange() override { return attackRange; }
    void Regenerate(float elapsed) override;

    CBuildingData* BuildingRecord() const;
    // Record flag bit 0: the building attacks (attack power, interval and hit count).
    bool Fights() const;

    float regenerationTimer = 0;
    uint32_t orderFlags = 0;
};
