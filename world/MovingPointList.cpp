#include "world/MovingPointList.h"

#include "engine/render/Camera.h"

namespace {

void Shift(CCamera& camera, float offset) {
    platform::Vec3 d{offset, offset, offset};
    camera.eye += d;
    camera.target += d;
}

}  // namespace

CMovingPointList::CMovingPointList() : m_pool(5) { m_pool.Grow(); }

CMovingPointList::~CMovingPointList() { Clear(); }

void CMovingPointList::Add(const platform::Vec3& position, float timeLeft, float range, float strength) {
    if (!(timeLeft > 0.0f && range > 0.0f && strength > 0.0f)) return;
    Source* s = m_pool.Construct();
    if (!s) return;
    s->position = position;
    s->timeLeft = timeLeft;
    s->range = range;
    s->strength = strength;
    s->appliedOffset = strength;
    s->applyNext = 1;
    m_sources.push_back(s);
}

void CMovingPointList::Release(Source* s, CCamera* camera) {
    // A source that goes right after its jump would leave the camera displaced.
    if (camera && s->onCamera != 0.0f) Shift(*camera, -s->onCamera);
    m_pool.Destroy(s);
}

void CMovingPointList::Update(CCamera& camera, float elapsed) {
    for (auto it = m_sources.begin(); it != m_sources.end();) {
        Source* s = *it;
        if (s->timeLeft <= 0.0f) {
            Release(s, &camera);
            it = m_sources.erase(it);
            continue;
        }
        float d = platform::Vec3Length(camera.target - s->position);
        if (d <= s->range) {
            if (s->applyNext == 1) {
                float offset = (s->range - d) / s->range * s->strength;
                s->appliedOffset = offset;
                Shift(camera, offset);
                s->onCamera = offset;
                s->applyNext = 0;
            } else {
                Shift(camera, -s->appliedOffset);
                s->onCamera = 0;
                s->applyNext = 1;
            }
        }
        s->timeLeft -= elapsed;
        ++it;
    }
}

void CMovingPointList::Clear(CCamera* camera) {
    for (Source* s : m_sources) Release(s, camera);
    m_sources.clear();
}
