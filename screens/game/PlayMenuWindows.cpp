// The play screen's side of its menu windows: the game menu, the options, the
// players' board and a replay's control bar. It loads them with the match,
// shows and hides them for the keys and the requests of the HUD, and carries
// out what they ask of the screen.
#include "engine/core/Options.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "screens/game/GameMenuWindow.h"
#include "screens/game/OptionsWindow.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/PlayerRankWindow.h"
#include "screens/game/ReplayControlWindow.h"
#include "ui/ScreenHost.h"
#include "ui/UiButton.h"
#include "ui/UiManager.h"
#include "world/WorldObjectManager.h"

namespace {

CWorldObjectManager* World() { return g_pWorldObjectManager; }

// Loads a window's layout; a layout that fails takes its window with it.
template <typename Window>
bool LoadWindow(Window*& window, CResource*& layout, Window* made, const char* name) {
    if (layout) {
        delete made;
        return true;
    }
    window = made;
    layout = g_pResourceManager->GetResource(name, RES_LAYOUT, window, 1);
    if (layout) return true;
    window = nullptr;
    return false;
}

// Hidden behind the other windows of the lower layer until asked for.
void Stow(CUiWindow* window) {
    if (!window || !g_pUiManager) return;
    g_pUiManager->ShowWindow(window, false);
    g_pUiManager->SendToBack(window);
}

void Centre(CUiWindow* window) {
    IScreenHost* host = ScreenHost();
    const float width = host ? static_cast<float>(host->BackBufferWidth()) : CUiManager::kScreenWidth;
    const float height = host ? static_cast<float>(host->BackBufferHeight()) : CUiManager::kScreenHeight;
    window->SetPosition((width - window->Size().x) * 0.5f, (height - window->Size().y) * 0.5f);
}

}  // namespace

int CPlayScreen::LoadMenuLayouts() {
    if (!g_pResourceManager) return 0;
    if (!m_gameMenuLayout) {
        if (!LoadWindow(m_gameMenu, m_gameMenuLayout, new CGameMenuWindow(this), kGameMenuLayout)) return 0;
        Centre(m_gameMenu);
        Stow(m_gameMenu);
    }
    if (!m_optionsLayout) {
        if (!LoadWindow(m_optionsWindow, m_optionsLayout, new COptionsWindow(), kOptionsLayout)) return 0;
        Centre(m_optionsWindow);
        Stow(m_optionsWindow);
    }
    if (!m_rankBoardLayout) {
        if (!LoadWindow(m_rankBoard, m_rankBoardLayout, new CPlayerRankWindow(this), kRankBoardLayout)) return 0;
        Stow(m_rankBoard);
    }
    if (World() && World()->gameMode == 3 && !m_replayControlLayout) {
        const float length = g_pClientSession ? g_pClientSession->replayMatchLength : 0.0f;
        if (!LoadWindow(m_replayControl, m_replayControlLayout, new CReplayControlWindow(this, length),
                        kReplayControlLayout))
            return 0;
    }
    return 1;
}

void CPlayScreen::ReleaseMenuLayouts() {
    if (!g_pResourceManager) return;
    for (CResource** layout : {&m_gameMenuLayout, &m_optionsLayout, &m_rankBoardLayout, &m_replayControlLayout}) {
        g_pResourceManager->ReleaseResource(*layout);
        *layout = nullptr;
    }
    m_gameMenu = nullptr;
    m_optionsWindow = nullptr;
    m_rankBoard = nullptr;
    m_replayControl = nullptr;
}

void CPlayScreen::UpdateMenuWindows() {
    if (m_gameMenu && m_gameMenu->TakeCloseRequest()) ToggleWindow(WINDOW_MENU, 0);
    if (m_optionsWindow) m_optionsWindow->SaveWhenClosed();
}

void CPlayScreen::ToggleMenu(bool replay) {
    if (replay) {
        ToggleWindow(WINDOW_REPLAY, -1);
        return;
    }
    CancelInputMode();
    if (!m_gameMenu) return;
    if (m_gameMenu->HasFlags(UI_HIDDEN)) {
        m_gameMenu->SyncPauseButtons();
        ToggleWindow(WINDOW_MENU, 1);
        return;
    }
    ToggleWindow(WINDOW_MENU, 0);
    ToggleWindow(WINDOW_OPTIONS, 0);
}

CUiWindow* CPlayScreen::MenuWindow(int index) {
    switch (index) {
        case WINDOW_MENU:
            return m_gameMenu;
        case WINDOW_OPTIONS:
            return m_optionsWindow;
        case WINDOW_RANKING:
            RefreshRankBoard();
            return m_rankBoard;
        case WINDOW_REPLAY:
            return m_replayControl;
        default:
            return nullptr;
    }
}

void CPlayScreen::RefreshRankBoard() {
    if (m_rankBoard) m_rankBoard->Refresh();
}

void CPlayScreen::SyncMenuPauseButtons() {
    if (m_gameMenu) m_gameMenu->SyncPauseButtons();
}

void CPlayScreen::SetMenuLeaveButtonsEnabled(bool enable) {
    if (!m_gameMenu) return;
    EnableControl(m_gameMenu->Button(CGameMenuWindow::BUTTON_QUIT), enable);
    const bool noContest = World() && World()->IsNetworkGame() && World()->matchKind != 1;
    EnableControl(m_gameMenu->Button(CGameMenuWindow::BUTTON_NOCONTEST), enable && noContest);
}

void CPlayScreen::DisableNoContestButton() {
    if (m_gameMenu) EnableControl(m_gameMenu->Button(CGameMenuWindow::BUTTON_NOCONTEST), false);
}

void CPlayScreen::StepReplayPlayer(CZEMDXInput& input) {
    if (!m_replayControl || !World() || World()->gameMode != 3) return;
    // On the key's release, as the other replay keys act on their press.
    if (input.KeyReleased(platform::DIK_HOME)) m_replayControl->StepPlayer(-1);
    if (input.KeyReleased(platform::DIK_END)) m_replayControl->StepPlayer(1);
}

void CPlayScreen::ChangeReplaySpeed(float speed) {
    m_replaySpeed = speed;
    SetReplaySpeed(speed);
}
