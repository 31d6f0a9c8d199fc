// The bar of a replay ("UI_PLAY_REPLAY.DUI"): elapsed and total match time,
// a progress gauge, the playback speed, the players whose view can be
// followed, and buttons for pause, faster, slower, options, quit and menu.
// It changes only the play screen's own state: the recorded match runs on
// as it was played.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/UiWindow.h"

class CPlayScreen;
class CUiButton;
class CUiComboBox;
class CUiGauge;
class CUiStatic;

// "1:05" or "45 s" style, by the message table's time texts.
std::string FormatMatchTime(float seconds);

class CReplayControlWindow : public CUiWindow {
public:
    static constexpr int kButtons = 6;
    static constexpr float kSpeedStep = 0.5f;
    static constexpr float kMaxSpeed = 10.0f;
    static constexpr float kMinSpeed = 0.5f;

    // matchLength: the recorded match's length in seconds.
    CReplayControlWindow(CPlayScreen* play, float matchLength) : m_play(play), m_matchLength(matchLength) {}

    int OnLayoutLoaded() override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;

    // The view follows the player of a list entry; nothing without one.
    void SelectPlayer(int32_t position);
    // Home and End: the previous or next entry of the list, wrapping around.
    void StepPlayer(int direction);
    // The texts of this frame: the time line and the speed.
    void RefreshTexts();

    const std::string& TimeLine() const { return m_timeLine; }
    const std::string& TotalText() const { return m_totalText; }
    const std::string& SpeedText() const { return m_speedText; }
    const std::string& FollowedName() const { return m_followed; }
    CUiComboBox* PlayerList() const { return m_players; }
    CUiButton* Button(int number) const { return m_buttons[static_cast<size_t>(number - 1)]; }
    CUiGauge* Gauge() const { return m_gauge; }

private:
    void FillPlayerList();
    bool ReplayEnded() const;

    CPlayScreen* m_play;
    float m_matchLength;
    std::array<CUiButton*, kButtons> m_buttons{};
    CUiStatic* m_time = nullptr;
    CUiStatic* m_speed = nullptr;
    CUiGauge* m_gauge = nullptr;
    CUiComboBox* m_players = nullptr;
    CUiStatic* m_main = nullptr;
    std::string m_timeLine;
    std::string m_totalText;
    std::string m_currentText;
    std::string m_speedText;
    std::string m_followed;
    // The list entry the view follows, to notice the player's choice.
    int32_t m_shownEntry = -1;
};
