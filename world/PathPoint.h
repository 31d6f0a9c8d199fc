// The records both path searches work with: a point of a path (exact world
// position and its walk-grid cell), a search node, and the search's own state.
// The node arrays are shared by the cell search and the graph search; a search
// leaves its nodes behind and the next one resets the slots it can have used.
#pragma once

#include <cstdint>
#include <vector>

struct PathPoint {
    float x = 0, y = 0, z = 0;
    int32_t cellX = 0, cellZ = 0;
};

struct PathNode {
    static constexpr int32_t kTakenOut = 9999;  // f of an open slot whose node was closed

    int32_t parent = -1;  // slot in the closed array; -1 for the start
    int32_t g = -1;       // cost from the start
    int32_t h = -1;       // estimate to the goal
    int32_t f = -1;       // g + h; -1 while the slot is unused since the last reset
    int32_t inUse = 0;    // 1 while the slot holds an open node
    int32_t index = -1;   // way-point number (graph search only)
    PathPoint point;

    void Reset() { *this = PathNode(); }
};

struct SearchRecord {
    uint32_t found = 0;
    int32_t goalIndex = 0;
    int32_t openCount = 0;
    int32_t closedCount = 0;
    // One past the highest open slot written since the last reset.
    int32_t openUsed = 0;
    // Raw points of a found path, goal first.
    std::vector<PathPoint> path;
};
