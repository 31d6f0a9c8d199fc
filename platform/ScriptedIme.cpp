#include "platform/ScriptedIme.h"

namespace platform {
namespace {

int32_t CountUtf8Characters(const std::string& text) {
    int32_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

void ScriptedIme::Queue(ImeEvent::Type type, std::string text, uint32_t code) {
    ImeEvent event;
    event.type = type;
    event.text = std::move(text);
    event.code = code;
    m_events.push_back(std::move(event));
}

void ScriptedIme::Compose(std::string utf8, int32_t cursor, int32_t selection) {
    // A composition's caret sits after its text unless the test says otherwise.
    if (cursor < 0) cursor = CountUtf8Characters(utf8);
    Queue(ImeEvent::Composition, std::move(utf8));
    m_events.back().cursor = cursor;
    m_events.back().selection = selection;
}

void ScriptedIme::Commit(std::string utf8) { Queue(ImeEvent::Result, std::move(utf8)); }

void ScriptedIme::Type(uint32_t code) { Queue(ImeEvent::Char, std::string(), code); }

void ScriptedIme::EndComposition() { Queue(ImeEvent::EndComposition); }

void ScriptedIme::ShowCandidates(ImeCandidateList list) {
    m_candidates = std::move(list);
    m_hasCandidates = true;
    Queue(ImeEvent::CandidatesChanged);
}

void ScriptedIme::CloseCandidates() {
    m_candidates = {};
    m_hasCandidates = false;
    Queue(ImeEvent::CandidatesClosed);
}

void ScriptedIme::SwitchLanguage(uint16_t language) {
    m_language = language;
    Queue(ImeEvent::LanguageChanged, std::string(), language);
}

void ScriptedIme::SetOpen(bool open) {
    m_open = open;
    Queue(ImeEvent::StatusChanged);
}

bool ScriptedIme::PollEvent(ImeEvent* event) {
    if (m_events.empty()) return false;
    *event = std::move(m_events.front());
    m_events.pop_front();
    return true;
}

void ScriptedIme::SetCaretRect(int32_t x, int32_t y, int32_t width, int32_t height) { m_caret = {x, y, width, height}; }

bool ScriptedIme::GetCandidates(ImeCandidateList* list) {
    if (!m_hasCandidates) return false;
    *list = m_candidates;
    return true;
}

}  // namespace platform
