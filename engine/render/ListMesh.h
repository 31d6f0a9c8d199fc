// A triangle list that holds its own vertices, of one vertex type: the small
// meshes the map builds itself (the placement grid, the terrain objects).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/ZEMMesh.h"

// kFixedFvf, when not 0, is the format whatever the caller asks for.
template <typename Vertex, uint32_t kFixedFvf = 0>
class CListMesh : public CZEMMesh {
public:
    using CZEMMesh::CZEMMesh;
    // A list; the stride is always the vertex type's.
    void Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t /*stripIndexCount*/, uint32_t /*stride*/,
               uint32_t fvf) override {
        CZEMMesh::Setup(vertexCount, listIndexCount, 0, sizeof(Vertex), kFixedFvf != 0 ? kFixedFvf : fvf);
        SetPrimitiveCount(listIndexCount / 3);
        m_vertices.assign(vertexCount, Vertex{});
    }
    void Clear() override {
        CZEMMesh::Clear();
        m_vertices.clear();
    }
    const void* GetVertices() const override { return m_vertices.data(); }
    std::vector<Vertex>& Vertices() { return m_vertices; }
    const std::vector<Vertex>& Vertices() const { return m_vertices; }

private:
    std::vector<Vertex> m_vertices;
};
