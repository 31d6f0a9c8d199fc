// The screen base and its shared per-frame helpers.
#include "ui/Screen.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/RenderStateCache.h"
#include "engine/sound/ZEMSound.h"
#include "platform/GfxDevice.h"
#include "platform/Input.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiManager.h"

namespace {
LoginScreenMaker g_loginScreenMaker = nullptr;
LoginScreenMaker g_lobbyScreenMaker = nullptr;
LoadingScreenMaker g_loadingScreenMaker = nullptr;
WaitRoomScreenMaker g_waitRoomScreenMaker = nullptr;
PlayScreenMaker g_playScreenMaker = nullptr;
MarketScreenMaker g_marketScreenMaker = nullptr;
MarketScreenMaker g_myInfoScreenMaker = nullptr;
}  // namespace

void SetLobbyScreenMaker(LoginScreenMaker maker) { g_lobbyScreenMaker = maker; }
CScreen* MakeLobbyScreen() { return g_lobbyScreenMaker ? g_lobbyScreenMaker() : nullptr; }

void SetLoginScreenMaker(LoginScreenMaker maker) { g_loginScreenMaker = maker; }
CScreen* MakeLoginScreen() { return g_loginScreenMaker ? g_loginScreenMaker() : nullptr; }
void SetLoadingScreenMaker(LoadingScreenMaker maker) { g_loadingScreenMaker = maker; }
CScreen* MakeLoadingScreen() { return g_loadingScreenMaker ? g_loadingScreenMaker() : nullptr; }
void SetWaitRoomScreenMaker(WaitRoomScreenMaker maker) { g_waitRoomScreenMaker = maker; }
CScreen* MakeWaitRoomScreen() { return g_waitRoomScreenMaker ? g_waitRoomScreenMaker() : nullptr; }
void SetPlayScreenMaker(PlayScreenMaker maker) { g_playScreenMaker = maker; }
CScreen* MakePlayScreen() { return g_playScreenMaker ? g_playScreenMaker() : nullptr; }
void SetMarketScreenMaker(MarketScreenMaker maker) { g_marketScreenMaker = maker; }
CScreen* MakeMarketScreen() { return g_marketScreenMaker ? g_marketScreenMaker() : nullptr; }
void SetMyInfoScreenMaker(MarketScreenMaker maker) { g_myInfoScreenMaker = maker; }
CScreen* MakeMyInfoScreen() { return g_myInfoScreenMaker ? g_myInfoScreenMaker() : nullptr; }

CScreen::CScreen() {
    m_timer.SetSpeedScale(1.0f);
    m_timer.EnableTotal(true);
}

CScreen::~CScreen() = default;

void CScreen::Enter() {
    // The whole back buffer; a screen that draws into a part sets its own.
    IScreenHost* host = ScreenHost();
    platform::CGfxDevice* device = GetDevice();
    if (host && device) {
        platform::Viewport vp;
        vp.x = vp.y = 0;
        vp.width = host->BackBufferWidth();
        vp.height = host->BackBufferHeight();
        vp.minZ = 0.0f;
        vp.maxZ = 1.0f;
        device->SetViewport(&vp);
    }
    m_fade.Start(m_fadeColor, 0, 0.0f);
}

void CScreen::UpdateCommon(int inputActive, IChatLines* chat, uint32_t flags) {
    const float dt = m_timer.Dt();
    IScreenHost* host = ScreenHost();
    if (host) {
        host->Input().UpdateInput(dt, inputActive);
        host->Ui().DispatchInput(dt, host->Input());
    }
    m_fade.Advance(dt);
    if ((flags & 1) && host && !host->TickShutdownCountdown(chat, dt)) {
        ErrorReport().SetError(28, "%s", GetMessageText(MSG_ERROR_NETWORK_DISCONNECT));
        ShowErrorPopup(1);
    }
}

void CScreen::ShowErrorPopup(int closeConnection) {
    IScreenHost* host = ScreenHost();
    if (!host) return;
    if (closeConnection) host->CloseConnection();
    if (!host->HasMessageBox()) {
        // Before the start-up job has made the box there is nothing to show
        // the error in: the program ends and shows it in a system message.
        m_phase = kPhaseErrorQuit;
        return;
    }
    m_phase = kPhaseErrorPopup;
    if (host->Window()) host->Window()->ShowCursor(true);
    ShowMessageBox(host->MessageBox(), ErrorReport().GetText(), 1, 1);
}

int CScreen::UpdateErrorPopup() {
    IScreenHost* host = ScreenHost();
    if (!host) return 0;
    switch (m_phase) {
        case kPhaseErrorPopup: {
            IMessageBoxHost& box = host->MessageBox();
            const int result = PollMessageBoxResult(box);
            if (result != 1 && !host->Input().KeyReleased(platform::DIK_ESCAPE)) return 0;
            CUiManager& ui = host->Ui();
            const bool cursors = ui.CursorCount() > 0;
            if (cursors) ui.SetCursor(26);
            if (host->Window()) host->Window()->ShowCursor(cursors);
            m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, 0.8f);
            if (CZEMSound* music = host->Bgm()) music->FadeOut(100);
            box.HideBox();
            m_phase = kPhaseErrorReturn;
            return 0;
        }
        case kPhaseErrorQuit:
            host->CloseConnection();
            return SCREEN_FATAL;
        case kPhaseErrorReturn:
            if (!m_fade.Done()) return 0;
            host->StopBgm();
            host->Screens().PushScreen(MakeLoginScreen());
            return SCREEN_FINISHED;
        default:
            return 0;
    }
}

int CScreen::CheckMessageBoxConfirm() {
    IScreenHost* host = ScreenHost();
    if (!host) return 0;
    CUiManager& ui = host->Ui();
    IMessageBoxHost& box = host->MessageBox();
    if (!box.Visible() || box.Mode() != 1) return 0;
    const bool cursors = ui.CursorCount() > 0;
    if (cursors) ui.SetCursor(0);
    if (host->Window()) host->Window()->ShowCursor(cursors);
    const int result = PollMessageBoxResult(box);
    if (result != 1 && host->Input().KeyReleased(platform::DIK_ESCAPE)) box.HideBox();
    return 1;
}
