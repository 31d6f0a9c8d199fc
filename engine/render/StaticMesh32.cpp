#include "engine/render/StaticMesh32.h"

void CStaticMesh32::Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t /*stripIndexCount*/,
                          uint32_t /*stride*/, uint32_t /*fvf*/) {
    CZEMMesh::Setup(vertexCount, listIndexCount, 0, sizeof(MeshVertex32), kFvfMesh32);
    SetPrimitiveCount(listIndexCount / 3);
    m_vertices.assign(vertexCount, MeshVertex32{});
}

void CStaticMesh32::Clear() {
    CZEMMesh::Clear();
    m_vertices.clear();
}
