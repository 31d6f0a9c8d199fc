#include "screens/lobby/HeroPreviewGlide.h"

#include <algorithm>
#include <cmath>

using platform::Vec3;

namespace {
constexpr float kBackOff = 10.0f;
constexpr float kSideStretch = 1.5f;
constexpr float kRise = 3.0f;
constexpr float kSettleDistance = 0.01f;
}  // namespace

Vec3 CHeroPreviewGlide::Direction(const Vec3& from, const Vec3& to) {
    const Vec3 d = to - from;
    const float length = platform::Vec3Length(d);
    if (!(length > 1e-6f) || !std::isfinite(length)) return Vec3{0, 0, 1.0f};
    return Vec3{d.x / length, d.y / length, d.z / length};
}

void CHeroPreviewGlide::Start(const Vec3& goalEye, const Vec3& goalTarget) {
    m_goalEye = goalEye;
    m_goalTarget = goalTarget;
    const Vec3 v = Direction(m_eye, goalEye);
    m_eye = Vec3{kSideStretch * (goalEye.x - kBackOff * v.x), kRise * std::fabs(goalEye.y - kBackOff * v.y),
                 goalEye.z - kBackOff * v.z};
    const Vec3 w = Direction(m_target, goalTarget);
    m_target = Vec3{kSideStretch * (goalTarget.x - kBackOff * w.x), m_eye.y + kBackOff, goalTarget.z - kBackOff * w.z};
    m_settled = false;
}

void CHeroPreviewGlide::Step(float dt) {
    if (m_settled) return;
    const float f = std::clamp(dt, 0.0f, 1.0f);
    const Vec3 toEye = m_goalEye - m_eye;
    if (platform::Vec3Length(toEye) >= kSettleDistance) {
        m_eye = Vec3{m_eye.x + toEye.x * f, m_eye.y + toEye.y * f, m_eye.z + toEye.z * f};
    } else {
        m_eye = m_goalEye;
        m_settled = true;
    }
    const Vec3 toTarget = m_goalTarget - m_target;
    m_target = Vec3{m_target.x + toTarget.x * f, m_target.y + toTarget.y * f, m_target.z + toTarget.z * f};
}
