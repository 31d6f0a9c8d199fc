// A one-line text input. While focused it hands its 128-byte buffer to the UI
// manager's input-method state, which writes the typed text into it within
// the box's byte limit; it draws the text (one "*" per character for a
// password box) with the composition and a blinking caret, and remembers the
// last ten distinct lines entered, walked with the Up and Down keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "ui/UiObject.h"

class CUiEditBox : public CUiObject {
public:
    static constexpr uint32_t kStylePassword = 0x01000000;
    static constexpr size_t kBufferSize = 128;
    static constexpr size_t kHistorySize = 10;
    static constexpr int kDefaultByteLimit = 100;
    // Caret timer at focus: past the half second, so the caret shows at once.
    static constexpr float kCaretAtFocus = 0.6f;

    CUiEditBox();
    ~CUiEditBox() override;

    void Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                uint32_t style) override;
    void SetTextAlpha(float alpha) override { m_textColour.a = alpha; }
    // Always null: a window with an edit box routes its events with itself.
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetEnabled(int enable) override;
    void OnFocusGained() override;
    int TextByteLimit() const override { return m_byteLimit; }
    int SerializeLayoutPart(CLayoutStream& stream) override;

    // Copies the text (null leaves it), cut at 127 bytes between two
    // characters, and empties the composition when the box is focused.
    void SetText(const char* text);
    const char* GetText() const { return m_buffer; }
    // Bytes typing may fill (1 to 127).
    void SetByteLimit(int bytes);
    int ByteLimit() const { return m_byteLimit; }
    uint32_t EditStyle() const { return m_editStyle; }
    bool IsPassword() const { return HasFlags(kStylePassword); }
    const std::deque<std::string>& History() const { return m_history; }
    void SetTextColour(const UiColor& colour) { m_textColour = colour; }
    // What Render shows: the text or its mask, and the caret state.
    std::string ShownText() const;
    bool CaretShown() const { return m_caretTimer > 0.5f; }

private:
    bool IsFocus() const;
    void LoseFocus();
    void Remember(const std::string& line);

    UiColor m_textColour{0, 0, 0, 1};
    UiColor m_savedTextColour{0, 0, 0, 1};
    float m_caretTimer = 0.0f;
    uint32_t m_editStyle = 0;
    char m_buffer[kBufferSize] = {};
    std::deque<std::string> m_history;
    int m_byteLimit = kDefaultByteLimit;
};
