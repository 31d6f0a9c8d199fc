#include "ui/UiEditBox.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/input/ZEMDXInput.h"
#include "platform/CodePage.h"
#include "ui/LayoutStream.h"
#include "ui/UiManager.h"
#include "ui/UiTextFit.h"
#include "ui/UiWindow.h"

CUiEditBox::CUiEditBox() { m_typeId = UI_TYPE_EDITBOX; }

CUiEditBox::~CUiEditBox() {
    if (IsFocus()) LoseFocus();
}

void CUiEditBox::Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                        uint32_t style) {
    CUiObject::Create(parent, name, x, y, width, height, style);
    m_editStyle = style;
}

bool CUiEditBox::IsFocus() const { return g_pUiManager && g_pUiManager->Focus() == this; }

void CUiEditBox::LoseFocus() {
    ClearFlags(UI_FOCUS);
    if (!IsFocus()) return;
    g_pUiManager->Ime().SetEditBuffer(nullptr, 0);
    g_pUiManager->SetFocus(nullptr);
}

void CUiEditBox::OnFocusGained() {
    m_caretTimer = kCaretAtFocus;
    if (g_pUiManager) g_pUiManager->Ime().SetEditBuffer(m_buffer, kBufferSize);
}

void CUiEditBox::SetByteLimit(int bytes) { m_byteLimit = std::clamp(bytes, 1, static_cast<int>(kBufferSize) - 1); }

void CUiEditBox::SetText(const char* text) {
    if (!text) return;
    const std::string whole(text);
    const size_t bytes = platform::Cp949CutLength(whole, kBufferSize - 1);
    std::memcpy(m_buffer, whole.data(), bytes);
    m_buffer[bytes] = '\0';
    // The input method holds the focused box's text; it takes the new one and
    // writes it back into the buffer.
    if (IsFocus()) g_pUiManager->Ime().SetEditText(m_buffer);
}

void CUiEditBox::Remember(const std::string& line) {
    auto known = std::find(m_history.begin(), m_history.end(), line);
    if (known != m_history.end()) m_history.erase(known);
    if (m_history.size() >= kHistorySize) m_history.resize(kHistorySize - 1);
    m_history.push_front(line);
}

CUiObject* CUiEditBox::ProcessInput(float dt, CZEMDXInput& input) {
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    m_pointerInside = 0;
    if (!HasFlags(UI_BLOCKED)) {
        platform::CursorPoint cursor{};
        input.GetCursor(&cursor);
        HitTest({static_cast<float>(cursor.x), static_cast<float>(cursor.y)});
    }
    m_caretTimer += dt;
    const bool anyPress = input.MousePressed(0) || input.MousePressed(1) || input.MousePressed(2);
    if (m_pointerInside && input.MousePressed(0) && HasFlags(UI_POINTER_OVER)) {
        if (g_pUiManager) g_pUiManager->SetFocus(this);
    } else if (!m_pointerInside && anyPress) {
        LoseFocus();
    }
    if (!HasFlags(UI_FOCUS) || IsPassword()) return nullptr;
    const std::string text(m_buffer);
    if (input.KeyPressed(platform::DIK_RETURN)) {
        if (!text.empty()) Remember(text);
    } else if (input.KeyPressed(platform::DIK_UP) && !m_history.empty()) {
        std::string front = m_history.front();
        m_history.pop_front();
        SetText(front.c_str());
        m_history.push_back(std::move(front));
    } else if (input.KeyPressed(platform::DIK_DOWN) && !m_history.empty()) {
        std::string back = m_history.back();
        m_history.pop_back();
        SetText(back.c_str());
        m_history.push_front(std::move(back));
    }
    return nullptr;
}

std::string CUiEditBox::ShownText() const {
    std::string text(m_buffer);
    if (HasFlags(UI_FOCUS) && g_pUiManager && IsFocus()) text += g_pUiManager->Ime().GetComposition();
    if (!IsPassword()) return text;
    // One star per character, a two-byte character being one.
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); ++characters) at += TextCharacterBytes(text, at);
    return std::string(characters, '*');
}

void CUiEditBox::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN) || !(m_textColour.a > 0.0f)) return;
    CUiObject::Render();
    if (m_caretTimer > 1.0f) m_caretTimer = 0.0f;
    if (!m_font) return;
    const UiPoint a = GetAbsolutePos();
    const int32_t x = PixelCoord(a.x) + m_font->LeftMargin();
    const int32_t y = PixelCoord(a.y + std::trunc((m_size.y - static_cast<float>(m_font->LineHeight())) * 0.5f));
    std::string shown = ShownText();
    if (HasFlags(UI_FOCUS) && CaretShown()) shown += "|";
    if (!shown.empty()) m_font->Draw(x, y, shown, PackColor(m_textColour));
}

void CUiEditBox::SetEnabled(int enable) {
    ApplyDisabledColour(enable, &m_textColour, &m_savedTextColour);
}

int CUiEditBox::SerializeLayoutPart(CLayoutStream& s) {
    const UiColor& own = HasFlags(UI_DISABLED) ? m_savedTextColour : m_textColour;
    float colour[4] = {own.r, own.g, own.b, own.a};
    uint32_t font = FontIndex();
    if (!s.Floats(colour, 4) || !s.Field(m_editStyle)) return 0;
    // Older layouts have no font index: font 0.
    if (s.Version() == CUiWindow::kVersion107)
        font = 0;
    else if (!s.Field(font))
        return 0;
    if (!s.Reading()) return 1;
    m_textColour = {colour[0], colour[1], colour[2], colour[3]};
    m_savedTextColour = m_textColour;
    if (HasFlags(UI_DISABLED)) m_textColour = DimmedColor(m_textColour);
    SetFont(font);
    return 1;
}
