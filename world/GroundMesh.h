// The mesh of the flat ground objects: position-and-normal vertices (24 bytes,
// format 0x12) kept in memory beside the indices, so that its device buffers
// can be made again at any time.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/ZEMMesh.h"

struct GroundVertex {
    platform::Vec3 position;
    platform::Vec3 normal;
};
static_assert(sizeof(GroundVertex) == 24);

class CGroundMesh : public CZEMMesh {
public:
    using CZEMMesh::CZEMMesh;
    ~CGroundMesh() override;

    // An override above 0 replaces the index count; the contents are the caller's.
    void Create(uint32_t vertexCount, uint32_t indexCount, int32_t indexCountOverride);
    // 1 with nothing to make; else the buffers are made and filled, 0 at the first failure.
    int RestoreDeviceObjects();
    void Clear() override;
    const void* GetVertices() const override { return m_vertices.data(); }
    std::vector<GroundVertex>& Vertices() { return m_vertices; }

private:
    std::vector<GroundVertex> m_vertices;
};
