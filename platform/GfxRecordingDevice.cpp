// Logging of the recording device.
#include "platform/GfxRecordingDevice.h"

#include <algorithm>

#include "platform/GfxFormatInfo.h"

namespace platform {

static GfxPresentParameters WithSize(GfxPresentParameters p) {
    if (p.backBufferWidth == 0 || p.backBufferHeight == 0) {
        p.backBufferWidth = 1024;
        p.backBufferHeight = 768;
    }
    return p;
}

CGfxRecordingDevice::CGfxRecordingDevice(const GfxPresentParameters& params) : CGfxDevice(WithSize(params)) {
    Initialise();
    m_backPixels.assign(static_cast<size_t>(m_params.backBufferWidth) * m_params.backBufferHeight, 0xFF000000u);
}

size_t CGfxRecordingDevice::Count(const std::string& prefix) const {
    return static_cast<size_t>(std::count_if(m_log.begin(), m_log.end(), [&](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    }));
}

GfxResult CGfxRecordingDevice::DoPresent() {
    ++m_presents;
    Add("Present");
    return GFX_OK;
}

GfxResult CGfxRecordingDevice::DoClear(uint32_t count, const GfxRect* rects, uint32_t flags, uint32_t color, float z,
                                       uint32_t stencil) {
    Add("Clear " + std::to_string(flags) + " " + std::to_string(color) + " " + std::to_string(z) + " " +
        std::to_string(stencil) + " rects " + std::to_string(count));
    if (!(flags & CLEAR_TARGET) || RenderTarget() != BackBuffer()) return GFX_OK;
    const Viewport& vp = State().viewport;
    uint32_t w = m_params.backBufferWidth, h = m_params.backBufferHeight;
    auto fill = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
        l = std::max<int64_t>(l, vp.x);
        t = std::max<int64_t>(t, vp.y);
        r = std::min<int64_t>(r, static_cast<int64_t>(vp.x) + vp.width);
        b = std::min<int64_t>(b, static_cast<int64_t>(vp.y) + vp.height);
        r = std::min<int64_t>(r, w);
        b = std::min<int64_t>(b, h);
        for (int64_t y = t; y < b; ++y)
            for (int64_t x = l; x < r; ++x) m_backPixels[static_cast<size_t>(y) * w + static_cast<size_t>(x)] = color;
    };
    if (count == 0) fill(0, 0, w, h);
    for (uint32_t i = 0; i < count; ++i) fill(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    return GFX_OK;
}

GfxResult CGfxRecordingDevice::DoDraw(const GfxDrawCall& call) {
    ++m_draws;
    std::string line = "Draw " + std::to_string(call.type) + " prims " + std::to_string(call.primitiveCount);
    if (call.indexed) line += " indexed";
    if (call.vertices)
        line += " up stride " + std::to_string(call.stride);
    else
        line += " stream stride " + std::to_string(StreamStride());
    line += " fvf " + std::to_string(State().fvf);
    Add(std::move(line));
    return GFX_OK;
}

GfxResult CGfxRecordingDevice::DoReset(GfxPresentParameters& params) {
    if (m_failResets) {
        --m_failResets;
        Add("Reset failed");
        return GFXERR_DEVICELOST;
    }
    Add("Reset " + std::to_string(params.backBufferWidth) + "x" + std::to_string(params.backBufferHeight));
    uint32_t w = params.backBufferWidth ? params.backBufferWidth : m_params.backBufferWidth;
    uint32_t h = params.backBufferHeight ? params.backBufferHeight : m_params.backBufferHeight;
    m_backPixels.assign(static_cast<size_t>(w) * h, 0xFF000000u);
    return GFX_OK;
}

void CGfxRecordingDevice::OnChange(Change change, uint32_t a, uint32_t b) {
    static const char* const kNames[] = {"RenderState", "StageState", "Sampler",      "Texture",      "Transform",
                                         "Material",    "Light",      "Viewport",     "Fvf",          "Declaration",
                                         "Stream",      "Indices",    "RenderTarget", "DepthSurface", "Gamma",
                                         "Scene",       "EffectPass", "EffectCommit", "EffectEnd"};
    std::string line = kNames[static_cast<int>(change)];
    if (change == Change::StageState || change == Change::Sampler)
        line += " " + std::to_string(a >> 16) + " " + std::to_string(a & 0xFFFF) + " " + std::to_string(b);
    else
        line += " " + std::to_string(a) + " " + std::to_string(b);
    Add(std::move(line));
}

GfxResult CGfxRecordingDevice::ReadSurface(CGfxSurface* surface, std::vector<uint32_t>* argb) {
    if (!surface || !argb) return GFXERR_INVALIDCALL;
    if (surface->SameAs(BackBuffer())) {
        *argb = m_backPixels;
        return GFX_OK;
    }
    CGfxTexture* t = surface->GetTexture();
    if (!t || !t->HasMemoryCopy() || (t->GetFormat() != FMT_A8R8G8B8 && t->GetFormat() != FMT_X8R8G8B8))
        return GFXERR_INVALIDCALL;
    std::lock_guard<std::mutex> lock(t->DataMutex());
    const uint8_t* d = t->LevelData(surface->GetLevel());
    size_t n = static_cast<size_t>(surface->GetWidth()) * surface->GetHeight();
    argb->resize(n);
    for (size_t i = 0; i < n; ++i) {
        uint32_t v = d[4 * i] | d[4 * i + 1] << 8 | d[4 * i + 2] << 16 | static_cast<uint32_t>(d[4 * i + 3]) << 24;
        (*argb)[i] = t->GetFormat() == FMT_X8R8G8B8 ? (v | 0xFF000000u) : v;
    }
    return GFX_OK;
}

}  // namespace platform
