// The graphics system on GL. Format checks answer for what the GL device
// can hold: the texture formats of GfxFormatInfo, the three depth formats and
// 32- or 16-bit back buffers.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/GfxFormatInfo.h"
#include "platform/GfxGlDevice.h"
#include "platform/GfxSystem.h"
#include "platform/GlContext.h"
#include "platform/GlVideoMemory.h"

namespace platform {

CGfxGlSystem::CGfxGlSystem() = default;

GfxResult CGfxGlSystem::GetAdapterIdentifier(uint32_t adapter, uint32_t, GfxAdapterIdentifier* id) {
    if (adapter != 0 || !id) return GFXERR_INVALIDCALL;
    *id = GfxAdapterIdentifier();
    std::strcpy(id->driver, "OpenGL 3.3 core");
    std::strcpy(id->description, "OpenGL adapter");
    std::strcpy(id->deviceName, "\\\\.\\DISPLAY1");
    return GFX_OK;
}

GfxResult CGfxGlSystem::GetDeviceCaps(uint32_t adapter, uint32_t, GfxCaps* caps) {
    if (adapter != 0 || !caps) return GFXERR_INVALIDCALL;
    *caps = GfxCaps();
    return GFX_OK;
}

std::vector<GfxDisplayMode> CGfxGlSystem::AdapterModes() const {
    std::vector<GfxDisplayMode> modes;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        int n = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < n; ++i) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
            for (uint32_t format : {FMT_X8R8G8B8, FMT_R5G6B5})
                modes.push_back(GfxDisplayMode{static_cast<uint32_t>(m.w), static_cast<uint32_t>(m.h),
                                               static_cast<uint32_t>(m.refresh_rate), format});
        }
    }
    // Full screen keeps the desktop's own mode and scales the back buffer to
    // it, so the usual sizes are there even where the display lacks them.
    for (uint32_t format : {FMT_X8R8G8B8, FMT_R5G6B5})
        for (auto size : {std::pair{800u, 600u}, {1024u, 768u}, {1280u, 1024u}, {1920u, 1080u}}) {
            // Named copies: older compilers refuse a structured binding captured by a lambda.
            const uint32_t w = size.first, h = size.second;
            const bool listed = std::any_of(modes.begin(), modes.end(), [&](const GfxDisplayMode& m) {
                return m.width == w && m.height == h && m.format == format;
            });
            if (!listed) modes.push_back(GfxDisplayMode{w, h, 60, format});
        }
    return modes;
}

GfxResult CGfxGlSystem::GetAdapterDisplayMode(uint32_t adapter, GfxDisplayMode* mode) {
    if (adapter != 0 || !mode) return GFXERR_INVALIDCALL;
    *mode = GfxDisplayMode{1024, 768, 60, FMT_X8R8G8B8};
    SDL_DisplayMode m;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &m) == 0)
        *mode = GfxDisplayMode{static_cast<uint32_t>(m.w), static_cast<uint32_t>(m.h),
                               static_cast<uint32_t>(m.refresh_rate), FMT_X8R8G8B8};
    return GFX_OK;
}

GfxResult CGfxGlSystem::CheckDeviceType(uint32_t adapter, uint32_t, uint32_t, uint32_t backBufferFormat, bool) {
    if (adapter != 0) return GFXERR_INVALIDCALL;
    return FormatColorBits(backBufferFormat) >= 16 ? GFX_OK : GFXERR_NOTAVAILABLE;
}

GfxResult CGfxGlSystem::CheckDeviceFormat(uint32_t adapter, uint32_t, uint32_t, uint32_t usage, uint32_t,
                                          uint32_t checkFormat) {
    if (adapter != 0) return GFXERR_INVALIDCALL;
    if (usage & USAGE_DEPTHSTENCIL) return IsDepthFormat(checkFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
    return IsTextureFormat(checkFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
}

GfxResult CGfxGlSystem::CheckDepthStencilMatch(uint32_t adapter, uint32_t, uint32_t, uint32_t, uint32_t depthFormat) {
    if (adapter != 0) return GFXERR_INVALIDCALL;
    return IsDepthFormat(depthFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
}

GfxResult CGfxGlSystem::CreateDevice(uint32_t adapter, uint32_t, void* window, uint32_t, GfxPresentParameters* params,
                                     std::unique_ptr<CGfxDevice>* device) {
    if (adapter != 0 || !params || !device) return GFXERR_INVALIDCALL;
    if (params->enableAutoDepthStencil && !IsDepthFormat(params->autoDepthStencilFormat)) return GFXERR_INVALIDCALL;
    std::unique_ptr<CGlContext> context = window ? CreateWindowGlContext(window) : CreateHeadlessGlContext();
    std::unique_ptr<CGfxGlDevice> created = CGfxGlDevice::Create(std::move(context), *params);
    if (!created) return GFXERR_NOTAVAILABLE;
    *params = created->GetPresentParameters();
    *device = std::move(created);
    return GFX_OK;
}

uint32_t CGfxGlSystem::VideoMemoryKb() {
    static const uint32_t kb = [] {
        uint32_t found = 0;
        if (std::unique_ptr<CGlContext> context = CreateHeadlessGlContext()) found = CurrentGlVideoMemoryKb();
        return found ? found : MesaRendererVideoMemoryKb();
    }();
    return kb;
}

}  // namespace platform
