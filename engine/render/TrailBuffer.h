// The vertex store of a ribbon trail: vertices only, drawn by the trail's
// owner without an index buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/ZEMMesh.h"

class CTrailBuffer : public CZEMMesh {
public:
    using CZEMMesh::CZEMMesh;
    void Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t stripIndexCount, uint32_t stride,
               uint32_t fvf) override;
    void Clear() override;
    // The vertex buffer only.
    int CreateBuffers() override;
    const void* GetVertices() const override { return m_vertices.data(); }
    // vertexCount x stride bytes.
    std::vector<uint8_t>& Vertices() { return m_vertices; }

private:
    std::vector<uint8_t> m_vertices;
};
