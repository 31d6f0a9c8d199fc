// Fuzz target: entries of a map's object list (kind flags, object type and
// the object's own record with its saved state) read into a small world.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/MapObjectWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MapObjectWorld* world = new MapObjectWorld;
    CFileStream s;
    s.OpenMemory(std::vector<uint8_t>(data, data + size), "FUZZ.MAP");
    for (int i = 0; i < 4 && s.Remaining() > 0; ++i) {
        if (!world->manager.LoadMapObject(s, i & 1)) break;
    }
    // What was read writes back.
    for (CWorldObject* o : world->manager.Objects()) {
        CFileStream out;
        out.OpenMemoryWrite("OBJECT");
        if (!o->LoadFromMap(out, 0)) __builtin_trap();
    }
    world->manager.Update(0.1f, nullptr);
    world->manager.Clear();
    return 0;
}
