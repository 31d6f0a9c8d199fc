// Small drawing, picking and projection helpers shared by the scene, the
// camera, the terrain, the world and the screens: a filled screen rectangle
// and a rectangle outline drawn from two small managed vertex buffers, ray
// tests against triangles and boxes, frustum tests, box projections to the
// screen and packed colours to floats.
//
// Rectangles are {left, top, right, bottom} in pixels (a caller with x, y,
// width, height passes {x, y, x + width, y + height}); corners are moved up and
// left by half a pixel so that pre-transformed quads cover whole pixels.
#pragma once

#include <cstdint>

#include "platform/GfxDevice.h"
#include "platform/Math.h"

// Creates the line buffer (31 vertices of 16 bytes, XYZ | DIFFUSE) and the
// quad buffer (5 vertices of 28 bytes, XYZRHW | DIFFUSE | TEX1) in the managed
// pool of the device; false when either creation fails. Run at device creation.
bool CreateDraw2DBuffers(platform::CGfxDevice* device);
void ReleaseDraw2DBuffers();

// With resetStates the z test and lighting are switched off around the draw
// and on again after it. A failed lock draws nothing.
void DrawScreenQuad(const platform::GfxRect& rect, uint32_t argb, bool resetStates);
void DrawScreenRectOutline(const platform::GfxRect& rect, uint32_t argb, bool resetStates);

// Only a triangle facing the ray counts (normal . direction <= 0). A hit nearer
// than *nearest replaces it and gives the hit point and barycentric pair.
bool RayHitTriangle(const platform::Vec3& p0, const platform::Vec3& p1, const platform::Vec3& p2,
                    const platform::Vec3& origin, const platform::Vec3& direction, float* nearest,
                    platform::Vec3* hitPoint, platform::Vec2* barycentric);
// The 12 triangles of a box (eight corners); the first nearer hit wins.
bool RayHitBox(const platform::Vec3 box[8], const platform::Vec3& origin, const platform::Vec3& direction,
               float* nearest);
// p lies within radius of the line through a and b, and not beyond the segment's length from a.
bool PointNearSegment(const platform::Vec3& a, const platform::Vec3& b, const platform::Vec3& p, float radius);
// Planes 0-1 near and far, 2-5 the sides; without near and far only 2-5 are tested.
bool SphereInFrustum(const platform::Plane planes[6], const platform::Vec3& center, float radius, bool withNearFar);
// Outside only when all eight corners lie behind one tested plane.
bool IsBoxInFrustum(const platform::Plane planes[6], const platform::Vec3 box[8], bool withNearFar);
// The projected centre, widened on both axes by the larger half-length of two
// projected space diagonals (corners 0-6 and 1-7), all truncated to whole pixels.
void ProjectBoxToScreenRect(const platform::Viewport& viewport, const platform::Matrix& view,
                            const platform::Matrix& projection, const platform::Vec3& centre,
                            const platform::Vec3 box[8], int32_t outMin[2], int32_t outMax[2]);
// The minimum and maximum corners projected, truncated to whole pixels.
void ProjectBoundsToScreen(const platform::Viewport& viewport, const platform::Matrix& view,
                           const platform::Matrix& projection, const platform::Vec3& minimum,
                           const platform::Vec3& maximum, int32_t outPoints[4]);
// Removes a uniform scale (the given one, or the first row's length for 0) and the translation.
platform::Matrix ExtractRotationMatrix(const platform::Matrix& m, float scale);
// Each byte x 1/255.
platform::ColorValue ArgbToColorValue(uint32_t argb);
