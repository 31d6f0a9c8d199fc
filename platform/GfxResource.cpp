// Reference counting of device objects.
#include "platform/GfxResource.h"

namespace platform {

void CGfxResourceTracker::Add(uint32_t pool) {
    if (pool != POOL_DEFAULT) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_defaultPool;
}

void CGfxResourceTracker::Remove(uint32_t pool) {
    if (pool != POOL_DEFAULT) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_defaultPool) --m_defaultPool;
}

uint32_t CGfxResourceTracker::HeldDefaultPool() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_defaultPool;
}

uint32_t CGfxObject::AddRef() {
    m_total.fetch_add(1);
    uint32_t n = m_refs.fetch_add(1) + 1;
    if (n == 1) OnCallerReferenced();
    return n;
}

uint32_t CGfxObject::Release() {
    uint32_t before = m_refs.load();
    // A release without a reference is the caller's fault; it must not wrap the count.
    while (before != 0 && !m_refs.compare_exchange_weak(before, before - 1)) {
    }
    if (before == 0) return 0;
    if (before == 1) OnCallerReleased();
    // One count decides the deletion, so a caller and the device letting go at once delete it once.
    if (m_total.fetch_sub(1) == 1) delete this;
    return before - 1;
}

void CGfxObject::ReleaseDeviceRef() {
    if (m_total.fetch_sub(1) == 1) delete this;
}

CGfxResource::CGfxResource(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t pool, uint32_t usage)
    : m_tracker(std::move(tracker)), m_pool(pool), m_usage(usage) {
    if (m_tracker) m_tracker->Add(m_pool);
}

CGfxResource::~CGfxResource() = default;

void CGfxResource::OnCallerReleased() {
    if (m_tracker) m_tracker->Remove(m_pool);
}

void CGfxResource::OnCallerReferenced() {
    if (m_tracker) m_tracker->Add(m_pool);
}

}  // namespace platform
