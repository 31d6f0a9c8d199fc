// The level-limit and game-mode controls that the make-room and quick-join
// windows share: the two pairs of arrow buttons, the level and mode texts and
// the random-team box with its label.
#pragma once

#include <cstdint>
#include <functional>

class CRoomSettings;
class CUiButton;
class CUiCheckButton;
class CUiObject;
class CUiStatic;

// The game mode's name as the room windows show it; empty outside the list.
const char* GameModeName(int mode);

class CRoomChoiceControls {
public:
    using Binder = std::function<CUiObject*(const char* name, uint32_t type)>;
    enum Click { CLICK_NONE, CLICK_LEVEL, CLICK_MODE };

    // 1 when every control is in the layout.
    int Bind(const Binder& bind);
    // A click on an arrow moves the settings' choice or mode within bounds;
    // a mode click also shows the mode. Which kind of click it was.
    Click OnClick(const CUiObject* control, CRoomSettings& settings) const;
    // The mode's name; the random-team box and its label take part only in mode 0.
    void ShowMode(int mode) const;
    // A room's mode is fixed once it exists: its arrows go.
    void HideModeButtons() const;
    // The box counts only where the mode allows random teams.
    bool RandomTeams(const CRoomSettings& settings) const;

    CUiStatic* LevelText() const { return m_levelText; }
    CUiStatic* ModeText() const { return m_mode; }
    CUiCheckButton* RandomTeamBox() const { return m_randomBox; }

private:
    CUiButton* m_before = nullptr;
    CUiButton* m_next = nullptr;
    CUiButton* m_before2 = nullptr;
    CUiButton* m_next2 = nullptr;
    CUiStatic* m_levelText = nullptr;
    CUiStatic* m_mode = nullptr;
    CUiStatic* m_randomLabel = nullptr;
    CUiCheckButton* m_randomBox = nullptr;
};
