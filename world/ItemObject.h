// An item lying on the ground, to be picked up.
#pragma once

#include "world/WorldObject.h"

class CItemObject : public CWorldObject {
public:
    static constexpr int32_t kGroundAction = 15;

    CItemObject() {
        flags |= WO_KIND_ITEM;
        objectType = 3;
    }

    int InitFromRecord(const platform::Vec3& position, CGameDataRecord* record, int32_t level, float yaw,
                       float scale) override;
    float GetStat(int32_t index) override { return index == 5 ? 1.0f : 0.0f; }

    int32_t itemCount = 1;
};

// An item a dying unit drops: the ITEM record's object with the count, at the
// point, registered under the id the record carries. Null when the record or
// the id is not usable.
CItemObject* PlaceDroppedItem(int32_t count, uint32_t recordId, const platform::Vec3& point, uint32_t id);
