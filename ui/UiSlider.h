// A value slider: a thumb dragged along a horizontal or vertical track
// between a minimum and a maximum value. The value is always within the
// range, and a track too short for its thumb (step 0) keeps the minimum.
#pragma once

#include <cstdint>

#include "ui/UiButton.h"

class CUiSlider : public CUiObject {
public:
    static constexpr uint32_t kStyleReadOnly = 0x01000000;
    static constexpr uint32_t kStyleVertical = 0x02000000;

    CUiSlider();
    ~CUiSlider() override;

    // The style is OR-ed into the flags (exactly 4 disables).
    void Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                uint32_t style) override;
    void CreateForLayout(CUiWindow* window, const std::string& name) override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetEnabled(int enable) override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    // Makes the thumb the first time.
    void SetThumbLength(float length);
    float ThumbLength() const { return m_thumbLength; }
    void SetRange(int32_t minimum, int32_t maximum);
    // Value clamped to the range; moves the thumb.
    void SetPosition(int32_t value);
    using CUiObject::SetPosition;
    int32_t Value() const { return m_minimum + m_position; }
    int32_t Position() const { return m_position; }
    float Step() const { return m_step; }
    float ThumbOffset() const;
    CUiButton& Thumb() { return m_thumb; }

private:
    float TrackLength() const { return HasFlags(kStyleVertical) ? m_size.y : m_size.x; }
    void PlaceThumb();
    void FollowCursor(const UiPoint& cursor);

    CUiButton m_thumb;
    bool m_thumbMade = false;
    float m_thumbLength = 0.0f;
    int32_t m_minimum = 0;
    int32_t m_maximum = 0;
    int32_t m_position = 0;
    float m_step = 0.0f;
};
