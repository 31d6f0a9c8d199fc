#include "engine/render/ZEMShadow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/render/Camera.h"
#include "engine/render/SceneObject.h"
#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/FlatSquare.h"
#include "tests/fixtures/HeadlessGl.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 64;

void AimCamera(CCamera& camera) {
    camera.SetLookAt(Vec3(0, 20, -20), Vec3(0, 0, 0), 0.785398f);
    camera.SetProjection(kSize, kSize);
    camera.view = MatrixLookAtLH(camera.eye, camera.target, Vec3(0, 1, 0));
}

}  // namespace

TEST(Shadow, WithoutCastersTheGroundPassNeverRuns) {
    CGfxRecordingDevice device;
    CCamera camera;
    AimCamera(camera);
    CZEMShadow shadow(&device);
    ASSERT_EQ(shadow.Create(&camera), 1);
    FlatSquare hidden(device, 3, 1), faded(device, 3, 1), ground(device, 30, 0);
    hidden.flags |= SO_HIDDEN;
    faded.material.Get().ambient.a = 0.5f;
    device.ClearLog();
    shadow.RenderShadowMap(nullptr, {nullptr, &hidden, &faded}, {&ground});
    EXPECT_EQ(hidden.draws + faded.draws + ground.draws, 0);
    EXPECT_EQ(device.Count("StageState 0 11 "), 0u);
    uint32_t lighting = 0;
    device.GetRenderState(RS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, 1u);
    // The light's projection follows the camera's distance.
    EXPECT_FLOAT_EQ(shadow.LightProjection()(0, 0), 380.0f / camera.distance);
    shadow.Release();
    EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);
}

TEST(Shadow, CastersAreDrawnGreyAndTheGroundThroughTheImage) {
    CGfxRecordingDevice device;
    CCamera camera;
    AimCamera(camera);
    CZEMShadow shadow(&device);
    ASSERT_EQ(shadow.Create(&camera), 1);
    shadow.useLarge = 1;
    FlatSquare caster(device, 3, 1), ground(device, 30, 0);
    Viewport full{0, 0, kSize, kSize, 0, 1};
    device.ClearLog();
    shadow.RenderShadowMap(&full, {&caster}, {&ground});
    EXPECT_EQ(caster.draws, 1);
    EXPECT_EQ(ground.draws, 1);
    EXPECT_EQ(device.Count("RenderState 60 " + std::to_string(CZEMShadow::kSilhouette)), 1u);
    EXPECT_EQ(device.Count("StageState 0 11 131072"), 1u);
    // Afterwards the states are back for the scene.
    uint32_t value = 0;
    device.GetRenderState(RS_LIGHTING, &value);
    EXPECT_EQ(value, 1u);
    device.GetTextureStageState(0, TSS_TEXCOORDINDEX, &value);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(device.GetTexture(0), nullptr);
    Viewport vp;
    device.GetViewport(&vp);
    EXPECT_EQ(vp.width, kSize);

    // The texture matrix takes a ground point, in camera space, to where the
    // light's view put it in the image.
    for (Vec3 point : {Vec3(0, 0, 0), Vec3(5, 0, -3), Vec3(-8, 0, 6)}) {
        Vec4 clip = Vec3Transform(point, shadow.LightView() * shadow.LightProjection());
        float u = 0.5f * clip.x / clip.w + 0.5f, v = -0.5f * clip.y / clip.w + 0.5f;
        Vec4 t = Vec3Transform(Vec3TransformCoord(point, camera.view), shadow.TextureMatrix());
        EXPECT_NEAR(t.x / t.z, u, 0.01f);
        EXPECT_NEAR(t.y / t.z, v, 0.01f);
    }
    shadow.Release();
}

// On the GL device, with shadow images larger than the 64 x 64 back buffer
// (whose depth surface stays set through the shadow pass): the white ground
// turns the silhouette's grey under a square held above it, and stays white
// around it, whichever image size is in use.
TEST(Shadow, TheGroundDarkensUnderACasterOnTheGlDevice) {
    auto device = CreateHeadlessGl(kSize, true);
    ASSERT_NE(device, nullptr) << "no headless GL (EGL on Mesa) available";
    CGfxDevice& d = *device;
    CCamera camera;
    AimCamera(camera);
    FlatSquare caster(d, 3, 1), ground(d, 20, 0);
    Viewport full{0, 0, kSize, kSize, 0, 1};
    // A ground square's bounds on the screen.
    struct Box {
        uint32_t l, t, r, b;
    };
    auto onScreen = [&](float x0, float z0, float x1, float z1) {
        Matrix world = Matrix::Identity();
        Box box{kSize, kSize, 0, 0};
        for (Vec3 corner : {Vec3(x0, 0, z0), Vec3(x1, 0, z0), Vec3(x0, 0, z1), Vec3(x1, 0, z1)}) {
            Vec3 s = Vec3Project(corner, full, camera.projection, camera.view, world);
            box.l = std::min(box.l, static_cast<uint32_t>(std::max(s.x, 0.0f)));
            box.t = std::min(box.t, static_cast<uint32_t>(std::max(s.y, 0.0f)));
            box.r = std::max(box.r, std::min(static_cast<uint32_t>(s.x), kSize));
            box.b = std::max(box.b, std::min(static_cast<uint32_t>(s.y), kSize));
        }
        return box;
    };
    auto every = [](const std::vector<uint32_t>& px, Box box, auto test) -> ::testing::AssertionResult {
        if (box.r <= box.l + 2 || box.b <= box.t + 2) return ::testing::AssertionFailure() << "empty box";
        for (uint32_t y = box.t; y < box.b; ++y)
            for (uint32_t x = box.l; x < box.r; ++x)
                if (!test(px[y * kSize + x]))
                    return ::testing::AssertionFailure()
                           << std::hex << "0x" << px[y * kSize + x] << std::dec << " at " << x << "," << y;
        return ::testing::AssertionSuccess();
    };
    auto red = [](uint32_t argb) { return static_cast<int>((argb >> 16) & 0xFF); };
    const int grey = CZEMShadow::kSilhouette & 0xFF;

    for (uint32_t large : {0u, 1u}) {
        SCOPED_TRACE(large ? "large image" : "small image");
        CZEMShadow shadow(&d);
        ASSERT_EQ(shadow.Create(&camera), 1);
        shadow.useLarge = large;
        // The light's zoom follows the camera from the frame before; a first frame has none yet.
        shadow.BuildTextureMatrix();
        d.SetRenderState(RS_LIGHTING, 0);
        d.SetTransform(TS_VIEW, &camera.view);
        d.SetTransform(TS_PROJECTION, &camera.projection);
        ASSERT_EQ(d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), GFX_OK);
        ASSERT_EQ(d.BeginScene(), GFX_OK);
        ground.RenderPose();
        shadow.RenderShadowMap(&full, {&caster}, {&ground});
        ASSERT_EQ(d.EndScene(), GFX_OK);
        const std::vector<uint32_t> px = ReadBackBuffer(d);
        ASSERT_EQ(px.size(), static_cast<size_t>(kSize) * kSize);

        auto shaded = [&](uint32_t c) { return std::abs(red(c) - grey) <= 8; };
        auto white = [&](uint32_t c) { return red(c) >= 0xF0; };
        EXPECT_TRUE(every(px, onScreen(-2, -2, 2, 2), shaded));  // under the square
        EXPECT_TRUE(every(px, onScreen(5, -2, 9, 2), white));    // to its right
        EXPECT_TRUE(every(px, onScreen(-9, -2, -5, 2), white));  // to its left
        EXPECT_TRUE(every(px, onScreen(-2, 5, 2, 9), white));    // behind it
        EXPECT_TRUE(every(px, onScreen(-2, -9, 2, -5), white));  // in front of it
        shadow.Release();
    }
}
