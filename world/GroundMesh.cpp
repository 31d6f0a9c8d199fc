#include "world/GroundMesh.h"

CGroundMesh::~CGroundMesh() { CGroundMesh::Clear(); }

void CGroundMesh::Create(uint32_t vertexCount, uint32_t indexCount, int32_t indexCountOverride) {
    const uint32_t indices = indexCountOverride > 0 ? static_cast<uint32_t>(indexCountOverride) : indexCount;
    CZEMMesh::Setup(vertexCount, indices, 0, sizeof(GroundVertex), platform::FVF_XYZ | platform::FVF_NORMAL);
    SetPrimitiveCount(indices / 3);
    m_vertices.assign(vertexCount, GroundVertex{});
}

int CGroundMesh::RestoreDeviceObjects() {
    if (m_vertices.empty()) return 1;
    if (m_vertexBuffer && m_indexBuffer) return 1;
    ReleaseBuffers();
    return CreateVertexBuffer(m_vertexCount) && CreateIndexBuffer(m_indexCount) &&
           FillVertexBuffer(m_vertices.data()) && FillIndexBuffer(m_indices.data());
}

void CGroundMesh::Clear() {
    CZEMMesh::Clear();
    m_vertices.clear();
}
