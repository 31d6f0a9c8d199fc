#include "screens/game/GameMenuWindow.h"

#include "commands/GameCommandManager.h"
#include "engine/core/NameHash.h"
#include "platform/Window.h"
#include "screens/game/PlayScreen.h"
#include "ui/ScreenHost.h"
#include "ui/UiButton.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr const char* kButtonNames[CGameMenuWindow::kButtons] = {
    "ID_BUTTON_GAMECONFIG", "ID_BUTTON_KEYS", "ID_BUTTON_PAUSE",  "ID_BUTTON_PAUSE_CANCEL",
    "ID_BUTTON_NOCONTEST",  "ID_BUTTON_QUIT", "ID_BUTTON_RETURN",
};

// No contest is a vote of the players of an online match; matches of the
// special rule end by their own means.
bool NoContestAllowed(const CWorldObjectManager* world) {
    return world && world->IsNetworkGame() && world->matchKind != 1;
}

}  // namespace

void EnableControl(CUiObject* control, bool enable) {
    if (control) control->SetEnabled(enable ? 1 : 0);
}

int CGameMenuWindow::OnLayoutLoaded() {
    AddFlags(UI_HIDDEN);
    SetPosition(kLeft, kTop);
    for (int i = 0; i < kButtons; ++i) {
        CUiObject* control = FindChild(NameHash(kButtonNames[i]));
        m_buttons[i] = control && control->TypeId() == UI_TYPE_BUTTON ? static_cast<CUiButton*>(control) : nullptr;
    }
    SyncPauseButtons();
    m_closeRequest = 0;
    const CWorldObjectManager* world = g_pWorldObjectManager;
    if (!NoContestAllowed(world)) EnableControl(m_buttons[BUTTON_NOCONTEST], false);
    if (world && world->gameMode == 3) {
        EnableControl(m_buttons[BUTTON_PAUSE], false);
        EnableControl(m_buttons[BUTTON_PAUSE_CANCEL], false);
    }
    return 1;
}

CUiObject* CGameMenuWindow::ProcessInput(float dt, CZEMDXInput& input) {
    m_pauseClock += dt;
    const int left = m_play ? m_play->PausesLeft() : 0;
    const bool rested = m_pauseClock >= kPauseRest;
    EnableControl(m_buttons[BUTTON_PAUSE], rested && left > 0);
    EnableControl(m_buttons[BUTTON_PAUSE_CANCEL], rested && left >= 0);
    return CUiWindow::ProcessInput(dt, input);
}

void CGameMenuWindow::SyncPauseButtons() {
    if (m_play && m_play->Paused()) {
        SetShown(m_buttons[BUTTON_PAUSE], false);
        EnableControl(m_buttons[BUTTON_PAUSE], true);
        SetShown(m_buttons[BUTTON_PAUSE_CANCEL], true);
        return;
    }
    SetShown(m_buttons[BUTTON_PAUSE_CANCEL], false);
    SetShown(m_buttons[BUTTON_PAUSE], true);
    if (!m_play || m_play->PausesLeft() < 1) EnableControl(m_buttons[BUTTON_PAUSE], false);
}

int CGameMenuWindow::TakeCloseRequest() {
    const int request = m_closeRequest ? 1 : 0;
    m_closeRequest = 0;
    return request;
}

void CGameMenuWindow::OnLButtonClick(CUiObject* control) {
    if (!m_play || !control || m_play->InputMode() == CPlayScreen::INPUT_UI_ONLY) return;
    int index = 0;
    while (index < kButtons && control != m_buttons[index]) ++index;
    if (index == kButtons) return;
    // A held item or a half-made combination ends with any menu action.
    m_play->CancelInputMode();
    switch (index) {
        case BUTTON_GAMECONFIG:
            m_play->RequestUi(CPlayScreen::UI_REQUEST_OPTIONS);
            return;
        case BUTTON_KEYS:
            m_play->RequestUi(CPlayScreen::UI_REQUEST_HELP);
            return;
        case BUTTON_PAUSE:
        case BUTTON_PAUSE_CANCEL:
            Pause();
            return;
        case BUTTON_NOCONTEST:
            NoContest();
            return;
        case BUTTON_QUIT: {
            // The play screen asks whether to leave; where it does not
            // answer, the application closes as for its window's close box.
            platform::WindowMessage close;
            close.message = platform::WM_CLOSE;
            if (m_play->MsgProc(close) == 0) return;
            if (IScreenHost* host = ScreenHost(); host && host->Window()) host->Window()->PostMessage(platform::WM_CLOSE);
            return;
        }
        default:
            m_closeRequest = 1;
            return;
    }
}

void CGameMenuWindow::Pause() {
    const CWorldObjectManager* world = g_pWorldObjectManager;
    if (!world || m_play->Phase() == CScreen::kPhaseErrorPopup || world->gameMode == 3 || m_pauseClock <= kPauseRest)
        return;
    CGameCommandManager* commands = g_pGameCommandManager;
    const bool resume = m_play->Paused();
    if (commands) commands->BuildGameEvent(7, world->localSlot, resume ? 1 : 0, 1);
    if (!resume) m_play->SetPausesLeft(m_play->PausesLeft() - 1);
    SetShown(m_buttons[BUTTON_PAUSE], resume);
    SetShown(m_buttons[BUTTON_PAUSE_CANCEL], !resume);
    m_closeRequest = 1;
    m_pauseClock = 0;
}

void CGameMenuWindow::NoContest() {
    const CWorldObjectManager* world = g_pWorldObjectManager;
    if (m_play->Phase() == CScreen::kPhaseErrorPopup || !NoContestAllowed(world)) return;
    // Asks this player first; the vote starts when the player confirms.
    if (CGameCommandManager* commands = g_pGameCommandManager) commands->BuildGameEvent(9, 0, world->localSlot, 0);
}
