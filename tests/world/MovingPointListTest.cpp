#include "world/MovingPointList.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/Camera.h"

using platform::Vec3;

namespace {

struct ShakeFixture : ::testing::Test {
    void SetUp() override {
        camera.eye = {100, 200, 50};
        camera.target = {100, 0, 150};
    }
    void ExpectCameraShift(float offset) {
        EXPECT_FLOAT_EQ(camera.eye.x, 100 + offset);
        EXPECT_FLOAT_EQ(camera.eye.y, 200 + offset);
        EXPECT_FLOAT_EQ(camera.eye.z, 50 + offset);
        EXPECT_FLOAT_EQ(camera.target.x, 100 + offset);
        EXPECT_FLOAT_EQ(camera.target.y, 0 + offset);
        EXPECT_FLOAT_EQ(camera.target.z, 150 + offset);
    }
    CCamera camera;
    CMovingPointList list;
};

TEST_F(ShakeFixture, AddNeedsTimeRangeAndStrength) {
    list.Add({0, 0, 0}, 0, 10, 1);
    list.Add({0, 0, 0}, 1, -10, 1);
    list.Add({0, 0, 0}, 1, 10, 0);
    EXPECT_EQ(list.Count(), 0u);
    list.Add({0, 0, 0}, 1, 10, 1);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_FLOAT_EQ(list.Sources().front()->appliedOffset, 1);
    EXPECT_EQ(list.Sources().front()->applyNext, 1u);
}

TEST_F(ShakeFixture, JumpShrinksWithDistanceAndComesBackExactly) {
    list.Add({100, 0, 170}, 1.0f, 80, 8);  // 20 from the look-at point: offset 6
    list.Update(camera, 0.1f);
    ExpectCameraShift(6);
    list.Update(camera, 0.1f);
    ExpectCameraShift(0);
    // The second source measures from the look-at point the first has just moved.
    list.Add({100, 0, 150}, 1.0f, 40, 2);
    list.Update(camera, 0.1f);
    float second = (40 - std::sqrt(3 * 36.0f)) / 40 * 2;
    ExpectCameraShift(6 + second);  // two sources add
    list.Update(camera, 0.1f);
    ExpectCameraShift(0);
}

TEST_F(ShakeFixture, OutOfRangeOnlyTheTimeRunsDown) {
    list.Add({1000, 0, 1000}, 0.25f, 50, 5);
    list.Update(camera, 0.1f);
    ExpectCameraShift(0);
    EXPECT_FLOAT_EQ(list.Sources().front()->timeLeft, 0.15f);
    list.Update(camera, 0.1f);
    list.Update(camera, 0.1f);
    EXPECT_EQ(list.Count(), 1u) << "goes on the update after its time is out";
    list.Update(camera, 0.1f);
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(ShakeFixture, ExpiryOrClearRightAfterAJumpTakesItBack) {
    list.Add({100, 0, 150}, 0.1f, 40, 3);
    list.Update(camera, 0.1f);
    ExpectCameraShift(3);
    list.Update(camera, 0.1f);
    EXPECT_EQ(list.Count(), 0u);
    ExpectCameraShift(0);

    list.Add({100, 0, 150}, 5.0f, 40, 3);
    list.Update(camera, 0.1f);
    ExpectCameraShift(3);
    list.Clear(&camera);
    EXPECT_EQ(list.Count(), 0u);
    ExpectCameraShift(0);
    // The pool's storage serves the next sources.
    for (int i = 0; i < 12; ++i) list.Add({0, 0, 0}, 1, 1, 1);
    EXPECT_EQ(list.Count(), 12u);
}

}  // namespace
