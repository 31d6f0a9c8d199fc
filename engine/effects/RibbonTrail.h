// The coloured band a weapon swing or a fast limb leaves behind: a strip of
// quads between two attach points of a model, remembered over the last 100
// moments of its animation. The owner hands it its world matrix and the
// action's recorded attach-point samples every frame; the band fades in from
// its oldest live segment to the newest.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/ModelResource.h"
#include "engine/render/TrailBuffer.h"
#include "platform/Math.h"

class CGameObject;

class CRibbonTrail {
public:
    static constexpr uint32_t kSegments = 100;
    static constexpr uint32_t kVertices = 2 * kSegments;
    static constexpr uint32_t kStride = 16;   // position, diffuse colour
    static constexpr uint32_t kFvf = 0x42;
    static constexpr uint32_t kPrimitives = kVertices - 2;

    struct Segment {
        platform::Vec3 a, b;
    };

    CRibbonTrail() = default;
    virtual ~CRibbonTrail() = default;
    CRibbonTrail(const CRibbonTrail&) = delete;
    CRibbonTrail& operator=(const CRibbonTrail&) = delete;

    void Setup(CGameObject* owner, int32_t firstPoint, int32_t secondPoint);
    // The action's switch and its four trail values, read as floats r, g, b, alpha.
    void SetStyle(uint32_t on, const uint32_t values[4]);
    // samples: 28-byte records (point A, point B, time), in time order.
    void Update(const platform::Matrix& ownerMatrix, const std::vector<TrailPoint>* samples, float time);
    // Only while the owner shows.
    void Draw();
    void ClearSegments();
    // The band draws from memory; a device buffer the holder made goes with the device.
    void ReleaseBuffer();

    const std::array<Segment, kSegments>& Segments() const { return m_segments; }
    const std::vector<uint8_t>& Vertices() const;

    CGameObject* owner = nullptr;
    int32_t points[2] = {-1, -1};
    uint32_t ready = 0;
    uint32_t active = 0;
    uint32_t consumed = 0;
    float colour[3] = {0, 0, 0};
    float alpha = 0;
    platform::Matrix matrix = platform::Matrix::Identity();

private:
    void RebuildVertices();

    std::array<Segment, kSegments> m_segments{};
    std::unique_ptr<CTrailBuffer> m_buffer;
};
