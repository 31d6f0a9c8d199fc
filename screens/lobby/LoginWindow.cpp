#include "screens/lobby/LoginWindow.h"

#include <cstring>

#include "engine/core/MessageTable.h"
#include "platform/Process.h"
#include "screens/lobby/LobbySteps.h"
#include "ui/Screen.h"
#include "ui/ScreenHost.h"
#include "ui/UiButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"

CLoginWindow::CLoginWindow(CScreen* owner) : m_owner(owner) {}

int CLoginWindow::OnLayoutLoaded() {
    m_login = static_cast<CUiButton*>(Bind("ID_BUTTON_LOGIN", UI_TYPE_BUTTON));
    m_exit = static_cast<CUiButton*>(Bind("ID_BUTTON_EXIT", UI_TYPE_BUTTON));
    m_homepage = static_cast<CUiButton*>(Bind("ID_BUTTON_HOMEPAGE", UI_TYPE_BUTTON));
    m_join = static_cast<CUiButton*>(Bind("ID_BUTTON_JOIN", UI_TYPE_BUTTON));
    m_replay = static_cast<CUiButton*>(Bind("ID_BUTTON_REPLAY", UI_TYPE_BUTTON));
    m_id = static_cast<CUiEditBox*>(Bind("ID_EDIT_ID", UI_TYPE_EDITBOX));
    m_password = static_cast<CUiEditBox*>(Bind("ID_EDIT_PASS", UI_TYPE_EDITBOX));
    if (!m_login || !m_exit || !m_homepage || !m_join || !m_replay || !m_id || !m_password) return 0;
    m_id->AddFlags(UI_FOCUS);
    m_id->SetText("");
    m_password->SetText("");
    if (g_pUiManager) g_pUiManager->Ime().SetEditText("");
    return 1;
}

bool CLoginWindow::OwnerInteractive() const { return m_owner && m_owner->Phase() == 1; }

void CLoginWindow::OpenAddress(const std::string& address) {
    // An empty address opens nothing; the address is one argument, never shell text.
    if (!address.empty()) platform::Spawn("xdg-open", {address});
}

void CLoginWindow::OnLButtonClick(CUiObject* control) {
    if (!OwnerInteractive() || !control) return;
    IScreenHost* host = ScreenHost();
    if (control == m_login) {
        TryLogin();
    } else if (control == m_homepage) {
        if (host) OpenAddress(host->HomepageAddress());
    } else if (control == m_exit) {
        m_requests[REQUEST_EXIT] = 1;
    } else if (control == m_join) {
        if (host) OpenAddress(host->JoinAddress());
    } else if (control == m_replay) {
        m_requests[REQUEST_REPLAY] = 1;
    }
}

void CLoginWindow::OnEnter(CUiObject*) {
    if (!OwnerInteractive() || !lobby::EnterPressed() || !EditHasFocus()) return;
    TryLogin();
}

bool CLoginWindow::EditHasFocus() const {
    const CUiObject* focus = g_pUiManager ? g_pUiManager->Focus() : nullptr;
    return focus && (focus == m_id || focus == m_password);
}

int CLoginWindow::TakeRequest(int index) {
    if (index < 0 || index >= REQUEST_COUNT || !m_requests[index]) return 0;
    std::memset(m_requests, 0, sizeof(m_requests));
    return 1;
}

std::string CLoginWindow::IdText() const { return m_id ? m_id->GetText() : ""; }
std::string CLoginWindow::PasswordText() const { return m_password ? m_password->GetText() : ""; }

void CLoginWindow::TryLogin() {
    if (m_login) m_login->PlayClickSound();
    const std::string id = IdText();
    const std::string password = PasswordText();
    // The record's fields hold 50 and 20 bytes: a longer text is refused, never cut.
    if (id.size() >= kMinLength && password.size() >= kMinLength && id.size() <= kIdByteLimit &&
        password.size() <= kPasswordByteLimit) {
        m_requests[REQUEST_LOGIN] = 1;
        return;
    }
    if (g_pUiManager) g_pUiManager->SetFocus(nullptr);
    if (m_owner) m_owner->SetPhase(CScreen::kPhaseErrorPopup);
    lobby::ShowBox(GetMessageText(MSG_LOGIN_MIN_ID_PASSWORD), 1);
}
