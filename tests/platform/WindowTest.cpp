// The window message queue, on the test window and on SDL's dummy video driver.
#include "platform/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "tests/fixtures/ScopedEnv.h"

#include <cstdlib>

using namespace platform;

TEST(TestWindow, QueuedEventsArriveInOrderAfterPostedMessages) {
    CTestWindow window(1024, 768, true);
    window.PostMessage(WM_COMMAND, 10001);
    window.Minimise();
    window.SetFocus(false);
    WindowMessage m;
    std::vector<uint32_t> seen;
    ASSERT_TRUE(window.PeekMessage(&m, false));
    EXPECT_EQ(m.message, WM_COMMAND);
    while (window.PeekMessage(&m, true)) seen.push_back(m.message);
    EXPECT_EQ(seen, (std::vector<uint32_t>{WM_COMMAND, WM_SIZE, WM_KILLFOCUS, WM_ACTIVATEAPP}));
    int w = -1, h = -1;
    window.GetClientSize(&w, &h);
    EXPECT_EQ(w, 0);  // a minimised window has no client area
    window.Restore();
    ASSERT_TRUE(window.PeekMessage(&m, true));
    EXPECT_EQ(m.wParam, SIZE_RESTORED);
    EXPECT_EQ(m.lParam, (768 << 16) | 1024);
}

TEST(SdlWindow, SdlEventsBecomeWindowMessages) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string error;
    std::unique_ptr<CWindow> window = CreateSdlWindow("-Morvane-", 1024, 768, true, false, &error);
    ASSERT_NE(window, nullptr) << error;
    WindowMessage m;
    while (window->PeekMessage(&m, true)) {
    }

    struct Row {
        SDL_Event event;
        std::vector<uint32_t> messages;
        uintptr_t wParam;
    };
    auto windowEvent = [&](uint8_t kind) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = window->Id();
        e.window.event = kind;
        return e;
    };
    auto key = [](uint32_t type, SDL_Keycode sym, uint16_t mod) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        return e;
    };
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const Row rows[] = {
        {windowEvent(SDL_WINDOWEVENT_CLOSE), {WM_CLOSE}, 0},
        {quit, {WM_CLOSE}, 0},
        {windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), {WM_KILLFOCUS, WM_ACTIVATEAPP}, 0},
        {windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), {WM_SETFOCUS, WM_ACTIVATEAPP}, 1},
        {windowEvent(SDL_WINDOWEVENT_MINIMIZED), {WM_SIZE}, SIZE_MINIMIZED},
        {key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT), {WM_SYSKEYDOWN}, VK_RETURN},
        {key(SDL_KEYUP, SDLK_PRINTSCREEN, KMOD_NONE), {WM_KEYUP}, VK_SNAPSHOT},
    };
    for (const Row& row : rows) {
        SDL_Event e = row.event;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
        std::vector<uint32_t> seen;
        uintptr_t lastParam = 0;
        while (window->PeekMessage(&m, true)) {
            seen.push_back(m.message);
            lastParam = m.wParam;
        }
        EXPECT_EQ(seen, row.messages);
        EXPECT_EQ(lastParam, row.wParam);
    }
}

TEST(SdlWindow, WithoutADisplayNoWindowIsMadeAndTheReasonIsGiven) {
    // An invisible window that cannot be closed must never stand in for a real one.
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
    std::string error;
    std::unique_ptr<CWindow> window = CreateSdlWindow("-Morvane-", 1024, 768, true, false, &error);
    EXPECT_EQ(window, nullptr);
    EXPECT_FALSE(error.empty());
}
