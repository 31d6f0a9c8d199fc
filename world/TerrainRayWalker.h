// Walks the square cells of a grid (the 160-unit patches of the terrain, or
// the 20-unit quads of one patch) in the order a ray's ground-plane
// projection crosses them. The direction's y is dropped and the rest
// normalised; a ray crossing a corner exactly moves on both axes at once.
#pragma once

#include <cstdint>

#include "platform/Math.h"

class CTerrainRayWalker {
public:
    // False for a vertical ray (no ground-plane direction): only the cell
    // under the origin is to be tested then.
    bool Start(const platform::Vec3& origin, const platform::Vec3& direction, float cellSize);
    // Moves to the next cell the ray enters.
    void Step();
    int32_t CellX() const { return m_cellX; }
    int32_t CellZ() const { return m_cellZ; }
    // True when the walk is outside 0..countX-1 x 0..countZ-1 and moving away from it.
    bool LeftGrid(int32_t countX, int32_t countZ) const;

private:
    platform::Vec3 m_origin;
    float m_dirX = 0, m_dirZ = 0;
    float m_size = 1;
    int32_t m_cellX = 0, m_cellZ = 0;
    int32_t m_stepX = 1, m_stepZ = 1;
};
