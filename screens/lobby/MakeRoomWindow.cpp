#include "screens/lobby/MakeRoomWindow.h"

#include <string>

#include "screens/game/PlayResources.h"
#include "screens/lobby/LobbySteps.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

namespace {
const std::vector<std::string>& RankNames() {
    static const std::vector<std::string> none;
    return g_pPlayResources ? g_pPlayResources->rankNames : none;
}
}  // namespace

int CMakeRoomWindow::OnLayoutLoaded() {
    m_okButton = static_cast<CUiButton*>(Bind("ID_BUTTON_OK", UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    m_levelInfo = static_cast<CUiStatic*>(Bind("ID_STATIC_LIMITINFO", UI_TYPE_STATIC));
    m_title = static_cast<CUiEditBox*>(Bind("ID_EDIT_ROOMTITLE", UI_TYPE_EDITBOX));
    m_password = static_cast<CUiEditBox*>(Bind("ID_EDIT_ROOMPASS", UI_TYPE_EDITBOX));
    const int choices = m_choices.Bind([this](const char* name, uint32_t type) { return Bind(name, type); });
    if (!choices || !m_okButton || !m_cancel || !m_levelInfo || !m_title || !m_password) return 0;
    m_title->SetByteLimit(static_cast<int>(kRoomTitleMax));
    m_password->SetByteLimit(static_cast<int>(kRoomPasswordMax));
    return 1;
}

void CMakeRoomWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    if (control == m_okButton) {
        m_ok = 1;
    } else if (control == m_cancel) {
        Close();
    } else if (m_choices.OnClick(control, m_settings) == CRoomChoiceControls::CLICK_LEVEL) {
        MakeLevelTexts();
    }
}

void CMakeRoomWindow::OnEnter(CUiObject* control) {
    if ((control == m_title || control == m_password) && lobby::EnterPressed()) m_ok = 1;
}

void CMakeRoomWindow::OnTab(CUiObject* control) {
    if (!g_pUiManager) return;
    if (control == m_title) g_pUiManager->SetFocus(m_password);
    if (control == m_password) g_pUiManager->SetFocus(m_title);
}

void CMakeRoomWindow::Open(int rank) {
    m_rank = rank;
    m_ok = 0;
    m_settings.Reset();
    SetMode(0);
    MakeLevelTexts();
    if (g_pUiManager) {
        g_pUiManager->ShowWindow(this, true);
        g_pUiManager->BringToFront(this);
        g_pUiManager->SetFocus(m_title);
    }
}

void CMakeRoomWindow::OpenForRoom(int rank, int mode, int choice, const std::string& title,
                                  const std::string& password) {
    Open(rank);
    SetMode(mode);
    m_choices.HideModeButtons();
    m_settings.SetChoice(choice);
    MakeLevelTexts();
    if (m_title) m_title->SetText(title.c_str());
    if (m_password) m_password->SetText(password.c_str());
}

void CMakeRoomWindow::SetMode(int mode) {
    m_settings.SetMode(mode);
    m_choices.ShowMode(m_settings.Mode());
}

void CMakeRoomWindow::MakeLevelTexts() {
    std::string range, info;
    m_settings.LevelTexts(m_rank, RankNames(), &range, &info);
    if (CUiStatic* text = m_choices.LevelText()) text->SetText(range);
    if (m_levelInfo) m_levelInfo->SetText(info);
}

void CMakeRoomWindow::Close() {
    if (g_pUiManager) {
        g_pUiManager->SetFocus(nullptr);
        g_pUiManager->ShowWindow(this, false);
    }
    if (m_title) m_title->SetText("");
    if (m_password) m_password->SetText("");
    m_ok = 0;
}

MakeRoomRequest CMakeRoomWindow::Request(uint32_t mapSum) const {
    MakeRoomRequest request;
    request.title = m_title ? m_title->GetText() : "";
    request.password = m_password ? m_password->GetText() : "";
    const RankRange range = m_settings.Range(m_rank);
    request.lowestRank = static_cast<uint16_t>(range.lowest);
    request.highestRank = static_cast<uint16_t>(range.highest);
    request.mapSum = mapSum;
    request.mode = static_cast<uint8_t>(m_settings.Mode());
    request.randomTeams = m_choices.RandomTeams(m_settings) ? 1 : 0;
    return request;
}
