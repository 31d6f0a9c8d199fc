// The model preview's camera and target on the recording device: a view that
// stays finite whatever the camera is given, and a target made in the back
// buffer's format that a device reset takes and gives back.
#include "engine/render/ModelPreview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/ErrorReport.h"
#include "platform/GfxRecordingDevice.h"

using namespace platform;

namespace {

bool FiniteMatrix(const Matrix& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m(r, c))) return false;
    return true;
}

TEST(ModelPreview, ViewStaysFiniteForAnyCamera) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        Vec3 eye, target;
    } cases[] = {
        {"an ordinary view", {0, 8, -25}, {0, 5, 0}}, {"the eye on its target", {1, 2, 3}, {1, 2, 3}},
        {"straight down", {0, 30, 0}, {0, 0, 0}},     {"straight up", {0, -30, 0}, {0, 0, 0}},
        {"a lost eye", {nan, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CModelPreview preview(0.5f);
        preview.Aim(c.eye, c.target);
        EXPECT_TRUE(FiniteMatrix(preview.ViewMatrix()));
    }
    // The ordinary view looks along +z: the target lies in front of the eye.
    CModelPreview preview(0.5f);
    preview.Aim({0, 0, -10}, {0, 0, 0});
    const Vec3 ahead = Vec3TransformCoord(Vec3(0, 0, 0), preview.ViewMatrix());
    EXPECT_NEAR(ahead.z, 10.0f, 1e-4f);
}

TEST(ModelPreview, TargetFollowsTheDeviceAndKeepsItsObject) {
    CErrorReport report;
    GfxPresentParameters pp;
    pp.backBufferWidth = 640;
    pp.backBufferHeight = 480;
    CGfxRecordingDevice device(pp);  // no depth surface of its own: the preview brings one
    CModelPreview preview(0.5f);
    EXPECT_EQ(preview.Render(nullptr, 0, nullptr, CModelPreview::kNoEffects), 0);
    EXPECT_EQ(preview.CreateTarget(nullptr, 128, 128), 0);
    EXPECT_EQ(report.GetCode(), ERR_DEVICE_CALL);

    ASSERT_EQ(preview.CreateTarget(&device, 128, 128), 1) << report.Text();
    const CRenderTargetTexture* target = preview.Target();
    ASSERT_TRUE(preview.HasTarget());
    ASSERT_NE(target->DepthSurface(), nullptr);
    EXPECT_EQ(preview.Camera().aspect, 1.0f);
    device.ClearLog();
    EXPECT_EQ(preview.Render(nullptr, 0, nullptr, CModelPreview::kNoEffects), 1);
    EXPECT_EQ(device.Count("Clear 3 " + std::to_string(CModelPreview::kClearColor)), 1u);
    EXPECT_EQ(device.Count("RenderTarget"), 2u);

    preview.ReleaseTarget();
    EXPECT_FALSE(preview.HasTarget());
    EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);
    EXPECT_EQ(preview.Render(nullptr, 0, nullptr, CModelPreview::kNoEffects), 0);
    ASSERT_EQ(preview.CreateTarget(&device, 256, 128), 1);
    EXPECT_EQ(preview.Target(), target);
    EXPECT_EQ(preview.Camera().aspect, 2.0f);
}

}  // namespace
