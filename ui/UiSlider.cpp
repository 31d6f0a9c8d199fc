#include "ui/UiSlider.h"

#include <algorithm>
#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/UiWindow.h"
#include "ui/LayoutStream.h"

CUiSlider::CUiSlider() { m_typeId = UI_TYPE_SLIDER; }

CUiSlider::~CUiSlider() = default;

void CUiSlider::Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                       uint32_t style) {
    if (style == UI_DISABLED) SetEnabled(0);
    CUiObject::Create(parent, name, x, y, width, height, style);
    AddFlags(style);
}

void CUiSlider::CreateForLayout(CUiWindow* window, const std::string& name) {
    Create(window, name, 0, 0, 0, 0, 0);
    SetThumbLength(0);
}

void CUiSlider::SetThumbLength(float length) {
    const bool vertical = HasFlags(kStyleVertical);
    if (!m_thumbMade) {
        m_thumb.Create(this, "MID_FrontCtrl", 0, 0, vertical ? m_size.x : length, vertical ? length : m_size.y, 0);
        m_thumb.SetColor(UiColor{0, 0.5f, 1, 1});
        AddChild(&m_thumb);
        m_thumbMade = true;
    }
    m_thumbLength = length;
    if (vertical)
        m_thumb.SetSize(m_thumb.Size().x, length);
    else
        m_thumb.SetSize(length, m_thumb.Size().y);
    SetRange(m_minimum, m_maximum);
}

void CUiSlider::SetRange(int32_t minimum, int32_t maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    const float travel = std::max(0.0f, TrackLength() - m_thumbLength);
    m_step = maximum > minimum ? travel / static_cast<float>(static_cast<int64_t>(maximum) - minimum) : 0.0f;
    SetPosition(Value());
}

void CUiSlider::SetPosition(int32_t value) {
    const int64_t position = static_cast<int64_t>(value) - m_minimum;
    m_position = static_cast<int32_t>(std::clamp<int64_t>(position, 0, static_cast<int64_t>(m_maximum) - m_minimum));
    PlaceThumb();
}

float CUiSlider::ThumbOffset() const { return std::trunc(static_cast<float>(m_position) * m_step); }

void CUiSlider::PlaceThumb() {
    if (HasFlags(kStyleVertical))
        m_thumb.SetPosition(0, ThumbOffset());
    else
        m_thumb.SetPosition(ThumbOffset(), 0);
}

void CUiSlider::FollowCursor(const UiPoint& cursor) {
    const UiPoint a = GetAbsolutePos();
    const bool vertical = HasFlags(kStyleVertical);
    const float travel = std::max(0.0f, TrackLength() - m_thumbLength);
    const float offset = std::clamp((vertical ? cursor.y - a.y : cursor.x - a.x) - m_thumbLength * 0.5f, 0.0f, travel);
    const int64_t last = static_cast<int64_t>(m_maximum) - m_minimum;
    m_position =
        m_step > 0.0f ? static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(offset / m_step + 0.5f), last)) : 0;
    if (vertical)
        m_thumb.SetPosition(0, offset);
    else
        m_thumb.SetPosition(offset, 0);
}

CUiObject* CUiSlider::ProcessInput(float dt, CZEMDXInput& input) {
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    m_thumb.ClearFlags(UI_POINTER_OVER | UI_BLOCKED);
    m_thumb.AddFlags(Flags() & (UI_POINTER_OVER | UI_BLOCKED));
    platform::CursorPoint c{};
    input.GetCursor(&c);
    const UiPoint cursor{static_cast<float>(c.x), static_cast<float>(c.y)};
    m_pointerInside = 0;
    if (!HasFlags(UI_BLOCKED)) HitTest(cursor);
    const bool readOnly = HasFlags(kStyleReadOnly);
    CUiObject* took = m_thumb.ProcessInput(dt, input);
    if (m_thumb.HasFlags(UI_PRESSED) && input.MouseDown(0)) {
        if (!readOnly) FollowCursor(cursor);
        AddFlags(UI_PRESSED);
        return this;
    }
    ClearFlags(UI_PRESSED);
    if (!took && !readOnly && m_pointerInside && HasFlags(UI_POINTER_OVER) && input.MouseReleased(0))
        FollowCursor(cursor);
    return took || (m_pointerInside && HasFlags(UI_POINTER_OVER)) ? this : nullptr;
}

void CUiSlider::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiObject::Render();
    m_thumb.Render();
}

void CUiSlider::SetEnabled(int enable) {
    for (CUiObject* part : m_children) part->SetEnabled(enable);
    ApplyDisabledColour(enable);
}

int CUiSlider::SerializeLayoutPart(CLayoutStream& s) {
    float length = m_thumbLength;
    if (!s.Field(length)) return 0;
    if (s.Reading()) SetThumbLength(length);
    return 1;
}
