#include "world/ObjectPool.h"

#include <cassert>

void CObjectPool::SetElementSize(size_t bytes) {
    if (bytes == m_elementBytes && m_pool) return;
    Clear();
    m_elementBytes = bytes;
}

bool CObjectPool::Grow() {
    if (m_blockCount <= 0 || m_elementBytes == 0) return false;
    if (!m_pool) m_pool.emplace(static_cast<size_t>(m_blockCount), m_elementBytes);
    return m_pool->Grow();
}

void* CObjectPool::Alloc() {
    if (!m_pool && !Grow()) return nullptr;
    void* p = m_pool->Take();
    if (!p) return nullptr;
    ++m_live;
#ifndef NDEBUG
    m_liveSet.insert(p);
#endif
    return p;
}

void CObjectPool::Free(void* element) {
    if (!element || !m_pool) return;
#ifndef NDEBUG
    bool wasLive = m_liveSet.erase(element) == 1;
    assert(wasLive && "element freed twice or not from this pool");
    if (!wasLive) return;
#endif
    if (m_live) --m_live;
    m_pool->Release(element);
}

void CObjectPool::Clear() {
    assert(m_live == 0 && "pool cleared with elements in use");
    m_pool.reset();
    m_live = 0;
#ifndef NDEBUG
    m_liveSet.clear();
#endif
}
