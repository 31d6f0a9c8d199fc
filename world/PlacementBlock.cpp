#include "world/PlacementBlock.h"

#include "engine/core/FileStream.h"
#include "world/MapLayerMesh.h"

int CPlacementBlock::Serialize(CFileStream& stream) {
    for (int x = 0; x < CPlacementGrid::kSide; ++x) {
        for (int z = 0; z < CPlacementGrid::kSide; ++z) {
            CPlacementGrid::Cell& cell = At(x, z);
            stream.Serialize(cell.used);
            stream.Serialize(cell.height);
            stream.Serialize(cell.color);
        }
    }
    return stream.Failed() ? 0 : 1;
}

void CPlacementBlock::Link(CSceneObject* patch, int32_t patchX, int32_t patchZ) {
    m_patch = patch;
    m_world = platform::MatrixTranslation(static_cast<float>(patchX) * 160.0f, 0.0f,
                                          static_cast<float>(patchZ) * 160.0f);
}

int CPlacementBlock::RestoreDeviceObjects() {
    m_grid.BuildMesh();
    CPlacementGridMesh* mesh = m_grid.Mesh();
    return !mesh || m_grid.UsedCount() == 0 || mesh->VertexBuffer() ? 1 : 0;
}

void CPlacementBlock::InvalidateDeviceObjects() {
    if (m_grid.Mesh()) m_grid.Mesh()->ReleaseBuffers();
}

void CPlacementBlock::Render(platform::CGfxDevice& /*device*/) {
    if (m_grid.Mesh()) CMapLayerMesh::Draw(*m_grid.Mesh(), m_world);
}
