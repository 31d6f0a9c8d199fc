// A GL 3.3 core context on an SDL window.
#include <SDL.h>

#include "platform/GlContext.h"

namespace platform {

namespace {
class CSdlGlContext : public CGlContext {
public:
    explicit CSdlGlContext(SDL_Window* window) : m_window(window) {}
    ~CSdlGlContext() override {
        if (m_context) SDL_GL_DeleteContext(m_context);
    }
    bool Open() {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        m_context = SDL_GL_CreateContext(m_window);
        return m_context != nullptr && MakeCurrent();
    }
    bool MakeCurrent() override {
        if (SDL_GL_GetCurrentContext() == m_context && SDL_GL_GetCurrentWindow() == m_window) return true;
        return SDL_GL_MakeCurrent(m_window, m_context) == 0;
    }
    void SwapBuffers() override { SDL_GL_SwapWindow(m_window); }
    bool HasWindow() const override { return true; }
    void DrawableSize(uint32_t* width, uint32_t* height) const override {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(m_window, &w, &h);
        *width = static_cast<uint32_t>(w);
        *height = static_cast<uint32_t>(h);
    }
    void SetSwapInterval(int interval) override { SDL_GL_SetSwapInterval(interval); }
    void SetGammaRamp(const uint16_t* red, const uint16_t* green, const uint16_t* blue) override {
        SDL_SetWindowGammaRamp(m_window, red, green, blue);
    }

private:
    SDL_Window* m_window;
    SDL_GLContext m_context = nullptr;
};
}  // namespace

std::unique_ptr<CGlContext> CreateWindowGlContext(void* sdlWindow) {
    if (!sdlWindow) return nullptr;
    auto context = std::make_unique<CSdlGlContext>(static_cast<SDL_Window*>(sdlWindow));
    if (!context->Open()) return nullptr;
    return context;
}

}  // namespace platform
