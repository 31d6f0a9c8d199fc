// Thinning of a found chain of cells, shared by both path searches: walking
// from the first point, a middle point is dropped when the last point kept
// sees the point after it, so only the corners where the line of sight breaks
// remain.
#pragma once

#include <cstddef>
#include <vector>

#include "world/PathPoint.h"

// clear(a, b) tells whether point b is in sight of point a; keep(i) is called
// for every point kept, in order, the first and the last always among them.
template <typename Clear, typename Keep>
void ThinPath(const std::vector<PathPoint>& points, Clear clear, Keep keep) {
    if (points.empty()) return;
    keep(0);
    size_t kept = 0;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        if (clear(points[kept], points[i + 1])) continue;
        keep(i);
        kept = i;
    }
    if (points.size() > 1) keep(points.size() - 1);
}
