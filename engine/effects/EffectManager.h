// The owner of every running visual effect. It hands out effect instances and
// link effects from block pools that never shrink (a freed block is handed
// out again only after every block freed before it), owns the shared dynamic
// vertex buffer that every billboard layer writes into and the static index
// buffer of its quads, keeps the frame's draw queue and runs the one draw
// pass per group with the states all effects share. Particles and layers come
// from pools of their own, so steady play allocates nothing per effect.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/BlockPool.h"
#include "engine/effects/EffectInstance.h"
#include "engine/effects/EffectLayer.h"
#include "engine/effects/EffectParticle.h"
#include "engine/effects/LinkEffect.h"
#include "platform/Math.h"

class CCamera;
class CGameObject;
namespace platform {
class CGfxVertexBuffer;
class CGfxIndexBuffer;
}  // namespace platform

class CEffectManager {
public:
    static constexpr uint32_t kVertexStride = 24;
    static constexpr uint32_t kFvf = 0x142;  // position, diffuse colour, one texture coordinate pair
    static constexpr uint32_t kVertexBytes = 96000;
    static constexpr uint32_t kQuads = 1000;
    static constexpr uint32_t kIndexBytes = kQuads * 6 * 2;

    CEffectManager();
    virtual ~CEffectManager();
    CEffectManager(const CEffectManager&) = delete;
    CEffectManager& operator=(const CEffectManager&) = delete;

    // The two shared buffers on the current device; 0 when either fails.
    int CreateDeviceObjects();
    void DeleteDeviceObjects();
    // The live count starts from zero once the window exists.
    void ClearCounter() { m_live = 0; }

    // The resource's reference passes to the instance (the caller raises it).
    // With an owner the instance follows the owner's world matrix; without one
    // it follows its own matrix, which the owning object places each frame.
    CEffectInstance* CreateEffect(const platform::Vec3& position, CResource* resource, CGameObject* owner,
                                  int32_t boneIndex, const platform::Matrix& offset, uint32_t group, int keepOffset);
    // A beam between two objects named by id; the resource's reference passes as above.
    CLinkEffect* CreateLinkEffect(int32_t sourceId, int32_t targetId, CResource* resource, uint32_t group);
    // Null is ignored. Back to the pool of its kind; the live count drops by one.
    void ReleaseEffect(CEffectInstance* instance);
    void QueueForDraw(CEffectInstance* instance) {
        if (instance) m_queue.push_back(instance);
    }
    // Draws the queued instances of a group; the queue is emptied either way.
    void DrawEffects(uint32_t group);
    void DrawLayerPrimitives(uint32_t quad, uint32_t count);
    void SetBlendModes(uint32_t source, uint32_t destination);
    // The effect of an attachment slot of the object's model (slots 1 and 3
    // also the next slot's), appended to the object's effects. Does nothing
    // when *out1 already holds an instance; the out pointers receive only
    // endless effects, which the caller stops later. Each instance takes its
    // own reference on the resource.
    void AttachEffectsToUnit(CGameObject* object, int slot, CResource* resource, CEffectInstance** out1,
                             CEffectInstance** out2);

    // The selection marker under a unit: it follows the unit, which holds it
    // among its effects. The resource's reference is the caller's to raise.
    CEffectInstance* CreateMarkerEffect(CResource* resource, CGameObject* unit);

    // Billboard particles turn with this camera (the registry's first when null).
    void SetCamera(CCamera* camera) { m_camera = camera; }
    const platform::Matrix& BillboardMatrix(uint32_t kind);

    uint32_t LiveCount() const { return m_live; }
    const std::vector<CEffectInstance*>& Queue() const { return m_queue; }
    platform::CGfxVertexBuffer* VertexBuffer() const { return m_vertices; }
    platform::CGfxIndexBuffer* IndexBuffer() const { return m_indices; }
    CBlockPool<CEffectParticle>& ParticlePool() { return m_particles; }
    CBlockPool<CEffectLayer>& LayerPool() { return m_layers; }
    size_t FreeInstances() const { return m_instances.FreeCount(); }
    size_t FreeLinks() const { return m_links.FreeCount(); }
    const CBlockPool<CEffectInstance>& InstancePool() const { return m_instances; }
    // Scratch bone palette of animated mesh particles.
    std::vector<platform::Matrix>& Palette() { return m_palette; }

    uint32_t effectsEnabled = 1;
    // 0 richest .. 2 plainest: picks the option group of every effect resource.
    uint32_t qualityGrade = 0;

private:
    CBlockPool<CEffectParticle> m_particles{1000};
    CBlockPool<CEffectLayer> m_layers{500};
    CBlockPool<CEffectInstance> m_instances{100};
    CBlockPool<CLinkEffect> m_links{20};
    platform::CGfxVertexBuffer* m_vertices = nullptr;
    platform::CGfxIndexBuffer* m_indices = nullptr;
    std::vector<CEffectInstance*> m_queue;
    uint32_t m_live = 0;
    platform::Matrix m_identity = platform::Matrix::Identity();
    CCamera* m_camera = nullptr;
    std::vector<platform::Matrix> m_palette;
};

extern CEffectManager* g_pEffectManager;
