#include "engine/render/PlacementGrid.h"

void CPlacementGrid::BuildMesh() {
    m_mesh.reset();
    m_indexCopy.clear();
    m_usedCount = 0;
    for (const Cell& c : m_cells)
        if (c.used != 0) ++m_usedCount;

    m_mesh = std::make_unique<CPlacementGridMesh>(m_device);
    // The format is set by the drawing code of the map.
    m_mesh->Setup(4 * m_usedCount, 6 * m_usedCount, 0, sizeof(PlacementVertex), 0);
    m_indexCopy.assign(6 * size_t{m_usedCount}, 0);

    std::vector<PlacementVertex>& vertices = m_mesh->Vertices();
    std::vector<uint16_t>& indices = m_mesh->Indices();
    uint32_t n = 0;
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            const Cell& cell = At(c, r);
            if (cell.used == 0) continue;
            static constexpr int kCorner[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
            for (int k = 0; k < 4; ++k) {
                PlacementVertex& v = vertices[4 * n + static_cast<uint32_t>(k)];
                v.position = {kCellSize * static_cast<float>(c + kCorner[k][0]), cell.height,
                              kCellSize * static_cast<float>(r + kCorner[k][1])};
                v.color = cell.color;
                v.u = static_cast<float>(kCorner[k][0]);
                v.v = static_cast<float>(kCorner[k][1]);
            }
            uint16_t b = static_cast<uint16_t>(4 * n);
            const uint16_t quad[6] = {b,
                                      static_cast<uint16_t>(b + 2),
                                      static_cast<uint16_t>(b + 1),
                                      static_cast<uint16_t>(b + 1),
                                      static_cast<uint16_t>(b + 2),
                                      static_cast<uint16_t>(b + 3)};
            for (int k = 0; k < 6; ++k)
                indices[6 * n + static_cast<uint32_t>(k)] = m_indexCopy[6 * n + static_cast<uint32_t>(k)] = quad[k];
            ++n;
        }
    }
    if (m_usedCount > 0) m_mesh->CreateBuffers();
}
