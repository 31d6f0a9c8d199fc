#include "ui/UiCheckButton.h"

#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/LayoutStream.h"
#include "ui/UiWindow.h"

CUiCheckButton::CUiCheckButton() { m_typeId = UI_TYPE_CHECKBUTTON; }

void CUiCheckButton::SetChecked(bool checked) {
    if (checked)
        AddFlags(kStyleChecked);
    else
        ClearFlags(kStyleChecked);
    ShowState(checked ? STATE_PRESSED : STATE_NORMAL, false);
}

CUiObject* CUiCheckButton::ProcessInput(float dt, CZEMDXInput& input) {
    m_animation.AddTime(dt);
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    // Another button held at the same time cancels the left button.
    const bool others = input.MouseDown(1) || input.MouseDown(2);
    // A press that began outside and moved in is no press of this button.
    const bool held = input.MouseDown(0) && !others && (input.MousePressed(0) || HasFlags(UI_PRESSED));
    const bool clicked = input.MouseReleased(0) && !others;
    const bool blocked = HasFlags(UI_BLOCKED);
    if (PointerIn(input) && HasFlags(UI_POINTER_OVER)) {
        ShowState(Checked() ? STATE_PRESSED : STATE_HOVER, false);
        if (!HasFlags(kFlagHoverPlayed)) {
            if (m_colour.a > 0.0f) PlaySound(SOUND_HOVER);
            AddFlags(kFlagHoverPlayed);
        }
        if (held) {
            AddFlags(UI_PRESSED);
            return this;
        }
        if (clicked) {
            if (!HasFlags(UI_PRESSED)) return nullptr;
            if (m_colour.a > 0.0f) PlaySound(SOUND_CLICK);
            ClearFlags(UI_PRESSED);
            if (!HasFlags(kStyleStillCaption)) SetChecked(!Checked());
            if (Checked() && blocked) return nullptr;
        }
        return this;
    }
    ClearFlags(kFlagHoverPlayed);
    if (HasFlags(UI_PRESSED) && clicked) ClearFlags(UI_PRESSED);
    ShowState(Checked() ? STATE_PRESSED : STATE_NORMAL, false);
    return nullptr;
}

void CUiCheckButton::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiObject::Render();
    if (!(m_textColour.a > 0.0f) || m_caption.empty() || !m_font) return;
    int32_t w = 0, h = 0;
    m_font->Measure(m_caption, &w, &h);
    const UiPoint a = GetAbsolutePos();
    const float margin = static_cast<float>(m_font->LeftMargin());
    float x = std::trunc(a.x + m_size.x + margin);
    if (HasFlags(kStyleCaptionCentred))
        x = std::trunc(a.x) + std::trunc((m_size.x - static_cast<float>(w)) / 2) + margin;
    else if (HasFlags(kStyleCaptionLeft))
        x = std::trunc(a.x) - margin - static_cast<float>(w) - 5;
    float y = std::trunc(a.y) + std::trunc((m_size.y - static_cast<float>(m_font->LineHeight())) * 0.5f);
    if (Checked()) y += static_cast<float>(m_checkData);
    DrawCaption(x, y);
}

int CUiCheckButton::SerializeLayoutPart(CLayoutStream& s) {
    if (!SerializeCommonPart(s)) return 0;
    // Older layouts end before the caption shift.
    if (s.Version() == CUiWindow::kVersion107) return 1;
    if (!s.Field(m_checkData)) return 0;
    if (s.Reading()) ShowState(Checked() ? STATE_PRESSED : STATE_NORMAL, false);
    return 1;
}
