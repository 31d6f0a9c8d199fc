#include "engine/render/TrailBuffer.h"

void CTrailBuffer::Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t stripIndexCount, uint32_t stride,
                         uint32_t fvf) {
    CZEMMesh::Setup(vertexCount, listIndexCount, stripIndexCount, stride, fvf);
    m_vertices.assign(size_t{vertexCount} * stride, 0);
}

void CTrailBuffer::Clear() {
    CZEMMesh::Clear();
    m_vertices.clear();
}

int CTrailBuffer::CreateBuffers() {
    if (m_vertexBuffer) return 1;
    int ok = CreateVertexBuffer(m_vertexCount) && FillVertexBuffer(m_vertices.data());
    if (!ok) ReleaseBuffers();
    return ok;
}
