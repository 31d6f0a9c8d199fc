// Pixels of the GL device, headless: large saturated shapes read back and
// compared with a tolerance per channel, one table per state group.
#include "platform/GfxGlDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <numbers>

#include "platform/TextureLoader.h"
#include "tools/DdsWriter.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 64;

struct RhwVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};
constexpr uint32_t kRhwFvf = FVF_XYZRHW | FVF_DIFFUSE | FVF_TEX1;

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};
constexpr uint32_t kLitFvf = FVF_XYZ | FVF_NORMAL | FVF_DIFFUSE | FVF_TEX1;

class GfxGlDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        GfxPresentParameters p;
        p.backBufferWidth = kSize;
        p.backBufferHeight = kSize;
        p.enableAutoDepthStencil = 1;
        p.autoDepthStencilFormat = FMT_D24S8;
        m_device = CGfxGlDevice::CreateHeadless(p);
        ASSERT_NE(m_device, nullptr) << "no headless GL (EGL on Mesa) available";
        d().SetRenderState(RS_LIGHTING, 0);
        d().SetRenderState(RS_CULLMODE, CULL_NONE);
    }

    CGfxGlDevice& d() { return *m_device; }

    // A screen rectangle in pixels (edges on pixel boundaries, by the half-pixel rule).
    void DrawRect(float l, float t, float r, float b, uint32_t colour, float z = 0.5f) {
        RhwVertex v[4] = {{l - 0.5f, t - 0.5f, z, 1, colour, 0, 0},
                          {r - 0.5f, t - 0.5f, z, 1, colour, 1, 0},
                          {l - 0.5f, b - 0.5f, z, 1, colour, 0, 1},
                          {r - 0.5f, b - 0.5f, z, 1, colour, 1, 1}};
        d().SetFVF(kRhwFvf);
        ASSERT_EQ(d().DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, v, sizeof(RhwVertex)), GFX_OK);
    }
    void DrawFull(uint32_t colour) { DrawRect(0, 0, kSize, kSize, colour); }

    std::vector<uint32_t> Read() {
        CGfxSurface* back = nullptr;
        EXPECT_EQ(d().GetBackBuffer(0, 0, &back), GFX_OK);
        std::vector<uint32_t> px;
        EXPECT_EQ(d().ReadSurface(back, &px), GFX_OK);
        GfxRelease(back);
        return px;
    }

    CGfxTexture* Texture(uint32_t format, uint32_t w, uint32_t h, const std::vector<uint32_t>& argb) {
        std::vector<uint8_t> dds = CDdsWriter::FromArgb(format, w, h, argb, 1);
        CGfxTexture* t = nullptr;
        EXPECT_EQ(CreateTextureFromFileInMemoryEx(&d(), dds.data(), dds.size(), w, h, 1, 0, format, POOL_MANAGED, 0, 0,
                                                  0, nullptr, &t),
                  GFX_OK);
        return t;
    }

    std::unique_ptr<CGfxGlDevice> m_device;
};

::testing::AssertionResult Near(uint32_t got, uint32_t want, int tolerance = 3, bool alpha = false) {
    for (int s = 0; s < (alpha ? 32 : 24); s += 8) {
        int g = (got >> s) & 0xFF, w = (want >> s) & 0xFF;
        if (std::abs(g - w) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "got 0x" << got << " want 0x" << want;
    }
    return ::testing::AssertionSuccess();
}

// Every pixel of a rectangle (inset by one pixel from the shape's edges, which are tested elsewhere).
::testing::AssertionResult Region(const std::vector<uint32_t>& px, uint32_t l, uint32_t t, uint32_t r, uint32_t b,
                                  uint32_t want, int tolerance = 3) {
    for (uint32_t y = t + 1; y + 1 < b; ++y)
        for (uint32_t x = l + 1; x + 1 < r; ++x) {
            auto res = Near(px[y * kSize + x], want, tolerance);
            if (!res) return res << " at " << std::dec << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

std::vector<uint32_t> Quadrants() { return {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu}; }

}  // namespace

TEST_F(GfxGlDeviceTest, ClearAndThePixelsOfAPretransformedQuad) {
    ASSERT_EQ(d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF102030u, 1.0f, 0), GFX_OK);
    EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, 0xFF102030u, 0));

    d().SetRenderState(RS_ZENABLE, 0);
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    DrawRect(10, 20, 30, 40, 0xFFFF8000u);
    std::vector<uint32_t> px = Read();
    // Exactly the pixels 10..29 x 20..39, no more, no fewer.
    for (uint32_t y = 0; y < kSize; ++y)
        for (uint32_t x = 0; x < kSize; ++x) {
            bool inside = x >= 10 && x < 30 && y >= 20 && y < 40;
            ASSERT_EQ(px[y * kSize + x], inside ? 0xFFFF8000u : 0xFF102030u) << x << "," << y;
        }

    // A clear with a rectangle and a viewport touches only their intersection.
    Viewport vp{0, 0, 32, kSize, 0, 1};
    d().SetViewport(&vp);
    GfxRect r{16, 0, 48, 8};
    d().Clear(1, &r, CLEAR_TARGET, 0xFF00FF00u, 1.0f, 0);
    px = Read();
    EXPECT_EQ(px[4 * kSize + 20], 0xFF00FF00u);
    EXPECT_EQ(px[4 * kSize + 40], 0xFF102030u);
    EXPECT_EQ(px[4 * kSize + 10], 0xFF102030u);
}

TEST_F(GfxGlDeviceTest, TexturesKeepTheTopLeftOrigin) {
    struct Case {
        const char* what;
        uint32_t format;
        int tolerance;
    } cases[] = {{"A8R8G8B8", FMT_A8R8G8B8, 0},
                 {"R5G6B5", FMT_R5G6B5, 4},
                 {"A4R4G4B4", FMT_A4R4G4B4, 9},
                 {"DXT1", FMT_DXT1, 8},
                 {"DXT5", FMT_DXT5, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CGfxTexture* t = Texture(c.format, 8, 8, [] {
            std::vector<uint32_t> px(64);
            for (uint32_t y = 0; y < 8; ++y)
                for (uint32_t x = 0; x < 8; ++x) px[y * 8 + x] = Quadrants()[(y / 4) * 2 + x / 4];
            return px;
        }());
        ASSERT_NE(t, nullptr);
        d().SetTexture(0, t);
        d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        DrawFull(0xFFFFFFFFu);
        std::vector<uint32_t> px = Read();
        EXPECT_TRUE(Region(px, 0, 0, 32, 32, 0xFFFF0000u, c.tolerance));
        EXPECT_TRUE(Region(px, 32, 0, 64, 32, 0xFF00FF00u, c.tolerance));
        EXPECT_TRUE(Region(px, 0, 32, 32, 64, 0xFF0000FFu, c.tolerance));
        EXPECT_TRUE(Region(px, 32, 32, 64, 64, 0xFFFFFFFFu, c.tolerance));
        d().SetTexture(0, nullptr);
        GfxRelease(t);
    }
}

TEST_F(GfxGlDeviceTest, StageOperations) {
    CGfxTexture* tex = Texture(FMT_A8R8G8B8, 4, 4, std::vector<uint32_t>(16, 0x80FF8000u));
    struct Case {
        const char* what;
        bool textured;
        uint32_t colorOp, arg1, arg2, alphaOp;
        uint32_t diffuse, tfactor;
        uint32_t want;
    } cases[] = {
        {"default modulate, no texture reads white", false, TOP_MODULATE, TA_TEXTURE, TA_CURRENT, TOP_SELECTARG1,
         0xFF4080C0u, 0xFFFFFFFFu, 0xFF4080C0u},
        {"modulate texture and diffuse", true, TOP_MODULATE, TA_TEXTURE, TA_DIFFUSE, TOP_SELECTARG1, 0xFF808080u, 0,
         0xFF804000u},
        {"select texture factor", true, TOP_SELECTARG1, TA_TFACTOR, TA_DIFFUSE, TOP_SELECTARG1, 0xFF000000u,
         0xFF00FF00u, 0xFF00FF00u},
        {"add", true, TOP_ADD, TA_TEXTURE, TA_DIFFUSE, TOP_SELECTARG1, 0xFF0000FFu, 0, 0xFFFF80FFu},
        {"modulate 2x", true, TOP_MODULATE2X, TA_TEXTURE, TA_DIFFUSE, TOP_SELECTARG1, 0xFF808080u, 0, 0xFFFF8000u},
        {"complement", true, TOP_SELECTARG1, TA_TEXTURE | TA_COMPLEMENT, TA_DIFFUSE, TOP_SELECTARG1, 0, 0, 0xFF007FFFu},
        {"blend by texture alpha", true, TOP_BLENDTEXTUREALPHA, TA_TFACTOR, TA_DIFFUSE, TOP_SELECTARG1, 0xFF0000FFu,
         0xFFFF0000u, 0xFF80007Fu},
        {"blend by diffuse alpha", true, TOP_BLENDDIFFUSEALPHA, TA_TEXTURE, TA_TFACTOR, TOP_SELECTARG1, 0x00000000u,
         0xFF0000FFu, 0xFF0000FFu},
        {"add signed", true, TOP_ADDSIGNED, TA_TEXTURE, TA_DIFFUSE, TOP_SELECTARG1, 0xFF808080u, 0, 0xFFFF8000u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d().SetTexture(0, c.textured ? tex : nullptr);
        d().SetTextureStageState(0, TSS_COLOROP, c.colorOp);
        d().SetTextureStageState(0, TSS_COLORARG1, c.arg1);
        d().SetTextureStageState(0, TSS_COLORARG2, c.arg2);
        d().SetTextureStageState(0, TSS_ALPHAOP, c.alphaOp);
        d().SetRenderState(RS_TEXTUREFACTOR, c.tfactor);
        d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        DrawFull(c.diffuse);
        EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, c.want, 3));
    }

    // Stage 1 works on stage 0's result; a disabled stage 1 ends the chain.
    d().SetTexture(0, tex);
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    d().SetTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
    d().SetTextureStageState(1, TSS_COLOROP, TOP_MODULATE);
    d().SetTextureStageState(1, TSS_COLORARG1, TA_TFACTOR);
    d().SetTextureStageState(1, TSS_COLORARG2, TA_CURRENT);
    d().SetRenderState(RS_TEXTUREFACTOR, 0xFF00FFFFu);
    DrawFull(0xFFFFFFFFu);
    EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, 0xFF008000u, 3));
    d().SetTextureStageState(1, TSS_COLOROP, TOP_DISABLE);
    DrawFull(0xFFFFFFFFu);
    EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, 0xFFFF8000u, 3));
    d().SetTexture(0, nullptr);
    GfxRelease(tex);
}

TEST_F(GfxGlDeviceTest, BlendingAndAlphaTest) {
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    d().SetTextureStageState(0, TSS_ALPHAOP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_ALPHAARG2, TA_DIFFUSE);
    struct Case {
        const char* what;
        uint32_t blend, src, dst, alphaTest, alphaFunc, alphaRef;
        uint32_t colour, want;
    } cases[] = {
        {"no blending", 0, BLEND_SRCALPHA, BLEND_INVSRCALPHA, 0, CMP_ALWAYS, 0, 0x80FF0000u, 0xFFFF0000u},
        {"source alpha", 1, BLEND_SRCALPHA, BLEND_INVSRCALPHA, 0, CMP_ALWAYS, 0, 0x80FF0000u, 0xFF80007Fu},
        {"additive", 1, BLEND_ONE, BLEND_ONE, 0, CMP_ALWAYS, 0, 0xFFFF0000u, 0xFFFF00FFu},
        {"zero and source colour", 1, BLEND_ZERO, BLEND_SRCCOLOR, 0, CMP_ALWAYS, 0, 0xFF808080u, 0xFF000080u},
        {"alpha test passes", 0, BLEND_ONE, BLEND_ZERO, 1, CMP_GREATER, 0x20, 0x40FF0000u, 0xFFFF0000u},
        {"alpha test fails", 0, BLEND_ONE, BLEND_ZERO, 1, CMP_GREATER, 0x80, 0x40FF0000u, 0xFF0000FFu},
        {"alpha test equal", 0, BLEND_ONE, BLEND_ZERO, 1, CMP_EQUAL, 0x40, 0x40FF0000u, 0xFFFF0000u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d().SetRenderState(RS_ALPHABLENDENABLE, c.blend);
        d().SetRenderState(RS_SRCBLEND, c.src);
        d().SetRenderState(RS_DESTBLEND, c.dst);
        d().SetRenderState(RS_ALPHATESTENABLE, c.alphaTest);
        d().SetRenderState(RS_ALPHAFUNC, c.alphaFunc);
        d().SetRenderState(RS_ALPHAREF, c.alphaRef);
        d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0);
        DrawFull(c.colour);
        EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, c.want, 3));
    }
}

TEST_F(GfxGlDeviceTest, DepthTestAndCulling) {
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    DrawRect(0, 0, 40, 64, 0xFFFF0000u, 0.3f);
    DrawRect(24, 0, 64, 64, 0xFF00FF00u, 0.6f);  // behind the red one where they overlap
    std::vector<uint32_t> px = Read();
    EXPECT_TRUE(Region(px, 0, 0, 40, 64, 0xFFFF0000u));
    EXPECT_TRUE(Region(px, 40, 0, 64, 64, 0xFF00FF00u));

    // Direct3D culls counter-clockwise triangles by default: on screen (y down),
    // top-left, top-right, bottom-left is clockwise.
    d().SetRenderState(RS_ZENABLE, 0);
    d().SetRenderState(RS_CULLMODE, CULL_CCW);
    struct Case {
        uint32_t cull;
        bool clockwise, drawn;
    } cases[] = {{CULL_CCW, true, true},
                 {CULL_CCW, false, false},
                 {CULL_CW, true, false},
                 {CULL_CW, false, true},
                 {CULL_NONE, false, true}};
    for (const auto& c : cases) {
        d().SetRenderState(RS_CULLMODE, c.cull);
        d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        RhwVertex cw[3] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
                           {63.5f, -0.5f, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
                           {-0.5f, 63.5f, 0.5f, 1, 0xFFFFFFFFu, 0, 0}};
        if (!c.clockwise) std::swap(cw[1], cw[2]);
        d().SetFVF(kRhwFvf);
        d().DrawPrimitiveUP(PT_TRIANGLELIST, 1, cw, sizeof(RhwVertex));
        EXPECT_EQ(Read()[8 * kSize + 8], c.drawn ? 0xFFFFFFFFu : 0xFF000000u) << c.cull << " " << c.clockwise;
    }
}

TEST_F(GfxGlDeviceTest, LightAndFogOnATransformedQuad) {
    // A quad facing the camera at a given distance, seen through a 90-degree perspective.
    auto drawQuadAt = [&](float distance, uint32_t colour) {
        float s = distance;  // fills the view at this distance
        LitVertex v[4] = {{-s, s, distance, 0, 0, -1, colour, 0, 0},
                          {s, s, distance, 0, 0, -1, colour, 1, 0},
                          {-s, -s, distance, 0, 0, -1, colour, 0, 1},
                          {s, -s, distance, 0, 0, -1, colour, 1, 1}};
        d().SetFVF(kLitFvf);
        ASSERT_EQ(d().DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, v, sizeof(LitVertex)), GFX_OK);
    };
    Matrix view = MatrixLookAtLH(Vec3(0, 0, 0), Vec3(0, 0, 1), Vec3(0, 1, 0));
    Matrix proj = MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 2, 1.0f, 1.0f, 100.0f);
    Matrix world = Matrix::Identity();
    d().SetTransform(TS_WORLD, &world);
    d().SetTransform(TS_VIEW, &view);
    d().SetTransform(TS_PROJECTION, &proj);
    d().SetRenderState(RS_ZENABLE, 0);

    GfxMaterial m;
    m.diffuse = ColorValue(1, 1, 1, 1);
    m.ambient = ColorValue(1, 1, 1, 1);
    d().SetMaterial(&m);
    GfxLight light;
    light.type = LIGHT_DIRECTIONAL;
    light.diffuse = ColorValue(0, 1, 0, 1);
    light.direction = Vec3(0, 0, 1);  // shining along the view, onto the quad's front
    d().SetLight(0, &light);
    d().LightEnable(0, true);
    d().SetRenderState(RS_AMBIENT, 0xFF400000u);
    struct LightCase {
        const char* what;
        uint32_t lighting, diffuseSource;
        Vec3 direction;
        uint32_t vertexColour, want;
    } lights[] = {
        {"lighting off uses the vertex colour", 0, MCS_COLOR1, Vec3(0, 0, 1), 0xFF0000FFu, 0xFF0000FFu},
        {"lit from the front, material colour", 1, MCS_MATERIAL, Vec3(0, 0, 1), 0xFF0000FFu, 0xFF40FF00u},
        {"lit from behind: ambient only", 1, MCS_MATERIAL, Vec3(0, 0, -1), 0xFF0000FFu, 0xFF400000u},
        {"diffuse from the vertex colour", 1, MCS_COLOR1, Vec3(0, 0, 1), 0xFF00FFFFu, 0xFF40FF00u},
        {"at an angle of 60 degrees", 1, MCS_MATERIAL, Vec3(0, 0.8660254f, 0.5f), 0xFF0000FFu, 0xFF408000u},
    };
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    for (const auto& c : lights) {
        SCOPED_TRACE(c.what);
        d().SetRenderState(RS_LIGHTING, c.lighting);
        d().SetRenderState(RS_DIFFUSEMATERIALSOURCE, c.diffuseSource);
        light.direction = c.direction;
        d().SetLight(0, &light);
        d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        drawQuadAt(10, c.vertexColour);
        EXPECT_TRUE(Region(Read(), 8, 8, 56, 56, c.want, 3));
    }

    d().SetRenderState(RS_LIGHTING, 0);
    d().SetRenderState(RS_FOGENABLE, 1);
    d().SetRenderState(RS_FOGCOLOR, 0xFF00FF00u);
    d().SetRenderState(RS_FOGSTART, FloatBits(10.0f));
    d().SetRenderState(RS_FOGEND, FloatBits(30.0f));
    struct FogCase {
        const char* what;
        uint32_t vertexMode, tableMode;
        float distance;
        uint32_t want;
    } fogs[] = {
        {"vertex fog at its start", FOG_LINEAR, FOG_NONE, 10, 0xFFFF0000u},
        {"vertex fog halfway", FOG_LINEAR, FOG_NONE, 20, 0xFF808000u},
        {"vertex fog at its end", FOG_LINEAR, FOG_NONE, 30, 0xFF00FF00u},
        {"table fog at its start", FOG_NONE, FOG_LINEAR, 10, 0xFFFF0000u},
        {"table fog at its end", FOG_NONE, FOG_LINEAR, 30, 0xFF00FF00u},
        {"fog enabled without a mode", FOG_NONE, FOG_NONE, 30, 0xFFFF0000u},
    };
    for (const auto& c : fogs) {
        SCOPED_TRACE(c.what);
        d().SetRenderState(RS_FOGVERTEXMODE, c.vertexMode);
        d().SetRenderState(RS_FOGTABLEMODE, c.tableMode);
        d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        drawQuadAt(c.distance, 0xFFFF0000u);
        EXPECT_TRUE(Region(Read(), 8, 8, 56, 56, c.want, 3));
    }
}

TEST_F(GfxGlDeviceTest, RenderTargetRoundTrip) {
    CGfxTexture* target = nullptr;
    ASSERT_EQ(d().CreateTexture(32, 32, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT, &target), GFX_OK);
    CGfxSurface* depth = nullptr;
    ASSERT_EQ(d().CreateDepthStencilSurface(32, 32, FMT_D16, 0, 0, false, &depth), GFX_OK);
    CGfxSurface* level = nullptr;
    target->GetSurfaceLevel(0, &level);
    CGfxSurface* savedColour = nullptr;
    CGfxSurface* savedDepth = nullptr;
    d().GetRenderTarget(0, &savedColour);
    d().GetDepthStencilSurface(&savedDepth);

    d().SetRenderTarget(0, level);
    d().SetDepthStencilSurface(depth);
    d().SetRenderState(RS_ZENABLE, 0);
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF00FF00u, 1.0f, 0);
    RhwVertex top[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFF0000u, 0, 0},
                        {31.5f, -0.5f, 0.5f, 1, 0xFFFF0000u, 0, 0},
                        {-0.5f, 15.5f, 0.5f, 1, 0xFFFF0000u, 0, 0},
                        {31.5f, 15.5f, 0.5f, 1, 0xFFFF0000u, 0, 0}};
    d().SetFVF(kRhwFvf);
    d().DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, top, sizeof(RhwVertex));
    std::vector<uint32_t> inTarget;
    ASSERT_EQ(d().ReadSurface(level, &inTarget), GFX_OK);
    EXPECT_EQ(inTarget[4 * 32 + 4], 0xFFFF0000u);   // top half red
    EXPECT_EQ(inTarget[28 * 32 + 4], 0xFF00FF00u);  // bottom half green

    d().SetRenderTarget(0, savedColour);
    d().SetDepthStencilSurface(savedDepth);
    GfxRelease(savedColour);
    GfxRelease(savedDepth);
    d().SetTexture(0, target);
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    d().SetTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
    d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    DrawFull(0xFFFFFFFFu);
    std::vector<uint32_t> px = Read();
    EXPECT_TRUE(Region(px, 0, 0, kSize, 32, 0xFFFF0000u));
    EXPECT_TRUE(Region(px, 0, 32, kSize, kSize, 0xFF00FF00u));

    // Reset is refused while the target is held, and works once it is released.
    d().SetTexture(0, nullptr);
    GfxPresentParameters p = d().GetPresentParameters();
    d().LoseDevice();
    d().AllowReset();
    EXPECT_EQ(d().Reset(&p), GFXERR_INVALIDCALL);
    GfxRelease(level);
    GfxRelease(target);
    GfxRelease(depth);
    ASSERT_EQ(d().Reset(&p), GFX_OK);
    d().SetRenderState(RS_LIGHTING, 0);
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, 0xFF0000FFu, 0));
}

TEST_F(GfxGlDeviceTest, BuffersAndPrimitiveTypes) {
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    d().SetRenderState(RS_ZENABLE, 0);
    // Two quads in one managed buffer: the second is drawn through indices and a base vertex.
    CGfxVertexBuffer* vb = nullptr;
    CGfxIndexBuffer* ib = nullptr;
    ASSERT_EQ(d().CreateVertexBuffer(8 * sizeof(RhwVertex), 0, kRhwFvf, POOL_MANAGED, &vb), GFX_OK);
    ASSERT_EQ(d().CreateIndexBuffer(6 * 2, 0, FMT_INDEX16, POOL_MANAGED, &ib), GFX_OK);
    void* p = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &p, 0), GFX_OK);
    auto* v = static_cast<RhwVertex*>(p);
    auto quad = [](RhwVertex* out, float l, float t, float r, float b, uint32_t c) {
        out[0] = {l - 0.5f, t - 0.5f, 0.5f, 1, c, 0, 0};
        out[1] = {r - 0.5f, t - 0.5f, 0.5f, 1, c, 0, 0};
        out[2] = {l - 0.5f, b - 0.5f, 0.5f, 1, c, 0, 0};
        out[3] = {r - 0.5f, b - 0.5f, 0.5f, 1, c, 0, 0};
    };
    quad(v, 0, 0, 32, 64, 0xFFFF0000u);
    quad(v + 4, 32, 0, 64, 64, 0xFF0000FFu);
    vb->Unlock();
    ASSERT_EQ(ib->Lock(0, 0, &p, 0), GFX_OK);
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(p, idx, sizeof(idx));
    ib->Unlock();

    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    d().SetFVF(kRhwFvf);
    d().SetStreamSource(0, vb, 0, sizeof(RhwVertex));
    d().SetIndices(ib);
    ASSERT_EQ(d().DrawPrimitive(PT_TRIANGLESTRIP, 0, 2), GFX_OK);
    ASSERT_EQ(d().DrawIndexedPrimitive(PT_TRIANGLELIST, 4, 0, 4, 0, 2), GFX_OK);
    std::vector<uint32_t> px = Read();
    EXPECT_TRUE(Region(px, 0, 0, 32, 64, 0xFFFF0000u));
    EXPECT_TRUE(Region(px, 32, 0, 64, 64, 0xFF0000FFu));

    // A change through a lock reaches the GL copy.
    ASSERT_EQ(vb->Lock(0, 4 * sizeof(RhwVertex), &p, 0), GFX_OK);
    quad(static_cast<RhwVertex*>(p), 0, 0, 32, 64, 0xFF00FF00u);
    vb->Unlock();
    ASSERT_EQ(d().DrawPrimitive(PT_TRIANGLESTRIP, 0, 2), GFX_OK);
    EXPECT_TRUE(Region(Read(), 0, 0, 32, 64, 0xFF00FF00u));
    GfxRelease(vb);
    GfxRelease(ib);

    // A fan from memory, and an indexed list from memory.
    RhwVertex fan[4];
    quad(fan, 0, 0, 64, 64, 0xFFFFFF00u);
    std::swap(fan[2], fan[3]);  // around the rim: top left, top right, bottom right, bottom left
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(d().DrawPrimitiveUP(PT_TRIANGLEFAN, 2, fan, sizeof(RhwVertex)), GFX_OK);
    EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, 0xFFFFFF00u));
    RhwVertex list[4];
    quad(list, 0, 32, 64, 64, 0xFF00FFFFu);
    ASSERT_EQ(d().DrawIndexedPrimitiveUP(PT_TRIANGLELIST, 0, 4, 2, idx, FMT_INDEX16, list, sizeof(RhwVertex)), GFX_OK);
    px = Read();
    EXPECT_TRUE(Region(px, 0, 32, kSize, kSize, 0xFF00FFFFu));
    EXPECT_TRUE(Region(px, 0, 0, kSize, 32, 0xFFFFFF00u));

    // A line strip along row 10.
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    RhwVertex line[2] = {{4, 10, 0.5f, 1, 0xFFFFFFFFu, 0, 0}, {60, 10, 0.5f, 1, 0xFFFFFFFFu, 0, 0}};
    ASSERT_EQ(d().DrawPrimitiveUP(PT_LINESTRIP, 1, line, sizeof(RhwVertex)), GFX_OK);
    px = Read();
    EXPECT_EQ(px[10 * kSize + 30], 0xFFFFFFFFu);
    EXPECT_EQ(px[20 * kSize + 30], 0xFF000000u);
    EXPECT_EQ(d().ProgramCount(), 1u);  // one vertex format, one stage setting: one program
}

TEST_F(GfxGlDeviceTest, SamplerAddressingAndGeneratedCoordinates) {
    // A 2 x 2 texture: red, green / blue, white.
    CGfxTexture* tex = Texture(FMT_A8R8G8B8, 2, 2, Quadrants());
    d().SetTexture(0, tex);
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    d().SetRenderState(RS_ZENABLE, 0);
    struct Case {
        const char* what;
        uint32_t address;
        uint32_t right;  // what u from 1 to 1.5 shows at the top
    } cases[] = {{"wrap repeats", TADDRESS_WRAP, 0xFFFF0000u},
                 {"clamp keeps the edge", TADDRESS_CLAMP, 0xFF00FF00u},
                 {"border colour", TADDRESS_BORDER, 0xFFFF00FFu}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d().SetSamplerState(0, SAMP_ADDRESSU, c.address);
        d().SetSamplerState(0, SAMP_BORDERCOLOR, 0xFFFF00FFu);
        RhwVertex v[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
                          {63.5f, -0.5f, 0.5f, 1, 0xFFFFFFFFu, 2, 0},
                          {-0.5f, 63.5f, 0.5f, 1, 0xFFFFFFFFu, 0, 1},
                          {63.5f, 63.5f, 0.5f, 1, 0xFFFFFFFFu, 2, 1}};
        d().SetFVF(kRhwFvf);
        d().DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, v, sizeof(RhwVertex));
        std::vector<uint32_t> px = Read();
        EXPECT_TRUE(Region(px, 0, 0, 16, 32, 0xFFFF0000u));
        EXPECT_TRUE(Region(px, 32, 0, 48, 32, c.right));
    }
    d().SetSamplerState(0, SAMP_ADDRESSU, TADDRESS_CLAMP);
    d().SetSamplerState(0, SAMP_ADDRESSV, TADDRESS_CLAMP);

    // Coordinates from the camera-space position through the texture matrix,
    // as the shadow map uses them: (x, y) of a 64-unit square, halved by the
    // projection's divide (the matrix doubles them and puts 2 into the divisor).
    Matrix id = Matrix::Identity();
    Matrix ortho = MatrixOrthoOffCenterLH(0, 64, 64, 0, 0, 1);
    d().SetTransform(TS_WORLD, &id);
    d().SetTransform(TS_VIEW, &id);
    d().SetTransform(TS_PROJECTION, &ortho);
    Matrix texMatrix;
    texMatrix(0, 0) = 2.0f / 64;
    texMatrix(1, 1) = 2.0f / 64;
    texMatrix(3, 2) = 2.0f;
    texMatrix(3, 3) = 1.0f;
    d().SetTransform(TS_TEXTURE0, &texMatrix);
    d().SetTextureStageState(0, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION);
    d().SetTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT3 | TTFF_PROJECTED);
    struct Position {
        float x, y, z;
    } square[4] = {{0, 0, 0.5f}, {64, 0, 0.5f}, {0, 64, 0.5f}, {64, 64, 0.5f}};
    d().SetFVF(FVF_XYZ);
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(d().DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, square, sizeof(Position)), GFX_OK);
    std::vector<uint32_t> px = Read();
    EXPECT_TRUE(Region(px, 0, 0, 32, 32, 0xFFFF0000u));
    EXPECT_TRUE(Region(px, 32, 0, 64, 32, 0xFF00FF00u));
    EXPECT_TRUE(Region(px, 0, 32, 32, 64, 0xFF0000FFu));
    EXPECT_TRUE(Region(px, 32, 32, 64, 64, 0xFFFFFFFFu));
    d().SetTexture(0, nullptr);
    GfxRelease(tex);
}

TEST_F(GfxGlDeviceTest, ResourcesMadeOnALoaderThreadAreUploadedWhenFirstUsed) {
    d().SetRenderState(RS_ZENABLE, 0);
    CGfxTexture* tex = nullptr;
    CGfxVertexBuffer* vb = nullptr;
    std::atomic<bool> done{false};
    // The loader creates and fills while the drawing thread keeps drawing.
    std::thread loader([&] {
        std::vector<uint8_t> dds = CDdsWriter::Solid(FMT_DXT1, 16, 16, 0xFF00FF00u, 0);
        CreateTextureFromFileInMemoryEx(&d(), dds.data(), dds.size(), kGfxDefault, kGfxDefault, kGfxFromFile, 0,
                                        FMT_UNKNOWN, POOL_MANAGED, 0, 0, 0, nullptr, &tex);
        if (GfxSucceeded(d().CreateVertexBuffer(4 * sizeof(RhwVertex), 0, kRhwFvf, POOL_MANAGED, &vb))) {
            void* p = nullptr;
            vb->Lock(0, 0, &p, 0);
            RhwVertex v[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
                              {63.5f, -0.5f, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                              {-0.5f, 63.5f, 0.5f, 1, 0xFFFFFFFFu, 0, 1},
                              {63.5f, 63.5f, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
            std::memcpy(p, v, sizeof(v));
            vb->Unlock();
        }
        done = true;
    });
    while (!done) {
        d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        DrawRect(0, 0, 8, 8, 0xFFFFFFFFu);
    }
    loader.join();
    ASSERT_NE(tex, nullptr);
    ASSERT_NE(vb, nullptr);
    d().SetTexture(0, tex);
    d().SetFVF(kRhwFvf);
    d().SetStreamSource(0, vb, 0, sizeof(RhwVertex));
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(d().DrawPrimitive(PT_TRIANGLESTRIP, 0, 2), GFX_OK);
    EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, 0xFF00FF00u, 4));
    d().SetTexture(0, nullptr);
    d().SetStreamSource(0, nullptr, 0, 0);
    GfxRelease(tex);
    GfxRelease(vb);
}

TEST_F(GfxGlDeviceTest, DepthBiasAndFillMode) {
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
    d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    // Two quads at the same depth: the second wins only with a bias toward the viewer.
    struct Case {
        float bias;
        uint32_t want;
    } cases[] = {{0.0f, 0xFFFF0000u}, {-0.01f, 0xFF00FF00u}};
    for (const auto& c : cases) {
        d().Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        d().SetRenderState(RS_ZFUNC, CMP_LESS);
        d().SetRenderState(RS_DEPTHBIAS, FloatBits(0.0f));
        DrawRect(0, 0, kSize, kSize, 0xFFFF0000u, 0.5f);
        d().SetRenderState(RS_DEPTHBIAS, FloatBits(c.bias));
        DrawRect(0, 0, kSize, kSize, 0xFF00FF00u, 0.5f);
        EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, c.want)) << c.bias;
    }
    d().SetRenderState(RS_DEPTHBIAS, FloatBits(0.0f));
    d().SetRenderState(RS_ZENABLE, 0);
    // Wireframe leaves the inside of a quad untouched.
    d().SetRenderState(RS_FILLMODE, FILL_WIREFRAME);
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    DrawRect(8, 8, 56, 56, 0xFFFFFFFFu);
    EXPECT_TRUE(Region(Read(), 16, 16, 30, 30, 0xFF000000u, 0));
    d().SetRenderState(RS_FILLMODE, FILL_SOLID);
}

TEST_F(GfxGlDeviceTest, ManagedTexturesOutliveTheirDevice) {
    CGfxTexture* tex = Texture(FMT_A8R8G8B8, 4, 4, std::vector<uint32_t>(16, 0xFF00FFFFu));
    d().SetTexture(0, tex);
    DrawFull(0xFFFFFFFFu);  // uploads it into this device's context
    d().SetTexture(0, nullptr);
    GfxPresentParameters p = d().GetPresentParameters();
    m_device.reset();
    // A new device (as after a failed reset) gives the texture GL objects of its own.
    m_device = CGfxGlDevice::CreateHeadless(p);
    ASSERT_NE(m_device, nullptr);
    d().SetRenderState(RS_LIGHTING, 0);
    d().SetRenderState(RS_ZENABLE, 0);
    d().SetTexture(0, tex);
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    DrawFull(0xFFFFFFFFu);
    EXPECT_TRUE(Region(Read(), 0, 0, kSize, kSize, 0xFF00FFFFu, 0));
    d().SetTexture(0, nullptr);
    GfxRelease(tex);
}

TEST_F(GfxGlDeviceTest, PretransformedQuadsMapTexelsOntoPixelsExactly) {
    // Every texel different; with the half-pixel rule each lands on one pixel, even when filtered.
    std::vector<uint32_t> texels(16 * 16);
    for (uint32_t i = 0; i < texels.size(); ++i) texels[i] = 0xFF000000u | (i * 16) << 16 | (255 - i) << 8 | (i * 7);
    CGfxTexture* tex = Texture(FMT_A8R8G8B8, 16, 16, texels);
    d().SetTexture(0, tex);
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    d().SetRenderState(RS_ZENABLE, 0);
    for (uint32_t filter : {TEXF_POINT, TEXF_LINEAR}) {
        d().SetSamplerState(0, SAMP_MINFILTER, filter);
        d().SetSamplerState(0, SAMP_MAGFILTER, filter);
        d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        DrawRect(10, 20, 26, 36, 0xFFFFFFFFu);
        std::vector<uint32_t> px = Read();
        for (uint32_t y = 0; y < 16; ++y)
            for (uint32_t x = 0; x < 16; ++x)
                ASSERT_EQ(px[(20 + y) * kSize + 10 + x], texels[y * 16 + x]) << filter << " " << x << "," << y;
    }
    d().SetTexture(0, nullptr);
    GfxRelease(tex);
}

// A render target larger than the back buffer, drawn into while the back
// buffer's smaller depth surface stays set (as the shadow pass does, with
// depth off), then read through a projected stage that spans it all.
TEST_F(GfxGlDeviceTest, ATargetLargerThanTheBackBufferIsDrawnAndSampledWhole) {
    constexpr uint32_t kBig = 256;
    struct Case {
        const char* what;
        uint32_t format, levels, transform;
    } cases[] = {{"full chain, three coordinates", FMT_X8R8G8B8, 0, TTFF_COUNT3},
                 {"one level, four coordinates", FMT_A8R8G8B8, 1, TTFF_COUNT4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CGfxTexture* target = nullptr;
        ASSERT_EQ(d().CreateTexture(kBig, kBig, c.levels, USAGE_RENDERTARGET, c.format, POOL_DEFAULT, &target), GFX_OK);
        CGfxSurface* level = nullptr;
        ASSERT_EQ(target->GetSurfaceLevel(0, &level), GFX_OK);
        CGfxSurface* saved = nullptr;
        d().GetRenderTarget(0, &saved);

        // White, with a dark top-left quarter and a grey bottom-right one.
        d().SetRenderTarget(0, level);
        d().SetRenderState(RS_ZENABLE, 0);
        d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG2);
        d().SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
        ASSERT_EQ(d().Clear(0, nullptr, CLEAR_TARGET, 0xFFFFFFFFu, 1.0f, 0), GFX_OK);
        DrawRect(0, 0, kBig / 2, kBig / 2, 0xFF000000u);
        DrawRect(kBig / 2, kBig / 2, kBig, kBig, 0xFF646464u);
        std::vector<uint32_t> inTarget;
        ASSERT_EQ(d().ReadSurface(level, &inTarget), GFX_OK);
        ASSERT_EQ(inTarget.size(), kBig * kBig);
        const int tolerance = 3;
        auto texel = [&](uint32_t x, uint32_t y) { return inTarget[y * kBig + x]; };
        EXPECT_TRUE(Near(texel(100, 100), 0xFF000000u, tolerance));
        EXPECT_TRUE(Near(texel(200, 60), 0xFFFFFFFFu, tolerance));
        EXPECT_TRUE(Near(texel(60, 200), 0xFFFFFFFFu, tolerance));
        EXPECT_TRUE(Near(texel(200, 200), 0xFF646464u, tolerance));

        // Back on the back buffer: the square (0..64)^2 in camera space maps onto the whole image.
        d().SetRenderTarget(0, saved);
        GfxRelease(saved);
        Matrix id = Matrix::Identity();
        Matrix ortho = MatrixOrthoOffCenterLH(0, kSize, kSize, 0, 0, 1);
        d().SetTransform(TS_WORLD, &id);
        d().SetTransform(TS_VIEW, &id);
        d().SetTransform(TS_PROJECTION, &ortho);
        Matrix texMatrix;
        texMatrix(0, 0) = 2.0f / kSize;
        texMatrix(1, 1) = 2.0f / kSize;
        texMatrix(3, c.transform == TTFF_COUNT4 ? 3 : 2) = 2.0f;
        d().SetTransform(TS_TEXTURE0, &texMatrix);
        d().SetTexture(0, target);
        d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
        d().SetTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
        d().SetTextureStageState(0, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION);
        d().SetTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, c.transform | TTFF_PROJECTED);
        d().SetSamplerState(0, SAMP_ADDRESSU, TADDRESS_BORDER);
        d().SetSamplerState(0, SAMP_ADDRESSV, TADDRESS_BORDER);
        d().SetSamplerState(0, SAMP_BORDERCOLOR, 0xFFFFFFFFu);
        d().SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
        d().SetSamplerState(0, SAMP_MAGFILTER, TEXF_LINEAR);
        struct Position {
            float x, y, z;
        } square[4] = {{0, 0, 0.5f}, {kSize, 0, 0.5f}, {0, kSize, 0.5f}, {kSize, kSize, 0.5f}};
        d().SetFVF(FVF_XYZ);
        d().Clear(0, nullptr, CLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
        ASSERT_EQ(d().DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, square, sizeof(Position)), GFX_OK);
        std::vector<uint32_t> px = Read();
        EXPECT_TRUE(Region(px, 0, 0, 32, 32, 0xFF000000u, tolerance));
        EXPECT_TRUE(Region(px, 32, 0, 64, 32, 0xFFFFFFFFu, tolerance));
        EXPECT_TRUE(Region(px, 0, 32, 32, 64, 0xFFFFFFFFu, tolerance));
        EXPECT_TRUE(Region(px, 32, 32, 64, 64, 0xFF646464u, tolerance));

        d().SetTexture(0, nullptr);
        d().SetTextureStageState(0, TSS_TEXCOORDINDEX, 0);
        d().SetTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, 0);
        GfxRelease(level);
        GfxRelease(target);
    }
}

// A projected coordinate whose divisor changes across the quad: u = 2x / (x + 64)
// reaches the texture's middle at x = 21.3, where a divide made only at the
// vertices (u then linear in x) would put it at x = 32.
TEST_F(GfxGlDeviceTest, TheProjectiveDivideIsMadeForEachPixel) {
    CGfxTexture* tex = Texture(FMT_A8R8G8B8, 2, 2, Quadrants());
    d().SetTexture(0, tex);
    d().SetTextureStageState(0, TSS_COLOROP, TOP_SELECTARG1);
    d().SetRenderState(RS_ZENABLE, 0);
    Matrix id = Matrix::Identity();
    Matrix ortho = MatrixOrthoOffCenterLH(0, kSize, kSize, 0, 0, 1);
    d().SetTransform(TS_WORLD, &id);
    d().SetTransform(TS_VIEW, &id);
    d().SetTransform(TS_PROJECTION, &ortho);
    Matrix texMatrix;  // (2x, x / 4 + 16, x + 64): v stays at a quarter, in the top row
    texMatrix(0, 0) = 2.0f;
    texMatrix(0, 1) = 0.25f;
    texMatrix(3, 1) = 16.0f;
    texMatrix(0, 2) = 1.0f;
    texMatrix(3, 2) = 64.0f;
    d().SetTransform(TS_TEXTURE0, &texMatrix);
    d().SetTextureStageState(0, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION);
    d().SetTextureStageState(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT3 | TTFF_PROJECTED);
    struct Position {
        float x, y, z;
    } square[4] = {{0, 0, 0.5f}, {kSize, 0, 0.5f}, {0, kSize, 0.5f}, {kSize, kSize, 0.5f}};
    d().SetFVF(FVF_XYZ);
    d().Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(d().DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, square, sizeof(Position)), GFX_OK);
    std::vector<uint32_t> px = Read();
    EXPECT_TRUE(Region(px, 0, 0, 20, kSize, 0xFFFF0000u));
    EXPECT_TRUE(Region(px, 23, 0, kSize, kSize, 0xFF00FF00u));
    d().SetTexture(0, nullptr);
    GfxRelease(tex);
}
