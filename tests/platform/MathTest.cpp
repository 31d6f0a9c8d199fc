#include "platform/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace platform;

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const Matrix& a, const Matrix& b, float tol = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a(r, c), b(r, c), tol) << "row " << r << " col " << c;
}
void ExpectNear(const Vec3& a, const Vec3& b, float tol = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}
}  // namespace

TEST(Math, LookAtAndPerspectiveKnownValues) {
    Matrix view = MatrixLookAtLH(Vec3(0, 0, -5), Vec3(0, 0, 0), Vec3(0, 1, 0));
    ExpectNear(view, MatrixTranslation(0, 0, 5));

    // Looking down +x: the view's z axis is world x, its x axis is world -z.
    Matrix side = MatrixLookAtLH(Vec3(0, 0, 0), Vec3(10, 0, 0), Vec3(0, 1, 0));
    ExpectNear(Vec3TransformCoord(Vec3(3, 0, 0), side), Vec3(0, 0, 3));
    ExpectNear(Vec3TransformCoord(Vec3(0, 0, 1), side), Vec3(-1, 0, 0));

    Matrix proj = MatrixPerspectiveFovLH(kPi / 2, 2.0f, 1.0f, 100.0f);
    EXPECT_NEAR(proj(0, 0), 0.5f, 1e-6f);
    EXPECT_NEAR(proj(1, 1), 1.0f, 1e-6f);
    EXPECT_NEAR(proj(2, 2), 100.0f / 99.0f, 1e-6f);
    EXPECT_EQ(proj(2, 3), 1.0f);
    EXPECT_NEAR(proj(3, 2), -100.0f / 99.0f, 1e-6f);
    EXPECT_EQ(proj(3, 3), 0.0f);
    // Depth runs 0 at the near plane to 1 at the far plane.
    EXPECT_NEAR(Vec3TransformCoord(Vec3(0, 0, 1), proj).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Vec3TransformCoord(Vec3(0, 0, 100), proj).z, 1.0f, 1e-6f);

    Matrix ortho = MatrixOrthoOffCenterLH(0, 640, 480, 0, 0, 1);
    ExpectNear(Vec3TransformCoord(Vec3(0, 0, 0), ortho), Vec3(-1, 1, 0));
    ExpectNear(Vec3TransformCoord(Vec3(640, 480, 1), ortho), Vec3(1, -1, 1));
}

TEST(Math, RotationsAgreeWithEachOther) {
    // Left-handed: a quarter turn about y takes +x to -z, about x takes +y to +z, about z takes +x to +y.
    ExpectNear(Vec3TransformCoord(Vec3(1, 0, 0), MatrixRotationY(kPi / 2)), Vec3(0, 0, -1));
    ExpectNear(Vec3TransformCoord(Vec3(0, 1, 0), MatrixRotationX(kPi / 2)), Vec3(0, 0, 1));
    ExpectNear(Vec3TransformCoord(Vec3(1, 0, 0), MatrixRotationZ(kPi / 2)), Vec3(0, 1, 0));

    struct Case {
        Vec3 axis;
        Matrix (*single)(float);
    } cases[] = {{Vec3(1, 0, 0), MatrixRotationX}, {Vec3(0, 2, 0), MatrixRotationY}, {Vec3(0, 0, 3), MatrixRotationZ}};
    for (const auto& c : cases) {
        for (float angle : {0.3f, -1.2f, 2.5f}) {
            ExpectNear(MatrixRotationAxis(c.axis, angle), c.single(angle));
            ExpectNear(MatrixRotationQuaternion(QuaternionRotationAxis(c.axis, angle)), c.single(angle));
        }
    }

    Vec3 axis(1, 2, -0.5f);
    ExpectNear(MatrixRotationQuaternion(QuaternionRotationAxis(axis, 0.7f)), MatrixRotationAxis(axis, 0.7f));

    Matrix ypr = MatrixRotationYawPitchRoll(0.4f, -0.3f, 1.1f);
    ExpectNear(ypr, MatrixRotationZ(1.1f) * MatrixRotationX(-0.3f) * MatrixRotationY(0.4f));
    ExpectNear(MatrixRotationQuaternion(QuaternionRotationYawPitchRoll(0.4f, -0.3f, 1.1f)), ypr);
    // Back from a matrix, for rotations that take each branch of the conversion.
    for (float angle : {0.5f, 3.0f}) {
        for (const auto& c : cases) {
            Matrix m = c.single(angle);
            ExpectNear(MatrixRotationQuaternion(QuaternionRotationMatrix(m)), m);
        }
    }
    // Multiply applies the first quaternion first.
    Quaternion a = QuaternionRotationAxis(Vec3(1, 0, 0), 0.6f), b = QuaternionRotationAxis(Vec3(0, 1, 0), 0.9f);
    ExpectNear(MatrixRotationQuaternion(QuaternionMultiply(a, b)), MatrixRotationX(0.6f) * MatrixRotationY(0.9f));
}

TEST(Math, InverseMultiplyAndDeterminant) {
    Matrix m = MatrixScaling(2, 3, 4) * MatrixRotationAxis(Vec3(1, 1, 0), 0.8f) * MatrixTranslation(5, -6, 7);
    Matrix inv;
    float det = 0;
    ASSERT_TRUE(MatrixInverse(m, &inv, &det));
    EXPECT_NEAR(det, 24.0f, 1e-3f);
    ExpectNear(m * inv, Matrix::Identity());
    ExpectNear(Vec3TransformCoord(Vec3TransformCoord(Vec3(1, 2, 3), m), inv), Vec3(1, 2, 3));

    Matrix singular = MatrixScaling(1, 0, 1);
    Matrix untouched = MatrixTranslation(9, 9, 9);
    EXPECT_FALSE(MatrixInverse(singular, &untouched));
    ExpectNear(untouched, MatrixTranslation(9, 9, 9));

    EXPECT_EQ(MatrixTranspose(MatrixTranslation(1, 2, 3))(2, 3), 3.0f);
    // Translation lives in the fourth row and is applied after the scale.
    ExpectNear(Vec3TransformCoord(Vec3(1, 1, 1), MatrixScaling(2, 2, 2) * MatrixTranslation(1, 0, 0)), Vec3(3, 2, 2));
    ExpectNear(Vec3TransformNormal(Vec3(1, 1, 1), MatrixTranslation(5, 5, 5)), Vec3(1, 1, 1));
}

TEST(Math, SlerpAndAffineTransformation) {
    Quaternion from = QuaternionIdentity(), to = QuaternionRotationAxis(Vec3(0, 1, 0), kPi / 2);
    ExpectNear(MatrixRotationQuaternion(QuaternionSlerp(from, to, 0.5f)), MatrixRotationY(kPi / 4));
    ExpectNear(MatrixRotationQuaternion(QuaternionSlerp(from, to, 0.0f)), Matrix::Identity());
    ExpectNear(MatrixRotationQuaternion(QuaternionSlerp(from, to, 1.0f)), MatrixRotationY(kPi / 2));
    // The negated quaternion is the same rotation; slerp takes the short way to it.
    Quaternion neg(-to.x, -to.y, -to.z, -to.w);
    ExpectNear(MatrixRotationQuaternion(QuaternionSlerp(from, neg, 0.5f)), MatrixRotationY(kPi / 4));
    // Nearly equal rotations do not divide by zero.
    Quaternion close = QuaternionRotationAxis(Vec3(0, 1, 0), 1e-5f);
    Quaternion mid = QuaternionSlerp(from, close, 0.5f);
    EXPECT_TRUE(std::isfinite(mid.w));
    EXPECT_NEAR(mid.w, 1.0f, 1e-5f);

    Vec3 center(1, 0, 0), move(0, 0, 3);
    Quaternion quarterZ = QuaternionRotationAxis(Vec3(0, 0, 1), kPi / 2);
    Matrix affine = MatrixAffineTransformation(2.0f, &center, &quarterZ, &move);
    ExpectNear(Vec3TransformCoord(Vec3(1, 0, 0), affine), Vec3(1, 1, 3));
    ExpectNear(MatrixAffineTransformation(3.0f, nullptr, nullptr, nullptr), MatrixScaling(3, 3, 3));
}

TEST(Math, PlanesProjectionAndIntersection) {
    Plane p = PlaneFromPoints(Vec3(0, 2, 0), Vec3(0, 2, 1), Vec3(1, 2, 0));
    EXPECT_NEAR(p.a, 0.0f, 1e-6f);
    EXPECT_NEAR(p.b, 1.0f, 1e-6f);
    EXPECT_NEAR(p.c, 0.0f, 1e-6f);
    EXPECT_NEAR(p.d, -2.0f, 1e-6f);
    EXPECT_NEAR(PlaneDotCoord(p, Vec3(5, 7, 5)), 5.0f, 1e-6f);
    Plane n = PlaneNormalize(Plane(0, 0, 4, 8));
    EXPECT_NEAR(n.c, 1.0f, 1e-6f);
    EXPECT_NEAR(n.d, 2.0f, 1e-6f);
    Vec3 hit;
    ASSERT_TRUE(PlaneIntersectLine(p, Vec3(1, 0, 1), Vec3(1, 4, 1), &hit));
    ExpectNear(hit, Vec3(1, 2, 1));
    EXPECT_FALSE(PlaneIntersectLine(p, Vec3(0, 0, 0), Vec3(1, 0, 0), &hit));

    Viewport vp{0, 0, 640, 480, 0, 1};
    Matrix id = Matrix::Identity();
    ExpectNear(Vec3Project(Vec3(0, 0, 0.5f), vp, id, id, id), Vec3(320, 240, 0.5f));
    ExpectNear(Vec3Project(Vec3(1, 1, 0), vp, id, id, id), Vec3(640, 0, 0));
    Matrix view = MatrixLookAtLH(Vec3(3, 4, -10), Vec3(0, 0, 0), Vec3(0, 1, 0));
    Matrix proj = MatrixPerspectiveFovLH(kPi / 4, 640.0f / 480.0f, 1.0f, 1000.0f);
    Matrix world = MatrixTranslation(1, 1, 1);
    Vec3 screen = Vec3Project(Vec3(0.5f, -1, 2), vp, proj, view, world);
    ExpectNear(Vec3Unproject(screen, vp, proj, view, world), Vec3(0.5f, -1, 2), 1e-2f);

    Vec3 a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    float u = -1, v = -1, dist = -1;
    ASSERT_TRUE(IntersectTri(a, b, c, Vec3(0.25f, 0.5f, -1), Vec3(0, 0, 2), &u, &v, &dist));
    EXPECT_NEAR(u, 0.25f, 1e-6f);
    EXPECT_NEAR(v, 0.5f, 1e-6f);
    EXPECT_NEAR(dist, 0.5f, 1e-6f);
    EXPECT_TRUE(IntersectTri(a, b, c, Vec3(0.25f, 0.25f, 1), Vec3(0, 0, -1), &u, &v, &dist));  // back face
    EXPECT_FALSE(IntersectTri(a, b, c, Vec3(0.25f, 0.25f, 1), Vec3(0, 0, 1), &u, &v, &dist));  // behind
    EXPECT_FALSE(IntersectTri(a, b, c, Vec3(0.8f, 0.8f, -1), Vec3(0, 0, 1), &u, &v, &dist));   // outside
    EXPECT_FALSE(IntersectTri(a, b, c, Vec3(0, 0, -1), Vec3(1, 0, 0), &u, &v, &dist));         // parallel
}

TEST(Math, BoundingSphereOverStridedVertices) {
    struct Vertex {
        Vec3 pos;
        float extra[5];
    } verts[4] = {{Vec3(3, 0, 0), {}}, {Vec3(-1, 0, 0), {}}, {Vec3(1, 2, 0), {}}, {Vec3(1, -2, 0), {}}};
    Vec3 center;
    float radius = 0;
    ASSERT_TRUE(ComputeBoundingSphere(&verts[0].pos, 4, sizeof(Vertex), &center, &radius));
    ExpectNear(center, Vec3(1, 0, 0));
    EXPECT_NEAR(radius, 2.0f, 1e-6f);
    EXPECT_FALSE(ComputeBoundingSphere(&verts[0].pos, 0, sizeof(Vertex), &center, &radius));
    Vec3 lo, hi;
    ASSERT_TRUE(ComputeBoundingBox(&verts[0].pos, 4, sizeof(Vertex), &lo, &hi));
    ExpectNear(lo, Vec3(-1, -2, 0));
    ExpectNear(hi, Vec3(3, 2, 0));

    EXPECT_EQ(ColorArgb(0x80, 0xFF, 0x10, 0x01), 0x80FF1001u);
    EXPECT_EQ(ArgbFromColor(ColorFromArgb(0x80FF1001u)), 0x80FF1001u);
}
