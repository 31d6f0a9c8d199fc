#include "engine/effects/EffectManager.h"

#include "engine/resource/Resource.h"
#include "engine/resource/ResourceManager.h"

CEffectManager* g_pEffectManager = nullptr;

CEffectManager::CEffectManager() {
    if (!g_pEffectManager) g_pEffectManager = this;
    m_queue.reserve(100);
}

CEffectManager::~CEffectManager() {
    if (g_pEffectManager == this) g_pEffectManager = nullptr;
}

CEffectInstance* CEffectManager::CreateEffect(const platform::Vec3& position, CResource* resource,
                                              const platform::Matrix* owner, int32_t boneIndex,
                                              const platform::Matrix& offset, uint32_t group, int keepOffset) {
    CEffectInstance* instance = nullptr;
    if (!m_freeInstances.empty()) {
        instance = m_freeInstances.front();
        m_freeInstances.pop_front();
    } else {
        m_instances.push_back(std::make_unique<CEffectInstance>());
        instance = m_instances.back().get();
    }
    instance->duration = layerDuration;
    instance->Init(position, resource, owner, boneIndex, offset, group, keepOffset);
    ++m_live;
    return instance;
}

CLinkEffect* CEffectManager::CreateLinkEffect(void* source, void* target, CResource* resource, uint32_t group) {
    CLinkEffect* link = nullptr;
    if (!m_freeLinks.empty()) {
        link = m_freeLinks.front();
        m_freeLinks.pop_front();
    } else {
        m_links.push_back(std::make_unique<CLinkEffect>());
        link = m_links.back().get();
    }
    link->duration = layerDuration;
    link->Init(platform::Vec3(), resource, nullptr, -1, platform::Matrix::Identity(), group, 0);
    link->source = source;
    link->target = target;
    ++m_live;
    return link;
}

void CEffectManager::ReleaseEffect(CEffectInstance* instance) {
    if (!instance) return;
    if (instance->resource && g_pResourceManager) g_pResourceManager->ReleaseResource(instance->resource);
    instance->resource = nullptr;
    instance->alive = 0;
    if (instance->Kind() == CEffectInstance::kPlain)
        m_freeInstances.push_back(instance);
    else
        m_freeLinks.push_back(static_cast<CLinkEffect*>(instance));
    if (m_live) --m_live;
}

void CEffectManager::DrawEffects(uint32_t group) {
    if (effectsEnabled)
        for (CEffectInstance* instance : m_queue)
            if (instance->group == group) instance->Draw();
    m_queue.clear();
}
