#include "world/PlacementBlock.h"

#include "engine/core/FileStream.h"
#include "engine/render/DeviceStates.h"

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

void CPlacementBlock::Render(platform::CGfxDevice& device) {
    CPlacementGridMesh* mesh = m_grid.Mesh();
    if (!mesh || !mesh->VertexBuffer() || !mesh->IndexBuffer() || mesh->PrimitiveCount() == 0) return;
    device.SetTransform(platform::TS_WORLD, &m_world);
    device.SetStreamSource(0, mesh->VertexBuffer(), 0, sizeof(PlacementVertex));
    SetFvfCached(device, platform::FVF_XYZ | platform::FVF_DIFFUSE | platform::FVF_TEX1);
    mesh->DrawIndexed();
}
