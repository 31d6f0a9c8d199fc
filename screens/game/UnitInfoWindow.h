// The HUD window that shows one world object in detail: its name and level,
// hit-point and mana gauges with their numbers, nine ability values with the
// bonuses above their base, up to seven effect icons and the eight inventory
// items with their tooltips. Text-heavy rewrites run at most every 0.1 s.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "screens/game/UnitPortrait.h"
#include "ui/UiWindow.h"

class CUiGauge;
class CUiObject;
class CUiStatic;
class CWorldObject;

class CUnitInfoWindow : public CUiWindow {
public:
    static constexpr int kAbilities = 9;
    static constexpr int kAbilityBonuses = 6;
    static constexpr int kEffectIcons = 7;
    static constexpr int kItems = 8;
    static constexpr float kRefreshInterval = 0.1f;
    // Objects flagged so (removed, hidden) are not shown.
    static constexpr uint32_t kUnshownFlags = 0x40000040u;

    static constexpr float kPortraitFov = 0.5236f;  // pi / 6

    CUnitInfoWindow() = default;
    ~CUnitInfoWindow() override;

    int OnLayoutLoaded() override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;

    // Shows the object of that index, or hides the window when it cannot be shown.
    void ShowObject(int32_t index);
    // With hide, the contents are reset; else the rewrite once the timer allows.
    void Refresh(int hide);
    int32_t Shown() const { return m_shown; }
    // The portrait's target, again after a device reset; 0 when the device refuses it.
    int RestorePreview();
    void InvalidatePreview() { m_portrait.Invalidate(); }
    // Draws the portrait of the shown object into its target.
    void RenderPreview();
    const CUnitPortrait& Portrait() const { return m_portrait; }

    CUiStatic* name = nullptr;
    CUiStatic* hpNumber = nullptr;
    CUiStatic* mpNumber = nullptr;
    CUiGauge* hpGauge = nullptr;
    CUiGauge* mpGauge = nullptr;
    std::array<CUiStatic*, kAbilities> abilities{};
    std::array<CUiStatic*, kAbilityBonuses> bonuses{};
    std::array<CUiObject*, kEffectIcons> effectIcons{};
    std::array<CUiObject*, kItems> items{};

private:
    void Rewrite(CWorldObject& object);
    CWorldObject* ShownObject() const;

    int32_t m_shown = -1;
    float m_refreshTimer = 0;
    CUiObject* m_face = nullptr;
    CUiObject* m_statIcon = nullptr;
    CUiObject* m_raceIcon = nullptr;
    CUiObject* m_barShell = nullptr;
    CUiObject* m_close = nullptr;
    CUnitPortrait m_portrait{kPortraitFov};
};

// Fills the icon controls with the object's active effects that have an icon,
// in list order, each with its tooltip; the rest stay hidden. With blink, an
// effect in its last 5 s fades through its last second and blinks before it.
void ShowEffectIcons(CWorldObject& object, CUiObject* const* controls, int count, int blink);
// The blink state of an effect with remaining seconds: its alpha and whether it is hidden.
void EffectBlink(float remaining, float* alpha, bool* hidden);
