// The screen base and its shared per-frame helpers.
#include "ui/Screen.h"

#include "app/GameApp.h"
#include "platform/Input.h"

namespace {
LoginScreenMaker g_loginScreenMaker = nullptr;
}  // namespace

void SetLoginScreenMaker(LoginScreenMaker maker) { g_loginScreenMaker = maker; }
CScreen* MakeLoginScreen() { return g_loginScreenMaker ? g_loginScreenMaker() : nullptr; }

CScreen::CScreen() {
    m_timer.SetSpeedScale(1.0f);
    m_timer.EnableTotal(true);
}

CScreen::~CScreen() = default;

void CScreen::Enter() {
    if (g_pGameApp)
        g_pGameApp->Cameras().SetViewport(GetDevice(), g_pGameApp->BackBufferWidth(), g_pGameApp->BackBufferHeight());
    m_fade.Start(m_fadeColor, 0, 0.0f);
}

void CScreen::UpdateCommon(int inputActive, IChatLines* chat, uint32_t flags) {
    const float dt = m_timer.Dt();
    if (g_pGameApp) {
        g_pGameApp->Input().UpdateInput(dt, inputActive);
        g_pGameApp->Ui().DispatchInput(dt, g_pGameApp->Input());
    }
    m_fade.Advance(dt);
    if ((flags & 1) && g_pGameApp && !g_pGameApp->TickShutdownCountdown(chat, dt)) {
        ErrorReport().SetError(28, "%s", GetMessageText(MSG_ERROR_NETWORK_DISCONNECT));
        ShowErrorPopup(1);
    }
}

void CScreen::ShowErrorPopup(int closeConnection) {
    if (!g_pGameApp) return;
    if (closeConnection) g_pGameApp->Net().Disconnect();
    m_phase = kPhaseErrorPopup;
    if (g_pGameApp->Window()) g_pGameApp->Window()->ShowCursor(true);
    ShowMessageBox(g_pGameApp->MessageBox(), ErrorReport().GetText(), 1, 1);
}

int CScreen::UpdateErrorPopup() {
    if (!g_pGameApp) return 0;
    switch (m_phase) {
        case kPhaseErrorPopup: {
            standin::CMessageBox& box = g_pGameApp->MessageBox();
            const int result = PollMessageBoxResult(box);
            if (result != 1 && !g_pGameApp->Input().KeyReleased(platform::DIK_ESCAPE)) return 0;
            CUiManager& ui = g_pGameApp->Ui();
            const bool cursors = ui.CursorCount() > 0;
            if (cursors) ui.SetCursor(26);
            if (g_pGameApp->Window()) g_pGameApp->Window()->ShowCursor(cursors);
            m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, 0.8f);
            if (CZEMSound* music = g_pGameApp->Bgm()) music->FadeOut(100);
            box.HideBox();
            m_phase = kPhaseErrorReturn;
            return 0;
        }
        case kPhaseErrorQuit:
            g_pGameApp->Net().Disconnect();
            return SCREEN_FATAL;
        case kPhaseErrorReturn:
            if (!m_fade.Done()) return 0;
            g_pGameApp->StopBgm();
            g_pGameApp->Screens().PushScreen(MakeLoginScreen());
            return SCREEN_FINISHED;
        default:
            return 0;
    }
}

int CScreen::CheckMessageBoxConfirm() {
    if (!g_pGameApp) return 0;
    CUiManager& ui = g_pGameApp->Ui();
    standin::CMessageBox& box = g_pGameApp->MessageBox();
    if (!box.Visible() || box.Mode() != 1) return 0;
    const bool cursors = ui.CursorCount() > 0;
    if (cursors) ui.SetCursor(0);
    if (g_pGameApp->Window()) g_pGameApp->Window()->ShowCursor(cursors);
    const int result = PollMessageBoxResult(box);
    if (result != 1 && g_pGameApp->Input().KeyReleased(platform::DIK_ESCAPE)) box.HideBox();
    return 1;
}
