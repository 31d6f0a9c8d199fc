// The parts of a mesh resource: one vertex and index buffer each, drawn in one
// call. Rigid parts keep fixed-function vertices; skinned parts are blended
// on the processor into fixed-function vertices, or on the graphics card by
// the skinning effect of the shader set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/ZEMMesh.h"

class CShaderSet;

struct AlphaKey {
    float time = 0;
    float alpha = 255;  // 0..255
};

// One influence of a skinned vertex in the file; a negative index does not count.
struct SkinInfluence {
    int32_t boneIndex = -1;     // skeleton bone (processor skinning)
    int32_t paletteIndex = -1;  // slot of the part's palette (skinning on the graphics card)
    float weight = 0;
};

// The 64-byte skinned vertex in memory: the four weights and the four bone
// indices (as floats) ride in two four-float texture sets.
struct SkinVertex64 {
    platform::Vec3 position;
    platform::Vec3 normal;
    float u = 0, v = 0;
    float weights[4] = {};
    float indices[4] = {};
};
static_assert(sizeof(SkinVertex64) == 64);

// Bone matrices a skinning effect can take at once.
constexpr uint32_t kMaxPaletteBones = 45;

class CMeshPart : public CZEMMesh {
public:
    enum PartClass { RIGID, SOFT_SKIN, SHADER_SKIN };

    using CZEMMesh::CZEMMesh;
    virtual PartClass Class() const = 0;
    bool IsSkinned() const { return Class() != RIGID; }

    // Parts without primitives have nothing to draw and make no buffers.
    int CreateBuffers() override;
    // Positions of list triangle t, read from the part's own vertices.
    bool GetTriangle(uint32_t triangle, platform::Vec3* positions) const override;

    // Alpha 0..255 at a time: 255 without a time or with fewer than two keys;
    // otherwise the keys' alpha interpolated, held before the first key and
    // after the last.
    int32_t AlphaAt(const float* time) const;

    std::string name;
    int32_t textureIndex = -1;
    std::vector<AlphaKey> alphaKeys;
    uint32_t kind = 0;
    int32_t currentAlpha = 255;

protected:
    virtual platform::Vec3 PositionOf(uint32_t vertex) const = 0;
};

class CRigidMeshPart : public CMeshPart {
public:
    using CMeshPart::CMeshPart;
    PartClass Class() const override { return RIGID; }
    const void* GetVertices() const override { return vertices.data(); }

    std::vector<MeshVertex32> vertices;

protected:
    platform::Vec3 PositionOf(uint32_t vertex) const override { return vertices[vertex].position; }
};

// Blended on the processor each frame into a fixed-function output that is
// then written into the vertex buffer.
class CSoftSkinMeshPart : public CMeshPart {
public:
    using CMeshPart::CMeshPart;
    PartClass Class() const override { return SOFT_SKIN; }
    const void* GetVertices() const override { return output.data(); }
    // Influences name skeleton bones; one past boneCount does not count.
    void ApplyBones(const platform::Matrix* bones) override { ApplyBones(bones, UINT32_MAX); }
    void ApplyBones(const platform::Matrix* bones, uint32_t boneCount);
    // Copies position, normal and texture coordinates into the output.
    void PrepareVertices() override;

    std::vector<SkinVertex64> source;
    std::vector<MeshVertex32> output;

protected:
    platform::Vec3 PositionOf(uint32_t vertex) const override { return source[vertex].position; }
};

// Blended on the graphics card: the palette's matrices go to the skinning
// effect, which draws with the shader set's vertex declaration.
class CShaderSkinMeshPart : public CMeshPart {
public:
    CShaderSkinMeshPart(platform::CGfxDevice* device, CShaderSet* shaders) : CMeshPart(device), m_shaders(shaders) {}
    PartClass Class() const override { return SHADER_SKIN; }
    const void* GetVertices() const override { return vertices.data(); }
    void AddPaletteBone(uint32_t bone) override { palette.push_back(bone); }
    void ApplyBones(const platform::Matrix* bones) override { ApplyBones(bones, UINT32_MAX); }
    // Palette bones past boneCount get the identity.
    void ApplyBones(const platform::Matrix* bones, uint32_t boneCount);
    void Draw() override;

    std::vector<SkinVertex64> vertices;
    std::vector<uint32_t> palette;

protected:
    platform::Vec3 PositionOf(uint32_t vertex) const override { return vertices[vertex].position; }

private:
    CShaderSet* m_shaders;
};
