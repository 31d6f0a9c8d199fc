// The one wrapper of a device vertex buffer and 16-bit index buffer: it keeps
// the counts, the vertex format and a system copy of the indices, creates the
// device buffers from its arrays (so that they can be dropped and made again
// around a lost device) and draws them with one indexed call. Every drawable
// piece of geometry is a subclass that decides where its vertices live.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/GfxDevice.h"
#include "platform/Math.h"

// Position, normal, one texture set: the fixed-function vertex (format 0x112).
struct MeshVertex32 {
    platform::Vec3 position;
    platform::Vec3 normal;
    float u = 0, v = 0;
};
static_assert(sizeof(MeshVertex32) == 32);

constexpr uint32_t kFvfMesh32 = platform::FVF_XYZ | platform::FVF_NORMAL | platform::FVF_TEX1;

class CZEMMesh {
public:
    explicit CZEMMesh(platform::CGfxDevice* device) : m_device(device) {}
    virtual ~CZEMMesh();
    CZEMMesh(const CZEMMesh&) = delete;
    CZEMMesh& operator=(const CZEMMesh&) = delete;

    // Stores the counts (a strip's index count wins over a list's) and makes
    // the index array.
    virtual void Setup(uint32_t vertexCount, uint32_t listIndexCount, uint32_t stripIndexCount, uint32_t stride,
                       uint32_t fvf);
    virtual void ReleaseBuffers();
    // The positions of one list triangle (picking); false when there is none.
    virtual bool GetTriangle(uint32_t /*triangle*/, platform::Vec3* /*positions*/) const { return false; }
    virtual void ApplyBones(const platform::Matrix* /*bones*/) {}
    virtual void PrepareVertices() {}
    virtual void AddPaletteBone(uint32_t /*bone*/) {}
    // Stream 0, format, indices and one indexed draw. Nothing without
    // primitives or without both buffers.
    virtual void Draw();
    virtual void Clear();
    // 1 when the buffers exist afterwards; 0 with error 10005 set.
    virtual int CreateBuffers();
    // What CreateBuffers copies into the vertex buffer (vertexCount x stride bytes).
    virtual const void* GetVertices() const = 0;

    int CreateVertexBuffer(uint32_t count);
    int CreateIndexBuffer(uint32_t count);
    int FillVertexBuffer(const void* vertices);
    int FillIndexBuffer(const uint16_t* indices);
    // Indices and one indexed list draw, for meshes whose owner set the stream.
    void DrawIndexed();

    uint32_t VertexCount() const { return m_vertexCount; }
    uint32_t IndexCount() const { return m_indexCount; }
    uint32_t PrimitiveCount() const { return m_primitiveCount; }
    void SetPrimitiveCount(uint32_t count) { m_primitiveCount = count; }
    uint32_t Stride() const { return m_stride; }
    uint32_t Fvf() const { return m_fvf; }
    uint32_t PrimitiveType() const { return m_primitiveType; }
    void SetPrimitiveType(uint32_t type) { m_primitiveType = type; }
    std::vector<uint16_t>& Indices() { return m_indices; }
    const std::vector<uint16_t>& Indices() const { return m_indices; }
    platform::CGfxVertexBuffer* VertexBuffer() const { return m_vertexBuffer; }
    platform::CGfxIndexBuffer* IndexBuffer() const { return m_indexBuffer; }
    platform::CGfxDevice* Device() const { return m_device; }

protected:
    // Error 10005 of a failed device call, from this source.
    static int ReportDeviceFailure(int line, platform::GfxResult result);

    platform::CGfxDevice* m_device;
    uint32_t m_vertexCount = 0;
    uint32_t m_indexCount = 0;
    uint32_t m_primitiveCount = 0;
    uint32_t m_stride = 0;
    uint32_t m_fvf = 0;
    std::vector<uint16_t> m_indices;
    uint32_t m_primitiveType = platform::PT_TRIANGLELIST;
    platform::CGfxVertexBuffer* m_vertexBuffer = nullptr;
    platform::CGfxIndexBuffer* m_indexBuffer = nullptr;
};
