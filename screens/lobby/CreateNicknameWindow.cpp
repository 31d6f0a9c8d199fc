#include "screens/lobby/CreateNicknameWindow.h"

#include "engine/core/MessageTable.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/NicknameScreen.h"
#include "ui/UiButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

int CCreateNicknameWindow::OnLayoutLoaded() {
    m_ok = static_cast<CUiButton*>(Bind("ID_BUTTON_OK", UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    m_edit = static_cast<CUiEditBox*>(Bind("ID_EDIT_NICKNAME", UI_TYPE_EDITBOX));
    m_info = static_cast<CUiStatic*>(Bind("ID_STATIC_INFO", UI_TYPE_STATIC));
    if (!m_ok || !m_cancel || !m_edit || !m_info) return 0;
    m_info->SetText(GetMessageText(MSG_NICKNAME_UI_CREATE_NICKNAME));
    m_edit->SetByteLimit(kByteLimit);
    return 1;
}

void CCreateNicknameWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    if (control == m_ok) m_create = 1;
    if (control == m_cancel) Close();
}

void CCreateNicknameWindow::OnEnter(CUiObject*) {
    if (!m_owner || m_owner->Phase() != CNicknameScreen::PHASE_CREATING) return;
    if (lobby::EnterPressed() && g_pUiManager && g_pUiManager->Focus() == m_edit) m_create = 1;
}

void CCreateNicknameWindow::Close() {
    if (g_pUiManager) {
        g_pUiManager->SetFocus(nullptr);
        g_pUiManager->ShowWindow(this, false);
    }
    if (m_edit) m_edit->SetText("");
    if (m_owner) m_owner->SetPhase(CNicknameScreen::PHASE_CHOOSING);
}
