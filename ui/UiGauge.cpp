#include "ui/UiGauge.h"

#include <algorithm>
#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/LayoutStream.h"

CUiGauge::CUiGauge() { m_typeId = UI_TYPE_GAUGE; }

CUiGauge::~CUiGauge() = default;

void CUiGauge::Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                      uint32_t style) {
    if (style == UI_DISABLED) SetEnabled(0);
    CUiObject::Create(parent, name, x, y, width, height, style);
    AddFlags(style);
    if (!m_children.empty()) return;
    m_fill.Create(this, "MID_Front", 0, 0, 0, height, 0);
    m_fill.SetColor(UiColor{1, 0, 1, 1});
    m_head.Create(this, "MID_FRONTHEAD", 0, 0, 0, height, 0);
    m_head.SetColor(UiColor{1, 0.5f, 0.5f, 1});
    AddChild(&m_fill);
    AddChild(&m_head);
}

void CUiGauge::SetPercent(float percent) { m_percent = std::isnan(percent) ? 0.0f : std::clamp(percent, 0.0f, 100.0f); }

void CUiGauge::SetHeadLength(float length) {
    m_headLength = length;
    if (HasFlags(kStyleVertical))
        m_head.SetSize(m_head.Size().x, length);
    else
        m_head.SetSize(length, m_head.Size().y);
}

void CUiGauge::UpdateBar() {
    const bool vertical = HasFlags(kStyleVertical), farEnd = HasFlags(kStyleFromFarEnd);
    const float length = vertical ? m_size.y : m_size.x, across = vertical ? m_size.x : m_size.y;
    const float fill = std::trunc(m_percent * length * 0.01f);
    // Along the bar: offset and length of each part.
    auto place = [&](CUiStatic& part, float offset, float size) {
        const float at = std::trunc(farEnd ? length - offset - size : offset);
        if (vertical) {
            part.SetPosition(0, at);
            part.SetSize(across, size);
        } else {
            part.SetPosition(at, 0);
            part.SetSize(size, across);
        }
    };
    if (fill - m_headLength > 0.0f) {
        m_fill.ClearFlags(UI_HIDDEN);
        place(m_fill, 0, fill - m_headLength);
        place(m_head, fill - m_headLength, m_headLength);
    } else {
        m_fill.AddFlags(UI_HIDDEN);
        place(m_head, 0, fill);
    }
}

CUiObject* CUiGauge::ProcessInput(float dt, CZEMDXInput& input) {
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    m_fill.ClearFlags(UI_POINTER_OVER | UI_BLOCKED);
    m_fill.AddFlags(Flags() & (UI_POINTER_OVER | UI_BLOCKED));
    m_fill.ProcessInput(dt, input);
    m_pointerInside = 0;
    if (!HasFlags(UI_BLOCKED)) {
        platform::CursorPoint cursor{};
        input.GetCursor(&cursor);
        HitTest({static_cast<float>(cursor.x), static_cast<float>(cursor.y)});
    }
    return m_pointerInside && HasFlags(UI_POINTER_OVER) && input.MouseReleased(0) ? this : nullptr;
}

void CUiGauge::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiObject::Render();
    m_fill.Render();
    m_head.Render();
}

void CUiGauge::SetEnabled(int enable) {
    for (CUiObject* part : m_children) part->SetEnabled(enable);
    ApplyDisabledColour(enable);
}

int CUiGauge::SerializeLayoutPart(CLayoutStream& s) {
    float head = m_headLength;
    if (!s.Field(head)) return 0;
    if (s.Reading()) SetHeadLength(head);
    return 1;
}
