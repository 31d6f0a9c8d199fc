#include "screens/lobby/RoomPasswordWindow.h"

#include "engine/core/MessageTable.h"
#include "net/LobbyMessages.h"
#include "screens/lobby/LobbySteps.h"
#include "ui/UiButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

int CRoomPasswordWindow::OnLayoutLoaded() {
    m_acceptButton = static_cast<CUiButton*>(Bind("ID_BUTTON_ACCEPT", UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    m_edit = static_cast<CUiEditBox*>(Bind("ID_EDIT_PASS", UI_TYPE_EDITBOX));
    m_message = static_cast<CUiStatic*>(Bind("ID_STATIC_PASSMESSAGE", UI_TYPE_STATIC));
    if (!m_acceptButton || !m_cancel || !m_edit || !m_message) return 0;
    m_edit->SetByteLimit(static_cast<int>(kRoomPasswordMax));
    m_message->SetText(GetMessageText(MSG_LOBBY_UI_ROOM_PASSWORD));
    return 1;
}

void CRoomPasswordWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    if (control == m_acceptButton) m_accept = 1;
    if (control == m_cancel) Close();
}

void CRoomPasswordWindow::OnEnter(CUiObject* control) {
    if (control == m_edit && lobby::EnterPressed()) m_accept = 1;
}

void CRoomPasswordWindow::Open() {
    m_accept = 0;
    if (m_edit) m_edit->SetText("");
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, true);
    g_pUiManager->BringToFront(this);
    g_pUiManager->SetFocus(m_edit);
}

void CRoomPasswordWindow::Close() {
    m_accept = 0;
    if (m_edit) m_edit->SetText("");
    if (!g_pUiManager) return;
    if (g_pUiManager->Focus() == m_edit) g_pUiManager->SetFocus(nullptr);
    g_pUiManager->ShowWindow(this, false);
}

void CRoomPasswordWindow::Retry() {
    if (m_edit) m_edit->SetText("");
    if (g_pUiManager) g_pUiManager->SetFocus(m_edit);
}
