// The map's placement grid: 8 x 8 cells of 20 x 20 units, each either used
// (with a height and a colour) or not; the used cells become one mesh of a
// coloured, textured quad each.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/ZEMMesh.h"

// Position, colour, one texture set (24 bytes).
struct PlacementVertex {
    platform::Vec3 position;
    uint32_t color = 0;
    float u = 0, v = 0;
};
static_assert(sizeof(PlacementVertex) == 24);

class CPlacementGridMesh : public CZEMMesh {
public:
    using CZEMMesh::CZEMMesh;
    // A list of 24-byte vertices in the caller's format.
    void Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t stripIndexCount, uint32_t stride,
               uint32_t fvf) override;
    void Clear() override;
    const void* GetVertices() const override { return m_vertices.data(); }
    std::vector<PlacementVertex>& Vertices() { return m_vertices; }

private:
    std::vector<PlacementVertex> m_vertices;
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
