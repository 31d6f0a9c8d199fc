// Memory copy, locking and level surfaces of a texture.
#include "platform/GfxTexture.h"

#include "platform/GfxFormatInfo.h"
#include "platform/GfxSurface.h"

namespace platform {

CGfxTexture::CGfxTexture(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t width, uint32_t height, uint32_t levels,
                         uint32_t usage, uint32_t format, uint32_t pool)
    : CGfxResource(std::move(tracker), pool, usage),
      m_width(width),
      m_height(height),
      m_levels(levels),
      m_format(format) {
    m_locked.assign(levels, false);
    m_lockFlags.assign(levels, 0);
    if (!(usage & USAGE_RENDERTARGET)) {
        m_data.resize(levels);
        for (uint32_t i = 0; i < levels; ++i)
            m_data[i].assign(LevelBytes(format, GetLevelWidth(i), GetLevelHeight(i)), 0);
    }
}

uint32_t CGfxTexture::GetLevelWidth(uint32_t level) const { return MipExtent(m_width, level); }
uint32_t CGfxTexture::GetLevelHeight(uint32_t level) const { return MipExtent(m_height, level); }

GfxResult CGfxTexture::LockRect(uint32_t level, GfxLockedRect* locked, const GfxRect* rect, uint32_t flags) {
    if (!locked || level >= m_levels || m_data.empty()) return GFXERR_INVALIDCALL;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_locked[level]) return GFXERR_INVALIDCALL;
    uint32_t w = GetLevelWidth(level), h = GetLevelHeight(level);
    uint32_t pitch = LevelPitch(m_format, w);
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right <= rect->left || rect->bottom <= rect->top ||
            static_cast<uint32_t>(rect->right) > w || static_cast<uint32_t>(rect->bottom) > h)
            return GFXERR_INVALIDCALL;
        if (IsBlockFormat(m_format)) {
            if ((rect->left | rect->top) & 3) return GFXERR_INVALIDCALL;
            offset = static_cast<size_t>(rect->top / 4) * pitch +
                     static_cast<size_t>(rect->left / 4) * FormatUnitBytes(m_format);
        } else {
            offset =
                static_cast<size_t>(rect->top) * pitch + static_cast<size_t>(rect->left) * FormatUnitBytes(m_format);
        }
    }
    m_locked[level] = true;
    m_lockFlags[level] = flags;
    locked->pitch = static_cast<int32_t>(pitch);
    locked->bits = m_data[level].data() + offset;
    return GFX_OK;
}

GfxResult CGfxTexture::UnlockRect(uint32_t level) {
    if (level >= m_levels) return GFXERR_INVALIDCALL;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_locked[level]) return GFXERR_INVALIDCALL;
    m_locked[level] = false;
    if (!(m_lockFlags[level] & (LOCK_READONLY | LOCK_NO_DIRTY_UPDATE))) Touch();
    return GFX_OK;
}

GfxResult CGfxTexture::AddDirtyRect(const GfxRect*) {
    Touch();
    return GFX_OK;
}

GfxResult CGfxTexture::GetSurfaceLevel(uint32_t level, CGfxSurface** surface) {
    if (!surface || level >= m_levels) return GFXERR_INVALIDCALL;
    *surface = new CGfxSurface(this, level);
    return GFX_OK;
}

const uint8_t* CGfxTexture::LevelData(uint32_t level) const {
    return level < m_data.size() ? m_data[level].data() : nullptr;
}

size_t CGfxTexture::LevelSize(uint32_t level) const { return level < m_data.size() ? m_data[level].size() : 0; }

}  // namespace platform
