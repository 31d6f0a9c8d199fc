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

#ifndef NDEBUG
void CObjectPool::Taken(void* p) {
    ++m_live;
    m_liveSet.insert(p);
}

bool CObjectPool::Released(void* p) {
    bool wasLive = m_liveSet.erase(p) == 1;
    assert(wasLive && "element freed twice or not from this pool");
    if (!wasLive) return false;
    if (m_live) --m_live;
    return true;
}
#endif

void CObjectPool::Clear() {
    assert(m_live == 0 && "pool cleared with elements in use");
    m_pool.reset();
    m_live = 0;
#ifndef NDEBUG
    m_liveSet.clear();
#endif
}
