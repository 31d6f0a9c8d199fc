// The match's menu ("PLAY_MENU.DUI"): back to the game, quit, no contest,
// pause and cancel pause, key help and the options. The buttons only raise
// the play screen's requests or emit the match's records; the play screen
// shows and hides the windows.
//
// Pauses are shared by all players: each pause or resume is a game event
// record that every machine runs, and the visible button of the pair decides
// which of the two it is. A player has a few pauses for the match, and after
// any pause action both buttons rest for a second so that a double click
// cannot pause and resume at once.
#pragma once

#include <cstdint>

#include "ui/UiWindow.h"

class CPlayScreen;
class CUiButton;

class CGameMenuWindow : public CUiWindow {
public:
    enum ButtonIndex : int {
        BUTTON_GAMECONFIG,
        BUTTON_KEYS,
        BUTTON_PAUSE,
        BUTTON_PAUSE_CANCEL,
        BUTTON_NOCONTEST,
        BUTTON_QUIT,
        BUTTON_RETURN,
        kButtons,
    };
    static constexpr float kPauseRest = 1.0f;
    // The menu stands centred on the 1024 x 768 screen.
    static constexpr float kLeft = 351.0f, kTop = 177.0f;

    explicit CGameMenuWindow(CPlayScreen* play) : m_play(play) {}

    int OnLayoutLoaded() override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void OnLButtonClick(CUiObject* control) override;

    // The pause pair shows the button that the pause state calls for.
    void SyncPauseButtons();
    // 1 once after a button asked for the menu to close.
    int TakeCloseRequest();

    // A missing control stays null.
    CUiButton* Button(int index) const { return m_buttons[static_cast<size_t>(index)]; }
    float PauseClock() const { return m_pauseClock; }
    void SetPauseClock(float seconds) { m_pauseClock = seconds; }

private:
    void Pause();
    void NoContest();

    CPlayScreen* m_play;
    CUiButton* m_buttons[kButtons] = {};
    uint32_t m_closeRequest = 0;
    // Starts rested, so the first pause need not wait.
    float m_pauseClock = 2.0f;
};

// Enables or disables a control (a missing one is ignored).
void EnableControl(CUiObject* control, bool enable);
