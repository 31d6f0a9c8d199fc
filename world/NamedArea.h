// A named box on the map: the start areas "Team1".."Team12", the places the
// triggers and the lords refer to. The corners and the radius (half the larger
// side) follow from the centre and the two sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Math.h"

class CNamedArea {
public:
    virtual ~CNamedArea() = default;

    void Set(const platform::Vec3& centre, const std::string& name, float width, float depth);

    platform::Vec3 centre;
    float width = 0, depth = 0;
    platform::Vec3 minCorner, maxCorner;
    float radius = 0;
    std::string name;
    uint32_t nameHash = 0;
    // The trigger-area tracking of heroes (ids, -1 for a free slot) and of other units.
    std::vector<int32_t> heroIds;
    std::vector<int32_t> unitIds;
};
