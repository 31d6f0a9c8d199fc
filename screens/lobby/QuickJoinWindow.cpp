#include "screens/lobby/QuickJoinWindow.h"

#include "engine/core/MessageTable.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

int CQuickJoinWindow::OnLayoutLoaded() {
    m_joinButton = static_cast<CUiButton*>(Bind("ID_BUTTON_JOIN", UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    m_before = static_cast<CUiButton*>(Bind("ID_BUTTON_BEFORE", UI_TYPE_BUTTON));
    m_next = static_cast<CUiButton*>(Bind("ID_BUTTON_NEXT", UI_TYPE_BUTTON));
    m_before2 = static_cast<CUiButton*>(Bind("ID_BUTTON_BEFORE2", UI_TYPE_BUTTON));
    m_next2 = static_cast<CUiButton*>(Bind("ID_BUTTON_NEXT2", UI_TYPE_BUTTON));
    m_levelText = static_cast<CUiStatic*>(Bind("ID_STATIC_LIMITLEVEL", UI_TYPE_STATIC));
    m_mode = static_cast<CUiStatic*>(Bind("ID_STATIC_MODE", UI_TYPE_STATIC));
    m_randomLabel = static_cast<CUiStatic*>(Bind("ID_STATIC_RANDOMTEAM", UI_TYPE_STATIC));
    m_randomBox = static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_RANDOMTEAM", UI_TYPE_CHECKBUTTON));
    return m_joinButton && m_cancel && m_before && m_next && m_before2 && m_next2 && m_levelText && m_mode &&
           m_randomLabel && m_randomBox;
}

void CQuickJoinWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    if (control == m_joinButton) {
        m_join = 1;
    } else if (control == m_cancel) {
        Close();
    } else if (control == m_before) {
        m_settings.LowerChoice();
        ShowLevel();
    } else if (control == m_next) {
        m_settings.RaiseChoice();
        ShowLevel();
    } else if (control == m_before2 || control == m_next2) {
        if (control == m_before2) {
            m_settings.LowerMode();
        } else {
            m_settings.RaiseMode();
        }
        ShowGameModeControls(m_settings.Mode(), m_mode, m_randomLabel, m_randomBox);
    }
}

void CQuickJoinWindow::ShowLevel() {
    if (m_levelText)
        m_levelText->SetText(
            GetMessageText(m_settings.Choice() < 0 ? MSG_LOBBY_NO_LIMIT_LEVEL : MSG_LOBBY_LIMIT_LEVEL_MESSAGE1));
}

void CQuickJoinWindow::Open() {
    m_join = 0;
    m_settings.Reset();
    ShowLevel();
    ShowGameModeControls(m_settings.Mode(), m_mode, m_randomLabel, m_randomBox);
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, true);
    g_pUiManager->BringToFront(this);
}

void CQuickJoinWindow::Close() {
    m_join = 0;
    if (g_pUiManager) g_pUiManager->ShowWindow(this, false);
}

bool CQuickJoinWindow::RandomTeams() const {
    return m_settings.RandomTeamEnabled() && m_randomBox && m_randomBox->Checked();
}
