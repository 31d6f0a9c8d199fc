#include "engine/render/Draw2D.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/render/DeviceStates.h"

using namespace platform;

namespace {

struct QuadVertex {
    float x, y, z, rhw;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 28, "screen vertices are 28 bytes");

constexpr uint32_t kLineFvf = 0x42;
constexpr uint32_t kQuadFvf = 0x144;
constexpr uint32_t kLineVertices = 31;
constexpr uint32_t kQuadVertices = 5;

CGfxDevice* g_device = nullptr;
CGfxVertexBuffer* g_lineBuffer = nullptr;
CGfxVertexBuffer* g_quadBuffer = nullptr;

// The 12 triangles of a box as corner indices.
constexpr int kBoxTriangles[12][3] = {{7, 6, 3}, {6, 2, 3}, {6, 5, 2}, {5, 1, 2}, {4, 5, 7}, {5, 6, 7},
                                      {5, 4, 0}, {5, 0, 1}, {4, 7, 3}, {4, 3, 0}, {0, 3, 1}, {2, 1, 3}};

// Fills `count` corners (with the first again when count is 5) and binds the buffer.
bool FillQuad(const GfxRect& rect, uint32_t argb, uint32_t count) {
    if (!g_device || !g_quadBuffer) return false;
    void* data = nullptr;
    if (g_quadBuffer->Lock(0, 0, &data, 0) != GFX_OK || !data) return false;
    const float l = static_cast<float>(rect.left) - 0.5f, t = static_cast<float>(rect.top) - 0.5f;
    const float r = static_cast<float>(rect.right) - 0.5f, b = static_cast<float>(rect.bottom) - 0.5f;
    QuadVertex v[kQuadVertices];
    if (count == 4) {
        v[0] = {l, t, 0, 1, argb, 0, 0};
        v[1] = {r, t, 0, 1, argb, 1, 0};
        v[2] = {l, b, 0, 1, argb, 0, 1};
        v[3] = {r, b, 0, 1, argb, 1, 1};
    } else {
        v[0] = {l, t, 0, 1, argb, 0, 0};
        v[1] = {r, t, 0, 1, argb, 1, 0};
        v[2] = {r, b, 0, 1, argb, 1, 1};
        v[3] = {l, b, 0, 1, argb, 0, 1};
        v[4] = v[0];
    }
    std::memcpy(data, v, sizeof(QuadVertex) * count);
    g_quadBuffer->Unlock();
    return true;
}

void Draw(uint32_t type, uint32_t primitives, bool resetStates) {
    if (resetStates) {
        SetRenderStateCached(*g_device, RS_ZENABLE, 0);
        SetRenderStateCached(*g_device, RS_LIGHTING, 0);
    }
    uint32_t fvf = 0;
    g_device->GetFVF(&fvf);
    if (fvf != kQuadFvf) g_device->SetFVF(kQuadFvf);
    g_device->SetStreamSource(0, g_quadBuffer, 0, sizeof(QuadVertex));
    g_device->DrawPrimitive(type, 0, primitives);
    if (resetStates) {
        SetRenderStateCached(*g_device, RS_ZENABLE, 1);
        SetRenderStateCached(*g_device, RS_LIGHTING, 1);
    }
}

Vec2 Project2(const Viewport& vp, const Matrix& view, const Matrix& proj, const Vec3& p) {
    Vec3 s = Vec3Project(p, vp, proj, view, Matrix::Identity());
    return {s.x, s.y};
}

}  // namespace

bool CreateDraw2DBuffers(CGfxDevice* device) {
    ReleaseDraw2DBuffers();
    if (!device) return false;
    g_device = device;
    if (device->CreateVertexBuffer(kLineVertices * 16, 0, kLineFvf, POOL_MANAGED, &g_lineBuffer) != GFX_OK ||
        device->CreateVertexBuffer(kQuadVertices * sizeof(QuadVertex), 0, kQuadFvf, POOL_MANAGED, &g_quadBuffer) !=
            GFX_OK) {
        ReleaseDraw2DBuffers();
        return false;
    }
    return true;
}

void ReleaseDraw2DBuffers() {
    if (g_lineBuffer) g_lineBuffer->Release();
    if (g_quadBuffer) g_quadBuffer->Release();
    g_lineBuffer = g_quadBuffer = nullptr;
    g_device = nullptr;
}

void DrawScreenQuad(const GfxRect& rect, uint32_t argb, bool resetStates) {
    if (!FillQuad(rect, argb, 4)) return;
    Draw(PT_TRIANGLESTRIP, 2, resetStates);
}

void DrawScreenRectOutline(const GfxRect& rect, uint32_t argb, bool resetStates) {
    if (!FillQuad(rect, argb, 5)) return;
    if (g_device->GetTexture(0)) g_device->SetTexture(0, nullptr);
    Draw(PT_LINESTRIP, 4, resetStates);
}

bool RayHitTriangle(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& origin, const Vec3& direction,
                    float* nearest, Vec3* hitPoint, Vec2* barycentric) {
    Vec3 e1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z}, e2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
    // Left-handed, clockwise front faces: the front normal is e1 x e2.
    if (Vec3Dot(Vec3Cross(e1, e2), direction) > 0.0f) return false;
    float u = 0, v = 0, dist = 0;
    if (!IntersectTri(p0, p1, p2, origin, direction, &u, &v, &dist)) return false;
    if (dist >= *nearest) return false;
    *nearest = dist;
    if (hitPoint)
        *hitPoint = {origin.x + dist * direction.x, origin.y + dist * direction.y, origin.z + dist * direction.z};
    if (barycentric) *barycentric = {u, v};
    return true;
}

bool RayHitBox(const Vec3 box[8], const Vec3& origin, const Vec3& direction, float* nearest) {
    for (const auto& t : kBoxTriangles)
        if (RayHitTriangle(box[t[0]], box[t[1]], box[t[2]], origin, direction, nearest, nullptr, nullptr)) return true;
    return false;
}

bool PointNearSegment(const Vec3& a, const Vec3& b, const Vec3& p, float radius) {
    Vec3 d{b.x - a.x, b.y - a.y, b.z - a.z}, w{p.x - a.x, p.y - a.y, p.z - a.z};
    const float length = Vec3Length(d);
    if (length == 0.0f) return Vec3Length(w) <= radius;
    const float distance = Vec3Length(Vec3Cross(d, w)) / length;
    return distance <= radius && Vec3Length(w) - distance < length;
}

bool SphereInFrustum(const Plane planes[6], const Vec3& c, float radius, bool withNearFar) {
    for (int i = withNearFar ? 0 : 2; i < 6; ++i)
        if (PlaneDotCoord(planes[i], c) <= -radius) return false;
    return true;
}

bool IsBoxInFrustum(const Plane planes[6], const Vec3 box[8], bool withNearFar) {
    for (int i = withNearFar ? 0 : 2; i < 6; ++i) {
        int behind = 0;
        for (int k = 0; k < 8; ++k)
            if (PlaneDotCoord(planes[i], box[k]) <= 0.0f) ++behind;
        if (behind == 8) return false;
    }
    return true;
}

void ProjectBoxToScreenRect(const Viewport& viewport, const Matrix& view, const Matrix& projection, const Vec3& centre,
                            const Vec3 box[8], int32_t outMin[2], int32_t outMax[2]) {
    outMin[0] = outMin[1] = 10000;
    outMax[0] = outMax[1] = -10000;
    Vec2 c = Project2(viewport, view, projection, centre);
    outMin[0] = outMax[0] = static_cast<int32_t>(c.x);
    outMin[1] = outMax[1] = static_cast<int32_t>(c.y);
    auto halfLength = [&](int i, int j) {
        Vec2 a = Project2(viewport, view, projection, box[i]), b = Project2(viewport, view, projection, box[j]);
        return Vec2Length({b.x - a.x, b.y - a.y}) * 0.5f;
    };
    const int32_t margin = static_cast<int32_t>(std::max(halfLength(0, 6), halfLength(1, 7)));
    outMin[0] -= margin;
    outMin[1] -= margin;
    outMax[0] += margin;
    outMax[1] += margin;
}

void ProjectBoundsToScreen(const Viewport& viewport, const Matrix& view, const Matrix& projection, const Vec3& minimum,
                           const Vec3& maximum, int32_t outPoints[4]) {
    Vec2 a = Project2(viewport, view, projection, minimum), b = Project2(viewport, view, projection, maximum);
    outPoints[0] = static_cast<int32_t>(a.x);
    outPoints[1] = static_cast<int32_t>(a.y);
    outPoints[2] = static_cast<int32_t>(b.x);
    outPoints[3] = static_cast<int32_t>(b.y);
}

Matrix ExtractRotationMatrix(const Matrix& m, float scale) {
    float s = scale != 0.0f ? scale : Vec3Length({m(0, 0), m(0, 1), m(0, 2)});
    Matrix out = m;
    if (s != 0.0f) out = MatrixMultiply(MatrixScaling(1.0f / s, 1.0f / s, 1.0f / s), m);
    out(3, 0) = out(3, 1) = out(3, 2) = 0.0f;
    return out;
}

ColorValue ArgbToColorValue(uint32_t argb) { return ColorFromArgb(argb); }
