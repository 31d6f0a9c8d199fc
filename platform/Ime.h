// The window's input context: what the system's input method reports while the
// player types, as a queue of events. A composition event carries the whole
// text being composed (a Hangul syllable still being built, say), a result event
// the text the input method has committed, and control characters such as
// backspace come as character events. Texts here are UTF-8, as the system gives
// them; the engine converts them to the game's code page.
// The real context follows SDL2's text editing and text input; ScriptedIme
// (platform/ScriptedIme.h) plays an input method for tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Language ids of input locales: primary language in the low 10 bits,
// sublanguage above.
constexpr uint16_t kLanguageEnglishUs = 0x0409;
constexpr uint16_t kLanguageKorean = 0x0412;
constexpr uint16_t kLanguageJapanese = 0x0411;
constexpr uint16_t kLanguageChineseTraditional = 0x0404;
constexpr uint16_t kLanguageChineseSimplified = 0x0804;

struct ImeCandidateList {
    std::vector<std::string> candidates;  // UTF-8
    uint32_t selection = 0;
    uint32_t pageStart = 0;
    uint32_t pageSize = 0;
};

struct ImeEvent {
    enum Type {
        Composition,        // text, cursor, selection
        Result,             // text
        Char,               // code: a control character, 8 for backspace
        EndComposition,     //
        CandidatesChanged,  // the list is read with GetCandidates
        CandidatesClosed,   //
        LanguageChanged,    // code: the new language id
        StatusChanged,      // the input method was switched on or off
    };
    Type type = Composition;
    std::string text;
    // Composition: the caret, and the length of the clause being converted from
    // it, both in characters.
    int32_t cursor = 0;
    int32_t selection = 0;
    uint32_t code = 0;
};

class ImeContext {
public:
    virtual ~ImeContext() = default;
    // The next pending event; false when there is none.
    virtual bool PollEvent(ImeEvent* event) = 0;
    // The caret in window coordinates, so the system draws its candidate window there.
    virtual void SetCaretRect(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // False when the system keeps its candidate list to itself.
    virtual bool GetCandidates(ImeCandidateList* list) = 0;
    virtual uint16_t GetLanguage() = 0;
    // Whether typed keys go through the input method.
    virtual bool IsOpen() = 0;
};

// The input context of the SDL window with this id, or null when there is none.
std::unique_ptr<ImeContext> CreateSdlImeContext(uint32_t windowId);

}  // namespace platform
