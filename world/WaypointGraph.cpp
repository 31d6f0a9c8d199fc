#include "world/WaypointGraph.h"

#include <algorithm>
#include <cmath>

#include "world/PathThinning.h"
#include "world/LoadProgress.h"
#include "world/WalkGrid.h"

CWaypointGraph::CWaypointGraph(CWalkGrid* grid) : m_grid(grid) {
    m_points.reserve(400);
    m_chain.reserve(200);
}

void CWaypointGraph::Clear() {
    m_nodes = std::vector<WaypointNode>();
    m_points = std::vector<PathPoint>();
    m_state = std::vector<NodeState>();
    m_stamp = 0;
}

bool CWaypointGraph::IsTerrainBlocked(int32_t x, int32_t z) const {
    // Outside the grid counts as open ground here.
    return m_grid->Contains(x, z) && !m_grid->IsTerrainFree(x, z);
}

int CWaypointGraph::Build() {
    Clear();
    CWalkGrid& grid = *m_grid;
    const int32_t width = grid.width(), height = grid.height();
    for (int32_t z = 0; z < height; ++z)
        for (int32_t x = 0; x < width; ++x) grid.Cell(x, z) &= ~CELL_WAYPOINT;
    static constexpr int32_t kDiagonals[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (int32_t z = 0; z < height; ++z) {
        for (int32_t x = 0; x < width; ++x) {
            if (IsTerrainBlocked(x, z) || IsTerrainBlocked(x, z - 1) || IsTerrainBlocked(x - 1, z) ||
                IsTerrainBlocked(x, z + 1) || IsTerrainBlocked(x + 1, z))
                continue;
            // Only the first blocked diagonal decides: a corner of an obstacle,
            // unless the obstacle runs on two cells along both sides of it.
            for (const auto& d : kDiagonals) {
                if (!IsTerrainBlocked(x + d[0], z + d[1])) continue;
                if (!(IsTerrainBlocked(x + 2 * d[0], z) && IsTerrainBlocked(x, z + 2 * d[1]))) {
                    m_points.push_back(grid.CellCentre(x, z));
                    grid.Cell(x, z) |= CELL_WAYPOINT;
                }
                break;
            }
        }
    }
    m_nodes.resize(m_points.size());
    for (size_t i = 0; i < m_nodes.size(); ++i) m_nodes[i].index = static_cast<int32_t>(i);
    m_state.assign(m_points.size(), NodeState());
    return 1;
}

int CWaypointGraph::BuildDistanceTable(std::atomic<float>* progress, float share) {
    AddLoadProgress(progress, share);
    return 1;
}

const std::vector<int32_t>& CWaypointGraph::Visible(int32_t node) {
    WaypointNode& n = m_nodes[static_cast<size_t>(node)];
    if (!n.linked) {
        const PathPoint& from = m_points[static_cast<size_t>(node)];
        for (int32_t j = 0; j < nodeCount(); ++j) {
            const PathPoint& to = m_points[static_cast<size_t>(j)];
            if (m_grid->IsLineClear(from.cellX, from.cellZ, to.cellX, to.cellZ, CWalkGrid::LINE_TERRAIN))
                n.visibleIndex.push_back(j);
        }
        n.linked = true;
    }
    return n.visibleIndex;
}

void CWaypointGraph::LinkAll() {
    for (int32_t i = 0; i < nodeCount(); ++i) Visible(i);
}

int32_t CWaypointGraph::Distance(int32_t cellX, int32_t cellZ, int32_t j) const {
    const PathPoint& p = m_points[static_cast<size_t>(j)];
    double dx = static_cast<double>(p.cellX - cellX), dz = static_cast<double>(p.cellZ - cellZ);
    double d = std::sqrt(dx * dx + dz * dz);
    return d >= 65535.0 ? 65535 : static_cast<int32_t>(d);
}

size_t CWaypointGraph::MemoryUsed() const {
    size_t bytes = m_nodes.capacity() * sizeof(WaypointNode) + m_points.capacity() * sizeof(PathPoint) +
                   m_state.capacity() * sizeof(NodeState);
    for (const WaypointNode& n : m_nodes) bytes += n.visibleIndex.capacity() * sizeof(int32_t);
    return bytes;
}

bool CWaypointGraph::Offer(int32_t j, int32_t closedIndex) {
    NodeState& state = m_state[static_cast<size_t>(j)];
    const PathPoint& point = m_points[static_cast<size_t>(j)];
    if (state.stamp == m_stamp && state.slot < 0) return true;
    if (point.cellX == m_start.cellX && point.cellZ == m_start.cellZ) return true;  // the start is closed node 0
    PathNode* open = m_grid->openNodes();
    const PathNode& from = m_grid->closedNodes()[closedIndex];
    const int32_t g = from.g + Distance(from.point.cellX, from.point.cellZ, j);
    if (state.stamp == m_stamp) {
        PathNode& node = open[state.slot];
        if (node.g <= g) return true;
        node.parent = closedIndex;
        node.g = g;
        node.f = node.h + g;
        return true;
    }
    int32_t slot = 0;
    while (slot < CWalkGrid::kNodeCount && open[slot].inUse) ++slot;
    if (slot == CWalkGrid::kNodeCount) return false;
    SearchRecord& rec = m_grid->search();
    rec.openUsed = std::max(rec.openUsed, slot + 1);
    PathNode& node = open[slot];
    node.inUse = 1;
    node.point = point;
    node.h = Distance(m_goal.cellX, m_goal.cellZ, j);
    node.g = g;
    node.f = g + node.h;
    node.parent = closedIndex;
    node.index = j;
    ++rec.openCount;
    state.stamp = m_stamp;
    state.slot = slot;
    return true;
}

int CWaypointGraph::NoRoute(std::vector<platform::Vec3>& out) {
    // The unit walks straight on to the first obstacle.
    PathPoint obstacle;
    if (m_grid->FindCellOnLine(m_start.cellX, m_start.cellZ, m_goal.cellX, m_goal.cellZ, CWalkGrid::LINE_OBJECTS,
                               &obstacle))
        m_goal = obstacle;
    Emit(out, m_start);
    Emit(out, m_goal);
    return 1;
}

int CWaypointGraph::Found(std::vector<platform::Vec3>& out) {
    const SearchRecord& rec = m_grid->search();
    const PathNode* open = m_grid->openNodes();
    const PathNode* closed = m_grid->closedNodes();
    // Start first, so the thinning walks from the start end.
    m_chain.clear();
    const PathNode* node = &open[rec.goalIndex];
    for (;;) {
        m_chain.push_back(node->parent < 0 ? m_start : node->point);
        if (node->parent < 0) break;
        node = &closed[node->parent];
    }
    std::reverse(m_chain.begin(), m_chain.end());
    m_chain.push_back(m_goal);
    ThinPath(
        m_chain,
        [this](const PathPoint& a, const PathPoint& b) {
            return m_grid->IsLineClear(a.cellX, a.cellZ, b.cellX, b.cellZ, CWalkGrid::LINE_TERRAIN);
        },
        [&](size_t i) { Emit(out, m_chain[i]); });
    m_chain.clear();
    return 1;
}

bool CWaypointGraph::MoveOffTerrain(PathPoint& end, const PathPoint& other) const {
    if (m_grid->IsTerrainFree(end.cellX, end.cellZ)) return true;
    return m_grid->FindCellOnLine(end.cellX, end.cellZ, other.cellX, other.cellZ, CWalkGrid::LINE_TERRAIN, &end);
}

int CWaypointGraph::FindPath(const platform::Vec3& start, const platform::Vec3& goal,
                             std::vector<platform::Vec3>& out) {
    CWalkGrid& grid = *m_grid;
    if (grid.cellCount() == 0) return 0;
    m_start = grid.FromWorld(start);
    m_goal = grid.FromWorld(goal);
    if (!grid.Contains(m_start.cellX, m_start.cellZ) || !grid.Contains(m_goal.cellX, m_goal.cellZ)) return 0;

    // An end on blocked terrain moves to the first empty cell towards the other end.
    if (!MoveOffTerrain(m_goal, m_start) || !MoveOffTerrain(m_start, m_goal)) {
        Emit(out, m_start);
        Emit(out, m_goal);
        return 0;
    }
    if (grid.IsLineClear(m_start.cellX, m_start.cellZ, m_goal.cellX, m_goal.cellZ, CWalkGrid::LINE_TERRAIN)) {
        Emit(out, m_start);
        Emit(out, m_goal);
        return 1;
    }
    // Ends in two terrain regions: the search could only fail.
    if (grid.Region(m_start.cellX, m_start.cellZ) != grid.Region(m_goal.cellX, m_goal.cellZ)) return NoRoute(out);

    if (++m_stamp == 0) {
        std::fill(m_state.begin(), m_state.end(), NodeState());
        m_stamp = 1;
    }
    grid.ResetNodes();
    SearchRecord& rec = grid.search();
    PathNode* open = grid.openNodes();
    PathNode* closed = grid.closedNodes();
    PathNode& first = closed[0];
    first.point = m_start;
    first.g = first.h = first.f = 0;
    first.parent = -1;
    rec.closedCount = 1;

    for (;;) {
        const int32_t current = rec.closedCount - 1;
        if (current == 0) {
            for (int32_t j = 0; j < nodeCount(); ++j) {
                const PathPoint& p = m_points[static_cast<size_t>(j)];
                if (grid.IsLineClear(m_start.cellX, m_start.cellZ, p.cellX, p.cellZ, CWalkGrid::LINE_TERRAIN) &&
                    !Offer(j, current))
                    break;
            }
        } else {
            for (int32_t j : Visible(closed[current].index))
                if (!Offer(j, current)) break;
        }
        int32_t pick = -1;
        for (int32_t slot = 0; slot < CWalkGrid::kNodeCount && open[slot].f != -1; ++slot) {
            const PathNode& n = open[slot];
            if (!n.inUse) continue;
            if (pick < 0 || n.f < open[pick].f || (n.f == open[pick].f && n.h < open[pick].h)) pick = slot;
        }
        if (pick < 0) return NoRoute(out);
        PathNode& best = open[pick];
        if (grid.IsLineClear(best.point.cellX, best.point.cellZ, m_goal.cellX, m_goal.cellZ,
                             CWalkGrid::LINE_TERRAIN)) {
            rec.found = 1;
            rec.goalIndex = pick;
            return Found(out);
        }
        closed[rec.closedCount] = best;
        best.inUse = 0;
        m_state[static_cast<size_t>(best.index)].slot = -1;
        --rec.openCount;
        ++rec.closedCount;
        if (rec.closedCount >= CWalkGrid::kNodeCount || rec.closedCount >= grid.cellCount()) return NoRoute(out);
    }
}
