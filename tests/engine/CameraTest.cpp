#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/render/CameraRegistry.h"
#include "platform/GfxRecordingDevice.h"

using namespace platform;

namespace {

constexpr float kPi = 3.14159265f;

void ExpectVec(const Vec3& v, float x, float y, float z, float tol = 1e-4f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

// A camera 10 units behind the origin looking along +z, 800 x 600, 45 degrees.
struct CameraFixture : ::testing::Test {
    void SetUp() override {
        camera.SetLookAt(Vec3(0, 0, -10), Vec3(0, 0, 0), kPi / 4);
        camera.SetProjection(800, 600);
        camera.view = MatrixLookAtLH(camera.eye, camera.target, Vec3(0, 1, 0));
    }
    CCamera camera;
};

}  // namespace

TEST_F(CameraFixture, LookAtGivesAxesAndDistance) {
    ExpectVec(camera.viewDir, 0, 0, 1);
    ExpectVec(camera.side, 1, 0, 0);
    ExpectVec(camera.up, 0, 1, 0);
    EXPECT_FLOAT_EQ(camera.distance, 10.0f);
    camera.SetEyePoint(Vec3(0, 10, -10));
    EXPECT_NEAR(camera.distance, std::sqrt(200.0f), 1e-4f);
    ExpectVec(camera.viewDir, 0, -std::sqrt(0.5f), std::sqrt(0.5f));
}

TEST_F(CameraFixture, ProjectionMatchesThePerspectiveFormula) {
    float yScale = 1.0f / std::tan(kPi / 8);
    EXPECT_FLOAT_EQ(camera.aspect, 800.0f / 600.0f);
    EXPECT_NEAR(camera.projection(1, 1), yScale, 1e-4f);
    EXPECT_NEAR(camera.projection(0, 0), yScale * 0.75f, 1e-4f);
    EXPECT_NEAR(camera.projection(2, 2), 5000.0f / 4999.0f, 1e-5f);
    EXPECT_NEAR(camera.projection(3, 2), -5000.0f / 4999.0f, 1e-5f);
    EXPECT_FLOAT_EQ(camera.projection(2, 3), 1.0f);
}

TEST_F(CameraFixture, ZeroSizeKeepsEverythingFinite) {
    camera.SetProjection(0, 0);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_TRUE(std::isfinite(camera.projection(r, c)));
    camera.MakePickRay(0, 0, camera.projection, camera.view);
    EXPECT_TRUE(std::isfinite(camera.rayDirection.x) && std::isfinite(camera.rayDirection.y));
}

TEST_F(CameraFixture, PickRaysThroughKnownPixels) {
    float x = 1.0f / camera.projection(0, 0), y = 1.0f / camera.projection(1, 1);
    struct Case {
        float px, py;
        Vec3 expected;
    } cases[] = {
        {400, 300, Vec3(0, 0, 1)},
        {800, 300, Vec3Normalize(Vec3(x, 0, 1))},
        {400, 0, Vec3Normalize(Vec3(0, y, 1))},
        {0, 600, Vec3Normalize(Vec3(-x, -y, 1))},
    };
    for (const Case& c : cases) {
        camera.MakePickRay(c.px, c.py, camera.projection, camera.view);
        ExpectVec(camera.rayOrigin, 0, 0, -10);
        ExpectVec(camera.rayDirection, c.expected.x, c.expected.y, c.expected.z);
    }
}

TEST_F(CameraFixture, FrustumPlanesPointInwards) {
    Plane planes[6];
    CCamera::ExtractFrustumPlanes(camera.view, camera.projection, planes, true);
    // w + z of the clip space: the near plane lies q n / (1 + q) in front of
    // the eye (q = f / (f - n)), half way to the projection's near distance.
    float q = 5000.0f / 4999.0f;
    EXPECT_NEAR(planes[0].c, 1.0f, 1e-4f);
    EXPECT_NEAR(planes[0].d, 10.0f - q / (1 + q), 1e-4f);
    EXPECT_NEAR(planes[1].c, -1.0f, 1e-4f);
    EXPECT_NEAR(planes[1].d, 4990.0f, 0.5f);
    struct Case {
        Vec3 point;
        int outsidePlane;  // -1: inside all
    } cases[] = {
        {Vec3(0, 0, 0), -1},  {Vec3(0, 0, -9.7f), 0}, {Vec3(0, 0, 5000), 1}, {Vec3(-100, 0, 0), 2},
        {Vec3(100, 0, 0), 3}, {Vec3(0, 100, 0), 4},   {Vec3(0, -100, 0), 5},
    };
    for (const Case& c : cases)
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(PlaneDotCoord(planes[i], c.point) < 0, i == c.outsidePlane)
                << "point " << c.point.x << "," << c.point.y << "," << c.point.z << " plane " << i;
}

TEST_F(CameraFixture, RotateWithZeroYawTurnsOnlyAboutSide) {
    camera.Rotate(0, kPi / 2);
    ExpectVec(camera.side, 1, 0, 0);
    ExpectVec(camera.viewDir, 0, -1, 0);
    ExpectVec(camera.eye, 0, 10, 0);
}

TEST(PlayCameraTest, PitchOnlyInsideTheLimits) {
    struct Case {
        float viewY;
        bool pitches;
    } cases[] = {{-0.5f, true}, {-0.97f, false}, {-0.02f, false}, {0.3f, false}};
    for (const Case& c : cases) {
        CPlayCamera camera;
        float flat = std::sqrt(1 - c.viewY * c.viewY);
        camera.SetLookAt(Vec3(0, -c.viewY * 10, -flat * 10), Vec3(0, 0, 0), 1.0f);
        Vec3 before = camera.viewDir;
        camera.Rotate(0, 0.1f);
        EXPECT_EQ(std::fabs(camera.viewDir.y - before.y) > 1e-4f, c.pitches) << c.viewY;
        EXPECT_NEAR(Vec3Length(camera.eye - camera.target), 10.0f, 1e-3f);
    }
}

TEST(PlayCameraTest, GlideSnapsWhenTheStepReachesTheDestination) {
    CPlayCamera camera;
    camera.SetLookAt(Vec3(0, 5, -10), Vec3(0, 5, 0), 1.0f);
    camera.distance = 10;
    camera.SetTarget(Vec3(39, 0, 0), 0);  // keeps the target's height
    ExpectVec(camera.moveDestination, 39, 5, 0);
    camera.UpdateMove(0.25f);  // step 19.5
    EXPECT_EQ(camera.moving, 1u);
    ExpectVec(camera.target, 19.5f, 5, 0);
    camera.UpdateMove(0.25f);  // exactly the remaining distance
    EXPECT_EQ(camera.moving, 0u);
    ExpectVec(camera.target, 39, 5, 0);
    ExpectVec(camera.eye, 39, 5, -10);
}

TEST_F(CameraFixture, BillboardMatrixIsCachedUntilItsBitClears) {
    Matrix first = camera.GetBillboardMatrix(BILLBOARD_FULL);
    camera.view = MatrixLookAtLH(Vec3(10, 0, 0), Vec3(0, 0, 0), Vec3(0, 1, 0));
    EXPECT_EQ(camera.GetBillboardMatrix(BILLBOARD_FULL)(0, 0), first(0, 0));
    camera.billboardMask = 0;
    const Matrix& fresh = camera.GetBillboardMatrix(BILLBOARD_FULL);
    // The inverse view rotation turns the billboard's +z toward the camera's view direction.
    ExpectVec(Vec3TransformNormal(Vec3(0, 0, 1), fresh), -1, 0, 0);
    EXPECT_EQ(fresh(3, 0), 0.0f);
    EXPECT_EQ(&camera.GetBillboardMatrix(99), &camera.view);
}

TEST(CameraTravelTest, OneWayAndThereAndBack) {
    CCamera camera;
    camera.SetLookAt(Vec3(0, 10, -10), Vec3(0, 0, 0), 1.0f);
    camera.travelB = Vec3(0, 0, 0);
    camera.travelA = Vec3(10, 0, 0);
    camera.travelDone = 0;
    camera.UpdateScriptedMove(1.0f);  // step 5
    EXPECT_EQ(camera.travelDone, 0u);
    camera.UpdateScriptedMove(1.0f);
    EXPECT_EQ(camera.travelDone, 1u);
    ExpectVec(camera.target, 10, 0, 0);

    camera.SetTarget(Vec3(0, 0, 0), 1);
    camera.travelStage = 1;
    camera.travelDone = 0;
    camera.holdTime = 1.5f;
    for (int i = 0; i < 2; ++i) camera.UpdateScriptedMove(1.0f);
    ExpectVec(camera.target, 10, 0, 0);
    camera.UpdateScriptedMove(1.0f);  // holding
    EXPECT_EQ(camera.returning, 0u);
    camera.UpdateScriptedMove(1.0f);  // hold over
    EXPECT_EQ(camera.returning, 1u);
    camera.UpdateScriptedMove(1.0f);
    camera.UpdateScriptedMove(1.0f);
    EXPECT_EQ(camera.travelDone, 1u);
    ExpectVec(camera.target, 0, 0, 0);
}

TEST(CameraRegistryTest, NumbersCamerasAndSetsTheLastProjection) {
    CGfxRecordingDevice device;
    {
        CCameraRegistry registry(&device);
        EXPECT_EQ(g_pCameraRegistry, &registry);
        auto* play = new CPlayCamera;
        play->fov = 1.0f;
        auto* other = new CCamera;
        other->fov = 0.5f;
        registry.Register(play);
        registry.Register(other);
        EXPECT_EQ(play->index, 0);
        EXPECT_EQ(other->index, 1);
        registry.UpdateProjections(1024, 768);
        EXPECT_EQ(play->viewportWidth, 1024u);
        Matrix set;
        device.GetTransform(TS_PROJECTION, &set);
        EXPECT_EQ(set(1, 1), other->projection(1, 1));
        EXPECT_NE(set(1, 1), play->projection(1, 1));
    }
    EXPECT_EQ(g_pCameraRegistry, nullptr);
}
