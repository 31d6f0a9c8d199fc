// Skinning on the graphics card and on the processor must pose a mesh alike:
// one posed mesh is drawn both ways through the GL device (headless) and the
// two images are compared.
#include <gtest/gtest.h>

#include "engine/render/MeshResource.h"
#include "engine/render/ShaderSet.h"
#include "platform/GfxGlDevice.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/fixtures/ResourceFolder.h"
#include "tools/MeshWriter.h"
#include "tools/StandardEffects.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 64;


size_t CountLit(const std::vector<uint32_t>& px) {
    size_t n = 0;
    for (uint32_t p : px) n += (p & 0xFFFFFF) > 0x808080 ? 1 : 0;
    return n;
}

size_t CountDifferent(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += ((a[i] & 0x800000) != (b[i] & 0x800000)) ? 1 : 0;
    return n;
}

}  // namespace

TEST(SkinningImage, CardAndProcessorPoseTheMeshAlike) {
    auto device = CreateHeadlessGl(kSize, false);
    ASSERT_NE(device, nullptr);

    ResourceFolder folder;
    folder.WriteLoose("ZEMSKIN.FXO", SkinEffectFile());
    MeshFile mesh;
    mesh.parts.push_back(MakeSkinnedGridPart("BODY", 2, 6, 2, {0, 1}));
    folder.WriteLoose("CARD.DRM", WriteMeshFile(mesh));
    folder.WriteLoose("CPU.DRM", WriteMeshFile(mesh));
    CResourceManager& rm = folder.Manager();
    rm.SetDevice(device.get());
    CShaderSet shaders(device.get());
    ASSERT_EQ(shaders.LoadSkinEffect(CShaderSet::kSkinFvf), 1) << folder.report.Text();
    ASSERT_TRUE(shaders.IsReady());
    RegisterMeshResources(rm, &shaders);
    auto* card = static_cast<CMeshResource*>(rm.GetResource("CARD.DRM", RES_MESH, nullptr, 1));
    auto* cpu = static_cast<CMeshResource*>(rm.GetResource("CPU.DRM", RES_MESH, nullptr, 0));
    ASSERT_NE(card, nullptr) << folder.report.Text();
    ASSERT_NE(cpu, nullptr);
    ASSERT_EQ(card->Part(0)->Class(), CMeshPart::SHADER_SKIN);
    ASSERT_EQ(cpu->Part(0)->Class(), CMeshPart::SOFT_SKIN);

    Matrix view = MatrixLookAtLH({1, 3, -9}, {1, 3, 0}, {0, 1, 0});
    Matrix proj = MatrixPerspectiveFovLH(1.0f, 1.0f, 1.0f, 100.0f);
    // The upper bone bends the column to the side.
    Matrix bones[2] = {Matrix::Identity(), MatrixRotationZ(-0.6f) * MatrixTranslation(0.5f, 0.5f, 0)};

    auto drawCard = [&](const Matrix* pose) {
        device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        shaders.SetViewProjLight(view, proj, Vec4(0, 0, 1, 0));
        shaders.SkinEffect()->SetMatrix("mWorld", Matrix::Identity());
        shaders.SkinEffect()->SetVector("MaterialDiffuse", Vec4(1, 1, 1, 1));
        card->DrawPart(0, nullptr, pose, 2);
        device->EndScene();
        return ReadBackBuffer(*device);
    };
    std::vector<uint32_t> onCard = drawCard(bones);

    device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    Matrix world = Matrix::Identity();
    device->SetTransform(TS_WORLD, &world);
    device->SetTransform(TS_VIEW, &view);
    device->SetTransform(TS_PROJECTION, &proj);
    device->SetRenderState(RS_LIGHTING, 0);
    device->SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    device->SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    device->SetTextureStageState(0, TSS_ALPHAOP, TOP_SELECTARG2);
    device->SetTextureStageState(0, TSS_ALPHAARG2, TA_DIFFUSE);
    cpu->DrawPart(0, nullptr, bones, 2);
    device->EndScene();
    std::vector<uint32_t> onCpu = ReadBackBuffer(*device);

    size_t lit = CountLit(onCpu);
    EXPECT_GT(lit, 200u);
    EXPECT_NEAR(static_cast<double>(CountLit(onCard)), static_cast<double>(lit), lit * 0.03);
    // Only edge pixels may fall differently.
    EXPECT_LT(CountDifferent(onCard, onCpu), lit / 20);
    // And the pose shows: unposed, the column stands elsewhere.
    Matrix rest[2] = {Matrix::Identity(), Matrix::Identity()};
    EXPECT_GT(CountDifferent(drawCard(rest), onCpu), lit / 10);

    rm.ReleaseResource(card);
    rm.ReleaseResource(cpu);
}
