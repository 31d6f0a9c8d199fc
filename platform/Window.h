// The game's one window and its message queue. The queue is shaped like the
// original's window messages (numbers, wParam, lParam), so the framework's
// message routing reads the same; the SDL window turns SDL's events into
// those messages. CTestWindow has no system window at all: tests post
// messages into it and read what the game did to it, so the whole main loop
// runs headless.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Window messages, with the numbers the game's routing is written against.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_NCHITTEST = 0x0084;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_POWERBROADCAST = 0x0218;

// WM_SIZE kinds.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;
// WM_SYSCOMMAND commands the framework refuses in full screen.
constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;
// Virtual key codes carried by key messages (letters and digits are their ASCII capitals).
constexpr uintptr_t VK_RETURN = 0x0D;
constexpr uintptr_t VK_MENU = 0x12;
constexpr uintptr_t VK_ESCAPE = 0x1B;
constexpr uintptr_t VK_SNAPSHOT = 0x2C;

struct WindowMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class CWindow {
public:
    virtual ~CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // Takes the oldest message (remove) or looks at it; false when none waits.
    // Platform events are turned into messages first.
    bool PeekMessage(WindowMessage* message, bool remove);
    void PostMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    void PostQuitMessage(int exitCode) { PostMessage(WM_QUIT, static_cast<uintptr_t>(exitCode)); }
    size_t PendingMessages() const { return m_queue.size(); }

    // The id the input system listens for (0 without a system window).
    virtual uint32_t Id() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // Full screen keeps the requested back-buffer size; the device scales it.
    virtual bool SetFullscreen(bool fullscreen) = 0;
    virtual bool IsFullscreen() const = 0;
    virtual bool IsMinimised() const = 0;
    virtual bool HasFocus() const = 0;
    // Outer rectangle on the screen and the client size.
    virtual WindowRect GetWindowRect() const = 0;
    virtual void GetClientSize(int* width, int* height) const = 0;
    // Places the window with a client area of width x height.
    virtual void SetPlacement(int x, int y, int width, int height) = 0;
    virtual void ShowCursor(bool show) = 0;
    // Keeps the cursor inside the client area while on.
    virtual void ClipCursor(bool clip) = 0;
    // The native window for a device that draws into it (null without one).
    virtual void* NativeHandle() const = 0;

protected:
    CWindow() = default;
    // Turns waiting platform events into posted messages.
    virtual void PumpEvents() = 0;

private:
    std::deque<WindowMessage> m_queue;
};

// Size of the main display (1024 x 768 when none is known).
void GetScreenSize(int* width, int* height);

// The SDL2 window with a client area of width x height, centred when windowed;
// with openGl set a GL device can draw into it. Null when SDL has no video
// (the reason in *error).
std::unique_ptr<CWindow> CreateSdlWindow(const std::string& title, int width, int height, bool windowed, bool openGl,
                                         std::string* error);

// A window without a system window. Messages are posted by the test; what the
// program did to the window is kept for reading back.
class CTestWindow : public CWindow {
public:
    CTestWindow(int width, int height, bool windowed);

    uint32_t Id() const override { return 0; }
    void SetTitle(const std::string& title) override { m_title = title; }
    bool SetFullscreen(bool fullscreen) override;
    bool IsFullscreen() const override { return m_fullscreen; }
    bool IsMinimised() const override { return m_minimised; }
    bool HasFocus() const override { return m_focus; }
    WindowRect GetWindowRect() const override;
    void GetClientSize(int* width, int* height) const override;
    void SetPlacement(int x, int y, int width, int height) override;
    void ShowCursor(bool show) override { m_cursorShown = show; }
    void ClipCursor(bool clip) override { m_clipped = clip; }
    void* NativeHandle() const override { return nullptr; }

    // Test controls: what a user would do to a real window.
    void Minimise();
    void Restore();
    void SetFocus(bool focus);
    // Messages the test wants delivered on the next pump, after the already queued ones.
    void QueueEvent(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

    const std::string& Title() const { return m_title; }
    bool CursorShown() const { return m_cursorShown; }
    bool CursorClipped() const { return m_clipped; }

protected:
    void PumpEvents() override;

private:
    std::string m_title;
    int m_x = 0, m_y = 0, m_width, m_height;
    bool m_fullscreen;
    bool m_minimised = false;
    bool m_focus = true;
    bool m_cursorShown = true;
    bool m_clipped = false;
    std::deque<WindowMessage> m_events;
};

}  // namespace platform
