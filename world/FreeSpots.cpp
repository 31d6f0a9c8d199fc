#include "world/FreeSpots.h"

#include <algorithm>

#include "world/WorldObjectManager.h"

int32_t ReserveObjectIds(CWorldObjectManager& m, int32_t count) {
    if (count <= 0 || m.nextId + count > CWorldObjectManager::kIdLimit) return -1;
    const int32_t first = m.nextId;
    m.nextId += count;
    return first;
}

std::vector<platform::Vec3> FindFreeSpots(CWorldObjectManager& m, const platform::Vec3& point, float size,
                                          int32_t wanted) {
    std::vector<platform::Vec3> spots(static_cast<size_t>(std::max(wanted, 0)));
    if (spots.empty()) return spots;
    m.BuildSpawnCandidates(size);
    const int found = m.FindFreeSpawnPoint(point, size, static_cast<int32_t>(spots.size()), spots.data());
    spots.resize(static_cast<size_t>(std::clamp(found, 0, static_cast<int>(spots.size()))));
    return spots;
}
