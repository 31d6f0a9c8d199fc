// The point sources that shake the play camera: each jumps the eye and the
// look-at point by an offset that shrinks from its strength at the source to
// nothing at the edge of its range, on one frame, and takes it back on the
// next, until its time runs out.
#pragma once

#include <cstdint>
#include <list>

#include "engine/core/BlockPool.h"
#include "platform/Math.h"

class CCamera;

class CMovingPointList {
public:
    struct Source {
        platform::Vec3 position;
        float timeLeft = 0;
        float range = 0;
        float strength = 0;
        float appliedOffset = 0;
        uint32_t applyNext = 0;
        // The offset now on the camera (0 when none), taken back before the source goes.
        float onCamera = 0;
    };

    CMovingPointList();
    ~CMovingPointList();
    CMovingPointList(const CMovingPointList&) = delete;
    CMovingPointList& operator=(const CMovingPointList&) = delete;

    // Ignored unless time, range and strength are all above 0.
    void Add(const platform::Vec3& position, float timeLeft, float range, float strength);
    void Update(CCamera& camera, float elapsed);
    // Sources go; with a camera, an offset still applied is taken back first.
    void Clear(CCamera* camera = nullptr);
    size_t Count() const { return m_sources.size(); }
    const std::list<Source*>& Sources() const { return m_sources; }

private:
    void Release(Source* source, CCamera* camera);

    CBlockPool<Source> m_pool;
    std::list<Source*> m_sources;
};
