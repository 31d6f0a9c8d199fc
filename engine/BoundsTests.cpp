#include "engine/BoundsTests.h"

using namespace platform;

bool RayHitTriangle(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& origin, const Vec3& direction,
                    float* nearest, Vec3* hitPoint, Vec2* barycentric) {
    Plane plane = PlaneFromPoints(p0, p1, p2);
    if (PlaneDotNormal(plane, direction) > 0) return false;  // seen from behind
    float u = 0, v = 0, dist = 0;
    if (!IntersectTri(p0, p1, p2, origin, direction, &u, &v, &dist)) return false;
    if (nearest && dist >= *nearest) return false;
    if (nearest) *nearest = dist;
    if (hitPoint) *hitPoint = origin + direction * dist;
    if (barycentric) *barycentric = Vec2(u, v);
    return true;
}

bool RayHitBox(const Vec3* box, const Vec3& origin, const Vec3& direction, float* nearest) {
    static constexpr int kTriangles[12][3] = {{7, 6, 3}, {6, 2, 3}, {6, 5, 2}, {5, 1, 2}, {4, 5, 7}, {5, 6, 7},
                                              {5, 4, 0}, {5, 0, 1}, {4, 7, 3}, {4, 3, 0}, {0, 3, 1}, {2, 1, 3}};
    if (!box) return false;
    for (const auto& t : kTriangles)
        if (RayHitTriangle(box[t[0]], box[t[1]], box[t[2]], origin, direction, nearest, nullptr, nullptr)) return true;
    return false;
}

bool SphereInFrustum(const Plane* planes, const Vec3& center, float radius, bool withNearFar) {
    for (int i = withNearFar ? 0 : 2; i < 6; ++i)
        if (PlaneDotCoord(planes[i], center) <= -radius) return false;
    return true;
}

bool IsBoxInFrustum(const Plane* planes, const Vec3* box, bool withNearFar) {
    for (int i = withNearFar ? 0 : 2; i < 6; ++i) {
        bool anyInside = false;
        for (int c = 0; c < 8 && !anyInside; ++c) anyInside = PlaneDotCoord(planes[i], box[c]) > 0;
        if (!anyInside) return false;
    }
    return true;
}
