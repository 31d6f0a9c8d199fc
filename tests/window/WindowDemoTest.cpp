// A small scene in a real SDL window (the test runs under its own Xvfb): a
// textured, lit and fogged floor and a pre-transformed frame, presented in
// the window, then the screenshot compared with what the scene must show.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <numbers>

#include "platform/GfxSystem.h"
#include "platform/JpegWriter.h"
#include "platform/TextureLoader.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/DdsWriter.h"

using namespace platform;

namespace {
struct LitVertex {
    float x, y, z, nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};
struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
};

bool Near(uint32_t got, uint32_t want, int tolerance) {
    for (int s = 0; s < 24; s += 8)
        if (std::abs(static_cast<int>((got >> s) & 0xFF) - static_cast<int>((want >> s) & 0xFF)) > tolerance)
            return false;
    return true;
}
}  // namespace

class WindowDemo : public RealWindowFixture {};

TEST_F(WindowDemo, TexturedLitFoggedSceneInAWindow) {
    ASSERT_NO_FATAL_FAILURE(OpenDevice(256, 192, true));
    {
        CGfxDevice& d = Device();

        // A white-and-grey checker texture, lit green from above, fogged red in the distance.
        std::vector<uint32_t> checker(16 * 16);
        for (uint32_t i = 0; i < checker.size(); ++i) checker[i] = ((i / 16 + i % 16) & 1) ? 0xFFFFFFFFu : 0xFF808080u;
        std::vector<uint8_t> dds = CDdsWriter::FromArgb(FMT_DXT1, 16, 16, checker, 0);
        CGfxTexture* tex = nullptr;
        ASSERT_EQ(
            CreateTextureFromFileInMemoryEx(&d, dds.data(), dds.size(), kGfxDefault, kGfxDefault, kGfxFromFile, 0,
                                            FMT_UNKNOWN, POOL_MANAGED, TEXF_LINEAR, TEXF_LINEAR, 0, nullptr, &tex),
            GFX_OK);
        Matrix view = MatrixLookAtLH(Vec3(0, 10, -10), Vec3(0, 0, 10), Vec3(0, 1, 0));
        Matrix proj = MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 3, 256.0f / 192.0f, 1.0f, 200.0f);
        Matrix world = Matrix::Identity();
        d.SetTransform(TS_WORLD, &world);
        d.SetTransform(TS_VIEW, &view);
        d.SetTransform(TS_PROJECTION, &proj);
        GfxMaterial m;
        m.diffuse = m.ambient = ColorValue(1, 1, 1, 1);
        d.SetMaterial(&m);
        GfxLight light;
        light.diffuse = ColorValue(0, 1, 0, 1);
        light.direction = Vec3(0, -1, 0);
        d.SetLight(0, &light);
        d.LightEnable(0, true);
        d.SetRenderState(RS_AMBIENT, 0xFF000000u);
        d.SetRenderState(RS_FOGENABLE, 1);
        // Per-pixel fog: the floor is one large quad, too coarse for fog at its corners.
        d.SetRenderState(RS_FOGTABLEMODE, FOG_LINEAR);
        d.SetRenderState(RS_FOGCOLOR, 0xFFFF0000u);
        d.SetRenderState(RS_FOGSTART, FloatBits(20.0f));
        d.SetRenderState(RS_FOGEND, FloatBits(60.0f));
        d.SetSamplerState(0, SAMP_MINFILTER, TEXF_POINT);
        d.SetSamplerState(0, SAMP_MAGFILTER, TEXF_POINT);
        d.SetTexture(0, tex);

        // The floor: y = 0 from z = -50 to z = 100, wide enough to fill the lower view.
        LitVertex floor[4] = {{-100, 0, -50, 0, 1, 0, 0xFFFFFFFFu, 0, 0},
                              {100, 0, -50, 0, 1, 0, 0xFFFFFFFFu, 40, 0},
                              {-100, 0, 100, 0, 1, 0, 0xFFFFFFFFu, 0, 20},
                              {100, 0, 100, 0, 1, 0, 0xFFFFFFFFu, 40, 20}};
        ASSERT_EQ(d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0), GFX_OK);
        ASSERT_EQ(d.BeginScene(), GFX_OK);
        d.SetRenderState(RS_CULLMODE, CULL_NONE);
        d.SetFVF(FVF_XYZ | FVF_NORMAL | FVF_DIFFUSE | FVF_TEX1);
        ASSERT_EQ(d.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, floor, sizeof(LitVertex)), GFX_OK);

        // A yellow frame in the top-left corner, drawn after the scene without depth test or light.
        d.SetRenderState(RS_ZENABLE, 0);
        d.SetRenderState(RS_LIGHTING, 0);
        d.SetRenderState(RS_FOGENABLE, 0);
        d.SetTexture(0, nullptr);
        ScreenVertex frame[4] = {{-0.5f, -0.5f, 0, 1, 0xFFFFFF00u},
                                 {31.5f, -0.5f, 0, 1, 0xFFFFFF00u},
                                 {-0.5f, 15.5f, 0, 1, 0xFFFFFF00u},
                                 {31.5f, 15.5f, 0, 1, 0xFFFFFF00u}};
        d.SetFVF(FVF_XYZRHW | FVF_DIFFUSE);
        ASSERT_EQ(d.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, frame, sizeof(ScreenVertex)), GFX_OK);
        ASSERT_EQ(d.EndScene(), GFX_OK);

        TempFolder tmp;
        CGfxSurface* back = nullptr;
        ASSERT_EQ(d.GetBackBuffer(0, 0, &back), GFX_OK);
        ASSERT_EQ(SaveSurfaceToJpeg(&d, back, tmp.Path("SCREENSHOT.JPG")), GFX_OK);
        GfxRelease(back);
        const std::vector<uint32_t> px = ReadBack();
        ASSERT_EQ(px.size(), 256u * 192u);
        ASSERT_EQ(d.Present(), GFX_OK);
        // The window shows the picture the right way up: its top-left corner is the frame
        // (window rows count from the bottom). Xvfb's software GL cannot read the front
        // buffer, but its swap copies, so the window's back buffer still holds the picture.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        uint8_t shown[4] = {};
        glReadPixels(2, 189, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, shown);
        EXPECT_EQ(shown[0], 255);
        EXPECT_EQ(shown[1], 255);
        EXPECT_EQ(shown[2], 0);
        glReadPixels(200, 189, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, shown);
        EXPECT_EQ(shown[2], 255);  // the sky beside it
        glReadPixels(128, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, shown);
        EXPECT_EQ(shown[2], 0);  // the floor at the bottom

        auto at = [&](uint32_t x, uint32_t y) { return px[y * 256 + x]; };
        // The frame, exact to the pixel.
        EXPECT_EQ(at(0, 0), 0xFFFFFF00u);
        EXPECT_EQ(at(31, 15), 0xFFFFFF00u);
        EXPECT_NE(at(32, 15), 0xFFFFFF00u);
        EXPECT_NE(at(31, 16), 0xFFFFFF00u);
        // Above the horizon the clear colour.
        EXPECT_TRUE(Near(at(200, 2), 0xFF0000FFu, 3)) << std::hex << at(200, 2);
        // Near the bottom: the lit floor, green times the checker (white or grey), no fog yet.
        uint32_t nearFloor = at(128, 188);
        EXPECT_TRUE(Near(nearFloor, 0xFF00FF00u, 6) || Near(nearFloor, 0xFF008000u, 6)) << std::hex << nearFloor;
        // Far away the floor turns to the fog colour: red rises toward the horizon.
        int redNear = static_cast<int>((nearFloor >> 16) & 0xFF);
        int redFar = 0;
        for (uint32_t yy = 20; yy < 120; ++yy) {
            uint32_t c = at(128, yy);
            if (!Near(c, 0xFF0000FFu, 3)) {
                redFar = static_cast<int>((c >> 16) & 0xFF);
                break;
            }
        }
        EXPECT_LT(redNear, 20);
        EXPECT_GT(redFar, 100);
        d.SetTexture(0, nullptr);
        GfxRelease(tex);
    }
}
