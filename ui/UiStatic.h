// A label: its own text in a text colour (left, centred or right aligned) and
// an image that can play a sprite-sheet animation, looping, stopping on the
// last frame or hiding the static at the end. It reports clicks like a button.
#pragma once

#include <cstdint>
#include <string>

#include "ui/UiFrameAnimation.h"
#include "ui/UiObject.h"

class CUiStatic : public CUiObject {
public:
    static constexpr uint32_t kStyleAnimate = 0x01000000;
    static constexpr uint32_t kStyleStayAtEnd = 0x02000000;
    static constexpr uint32_t kStyleHideAtEnd = 0x04000000;
    static constexpr uint32_t kFlagCentreText = 0x100;
    static constexpr uint32_t kFlagRightText = 0x200;

    CUiStatic();

    void SetTextAlpha(float alpha) override { m_textColour.a = alpha; }
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetFont(uint32_t index) override;
    void SetEnabled(int enable) override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    // The label's own text (the element's tooltip text is CUiObject::SetText).
    void SetText(const std::string& text);
    void SetNumber(int32_t n);
    void SetTextWithNumber(const std::string& prefix, int32_t n);
    void SetTextJoined(const std::string& a, const std::string& b);
    const std::string& GetText() const { return m_label; }
    const UiPoint& LabelSize() const { return m_labelSize; }
    void SetTextColour(const UiColor& colour) { m_textColour = colour; }
    const UiColor& TextColour() const { return m_textColour; }
    void SetAnimation(uint32_t columns, uint32_t rows, float frameTime);
    const CUiFrameAnimation& Animation() const { return m_animation; }
    // Picks one picture of the image's frame grid.
    void SetFrameIndex(uint32_t frame);
    uint32_t FrameIndex() const { return m_animation.Frame(); }

private:
    void Measure();

    std::string m_label;
    UiPoint m_labelSize;
    UiColor m_textColour{0, 0, 0, 1};
    UiColor m_savedTextColour{0, 0, 0, 1};
    CUiFrameAnimation m_animation;
};
