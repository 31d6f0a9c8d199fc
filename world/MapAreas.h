// What the triggers and the mission scripts need of the map's named box
// areas. The map container implements it and hands itself to the scenario;
// tests give their own.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math.h"

struct MapAreaView {
    platform::Vec3 centre;
    float width = 0;  // full extent along x
    float depth = 0;  // full extent along z
    // The hero ids the area tracks for alerts (the map's own list).
    std::vector<int32_t>* heroIds = nullptr;
};

class IMapAreas {
public:
    virtual ~IMapAreas() = default;
    // False when the map has no area whose name hashes to hash.
    virtual bool FindArea(uint32_t hash, MapAreaView* out) = 0;
};
