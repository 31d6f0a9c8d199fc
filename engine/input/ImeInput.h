// The input-method state of the one focused edit box: its text, the text still
// being composed with its target clause, the candidate list when the system
// gives one, the input language with its code page and a status indicator.
//
// Texts are held in the game's code page (949); what the input method sends is
// converted on arrival. The text always fits the edit box's 128-byte buffer and
// is cut only between characters; its byte length is recomputed from the text
// after every change, and typing stops at 100 bytes. The focused edit box's
// buffer is attached with SetEditBuffer and receives the text after every
// change, so the box always shows what the input method holds.
//
// The reading windows of some old Chinese input methods are a Windows matter and
// have no place here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Ime.h"

class CImeInput {
public:
    static constexpr size_t kEditBufferSize = 128;
    static constexpr int kMaxTextBytes = 100;

    enum State { STATE_OFF = 0, STATE_ON = 1, STATE_ENGLISH = 2 };

    // Measures a candidate's text (code page 949) for the candidate cells.
    using Measure = std::function<void(const std::string& text, int32_t* width, int32_t* height)>;

    CImeInput() = default;
    CImeInput(const CImeInput&) = delete;
    CImeInput& operator=(const CImeInput&) = delete;

    // Takes the window's input context (not owned) and reads its language.
    void Create(platform::ImeContext* context);
    // Handles every pending event of the context; limit is the focused edit
    // box's byte limit.
    void ProcessEvents(int limit);
    void HandleEvent(const platform::ImeEvent& event, int limit);

    void OnInputLanguageChange(uint16_t language);
    // A new composition (UTF-8) with its caret and converted clause in characters.
    // Dropped, emptying the composition, when it would take the text past limit.
    void OnComposition(const std::string& utf8, int32_t cursor, int32_t selection, int limit);
    // Committed text (UTF-8), appended unless it would pass limit.
    void OnResult(const std::string& utf8, int limit);
    void EndComposition();
    // Reads the context's candidate list (open or changed); closed: emptied.
    void UpdateCandidates(bool open);
    void UpdateStatus();
    // A typed character (Unicode): backspace removes the last character, other
    // control characters are ignored, the rest is appended within the limits.
    void HandleChar(uint32_t code, int limit);
    // Replaces the text (code page 949; null leaves everything) and empties the composition.
    void SetEditText(const char* text);
    // The focused edit box's buffer: it takes the buffer's text now and the
    // text after every change from then on. Null detaches.
    void SetEditBuffer(char* buffer, size_t size);
    // Where the caret is drawn, so the system's candidate window opens beside it.
    void SetCaretRect(int32_t x, int32_t y, int32_t width, int32_t height);

    // Candidate `index` in code page 949 with its NUL: the byte count, or 0 when
    // there is no such candidate or the buffer is too small. Without a buffer
    // only the count.
    size_t GetCandidateText(uint32_t index, char* buffer, size_t size) const;
    uint32_t GetCandidateCount() const {
        return m_hasCandidates ? static_cast<uint32_t>(m_candidates.candidates.size()) : 0;
    }
    uint32_t GetCandidatePageStart() const { return m_hasCandidates ? m_candidates.pageStart : 0; }
    uint32_t GetCandidatePageSize() const { return m_hasCandidates ? m_candidates.pageSize : 0; }
    uint32_t GetCandidateSelection() const { return m_hasCandidates ? m_candidates.selection : 0; }
    int32_t GetCandidateWidth() const { return m_candidateWidth; }
    int32_t GetCandidateHeight() const { return m_candidateHeight; }
    void SetMeasure(Measure measure) { m_measure = std::move(measure); }

    const std::string& GetText() const { return m_text; }
    const std::string& GetComposition() const { return m_composition; }
    int GetLength() const { return m_length; }
    // The target clause as byte offsets into the composition.
    int GetTargetStart() const { return m_targetStart; }
    int GetTargetEnd() const { return m_targetEnd; }
    uint16_t GetLanguage() const { return m_language; }
    int GetCharset() const { return m_charset; }
    int GetCodePage() const { return m_codePage; }
    bool IsVerticalCandidates() const { return m_verticalCandidates; }
    int GetState() const { return m_state; }
    // "En", "가", "あ", "繁" or "简", in UTF-8.
    const char* GetIndicator() const { return m_indicator; }

    // Character set of a language id, and the code page of a character set.
    static int CharsetFromLanguage(uint16_t language);
    static int CodePageFromCharset(int charset);

private:
    // After every change of the text: its length, and the edit box's copy.
    void TextChanged();
    int EffectiveLimit(int limit) const;

    platform::ImeContext* m_context = nullptr;
    std::string m_text;
    std::string m_composition;
    platform::ImeCandidateList m_candidates;
    bool m_hasCandidates = false;
    int m_targetStart = 0;
    int m_targetEnd = 0;
    uint16_t m_language = 0;
    int m_charset = 0;
    int m_codePage = 1252;
    bool m_verticalCandidates = false;
    int m_state = STATE_OFF;
    const char* m_indicator = "En";
    int m_length = 0;
    int32_t m_candidateWidth = 0;
    int32_t m_candidateHeight = 0;
    Measure m_measure;
    char* m_editBuffer = nullptr;
    size_t m_editBufferSize = 0;
};
