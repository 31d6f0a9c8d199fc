// The window of a quick join's wishes ("QUICKJOIN2.DUI"): any level or near
// the player's rank, and the game mode with its random-team box. The lobby
// polls its join latch and sends the request.
#pragma once

#include "screens/lobby/RoomChoiceControls.h"
#include "screens/lobby/RoomSettings.h"
#include "ui/UiWindow.h"

class CUiButton;
class CUiCheckButton;
class CUiStatic;

class CQuickJoinWindow : public CUiWindow {
public:
    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;

    // Any level, mode 0; shown in front.
    void Open();
    void Close();
    int TakeJoin() {
        const int was = m_join;
        m_join = 0;
        return was;
    }
    const CRoomSettings& Settings() const { return m_settings; }
    bool RandomTeams() const;
    CUiStatic* LevelText() const { return m_choices.LevelText(); }
    CUiStatic* ModeText() const { return m_choices.ModeText(); }
    CUiCheckButton* RandomTeamBox() const { return m_choices.RandomTeamBox(); }

private:
    void ShowLevel();

    CRoomSettings m_settings{0};
    int m_join = 0;
    CRoomChoiceControls m_choices;
    CUiButton* m_joinButton = nullptr;
    CUiButton* m_cancel = nullptr;
};
