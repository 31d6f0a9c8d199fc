// Scenery with hit points: it blocks the walk grid unless its record says
// otherwise.
#pragma once

#include "world/WorldObject.h"

class CDecorationData;

class CDecoration : public CWorldObject {
public:
    CDecoration() {
        flags |= WO_KIND_DECORATION;
        objectType = 2;
    }

    int InitFromRecord(const platform::Vec3& position, CGameDataRecord* record, int32_t level, float yaw,
                       float scale) override;
    // 4: the record's first value; 5: its hit points.
    float GetStat(int32_t index) override;

    CDecorationData* DecorationRecord() const;
};
