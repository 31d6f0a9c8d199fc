#include "engine/render/Draw2D.h"

#include <gtest/gtest.h>

#include "platform/GfxRecordingDevice.h"

using platform::Vec3;

namespace {

// Reads back the quad buffer's vertices at each draw.
class VertexDevice : public platform::CGfxRecordingDevice {
public:
    std::vector<std::vector<float>> draws;  // x, y per vertex
    std::vector<uint32_t> types;

protected:
    platform::GfxResult DoDraw(const platform::GfxDrawCall& call) override {
        types.push_back(call.type);
        std::vector<float> xy;
        if (platform::CGfxVertexBuffer* vb = Stream()) {
            void* data = nullptr;
            vb->Lock(0, 0, &data, platform::LOCK_READONLY);
            const float* f = static_cast<const float*>(data);
            for (uint32_t i = 0; i < call.vertexCount; ++i) {
                xy.push_back(f[i * 7]);
                xy.push_back(f[i * 7 + 1]);
            }
            vb->Unlock();
        }
        draws.push_back(xy);
        return CGfxRecordingDevice::DoDraw(call);
    }
};

// The unit box in the scene objects' corner order: 0-3 on the bottom (y 0)
// going (-x +z), (+x +z), (+x -z), (-x -z); 4-7 the same on the top (y 1).
void UnitBox(Vec3 box[8]) {
    const float c[8][3] = {{0, 0, 1}, {1, 0, 1}, {1, 0, 0}, {0, 0, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 0}};
    for (int i = 0; i < 8; ++i) box[i] = Vec3(c[i][0], c[i][1], c[i][2]);
}

}  // namespace

TEST(Draw2D, ScreenQuadAndOutlineCorners) {
    VertexDevice device;
    ASSERT_TRUE(CreateDraw2DBuffers(&device));
    // x, y, width, height (10, 20, 30, 40) passed as left, top, right, bottom.
    DrawScreenQuad({10, 20, 40, 60}, 0xFF00FF00u, true);
    DrawScreenRectOutline({10, 20, 40, 60}, 0xFF00FF00u, false);
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.types, (std::vector<uint32_t>{platform::PT_TRIANGLESTRIP, platform::PT_LINESTRIP}));
    EXPECT_EQ(device.draws[0], (std::vector<float>{9.5f, 19.5f, 39.5f, 19.5f, 9.5f, 59.5f, 39.5f, 59.5f}));
    EXPECT_EQ(device.draws[1], (std::vector<float>{9.5f, 19.5f, 39.5f, 19.5f, 39.5f, 59.5f, 9.5f, 59.5f, 9.5f, 19.5f}));
    uint32_t z = 0, lighting = 0;
    device.GetRenderState(platform::RS_ZENABLE, &z);
    device.GetRenderState(platform::RS_LIGHTING, &lighting);
    EXPECT_EQ(z, 1u);  // switched on again after the draw
    EXPECT_EQ(lighting, 1u);
    ReleaseDraw2DBuffers();
    DrawScreenQuad({0, 0, 1, 1}, 0, true);  // without buffers nothing is drawn
    EXPECT_EQ(device.draws.size(), 2u);
}

TEST(Draw2D, RaysAgainstBoxesAndTriangles) {
    Vec3 box[8];
    UnitBox(box);
    float nearest = 1000.0f;
    EXPECT_TRUE(RayHitBox(box, Vec3(0.5f, 0.5f, -5), Vec3(0, 0, 1), &nearest));
    EXPECT_NEAR(nearest, 5.0f, 1e-4);
    // Along the plane of the z = 0 face: that face does not face the ray, so
    // the ray from the side meets the x = 0 face instead.
    nearest = 1000.0f;
    EXPECT_TRUE(RayHitBox(box, Vec3(-3, 0.5f, 0), Vec3(1, 0, 0), &nearest));
    EXPECT_NEAR(nearest, 3.0f, 1e-4);
    nearest = 1000.0f;
    EXPECT_FALSE(RayHitBox(box, Vec3(5, 5, -5), Vec3(0, 0, 1), &nearest));

    // A triangle facing away is not hit; a farther hit keeps the nearer distance.
    Vec3 a(0, 0, 0), b(0, 1, 0), c(1, 0, 0);
    nearest = 1000.0f;
    Vec3 hit;
    platform::Vec2 bary;
    EXPECT_TRUE(RayHitTriangle(a, b, c, Vec3(0.25f, 0.25f, -2), Vec3(0, 0, 1), &nearest, &hit, &bary));
    EXPECT_NEAR(hit.z, 0.0f, 1e-5);
    EXPECT_FALSE(RayHitTriangle(a, b, c, Vec3(0.25f, 0.25f, 2), Vec3(0, 0, -1), &nearest, nullptr, nullptr));
    EXPECT_FALSE(RayHitTriangle(a, b, c, Vec3(0.25f, 0.25f, -5), Vec3(0, 0, 1), &nearest, nullptr, nullptr));
}

TEST(Draw2D, FrustumTests) {
    // Only the side planes matter here: x >= 0 and four planes far away.
    platform::Plane planes[6] = {{0, 0, 1, 100},  {0, 0, -1, 100}, {1, 0, 0, 0},
                                 {-1, 0, 0, 100}, {0, 1, 0, 100},  {0, -1, 0, 100}};
    Vec3 box[8];
    UnitBox(box);
    for (Vec3& p : box) p.x -= 0.5f;  // straddles x = 0
    EXPECT_TRUE(IsBoxInFrustum(planes, box, true));
    for (Vec3& p : box) p.x -= 1.0f;  // wholly behind it
    EXPECT_FALSE(IsBoxInFrustum(planes, box, true));
    EXPECT_TRUE(SphereInFrustum(planes, Vec3(-0.5f, 0, 0), 1.0f, true));
    EXPECT_FALSE(SphereInFrustum(planes, Vec3(-1.0f, 0, 0), 1.0f, true));
    platform::Plane nearOnly[6] = {{0, 0, 1, -50}, planes[1], planes[2], planes[3], planes[4], planes[5]};
    EXPECT_FALSE(SphereInFrustum(nearOnly, Vec3(1, 0, 0), 1.0f, true));
    EXPECT_TRUE(SphereInFrustum(nearOnly, Vec3(1, 0, 0), 1.0f, false));
}

TEST(Draw2D, SegmentsColoursAndRotation) {
    EXPECT_TRUE(PointNearSegment(Vec3(0, 0, 0), Vec3(10, 0, 0), Vec3(5, 1, 0), 1.0f));
    EXPECT_FALSE(PointNearSegment(Vec3(0, 0, 0), Vec3(10, 0, 0), Vec3(5, 1.5f, 0), 1.0f));
    EXPECT_FALSE(PointNearSegment(Vec3(0, 0, 0), Vec3(10, 0, 0), Vec3(12, 0, 0), 1.0f));
    platform::ColorValue c = ArgbToColorValue(0x80FF0000u);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 0.0f);
    EXPECT_NEAR(c.a, 0.50196f, 1e-5);

    platform::Matrix m = platform::MatrixMultiply(platform::MatrixScaling(3, 3, 3), platform::MatrixRotationY(0.5f));
    m(3, 0) = 7;
    platform::Matrix r = ExtractRotationMatrix(m, 0);
    platform::Matrix expected = platform::MatrixRotationY(0.5f);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(r(i, j), expected(i, j), 1e-5) << i << j;
}

TEST(Draw2D, ProjectionsToTheScreen) {
    platform::Viewport vp;
    vp.width = 800;
    vp.height = 600;
    platform::Matrix view = platform::MatrixLookAtLH(Vec3(0, 0, -10), Vec3(0, 0, 0), Vec3(0, 1, 0));
    platform::Matrix proj = platform::MatrixPerspectiveFovLH(1.0f, 800.0f / 600.0f, 1.0f, 100.0f);
    Vec3 box[8];
    UnitBox(box);
    for (Vec3& p : box) p = Vec3(p.x - 0.5f, p.y - 0.5f, p.z - 0.5f);
    int32_t mn[2], mx[2];
    ProjectBoxToScreenRect(vp, view, proj, Vec3(0, 0, 0), box, mn, mx);
    EXPECT_EQ(mn[0] + mx[0], 800);  // centred on the screen's middle
    EXPECT_EQ(mn[1] + mx[1], 600);
    EXPECT_LT(mn[0], 400);
    EXPECT_GT(mx[0] - mn[0], 20);
    int32_t points[4];
    ProjectBoundsToScreen(vp, view, proj, Vec3(-0.5f, -0.5f, 0), Vec3(0.5f, 0.5f, 0), points);
    EXPECT_LT(points[0], 400);
    EXPECT_GT(points[1], 300);  // screen y grows downwards
    EXPECT_GT(points[2], 400);
}
