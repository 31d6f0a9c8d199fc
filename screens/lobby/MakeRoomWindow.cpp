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

const char* GameModeName(int mode) {
    if (!g_pPlayResources || mode < 0 || static_cast<size_t>(mode) >= g_pPlayResources->gameModeNames.size())
        return "";
    return g_pPlayResources->gameModeNames[static_cast<size_t>(mode)].c_str();
}

void ShowGameModeControls(int mode, CUiStatic* modeText, CUiStatic* randomLabel, CUiCheckButton* randomBox) {
    if (modeText) modeText->SetText(GameModeName(mode));
    const int enable = mode == 0 ? 1 : 0;
    if (randomLabel) randomLabel->SetEnabled(enable);
    if (randomBox) randomBox->SetEnabled(enable);
}

int CMakeRoomWindow::OnLayoutLoaded() {
    m_okButton = static_cast<CUiButton*>(Bind("ID_BUTTON_OK", UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    m_before = static_cast<CUiButton*>(Bind("ID_BUTTON_BEFORE", UI_TYPE_BUTTON));
    m_next = static_cast<CUiButton*>(Bind("ID_BUTTON_NEXT", UI_TYPE_BUTTON));
    m_before2 = static_cast<CUiButton*>(Bind("ID_BUTTON_BEFORE2", UI_TYPE_BUTTON));
    m_next2 = static_cast<CUiButton*>(Bind("ID_BUTTON_NEXT2", UI_TYPE_BUTTON));
    m_levelText = static_cast<CUiStatic*>(Bind("ID_STATIC_LIMITLEVEL", UI_TYPE_STATIC));
    m_levelInfo = static_cast<CUiStatic*>(Bind("ID_STATIC_LIMITINFO", UI_TYPE_STATIC));
    m_title = static_cast<CUiEditBox*>(Bind("ID_EDIT_ROOMTITLE", UI_TYPE_EDITBOX));
    m_password = static_cast<CUiEditBox*>(Bind("ID_EDIT_ROOMPASS", UI_TYPE_EDITBOX));
    m_mode = static_cast<CUiStatic*>(Bind("ID_STATIC_MODE", UI_TYPE_STATIC));
    m_randomLabel = static_cast<CUiStatic*>(Bind("ID_STATIC_RANDOMTEAM", UI_TYPE_STATIC));
    m_randomBox = static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_RANDOMTEAM", UI_TYPE_CHECKBUTTON));
    if (!m_okButton || !m_cancel || !m_before || !m_next || !m_before2 || !m_next2 || !m_levelText ||
        !m_levelInfo || !m_title || !m_password || !m_mode || !m_randomLabel || !m_randomBox)
        return 0;
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
    } else if (control == m_before || control == m_next) {
        if (control == m_before) {
            m_settings.LowerChoice();
        } else {
            m_settings.RaiseChoice();
        }
        MakeLevelTexts();
    } else if (control == m_before2) {
        m_settings.LowerMode();
        SetMode(m_settings.Mode());
    } else if (control == m_next2) {
        m_settings.RaiseMode();
        SetMode(m_settings.Mode());
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

void CMakeRoomWindow::SetMode(int mode) {
    m_settings.SetMode(mode);
    ShowGameModeControls(m_settings.Mode(), m_mode, m_randomLabel, m_randomBox);
}

void CMakeRoomWindow::MakeLevelTexts() {
    std::string range, info;
    m_settings.LevelTexts(m_rank, RankNames(), &range, &info);
    if (m_levelText) m_levelText->SetText(range);
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
    request.randomTeams = m_settings.RandomTeamEnabled() && m_randomBox && m_randomBox->Checked() ? 1 : 0;
    return request;
}
