// The SDL2 input context. An event watch turns the window's text editing, text
// input and backspace key events into the context's queue, whoever polls SDL's
// own queue. SDL hands out compositions of up to 31 bytes and splits longer
// committed texts into several text input events, which simply append.
// SDL keeps the candidate list with the system's input method, which draws it
// at the text-input rectangle; the context therefore has no list of its own.
#include "platform/Ime.h"

#include <SDL.h>

#include <cstring>
#include <deque>
#include <mutex>

namespace platform {
namespace {

// The input locale from the user's preferred languages (SDL has no notion of a
// keyboard's input locale of its own).
uint16_t PreferredLanguage() {
    SDL_Locale* locales = SDL_GetPreferredLocales();
    uint16_t language = kLanguageEnglishUs;
    if (locales && locales[0].language) {
        const char* lang = locales[0].language;
        const char* country = locales[0].country ? locales[0].country : "";
        if (std::strcmp(lang, "ko") == 0) language = kLanguageKorean;
        if (std::strcmp(lang, "ja") == 0) language = kLanguageJapanese;
        if (std::strcmp(lang, "zh") == 0) {
            bool traditional =
                std::strcmp(country, "TW") == 0 || std::strcmp(country, "HK") == 0 || std::strcmp(country, "MO") == 0;
            language = traditional ? kLanguageChineseTraditional : kLanguageChineseSimplified;
        }
    }
    SDL_free(locales);
    return language;
}

// Events nobody asked for (text typed while no edit box has the focus) are
// dropped oldest first beyond this many, so an unread queue stays small.
constexpr size_t kMaxQueuedEvents = 256;

struct ContextQueue {
    std::mutex mutex;
    uint32_t windowId = 0;
    std::deque<ImeEvent> events;

    bool Ours(uint32_t eventWindow) const { return eventWindow == 0 || eventWindow == windowId; }

    void Take(const SDL_Event& e) {
        ImeEvent event;
        switch (e.type) {
            case SDL_TEXTEDITING:
                if (!Ours(e.edit.windowID)) return;
                event.type = ImeEvent::Composition;
                event.text.assign(e.edit.text, strnlen(e.edit.text, sizeof(e.edit.text)));
                event.cursor = e.edit.start;
                event.selection = e.edit.length;
                break;
            case SDL_TEXTINPUT:
                if (!Ours(e.text.windowID)) return;
                event.type = ImeEvent::Result;
                event.text.assign(e.text.text, strnlen(e.text.text, sizeof(e.text.text)));
                break;
            case SDL_KEYDOWN:
                // Keys the input method keeps for itself never arrive here.
                if (!Ours(e.key.windowID) || e.key.keysym.scancode != SDL_SCANCODE_BACKSPACE) return;
                if (!SDL_IsTextInputActive()) return;
                event.type = ImeEvent::Char;
                event.code = 8;
                break;
            case SDL_KEYMAPCHANGED:
                event.type = ImeEvent::LanguageChanged;
                event.code = PreferredLanguage();
                break;
            default:
                return;
        }
        std::lock_guard lock(mutex);
        if (events.size() >= kMaxQueuedEvents) events.pop_front();
        events.push_back(std::move(event));
    }
};

int WatchEvent(void* userdata, SDL_Event* event) {
    static_cast<ContextQueue*>(userdata)->Take(*event);
    return 0;
}

class SdlImeContext : public ImeContext {
public:
    explicit SdlImeContext(uint32_t windowId) : m_queue(std::make_unique<ContextQueue>()) {
        m_queue->windowId = windowId;
        SDL_AddEventWatch(WatchEvent, m_queue.get());
    }
    ~SdlImeContext() override { SDL_DelEventWatch(WatchEvent, m_queue.get()); }

    bool PollEvent(ImeEvent* event) override {
        std::lock_guard lock(m_queue->mutex);
        if (m_queue->events.empty()) return false;
        *event = std::move(m_queue->events.front());
        m_queue->events.pop_front();
        return true;
    }
    void SetCaretRect(int32_t x, int32_t y, int32_t width, int32_t height) override {
        SDL_Rect rect{x, y, width, height};
        SDL_SetTextInputRect(&rect);
    }
    bool GetCandidates(ImeCandidateList*) override { return false; }
    uint16_t GetLanguage() override { return PreferredLanguage(); }
    bool IsOpen() override { return SDL_IsTextInputActive() == SDL_TRUE; }

private:
    std::unique_ptr<ContextQueue> m_queue;
};

}  // namespace

std::unique_ptr<ImeContext> CreateSdlImeContext(uint32_t windowId) {
    if (!SDL_GetWindowFromID(windowId)) return nullptr;
    return std::make_unique<SdlImeContext>(windowId);
}

}  // namespace platform
