// Arithmetic of Math.h. Formulas follow the row-vector convention: a matrix
// row is the image of a basis vector, so composition reads left to right.
#include "platform/Math.h"

#include <cmath>
#include <cstring>

namespace platform {

Matrix Matrix::Identity() {
    Matrix r;
    for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
    return r;
}

Matrix Matrix::operator*(const Matrix& o) const { return MatrixMultiply(*this, o); }

ColorValue ColorFromArgb(uint32_t argb) {
    const float k = 1.0f / 255.0f;
    return ColorValue(((argb >> 16) & 0xFF) * k, ((argb >> 8) & 0xFF) * k, (argb & 0xFF) * k,
                      ((argb >> 24) & 0xFF) * k);
}

static uint32_t Channel(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 1.0f) return 255;
    return static_cast<uint32_t>(v * 255.0f + 0.5f);
}

uint32_t ArgbFromColor(const ColorValue& c) {
    return ColorArgb(Channel(c.a), Channel(c.r), Channel(c.g), Channel(c.b));
}

float Vec3LengthSq(const Vec3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }
float Vec3Length(const Vec3& v) { return std::sqrt(Vec3LengthSq(v)); }
float Vec3Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Vec3Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Vec3Normalize(const Vec3& v) {
    float len = Vec3Length(v);
    if (len == 0.0f) return {};
    return v * (1.0f / len);
}
Vec3 Vec3Lerp(const Vec3& a, const Vec3& b, float t) { return a + (b - a) * t; }
float Vec2Length(const Vec2& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

Vec4 Vec4Transform(const Vec4& v, const Matrix& m) {
    Vec4 r;
    r.x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0];
    r.y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1];
    r.z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2];
    r.w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3];
    return r;
}
Vec4 Vec3Transform(const Vec3& v, const Matrix& m) { return Vec4Transform(Vec4(v.x, v.y, v.z, 1.0f), m); }
Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m) {
    Vec4 r = Vec3Transform(v, m);
    if (r.w == 0.0f) return {r.x, r.y, r.z};
    float inv = 1.0f / r.w;
    return {r.x * inv, r.y * inv, r.z * inv};
}
Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m) {
    Vec4 r = Vec4Transform(Vec4(v.x, v.y, v.z, 0.0f), m);
    return {r.x, r.y, r.z};
}

Vec3 Vec3Project(const Vec3& v, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world) {
    Vec3 c = Vec3TransformCoord(v, world * view * proj);
    return {vp.x + (1.0f + c.x) * vp.width * 0.5f, vp.y + (1.0f - c.y) * vp.height * 0.5f,
            vp.minZ + c.z * (vp.maxZ - vp.minZ)};
}

Vec3 Vec3Unproject(const Vec3& v, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world) {
    Matrix inv;
    if (!MatrixInverse(world * view * proj, &inv)) return {};
    float depthRange = vp.maxZ - vp.minZ;
    Vec3 c((v.x - vp.x) * 2.0f / vp.width - 1.0f, 1.0f - (v.y - vp.y) * 2.0f / vp.height,
           depthRange != 0.0f ? (v.z - vp.minZ) / depthRange : 0.0f);
    return Vec3TransformCoord(c, inv);
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

Matrix MatrixTranspose(const Matrix& m) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = m.m[j][i];
    return r;
}

// Cofactors of the 4x4 matrix, laid out as the transposed adjugate.
static void Adjugate(const Matrix& a, float inv[16]) {
    const float* m = &a.m[0][0];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] + m[8] * m[1] * m[6] -
              m[8] * m[2] * m[5];
}

float MatrixDeterminant(const Matrix& m) {
    float inv[16];
    Adjugate(m, inv);
    const float* a = &m.m[0][0];
    return a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
}

bool MatrixInverse(const Matrix& m, Matrix* out, float* determinant) {
    float inv[16];
    Adjugate(m, inv);
    const float* a = &m.m[0][0];
    float det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (determinant) *determinant = det;
    if (det == 0.0f || !std::isfinite(det)) return false;
    float k = 1.0f / det;
    for (int i = 0; i < 16; ++i) out->m[i / 4][i % 4] = inv[i] * k;
    return true;
}

Matrix MatrixTranslation(float x, float y, float z) {
    Matrix r = Matrix::Identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix MatrixScaling(float x, float y, float z) {
    Matrix r;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    r.m[3][3] = 1.0f;
    return r;
}

Matrix MatrixRotationX(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    Matrix r = Matrix::Identity();
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Matrix MatrixRotationY(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    Matrix r = Matrix::Identity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix MatrixRotationZ(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    Matrix r = Matrix::Identity();
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Matrix MatrixRotationAxis(const Vec3& axis, float angle) {
    Vec3 n = Vec3Normalize(axis);
    float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    Matrix r = Matrix::Identity();
    r.m[0][0] = t * n.x * n.x + c;
    r.m[0][1] = t * n.x * n.y + s * n.z;
    r.m[0][2] = t * n.x * n.z - s * n.y;
    r.m[1][0] = t * n.x * n.y - s * n.z;
    r.m[1][1] = t * n.y * n.y + c;
    r.m[1][2] = t * n.y * n.z + s * n.x;
    r.m[2][0] = t * n.x * n.z + s * n.y;
    r.m[2][1] = t * n.y * n.z - s * n.x;
    r.m[2][2] = t * n.z * n.z + c;
    return r;
}

Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
    return MatrixRotationZ(roll) * MatrixRotationX(pitch) * MatrixRotationY(yaw);
}

Matrix MatrixRotationQuaternion(const Quaternion& q) {
    Matrix r = Matrix::Identity();
    r.m[0][0] = 1.0f - 2.0f * (q.y * q.y + q.z * q.z);
    r.m[0][1] = 2.0f * (q.x * q.y + q.z * q.w);
    r.m[0][2] = 2.0f * (q.x * q.z - q.y * q.w);
    r.m[1][0] = 2.0f * (q.x * q.y - q.z * q.w);
    r.m[1][1] = 1.0f - 2.0f * (q.x * q.x + q.z * q.z);
    r.m[1][2] = 2.0f * (q.y * q.z + q.x * q.w);
    r.m[2][0] = 2.0f * (q.x * q.z + q.y * q.w);
    r.m[2][1] = 2.0f * (q.y * q.z - q.x * q.w);
    r.m[2][2] = 1.0f - 2.0f * (q.x * q.x + q.y * q.y);
    return r;
}

Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up) {
    Vec3 z = Vec3Normalize(at - eye);
    Vec3 x = Vec3Normalize(Vec3Cross(up, z));
    Vec3 y = Vec3Cross(z, x);
    Matrix r = Matrix::Identity();
    r.m[0][0] = x.x;
    r.m[1][0] = x.y;
    r.m[2][0] = x.z;
    r.m[0][1] = y.x;
    r.m[1][1] = y.y;
    r.m[2][1] = y.z;
    r.m[0][2] = z.x;
    r.m[1][2] = z.y;
    r.m[2][2] = z.z;
    r.m[3][0] = -Vec3Dot(x, eye);
    r.m[3][1] = -Vec3Dot(y, eye);
    r.m[3][2] = -Vec3Dot(z, eye);
    return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    float yScale = 1.0f / std::tan(fovY * 0.5f);
    Matrix r;
    r.m[0][0] = yScale / aspect;
    r.m[1][1] = yScale;
    r.m[2][2] = zFar / (zFar - zNear);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zNear * zFar / (zFar - zNear);
    return r;
}

Matrix MatrixOrthoLH(float width, float height, float zNear, float zFar) {
    Matrix r = Matrix::Identity();
    r.m[0][0] = 2.0f / width;
    r.m[1][1] = 2.0f / height;
    r.m[2][2] = 1.0f / (zFar - zNear);
    r.m[3][2] = zNear / (zNear - zFar);
    return r;
}

Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar) {
    Matrix r = Matrix::Identity();
    r.m[0][0] = 2.0f / (right - left);
    r.m[1][1] = 2.0f / (top - bottom);
    r.m[2][2] = 1.0f / (zFar - zNear);
    r.m[3][0] = (left + right) / (left - right);
    r.m[3][1] = (top + bottom) / (bottom - top);
    r.m[3][2] = zNear / (zNear - zFar);
    return r;
}

Matrix MatrixAffineTransformation(float scaling, const Vec3* rotationCenter, const Quaternion* rotation,
                                  const Vec3* translation) {
    Matrix r = MatrixScaling(scaling, scaling, scaling);
    if (rotation) {
        if (rotationCenter) r = r * MatrixTranslation(-rotationCenter->x, -rotationCenter->y, -rotationCenter->z);
        r = r * MatrixRotationQuaternion(*rotation);
        if (rotationCenter) r = r * MatrixTranslation(rotationCenter->x, rotationCenter->y, rotationCenter->z);
    }
    if (translation) r = r * MatrixTranslation(translation->x, translation->y, translation->z);
    return r;
}

Quaternion QuaternionIdentity() { return Quaternion(0, 0, 0, 1); }

Quaternion QuaternionRotationAxis(const Vec3& axis, float angle) {
    Vec3 n = Vec3Normalize(axis);
    float s = std::sin(angle * 0.5f);
    return Quaternion(n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f));
}

// The product that applies a first, then b (the row-vector order).
Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b) {
    return Quaternion(b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y, b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
                      b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w, b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z);
}

Quaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll) {
    Quaternion qz = QuaternionRotationAxis(Vec3(0, 0, 1), roll);
    Quaternion qx = QuaternionRotationAxis(Vec3(1, 0, 0), pitch);
    Quaternion qy = QuaternionRotationAxis(Vec3(0, 1, 0), yaw);
    return QuaternionMultiply(QuaternionMultiply(qz, qx), qy);
}

Quaternion QuaternionRotationMatrix(const Matrix& m) {
    Quaternion q;
    float trace = m.m[0][0] + m.m[1][1] + m.m[2][2];
    if (trace > 0.0f) {
        float s = std::sqrt(trace + 1.0f) * 2.0f;
        q.w = 0.25f * s;
        q.x = (m.m[1][2] - m.m[2][1]) / s;
        q.y = (m.m[2][0] - m.m[0][2]) / s;
        q.z = (m.m[0][1] - m.m[1][0]) / s;
    } else if (m.m[0][0] > m.m[1][1] && m.m[0][0] > m.m[2][2]) {
        float s = std::sqrt(1.0f + m.m[0][0] - m.m[1][1] - m.m[2][2]) * 2.0f;
        q.w = (m.m[1][2] - m.m[2][1]) / s;
        q.x = 0.25f * s;
        q.y = (m.m[0][1] + m.m[1][0]) / s;
        q.z = (m.m[2][0] + m.m[0][2]) / s;
    } else if (m.m[1][1] > m.m[2][2]) {
        float s = std::sqrt(1.0f + m.m[1][1] - m.m[0][0] - m.m[2][2]) * 2.0f;
        q.w = (m.m[2][0] - m.m[0][2]) / s;
        q.x = (m.m[0][1] + m.m[1][0]) / s;
        q.y = 0.25f * s;
        q.z = (m.m[1][2] + m.m[2][1]) / s;
    } else {
        float s = std::sqrt(1.0f + m.m[2][2] - m.m[0][0] - m.m[1][1]) * 2.0f;
        q.w = (m.m[0][1] - m.m[1][0]) / s;
        q.x = (m.m[2][0] + m.m[0][2]) / s;
        q.y = (m.m[1][2] + m.m[2][1]) / s;
        q.z = 0.25f * s;
    }
    return q;
}

float QuaternionDot(const Quaternion& a, const Quaternion& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

Quaternion QuaternionNormalize(const Quaternion& q) {
    float len = std::sqrt(QuaternionDot(q, q));
    if (len == 0.0f) return Quaternion(0, 0, 0, 0);
    float k = 1.0f / len;
    return Quaternion(q.x * k, q.y * k, q.z * k, q.w * k);
}

Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t) {
    float cosom = QuaternionDot(a, b);
    float sign = 1.0f;
    if (cosom < 0.0f) {
        cosom = -cosom;
        sign = -1.0f;
    }
    float k0 = 1.0f - t, k1 = t;
    // Nearly parallel: the linear blend is exact enough and avoids dividing by ~0.
    if (cosom < 0.9999f) {
        float omega = std::acos(cosom);
        float sinom = std::sin(omega);
        k0 = std::sin((1.0f - t) * omega) / sinom;
        k1 = std::sin(t * omega) / sinom;
    }
    k1 *= sign;
    return Quaternion(k0 * a.x + k1 * b.x, k0 * a.y + k1 * b.y, k0 * a.z + k1 * b.z, k0 * a.w + k1 * b.w);
}

Plane PlaneFromPointNormal(const Vec3& point, const Vec3& normal) {
    return Plane(normal.x, normal.y, normal.z, -Vec3Dot(point, normal));
}

Plane PlaneFromPoints(const Vec3& p1, const Vec3& p2, const Vec3& p3) {
    Vec3 n = Vec3Normalize(Vec3Cross(p2 - p1, p3 - p1));
    return PlaneFromPointNormal(p1, n);
}

Plane PlaneNormalize(const Plane& p) {
    float len = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
    if (len == 0.0f) return Plane();
    float k = 1.0f / len;
    return Plane(p.a * k, p.b * k, p.c * k, p.d * k);
}

float PlaneDotCoord(const Plane& p, const Vec3& v) { return p.a * v.x + p.b * v.y + p.c * v.z + p.d; }
float PlaneDotNormal(const Plane& p, const Vec3& v) { return p.a * v.x + p.b * v.y + p.c * v.z; }

bool PlaneIntersectLine(const Plane& p, const Vec3& p1, const Vec3& p2, Vec3* out) {
    Vec3 d = p2 - p1;
    float denom = PlaneDotNormal(p, d);
    if (denom == 0.0f) return false;
    float t = -PlaneDotCoord(p, p1) / denom;
    *out = p1 + d * t;
    return true;
}

bool IntersectTri(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& rayPos, const Vec3& rayDir, float* u,
                  float* v, float* dist) {
    Vec3 e1 = p1 - p0, e2 = p2 - p0;
    Vec3 pv = Vec3Cross(rayDir, e2);
    float det = Vec3Dot(e1, pv);
    if (std::fabs(det) < 1e-12f) return false;
    float inv = 1.0f / det;
    Vec3 tv = rayPos - p0;
    float bu = Vec3Dot(tv, pv) * inv;
    if (bu < 0.0f || bu > 1.0f) return false;
    Vec3 qv = Vec3Cross(tv, e1);
    float bv = Vec3Dot(rayDir, qv) * inv;
    if (bv < 0.0f || bu + bv > 1.0f) return false;
    float t = Vec3Dot(e2, qv) * inv;
    if (t < 0.0f) return false;
    if (u) *u = bu;
    if (v) *v = bv;
    if (dist) *dist = t;
    return true;
}

// Positions inside vertex records of any stride; copied, since a stride need not keep float alignment.
static Vec3 PointAt(const Vec3* first, uint32_t i, uint32_t stride) {
    Vec3 p;
    std::memcpy(&p, reinterpret_cast<const uint8_t*>(first) + static_cast<size_t>(i) * stride, sizeof(p));
    return p;
}

bool ComputeBoundingSphere(const Vec3* first, uint32_t count, uint32_t stride, Vec3* center, float* radius) {
    if (!first || count == 0) return false;
    Vec3 sum;
    for (uint32_t i = 0; i < count; ++i) sum += PointAt(first, i, stride);
    Vec3 c = sum * (1.0f / count);
    float r2 = 0.0f;
    for (uint32_t i = 0; i < count; ++i) {
        float d = Vec3LengthSq(PointAt(first, i, stride) - c);
        if (d > r2) r2 = d;
    }
    *center = c;
    *radius = std::sqrt(r2);
    return true;
}

bool ComputeBoundingBox(const Vec3* first, uint32_t count, uint32_t stride, Vec3* min, Vec3* max) {
    if (!first || count == 0) return false;
    Vec3 lo = PointAt(first, 0, stride), hi = lo;
    for (uint32_t i = 1; i < count; ++i) {
        Vec3 p = PointAt(first, i, stride);
        lo = Vec3(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z));
        hi = Vec3(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z));
    }
    *min = lo;
    *max = hi;
    return true;
}

}  // namespace platform
