// The window of a quick join's wishes ("QUICKJOIN2.DUI"): any level or near
// the player's rank, and the game mode with its random-team box. The lobby
// polls its join latch and sends the request.
#pragma once

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
    CUiStatic* LevelText() const { return m_levelText; }
    CUiStatic* ModeText() const { return m_mode; }
    CUiCheckButton* RandomTeamBox() const { return m_randomBox; }

private:
    void ShowLevel();

    CRoomSettings m_settings{0};
    int m_join = 0;
    CUiButton* m_joinButton = nullptr;
    CUiButton* m_cancel = nullptr;
    CUiButton* m_before = nullptr;
    CUiButton* m_next = nullptr;
    CUiButton* m_before2 = nullptr;
    CUiButton* m_next2 = nullptr;
    CUiStatic* m_levelText = nullptr;
    CUiStatic* m_mode = nullptr;
    CUiStatic* m_randomLabel = nullptr;
    CUiCheckButton* m_randomBox = nullptr;
};
