// The window in which a new room's settings are chosen ("MAKEROOM2.DUI"): the
// title and password, the level limit around the player's rank and the game
// mode with its random-team box. The lobby polls its OK latch and sends the
// request; the waiting room uses the same window to change its room.
#pragma once

#include <cstdint>
#include <string>

#include "net/LobbyMessages.h"
#include "screens/lobby/RoomChoiceControls.h"
#include "screens/lobby/RoomSettings.h"
#include "ui/UiWindow.h"

class CUiButton;
class CUiCheckButton;
class CUiEditBox;
class CUiStatic;

class CMakeRoomWindow : public CUiWindow {
public:
    // lobbyMade: made by the lobby (a new room) rather than by the waiting room.
    explicit CMakeRoomWindow(bool lobbyMade = true) : m_lobbyMade(lobbyMade) {}

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnEnter(CUiObject* control) override;
    void OnTab(CUiObject* control) override;

    // Mode 0, no level limit, the texts for the player's rank; shown in front
    // with the focus on the title.
    void Open(int rank);
    void SetMode(int mode);
    // The waiting room's change of its room: the room's mode (which stays),
    // level choice, title and password; shown in front with the focus on
    // the title.
    void OpenForRoom(int rank, int mode, int choice, const std::string& title, const std::string& password);
    // The level texts for the current choice and the player's rank (clamped to 1..100).
    void MakeLevelTexts();
    // Focus cleared, hidden, both edits (and the typing in progress) emptied.
    void Close();
    // 1 once after OK (or Enter in an edit).
    int TakeOk() {
        const int was = m_ok;
        m_ok = 0;
        return was;
    }

    // The request of the chosen settings; random teams only in mode 0.
    MakeRoomRequest Request(uint32_t mapSum) const;
    const CRoomSettings& Settings() const { return m_settings; }
    bool LobbyMade() const { return m_lobbyMade; }
    CUiEditBox* TitleEdit() const { return m_title; }
    CUiEditBox* PasswordEdit() const { return m_password; }
    CUiStatic* LevelText() const { return m_choices.LevelText(); }
    CUiStatic* LevelInfo() const { return m_levelInfo; }
    CUiStatic* ModeText() const { return m_choices.ModeText(); }
    CUiCheckButton* RandomTeamBox() const { return m_choices.RandomTeamBox(); }

private:
    bool m_lobbyMade;
    CRoomSettings m_settings{4};
    int m_rank = 1;
    int m_ok = 0;
    CRoomChoiceControls m_choices;
    CUiButton* m_okButton = nullptr;
    CUiButton* m_cancel = nullptr;
    CUiStatic* m_levelInfo = nullptr;
    CUiEditBox* m_title = nullptr;
    CUiEditBox* m_password = nullptr;
};
