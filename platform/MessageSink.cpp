// The message sink on SDL2 or standard error. See MessageSink.h.
#include "platform/MessageSink.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/CodePage.h"

namespace platform {
namespace {

std::mutex g_hookMutex;
MessageHook g_hook;

bool HasDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

// SDL's message box needs its video subsystem; it is started for the box
// when the program has not started it yet.
bool ShowBox(const std::string& title, const std::string& text) {
    if (!HasDisplay()) return false;
    bool started = false;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        started = true;
    }
    bool shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), nullptr) == 0;
    if (started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return shown;
}

}  // namespace

void ShowMessage(std::string_view title, std::string_view text) {
    MessageHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_hook;
    }
    if (hook) {
        hook(std::string(title), std::string(text));
        return;
    }
    std::string utf8Title = Cp949ToUtf8(title);
    std::string utf8Text = Cp949ToUtf8(text);
    if (ShowBox(utf8Title, utf8Text)) return;
    std::fprintf(stderr, "%s: %s\n", utf8Title.c_str(), utf8Text.c_str());
    std::fflush(stderr);
}

void SetMessageHook(MessageHook hook) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_hook = std::move(hook);
}

}  // namespace platform
