// The small animated models that answer a right click on the ground: move,
// attack and the patrol flag (twice), and a fifth without a model. One plays
// at a time; it stays on the ground and goes once its animation has run.
#pragma once

#include <array>
#include <memory>

#include "platform/Math.h"

class CGameObject;
class IWorldGround;

class CClickMarkers {
public:
    static constexpr int kCount = 5;
    enum Marker { MOVE = 0, ATTACK = 1, FLAG = 2 };

    CClickMarkers();
    ~CClickMarkers();
    CClickMarkers(const CClickMarkers&) = delete;
    CClickMarkers& operator=(const CClickMarkers&) = delete;

    // The objects, with the play resources' models where they are loaded (a
    // marker without one shows nothing). Again: the old ones go first.
    void Init();
    // Plays the marker at the point on the ground; an index out of range, or
    // a marker without a model, plays nothing.
    void Show(int index, const platform::Vec3& point, IWorldGround* ground);
    // Keeps the playing marker on the ground and advances it; a finished one stops.
    void Update(float dt, IWorldGround* ground);
    // The playing marker, or null.
    CGameObject* Active() const { return m_active; }
    CGameObject* Marker(int index) const;

private:
    std::array<std::unique_ptr<CGameObject>, kCount> m_markers;
    CGameObject* m_active = nullptr;
    bool m_animated = false;
};
