#include "screens/lobby/QuickJoinWindow.h"

#include "engine/core/MessageTable.h"
#include "ui/UiButton.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

int CQuickJoinWindow::OnLayoutLoaded() {
    m_joinButton = static_cast<CUiButton*>(Bind("ID_BUTTON_JOIN", UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    const int choices = m_choices.Bind([this](const char* name, uint32_t type) { return Bind(name, type); });
    return choices && m_joinButton && m_cancel;
}

void CQuickJoinWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    if (control == m_joinButton) {
        m_join = 1;
    } else if (control == m_cancel) {
        Close();
    } else if (m_choices.OnClick(control, m_settings) == CRoomChoiceControls::CLICK_LEVEL) {
        ShowLevel();
    }
}

void CQuickJoinWindow::ShowLevel() {
    if (CUiStatic* text = m_choices.LevelText())
        text->SetText(
            GetMessageText(m_settings.Choice() < 0 ? MSG_LOBBY_NO_LIMIT_LEVEL : MSG_LOBBY_LIMIT_LEVEL_MESSAGE1));
}

void CQuickJoinWindow::Open() {
    m_join = 0;
    m_settings.Reset();
    ShowLevel();
    m_choices.ShowMode(m_settings.Mode());
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, true);
    g_pUiManager->BringToFront(this);
}

void CQuickJoinWindow::Close() {
    m_join = 0;
    if (g_pUiManager) g_pUiManager->ShowWindow(this, false);
}

bool CQuickJoinWindow::RandomTeams() const { return m_choices.RandomTeams(m_settings); }
