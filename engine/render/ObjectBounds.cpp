#include "engine/render/ObjectBounds.h"

#include <algorithm>

using platform::Vec3;

namespace {

void BuildBox(Vec3* box, const Vec3& c, float h, float hh) {
    float y0 = c.y - hh, y1 = c.y + hh;
    box[0] = {c.x - h, y0, c.z + h};
    box[1] = {c.x + h, y0, c.z + h};
    box[2] = {c.x + h, y0, c.z - h};
    box[3] = {c.x - h, y0, c.z - h};
    for (int i = 0; i < 4; ++i) box[i + 4] = {box[i].x, y1, box[i].z};
}

}  // namespace

void CObjectBounds::SetBox(const Vec3& min, const Vec3& max, const Vec3& position, float halfDepthOverride,
                           float scale_, uint32_t useBoxTest_) {
    scale = scale_;
    boxMin = min;
    boxMax = max;
    useBoxTest = useBoxTest_;
    halfDepth = halfDepthOverride;
    radius = platform::Vec3Length(max - min) * 0.5f;
    horizontalRadius = std::max(max.x - min.x, max.z - min.z) * 0.5f;
    if (halfDepthOverride == 0.0f) halfDepth = (max.z - min.z) * 0.5f;
    centerHeight = (max.y + min.y) * 0.5f;
    halfHeight = (max.y - min.y) * 0.5f;
    MoveTo(position);
}

void CObjectBounds::MoveTo(const Vec3& position) {
    center = {position.x, position.y + centerHeight, position.z};
    BuildBox(innerBox, center, halfDepth * scale * 0.8f, halfHeight);
    BuildBox(outerBox, center, horizontalRadius * scale, halfHeight);
}
