#include "engine/render/MeshResource.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/core/ErrorReport.h"
#include "engine/render/ShaderSet.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/RecordingEffect.h"
#include "tests/fixtures/ResourceFolder.h"
#include "tools/DdsWriter.h"
#include "tools/MeshWriter.h"
#include "engine/resource/TextureResource.h"

using namespace platform;

namespace {

// A rigid quad with alpha keys and a skinned 1 x 2 grid on a palette of bones 3 and 5.
MeshFile TwoPartMesh() {
    MeshFile f;
    f.boundsMin = {-1, -2, -3};
    f.boundsMax = {4, 5, 6};
    f.twoSided = 1;
    f.textures = {""};
    MeshFilePart rigid = MakeGridPart("BODY", 1, 1);
    rigid.alphaKeys = {{0, 0}, {1, 255}, {2, 100}};
    f.parts.push_back(rigid);
    f.parts.push_back(MakeSkinnedGridPart("ARM", 1, 2, 2, {3, 5}));
    return f;
}

// A game folder with a recording device, and a shader set that is ready
// (effects loaded through recording effects) or not.
struct MeshFixture {
    ResourceFolder folder;
    CGfxRecordingDevice device;
    CShaderSet shaders{&device};
    std::vector<std::string> effectLog;
    std::vector<CResource*> loaded;

    explicit MeshFixture(bool shadersReady) {
        folder.WriteLoose("ZEMSKIN.FXO", {'F', 'X'});
        folder.WriteLoose("ZEMGAUSS.FXO", {'F', 'X'});
        folder.Manager().SetDevice(&device);
        RegisterMeshResources(folder.Manager(), &shaders);
        shaders.SetEffectLoader(RecordingEffectLoader(&effectLog));
        if (shadersReady) {
            EXPECT_EQ(shaders.LoadShaders(1), 1) << folder.report.Text();
        }
    }
    ~MeshFixture() {
        for (CResource* r : loaded) folder.Manager().ReleaseResource(r);
    }
    // Writes the file as name and loads it (a new name each time: the cache is by name).
    CMeshResource* Load(const MeshFile& file, const std::string& name, int flag) {
        return Load(WriteMeshFile(file), name, flag);
    }
    CMeshResource* Load(const std::vector<uint8_t>& bytes, const std::string& name, int flag) {
        folder.WriteLoose(name, bytes);
        folder.Manager().FileIndex().ClearFolders();
        folder.Manager().FileIndex().ScanFolder(".");
        auto* mesh = static_cast<CMeshResource*>(folder.Manager().GetResource(name.c_str(), RES_MESH, nullptr, flag));
        if (mesh) loaded.push_back(mesh);
        return mesh;
    }
    CRecordingEffect* SkinEffect() { return static_cast<CRecordingEffect*>(shaders.SkinEffect()); }
};

}  // namespace

TEST(MeshResource, RoundTripsRigidAndBothSkinnedPartKinds) {
    struct Case {
        bool shadersReady;
        int flag;
        CMeshPart::PartClass skinClass;
        uint32_t skinStride, skinFvf;
    } cases[] = {
        {false, 1, CMeshPart::SOFT_SKIN, 32, 0x112},
        {true, 0, CMeshPart::SOFT_SKIN, 32, 0x112},
        {true, 1, CMeshPart::SHADER_SKIN, 64, 0x280312},
    };
    for (const Case& c : cases) {
        MeshFixture fx(c.shadersReady);
        CMeshResource* mesh = fx.Load(TwoPartMesh(), "M.DRM", c.flag);
        ASSERT_NE(mesh, nullptr) << fx.folder.report.Text();
        EXPECT_EQ(mesh->State(), 1);
        EXPECT_TRUE(mesh->TwoSided());
        EXPECT_EQ(mesh->BoundsMax().z, 6.0f);
        EXPECT_EQ(mesh->TextureCount(), 1u);
        EXPECT_EQ(mesh->TextureSlot(0), nullptr);
        ASSERT_EQ(mesh->PartCount(), 2u);
        EXPECT_EQ(mesh->TotalVertices(), 4u + 6u);
        EXPECT_EQ(mesh->TotalPrimitives(), 2u + 4u);
        EXPECT_EQ(mesh->FindPart("ARM"), 1);
        EXPECT_EQ(mesh->FindPart("RIBBON_01"), -1);

        auto* rigid = mesh->Part(0);
        EXPECT_EQ(rigid->Class(), CMeshPart::RIGID);
        EXPECT_EQ(rigid->Stride(), 32u);
        EXPECT_EQ(rigid->Fvf(), 0x112u);
        ASSERT_EQ(rigid->alphaKeys.size(), 3u);
        EXPECT_EQ(rigid->alphaKeys[2].alpha, 100.0f);
        Vec3 tri[3];
        ASSERT_TRUE(rigid->GetTriangle(1, tri));
        EXPECT_EQ(tri[2].x, 1.0f);
        EXPECT_EQ(tri[2].y, 1.0f);
        EXPECT_FALSE(rigid->GetTriangle(2, tri));

        auto* skin = mesh->Part(1);
        EXPECT_EQ(skin->Class(), c.skinClass);
        EXPECT_EQ(skin->Stride(), c.skinStride);
        EXPECT_EQ(skin->Fvf(), c.skinFvf);
        ASSERT_NE(skin->VertexBuffer(), nullptr);
        EXPECT_EQ(skin->VertexBuffer()->GetLength(), 6u * c.skinStride);
        EXPECT_EQ(skin->Indices(), TwoPartMesh().parts[1].indices);
        if (c.skinClass == CMeshPart::SHADER_SKIN) {
            auto* shader = static_cast<CShaderSkinMeshPart*>(skin);
            EXPECT_EQ(shader->palette, (std::vector<uint32_t>{3, 5}));
            // Palette slots as indices; the top row is all bone 1 of the palette.
            EXPECT_EQ(shader->vertices[5].indices[1], 1.0f);
            EXPECT_EQ(shader->vertices[5].weights[1], 1.0f);
        } else {
            auto* soft = static_cast<CSoftSkinMeshPart*>(skin);
            EXPECT_EQ(soft->source[5].indices[1], 5.0f);  // skeleton bones as indices
            EXPECT_EQ(soft->output[5].position.y, 2.0f);
        }
    }
}

TEST(MeshResource, PartClassTable) {
    std::vector<uint32_t> bigPalette(46, 0);
    struct Case {
        uint32_t kind;
        int flag;
        bool shadersReady;
        size_t paletteSize;
        CMeshPart::PartClass expect;
    } cases[] = {
        {0, 1, true, 0, CMeshPart::RIGID},        {2, 1, true, 2, CMeshPart::SHADER_SKIN},
        {1, 0, true, 2, CMeshPart::SOFT_SKIN},    {1, 1, false, 2, CMeshPart::SOFT_SKIN},
        {1, 1, true, 45, CMeshPart::SHADER_SKIN},  // as many bones as the effect takes
        {1, 1, true, 46, CMeshPart::SOFT_SKIN},    // more: blended on the processor
    };
    int n = 0;
    for (const Case& c : cases) {
        MeshFixture fx(c.shadersReady);
        MeshFile f;
        std::vector<uint32_t> palette(c.paletteSize, 0);
        MeshFilePart p = c.kind ? MakeSkinnedGridPart("P", 1, 1, 2, palette) : MakeGridPart("P", 1, 1);
        p.kind = c.kind;
        f.parts.push_back(p);
        CMeshResource* mesh = fx.Load(f, "C" + std::to_string(n++) + ".DRM", c.flag);
        ASSERT_NE(mesh, nullptr) << fx.folder.report.Text();
        EXPECT_EQ(mesh->Part(0)->Class(), c.expect) << "case " << n;
    }
}

TEST(MeshResource, AlphaKeyTable) {
    CMeshPart* part = nullptr;
    MeshFixture fx(false);
    MeshFile f = TwoPartMesh();
    CMeshResource* mesh = fx.Load(f, "M.DRM", 0);
    ASSERT_NE(mesh, nullptr);
    part = mesh->Part(0);
    struct Case {
        float time;
        int32_t alpha;
    } cases[] = {{0.5f, 127}, {1.0f, 255}, {1.5f, 177}, {-1.0f, 0}, {2.0f, 100}, {9.0f, 100}};
    for (const Case& c : cases) EXPECT_EQ(part->AlphaAt(&c.time), c.alpha) << c.time;
    EXPECT_EQ(part->AlphaAt(nullptr), 255);
    part->alphaKeys = {{0, 10}};
    float t = 0;
    EXPECT_EQ(part->AlphaAt(&t), 255);  // one key is no fade
}

TEST(MeshResource, DrawPartSetsOpaqueOrTranslucentStatesAndRestoresThem) {
    MeshFixture fx(false);
    MeshFile f = TwoPartMesh();
    f.twoSided = 0;
    CMeshResource* mesh = fx.Load(f, "M.DRM", 0);
    ASSERT_NE(mesh, nullptr);
    CGfxRecordingDevice& d = fx.device;

    d.SetRenderState(RS_CULLMODE, CULL_NONE);
    d.ClearLog();
    float opaque = 1.0f;
    mesh->DrawPart(0, &opaque, nullptr, 0);
    EXPECT_EQ(d.Count("RenderState 22 3"), 1u);    // counter-clockwise culling
    EXPECT_EQ(d.Count("RenderState 24 130"), 1u);  // alpha-test reference while drawing
    uint32_t value = 0;
    d.GetRenderState(RS_ALPHAREF, &value);
    EXPECT_EQ(value, 1u);  // and back
    EXPECT_EQ(d.Count("Draw 4 prims 2 indexed"), 1u);
    EXPECT_EQ(d.Count("RenderState 27 1"), 0u);

    d.ClearLog();
    float faded = 0.5f;
    mesh->DrawPart(0, &faded, nullptr, 0);
    EXPECT_EQ(d.Count("RenderState 60 " + std::to_string((127u << 24) | 0xFFFFFFu)), 1u);
    EXPECT_EQ(d.Count("RenderState 14 0"), 1u);  // no depth writes while translucent
    EXPECT_EQ(d.Count("RenderState 27 1"), 1u);
    EXPECT_EQ(d.Count("Draw"), 1u);
    d.GetRenderState(RS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, 0u);  // restored after the draw
    d.GetRenderState(RS_ZWRITEENABLE, &value);
    EXPECT_EQ(value, 1u);
    d.GetRenderState(RS_TEXTUREFACTOR, &value);
    EXPECT_EQ(value, 0xFFFFFFFFu);

    d.ClearLog();
    float hidden = 0.0f;
    mesh->DrawPart(0, &hidden, nullptr, 0);
    EXPECT_EQ(d.Count("Draw"), 0u);
    // The shadow pass skips parts that were faint at their last draw.
    mesh->DrawPartPosed(0, nullptr, nullptr, 0, true);
    EXPECT_EQ(d.Count("Draw"), 0u);
    mesh->DrawPart(0, nullptr, nullptr, 0);
    d.ClearLog();
    mesh->DrawPartPosed(0, nullptr, nullptr, 0, true);
    EXPECT_EQ(d.Count("Draw"), 1u);
    EXPECT_EQ(d.Count("RenderState"), 0u);
}

TEST(MeshResource, SetAlphaStatesScalesByTheMeshAlpha) {
    MeshFixture fx(false);
    CMeshResource* mesh = fx.Load(TwoPartMesh(), "M.DRM", 0);
    ASSERT_NE(mesh, nullptr);
    CGfxRecordingDevice& d = fx.device;
    struct Case {
        int32_t meshAlpha, alpha;
        uint32_t factor, arg2, zwrite;
    } cases[] = {
        {255, 255, 0xFFFFFFFFu, TA_CURRENT, 1},  // full alpha: depth writes as they were
        {255, 100, (100u << 24) | 0xFFFFFFu, TA_TFACTOR, 0},
        {128, 255, (128u << 24) | 0xFFFFFFu, TA_TFACTOR, 0},
        {128, 128, (64u << 24) | 0xFFFFFFu, TA_TFACTOR, 0},
    };
    for (const Case& c : cases) {
        mesh->SetAlphaStates(false, 0, 0, 0);
        mesh->SetAlpha(c.meshAlpha);
        mesh->SetAlphaStates(true, c.alpha, BLEND_SRCALPHA, BLEND_ONE);
        uint32_t v = 0;
        d.GetRenderState(RS_TEXTUREFACTOR, &v);
        EXPECT_EQ(v, c.factor) << c.meshAlpha << " " << c.alpha;
        d.GetTextureStageState(0, TSS_ALPHAARG2, &v);
        EXPECT_EQ(v, c.arg2);
        d.GetRenderState(RS_ZWRITEENABLE, &v);
        EXPECT_EQ(v, c.zwrite);
        d.GetRenderState(RS_DESTBLEND, &v);
        EXPECT_EQ(v, static_cast<uint32_t>(BLEND_ONE));
    }
    // An unchanged state is not sent again.
    d.ClearLog();
    mesh->SetAlphaStates(true, 128, BLEND_SRCALPHA, BLEND_ONE);
    EXPECT_EQ(d.Count("RenderState"), 0u);
}

TEST(MeshResource, ProcessorSkinningBlendsBonesIntoTheVertexBuffer) {
    MeshFixture fx(false);
    MeshFile f;
    f.parts.push_back(MakeSkinnedGridPart("ARM", 1, 2, 2, {0, 1}));
    CMeshResource* mesh = fx.Load(f, "S.DRM", 1);
    ASSERT_NE(mesh, nullptr);
    auto* part = static_cast<CSoftSkinMeshPart*>(mesh->Part(0));
    Matrix bones[2] = {MatrixTranslation(10, 0, 0), MatrixTranslation(0, 0, 20)};
    mesh->DrawPart(0, nullptr, bones, 2);
    // Middle row (y = 1): half of each bone.
    const MeshVertex32& mid = part->output[2];
    EXPECT_NEAR(mid.position.x, 0 + 5, 1e-5);
    EXPECT_NEAR(mid.position.y, 1, 1e-5);
    EXPECT_NEAR(mid.position.z, 10, 1e-5);
    EXPECT_NEAR(mid.normal.z, -1, 1e-5);  // directions are not moved
    const auto* stored = reinterpret_cast<const MeshVertex32*>(part->VertexBuffer()->Data());
    EXPECT_EQ(stored[2].position.z, mid.position.z);

    // A bone past the skeleton does not count; no influence keeps the last output.
    part->source[0].indices[0] = 7;
    part->source[1].indices[0] = -1;
    Matrix moved[2] = {MatrixTranslation(0, 100, 0), MatrixTranslation(0, 100, 0)};
    Vec3 before = part->output[1].position;
    part->ApplyBones(moved, 2);
    EXPECT_EQ(part->output[0].position.y, 0.0f);  // bone 7 skipped, bone 1 has weight 0 at the bottom
    EXPECT_EQ(part->output[1].position.x, before.x);
    EXPECT_EQ(part->output[1].position.z, before.z);
}

TEST(MeshResource, ShaderSkinningUploadsThePaletteAndDrawsEveryPass) {
    MeshFixture fx(true);
    MeshFile f;
    std::vector<uint32_t> palette = {2, 0};
    for (uint32_t i = 0; i < 43; ++i) palette.push_back(1);
    f.parts.push_back(MakeSkinnedGridPart("ARM", 1, 1, 2, palette));
    f.parts[0].vertices[0].influences[1].paletteIndex = 99;  // outside the palette
    CMeshResource* mesh = fx.Load(f, "S.DRM", 1);
    ASSERT_NE(mesh, nullptr) << fx.folder.report.Text();
    auto* part = static_cast<CShaderSkinMeshPart*>(mesh->Part(0));
    ASSERT_EQ(part->Class(), CMeshPart::SHADER_SKIN);
    EXPECT_EQ(part->vertices[0].weights[1], 0.0f);
    EXPECT_EQ(part->vertices[0].indices[1], 0.0f);

    Matrix bones[2] = {MatrixTranslation(1, 0, 0), MatrixTranslation(2, 0, 0)};
    fx.effectLog.clear();
    fx.device.ClearLog();
    mesh->DrawPart(0, nullptr, bones, 2);
    const auto& uploaded = fx.SkinEffect()->matrices["mWorldMatrixArray"];
    ASSERT_EQ(uploaded.size(), 45u);
    EXPECT_EQ(uploaded[0](3, 0), 0.0f);  // skeleton bone 2 is past the skeleton: identity
    EXPECT_EQ(uploaded[0](0, 0), 1.0f);
    EXPECT_EQ(uploaded[1](3, 0), 1.0f);
    EXPECT_EQ(uploaded[44](3, 0), 2.0f);
    std::vector<std::string> expect = {
        "SetMatrixArray mWorldMatrixArray 45", "SetTechnique SkinShader", "Begin", "BeginPass 0", "EndPass", "End"};
    EXPECT_EQ(fx.effectLog, expect);
    EXPECT_EQ(fx.device.Count("Draw 4 prims 2 indexed stream stride 64"), 1u);
    EXPECT_EQ(fx.device.GetVertexDeclaration(), nullptr);  // the previous declaration is back
}

TEST(MeshResource, MendsOrRefusesBadParts) {
    MeshFixture fx(false);
    // A texture index past the list draws untextured.
    MeshFile f = TwoPartMesh();
    f.parts[0].textureIndex = 4;
    f.parts[0].alphaKeys.clear();
    CMeshResource* mesh = fx.Load(f, "T.DRM", 0);
    ASSERT_NE(mesh, nullptr);
    mesh->DrawPart(0, nullptr, nullptr, 0);
    EXPECT_EQ(fx.device.GetTexture(0), nullptr);
    EXPECT_EQ(fx.device.Count("Draw"), 1u);

    // A part without primitives makes no buffers and draws nothing.
    MeshFile empty;
    empty.parts.push_back(MeshFilePart{});  // the smallest part there is, last in the file
    mesh = fx.Load(empty, "E.DRM", 0);
    ASSERT_NE(mesh, nullptr) << fx.folder.report.Text();
    EXPECT_EQ(mesh->Part(0)->IndexBuffer(), nullptr);
    fx.device.ClearLog();
    mesh->DrawPart(0, nullptr, nullptr, 0);
    EXPECT_EQ(fx.device.Count("Draw"), 0u);

    struct Bad {
        const char* name;
        void (*damage)(MeshFile&);
        const char* text;
    } bads[] = {
        {"I.DRM", [](MeshFile& m) { m.parts[0].indices[3] = 4; }, "index 4 past its 4 vertices"},
        {"S.DRM",
         [](MeshFile& m) {
             m.parts[0].isStrip = 1;
             m.parts[0].stripIndexCount = 2;
             m.parts[0].indices.resize(2);
         },
         "fewer than 3"},
        {"N.DRM", [](MeshFile& m) { m.parts[0].name = std::string(300, 'x'); }, ""},
        {"V.DRM", [](MeshFile& m) { m.version = 1.27f; }, "Wrong file version : V.DRM"},
        {"X.DRM", [](MeshFile& m) { m.textures = {"NOWHERE.DDS"}; }, "<- X.DRM"},
    };
    for (const Bad& b : bads) {
        MeshFile m = TwoPartMesh();
        b.damage(m);
        EXPECT_EQ(fx.Load(m, b.name, 0), nullptr) << b.name;
        EXPECT_NE(fx.folder.report.Text().find(b.text), std::string::npos) << fx.folder.report.Text();
    }
    std::vector<uint8_t> good = WriteMeshFile(TwoPartMesh());
    for (size_t cut = 0; cut < good.size(); cut += 11)
        EXPECT_EQ(fx.Load(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut)),
                          "C" + std::to_string(cut) + ".DRM", 0),
                  nullptr);
    // Counts the file cannot hold: part count, then the first part's vertex count.
    for (size_t at : {size_t{8}, size_t{48 + 4 + 4 + 9 + 4 + 24 + 4}}) {
        std::vector<uint8_t> bytes = good;
        bytes[at + 3] = 0x40;
        EXPECT_EQ(fx.Load(bytes, "H" + std::to_string(at) + ".DRM", 0), nullptr);
        EXPECT_EQ(fx.folder.report.GetCode(), static_cast<uint32_t>(ERR_DATA));
    }
}

TEST(MeshResource, InvalidateAndRestoreRemakeTheBuffers) {
    MeshFixture fx(false);
    CMeshResource* mesh = fx.Load(TwoPartMesh(), "M.DRM", 0);
    ASSERT_NE(mesh, nullptr);
    mesh->Invalidate();
    EXPECT_EQ(mesh->State(), 0);
    EXPECT_EQ(mesh->Part(0)->VertexBuffer(), nullptr);
    EXPECT_EQ(mesh->Restore(), 1);
    EXPECT_EQ(mesh->State(), 1);
    EXPECT_NE(mesh->Part(1)->VertexBuffer(), nullptr);
}

TEST(MeshResource, BindsItsTexturesAndGivesThemBackOnUnload) {
    MeshFixture fx(false);
    fx.folder.WriteLoose("SKIN.DDS", CDdsWriter::Solid(FMT_A8R8G8B8, 4, 4, 0xFF336699u));
    MeshFile f = TwoPartMesh();
    f.textures = {"SKIN.DDS", ""};
    f.parts[0].alphaKeys.clear();
    f.parts[0].textureIndex = 0;
    f.parts[1].textureIndex = 1;  // an empty slot: untextured
    CMeshResource* mesh = fx.Load(f, "M.DRM", 0);
    ASSERT_NE(mesh, nullptr) << fx.folder.report.Text();
    CTextureResource* skin = AsTexture(mesh->TextureSlot(0));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(mesh->TextureSlot(1), nullptr);
    mesh->DrawPart(0, nullptr, nullptr, 0);
    EXPECT_EQ(fx.device.GetTexture(0), skin->Texture());
    mesh->DrawPart(1, nullptr, nullptr, 0);
    EXPECT_EQ(fx.device.GetTexture(0), nullptr);
    EXPECT_EQ(fx.folder.Manager().Cache(RES_TEXTURE)->Count(), 1u);
    fx.folder.Manager().ReleaseResource(mesh);
    fx.loaded.clear();
    EXPECT_EQ(fx.folder.Manager().Cache(RES_TEXTURE)->Count(), 0u);
}
