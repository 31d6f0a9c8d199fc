// A small world object for the manager and quadtree tests: a square footprint
// at a place, fixed stats, and an Update that runs a script.
#pragma once

#include <functional>

#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

class CTestWorldObject : public CWorldObject {
public:
    CTestWorldObject() { ++liveCount; }
    ~CTestWorldObject() override { --liveCount; }

    int Update(float /*dt*/) override {
        ++updates;
        return script ? script(*this) : 1;
    }
    int InitFromRecord(const platform::Vec3& /*p*/, CGameDataRecord* /*r*/, int32_t /*l*/, float /*y*/,
                       float /*s*/) override {
        return 1;
    }
    float GetStat(int32_t index) override { return index == 5 ? maxHp : index == 6 ? maxMana : 0.0f; }

    // Footprint of half size `half` around (x, z); kind bits of a unit by default.
    void PlaceAt(float x, float z, float half = 2.0f) {
        position = {x, 0, z};
        bounds.SetBox({-half, 0, -half}, {half, 4, half}, position, 0, 1.0f, 1);
    }

    std::function<int(CTestWorldObject&)> script;
    int updates = 0;
    float maxHp = 100, maxMana = 50;
    static inline int liveCount = 0;
};

// Registers the test object as object type 0 (units) of a manager.
inline void UseTestObjects(CWorldObjectManager& manager) {
    manager.SetObjectFactory(
        0, [](void* storage) -> CWorldObject* { return new (storage) CTestWorldObject; }, sizeof(CTestWorldObject));
}

inline CTestWorldObject* NewTestObject(CWorldObjectManager& manager, float x = 50, float z = 50, int32_t team = 0) {
    auto* o = static_cast<CTestWorldObject*>(manager.CreateObject(0));
    if (!o) return nullptr;
    o->flags |= WO_KIND_UNIT;
    o->team = team;
    o->PlaceAt(x, z);
    return o;
}
