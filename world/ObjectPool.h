// One fixed-block pool of a world class (objects, skill and effect instances,
// inventory items, order records): raw storage for one element at a time,
// first in first out, grown a whole block at a time and given back to the
// heap only by Clear. The element size comes with the class that registers
// its constructor; until then the pool holds nothing and hands out nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_set>

#include "engine/core/BlockPool.h"

class CObjectPool {
public:
    CObjectPool() = default;
    CObjectPool(const CObjectPool&) = delete;
    CObjectPool& operator=(const CObjectPool&) = delete;
    ~CObjectPool() = default;

    // The elements of each block (the first block and every later one).
    void SetBlockCount(int32_t count) { m_blockCount = count; }
    int32_t BlockCount() const { return m_blockCount; }
    // The bytes of one element; a change of size starts over with no blocks.
    void SetElementSize(size_t bytes);
    size_t ElementSize() const { return m_elementBytes; }

    // One more block appended to the free list; false without a size or block count.
    bool Grow();
    // Storage for one element, or null when the pool has no size yet.
    void* Alloc() {
        if (!m_pool && !Grow()) return nullptr;
        void* p = m_pool->Take();
        if (p) Taken(p);
        return p;
    }
    // Back to the tail of the free list; null is ignored.
    void Free(void* element) {
        if (!element || !m_pool || !Released(element)) return;
        m_pool->Release(element);
    }
    // Every block back to the heap; elements still in use are not destroyed.
    void Clear();

    size_t BlockTotal() const { return m_pool ? m_pool->ChunkCount() : 0; }
    size_t FreeCount() const { return m_pool ? m_pool->FreeCount() : 0; }
    size_t LiveCount() const { return m_live; }

private:
#ifndef NDEBUG
    void Taken(void* p);
    // False (after the debug check fired) for an element that is not in use.
    bool Released(void* p);
#else
    void Taken(void*) { ++m_live; }
    bool Released(void*) {
        if (m_live) --m_live;
        return true;
    }
#endif

    using Pool = CBlockPool<std::max_align_t>;
    int32_t m_blockCount = -1;
    size_t m_elementBytes = 0;
    std::optional<Pool> m_pool;
    size_t m_live = 0;
#ifndef NDEBUG
    // Debug builds catch a second Free of one element.
    std::unordered_set<void*> m_liveSet;
#endif
};
