#include "engine/render/SceneObject.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/render/Draw2D.h"

using namespace platform;

int CSceneObject::Update(float /*dt*/) {
    if (flags & SO_FROZEN) return refCount > 1 ? 1 : 0;
    RebuildTransform();
    return 1;
}

bool CSceneObject::IntersectRay(const Vec3& origin, const Vec3& direction, float* distance, void* /*unused*/,
                                int useInner) {
    float nearest = std::numeric_limits<float>::max();
    bool hit = RayHitBox(useInner ? bounds.innerBox : bounds.outerBox, origin, direction, &nearest);
    if (hit && distance) *distance = nearest;
    return hit;
}

bool CSceneObject::IsInFrustum(const Plane* planes, int withNearFar) {
    if (!planes) return false;
    if (bounds.useBoxTest) return IsBoxInFrustum(planes, bounds.outerBox, withNearFar != 0);
    return SphereInFrustum(planes, bounds.center, bounds.radius * bounds.scale, withNearFar != 0);
}

bool CSceneObject::IsWithinDistance(const Vec3* point, float margin) {
    return point && IsPointNearObject(*point, position, bounds, margin);
}

bool CSceneObject::OverlapsRect(const Vec3* rectMin, const Vec3* rectMax) {
    if (!rectMin || !rectMax) return false;
    const Vec3& maxCorner = bounds.innerBox[1];
    const Vec3& minCorner = bounds.innerBox[3];
    return minCorner.x < rectMax->x && maxCorner.x > rectMin->x && minCorner.z < rectMax->z && maxCorner.z > rectMin->z;
}

void CSceneObject::SetAlpha(float a) {
    material.Get().diffuse.a = a;
    material.Get().ambient.a = a;
}

void CSceneObject::SetColorScale(float r, float g, float b) {
    colorScale.x = r;
    colorScale.y = g;
    colorScale.z = b;
}

void CSceneObject::Place(const Vec3& pos, float yaw, float scale) {
    position = pos;
    bounds.scale = scale;
    if (yaw != 0.0f) {
        world = MatrixRotationY(yaw);
        facing = {world(2, 0), world(2, 1), world(2, 2)};
    }
    for (int i = 0; i < 3; ++i) world(i, i) *= scale;
    world(3, 0) = pos.x;
    world(3, 1) = pos.y;
    world(3, 2) = pos.z;
    flags |= SO_TRANSFORM_CHANGED | SO_PLACE_MARK;
}

void CSceneObject::TurnBy(float angle) {
    facing = Vec3TransformCoord(facing, MatrixRotationAxis(upAxis, angle));
    for (float* c : {&facing.x, &facing.y, &facing.z})
        if (*c > -1e-7f && *c < 1e-7f) *c = 0;
    flags |= SO_ROTATION_CHANGED;
}

void CSceneObject::SetFacing(const Vec3& f) {
    facing = f;
    upAxis = {0, 1, 0};
    sideAxis = Vec3Normalize(Vec3Cross(upAxis, facing));
    flags |= SO_ROTATION_CHANGED;
}

float CSceneObject::GetFacingAngle() const {
    if (facing.x == 0 && facing.y == 0 && facing.z == 1) return 0;
    float a = std::acos(std::clamp(facing.z, -1.0f, 1.0f));
    if (facing.x > 0) return a + 0.0001f;
    return 6.2831855f - (a - 0.0001f);
}

bool CSceneObject::IsVisible() const {
    if ((flags & SO_HIDDEN) || material.Get().ambient.a <= 0) return false;
    return ((parent ? parent->flags : flags) & SO_VISIBLE) != 0;
}

void (*g_pGroundPlacer)(CSceneObject& object) = nullptr;

void CSceneObject::RebuildTransform() {
    if (!(flags & SO_TRANSFORM_CHANGED)) return;
    if (g_pGroundPlacer) g_pGroundPlacer(*this);
    for (uint32_t* dirty : m_attached)
        if (dirty) *dirty = 1;
    if ((flags & SO_TRANSFORM_CHANGED) == SO_POSITION_CHANGED) {
        world(3, 0) = position.x;
        world(3, 1) = position.y;
        world(3, 2) = position.z;
    } else {
        float s = bounds.scale;
        Vec3 side = Vec3Cross(upAxis, facing);
        world = Matrix::Identity();
        sideAxis = side * s;
        const Vec3 rows[3] = {sideAxis, upAxis * s, facing * s};
        for (int r = 0; r < 3; ++r) {
            world(r, 0) = rows[r].x;
            world(r, 1) = rows[r].y;
            world(r, 2) = rows[r].z;
        }
        world(3, 0) = position.x;
        world(3, 1) = position.y;
        world(3, 2) = position.z;
    }
    bounds.MoveTo(position);
    flags &= ~static_cast<uint32_t>(SO_TRANSFORM_CHANGED);
}

void CSceneObject::GetColor(float* rgba) const {
    if (!rgba) return;
    const ColorValue& a = material.Get().ambient;
    rgba[0] = a.r;
    rgba[1] = a.g;
    rgba[2] = a.b;
    rgba[3] = a.a;
}

void CSceneObject::SetAttached(int slot, uint32_t* dirtyWord) {
    if (slot == 0 || slot == 1) m_attached[slot] = dirtyWord;
}

bool IsPointNearObject(const Vec3& point, const Vec3& position, const CObjectBounds& bounds, float margin) {
    float dx = point.x - position.x, dz = point.z - position.z;
    return std::sqrt(dx * dx + dz * dz) < bounds.halfDepth * bounds.scale + margin;
}
