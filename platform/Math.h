// Vector, matrix, quaternion and plane arithmetic in the conventions the
// drawing code was written for: row vectors multiplied on the left of
// row-major 4x4 matrices (v' = v * M, translation in the fourth row) and a
// left-handed space whose projections map depth to 0..1.
#pragma once

#include <cstdint>

namespace platform {

struct Vec2 {
    float x = 0, y = 0;
    Vec2() = default;
    Vec2(float x_, float y_) : x(x_), y(y_) {}
};

struct Vec3 {
    float x = 0, y = 0, z = 0;
    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3& operator+=(const Vec3& o) { return *this = *this + o; }
    Vec3& operator-=(const Vec3& o) { return *this = *this - o; }
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
    Vec4() = default;
    Vec4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
};

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
    Quaternion() = default;
    Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
};

// a*x + b*y + c*z + d = 0.
struct Plane {
    float a = 0, b = 0, c = 0, d = 0;
    Plane() = default;
    Plane(float a_, float b_, float c_, float d_) : a(a_), b(b_), c(c_), d(d_) {}
};

// Colour as four floats 0..1.
struct ColorValue {
    float r = 0, g = 0, b = 0, a = 0;
    ColorValue() = default;
    ColorValue(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
};

struct Matrix {
    float m[4][4] = {};
    Matrix() = default;
    float& operator()(int r, int c) { return m[r][c]; }
    float operator()(int r, int c) const { return m[r][c]; }
    Matrix operator*(const Matrix& o) const;
    static Matrix Identity();
};

struct Viewport {
    uint32_t x = 0, y = 0, width = 0, height = 0;
    float minZ = 0, maxZ = 1;
};

// Packs 0..255 channels into the 0xAARRGGBB colour word.
constexpr uint32_t ColorArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
ColorValue ColorFromArgb(uint32_t argb);
uint32_t ArgbFromColor(const ColorValue& c);

float Vec3Length(const Vec3& v);
float Vec3LengthSq(const Vec3& v);
float Vec3Dot(const Vec3& a, const Vec3& b);
Vec3 Vec3Cross(const Vec3& a, const Vec3& b);
// A zero vector stays zero.
Vec3 Vec3Normalize(const Vec3& v);
Vec3 Vec3Lerp(const Vec3& a, const Vec3& b, float t);
// (x, y, z, 1) * m, divided by the resulting w.
Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m);
// (x, y, z, 0) * m.
Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m);
// (x, y, z, 1) * m.
Vec4 Vec3Transform(const Vec3& v, const Matrix& m);
Vec4 Vec4Transform(const Vec4& v, const Matrix& m);
float Vec2Length(const Vec2& v);

// Object space to screen: world * view * projection, then the viewport.
Vec3 Vec3Project(const Vec3& v, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world);
// Screen (x, y, depth 0..1) back to object space.
Vec3 Vec3Unproject(const Vec3& v, const Viewport& vp, const Matrix& proj, const Matrix& view, const Matrix& world);

Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
Matrix MatrixTranspose(const Matrix& m);
float MatrixDeterminant(const Matrix& m);
// False for a singular matrix; *out is then left untouched.
bool MatrixInverse(const Matrix& m, Matrix* out, float* determinant = nullptr);
Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixScaling(float x, float y, float z);
// Angles in radians; positive angles turn clockwise when looking along the
// axis toward the origin (the left-handed rule).
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixRotationZ(float angle);
Matrix MatrixRotationAxis(const Vec3& axis, float angle);
// Roll about z, then pitch about x, then yaw about y.
Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
Matrix MatrixRotationQuaternion(const Quaternion& q);
Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up);
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Matrix MatrixOrthoLH(float width, float height, float zNear, float zFar);
Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar);
// scaling * rotation about rotationCenter * translation; null pointers leave the step out.
Matrix MatrixAffineTransformation(float scaling, const Vec3* rotationCenter, const Quaternion* rotation,
                                  const Vec3* translation);

Quaternion QuaternionIdentity();
Quaternion QuaternionRotationAxis(const Vec3& axis, float angle);
Quaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll);
Quaternion QuaternionRotationMatrix(const Matrix& m);
Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b);
Quaternion QuaternionNormalize(const Quaternion& q);
float QuaternionDot(const Quaternion& a, const Quaternion& b);
// Along the shorter arc.
Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t);

Plane PlaneFromPoints(const Vec3& p1, const Vec3& p2, const Vec3& p3);
Plane PlaneFromPointNormal(const Vec3& point, const Vec3& normal);
Plane PlaneNormalize(const Plane& p);
float PlaneDotCoord(const Plane& p, const Vec3& v);
float PlaneDotNormal(const Plane& p, const Vec3& v);
// False when the segment p1..p2 is parallel to the plane.
bool PlaneIntersectLine(const Plane& p, const Vec3& p1, const Vec3& p2, Vec3* out);

// Ray against triangle p0 p1 p2 (both faces). On a hit gives the barycentric
// coordinates u, v (point = p0 + u (p1 - p0) + v (p2 - p0)) and the distance
// along dir in units of dir's length; hits behind the origin do not count.
bool IntersectTri(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& rayPos, const Vec3& rayDir, float* u,
                  float* v, float* dist);

// Centre = the average of the points, radius = the largest distance to it.
// stride is the byte distance between positions; false for no points.
bool ComputeBoundingSphere(const Vec3* first, uint32_t count, uint32_t stride, Vec3* center, float* radius);
bool ComputeBoundingBox(const Vec3* first, uint32_t count, uint32_t stride, Vec3* min, Vec3* max);

}  // namespace platform
