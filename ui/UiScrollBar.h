// A vertical scroll bar: a thumb that can be dragged along the whole bar and
// two arrow buttons that step by one position (and keep stepping while held).
// Its range is the number of positions beyond the first page; it is never
// below 0, whatever the counts it is given.
#pragma once

#include <cstdint>

#include "ui/UiButton.h"

class CUiScrollBar : public CUiObject {
public:
    static constexpr uint32_t kStyleVertical = 0x02000000;
    static constexpr float kRepeatDelay = 0.2f;

    CUiScrollBar();

    // Makes the parts the first time and ORs style into the flags.
    void Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                uint32_t style) override;
    void CreateForLayout(CUiWindow* window, const std::string& name) override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetEnabled(int enable) override;

    // Arrow buttons at the top and the bottom, size high and as wide as the bar.
    void SetArrowSize(float size);
    float ArrowSize() const { return m_arrowSize; }
    // Range = total - page, 0 when total is not larger.
    void SetRange(uint32_t total, uint32_t page);
    // Accepted only within the range; moves the thumb.
    void SetPosition(uint32_t n);
    using CUiObject::SetPosition;
    uint32_t Position() const { return m_position; }
    uint32_t Range() const { return m_range; }
    float Step() const { return m_step; }
    bool Moved() const { return m_moved != 0; }
    void ClearMoved() { m_moved = 0; }

    CUiButton& Thumb() { return m_thumb; }
    CUiButton& UpArrow() { return m_up; }
    CUiButton& DownArrow() { return m_down; }

private:
    void UpdateStep();
    // Puts the thumb's centre at the cursor's y and takes the position from it.
    void FollowCursor(float cursorY);
    void StepBy(int delta);

    CUiButton m_thumb;
    CUiButton m_up;
    CUiButton m_down;
    float m_arrowSize = 0.0f;
    uint32_t m_position = 0;
    uint32_t m_range = 0;
    float m_step = 0.0f;
    int m_moved = 0;
    float m_heldTime = 0.0f;
};
