// The bounds of a scene object, used for picking, culling, range and
// footprint tests: an inner (footprint) box and an outer (picking and
// culling) box around the object's centre, with its radii.
//
// Corner order of a box around centre c with half size h and half height hh:
// 0 (c.x - h, bottom, c.z + h), 1 (c.x + h, bottom, c.z + h),
// 2 (c.x + h, bottom, c.z - h), 3 (c.x - h, bottom, c.z - h), 4-7 the same on top.
#pragma once

#include <cstdint>

#include "platform/Math.h"

class CObjectBounds {
public:
    virtual ~CObjectBounds() = default;

    // Model-space box, position, a half depth (0: half the z extent), scale and
    // whether frustum tests use the outer box (else a sphere).
    void SetBox(const platform::Vec3& min, const platform::Vec3& max, const platform::Vec3& position,
                float halfDepthOverride, float scale, uint32_t useBoxTest);
    // Re-centres both boxes on a position.
    void MoveTo(const platform::Vec3& position);

    platform::Vec3 innerBox[8];
    platform::Vec3 outerBox[8];
    platform::Vec3 center;
    platform::Vec3 boxMin, boxMax;
    float scale = 1.0f;
    float radius = 0;
    float horizontalRadius = 0;
    float halfDepth = 0;
    float centerHeight = 0;
    float halfHeight = 0;
    uint32_t useBoxTest = 1;
};
