// Mesh resources (type 4): a set of textures and a list of named parts, each
// drawn in one call, rigid or skinned, each fading along its alpha keys.
//
// File layout (little-endian, strings in the stream's length-prefixed form):
//   float version (1.28), u32 textureCount, u32 partCount, 3 floats boundsMin,
//   3 floats boundsMax, u32 twoSided, u32 alwaysBlend,
//   textureCount strings (".DDS" names; empty = no texture),
//   partCount parts of:
//     u32 kind (0 rigid, else skinned), string name, u32 alphaKeyCount,
//     alphaKeyCount x {float time, float alpha}, i32 textureIndex (negative =
//     none), u32 vertexCount, u32 triangleCount, u32 isStrip, u32 stripIndexCount,
//     vertexCount vertices: rigid 32 bytes {position, normal, u v}; skinned 80
//       bytes {position, normal, u v, 4 x {i32 bone, i32 palette slot, float weight}},
//     skinned only: u32 boneCount, boneCount x u32 skeleton bone (the palette),
//     u16 indices: 3 x triangleCount for a list, stripIndexCount for a strip.
// Mesh files have no fixed extension: their names come from model and effect files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/MeshPart.h"
#include "engine/resource/Resource.h"

class CResourceManager;
class CShaderSet;
class CFileStream;

// One vertex as a mesh file stores it (a rigid part ignores the influences).
struct MeshFileVertex {
    platform::Vec3 position;
    platform::Vec3 normal;
    float u = 0, v = 0;
    SkinInfluence influences[4];
};

// One part as a mesh file stores it.
struct MeshFilePart {
    uint32_t kind = 0;
    std::string name;
    std::vector<AlphaKey> alphaKeys;
    int32_t textureIndex = -1;
    uint32_t triangleCount = 0;
    uint32_t isStrip = 0;
    uint32_t stripIndexCount = 0;
    std::vector<MeshFileVertex> vertices;
    std::vector<uint32_t> palette;  // skinned parts only
    std::vector<uint16_t> indices;
};

class CMeshResource : public CResource {
public:
    static constexpr float kVersion = 1.28f;

    // Skinned parts use the shader set's skinning effect when it is ready and
    // the load flag asks for it.
    CMeshResource(platform::CGfxDevice* device, CShaderSet* shaders)
        : CResource(RES_MESH), m_device(device), m_shaders(shaders) {}
    ~CMeshResource() override;

    int Load(const char* path, int flag) override;
    int Restore() override;
    void Invalidate() override;
    void Unload() override;

    // Draws one part at a time (null: no time) with the skeleton's bone
    // matrices (boneCount of them) for a skinned part.
    void DrawPart(uint32_t part, const float* time, const platform::Matrix* bones, uint32_t boneCount);
    // The shadow pass binds the texture and draws without touching the cull
    // mode or the alpha states; otherwise as DrawPart.
    void DrawPartPosed(uint32_t part, const float* time, const platform::Matrix* bones, uint32_t boneCount,
                       bool shadowPass);
    // The translucency states of a part's draw (blend on) or their restore (off).
    void SetAlphaStates(bool blend, int32_t alpha, uint32_t sourceBlend, uint32_t destBlend);

    uint32_t PartCount() const { return static_cast<uint32_t>(m_parts.size()); }
    CMeshPart* Part(uint32_t i) const { return i < m_parts.size() ? m_parts[i].get() : nullptr; }
    // Index of the first part of that name, or -1.
    int32_t FindPart(const std::string& name) const;
    uint32_t TextureCount() const { return static_cast<uint32_t>(m_textures.size()); }
    CResource* TextureSlot(uint32_t i) const { return i < m_textures.size() ? m_textures[i] : nullptr; }
    uint32_t TotalVertices() const { return m_totalVertices; }
    uint32_t TotalPrimitives() const { return m_totalPrimitives; }
    const platform::Vec3& BoundsMin() const { return m_boundsMin; }
    const platform::Vec3& BoundsMax() const { return m_boundsMax; }
    bool TwoSided() const { return m_twoSided != 0; }
    bool AlwaysBlend() const { return m_alwaysBlend != 0; }
    int32_t Alpha() const { return m_alpha; }
    void SetAlpha(int32_t alpha) { m_alpha = alpha; }

private:
    int ReadPart(CFileStream& s, MeshFilePart& part);
    int CheckPart(const MeshFilePart& part, uint32_t index);
    std::unique_ptr<CMeshPart> MakePart(const MeshFilePart& part, bool shaderSkinning) const;
    void BindTexture(const CMeshPart& part);
    void DrawOne(CMeshPart& part, const platform::Matrix* bones, uint32_t boneCount);

    platform::CGfxDevice* m_device;
    CShaderSet* m_shaders;
    std::vector<CResource*> m_textures;
    uint32_t m_totalVertices = 0;
    uint32_t m_totalPrimitives = 0;
    platform::Vec3 m_boundsMin, m_boundsMax;
    uint32_t m_twoSided = 0;
    uint32_t m_alwaysBlend = 0;
    int32_t m_alpha = 255;
    std::vector<std::unique_ptr<CMeshPart>> m_parts;
};

// Registers the type-4 factory with the manager: meshes on the manager's device.
void RegisterMeshResources(CResourceManager& manager, CShaderSet* shaders);
