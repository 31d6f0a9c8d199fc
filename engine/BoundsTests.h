// Ray and frustum tests of boxes (eight corners in the scene objects' corner
// order: 0-3 the bottom face, 4-7 the same corners on top) and spheres.
// Frustum planes: 0 near, 1 far, 2-5 the sides, normals pointing inward.
#pragma once

#include "platform/Math.h"

// Only triangles that face the ray count (plane normal . direction <= 0). A
// hit nearer than *nearest replaces it; true then. hitPoint and barycentric may be null.
bool RayHitTriangle(const platform::Vec3& p0, const platform::Vec3& p1, const platform::Vec3& p2,
                    const platform::Vec3& origin, const platform::Vec3& direction, float* nearest,
                    platform::Vec3* hitPoint, platform::Vec2* barycentric);
// The box's 12 triangles with the same rule; true when one was hit nearer than *nearest.
bool RayHitBox(const platform::Vec3* box, const platform::Vec3& origin, const platform::Vec3& direction,
               float* nearest);
// False when the sphere lies wholly behind one tested plane (all six, or the sides only).
bool SphereInFrustum(const platform::Plane* planes, const platform::Vec3& center, float radius, bool withNearFar);
// False when all eight corners lie behind (or on) one tested plane.
bool IsBoxInFrustum(const platform::Plane* planes, const platform::Vec3* box, bool withNearFar);
