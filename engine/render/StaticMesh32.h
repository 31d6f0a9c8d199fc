// A triangle list with its own fixed-function vertices (position, normal,
// one texture set), as the map's terrain objects are made of.
#pragma once

#include "engine/render/ListMesh.h"

class CStaticMesh32 : public CListMesh<MeshVertex32, kFvfMesh32> {
public:
<<<<<<< HEAD
    using CListMesh::CListMesh;
=======
    using CZEMMesh::CZEMMesh;
    // A list; the stride and format are always those of MeshVertex32.
    void Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t stripIndexCount, uint32_t stride,
               uint32_t fvf) override;
    void Clear() override;
    const void* GetVertices() const override { return m_vertices.data(); }
    std::vector<MeshVertex32>& Vertices() { return m_vertices; }
    const std::vector<MeshVertex32>& Vertices() const { return m_vertices; }

private:
    std::vector<MeshVertex32> m_vertices;
>>>>>>> issue25
};
