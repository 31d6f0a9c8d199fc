#include "engine/effects/RibbonTrail.h"

#include <algorithm>
#include <cstring>

#include "engine/render/DeviceStates.h"
#include "engine/render/GameObject.h"
#include "engine/render/RenderStateCache.h"
#include "platform/GfxDevice.h"

using namespace platform;

namespace {

Vec3 SamplePoint(const TrailPoint& s, size_t offset) {
    float v[3];
    std::memcpy(v, s.data() + offset, 12);
    return {v[0], v[1], v[2]};
}

float SampleTime(const TrailPoint& s) {
    float t;
    std::memcpy(&t, s.data() + 24, 4);
    return t;
}

bool Same(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

const std::vector<uint8_t> kNoVertices;

}  // namespace

void CRibbonTrail::Setup(CGameObject* trailOwner, int32_t firstPoint, int32_t secondPoint) {
    owner = trailOwner;
    points[0] = firstPoint;
    points[1] = secondPoint;
    matrix = Matrix::Identity();
    m_buffer = std::make_unique<CTrailBuffer>(GetDevice());
    m_buffer->Setup(kVertices, 0, kVertices, kStride, kFvf);
    m_segments = {};
    RebuildVertices();
    ready = 1;
}

const std::vector<uint8_t>& CRibbonTrail::Vertices() const { return m_buffer ? m_buffer->Vertices() : kNoVertices; }

void CRibbonTrail::SetStyle(uint32_t on, const uint32_t values[4]) {
    active = on;
    for (int i = 0; i < 3; ++i) colour[i] = BitsFloat(values[i]);
    alpha = BitsFloat(values[3]);
}

void CRibbonTrail::ClearSegments() { m_segments = {}; }

void CRibbonTrail::Update(const Matrix& ownerMatrix, const std::vector<TrailPoint>* samples, float time) {
    uint32_t k = 0;
    if (samples)
        while (k < samples->size() && SampleTime((*samples)[k]) < time) ++k;
    int64_t n = static_cast<int64_t>(k) - consumed;
    if (n < 0) {
        // The animation started over.
        consumed = 0;
        ClearSegments();
        n = 0;
    }
    if (n == 0) {
        std::copy(m_segments.begin() + 1, m_segments.end(), m_segments.begin());
    } else {
        const uint32_t shift = static_cast<uint32_t>(std::min<int64_t>(n, kSegments));
        std::copy(m_segments.begin() + shift, m_segments.end(), m_segments.begin());
        for (uint32_t i = 0; i < shift; ++i) {
            const TrailPoint& s = (*samples)[k - shift + i];
            Segment& seg = m_segments[kSegments - shift + i];
            seg.a = Vec3TransformCoord(SamplePoint(s, 0), ownerMatrix);
            seg.b = Vec3TransformCoord(SamplePoint(s, 12), ownerMatrix);
        }
        consumed = k;
    }
    RebuildVertices();
}

void CRibbonTrail::RebuildVertices() {
    if (!m_buffer) return;
    uint32_t first = kSegments - 1;
    for (uint32_t i = 0; i + 1 < kSegments; ++i) {
        const Vec3& a = m_segments[i].a;
        if (!Same(a, Vec3()) && !Same(a, m_segments[i + 1].a)) {
            first = i;
            break;
        }
    }
    uint8_t* out = m_buffer->Vertices().data();
    for (uint32_t i = 0; i < kSegments; ++i) {
        const float a = i < first ? 0.0f : alpha * static_cast<float>(i - first + 1) / static_cast<float>(kSegments - first);
        const uint32_t argb = ArgbFromColor(ColorValue(colour[0], colour[1], colour[2], a));
        for (const Vec3* p : {&m_segments[i].a, &m_segments[i].b}) {
            const float xyz[3] = {p->x, p->y, p->z};
            std::memcpy(out, xyz, 12);
            std::memcpy(out + 12, &argb, 4);
            out += kStride;
        }
    }
}

void CRibbonTrail::Draw() {
    CGfxDevice* device = GetDevice();
    if (!device || !owner || !owner->IsVisible() || !ready || !m_buffer) return;
    device->SetTransform(TS_WORLD, &matrix);
    SetFvfCached(*device, kFvf);
    device->SetTexture(0, nullptr);
    device->DrawPrimitiveUP(PT_TRIANGLESTRIP, kPrimitives, m_buffer->Vertices().data(), kStride);
}

void CRibbonTrail::ReleaseBuffer() {
    if (m_buffer) m_buffer->ReleaseBuffers();
}
