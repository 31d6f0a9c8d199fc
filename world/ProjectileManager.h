// The shots of a match: launched from a block pool, updated every frame and
// given back to the pool when they end. The play screen owns it.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "engine/core/BlockPool.h"
#include "world/Projectile.h"

class CProjectileManager {
public:
    static constexpr size_t kBlocksPerChunk = 100;

    CProjectileManager();
    virtual ~CProjectileManager();
    CProjectileManager(const CProjectileManager&) = delete;
    CProjectileManager& operator=(const CProjectileManager&) = delete;

    // A shot from the shooter (null: nothing) at a target object or a point;
    // casterIndex -1 for a plain attack. Null when no block could be had.
    CProjectile* Launch(CWorldObject* shooter, const VisualRef* shootInfo, CWorldObject* target,
                        const platform::Vec3& point, int32_t casterIndex, int32_t effectSlot);
    void Update(float elapsed);
    // Every shot removed and destroyed.
    void Clear();
    // Every chunk back to the heap (after Clear).
    void DestroyPool();

    const std::list<CProjectile*>& Live() const { return m_live; }
    size_t FreeBlocks() const { return m_pool ? m_pool->FreeCount() : 0; }

private:
    void Remove(CProjectile* projectile);

    std::unique_ptr<CBlockPool<CProjectile>> m_pool;
    std::list<CProjectile*> m_live;
};

extern CProjectileManager* g_pProjectileManager;
