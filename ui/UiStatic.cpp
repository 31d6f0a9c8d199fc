#include "ui/UiStatic.h"

#include <cmath>

#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "ui/LayoutStream.h"

CUiStatic::CUiStatic() { m_typeId = UI_TYPE_STATIC; }

void CUiStatic::Measure() {
    m_labelSize = {0, 0};
    if (!m_font) return;
    int32_t w = 0, h = 0;
    m_font->Measure(m_label, &w, &h);
    m_labelSize = {static_cast<float>(w), static_cast<float>(h)};
}

void CUiStatic::SetText(const std::string& text) {
    m_label = text;
    Measure();
}

void CUiStatic::SetNumber(int32_t n) { SetText(FormatText("%d", n)); }

void CUiStatic::SetTextWithNumber(const std::string& prefix, int32_t n) { SetText(prefix + FormatText("%d", n)); }

void CUiStatic::SetTextJoined(const std::string& a, const std::string& b) { SetText(a + b); }

void CUiStatic::SetFont(uint32_t index) {
    CUiObject::SetFont(index);
    Measure();
}

void CUiStatic::SetAnimation(uint32_t columns, uint32_t rows, float frameTime) {
    m_animation.SetGrid(columns, rows, frameTime);
}

void CUiStatic::SetFrameIndex(uint32_t frame) {
    m_animation.SetFrame(frame);
    for (int i = 0; i < 8; ++i) m_uv[i] = m_animation.Uv()[i];
}

void CUiStatic::SetEnabled(int enable) {
    ApplyDisabledColour(enable, &m_textColour, &m_savedTextColour);
}

CUiObject* CUiStatic::ProcessInput(float dt, CZEMDXInput& input) {
    m_animation.AddTime(dt);
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    m_pointerInside = 0;
    if (!m_parent || !m_parent->HasFlags(UI_BLOCKED)) {
        platform::CursorPoint cursor{};
        input.GetCursor(&cursor);
        HitTest({static_cast<float>(cursor.x), static_cast<float>(cursor.y)});
    }
    if (m_pointerInside && HasFlags(UI_POINTER_OVER)) {
        if (input.MouseDown(0)) {
            AddFlags(UI_PRESSED);
            return this;
        }
        if (input.MouseReleased(0) && HasFlags(UI_PRESSED)) ClearFlags(UI_PRESSED);
        return this;
    }
    if (input.MouseReleased(0)) ClearFlags(UI_PRESSED);
    return nullptr;
}

void CUiStatic::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    if (HasFlags(kStyleAnimate) && m_animation.Animated()) {
        CUiFrameAnimation::End end = CUiFrameAnimation::END_LOOP;
        if (HasFlags(kStyleHideAtEnd))
            end = CUiFrameAnimation::END_HIDE;
        else if (HasFlags(kStyleStayAtEnd))
            end = CUiFrameAnimation::END_STAY;
        if (m_animation.Advance(end)) {
            AddFlags(UI_HIDDEN);
            return;
        }
        RenderQuad(m_animation.Uv());
    } else {
        CUiObject::Render();
    }
    if (m_label.empty() || !(m_textColour.a > 0.0f) || !m_font) return;
    float dx = static_cast<float>(m_font->LeftMargin());
    if (HasFlags(kFlagCentreText))
        dx = (m_size.x - m_labelSize.x) * 0.5f;
    else if (HasFlags(kFlagRightText))
        dx = m_size.x - m_labelSize.x - static_cast<float>(m_font->RightMargin());
    const float dy =
        m_labelSize.y < m_size.y ? (m_size.y - m_labelSize.y) * 0.5f : static_cast<float>(m_font->TopMargin());
    const UiPoint a = GetAbsolutePos();
    m_font->Draw(PixelCoord(a.x + std::trunc(dx)), PixelCoord(a.y + std::trunc(dy)), m_label,
                 PackColor(m_textColour));
}

int CUiStatic::SerializeLayoutPart(CLayoutStream& s) {
    const UiColor& own = HasFlags(UI_DISABLED) ? m_savedTextColour : m_textColour;
    float colour[4] = {own.r, own.g, own.b, own.a};
    uint32_t font = FontIndex();
    uint32_t columns = m_animation.Columns(), rows = m_animation.Rows();
    float frameTime = m_animation.FrameTime();
    std::string label = m_label;
    if (!s.Field(label) || !s.Floats(colour, 4) || !s.Field(font) || !s.Field(columns) || !s.Field(rows) ||
        !s.Field(frameTime))
        return 0;
    if (!s.Reading()) return 1;
    m_textColour = {colour[0], colour[1], colour[2], colour[3]};
    m_savedTextColour = m_textColour;
    if (HasFlags(UI_DISABLED)) m_textColour = DimmedColor(m_textColour);
    CUiObject::SetFont(font);
    SetText(label);
    m_animation.SetGrid(columns, rows, frameTime);
    return 1;
}
