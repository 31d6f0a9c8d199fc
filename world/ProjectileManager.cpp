#include "world/ProjectileManager.h"

#include "world/SpatialTree.h"

CProjectileManager* g_pProjectileManager = nullptr;

CProjectileManager::CProjectileManager() : m_pool(std::make_unique<CBlockPool<CProjectile>>(kBlocksPerChunk)) {
    if (!g_pProjectileManager) g_pProjectileManager = this;
    m_pool->Grow();
}

CProjectileManager::~CProjectileManager() {
    Clear();
    if (g_pProjectileManager == this) g_pProjectileManager = nullptr;
}

CProjectile* CProjectileManager::Launch(CWorldObject* shooter, const VisualRef* shootInfo, CWorldObject* target,
                                        const platform::Vec3& point, int32_t casterIndex, int32_t effectSlot) {
    if (!shooter) return nullptr;
    if (!m_pool) m_pool = std::make_unique<CBlockPool<CProjectile>>(kBlocksPerChunk);
    CProjectile* p = m_pool->Construct();
    if (!p) return nullptr;
    p->Setup(shooter, shootInfo, target, point, casterIndex, effectSlot);
    if (g_pSpatialTree) g_pSpatialTree->Insert(p);
    m_live.push_back(p);
    return p;
}

void CProjectileManager::Remove(CProjectile* p) {
    if (g_pSpatialTree && p->treeLeaves[0] >= 0) g_pSpatialTree->Remove(p);
    m_pool->Destroy(p);
}

void CProjectileManager::Update(float elapsed) {
    for (auto it = m_live.begin(); it != m_live.end();) {
        if ((*it)->Update(elapsed) == 0) {
            Remove(*it);
            it = m_live.erase(it);
        } else {
            ++it;
        }
    }
}

void CProjectileManager::Clear() {
    for (CProjectile* p : m_live) Remove(p);
    m_live.clear();
}

void CProjectileManager::DestroyPool() {
    Clear();
    m_pool.reset();
}
