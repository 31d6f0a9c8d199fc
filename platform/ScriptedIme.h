// An input method played by hand, for tests and the headless client: each call
// queues the event the system would send.
#pragma once

#include <deque>

#include "platform/Ime.h"

namespace platform {

class ScriptedIme : public ImeContext {
public:
    void Compose(std::string utf8, int32_t cursor = -1, int32_t selection = 0);
    void Commit(std::string utf8);
    void Type(uint32_t code);
    void EndComposition();
    void ShowCandidates(ImeCandidateList list);
    void CloseCandidates();
    void SwitchLanguage(uint16_t language);
    void SetOpen(bool open);

    struct Rect {
        int32_t x, y, width, height;
    };
    const Rect& CaretRect() const { return m_caret; }

    bool PollEvent(ImeEvent* event) override;
    void SetCaretRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    bool GetCandidates(ImeCandidateList* list) override;
    uint16_t GetLanguage() override { return m_language; }
    bool IsOpen() override { return m_open; }

private:
    void Queue(ImeEvent::Type type, std::string text = std::string(), uint32_t code = 0);

    std::deque<ImeEvent> m_events;
    ImeCandidateList m_candidates;
    bool m_hasCandidates = false;
    uint16_t m_language = kLanguageKorean;
    bool m_open = true;
    Rect m_caret{};
};

}  // namespace platform
