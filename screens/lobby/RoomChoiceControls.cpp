#include "screens/lobby/RoomChoiceControls.h"

#include "screens/game/PlayResources.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/RoomSettings.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiStatic.h"
#include "ui/UiTypes.h"

const char* GameModeName(int mode) {
    if (!g_pPlayResources || mode < 0 || static_cast<size_t>(mode) >= g_pPlayResources->gameModeNames.size())
        return "";
    return g_pPlayResources->gameModeNames[static_cast<size_t>(mode)].c_str();
}

int CRoomChoiceControls::Bind(const Binder& bind) {
    m_before = static_cast<CUiButton*>(bind("ID_BUTTON_BEFORE", UI_TYPE_BUTTON));
    m_next = static_cast<CUiButton*>(bind("ID_BUTTON_NEXT", UI_TYPE_BUTTON));
    m_before2 = static_cast<CUiButton*>(bind("ID_BUTTON_BEFORE2", UI_TYPE_BUTTON));
    m_next2 = static_cast<CUiButton*>(bind("ID_BUTTON_NEXT2", UI_TYPE_BUTTON));
    m_levelText = static_cast<CUiStatic*>(bind("ID_STATIC_LIMITLEVEL", UI_TYPE_STATIC));
    m_mode = static_cast<CUiStatic*>(bind("ID_STATIC_MODE", UI_TYPE_STATIC));
    m_randomLabel = static_cast<CUiStatic*>(bind("ID_STATIC_RANDOMTEAM", UI_TYPE_STATIC));
    m_randomBox = static_cast<CUiCheckButton*>(bind("ID_CHECKBUTTON_RANDOMTEAM", UI_TYPE_CHECKBUTTON));
    return m_before && m_next && m_before2 && m_next2 && m_levelText && m_mode && m_randomLabel && m_randomBox;
}

CRoomChoiceControls::Click CRoomChoiceControls::OnClick(const CUiObject* control, CRoomSettings& settings) const {
    if (!control) return CLICK_NONE;
    if (control == m_before) {
        settings.LowerChoice();
        return CLICK_LEVEL;
    }
    if (control == m_next) {
        settings.RaiseChoice();
        return CLICK_LEVEL;
    }
    if (control != m_before2 && control != m_next2) return CLICK_NONE;
    if (control == m_before2) {
        settings.LowerMode();
    } else {
        settings.RaiseMode();
    }
    ShowMode(settings.Mode());
    return CLICK_MODE;
}

void CRoomChoiceControls::ShowMode(int mode) const {
    if (m_mode) m_mode->SetText(GameModeName(mode));
    const int enable = mode == 0 ? 1 : 0;
    if (m_randomLabel) m_randomLabel->SetEnabled(enable);
    if (m_randomBox) m_randomBox->SetEnabled(enable);
}

bool CRoomChoiceControls::RandomTeams(const CRoomSettings& settings) const {
    return settings.RandomTeamEnabled() && m_randomBox && m_randomBox->Checked();
}

void CRoomChoiceControls::HideModeButtons() const {
    SetShown(m_before2, false);
    SetShown(m_next2, false);
}
