#include "world/NamedArea.h"

#include <algorithm>

#include "engine/core/NameHash.h"

void CNamedArea::Set(const platform::Vec3& c, const std::string& n, float w, float d) {
    centre = c;
    width = w;
    depth = d;
    name = n;
    nameHash = NameHash(name.c_str());
    minCorner = {c.x - w / 2, c.y, c.z - d / 2};
    maxCorner = {c.x + w / 2, c.y, c.z + d / 2};
    radius = std::max(w, d) / 2;
}
