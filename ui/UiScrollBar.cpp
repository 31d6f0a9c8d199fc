#include "ui/UiScrollBar.h"

#include <algorithm>
#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/UiWindow.h"

CUiScrollBar::CUiScrollBar() { m_typeId = UI_TYPE_SCROLLBAR; }

void CUiScrollBar::Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                          uint32_t style) {
    CUiObject::Create(parent, name, x, y, width, height, style);
    AddFlags(style);
    if (!m_children.empty()) return;
    m_thumb.Create(this, "MID_FrontCtrl", 0, 0, width, 0, 0);
    m_up.Create(this, "MID_SideButton1", 0, 0, width, 0, 0);
    m_down.Create(this, "MID_SideButton2", 0, height, width, 0, 0);
    AddChild(&m_thumb);
    AddChild(&m_up);
    AddChild(&m_down);
}

void CUiScrollBar::CreateForLayout(CUiWindow* window, const std::string& name) {
    Create(window, name, 0, 0, 0, 0, kStyleVertical);
}

void CUiScrollBar::SetArrowSize(float size) {
    m_arrowSize = size;
    m_up.SetPosition(0, 0);
    m_up.SetSize(m_size.x, size);
    m_down.SetPosition(0, m_size.y - size);
    m_down.SetSize(m_size.x, size);
    m_thumb.SetSize(m_size.x, m_thumb.Size().y);
    UpdateStep();
}

void CUiScrollBar::UpdateStep() {
    const float travel = std::max(0.0f, m_size.y - m_thumb.Size().y);
    m_step = travel / static_cast<float>(m_range == 0 ? 1 : m_range);
}

void CUiScrollBar::SetRange(uint32_t total, uint32_t page) {
    m_range = total > page ? total - page : 0;
    UpdateStep();
    if (m_position > m_range) SetPosition(m_range);
}

void CUiScrollBar::SetPosition(uint32_t n) {
    if (n > m_range) return;
    m_position = n;
    m_thumb.SetPosition(m_thumb.Position().x, static_cast<float>(n) * m_step);
}

void CUiScrollBar::StepBy(int delta) {
    if (delta < 0 && m_position == 0) return;
    if (delta > 0 && m_position >= m_range) return;
    SetPosition(delta < 0 ? m_position - 1 : m_position + 1);
    m_moved = 1;
}

void CUiScrollBar::FollowCursor(float cursorY) {
    const float travel = std::max(0.0f, m_size.y - m_thumb.Size().y);
    const float y = std::clamp(cursorY - m_thumb.Size().y * 0.5f - GetAbsolutePos().y, 0.0f, travel);
    const double position = m_step > 0.0f ? static_cast<double>(y) / m_step + 0.5 : 0.0;
    m_position = position >= static_cast<double>(m_range) ? m_range : static_cast<uint32_t>(position);
    m_thumb.SetPosition(m_thumb.Position().x, y);
    m_moved = 1;
}

CUiObject* CUiScrollBar::ProcessInput(float dt, CZEMDXInput& input) {
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    const uint32_t shared = UI_POINTER_OVER | UI_BLOCKED;
    for (CUiButton* part : {&m_thumb, &m_up, &m_down}) {
        part->ClearFlags(shared);
        part->AddFlags(Flags() & shared);
    }
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    m_pointerInside = 0;
    if (!HasFlags(UI_BLOCKED)) HitTest({static_cast<float>(cursor.x), static_cast<float>(cursor.y)});

    CUiObject* took = m_thumb.ProcessInput(dt, input);
    if (m_thumb.HasFlags(UI_PRESSED) && input.MouseDown(0)) {
        FollowCursor(static_cast<float>(cursor.y));
        AddFlags(UI_PRESSED);
        return &m_thumb;
    }
    ClearFlags(UI_PRESSED);
    if (took) return took;
    for (CUiButton* arrow : {&m_up, &m_down}) {
        const int delta = arrow == &m_up ? -1 : 1;
        CUiObject* hit = arrow->ProcessInput(dt, input);
        if (!hit) continue;
        if (input.MouseReleased(0)) {
            StepBy(delta);
            m_heldTime = 0.0f;
        } else if (arrow->HasFlags(UI_PRESSED)) {
            m_heldTime += dt;
            if (m_heldTime > kRepeatDelay) StepBy(delta);
        } else {
            m_heldTime = 0.0f;
        }
        return hit;
    }
    if (!m_pointerInside || !HasFlags(UI_POINTER_OVER)) return nullptr;
    if (input.MouseReleased(0)) FollowCursor(static_cast<float>(cursor.y));
    return this;
}

void CUiScrollBar::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiObject::Render();
    for (CUiObject* part : m_children) part->Render();
}

void CUiScrollBar::SetEnabled(int enable) {
    for (CUiObject* part : m_children) part->SetEnabled(enable);
    ApplyDisabledColour(enable);
}
