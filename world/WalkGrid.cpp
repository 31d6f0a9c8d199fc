#include "world/WalkGrid.h"

#include <cmath>
#include <cstdlib>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"

CWalkGrid::CWalkGrid() : m_open(kNodeCount), m_closed(kNodeCount) { m_search.path.reserve(200); }

CWalkGrid::~CWalkGrid() { Free(); }

int CWalkGrid::Setup(int32_t width, int32_t height, float cellSize) {
    Free();
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        ErrorReport().SetError(ERR_DATA, "walk grid of %d x %d cells (1 to %d a side)", width, height, kMaxSide);
        return 0;
    }
    if (!(cellSize > 0) || !std::isfinite(cellSize)) {
        ErrorReport().SetError(ERR_DATA, "walk grid cell size %f", static_cast<double>(cellSize));
        return 0;
    }
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    m_cells.assign(count, 0);
    m_view.cells = m_cells.data();
    m_view.width = width;
    m_view.height = height;
    m_view.cellSize = cellSize;
    for (PathNode& node : m_open) node.Reset();
    for (PathNode& node : m_closed) node.Reset();
    m_search = SearchRecord();
    m_search.path.reserve(200);
    LabelRegions();
    g_pWalkGridView = &m_view;
    return 1;
}

void CWalkGrid::Free() {
    if (g_pWalkGridView == &m_view) g_pWalkGridView = nullptr;
    m_cells = std::vector<uint32_t>();
    m_region = std::vector<int32_t>();
    m_view = CWalkGridView();
}

int CWalkGrid::Serialize(CFileStream& stream) {
    const size_t width = static_cast<size_t>(m_view.width);
    const size_t height = static_cast<size_t>(m_view.height);
    std::vector<uint8_t> row(width * 4);
    if (stream.mode() == CFileStream::MODE_WRITE) {
        for (size_t z = 0; z < height; ++z) {
            for (size_t x = 0; x < width; ++x) {
                // Occupants and graph marks belong to a running match, never to the map.
                uint32_t word = m_cells[z * width + x] & CELL_BLOCKED;
                row[x * 4] = static_cast<uint8_t>(word);
                row[x * 4 + 1] = row[x * 4 + 2] = row[x * 4 + 3] = 0;
            }
            if (!stream.Write(row.data(), static_cast<uint32_t>(row.size()))) return 0;
        }
        return 1;
    }
    // A whole row at a time: one read per row instead of one per word.
    std::vector<uint32_t> words(width * height);
    for (size_t z = 0; z < height; ++z) {
        if (!stream.Read(row.data(), static_cast<uint32_t>(row.size()))) {
            ErrorReport().Chain("walk grid row %d of %d", static_cast<int>(z), static_cast<int>(height));
            return 0;
        }
        for (size_t x = 0; x < width; ++x)
            words[z * width + x] = static_cast<uint32_t>(row[x * 4]) | (static_cast<uint32_t>(row[x * 4 + 1]) << 8) |
                                   (static_cast<uint32_t>(row[x * 4 + 2]) << 16) |
                                   (static_cast<uint32_t>(row[x * 4 + 3]) << 24);
    }
    LoadTerrain(words.data());
    return 1;
}

void CWalkGrid::LoadTerrain(const uint32_t* words) {
    // Maps in the wild carry stray high bits; a stray occupant count or graph
    // mark would block cells or confuse the graph, so only the terrain bit counts.
    for (size_t i = 0; i < m_cells.size(); ++i) m_cells[i] = words[i] & CELL_BLOCKED;
    LabelRegions();
}

PathPoint CWalkGrid::CellCentre(int32_t x, int32_t z) const {
    PathPoint p;
    p.x = static_cast<float>(x) * m_view.cellSize + m_view.cellSize * 0.5f;
    p.y = 0;
    p.z = static_cast<float>(z) * m_view.cellSize + m_view.cellSize * 0.5f;
    p.cellX = x;
    p.cellZ = z;
    return p;
}

PathPoint CWalkGrid::FromWorld(const platform::Vec3& position) const {
    PathPoint p;
    p.x = position.x;
    p.y = position.y;
    p.z = position.z;
    p.cellX = ToCell(position.x);
    p.cellZ = ToCell(position.z);
    return p;
}

void CWalkGrid::ClampToGrid(int32_t& x, int32_t& z) const {
    x = x < 0 ? 0 : (x >= m_view.width ? m_view.width - 1 : x);
    z = z < 0 ? 0 : (z >= m_view.height ? m_view.height - 1 : z);
}

template <typename Stop>
int64_t CWalkGrid::Walk(int32_t x0, int32_t z0, int32_t x1, int32_t z1, Stop stop) const {
    if (m_cells.empty()) return -1;
    ClampToGrid(x0, z0);
    ClampToGrid(x1, z1);
    const int64_t width = m_view.width;
    const int64_t adx = std::abs(x1 - x0), adz = std::abs(z1 - z0);
    const int64_t xStep = x1 < x0 ? -1 : 1;
    const int64_t rowStep = z1 < z0 ? -width : width;
    int64_t x = x0, row = z0 * width;
    const int64_t endRow = z1 * width;
    const uint32_t* cells = m_cells.data();
    if (2 * adx <= 2 * adz) {
        // z-major, ties included: one cell per row.
        int64_t err = 2 * adx - adz;
        while (row != endRow) {
            if (err >= 0) {
                x += xStep;
                err -= 2 * adz;
            }
            row += rowStep;
            err += 2 * adx;
            if (stop(cells[row + x])) return row + x;
        }
    } else {
        int64_t err = 2 * adz - adx;
        while (x != x1) {
            if (err >= 0) {
                row += rowStep;
                err -= 2 * adx;
            }
            x += xStep;
            err += 2 * adz;
            if (stop(cells[row + x])) return row + x;
        }
    }
    return -1;
}

bool CWalkGrid::IsLineClear(int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t mode) const {
    const uint32_t mask = mode == LINE_OBJECTS ? CELL_UNWALKABLE : CELL_BLOCKED;
    return Walk(x0, z0, x1, z1, [mask](uint32_t word) { return (word & mask) != 0; }) < 0;
}

bool CWalkGrid::FindCellOnLine(int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t mode, PathPoint* out) const {
    const uint32_t wanted = mode == LINE_OBJECTS ? CELL_BLOCKED : 0u;
    int64_t index = Walk(x0, z0, x1, z1, [wanted](uint32_t word) { return word == wanted; });
    if (index < 0) return false;
    if (out) *out = CellCentre(static_cast<int32_t>(index % m_view.width), static_cast<int32_t>(index / m_view.width));
    return true;
}

bool CWalkGrid::FindCellOnWorldLine(const platform::Vec3& from, const platform::Vec3& to, platform::Vec3* out) const {
    if (m_cells.empty()) return false;
    PathPoint cell;
    if (!FindCellOnLine(ToCell(from.x), ToCell(from.z), ToCell(to.x), ToCell(to.z), LINE_TERRAIN, &cell)) return false;
    if (out) {
        out->x = cell.x;
        out->z = cell.z;
    }
    return true;
}

void CWalkGrid::ResetNodes() {
    for (int32_t i = 0; i < m_search.openUsed; ++i) m_open[static_cast<size_t>(i)].Reset();
    for (int32_t i = 0; i < m_search.closedCount; ++i) m_closed[static_cast<size_t>(i)].Reset();
    m_search.found = 0;
    m_search.goalIndex = 0;
    m_search.openCount = 0;
    m_search.closedCount = 0;
    m_search.openUsed = 0;
    m_search.path.clear();
}

void CWalkGrid::LabelRegions() {
    const int32_t width = m_view.width;
    m_region.assign(m_cells.size(), 0);
    std::vector<int32_t> queue;
    int32_t label = 0;
    for (size_t start = 0; start < m_cells.size(); ++start) {
        if (m_region[start] != 0 || (m_cells[start] & CELL_BLOCKED)) continue;
        m_region[start] = ++label;
        queue.assign(1, static_cast<int32_t>(start));
        while (!queue.empty()) {
            int32_t index = queue.back();
            queue.pop_back();
            int32_t x = index % width, z = index / width;
            for (int32_t dz = -1; dz <= 1; ++dz) {
                for (int32_t dx = -1; dx <= 1; ++dx) {
                    int32_t nx = x + dx, nz = z + dz;
                    if (!Contains(nx, nz)) continue;
                    size_t n = Index(nx, nz);
                    if (m_region[n] != 0 || (m_cells[n] & CELL_BLOCKED)) continue;
                    m_region[n] = label;
                    queue.push_back(static_cast<int32_t>(n));
                }
            }
        }
    }
}
