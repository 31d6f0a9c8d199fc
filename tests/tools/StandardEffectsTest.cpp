#include "tools/StandardEffects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/GfxEffect.h"
#include "platform/GfxFormatInfo.h"
#include "platform/File.h"
#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/IndexedFolder.h"
#include "tools/SampleGameFolder.h"

using namespace platform;

namespace {
std::unique_ptr<CGfxGlDevice> Device() {
    GfxPresentParameters p;
    p.backBufferWidth = p.backBufferHeight = 64;
    p.enableAutoDepthStencil = 1;
    p.autoDepthStencilFormat = FMT_D24S8;
    return CGfxGlDevice::CreateHeadless(p);
}

std::vector<uint32_t> ReadBack(CGfxDevice& d, CGfxSurface* s) {
    std::vector<uint32_t> px;
    EXPECT_EQ(d.ReadSurface(s, &px), GFX_OK);
    return px;
}
}  // namespace

TEST(StandardEffects, GlowSpreadsABrightSpotAndKeepsTheScene) {
    auto device = Device();
    ASSERT_NE(device, nullptr);
    CGfxDevice& d = *device;
    std::vector<uint8_t> bytes = GaussEffectFile();
    CGfxEffect* glow = nullptr;
    std::string errors;
    ASSERT_EQ(CreateEffect(&d, bytes.data(), bytes.size(), &glow, &errors), GFX_OK) << errors;

    const uint32_t size = 64;
    CGfxTexture* t[3] = {};
    CGfxSurface* s[3] = {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(d.CreateTexture(size, size, 1, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT, &t[i]), GFX_OK);
        t[i]->GetSurfaceLevel(0, &s[i]);
    }
    float offsetX[14], offsetY[14];
    Vec4 weight[7];
    for (int i = 0; i < 7; ++i) {
        offsetX[2 * i] = static_cast<float>(i) / size;
        offsetX[2 * i + 1] = 0;
        offsetY[2 * i] = 0;
        offsetY[2 * i + 1] = static_cast<float>(i) / size;
        float w = 1.5f * std::exp(-i * i / (2 * 49.0f)) / std::sqrt(2 * std::numbers::pi_v<float> * 49.0f);
        weight[i] = Vec4(w, w, w, 1);
    }
    glow->SetVector("vPixelSize", Vec4(-2.0f / size, 2.0f / size, 1, 1));
    glow->SetFloatArray("vOffsetX", offsetX, 14);
    glow->SetFloatArray("vOffsetY", offsetY, 14);
    glow->SetVectorArray("vWeight", weight, 7);

    // The scene: dark grey with a white square in the middle.
    CGfxSurface* back = nullptr;
    d.GetBackBuffer(0, 0, &back);
    d.SetRenderTarget(0, s[0]);
    d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF202020u, 1.0f, 0);
    GfxRect square{28, 28, 36, 36};
    d.Clear(1, &square, CLEAR_TARGET, 0xFFFFFFFFu, 1.0f, 0);

    struct QuadVertex {
        float x, y;
    } quad[4] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    GfxVertexElement position;
    position.type = DECLTYPE_FLOAT2;
    position.usage = DECLUSAGE_POSITION;
    CGfxVertexDeclaration* decl = nullptr;
    ASSERT_EQ(d.CreateVertexDeclaration(&position, 1, &decl), GFX_OK);
    d.SetVertexDeclaration(decl);
    auto pass = [&](const char* technique) {
        ASSERT_EQ(glow->SetTechnique(technique), GFX_OK);
        uint32_t passes = 0;
        glow->Begin(&passes, 0);
        for (uint32_t i = 0; i < passes; ++i) {
            glow->BeginPass(i);
            ASSERT_EQ(d.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex)), GFX_OK);
            glow->EndPass();
        }
        glow->End();
    };
    d.SetRenderTarget(0, s[1]);
    d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    glow->SetTexture("NormalTex", t[0]);
    pass("LUMINANCE");
    std::vector<uint32_t> bright = ReadBack(d, s[1]);
    EXPECT_EQ(bright[32 * size + 32], 0xFFFFFFFFu);  // the white square passes
    EXPECT_EQ(bright[8 * size + 8], 0xFF000000u);    // the dark grey does not
    d.SetRenderTarget(0, s[2]);
    d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    glow->SetTexture("SmallTex", t[1]);
    pass("GAUSSX");
    d.SetRenderTarget(0, s[1]);
    glow->SetTexture("SmallTex", t[2]);
    pass("GAUSSY");
    d.SetRenderTarget(0, back);
    glow->SetTexture("NormalTex", t[0]);
    glow->SetTexture("SmallTex", t[1]);
    pass("BLIT");

    std::vector<uint32_t> px = ReadBack(d, back);
    auto red = [&](uint32_t x, uint32_t y) { return static_cast<int>((px[y * size + x] >> 16) & 0xFF); };
    EXPECT_EQ(red(32, 32), 255);
    EXPECT_EQ(red(2, 2), 0x20);        // far from the square: the scene as it was
    EXPECT_GT(red(38, 32), 0x20 + 8);  // beside the square the glow has spread
    EXPECT_GT(red(32, 38), 0x20 + 8);
    EXPECT_GT(red(38, 32), red(42, 32));  // and fades with the distance

    glow->SetTexture("NormalTex", nullptr);
    glow->SetTexture("SmallTex", nullptr);
    d.SetVertexDeclaration(nullptr);
    GfxRelease(decl);
    GfxRelease(back);
    for (int i = 0; i < 3; ++i) {
        GfxRelease(s[i]);
        GfxRelease(t[i]);
    }
    GfxRelease(glow);
}

TEST(StandardEffects, SkinBlendsBonesAndLights) {
    auto device = Device();
    ASSERT_NE(device, nullptr);
    CGfxDevice& d = *device;
    std::vector<uint8_t> bytes = SkinEffectFile();
    CGfxEffect* skin = nullptr;
    std::string errors;
    ASSERT_EQ(CreateEffect(&d, bytes.data(), bytes.size(), &skin, &errors), GFX_OK) << errors;
    ASSERT_EQ(skin->SetTechnique("SkinShader"), GFX_OK);

    // The 64-byte skinned vertex: position, normal, uv, four weights, four palette indices.
    struct SkinVertex {
        float x, y, z, nx, ny, nz, u, v;
        float w[4];
        float i[4];
    };
    // A quad of unit size whose vertices all follow bone 1, which moves it into view.
    auto vertex = [](float x, float y) { return SkinVertex{x, y, 0, 0, 0, -1, 0, 0, {1, 0, 0, 0}, {1, 0, 0, 0}}; };
    SkinVertex quad[4] = {vertex(-1, 1), vertex(1, 1), vertex(-1, -1), vertex(1, -1)};
    Matrix bones[45];
    for (auto& b : bones) b = MatrixTranslation(100, 0, 0);  // out of view
    bones[1] = MatrixScaling(0.5f, 0.5f, 1) * MatrixTranslation(0, 0, 5);
    Matrix view = MatrixLookAtLH(Vec3(0, 0, 0), Vec3(0, 0, 1), Vec3(0, 1, 0));
    Matrix proj = MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 2, 1, 1, 100);
    skin->SetMatrixArray("mWorldMatrixArray", bones, 45);
    skin->SetMatrix("mView", view);
    skin->SetMatrix("mProj", proj);
    skin->SetVector("lightDir", Vec4(0, 0, 1, 0));
    skin->SetVector("MaterialDiffuse", Vec4(0, 1, 0, 1));
    skin->SetVector("MaterialAmbient", Vec4(1, 1, 1, 1));
    skin->SetVector("DayNightAmbient", Vec4(0.25f, 0, 0, 1));
    skin->SetBool("bLightEnable", true);

    std::vector<GfxVertexElement> elements;
    ASSERT_TRUE(DeclarationFromFvf(0x280312, &elements));
    CGfxVertexDeclaration* decl = nullptr;
    ASSERT_EQ(d.CreateVertexDeclaration(elements.data(), static_cast<uint32_t>(elements.size()), &decl), GFX_OK);
    d.SetVertexDeclaration(decl);
    d.SetRenderState(RS_CULLMODE, CULL_NONE);
    d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    uint32_t passes = 0;
    skin->Begin(&passes, 0);
    skin->BeginPass(0);
    ASSERT_EQ(d.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(SkinVertex)), GFX_OK);
    skin->EndPass();
    skin->End();
    CGfxSurface* back = nullptr;
    d.GetBackBuffer(0, 0, &back);
    std::vector<uint32_t> px = ReadBack(d, back);
    // Half a unit at distance 5 under a 90-degree view: the middle tenth of the screen,
    // lit green by the light plus the red night ambient, untextured (white).
    EXPECT_EQ(px[32 * 64 + 32], 0xFF40FF00u);
    EXPECT_EQ(px[32 * 64 + 10], 0xFF000000u);
    d.SetVertexDeclaration(nullptr);
    GfxRelease(decl);
    GfxRelease(back);
    GfxRelease(skin);
}

TEST(StandardEffects, TheSampleGameFolderCarriesBothEffects) {
    IndexedFolder folder;
    ASSERT_EQ(MakeSampleGameFolder(folder.tmp.path()), 1);
    ASSERT_TRUE(folder.Index());
    CGfxRecordingDevice device;
    for (const char* name : {"ZEMSKIN.FXO", "ZEMGAUSS.FXO"}) {
        uint32_t offset = 0, size = 0;
        std::string path = folder.index.ResolvePath(name, &offset, &size);
        ASSERT_FALSE(path.empty()) << name;
        std::vector<uint8_t> package;
        ASSERT_TRUE(ReadWholeFile(path, package));
        ASSERT_LE(static_cast<size_t>(offset) + size, package.size());
        CGfxEffect* effect = nullptr;
        EXPECT_EQ(CreateEffect(&device, package.data() + offset, size, &effect), GFX_OK) << name;
        GfxRelease(effect);
    }
}
