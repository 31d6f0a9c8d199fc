// Locking of vertex and index buffers.
#include "platform/GfxBuffer.h"

namespace platform {

CGfxBuffer::CGfxBuffer(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t length, uint32_t usage, uint32_t pool)
    : CGfxResource(std::move(tracker), pool, usage), m_data(length, 0) {}

GfxResult CGfxBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
    if (!data) return GFXERR_INVALIDCALL;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_locked) return GFXERR_INVALIDCALL;
    uint64_t length = m_data.size();
    if (offset > length || (size != 0 && static_cast<uint64_t>(offset) + size > length)) return GFXERR_INVALIDCALL;
    m_locked = true;
    m_lockFlags = flags;
    *data = m_data.data() + offset;
    return GFX_OK;
}

GfxResult CGfxBuffer::Unlock() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_locked) return GFXERR_INVALIDCALL;
    m_locked = false;
    if (!(m_lockFlags & LOCK_READONLY)) Touch();
    return GFX_OK;
}

}  // namespace platform
