// Where the GL device's context comes from: headless through EGL, or an SDL
// window. The device draws into its own back-buffer framebuffer either way;
// a window context shows it on Present.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

class CGlContext {
public:
    virtual ~CGlContext() = default;
    virtual bool MakeCurrent() = 0;
    // Shows the default framebuffer (windows only; headless does nothing).
    virtual void SwapBuffers() {}
    virtual bool HasWindow() const { return false; }
    // Size of the window's drawable; 0 x 0 without a window.
    virtual void DrawableSize(uint32_t* width, uint32_t* height) const {
        *width = 0;
        *height = 0;
    }
    virtual void SetSwapInterval(int) {}
    // 256 entries per channel; windows only.
    virtual void SetGammaRamp(const uint16_t*, const uint16_t*, const uint16_t*) {}
};

// A GL 3.3 core context without any surface (Mesa's surfaceless platform,
// software rendering when no GPU is there). Null when EGL cannot give one.
std::unique_ptr<CGlContext> CreateHeadlessGlContext();
// A GL 3.3 core context on an SDL window (an SDL_Window* made with
// SDL_WINDOW_OPENGL). Null when SDL cannot give one.
std::unique_ptr<CGlContext> CreateWindowGlContext(void* sdlWindow);

}  // namespace platform
