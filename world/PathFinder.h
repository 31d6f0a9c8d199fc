// The path finder of a match: the walk grid, the cell search and the
// waypoint graph, one process-wide instance reached through g_pPathFinder.
// The terrain sizes the grid and binds the search (CWalkGrid::Setup, then
// CGridSearch::Init), reads the cells from the map and builds the graph.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math.h"
#include "world/GridSearch.h"
#include "world/WalkGrid.h"
#include "world/WaypointGraph.h"

class CPathFinder {
public:
    CPathFinder();
    virtual ~CPathFinder();
    CPathFinder(const CPathFinder&) = delete;
    CPathFinder& operator=(const CPathFinder&) = delete;

    CWalkGrid& walkGrid() { return m_grid; }
    CGridSearch& gridSearch() { return m_search; }
    CWaypointGraph& waypointGraph() { return m_graph; }

    // Sizes the grid and binds the cell search to it (what the terrain does).
    int Setup(int32_t width, int32_t height, float cellSize);
    // Frees the graph and the grid with the map.
    void Free();

    // The cell search: the way from start to goal around terrain and objects.
    int FindPath(const platform::Vec3& start, const platform::Vec3& goal, std::vector<platform::Vec3>& out) {
        return m_search.FindPath(start, goal, out);
    }
    // The graph search: the way around terrain only. 0 with out untouched
    // when an end lies outside the grid; 0 with start and goal when an end
    // is walled in; otherwise 1 (a route, or the straight line to the first obstacle).
    int FindGraphPath(const platform::Vec3& start, const platform::Vec3& goal, std::vector<platform::Vec3>& out) {
        return m_graph.FindPath(start, goal, out);
    }

    bool IsLineClear(int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t mode) const {
        return m_grid.IsLineClear(x0, z0, x1, z1, mode);
    }
    bool FindCellOnLine(int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t mode, PathPoint* out) const {
        return m_grid.FindCellOnLine(x0, z0, x1, z1, mode, out);
    }
    bool FindCellOnWorldLine(const platform::Vec3& from, const platform::Vec3& to, platform::Vec3* out) const {
        return m_grid.FindCellOnWorldLine(from, to, out);
    }

private:
    CWalkGrid m_grid;
    CGridSearch m_search;
    CWaypointGraph m_graph;
};

// Null while no path finder exists.
extern CPathFinder* g_pPathFinder;
