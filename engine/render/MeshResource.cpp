#include "engine/render/MeshResource.h"

#include "engine/core/BlockReader.h"
#include "engine/render/DeviceStates.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/resource/ResourceFile.h"
#include "engine/resource/ResourceManager.h"
#include "engine/render/ShaderSet.h"
#include "engine/resource/TextureResource.h"

using namespace platform;

namespace {

constexpr size_t kNameCapacity = 256;
constexpr uint32_t kRigidVertexBytes = 32;
constexpr uint32_t kSkinVertexBytes = 80;
constexpr uint32_t kAlphaOpaqueRef = 0x82;

void ReadVertex(CBlockReader& r, MeshFileVertex& v, bool skinned) {
    for (float* f : {&v.position.x, &v.position.y, &v.position.z, &v.normal.x, &v.normal.y, &v.normal.z, &v.u, &v.v})
        *f = r.Float();
    if (!skinned) return;
    for (SkinInfluence& in : v.influences) {
        in.boneIndex = r.I32();
        in.paletteIndex = r.I32();
        in.weight = r.Float();
    }
}

}  // namespace

CMeshResource::~CMeshResource() { Unload(); }

int CMeshResource::Load(const char* path, int flag) {
    CFileStream s;
    if (!OpenResourceFile(s, *this, path, kVersion)) return 0;
    uint32_t textureCount = 0, partCount = 0;
    s.ReadU32(textureCount);
    s.ReadU32(partCount);
    ReadVec3(s, m_boundsMin);
    ReadVec3(s, m_boundsMax);
    s.ReadU32(m_twoSided);
    s.ReadU32(m_alwaysBlend);
    if (s.Failed()) return 0;
    // A texture name takes at least its length word, a part at least its eight fixed words.
    if (!CountFits(s, *this, textureCount, 4) || !CountFits(s, *this, partCount, 32))
        return ReportDamagedResource(*this, "texture or part count past the file");

    m_textures.assign(textureCount, nullptr);
    for (CResource*& slot : m_textures) {
        std::string name;
        s.ReadString(name, kNameCapacity);
        if (s.Failed()) return 0;
        if (name.empty()) continue;
        if (!g_pResourceManager) return ReportDamagedResource(*this, "no resource manager for its textures");
        slot = g_pResourceManager->GetResource(name.c_str(), RES_TEXTURE, nullptr, 1);
        if (!slot) {
            ChainResourceFailure(*this);
            return 0;
        }
    }

    bool shaderSkinning =
        flag != 0 && m_shaders && m_shaders->IsReady() && m_shaders->SkinEffect() && m_shaders->SkinDeclaration();
    for (uint32_t i = 0; i < partCount; ++i) {
        MeshFilePart data;
        if (!ReadPart(s, data)) return 0;
        if (!CheckPart(data, i)) return 0;
        std::unique_ptr<CMeshPart> part = MakePart(data, shaderSkinning);
        m_totalVertices += part->VertexCount();
        m_totalPrimitives += part->PrimitiveCount();
        m_parts.push_back(std::move(part));
    }
    s.Close();
    return Restore();
}

int CMeshResource::ReadPart(CFileStream& s, MeshFilePart& part) {
    uint32_t alphaKeyCount = 0, vertexCount = 0;
    s.ReadU32(part.kind);
    s.ReadString(part.name, kNameCapacity);
    s.ReadU32(alphaKeyCount);
    if (s.Failed()) return 0;
    if (!CountFits(s, *this, alphaKeyCount, 8)) return ReportDamagedResource(*this, "alpha key count past the file");
    part.alphaKeys.resize(alphaKeyCount);
    for (AlphaKey& k : part.alphaKeys) {
        s.ReadFloat(k.time);
        s.ReadFloat(k.alpha);
    }
    s.ReadI32(part.textureIndex);
    s.ReadU32(vertexCount);
    s.ReadU32(part.triangleCount);
    s.ReadU32(part.isStrip);
    s.ReadU32(part.stripIndexCount);
    if (s.Failed()) return 0;
    bool skinned = part.kind != 0;
    uint32_t indexCount = part.isStrip ? part.stripIndexCount : part.triangleCount * 3u;
    uint64_t fixedBytes = uint64_t{vertexCount} * (skinned ? kSkinVertexBytes : kRigidVertexBytes) +
                          (part.isStrip ? uint64_t{part.stripIndexCount} : uint64_t{part.triangleCount} * 3) * 2;
    if (!CountFits(s, *this, 1, fixedBytes)) return ReportDamagedResource(*this, "vertex or index count past the file");
    part.vertices.resize(vertexCount);
    {
        CBlockReader block(s, uint64_t{vertexCount} * (skinned ? kSkinVertexBytes : kRigidVertexBytes));
        if (block.Failed()) return 0;
        for (MeshFileVertex& v : part.vertices) ReadVertex(block, v, skinned);
    }
    if (skinned) {
        uint32_t boneCount = 0;
        if (!s.ReadU32(boneCount)) return 0;
        if (!CountFits(s, *this, boneCount, 4)) return ReportDamagedResource(*this, "bone count past the file");
        part.palette.resize(boneCount);
        for (uint32_t& b : part.palette) s.ReadU32(b);
    }
    part.indices.resize(indexCount);
    CBlockReader block(s, uint64_t{indexCount} * 2);
    for (uint16_t& index : part.indices) index = block.U16();
    return s.Failed() || block.Failed() ? 0 : 1;
}

int CMeshResource::CheckPart(const MeshFilePart& part, uint32_t index) {
    if (part.isStrip && part.stripIndexCount < 3) {
        ErrorReport().SetError(ERR_DATA, "Part %u (%s) is a strip of fewer than 3 indices", index, part.name);
        ChainResourceFailure(*this);
        return 0;
    }
    for (uint16_t i : part.indices) {
        if (i >= part.vertices.size()) {
            ErrorReport().SetError(ERR_DATA, "Part %u (%s) has index %u past its %u vertices", index, part.name,
                                   static_cast<uint32_t>(i), static_cast<uint32_t>(part.vertices.size()));
            ChainResourceFailure(*this);
            return 0;
        }
    }
    return 1;
}

std::unique_ptr<CMeshPart> CMeshResource::MakePart(const MeshFilePart& data, bool shaderSkinning) const {
    uint32_t vertexCount = static_cast<uint32_t>(data.vertices.size());
    uint32_t listIndexCount = data.triangleCount * 3;
    uint32_t stripIndexCount = data.isStrip ? data.stripIndexCount : 0;
    std::unique_ptr<CMeshPart> part;
    if (data.kind == 0) {
        auto rigid = std::make_unique<CRigidMeshPart>(m_device);
        rigid->Setup(vertexCount, listIndexCount, stripIndexCount, sizeof(MeshVertex32), kFvfMesh32);
        rigid->vertices.resize(vertexCount);
        for (uint32_t i = 0; i < vertexCount; ++i) {
            const MeshFileVertex& f = data.vertices[i];
            rigid->vertices[i] = MeshVertex32{f.position, f.normal, f.u, f.v};
        }
        part = std::move(rigid);
    } else {
        // A palette larger than the skinning effect takes is blended on the processor.
        bool onCard = shaderSkinning && data.palette.size() <= kMaxPaletteBones;
        std::vector<SkinVertex64> skin(vertexCount);
        for (uint32_t i = 0; i < vertexCount; ++i) {
            const MeshFileVertex& f = data.vertices[i];
            SkinVertex64& v = skin[i];
            v.position = f.position;
            v.normal = f.normal;
            v.u = f.u;
            v.v = f.v;
            for (int k = 0; k < 4; ++k) {
                const SkinInfluence& in = f.influences[k];
                v.weights[k] = in.weight;
                if (onCard) {
                    // An influence outside the palette would read an unset bone
                    // constant: it does not count.
                    bool valid = in.paletteIndex >= 0 && static_cast<uint32_t>(in.paletteIndex) < data.palette.size();
                    v.indices[k] = valid ? static_cast<float>(in.paletteIndex) : 0.0f;
                    if (!valid) v.weights[k] = 0;
                } else {
                    v.indices[k] = static_cast<float>(in.boneIndex);
                }
            }
        }
        if (onCard) {
            auto shader = std::make_unique<CShaderSkinMeshPart>(m_device, m_shaders);
            shader->Setup(vertexCount, listIndexCount, stripIndexCount, sizeof(SkinVertex64), CShaderSet::kSkinFvf);
            shader->vertices = std::move(skin);
            for (uint32_t b : data.palette) shader->AddPaletteBone(b);
            part = std::move(shader);
        } else {
            auto soft = std::make_unique<CSoftSkinMeshPart>(m_device);
            soft->Setup(vertexCount, listIndexCount, stripIndexCount, sizeof(MeshVertex32), kFvfMesh32);
            soft->source = std::move(skin);
            soft->PrepareVertices();
            part = std::move(soft);
        }
    }
    part->name = data.name;
    part->alphaKeys = data.alphaKeys;
    part->textureIndex = data.textureIndex;
    part->kind = data.kind;
    part->SetPrimitiveType(data.isStrip ? PT_TRIANGLESTRIP : PT_TRIANGLELIST);
    part->SetPrimitiveCount(data.isStrip ? data.stripIndexCount - 2 : data.triangleCount);
    part->Indices() = data.indices;
    return part;
}

int CMeshResource::Restore() {
    if (State() != 0) return 1;
    for (auto& part : m_parts)
        if (!part->CreateBuffers()) return 0;
    SetState(1);
    return 1;
}

void CMeshResource::Invalidate() {
    if (State() != 1) return;
    for (auto& part : m_parts) part->ReleaseBuffers();
    SetState(0);
}

void CMeshResource::Unload() {
    Invalidate();
    for (CResource* texture : m_textures)
        if (texture && g_pResourceManager) g_pResourceManager->ReleaseResource(texture);
    m_textures.clear();
    m_parts.clear();
    m_totalVertices = m_totalPrimitives = 0;
    CResource::Unload();
}

int32_t CMeshResource::FindPart(const std::string& name) const {
    for (size_t i = 0; i < m_parts.size(); ++i)
        if (m_parts[i]->name == name) return static_cast<int32_t>(i);
    return -1;
}

void CMeshResource::BindTexture(const CMeshPart& part) {
    // A slot past the list, or an empty one, draws untextured.
    if (part.textureIndex < 0) {
        SetTextureCached(*m_device, 0, nullptr);
        return;
    }
    CTextureResource* texture = AsTexture(TextureSlot(static_cast<uint32_t>(part.textureIndex)));
    if (texture)
        texture->SetToStage(0);
    else
        SetTextureCached(*m_device, 0, nullptr);
    SetTextureCached(*m_device, 1, nullptr);
}

void CMeshResource::DrawOne(CMeshPart& part, const Matrix* bones, uint32_t boneCount) {
    if (part.Class() == CMeshPart::SOFT_SKIN)
        static_cast<CSoftSkinMeshPart&>(part).ApplyBones(bones, boneCount);
    else if (part.Class() == CMeshPart::SHADER_SKIN)
        static_cast<CShaderSkinMeshPart&>(part).ApplyBones(bones, boneCount);
    part.Draw();
}

void CMeshResource::DrawPart(uint32_t index, const float* time, const Matrix* bones, uint32_t boneCount) {
    CMeshPart* part = Part(index);
    if (!part || !m_device) return;
    int32_t alpha = part->AlphaAt(time);
    part->currentAlpha = alpha;
    if (alpha == 0) return;
    SetCullMode(*m_device, m_twoSided != 0);
    BindTexture(*part);
    bool blended = alpha < 255 || m_alpha < 255 || m_alwaysBlend != 0;
    if (blended)
        SetAlphaStates(true, alpha, BLEND_SRCALPHA, BLEND_INVSRCALPHA);
    else
        SetRenderStateCached(*m_device, RS_ALPHAREF, kAlphaOpaqueRef);
    DrawOne(*part, bones, boneCount);
    if (blended)
        SetAlphaStates(false, alpha, BLEND_SRCALPHA, BLEND_INVSRCALPHA);
    else
        SetRenderStateCached(*m_device, RS_ALPHAREF, 1);
}

void CMeshResource::DrawPartPosed(uint32_t index, const float* time, const Matrix* bones, uint32_t boneCount,
                                  bool shadowPass) {
    if (!shadowPass) {
        DrawPart(index, time, bones, boneCount);
        return;
    }
    CMeshPart* part = Part(index);
    if (!part || !m_device) return;
    BindTexture(*part);
    if (part->currentAlpha <= 200) return;  // faint parts cast no shadow
    DrawOne(*part, bones, boneCount);
}

void CMeshResource::SetAlphaStates(bool blend, int32_t alpha, uint32_t sourceBlend, uint32_t destBlend) {
    CGfxDevice& d = *m_device;
    if (!blend) {
        SetRenderStateCached(d, RS_TEXTUREFACTOR, 0xFFFFFFFFu);
        SetRenderStateCached(d, RS_ALPHABLENDENABLE, 0);
        SetStageStateCached(d, 0, TSS_ALPHAOP, TOP_MODULATE);
        SetStageStateCached(d, 0, TSS_ALPHAARG1, TA_CURRENT);
        SetStageStateCached(d, 0, TSS_ALPHAARG2, TA_TEXTURE);
        SetRenderStateCached(d, RS_ZWRITEENABLE, 1);
        return;
    }
    int32_t effective =
        static_cast<int32_t>((static_cast<float>(m_alpha) / 255.0f) * (static_cast<float>(alpha) / 255.0f) * 255.0f);
    if (effective < 255) {
        uint32_t a = static_cast<uint32_t>(std::max(effective, 0));
        SetRenderStateCached(d, RS_TEXTUREFACTOR, (a << 24) | 0xFFFFFFu);
        SetStageStateCached(d, 0, TSS_ALPHAOP, TOP_MODULATE);
        SetStageStateCached(d, 0, TSS_ALPHAARG1, TA_TEXTURE);
        SetStageStateCached(d, 0, TSS_ALPHAARG2, TA_TFACTOR);
        SetRenderStateCached(d, RS_ZWRITEENABLE, 0);
    } else {
        SetStageStateCached(d, 0, TSS_ALPHAOP, TOP_MODULATE);
        SetStageStateCached(d, 0, TSS_ALPHAARG1, TA_TEXTURE);
        SetStageStateCached(d, 0, TSS_ALPHAARG2, TA_CURRENT);
    }
    SetRenderStateCached(d, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(d, RS_SRCBLEND, sourceBlend);
    SetRenderStateCached(d, RS_DESTBLEND, destBlend);
}

void RegisterMeshResources(CResourceManager& manager, CShaderSet* shaders) {
    manager.SetFactory(RES_MESH, [&manager, shaders](CUiWindow*) -> CResource* {
        return new CMeshResource(manager.Device(), shaders);
    });
}
