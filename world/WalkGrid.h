// The map's walkability raster: one 32-bit word per 5 x 5 world units over the
// whole terrain. Bit 0 is the terrain's own blocking (stored in the map file),
// bits 4 and up count the world objects standing on the cell (kept by the
// objects through the engine's view of the grid), bit 28 marks a waypoint-graph
// node. The grid answers the line questions of both path searches and owns the
// node arrays they share.
//
// Map file form (inside the terrain section, whose sizes precede it): width x
// height u32 words, row-major, no header. Only bit 0 is stored and only bit 0
// is kept on reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/render/WalkGridView.h"
#include "platform/Math.h"
#include "world/PathPoint.h"

class CFileStream;

constexpr uint32_t CELL_BLOCKED = 0x1;          // terrain
constexpr uint32_t CELL_OCCUPIED = 0x10;        // at least one world object (+16 per object)
constexpr uint32_t CELL_UNWALKABLE = 0x11;      // terrain or an object
constexpr uint32_t CELL_WAYPOINT = 0x10000000;  // a waypoint-graph node

class CWalkGrid {
public:
    // The map loader's limit: 64 x 64 patches of 32 cells.
    static constexpr int32_t kMaxSide = 2048;
    // Both node arrays hold this many nodes; a search closes at most this many.
    static constexpr int32_t kNodeCount = 6000;

    // Line test and line search modes.
    enum LineMode : int32_t { LINE_TERRAIN = 0, LINE_OBJECTS = 1 };

    CWalkGrid();
    ~CWalkGrid();
    CWalkGrid(const CWalkGrid&) = delete;
    CWalkGrid& operator=(const CWalkGrid&) = delete;

    // Sizes an empty grid (every cell free) and publishes it to the engine;
    // 0 with the error report for sizes outside 1..2048 or a cell size that is
    // not a positive number.
    int Setup(int32_t width, int32_t height, float cellSize);
    // Frees every array and withdraws the engine's view.
    void Free();
    // Reads (keeping bit 0 only) or writes (bit 0 only) the cell words by the
    // stream's mode. A short read leaves the grid as it was and returns 0.
    int Serialize(CFileStream& stream);
    // Takes the terrain bit of every word (width x height of them) and drops
    // the rest, as reading a map does.
    void LoadTerrain(const uint32_t* words);

    int32_t width() const { return m_view.width; }
    int32_t height() const { return m_view.height; }
    int32_t cellCount() const { return m_view.width * m_view.height; }
    float cellSize() const { return m_view.cellSize; }
    bool Contains(int32_t x, int32_t z) const { return x >= 0 && z >= 0 && x < m_view.width && z < m_view.height; }
    uint32_t Cell(int32_t x, int32_t z) const { return m_cells[Index(x, z)]; }
    uint32_t& Cell(int32_t x, int32_t z) { return m_cells[Index(x, z)]; }
    bool IsWalkable(int32_t x, int32_t z) const { return (Cell(x, z) & CELL_UNWALKABLE) == 0; }
    bool IsTerrainFree(int32_t x, int32_t z) const { return (Cell(x, z) & CELL_BLOCKED) == 0; }

    // World to cell truncates toward zero; cell to world is the cell's centre at y 0.
    int32_t ToCell(float world) const { return static_cast<int32_t>(world / m_view.cellSize); }
    PathPoint CellCentre(int32_t x, int32_t z) const;
    // The exact position with the cell under it.
    PathPoint FromWorld(const platform::Vec3& position) const;

    // Ends outside the grid are clamped to its edge, so a walk never leaves it.
    bool IsLineClear(int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t mode) const;
    // Mode 0 stops at the first empty cell (word 0), mode 1 at the first
    // terrain-only cell (word 1); out is left alone when nothing is found.
    bool FindCellOnLine(int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t mode, PathPoint* out) const;
    // The first empty cell between two world points; writes only x and z (its centre).
    bool FindCellOnWorldLine(const platform::Vec3& from, const platform::Vec3& to, platform::Vec3* out) const;

    // The 8-connected region of terrain-free cells a cell belongs to (0 for a
    // terrain-blocked cell). Objects only ever block more, so two cells of
    // different regions never have a path between them.
    int32_t Region(int32_t x, int32_t z) const { return m_region[Index(x, z)]; }

    // The view the engine's objects mark their footprints in (g_pWalkGridView).
    CWalkGridView* view() { return &m_view; }
    PathNode* openNodes() { return m_open.data(); }
    PathNode* closedNodes() { return m_closed.data(); }
    SearchRecord& search() { return m_search; }
    // Resets the slots the last search can have touched and the record.
    void ResetNodes();

private:
    size_t Index(int32_t x, int32_t z) const {
        return static_cast<size_t>(z) * static_cast<size_t>(m_view.width) + static_cast<size_t>(x);
    }
    // Walks the cells from (x0, z0) to (x1, z1), the start left out and the
    // end included, until stop(word) is true; returns that cell's index or -1.
    template <typename Stop>
    int64_t Walk(int32_t x0, int32_t z0, int32_t x1, int32_t z1, Stop stop) const;
    void ClampToGrid(int32_t& x, int32_t& z) const;
    void LabelRegions();

    CWalkGridView m_view;
    std::vector<uint32_t> m_cells;
    std::vector<int32_t> m_region;
    std::vector<PathNode> m_open, m_closed;
    SearchRecord m_search;
};
