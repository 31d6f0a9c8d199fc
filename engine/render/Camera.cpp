#include "engine/render/Camera.h"

#include <cmath>
#include <initializer_list>

using namespace platform;

void CCamera::Pan(float dx, float dy) {
    Vec3 step = up * dy - side * dx;
    eye += step;
    target += step;
}

void CCamera::Rotate(float yaw, float pitch) {
    Quaternion q = yaw == 0.0f ? QuaternionIdentity() : QuaternionRotationAxis(up, yaw);
    if (pitch != 0.0f) q = QuaternionMultiply(q, QuaternionRotationAxis(side, pitch));
    Matrix r = MatrixRotationQuaternion(q);
    viewDir = Vec3TransformNormal(viewDir, r);
    up = Vec3TransformNormal(up, r);
    side = Vec3TransformNormal(side, r);
    FollowTarget();
}

void CCamera::SetTarget(const Vec3& point, int /*immediate*/) {
    target = point;
    FollowTarget();
}

void CCamera::SetLookAt(const Vec3& eyePoint, const Vec3& targetPoint, float fovY) {
    eye = eyePoint;
    target = targetPoint;
    fov = fovY;
    SetTargetPoint(targetPoint);
}

void CCamera::SetTargetPoint(const Vec3& point) {
    target = point;
    viewDir = Vec3Normalize(target - eye);
    distance = Vec3Length(target - eye);
    RebuildAxes();
}

void CCamera::SetEyePoint(const Vec3& point) {
    eye = point;
    SetTargetPoint(target);
}

void CCamera::RebuildAxes() {
    side = Vec3(viewDir.z, 0, -viewDir.x);
    up = Vec3Cross(viewDir, side);
}

void CCamera::SetProjection(uint32_t width, uint32_t height) {
    viewportWidth = width;
    viewportHeight = height;
    aspect = static_cast<float>(width ? width : 1) / static_cast<float>(height ? height : 1);
    projection = MatrixPerspectiveFovLH(fov, aspect, nearPlane, farPlane);
}

void CCamera::MakePickRay(float x, float y, const Matrix& proj, const Matrix& viewMatrix) {
    float w = static_cast<float>(viewportWidth ? viewportWidth : 1);
    float h = static_cast<float>(viewportHeight ? viewportHeight : 1);
    Vec3 v;
    v.x = ((2.0f * x / w - 1.0f) - proj(2, 0)) / proj(0, 0);
    v.y = (-(2.0f * y / h - 1.0f) - proj(2, 1)) / proj(1, 1);
    v.z = 1.0f;
    Matrix inverse = Matrix::Identity();
    MatrixInverse(viewMatrix, &inverse);
    rayDirection = Vec3Normalize(Vec3TransformNormal(v, inverse));
    rayOrigin = Vec3(inverse(3, 0), inverse(3, 1), inverse(3, 2));
}

void CCamera::ExtractFrustumPlanes(const Matrix& viewMatrix, const Matrix& proj, Plane planes[6], bool withNearFar) {
    Matrix m = viewMatrix * proj;
    auto column = [&m](int i, float sign, int j) {
        return Plane(m(0, i) + sign * m(0, j), m(1, i) + sign * m(1, j), m(2, i) + sign * m(2, j),
                     m(3, i) + sign * m(3, j));
    };
    if (withNearFar) {
        planes[0] = PlaneNormalize(column(3, 1, 2));
        planes[1] = PlaneNormalize(column(3, -1, 2));
    }
    planes[2] = PlaneNormalize(column(3, 1, 0));
    planes[3] = PlaneNormalize(column(3, -1, 0));
    planes[4] = PlaneNormalize(column(3, -1, 1));
    planes[5] = PlaneNormalize(column(3, 1, 1));
}

namespace {
Matrix Inverted(const Matrix& m) {
    Matrix out = Matrix::Identity();
    MatrixInverse(m, &out);
    return out;
}
}  // namespace

const Matrix& CCamera::GetBillboardMatrix(uint32_t kind) {
    Matrix* slot = nullptr;
    switch (kind) {
        case BILLBOARD_X:
            slot = &billboardX;
            break;
        case BILLBOARD_Y:
            slot = &billboardY;
            break;
        case BILLBOARD_XZ:
            slot = &billboardXZ;
            break;
        case BILLBOARD_FULL:
            slot = &billboardFull;
            break;
        default:
            return view;
    }
    if (billboardMask & kind) return *slot;
    Matrix m = Matrix::Identity();
    if (kind == BILLBOARD_X) {
        for (int r : {1, 2})
            for (int c : {1, 2}) m(r, c) = view(r, c);
        *slot = Inverted(m);
    } else if (kind == BILLBOARD_Y) {
        for (int r : {0, 2})
            for (int c : {0, 2}) m(r, c) = view(r, c);
        *slot = Inverted(m);
    } else if (kind == BILLBOARD_XZ) {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                if (!((r == 0 && c == 1) || (r == 1 && c == 0))) m(r, c) = view(r, c);
        *slot = Inverted(m);
    } else {
        m = Inverted(view);
        m(3, 0) = m(3, 1) = m(3, 2) = 0;
        *slot = m;
    }
    billboardMask |= kind;
    return *slot;
}

void CCamera::UpdateScriptedMove(float dt) {
    if (travelDone) return;
    float step = dt * travelSpeed * 5.0f;
    Vec3 direction = Vec3Normalize(travelA - travelB);
    if (returning) direction = -direction;
    Vec3 start = returning ? travelA : travelB;
    float span = Vec3Length(travelA - travelB);
    auto near = [](const Vec3& p, const Vec3& q) {
        return std::fabs(p.x - q.x) <= 1.0f && std::fabs(p.z - q.z) <= 1.0f;
    };
    auto overshot = [&](const Vec3& p) { return Vec3Length(p - start) > span; };
    auto move = [&] {
        Vec3 next = target + direction * step;
        SetTarget(next, 1);
        return next;
    };
    if (travelStage == 0) {
        Vec3 next = move();
        if (near(next, travelA) || overshot(next)) travelDone = 1;
        return;
    }
    if (returning || (!near(target, travelA) && !overshot(target))) {
        Vec3 next = move();
        if ((returning && near(next, travelB)) || overshot(next)) travelDone = 1;
        return;
    }
    holdElapsed += dt;
    if (holdElapsed > holdTime) {
        returning = 1;
        holdElapsed = 0;
    }
}

void CPlayCamera::Pan(float dx, float dy) {
    Vec3 flat = Vec3Normalize(Vec3(viewDir.x, 0, viewDir.z));
    Vec3 step = flat * dy - side * dx;
    eye += step;
    target += step;
}

void CPlayCamera::Rotate(float yaw, float pitch) {
    up = Vec3(0, 1, 0);
    Quaternion q = yaw == 0.0f ? QuaternionIdentity() : QuaternionRotationAxis(up, yaw);
    if (pitch != 0.0f && viewDir.y > -pitchLimitHigh && viewDir.y < -pitchLimitLow)
        q = QuaternionMultiply(q, QuaternionRotationAxis(side, pitch));
    Matrix r = MatrixRotationQuaternion(q);
    viewDir = Vec3TransformNormal(viewDir, r);
    side = Vec3TransformNormal(side, r);
    side.y = 0;
    side = Vec3Normalize(side);
    FollowTarget();
    RebuildAxes();
}

void CPlayCamera::SetTarget(const Vec3& point, int immediate) {
    moving = immediate ? 0 : 1;
    if (immediate) {
        target = point;
        FollowTarget();
        return;
    }
    moveDestination = Vec3(point.x, target.y, point.z);
    moveDirection = Vec3Normalize(moveDestination - target);
}

void CPlayCamera::UpdateMove(float dt) {
    if (!moving) return;
    float step = dt * distance * 7.8f;
    if (Vec3Length(moveDestination - target) > step) {
        target += moveDirection * step;
    } else {
        target = moveDestination;
        moving = 0;
    }
    FollowTarget();
}
