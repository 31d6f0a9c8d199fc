// The HUD strip at the top of the play screen ("PLAY_UPPER.DUI"): the two
// guardians with their gauges, the day and night with its five bubbles, the
// match clock, the count-down to the guardians' time, the warnings and the
// menu buttons. It slides in and out 36 pixels at 100 pixels a second.
#pragma once

#include <array>
#include <cstdint>

#include "ui/UiWindow.h"

class CPlayScreen;
class CUiGauge;
class CUiStatic;
class CWorldObject;

class CTopBarPanel : public CUiWindow {
public:
    static constexpr const char* kLayout = "PLAY_UPPER.DUI";
    static constexpr float kSlideDistance = 36.0f;
    static constexpr float kSlideTick = 0.01f;
    static constexpr int kBubbles = 5;
    static constexpr int kDigits = 5;
    static constexpr int kMenuButtons = 6;
    // The count-down shows at most five digits.
    static constexpr int32_t kMaxCountdown = 99999;
    // The day and night period is six steps of a minute.
    static constexpr int32_t kDaySteps = 6;
    static constexpr float kStepSeconds = 60.0f;
    static constexpr float kNightFade = 0.3f;

    int OnLayoutLoaded() override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    // The menu buttons ask the play screen for its menu, shop, combination
    // list, options, help and rank board, in that order.
    void OnLButtonClick(CUiObject* control) override;

    // Starts the strip sliding up (hide) or back down.
    void StartSlide(bool hide);
    void Slide(float dt);
    // which 0: the guardians fade in; 1: the warning label fades out.
    void Animate(float dt, int which);
    void UpdateGuardians();
    void UpdateDayNight(float dt);
    void UpdateClock();
    void DrawCountdown();
    // The five digits of a count-down, ten thousands first.
    static std::array<int, kDigits> CountdownDigits(float remaining);

    // Set by the play screen.
    CPlayScreen* owner = nullptr;
    bool night = false;
    // Seconds into the present day and night phase.
    float dayClock = 0;
    bool warningSwitch = false;
    bool guardianFadeIn = false;
    int warningIndex = 0;
    // Raised when the warning has faded out (the lord-warning state 2).
    bool warningDone = false;

    bool Sliding() const { return m_sliding; }
    float SlideMoved() const { return m_moved; }
    int DayPhase() const { return m_phase; }
    bool CountdownOn() const { return m_countdown; }

    std::array<CUiStatic*, kBubbles> bubbles{};
    std::array<CUiStatic*, kDigits> digits{};
    std::array<CUiStatic*, 3> warnings{};
    std::array<CUiObject*, kMenuButtons> menuButtons{};
    CUiStatic* clock = nullptr;
    CUiStatic* timerDeco = nullptr;
    CUiStatic* day = nullptr;
    CUiStatic* nightLabel = nullptr;
    // Per team (0 the Light, 1 the Darkness): gauge shell, level, face, HP gauge, name.
    struct Guardian {
        CUiStatic* shell = nullptr;
        CUiStatic* level = nullptr;
        CUiObject* face = nullptr;
        CUiGauge* hp = nullptr;
        CUiStatic* name = nullptr;
        bool named = false;
        // The guardian's maximum hit points on its shell, once it is fully
        // shown; below 0 nothing is shown.
        float godGauge = -1.0f;
    };
    std::array<Guardian, 2> guardians{};

private:
    // The guardian record's face on its button, one texel a pixel.
    static void ShowGuardianFace(Guardian& g, CWorldObject* lord);

    bool m_sliding = false;
    bool m_hiding = false;
    float m_slideTimer = 0;
    float m_moved = 0;
    int m_phase = -1;
    bool m_countdown = false;
    float m_warningTimer = 0;
};
