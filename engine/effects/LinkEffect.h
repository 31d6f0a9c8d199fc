// A textured beam between two objects (a drain, a tether, a healing link),
// kept for as long as a skill keeps it. It uses the first layer record of its
// effect resource: two crossed quads stretched from one object's bounds
// centre to the other's, turned toward the target at most ten times a second,
// with the texture animated over the sheet's rows. The ends are named by
// object id and looked up every frame: once an end is gone the beam draws
// nothing and reports that it no longer runs.
#pragma once

#include <cstdint>

#include "engine/effects/EffectInstance.h"

class CSceneObject;

class CLinkEffect : public CEffectInstance {
public:
    // The facing is turned toward the target no more often than this.
    static constexpr float kReaimSeconds = 0.1f;

    explicit CLinkEffect(CEffectManager& manager);

    int Update(float elapsed) override;
    void Draw() override;
    void Stop() override { alive = 0; }
    uint32_t GetParticleCount() const override { return 1; }
    int GetPrimitiveCount() const override { return 2; }
    uint32_t GetKind() const override { return kLink; }

    int32_t sourceId = -1;
    int32_t targetId = -1;
    uint32_t started = 0;
    int32_t sheetFrame = 0;
    float reaimTimer = 0;
    // Horizontal unit direction from the source to the target.
    platform::Vec3 facing;
    uint32_t reaims = 0;

private:
    bool Ends(CSceneObject** source, CSceneObject** target) const;
};
