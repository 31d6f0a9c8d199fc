#include "engine/render/SharedVertexMesh.h"

void CSharedVertexMesh::Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t /*stripIndexCount*/,
                              uint32_t stride, uint32_t fvf) {
    CZEMMesh::Setup(vertexCount, listIndexCount, 0, stride, fvf);
    SetPrimitiveCount(listIndexCount / 3);
}

int CSharedVertexMesh::CreateBuffers() {
    if (m_indexBuffer) return 1;
    int ok = CreateIndexBuffer(m_indexCount) && FillIndexBuffer(m_indices.data());
    if (!ok) ReleaseBuffers();
    return ok;
}
