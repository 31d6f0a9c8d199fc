// A surface: one level of a texture, a depth buffer or the back buffer. A level
// surface holds a reference to its texture; the others are standalone.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/GfxResource.h"

namespace platform {

class CGfxTexture;

class CGfxSurface : public CGfxResource {
public:
    enum Kind : uint32_t { TEXTURE_LEVEL, DEPTH_STENCIL, BACK_BUFFER };

    // A level of a texture.
    CGfxSurface(CGfxTexture* texture, uint32_t level);
    // A depth buffer or back buffer of its own.
    CGfxSurface(std::shared_ptr<CGfxResourceTracker> tracker, Kind kind, uint32_t width, uint32_t height,
                uint32_t format, uint32_t usage, uint32_t multiSample);
    ~CGfxSurface() override;

    Kind GetKind() const { return m_kind; }
    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    uint32_t GetFormat() const { return m_format; }
    uint32_t GetMultiSample() const { return m_multiSample; }
    CGfxTexture* GetTexture() const { return m_texture; }
    uint32_t GetLevel() const { return m_level; }
    // Whether both name the same memory (two references to one texture level are the same surface).
    bool SameAs(const CGfxSurface* other) const;

private:
    Kind m_kind;
    CGfxTexture* m_texture = nullptr;
    uint32_t m_level = 0;
    uint32_t m_width, m_height, m_format, m_multiSample = 0;
};

}  // namespace platform
