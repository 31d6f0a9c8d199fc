#include "world/TerrainRayWalker.h"

#include <cfloat>
#include <cmath>

namespace {
int32_t CellOf(float coordinate, float size) { return static_cast<int32_t>(std::floor(coordinate / size)); }
}  // namespace

bool CTerrainRayWalker::Start(const platform::Vec3& origin, const platform::Vec3& direction, float cellSize) {
    m_origin = origin;
    m_size = cellSize > 0 ? cellSize : 1.0f;
    m_cellX = CellOf(origin.x, m_size);
    m_cellZ = CellOf(origin.z, m_size);
    const float length = std::sqrt(direction.x * direction.x + direction.z * direction.z);
    if (!(length > 0)) {
        m_dirX = m_dirZ = 0;
        return false;
    }
    m_dirX = direction.x / length;
    m_dirZ = direction.z / length;
    m_stepX = m_dirX > 0 ? 1 : -1;
    m_stepZ = m_dirZ > 0 ? 1 : -1;
    return true;
}

void CTerrainRayWalker::Step() {
    // The ray leaves the current cell through its upper boundary when it runs
    // toward +, through its lower one otherwise.
    auto exitTime = [this](int32_t cell, int32_t step, float origin, float dir) {
        if (dir == 0) return FLT_MAX;
        const float boundary = static_cast<float>(step > 0 ? cell + 1 : cell) * m_size;
        return (boundary - origin) / dir;
    };
    const float tx = exitTime(m_cellX, m_stepX, m_origin.x, m_dirX);
    const float tz = exitTime(m_cellZ, m_stepZ, m_origin.z, m_dirZ);
    if (tx <= tz) m_cellX += m_stepX;
    if (tz <= tx) m_cellZ += m_stepZ;
}

bool CTerrainRayWalker::LeftGrid(int32_t countX, int32_t countZ) const {
    return (m_cellX < 0 && m_stepX < 0) || (m_cellX >= countX && m_stepX > 0) || (m_cellZ < 0 && m_stepZ < 0) ||
           (m_cellZ >= countZ && m_stepZ > 0) || (m_dirX == 0 && (m_cellX < 0 || m_cellX >= countX)) ||
           (m_dirZ == 0 && (m_cellZ < 0 || m_cellZ >= countZ));
}
