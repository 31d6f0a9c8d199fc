#include "engine/render/ZEMMesh.h"

#include <algorithm>
#include <cstring>

#include "engine/render/DeviceStates.h"
#include "engine/core/ErrorReport.h"

using namespace platform;

CZEMMesh::~CZEMMesh() { ReleaseBuffers(); }

void CZEMMesh::Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t stripIndexCount, uint32_t stride,
                     uint32_t fvf) {
    m_vertexCount = vertexCount;
    m_indexCount = stripIndexCount != 0 ? stripIndexCount : listIndexCount;
    m_stride = stride;
    m_fvf = fvf;
    m_indices.assign(m_indexCount, 0);
}

void CZEMMesh::ReleaseBuffers() {
    if (m_vertexBuffer) m_vertexBuffer->Release();
    if (m_indexBuffer) m_indexBuffer->Release();
    m_vertexBuffer = nullptr;
    m_indexBuffer = nullptr;
}

void CZEMMesh::Draw() {
    if (!m_device || m_primitiveCount == 0 || !m_vertexBuffer || !m_indexBuffer) return;
    m_device->SetStreamSource(0, m_vertexBuffer, 0, m_stride);
    SetFvfCached(*m_device, m_fvf);
    m_device->SetIndices(m_indexBuffer);
    m_device->DrawIndexedPrimitive(m_primitiveType, 0, 0, m_vertexCount, 0, m_primitiveCount);
}

void CZEMMesh::DrawIndexed() {
    if (!m_device || m_primitiveCount == 0 || !m_indexBuffer) return;
    m_device->SetIndices(m_indexBuffer);
    m_device->DrawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, m_vertexCount, 0, m_primitiveCount);
}

void CZEMMesh::Clear() {
    ReleaseBuffers();
    m_indices.clear();
    m_vertexCount = m_indexCount = m_primitiveCount = 0;
}

int CZEMMesh::CreateBuffers() {
    if (m_vertexBuffer) return 1;
    int ok = CreateVertexBuffer(m_vertexCount) && CreateIndexBuffer(m_indexCount) && FillVertexBuffer(GetVertices()) &&
             FillIndexBuffer(m_indices.data());
    if (!ok) ReleaseBuffers();
    return ok;
}

int CZEMMesh::ReportDeviceFailure(int line, GfxResult result) {
    ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMMesh", line, result);
    return 0;
}

int CZEMMesh::CreateVertexBuffer(uint32_t count) {
    if (!m_device) return ReportDeviceFailure(__LINE__, GFXERR_INVALIDCALL);
    if (m_vertexBuffer) m_vertexBuffer->Release();
    m_vertexBuffer = nullptr;
    GfxResult r = m_device->CreateVertexBuffer(count * m_stride, 0, m_fvf, POOL_MANAGED, &m_vertexBuffer);
    return GfxFailed(r) ? ReportDeviceFailure(__LINE__, r) : 1;
}

int CZEMMesh::CreateIndexBuffer(uint32_t count) {
    if (!m_device) return ReportDeviceFailure(__LINE__, GFXERR_INVALIDCALL);
    if (m_indexBuffer) m_indexBuffer->Release();
    m_indexBuffer = nullptr;
    GfxResult r = m_device->CreateIndexBuffer(count * 2, 0, FMT_INDEX16, POOL_MANAGED, &m_indexBuffer);
    return GfxFailed(r) ? ReportDeviceFailure(__LINE__, r) : 1;
}

int CZEMMesh::FillVertexBuffer(const void* vertices) {
    if (!m_vertexBuffer || !vertices) return ReportDeviceFailure(__LINE__, GFXERR_INVALIDCALL);
    void* data = nullptr;
    GfxResult r = m_vertexBuffer->Lock(0, 0, &data, 0);
    if (GfxFailed(r)) return ReportDeviceFailure(__LINE__, r);
    std::memcpy(data, vertices, std::min<size_t>(m_vertexBuffer->GetLength(), size_t{m_vertexCount} * m_stride));
    m_vertexBuffer->Unlock();
    return 1;
}

int CZEMMesh::FillIndexBuffer(const uint16_t* indices) {
    if (!m_indexBuffer || !indices) return ReportDeviceFailure(__LINE__, GFXERR_INVALIDCALL);
    void* data = nullptr;
    GfxResult r = m_indexBuffer->Lock(0, 0, &data, 0);
    if (GfxFailed(r)) return ReportDeviceFailure(__LINE__, r);
    std::memcpy(data, indices, std::min<size_t>(m_indexBuffer->GetLength(), size_t{m_indexCount} * 2));
    m_indexBuffer->Unlock();
    return 1;
}
