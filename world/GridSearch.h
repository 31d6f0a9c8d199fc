// The cell search behind a unit's move: cheap answers first (same cell, clear
// straight line), then a best-first search over the walk grid with 8
// neighbours, unit step costs and a Manhattan estimate, bounded to 6000
// closed cells. Every client must compute the same path or the match drifts
// apart, so the neighbour order, the one-entry best-candidate cache with its
// runner-up and the reuse of freed open slots are exactly those of the
// original. Only the scan for the lowest f is faster: a min-tree over the open
// slots yields the same first slot of the lowest f (and the same runner-up,
// the first slot of the lowest f before it) as the linear scan did.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math.h"
#include "world/PathPoint.h"

class CWalkGrid;

class CGridSearch {
public:
    // Straight-line answers allowed.
    uint32_t allowDirect = 1;
    // 1 when the last call ended because start and goal share a cell.
    uint32_t sameCell = 0;

    CGridSearch();

    // Binds the context to a sized grid; the terrain calls it right after the grid's Setup.
    void Init(CWalkGrid* grid);
    // Appends the way from start to goal to out: 1 when found or direct, 0 when
    // there is none (start and goal are appended then), 0 with out untouched
    // when an end lies outside the grid or no grid is bound.
    int FindPath(const platform::Vec3& start, const platform::Vec3& goal, std::vector<platform::Vec3>& out);

    // Cells closed by the last search (the start included).
    int32_t closedCount() const;

private:
    struct CellState {
        uint32_t stamp = 0;  // the search that wrote it; older stamps read as "not seen"
        int32_t slot = 0;    // open slot, or kClosed
    };
    static constexpr int32_t kClosed = -1;
    static constexpr int32_t kTreeLeaves = 8192;
    static constexpr uint32_t kNoKey = 0xFFFFFFFFu;

    bool Expand(int32_t closedIndex);
    void Offer(int32_t slot, int32_t f);
    int32_t Pop();
    int Fail(std::vector<platform::Vec3>& out);
    void Emit(std::vector<platform::Vec3>& out, const PathPoint& p) const;
    CellState* State(int32_t x, int32_t z);

    void TreeSet(int32_t slot, int32_t f);
    uint32_t TreeMin(int32_t end) const;  // lowest key of slots [0, end)

    CWalkGrid* m_grid = nullptr;
    std::vector<CellState> m_cellState;
    uint32_t m_stamp = 0;
    uint32_t m_appendMode = 1;
    std::vector<int32_t> m_freeSlots;
    int32_t m_bestF = 0, m_bestIndex = -1, m_runnerIndex = -1, m_runnerF = 0;
    uint32_t m_hasBest = 0;
    PathPoint m_start, m_goal;
    std::vector<uint32_t> m_tree;
};
