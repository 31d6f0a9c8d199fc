#include "world/GridSearch.h"

#include <algorithm>
#include <cstdlib>

#include "world/PathThinning.h"
#include "world/WalkGrid.h"

namespace {

// The expansion order decides which of equal candidates is found first.
constexpr int32_t kNeighbours[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

int32_t Manhattan(const PathPoint& goal, int32_t x, int32_t z) {
    return std::abs(goal.cellZ - z) + std::abs(goal.cellX - x);
}

}  // namespace

CGridSearch::CGridSearch() {
    m_freeSlots.reserve(50);
    m_tree.assign(2 * kTreeLeaves, kNoKey);
}

void CGridSearch::Init(CWalkGrid* grid) {
    m_grid = grid;
    m_cellState.assign(grid ? static_cast<size_t>(grid->cellCount()) : 0, CellState());
    m_stamp = 0;
}

int32_t CGridSearch::closedCount() const { return m_grid ? m_grid->search().closedCount : 0; }

CGridSearch::CellState* CGridSearch::State(int32_t x, int32_t z) {
    CellState& s = m_cellState[static_cast<size_t>(z) * static_cast<size_t>(m_grid->width()) + static_cast<size_t>(x)];
    return s.stamp == m_stamp ? &s : nullptr;
}

void CGridSearch::TreeSet(int32_t slot, int32_t f) {
    // Taken-out slots (f 9999) never win the scan; neither does anything above.
    uint32_t key = (f >= 0 && f < PathNode::kTakenOut) ? (static_cast<uint32_t>(f) << 13) | static_cast<uint32_t>(slot)
                                                       : kNoKey;
    size_t i = static_cast<size_t>(slot) + kTreeLeaves;
    m_tree[i] = key;
    for (i >>= 1; i >= 1; i >>= 1) m_tree[i] = std::min(m_tree[2 * i], m_tree[2 * i + 1]);
}

uint32_t CGridSearch::TreeMin(int32_t end) const {
    uint32_t best = kNoKey;
    size_t lo = kTreeLeaves, hi = static_cast<size_t>(end) + kTreeLeaves;
    while (lo < hi) {
        if (lo & 1) best = std::min(best, m_tree[lo++]);
        if (hi & 1) best = std::min(best, m_tree[--hi]);
        lo >>= 1;
        hi >>= 1;
    }
    return best;
}

void CGridSearch::Offer(int32_t slot, int32_t f) {
    if (f < m_bestF || (f == m_bestF && !(m_hasBest && m_bestIndex < slot))) {
        m_bestIndex = slot;
        m_bestF = f;
        m_hasBest = 1;
    }
}

int32_t CGridSearch::Pop() {
    SearchRecord& rec = m_grid->search();
    const bool cacheValid = m_hasBest != 0;
    if (!cacheValid) {
        m_bestF = PathNode::kTakenOut;
        m_bestIndex = -1;
        uint32_t best = TreeMin(rec.openCount);
        if (best != kNoKey) {
            m_bestIndex = static_cast<int32_t>(best & 0x1FFF);
            m_bestF = static_cast<int32_t>(best >> 13);
            // The scan's runner-up is the best it displaced last: the first
            // slot of the lowest f before the winner, or none.
            uint32_t runner = TreeMin(m_bestIndex);
            m_runnerIndex = runner == kNoKey ? -1 : static_cast<int32_t>(runner & 0x1FFF);
            m_runnerF = runner == kNoKey ? PathNode::kTakenOut : static_cast<int32_t>(runner >> 13);
        }
    }
    if (m_bestIndex == -1) return -1;
    m_appendMode = 0;
    m_freeSlots.push_back(m_bestIndex);
    PathNode* open = m_grid->openNodes();
    PathNode& node = open[m_bestIndex];
    int32_t closedIndex = rec.closedCount;
    m_grid->closedNodes()[closedIndex] = node;
    node.inUse = 0;
    node.f = PathNode::kTakenOut;
    TreeSet(m_bestIndex, node.f);
    ++rec.closedCount;
    CellState& state = m_cellState[static_cast<size_t>(node.point.cellZ) * static_cast<size_t>(m_grid->width()) +
                                   static_cast<size_t>(node.point.cellX)];
    state.stamp = m_stamp;
    state.slot = kClosed;
    if (cacheValid) {
        m_hasBest = 0;
    } else {
        m_bestIndex = m_runnerIndex;
        m_bestF = m_runnerF;
        m_hasBest = 1;
    }
    return closedIndex;
}

bool CGridSearch::Expand(int32_t closedIndex) {
    SearchRecord& rec = m_grid->search();
    PathNode* open = m_grid->openNodes();
    const PathNode& from = m_grid->closedNodes()[closedIndex];
    const int32_t fx = from.point.cellX, fz = from.point.cellZ, g = from.g + 1;
    for (const auto& offset : kNeighbours) {
        const int32_t x = fx + offset[0], z = fz + offset[1];
        if (!m_grid->Contains(x, z) || !m_grid->IsWalkable(x, z)) continue;
        CellState* state = State(x, z);
        if (state && state->slot == kClosed) continue;
        if (state) {
            PathNode& node = open[state->slot];
            if (node.g > g) {
                node.parent = closedIndex;
                node.g = g;
                node.f = node.h + g;
                TreeSet(state->slot, node.f);
                Offer(state->slot, node.f);
            }
            continue;
        }
        int32_t slot;
        if (m_appendMode) {
            // The original never checked the open count: a full array fails the search.
            if (rec.openCount >= CWalkGrid::kNodeCount) return false;
            slot = rec.openCount++;
        } else {
            slot = m_freeSlots.back();
            m_freeSlots.pop_back();
            if (m_freeSlots.empty()) m_appendMode = 1;
        }
        rec.openUsed = std::max(rec.openUsed, slot + 1);
        PathNode& node = open[slot];
        node.inUse = 1;
        node.point.cellX = x;
        node.point.cellZ = z;
        node.h = Manhattan(m_goal, x, z);
        node.g = g;
        node.f = g + node.h;
        node.parent = closedIndex;
        CellState& s = m_cellState[static_cast<size_t>(z) * static_cast<size_t>(m_grid->width()) + static_cast<size_t>(x)];
        s.stamp = m_stamp;
        s.slot = slot;
        TreeSet(slot, node.f);
        Offer(slot, node.f);
        if (x == m_goal.cellX && z == m_goal.cellZ) {
            rec.found = 1;
            rec.goalIndex = slot;
        }
    }
    return true;
}

void CGridSearch::Emit(std::vector<platform::Vec3>& out, const PathPoint& p) const { out.emplace_back(p.x, p.y, p.z); }

int CGridSearch::Fail(std::vector<platform::Vec3>& out) {
    Emit(out, m_start);
    Emit(out, m_goal);
    return 0;
}

int CGridSearch::FindPath(const platform::Vec3& start, const platform::Vec3& goal, std::vector<platform::Vec3>& out) {
    if (!m_grid || m_grid->cellCount() == 0 || m_cellState.size() != static_cast<size_t>(m_grid->cellCount()))
        return 0;
    CWalkGrid& grid = *m_grid;
    m_start = grid.FromWorld(start);
    m_goal = grid.FromWorld(goal);
    sameCell = 0;
    if (!grid.Contains(m_start.cellX, m_start.cellZ) || !grid.Contains(m_goal.cellX, m_goal.cellZ)) return 0;

    if (m_start.cellX == m_goal.cellX && m_start.cellZ == m_goal.cellZ) {
        Emit(out, m_start);
        Emit(out, m_goal);
        sameCell = 1;
        return 1;
    }

    bool enclosed = true;
    for (const auto& offset : kNeighbours) {
        int32_t x = m_start.cellX + offset[0], z = m_start.cellZ + offset[1];
        if (grid.Contains(x, z) && grid.IsWalkable(x, z)) {
            enclosed = false;
            break;
        }
    }
    if (enclosed && allowDirect) {
        PathPoint free;
        if (!grid.FindCellOnLine(m_start.cellX, m_start.cellZ, m_goal.cellX, m_goal.cellZ, CWalkGrid::LINE_TERRAIN,
                                 &free))
            return Fail(out);
        m_start = free;
    }

    if (!grid.IsWalkable(m_goal.cellX, m_goal.cellZ)) {
        PathPoint free;
        if (grid.FindCellOnLine(m_goal.cellX, m_goal.cellZ, m_start.cellX, m_start.cellZ, CWalkGrid::LINE_TERRAIN,
                                &free))
            m_goal = free;
        else
            m_goal = m_start;
    }

    if (allowDirect &&
        grid.IsLineClear(m_start.cellX, m_start.cellZ, m_goal.cellX, m_goal.cellZ, CWalkGrid::LINE_OBJECTS)) {
        Emit(out, m_start);
        Emit(out, m_goal);
        return 1;
    }

    // Ends in two terrain regions: the search could only fail, so fail now.
    int32_t startRegion = grid.Region(m_start.cellX, m_start.cellZ);
    int32_t goalRegion = grid.Region(m_goal.cellX, m_goal.cellZ);
    if (startRegion != 0 && goalRegion != 0 && startRegion != goalRegion) return Fail(out);

    // Search set-up. A new stamp clears every cell state at once.
    if (++m_stamp == 0) {
        std::fill(m_cellState.begin(), m_cellState.end(), CellState());
        m_stamp = 1;
    }
    SearchRecord& rec = grid.search();
    for (int32_t i = 0; i < rec.openUsed; ++i) TreeSet(i, -1);
    grid.ResetNodes();
    // Slots freed by an earlier search that failed are no slots of this one.
    m_freeSlots.clear();
    m_hasBest = 0;
    m_appendMode = 1;
    m_bestF = PathNode::kTakenOut;
    m_bestIndex = -1;
    PathNode& first = grid.closedNodes()[0];
    first.inUse = 1;
    first.point = m_start;
    first.g = 0;
    first.h = Manhattan(m_goal, m_start.cellX, m_start.cellZ);
    first.f = first.h;
    first.parent = -1;
    rec.closedCount = 1;

    bool failed = !Expand(0);
    while (!failed && !rec.found) {
        int32_t closed = Pop();
        if (closed < 0 || rec.closedCount >= CWalkGrid::kNodeCount || rec.closedCount >= grid.cellCount()) {
            failed = true;
            break;
        }
        failed = !Expand(closed);
    }
    if (failed || !rec.found) return Fail(out);

    const PathNode* open = grid.openNodes();
    const PathNode* closed = grid.closedNodes();
    std::vector<PathPoint>& chain = rec.path;
    chain.clear();
    const PathNode* node = &open[rec.goalIndex];
    for (;;) {
        chain.push_back(grid.CellCentre(node->point.cellX, node->point.cellZ));
        if (node->parent < 0) break;
        node = &closed[node->parent];
    }
    const size_t appendedFrom = out.size();
    ThinPath(
        chain,
        [&grid](const PathPoint& a, const PathPoint& b) {
            return grid.IsLineClear(a.cellX, a.cellZ, b.cellX, b.cellZ, CWalkGrid::LINE_OBJECTS);
        },
        [&](size_t i) {
            if (i == 0)
                Emit(out, m_goal);
            else if (i + 1 == chain.size())
                Emit(out, m_start);
            else
                Emit(out, chain[i]);
        });
    chain.clear();
    // The chain ran from the goal; only the points of this call turn round.
    std::reverse(out.begin() + static_cast<std::ptrdiff_t>(appendedFrom), out.end());
    m_freeSlots.clear();
    return 1;
}
