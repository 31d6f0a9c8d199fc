// The SDL2 window. SDL's window and key events become the window messages the
// framework routes; the input system watches the same events for the keyboard
// and mouse state, so polling here feeds both.
#include <SDL.h>

#include <cstring>

#include "platform/Window.h"

namespace platform {
namespace {

uintptr_t VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<uintptr_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<uintptr_t>('0' + (key - SDLK_0));
    switch (key) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_PRINTSCREEN:
            return VK_SNAPSHOT;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        default:
            return 0;
    }
}

class SdlWindow : public CWindow {
public:
    SdlWindow(SDL_Window* window, bool windowed) : m_window(window), m_fullscreen(!windowed) {}
    ~SdlWindow() override {
        if (m_window) SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    uint32_t Id() const override { return SDL_GetWindowID(m_window); }
    void SetTitle(const std::string& title) override { SDL_SetWindowTitle(m_window, title.c_str()); }
    bool SetFullscreen(bool fullscreen) override {
        // The desktop's own mode: the device scales the fixed back buffer to it.
        if (SDL_SetWindowFullscreen(m_window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
        m_fullscreen = fullscreen;
        return true;
    }
    bool IsFullscreen() const override { return m_fullscreen; }
    bool IsMinimised() const override { return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) != 0; }
    bool HasFocus() const override { return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_INPUT_FOCUS) != 0; }
    WindowRect GetWindowRect() const override {
        int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
        SDL_GetWindowPosition(m_window, &x, &y);
        SDL_GetWindowSize(m_window, &w, &h);
        SDL_GetWindowBordersSize(m_window, &top, &left, &bottom, &right);
        return {x - left, y - top, x + w + right, y + h + bottom};
    }
    void GetClientSize(int* width, int* height) const override {
        if (IsMinimised()) {
            *width = *height = 0;
            return;
        }
        SDL_GetWindowSize(m_window, width, height);
    }
    void SetPlacement(int x, int y, int width, int height) override {
        SDL_SetWindowSize(m_window, width, height);
        SDL_SetWindowPosition(m_window, x, y);
        SDL_ShowWindow(m_window);
    }
    void ShowCursor(bool show) override { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }
    void ClipCursor(bool clip) override { SDL_SetWindowGrab(m_window, clip ? SDL_TRUE : SDL_FALSE); }
    void* NativeHandle() const override { return m_window; }

protected:
    void PumpEvents() override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) Translate(e);
    }

private:
    void Translate(const SDL_Event& e) {
        switch (e.type) {
            case SDL_QUIT:
                PostMessage(WM_CLOSE);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
                const bool down = e.type == SDL_KEYDOWN;
                const uint32_t message = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
                PostMessage(message, VirtualKey(e.key.keysym.sym), e.key.repeat ? 0x40000000 : 0);
                break;
            }
            case SDL_WINDOWEVENT:
                if (e.window.windowID != SDL_GetWindowID(m_window)) break;
                TranslateWindowEvent(e.window);
                break;
            default:
                break;
        }
    }
    void TranslateWindowEvent(const SDL_WindowEvent& w) {
        switch (w.event) {
            case SDL_WINDOWEVENT_CLOSE:
                PostMessage(WM_CLOSE);
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                PostMessage(WM_SETFOCUS);
                PostMessage(WM_ACTIVATEAPP, 1);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                PostMessage(WM_KILLFOCUS);
                PostMessage(WM_ACTIVATEAPP, 0);
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                PostMessage(WM_SIZE, SIZE_MINIMIZED);
                break;
            case SDL_WINDOWEVENT_MAXIMIZED:
                PostMessage(WM_SIZE, SIZE_MAXIMIZED, SizeParam());
                break;
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                PostMessage(WM_SIZE, SIZE_RESTORED, SizeParam());
                break;
            case SDL_WINDOWEVENT_MOVED:
                PostMessage(WM_MOVE, 0, (static_cast<intptr_t>(w.data2) << 16) | (w.data1 & 0xFFFF));
                break;
            default:
                break;
        }
    }
    intptr_t SizeParam() const {
        int w = 0, h = 0;
        SDL_GetWindowSize(m_window, &w, &h);
        return (static_cast<intptr_t>(h) << 16) | w;
    }

    SDL_Window* m_window;
    bool m_fullscreen;
};

}  // namespace

void GetScreenSize(int* width, int* height) {
    *width = 1024;
    *height = 768;
    SDL_DisplayMode mode;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        *width = mode.w;
        *height = mode.h;
    }
}

std::unique_ptr<CWindow> CreateSdlWindow(const std::string& title, int width, int height, bool windowed, bool openGl,
                                         std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    // With no display SDL falls back to drivers that show nothing; a player
    // would be left with an invisible game that cannot be closed. Those
    // drivers serve only when asked for by name (tests do).
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && (!asked || !*asked) &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0 ||
         SDL_strcmp(driver, "evdev") == 0)) {
        if (error) *error = std::string("no display (video driver \"") + driver + "\")";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    int screenW = 0, screenH = 0;
    GetScreenSize(&screenW, &screenH);
    // Windowed: centred on the screen; full screen covers the desktop.
    const int x = windowed ? (screenW - width) / 2 : 0;
    const int y = windowed ? (screenH - height) / 2 : 0;
    uint32_t flags = SDL_WINDOW_SHOWN;
    if (!windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (openGl) flags |= SDL_WINDOW_OPENGL;
    SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
    if (!window) {
        if (error) *error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::make_unique<SdlWindow>(window, windowed);
}

}  // namespace platform
