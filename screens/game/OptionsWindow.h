// The options window ("PLAY_CONFIG.DUI"), opened from the game menu and from
// the lobby: scroll speed, unit bars, volumes, voice, gamma, shadows, effect
// and sight grades and colour depth. Every change takes effect at once; the
// owner saves the options once the window has closed itself.
//
// The settings fall into three groups, applied together: game (scroll speed,
// unit bars), sound (the two volumes, voice) and video (gamma, shadows,
// effect and sight grades, colour depth). The colour depth is only stored: it
// takes effect when the device is next created.
#pragma once

#include <array>
#include <cstdint>

#include "ui/UiWindow.h"

class COptions;
class CUiButton;
class CUiCheckButton;
class CUiSlider;
class IOptionsTarget;

class COptionsWindow : public CUiWindow {
public:
    enum SliderIndex : int {
        SLIDER_GAME,
        SLIDER_SOUND1,
        SLIDER_SOUND2,
        SLIDER_VIDEO1,
        SLIDER_VIDEO2,
        SLIDER_VIDEO3,
        SLIDER_VIDEO4,
        kSliders,
    };
    enum CheckIndex : int {
        CHECK_LIFE_ON,
        CHECK_LIFE_OFF,
        CHECK_SOUND_ON,
        CHECK_SOUND_OFF,
        CHECK_16BIT,
        CHECK_32BIT,
        kChecks,
    };
    enum Group : int { GROUP_GAME, GROUP_SOUND, GROUP_VIDEO };
    static constexpr uint32_t kCheckedBit = 0x2000000;
    // Marks the button of a pair that is not the chosen one.
    static constexpr uint32_t kOfferedBit = 0x1000000;

    // The options and where they are applied; without a call (or with null)
    // the application's, through the screen host.
    void SetTargets(COptions* options, IOptionsTarget* target);

    int OnLayoutLoaded() override;
    // Applies the group of a slider the player moved.
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void OnLButtonClick(CUiObject* control) override;

    // The controls show the options.
    void RefreshFromOptions();
    // The controls' values into the options, and on to their services.
    void ApplyGroup(int group);
    // The stepped sliders stop at 0, 10, 20 (and 30 where the range goes so far).
    static int32_t SnapStep(int32_t value, int32_t maximum);
    // 1 once after the close button hid the window.
    int TakeClosed();
    // Saves the options once the window has closed itself; 1 when it had.
    int SaveWhenClosed();

    CUiSlider* Slider(int index) const { return m_sliders[static_cast<size_t>(index)]; }
    CUiCheckButton* Check(int index) const { return m_checks[static_cast<size_t>(index)]; }
    CUiButton* CloseButton() const { return m_close; }
    CUiButton* DefaultButton() const { return m_default; }

private:
    COptions* Options() const;
    IOptionsTarget* Target() const;
    // The other button of a check button's pair and the pair's group, or -1.
    int PairOf(const CUiObject* control, int* group) const;

    std::array<CUiSlider*, kSliders> m_sliders{};
    // What each slider showed when the options were last applied or shown.
    std::array<int32_t, kSliders> m_applied{};
    std::array<CUiCheckButton*, kChecks> m_checks{};
    CUiButton* m_close = nullptr;
    CUiButton* m_default = nullptr;
    uint32_t m_closed = 0;
    COptions* m_options = nullptr;
    IOptionsTarget* m_target = nullptr;
};
