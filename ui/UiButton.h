// A push button: three state images (normal, hover, pressed), each optionally
// a sprite-sheet animation, a caption drawn centred, and a hover and a click
// sound. It reports a click only for a press and a release both inside it.
// The check button derives from it.
#pragma once

#include <cstdint>
#include <string>

#include "ui/UiFrameAnimation.h"
#include "ui/UiObject.h"

class CUiButton : public CUiObject {
public:
    enum State { STATE_NORMAL = 0, STATE_HOVER = 1, STATE_PRESSED = 2 };

    // Style bits in the flag word.
    static constexpr uint32_t kStyleStillCaption = 0x01000000;  // no caption shift; check button: no toggle
    static constexpr uint32_t kStyleAnimateNormal = 0x04000000;
    static constexpr uint32_t kStyleAnimateHover = 0x08000000;
    static constexpr uint32_t kStyleAnimatePressed = 0x10000000;
    // Flag bit: the hover sound was played for this entry of the pointer.
    static constexpr uint32_t kFlagHoverPlayed = 0x80;

    CUiButton();
    ~CUiButton() override;

    void SetTextAlpha(float alpha) override { m_textColour.a = alpha; }
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetEnabled(int enable) override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    // Takes over one reference of the texture (null clears the state's image;
    // the previous one is released). resetColour makes the colour white.
    void SetImage(int state, CResource* texture, bool resetColour, const std::string& name = {});
    CResource* StateImage(int state) const { return ValidState(state) ? m_stateImage[state] : nullptr; }
    void SetStateUv(int state, const float uv[8]);
    // Takes over one reference of each sound effect (null for none).
    void SetSounds(CResource* hover, CResource* click);
    void SetCaption(const std::string& caption) { m_caption = caption; }
    const std::string& Caption() const { return m_caption; }
    void SetCaptionColour(const UiColor& colour) { m_textColour = colour; }
    const UiColor& CaptionColour() const { return m_textColour; }
    void SetAnimation(uint32_t columns, uint32_t rows, float frameTime);
    const CUiFrameAnimation& Animation() const { return m_animation; }

    int ShownState() const { return m_shownState; }
    bool ShownAnimated() const { return m_animateState != 0; }
    const UiPoint& CaptionShift() const { return m_textOffset; }
    UiPoint FrameSize() const { return m_frameSize; }
    void PlayClickSound() { PlaySound(SOUND_CLICK); }

protected:
    enum Sound { SOUND_HOVER, SOUND_CLICK };
    // Plays one of the two sounds; tests listen here.
    virtual void PlaySound(Sound which);
    static bool ValidState(int state) { return state >= 0 && state < 3; }
    // Shows a state's image (the normal one when it has none, not animated).
    void ShowState(int state, bool animate);
    void ShiftCaption(bool pressed);
    // Frame size from a state image and the grid (an image of no texture changes nothing).
    void UpdateFrameSize(CResource* texture);
    bool PointerIn(CZEMDXInput& input);
    int SerializeCommonPart(CLayoutStream& stream);
    void DrawCaption(float x, float y);

    CResource* m_stateImage[3] = {};
    std::string m_stateImageName[3];
    float m_stateUv[3][8];
    UiPoint m_textOffset;
    std::string m_caption;
    UiColor m_textColour{0, 0, 0, 1};
    UiColor m_savedTextColour{0, 0, 0, 1};
    CResource* m_hoverSound = nullptr;
    CResource* m_clickSound = nullptr;
    std::string m_hoverSoundName, m_clickSoundName;
    CUiFrameAnimation m_animation;
    UiPoint m_frameSize;
    int m_animateState = 0;
    int m_shownState = STATE_NORMAL;
};
