// The owner of every running visual effect: hands instances out from pools
// that never shrink (a freed instance is handed out again only after every
// one freed before it), takes them back by kind, and draws the instances
// their owners queued for this frame in one pass.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "engine/effects/EffectInstance.h"

class CEffectManager {
public:
    CEffectManager();
    ~CEffectManager();
    CEffectManager(const CEffectManager&) = delete;
    CEffectManager& operator=(const CEffectManager&) = delete;

    // The effect resource's reference is the caller's to raise.
    CEffectInstance* CreateEffect(const platform::Vec3& position, CResource* resource, const platform::Matrix* owner,
                                  int32_t boneIndex, const platform::Matrix& offset, uint32_t group, int keepOffset);
    CLinkEffect* CreateLinkEffect(void* source, void* target, CResource* resource, uint32_t group);
    // Null is ignored. The instance's effect resource reference goes back.
    void ReleaseEffect(CEffectInstance* instance);
    void QueueForDraw(CEffectInstance* instance) { m_queue.push_back(instance); }
    // Draws the queued instances of a group; the queue is emptied either way.
    void DrawEffects(uint32_t group);

    uint32_t LiveCount() const { return m_live; }
    size_t FreeInstances() const { return m_freeInstances.size(); }
    size_t FreeLinks() const { return m_freeLinks.size(); }
    const std::vector<CEffectInstance*>& Queue() const { return m_queue; }

    uint32_t effectsEnabled = 1;
    // Given to each new instance (its first layer's emission time).
    float layerDuration = 0;

private:
    std::vector<std::unique_ptr<CEffectInstance>> m_instances;
    std::vector<std::unique_ptr<CLinkEffect>> m_links;
    std::deque<CEffectInstance*> m_freeInstances;
    std::deque<CLinkEffect*> m_freeLinks;
    std::vector<CEffectInstance*> m_queue;
    uint32_t m_live = 0;
};

extern CEffectManager* g_pEffectManager;
