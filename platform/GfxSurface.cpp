// Surfaces of textures, depth buffers and the back buffer.
#include "platform/GfxSurface.h"

#include "platform/GfxTexture.h"

namespace platform {

CGfxSurface::CGfxSurface(CGfxTexture* texture, uint32_t level)
    : CGfxResource(nullptr, texture->GetPool(), texture->GetUsage()),
      m_kind(TEXTURE_LEVEL),
      m_texture(texture),
      m_level(level),
      m_width(texture->GetLevelWidth(level)),
      m_height(texture->GetLevelHeight(level)),
      m_format(texture->GetFormat()) {
    m_texture->AddDeviceRef();
}

CGfxSurface::CGfxSurface(std::shared_ptr<CGfxResourceTracker> tracker, Kind kind, uint32_t width, uint32_t height,
                         uint32_t format, uint32_t usage, uint32_t multiSample)
    : CGfxResource(std::move(tracker), POOL_DEFAULT, usage),
      m_kind(kind),
      m_width(width),
      m_height(height),
      m_format(format),
      m_multiSample(multiSample) {}

CGfxSurface::~CGfxSurface() {
    if (m_texture) m_texture->ReleaseDeviceRef();
}

bool CGfxSurface::SameAs(const CGfxSurface* other) const {
    if (!other) return false;
    if (other == this) return true;
    return m_kind == TEXTURE_LEVEL && other->m_kind == TEXTURE_LEVEL && m_texture == other->m_texture &&
           m_level == other->m_level;
}

}  // namespace platform
