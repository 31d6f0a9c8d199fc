// The minimap's conversions and the clipping of the camera frame.
#include "screens/game/MiniMap.h"

#include <gtest/gtest.h>

namespace {

CZEMMap::MinimapRect Rect() {
    CZEMMap::MinimapRect r;
    r.left = 10, r.top = 20, r.width = 100, r.height = 80;
    r.scaleX = 0.5f, r.scaleZ = 0.25f;
    return r;
}

TEST(MiniMapTest, ScreenToMapOnTheRectangleOnly) {
    const CZEMMap::MinimapRect r = Rect();
    float x = -1, z = -1;
    ASSERT_EQ(CMiniMap(r).ScreenToMap(10, 20 + 80 - 1, &x, &z), 1);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(z, 1.0f / 0.25f);
    x = z = -1;
    EXPECT_EQ(CMiniMap(r).ScreenToMap(10, 20 + 80, &x, &z), 0);
    EXPECT_EQ(CMiniMap(r).ScreenToMap(9, 50, &x, &z), 0);
    EXPECT_EQ(CMiniMap(r).ScreenToMap(110, 50, &x, &z), 0);
    EXPECT_FLOAT_EQ(x, -1.0f);  // untouched outside
    CZEMMap::MinimapRect flat = r;
    flat.scaleX = 0;
    EXPECT_EQ(CMiniMap(flat).ScreenToMap(50, 50, &x, &z), 0);
}

TEST(MiniMapTest, MapToScreenWritesEvenOutside) {
    const CZEMMap::MinimapRect r = Rect();
    int32_t sx = 0, sy = 0;
    EXPECT_EQ(CMiniMap(r).MapToScreen(40, 100, &sx, &sy), 1);
    EXPECT_EQ(sx, 10 + 20);
    EXPECT_EQ(sy, 20 - 25 + 80);
    EXPECT_EQ(CMiniMap(r).MapToScreen(-30, 100, &sx, &sy), 0);
    EXPECT_EQ(sx, 10 - 15);
    EXPECT_EQ(CMiniMap(r).MapToScreen(1e30f, -1e30f, &sx, &sy), 0);  // no overflow far off the map
    CZEMMap::MinimapRect flat = r;
    flat.scaleZ = 0;
    EXPECT_EQ(CMiniMap(flat).MapToScreen(40, 100, &sx, &sy), 0);
}

TEST(MiniMapTest, TheCameraFrameIsClippedTwoPixelsInside) {
    // Static at (10, 20), 100 x 80: right edge 110, bottom 100.
    const struct {
        int32_t cx, cy, w, h;
        MinimapFrame expected;
    } cases[] = {
        {60, 60, 20, 10, {50, 53, 70, 63}},    // inside: 0.7 above, 0.3 below
        {12, 22, 20, 10, {12, 22, 22, 25}},    // crossing left and top: 2 inside
        {105, 98, 20, 20, {95, 84, 108, 98}},  // crossing right and bottom
        {20, 27, 20, 10, {10, 20, 30, 30}},    // edges exactly on the border stay
    };
    for (const auto& c : cases) {
        const MinimapFrame f = CameraFrame(c.cx, c.cy, c.w, c.h, 10, 20, 100, 80);
        EXPECT_EQ(f.left, c.expected.left) << c.cx;
        EXPECT_EQ(f.top, c.expected.top) << c.cx;
        EXPECT_EQ(f.right, c.expected.right) << c.cx;
        EXPECT_EQ(f.bottom, c.expected.bottom) << c.cx;
    }
}

}  // namespace
