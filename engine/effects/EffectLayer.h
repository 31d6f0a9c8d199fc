// One emitter of a running effect: it reads its layer record of the effect
// resource, emits particles on the record's schedule (catching up on whole
// intervals missed within one frame), ages them and lets them die, and writes
// them into the manager's shared buffer (billboards) or draws a mesh per
// particle. Positions, sizes and spins are functions of a particle's age.
#pragma once

#include <cstdint>

#include "engine/effects/EffectParticle.h"
#include "platform/Math.h"

struct EffectLayer;
class CEffectManager;

// R(a, b): a when a == b, else a + rand / 32767 x |b - a|; a maximum below the
// minimum gives values above the minimum.
float EffectRandom(float a, float b);

class CEffectLayer {
public:
    static constexpr uint32_t kMaxParticles = 1000;

    CEffectLayer(CEffectManager& manager, EffectLayer& record);
    ~CEffectLayer();
    CEffectLayer(const CEffectLayer&) = delete;
    CEffectLayer& operator=(const CEffectLayer&) = delete;

    // 0 when the layer has finished (stopped with no particle left).
    int Update(const platform::Vec3& instancePosition, const platform::Matrix& parent, float elapsed);
    void Draw(const platform::Matrix& parent);
    // Every particle back to the pool.
    void FreeParticles();

    // The particle's scale, spin and place at its age.
    platform::Matrix ParticleMatrix(const CEffectParticle& p, const platform::Matrix& parent) const;
    // Colour rates, then the fade, over the particle's frame time; alpha stays in 0..1.
    void AdvanceColour(CEffectParticle& p) const;
    // Size swing at age t (start size plus growth, at least 0).
    float SizeAt(const CEffectParticle& p, float t) const;
    uint32_t PrimitiveCount() const;

    const EffectLayer& Record() const { return *m_record; }
    CEffectParticle* Particles() const { return m_head; }

    platform::Matrix emitterRotation = platform::Matrix::Identity();
    uint32_t stopped = 0;
    uint32_t count = 0;
    float age = 0;
    float emissionTimer = 0;
    uint32_t meshKind = 0;
    uint32_t localSpace = 0;
    uint32_t visible = 1;
    uint32_t quad = 0;
    uint32_t firstEmissionDone = 0;

private:
    CEffectParticle* Emit(const platform::Vec3& instancePosition, const platform::Matrix& parent, float scale);
    void DrawBillboards(const platform::Matrix& parent);
    void DrawMeshes(const platform::Matrix& parent);

    CEffectManager* m_manager;
    EffectLayer* m_record;
    CEffectParticle* m_head = nullptr;
};
