// A shot in flight: the model of the shooter's shot description flying from
// the shooter toward a target object or a point. It steers toward its aim
// with a gain that grows over the flight, gives up a target that runs too far
// away, and on arrival applies the hit, shows the impact effect and, for a
// chain, flies on to the next target. Under the fog of war it is hidden. The
// shooter stays alive through a reference for the whole flight.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/GameObject.h"
#include "platform/Math.h"

struct VisualRef;
class CWorldObject;

class CProjectile : public CGameObject {
public:
    // Flags set at construction (kept from the shot's scene object).
    static constexpr uint32_t kConstructionFlags = 0x8 | 0x400;
    // The target's stealth bit in its state flags: a stealthed target is not homed on.
    static constexpr uint32_t kStealthBit = 0x80;
    // A target farther than this and the give-up distance is given up.
    static constexpr float kGiveUpFloor = 150.0f;
    static constexpr float kPointHitRadius = 2.0f;

    CProjectile();
    ~CProjectile() override;

    // Places the shot and aims it. A shot of speed 0 or less, or one with no
    // way to go across the ground, hits at once.
    void Setup(CWorldObject* shooter, const VisualRef* shootInfo, CWorldObject* target, const platform::Vec3& point,
               int32_t casterIndex, int32_t effectSlot);
    // 0 once the shot has ended and its effects have run out.
    int Update(float dt) override;
    void ReleaseShooter();

    // The steering gain at a flight time: 0.01 early, 0.05 from 0.4 of the
    // estimate, 1.0 at exactly 0.4 and from the estimate on.
    static float SteeringGain(float flightTime, float flightEstimate);
    bool Finished() const { return (flags & SO_FROZEN) != 0; }
    float Speed() const { return m_speed; }

    platform::Vec3 targetPoint;
    const VisualRef* shootInfo = nullptr;
    CWorldObject* shooter = nullptr;
    int32_t targetId = -1;
    float giveUpDistance = 0;
    float flightTime = 0;
    float flightEstimate = 0;
    int32_t casterIndex = -1;
    int32_t effectSlot = 0;
    // Further targets, taken from the back, one per hit.
    std::vector<int32_t> chainTargets;

private:
    // What happens where the shot arrives: the hit, the chain, the impact effect.
    void Arrive(CWorldObject* target);
    void ApplyHit(CWorldObject* target);
    void PlayShootSound();

public:
    // Faces the (normalised) direction.
    void TurnTo(const platform::Vec3& direction);

private:
    void MoveTo(const platform::Vec3& to);
    void UpdateFog();

    float m_speed = 0;
};
