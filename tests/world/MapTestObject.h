// A placed test object for maps written and read in tests and benchmarks:
// its map record is the kind flags, type 0, then x and z; reading places and
// registers it.
#pragma once

#include "engine/core/FileStream.h"
#include "tests/world/TestWorldObject.h"
#include "world/ZEMMap.h"

class CMapTestObject : public CTestWorldObject {
public:
    int LoadFromMap(CFileStream& stream, int) override {
        if (stream.mode() == CFileStream::MODE_WRITE) {
            stream.WriteU32(CZEMMap::kWorldObjectEntry);
            stream.WriteU32(0);
        }
        float x = position.x, z = position.z;
        stream.Serialize(x);
        stream.Serialize(z);
        if (stream.Failed()) return 0;
        if (stream.mode() == CFileStream::MODE_WRITE) return 1;
        flags |= WO_KIND_UNIT;
        PlaceAt(x, z);
        return g_pWorldObjectManager->RegisterObject(this, -1, 1, 1);
    }
};

// Registers the map test object as object type 0 (units) of a manager.
inline void UseMapTestObjects(CWorldObjectManager& manager) {
    manager.SetObjectFactory(
        0, [](void* storage) -> CWorldObject* { return new (storage) CMapTestObject; }, sizeof(CMapTestObject));
}
