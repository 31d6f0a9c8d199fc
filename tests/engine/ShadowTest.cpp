#include "engine/ZEMShadow.h"

#include <gtest/gtest.h>

#include "engine/Camera.h"
#include "engine/SceneObject.h"
#include "platform/GfxRecordingDevice.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 64;

// A flat square at a height, drawn white in world space.
class FlatSquare : public CSceneObject {
public:
    FlatSquare(CGfxDevice& device, float half, float height) : m_device(device) {
        flags |= SO_VISIBLE;
        const float corners[4][2] = {{-half, -half}, {half, -half}, {-half, half}, {half, half}};
        for (int i = 0; i < 4; ++i) m_vertices[i] = {corners[i][0], height, corners[i][1], 0xFFFFFFFF};
    }
    void RenderPose() override {
        Matrix identity = Matrix::Identity();
        m_device.SetTransform(TS_WORLD, &identity);
        m_device.SetRenderState(RS_CULLMODE, CULL_NONE);
        m_device.SetFVF(FVF_XYZ | FVF_DIFFUSE);
        m_device.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, m_vertices, sizeof(Vertex));
        ++draws;
    }
    int draws = 0;

private:
    struct Vertex {
        float x, y, z;
        uint32_t colour;
    };
    CGfxDevice& m_device;
    Vertex m_vertices[4];
};

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
