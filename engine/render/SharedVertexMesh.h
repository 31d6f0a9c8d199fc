// Index lists drawn from a vertex stream that their owner sets (the terrain
// objects of the map share one vertex buffer among several of these).
#pragma once

#include "engine/render/ZEMMesh.h"

class CSharedVertexMesh : public CZEMMesh {
public:
    using CZEMMesh::CZEMMesh;
    // vertexCount and a triangle list only.
    void Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t stripIndexCount, uint32_t stride,
               uint32_t fvf) override;
    // The index buffer only: the vertices belong to the owner.
    int CreateBuffers() override;
    void Draw() override { DrawIndexed(); }
    const void* GetVertices() const override { return nullptr; }
};
