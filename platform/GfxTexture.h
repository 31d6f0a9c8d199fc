// A 2D texture with its mip chain. Every texture that can be locked keeps its
// pixels in memory (the copy a managed texture is restored from); render
// targets live only on the device. Locking is allowed from any thread; the
// device uploads a changed texture the next time it is used.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/GfxResource.h"

namespace platform {

class CGfxSurface;

class CGfxTexture : public CGfxResource {
public:
    CGfxTexture(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t width, uint32_t height, uint32_t levels,
                uint32_t usage, uint32_t format, uint32_t pool);

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    uint32_t GetFormat() const { return m_format; }
    uint32_t GetLevelCount() const { return m_levels; }
    uint32_t GetLevelWidth(uint32_t level) const;
    uint32_t GetLevelHeight(uint32_t level) const;
    bool IsRenderTarget() const { return (GetUsage() & USAGE_RENDERTARGET) != 0; }
    bool HasMemoryCopy() const { return !m_data.empty(); }

    // rect null locks the whole level; a DXT rectangle must lie on block edges.
    GfxResult LockRect(uint32_t level, GfxLockedRect* locked, const GfxRect* rect, uint32_t flags);
    GfxResult UnlockRect(uint32_t level);
    // Marks the texture for upload (rect is accepted for the interface's sake; the whole texture goes up).
    GfxResult AddDirtyRect(const GfxRect* rect);
    // A new surface reference to one level (the surface keeps the texture alive).
    GfxResult GetSurfaceLevel(uint32_t level, CGfxSurface** surface);

    // The memory copy of a level, for the device's upload; null without one.
    const uint8_t* LevelData(uint32_t level) const;
    size_t LevelSize(uint32_t level) const;
    // Takes the texture's lock while the device reads the copy.
    std::mutex& DataMutex() { return m_mutex; }

private:
    uint32_t m_width, m_height, m_levels, m_format;
    std::vector<std::vector<uint8_t>> m_data;
    std::vector<uint32_t> m_lockFlags;
    std::vector<bool> m_locked;
    std::mutex m_mutex;
};

}  // namespace platform
