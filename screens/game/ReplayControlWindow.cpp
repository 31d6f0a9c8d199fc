#include "screens/game/ReplayControlWindow.h"

#include <algorithm>
#include <cstdio>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/ClientSession.h"
#include "platform/Window.h"
#include "screens/game/PlayScreen.h"
#include "ui/ScreenHost.h"
#include "ui/UiButton.h"
#include "ui/UiComboBox.h"
#include "ui/UiGauge.h"
#include "ui/UiStatic.h"
#include "world/WorldObjectManager.h"

std::string FormatMatchTime(float seconds) {
    const int32_t s = seconds > 0.0f ? static_cast<int32_t>(seconds) : 0;
    if (s / 60 != 0) return FormatText(GetMessageText(MSG_TIME_MIN_SEC), s / 60, s % 60);
    return FormatText(GetMessageText(MSG_TIME_SEC), s);
}

int CReplayControlWindow::OnLayoutLoaded() {
    for (int i = 0; i < kButtons; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "ID_BUTTON_TYPE_%d", i + 1);
        m_buttons[static_cast<size_t>(i)] = static_cast<CUiButton*>(Bind(name, UI_TYPE_BUTTON));
        if (!m_buttons[static_cast<size_t>(i)]) return 0;
    }
    m_time = static_cast<CUiStatic*>(Bind("ID_STATIC_TIME", UI_TYPE_STATIC));
    m_speed = static_cast<CUiStatic*>(Bind("ID_STATIC_SPEED", UI_TYPE_STATIC));
    m_gauge = static_cast<CUiGauge*>(Bind("ID_PROGRESS_PLAYGAUGE", UI_TYPE_GAUGE));
    m_players = static_cast<CUiComboBox*>(Bind("ID_COMBO_PLAYERLIST", UI_TYPE_COMBOBOX));
    m_main = static_cast<CUiStatic*>(Bind("ID_STATIC_MAIN", UI_TYPE_STATIC));
    if (!m_time || !m_speed || !m_gauge || !m_players || !m_main) return 0;
    m_totalText = FormatMatchTime(m_matchLength);
    FillPlayerList();
    RefreshTexts();
    return 1;
}

void CReplayControlWindow::FillPlayerList() {
    if (!g_pClientSession) return;
    for (const CPlayerSlot& slot : g_pClientSession->slots)
        if (slot.heroId != 0) m_players->AddItem(slot.nickname, UiColor(1, 1, 1, 1));
    const int32_t local = g_pWorldObjectManager ? g_pWorldObjectManager->localSlot : 0;
    m_players->SelectItem(local >= 0 && static_cast<uint32_t>(local) < m_players->ItemCount() ? local : 0);
    m_shownEntry = m_players->Selected();
}

bool CReplayControlWindow::ReplayEnded() const {
    // Once the match is left, the replay-end job frees the recording on the
    // loader thread: the recording is not read from then on.
    if (m_play && (m_play->Phase() == CPlayScreen::PHASE_LEAVING || !m_play->JobDone())) return true;
    const CGameCommandManager* commands = g_pGameCommandManager;
    return commands && commands->IsPlayback() &&
           static_cast<size_t>(std::max(commands->PlaybackIndex(), 0)) >= commands->Recorded().size();
}

void CReplayControlWindow::RefreshTexts() {
    if (ReplayEnded()) {
        m_timeLine = FormatText("%s / %s", m_totalText, m_totalText);
    } else {
        m_currentText = FormatMatchTime(g_pWorldObjectManager ? g_pWorldObjectManager->gameClock : 0.0f);
        m_timeLine = FormatText("%s / %s", m_currentText, m_totalText);
    }
    m_speedText = FormatText(GetMessageText(MSG_REPLAY_GAMESPEED), m_play ? m_play->ReplaySpeed() : 1.0f);
    if (m_time) m_time->SetText(m_timeLine);
    if (m_speed) m_speed->SetText(m_speedText);
}

CUiObject* CReplayControlWindow::ProcessInput(float dt, CZEMDXInput& input) {
    RefreshTexts();
    CUiObject* took = CUiWindow::ProcessInput(dt, input);
    // A choice in the list makes the view follow that player.
    if (m_players && m_players->Selected() != m_shownEntry && m_play &&
        m_play->InputMode() != CPlayScreen::INPUT_UI_ONLY) {
        m_shownEntry = m_players->Selected();
        SelectPlayer(m_shownEntry);
    }
    return took;
}

void CReplayControlWindow::Render() {
    // A match of no length has no progress to show.
    if (m_gauge && m_matchLength > 0.0f && g_pWorldObjectManager) {
        const float percent = g_pWorldObjectManager->gameClock / m_matchLength * 100.0f;
        if (percent >= 0.0f) {
            m_gauge->SetPercent(percent);
            m_gauge->UpdateBar();
        }
    }
    if (!HasFlags(UI_HIDDEN)) CUiWindow::Render();
}

void CReplayControlWindow::OnLButtonClick(CUiObject* control) {
    if (!m_play || !control || m_play->InputMode() == CPlayScreen::INPUT_UI_ONLY) return;
    int number = 0;
    for (int i = 0; i < kButtons; ++i)
        if (control == m_buttons[static_cast<size_t>(i)]) number = i + 1;
    const float speed = m_play->ReplaySpeed();
    switch (number) {
        case 1:
            m_play->SetPaused(!m_play->Paused());
            return;
        case 2:
            if (speed < kMaxSpeed) m_play->ChangeReplaySpeed(speed + kSpeedStep);
            return;
        case 3:
            if (speed > kMinSpeed) m_play->ChangeReplaySpeed(speed - kSpeedStep);
            return;
        case 4:
            m_play->RequestUi(CPlayScreen::UI_REQUEST_OPTIONS);
            return;
        case 5:
            if (IScreenHost* host = ScreenHost(); host && host->Window()) host->Window()->PostMessage(platform::WM_CLOSE);
            return;
        case 6:
            m_play->RequestUi(CPlayScreen::UI_REQUEST_MENU);
            return;
        default:
            return;
    }
}

void CReplayControlWindow::SelectPlayer(int32_t position) {
    const char* name = m_players ? m_players->List().GetItemText(position) : nullptr;
    if (!name || !m_play || !g_pClientSession) return;
    for (int32_t slot = 0; slot < CClientSession::kPlayerSlots; ++slot) {
        if (g_pClientSession->slots[static_cast<size_t>(slot)].nickname != name) continue;
        CSelectionSet& selection = m_play->Selection();
        selection.ClearList(selection.selected);
        selection.selected.push_back(slot);
        selection.focus = slot;
        m_play->RefreshHud();
        m_play->SetFollowSelected(true);
        m_followed = name;
        return;
    }
}

void CReplayControlWindow::StepPlayer(int direction) {
    if (!m_players) return;
    const int32_t count = static_cast<int32_t>(m_players->ItemCount());
    if (count == 0) return;
    const int32_t current = m_players->Selected();
    int32_t next = current < 0 ? 0 : current + direction;
    if (next < 0) next = count - 1;
    if (next >= count) next = 0;
    m_players->SelectItem(next);
    m_shownEntry = next;
    SelectPlayer(next);
}
