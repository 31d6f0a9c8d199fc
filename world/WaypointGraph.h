// The coarse route finder for long moves: way-points at the outer corners of
// terrain obstacles, an edge wherever two way-points see each other across
// terrain-free cells, and a best-first search over them whose costs are
// straight-line cell distances. It looks at the terrain bit only, so standing
// objects never change its answers.
//
// Nothing here depends on the objects, so the work the original did at load
// time is done on demand with the same results: a way-point's list of the
// way-points it sees is made the first time the search expands it, and the
// distance from a cell to a way-point is computed when read instead of coming
// from a table of cells x way-points x 2 bytes (hundreds of megabytes on a
// large map). Distances stay truncated and clamped to 65535 as the table's
// 16-bit entries were.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Math.h"
#include "world/PathPoint.h"

class CWalkGrid;

struct WaypointNode {
    // Way-points in sight by number, in way-point order, itself included;
    // valid once `linked` is set.
    std::vector<int32_t> visibleIndex;
    int32_t index = 0;
    bool linked = false;
};

class CWaypointGraph {
public:
    explicit CWaypointGraph(CWalkGrid* grid);

    // Places the way-points on the grid read from the map (marking their cells
    // with bit 28) and prepares their nodes.
    int Build();
    // The distance table is computed on demand; this only advances the
    // loading progress by `share`, as the table's pass did.
    int BuildDistanceTable(std::atomic<float>* progress, float share);
    // Makes every way-point's sight list now (what a search would do on demand).
    void LinkAll();
    void Clear();

    // The search (see CPathFinder::FindGraphPath).
    int FindPath(const platform::Vec3& start, const platform::Vec3& goal, std::vector<platform::Vec3>& out);

    int32_t nodeCount() const { return static_cast<int32_t>(m_points.size()); }
    const std::vector<PathPoint>& points() const { return m_points; }
    const std::vector<int32_t>& Visible(int32_t node);
    // Truncated straight-line distance in cells from a cell to way-point j, at most 65535.
    int32_t Distance(int32_t cellX, int32_t cellZ, int32_t j) const;
    // Bytes held by the nodes, points and sight lists.
    size_t MemoryUsed() const;

private:
    bool IsTerrainBlocked(int32_t x, int32_t z) const;
    bool MoveOffTerrain(PathPoint& end, const PathPoint& other) const;
    bool Offer(int32_t j, int32_t closedIndex);
    int Found(std::vector<platform::Vec3>& out);
    int NoRoute(std::vector<platform::Vec3>& out);
    void Emit(std::vector<platform::Vec3>& out, const PathPoint& p) const { out.emplace_back(p.x, p.y, p.z); }

    struct NodeState {
        uint32_t stamp = 0;
        int32_t slot = 0;  // open slot, or -1 when closed
    };

    CWalkGrid* m_grid;
    std::vector<WaypointNode> m_nodes;
    std::vector<PathPoint> m_points;
    std::vector<NodeState> m_state;
    uint32_t m_stamp = 0;
    PathPoint m_start, m_goal;
    std::vector<PathPoint> m_chain;
};
