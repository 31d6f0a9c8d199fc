// The map's placement grid: 8 x 8 cells of 20 x 20 units, each either used
// (with a height and a colour) or not; the used cells become one mesh of a
// coloured, textured quad each.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/ListMesh.h"

// Position, colour, one texture set (24 bytes).
struct PlacementVertex {
    platform::Vec3 position;
    uint32_t color = 0;
    float u = 0, v = 0;
};
static_assert(sizeof(PlacementVertex) == 24);

// A list of 24-byte vertices in the caller's format.
class CPlacementGridMesh : public CListMesh<PlacementVertex> {
public:
    using CListMesh::CListMesh;
};

class CPlacementGrid {
public:
    static constexpr int kSide = 8;
    static constexpr float kCellSize = 20.0f;
    struct Cell {
        uint32_t used = 0;
        float height = 0;
        uint32_t color = 0;
    };

    explicit CPlacementGrid(platform::CGfxDevice* device) : m_device(device) {}

    Cell& At(int column, int row) { return m_cells[static_cast<size_t>(row * kSide + column)]; }
    // Makes the mesh of the used cells anew (with its buffers when any cell is used).
    void BuildMesh();

    CPlacementGridMesh* Mesh() const { return m_mesh.get(); }
    const std::vector<uint16_t>& IndexCopy() const { return m_indexCopy; }
    uint32_t UsedCount() const { return m_usedCount; }

private:
    platform::CGfxDevice* m_device;
    std::array<Cell, kSide * kSide> m_cells{};
    std::unique_ptr<CPlacementGridMesh> m_mesh;
    std::vector<uint16_t> m_indexCopy;
    uint32_t m_usedCount = 0;
};
