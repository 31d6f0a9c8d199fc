#include "engine/render/SceneObject.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

void ExpectVec(const Vec3& v, float x, float y, float z, const char* what) {
    EXPECT_NEAR(v.x, x, 1e-5) << what;
    EXPECT_NEAR(v.y, y, 1e-5) << what;
    EXPECT_NEAR(v.z, z, 1e-5) << what;
}

// An object at (10, 0, 20) with a 2 x 4 x 6 box resting on the ground.
void MakeBoxed(CSceneObject& o) {
    o.Place({10, 0, 20}, 0, 1);
    o.bounds.SetBox({-1, 0, -3}, {1, 4, 3}, o.position, 0, 1, 1);
    o.Update(0);
}

}  // namespace

TEST(SceneObject, NewObjectDefaults) {
    CSceneObject o;
    EXPECT_EQ(o.flags, 0u);
    EXPECT_EQ(o.refCount, 0u);
    EXPECT_EQ(o.bounds.useBoxTest, 1u);
    ExpectVec(o.facing, 0, 0, 1, "facing");
    ExpectVec(o.upAxis, 0, 1, 0, "up");
    ExpectVec(o.tintTarget, 0.7f, 0.7f, 0.7f, "tint");
    EXPECT_EQ(o.colorScale.x, 1.0f);
    EXPECT_EQ(o.material.Get().ambient.a, 1.0f);
    EXPECT_EQ(o.world(3, 3), 1.0f);
    EXPECT_EQ(o.GetModel(), nullptr);
    EXPECT_FALSE(o.IsVisible());  // until bit 1 is set
    o.flags |= SO_VISIBLE;
    EXPECT_TRUE(o.IsVisible());
}

TEST(SceneObject, VisibilityTable) {
    struct Case {
        uint32_t flags, parentFlags;
        bool hasParent;
        float alpha;
        bool visible;
    } cases[] = {
        {SO_VISIBLE, 0, false, 1.0f, true},  {SO_VISIBLE | SO_HIDDEN, 0, false, 1.0f, false},
        {SO_VISIBLE, 0, false, 0.0f, false}, {SO_VISIBLE, 0, true, 1.0f, false},  // a child follows its parent's bit
        {0, SO_VISIBLE, true, 1.0f, true},
    };
    for (const Case& c : cases) {
        CSceneObject parent, o;
        parent.flags = c.parentFlags;
        o.flags = c.flags;
        if (c.hasParent) o.parent = &parent;
        o.SetAlpha(c.alpha);
        EXPECT_EQ(o.IsVisible(), c.visible) << c.flags << " " << c.parentFlags;
    }
}

TEST(SceneObject, PlaceAndUpdateRebuildTheWorldMatrix) {
    CSceneObject o;
    uint32_t dirtyA = 0, dirtyB = 0;
    o.SetAttached(0, &dirtyA);
    o.SetAttached(1, &dirtyB);
    o.SetFacing({1, 0, 0});
    o.Place({1, 2, 3}, 0, 2);  // yaw 0 keeps the facing
    EXPECT_EQ(o.flags & 0xF000u, 0xF000u);
    ExpectVec(o.facing, 1, 0, 0, "facing kept");
    EXPECT_EQ(o.Update(0.1f), 1);
    EXPECT_EQ(o.flags, static_cast<uint32_t>(SO_PLACE_MARK));  // bits 12-14 cleared, 15 kept
    EXPECT_EQ(dirtyA, 1u);
    EXPECT_EQ(dirtyB, 1u);
    // Rows: side (up x facing), up, facing, each times the scale; then the position.
    ExpectVec({o.world(0, 0), o.world(0, 1), o.world(0, 2)}, 0, 0, -2, "side row");
    ExpectVec({o.world(1, 0), o.world(1, 1), o.world(1, 2)}, 0, 2, 0, "up row");
    ExpectVec({o.world(2, 0), o.world(2, 1), o.world(2, 2)}, 2, 0, 0, "facing row");
    ExpectVec({o.world(3, 0), o.world(3, 1), o.world(3, 2)}, 1, 2, 3, "position row");
    ExpectVec(o.sideAxis, 0, 0, -2, "side kept scaled");

    // A move alone changes the translation and the bounds, not the rotation.
    Matrix before = o.world;
    dirtyA = 0;
    o.position = {5, 6, 7};
    o.flags |= SO_POSITION_CHANGED;
    o.Update(0);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(o.world(r, c), before(r, c));
    ExpectVec({o.world(3, 0), o.world(3, 1), o.world(3, 2)}, 5, 6, 7, "moved");
    ExpectVec(o.bounds.center, 5, 6, 7, "bounds moved");
    EXPECT_EQ(dirtyA, 1u);

    // Nothing changed: nothing rebuilt.
    dirtyA = 0;
    o.Update(0);
    EXPECT_EQ(dirtyA, 0u);

    // Place with a yaw turns the facing.
    o.Place({0, 0, 0}, 3.14159265f / 2, 1);
    ExpectVec(o.facing, 1, 0, 0, "yaw quarter turn");
}

TEST(SceneObject, FrozenObjectsStayOnlyWhileHeld) {
    CSceneObject o;
    o.flags = SO_FROZEN | SO_POSITION_CHANGED;
    o.position = {1, 1, 1};
    o.refCount = 1;
    EXPECT_EQ(o.Update(0), 0);
    o.refCount = 2;
    EXPECT_EQ(o.Update(0), 1);
    EXPECT_EQ(o.world(3, 0), 0.0f);  // no rebuild while frozen
}

TEST(SceneObject, TurnByAndFacingAngles) {
    CSceneObject o;
    o.TurnBy(3.14159265f / 2);
    EXPECT_EQ(o.facing.y, 0.0f);
    EXPECT_EQ(o.facing.z, 0.0f);  // tiny remainders become exact zeros
    EXPECT_NEAR(o.facing.x, 1, 1e-6);
    EXPECT_TRUE(o.flags & SO_ROTATION_CHANGED);

    const float pi = 3.14159265f;
    struct Case {
        Vec3 facing;
        float angle;
    } cases[] = {
        {{0, 0, 1}, 0},
        {{1, 0, 0}, pi / 2 + 0.0001f},
        {{-1, 0, 0}, 3 * pi / 2 + 0.0001f},
        {{0, 0, -1}, pi + 0.0001f},
    };
    for (const Case& c : cases) {
        o.facing = c.facing;
        EXPECT_NEAR(o.GetFacingAngle(), c.angle, 1e-5) << c.facing.x << " " << c.facing.z;
    }
}

TEST(ObjectBounds, SetBoxRadiiAndCornerTable) {
    CObjectBounds b;
    b.SetBox({-1, 1, -3}, {1, 5, 3}, {10, 0, 20}, 0, 2, 0);
    EXPECT_NEAR(b.radius, std::sqrt(56.0f) / 2, 1e-5);
    EXPECT_EQ(b.horizontalRadius, 3.0f);  // the z extent is the larger
    EXPECT_EQ(b.halfDepth, 3.0f);
    EXPECT_EQ(b.centerHeight, 3.0f);
    EXPECT_EQ(b.halfHeight, 2.0f);
    EXPECT_EQ(b.useBoxTest, 0u);
    ExpectVec(b.center, 10, 3, 20, "center");
    // Inner half size: halfDepth x scale x 0.8 = 4.8; outer: horizontalRadius x scale = 6;
    // half height unscaled.
    const float in = 4.8f, out = 6.0f;
    const float sx[4] = {-1, 1, 1, -1}, sz[4] = {1, 1, -1, -1};
    for (int i = 0; i < 8; ++i) {
        float y = i < 4 ? 1.0f : 5.0f;
        ExpectVec(b.innerBox[i], 10 + sx[i % 4] * in, y, 20 + sz[i % 4] * in, "inner");
        ExpectVec(b.outerBox[i], 10 + sx[i % 4] * out, y, 20 + sz[i % 4] * out, "outer");
    }
    b.SetBox({-1, 1, -3}, {1, 5, 3}, {0, 0, 0}, 0.5f, 1, 1);
    EXPECT_EQ(b.halfDepth, 0.5f);  // the override wins
}

TEST(SceneObject, RectRangeRayAndFrustumTests) {
    CSceneObject o;
    MakeBoxed(o);
    // Footprint: x 10 +- 2.4, z 20 +- 2.4.
    Vec3 touchMin{12.4f, 0, 0}, touchMax{30, 0, 40};
    EXPECT_FALSE(o.OverlapsRect(&touchMin, &touchMax));  // touching an edge is no overlap
    Vec3 overMin{12.3f, 0, 0};
    EXPECT_TRUE(o.OverlapsRect(&overMin, &touchMax));

    Vec3 highNear{12.9f, 500, 20};  // height does not count
    EXPECT_TRUE(o.IsWithinDistance(&highNear, 0));
    Vec3 farOff{13.1f, 0, 20};
    EXPECT_FALSE(o.IsWithinDistance(&farOff, 0));
    EXPECT_TRUE(o.IsWithinDistance(&farOff, 0.2f));

    float dist = 1;  // an out value: what it held before does not limit the search
    EXPECT_TRUE(o.IntersectRay({10, 2, 0}, {0, 0, 1}, &dist, nullptr, 0));
    EXPECT_NEAR(dist, 17.0f, 1e-4);  // the outer box's near face at z = 17
    dist = 1000;
    EXPECT_TRUE(o.IntersectRay({10, 2, 0}, {0, 0, 1}, &dist, nullptr, 1));
    EXPECT_NEAR(dist, 17.6f, 1e-4);
    dist = 1000;
    EXPECT_FALSE(o.IntersectRay({10, 2, 0}, {0, 0, -1}, &dist, nullptr, 0));

    // Frustum: the half space x > 0 on every side plane; near and far as given.
    Plane planes[6];
    for (Plane& p : planes) p = Plane(1, 0, 0, 0);
    EXPECT_TRUE(o.IsInFrustum(planes, 1));
    planes[3] = Plane(-1, 0, 0, 5);  // x < 5: the box (x 7..13) is outside
    EXPECT_FALSE(o.IsInFrustum(planes, 1));
    o.bounds.useBoxTest = 0;  // sphere of radius sqrt(56)/2 around (10, 2, 20): still outside
    EXPECT_FALSE(o.IsInFrustum(planes, 0));
    planes[3] = Plane(1, 0, 0, 0);
    planes[0] = Plane(-1, 0, 0, 0);  // a near plane it fails, tested only with near and far
    EXPECT_FALSE(o.IsInFrustum(planes, 1));
    EXPECT_TRUE(o.IsInFrustum(planes, 0));
}

TEST(SceneObject, ColourSetters) {
    CSceneObject o;
    o.SetColor(0.1f, 0.2f, 0.3f, 0.4f);
    float rgba[4];
    o.GetColor(rgba);
    EXPECT_EQ(rgba[2], 0.3f);
    EXPECT_EQ(rgba[3], 0.4f);
    o.SetAlpha(0.5f);
    EXPECT_EQ(o.material.Get().diffuse.a, 0.5f);
    EXPECT_EQ(o.material.Get().ambient.a, 0.5f);
    o.SetColorScale(2, 3, 4);
    EXPECT_EQ(o.colorScale.z, 4.0f);
    EXPECT_EQ(o.colorScale.w, 1.0f);
    o.SetColorScale2(0.1f, 0.2f, 0.3f);
    EXPECT_EQ(o.tintTarget.y, 0.2f);
    o.SetHeight(9);
    EXPECT_EQ(o.position.y, 9.0f);
}
