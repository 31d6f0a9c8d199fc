#include "screens/lobby/LoginScreen.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/ZEMSound.h"
#include "engine/sound/ZEMSoundManager.h"
#include "net/AccountSeal.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/ServerAddress.h"
#include "platform/Crash.h"
#include "platform/GfxDevice.h"
#include "platform/Input.h"
#include "screens/lobby/ConnectScreen.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/LoginWindow.h"
#include "screens/lobby/ReplayListWindow.h"
#include "ui/LayoutResource.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr int kCodeWrongPassword = 34;
constexpr uint8_t kReasonNoId = 3;
constexpr uint8_t kReasonWrongPassword = 5;

CResource* LoadLayout(const char* name, CUiWindow* window) {
    return g_pResourceManager ? g_pResourceManager->GetResource(name, RES_LAYOUT, window, 1) : nullptr;
}
}  // namespace

CScreen* NewLoginScreen() { return new CLoginScreen(); }

CLoginScreen::CLoginScreen() = default;

CLoginScreen::~CLoginScreen() {
    if (g_pResourceManager) {
        g_pResourceManager->ReleaseResource(m_layout);
        g_pResourceManager->ReleaseResource(m_replayLayout);
    }
    m_layout = m_replayLayout = nullptr;
    m_window = nullptr;
    m_replayWindow = nullptr;
}

int CLoginScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager) {
        ErrorReport().SetError(ERR_DATA, "The login screen runs without its application");
        return SCREEN_FATAL;
    }
    lobby::SelectCursor(lobby::kWaitCursor);
    m_waitCursor = true;
    if (g_pClientSession) g_pClientSession->returning = false;
    host->Input().Reset();

    m_window = new CLoginWindow(this);
    m_layout = LoadLayout("LOGIN.DUI", m_window);
    if (!m_layout) return SCREEN_FATAL;
    m_replayWindow = new CReplayListWindow();
    m_replayLayout = LoadLayout("REPLAY_LIST.DUI", m_replayWindow);
    if (!m_replayLayout) return SCREEN_FATAL;

    CUiManager& ui = host->Ui();
    ui.ShowWindow(m_replayWindow, false);
    const float width = static_cast<float>(host->BackBufferWidth());
    const float height = static_cast<float>(host->BackBufferHeight());
    m_replayWindow->SetPosition(std::trunc((width - m_replayWindow->Size().x) * 0.5f),
                                std::trunc((height - m_replayWindow->Size().y) * 0.5f));
    m_window->SetPosition(0.0f, 0.0f);
    m_fade.SetUp(0.0f, 0.0f, width, height, nullptr);
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);

    if (!host->PlayBgmByName("BGM-LOGIN.OGG")) {
        // Without a sound device the game goes on silently (the report holds "Sound load fail").
        if (g_pSoundManager && g_pSoundManager->IsEnabled()) return SCREEN_FATAL;
    }
    m_window->IdEdit()->SetByteLimit(CLoginWindow::kIdByteLimit);
    m_window->PasswordEdit()->SetByteLimit(CLoginWindow::kPasswordByteLimit);
    SetPhase(PHASE_INTERACTIVE);
    return SCREEN_RUNNING;
}

int CLoginScreen::Update() {
    m_timer.Update();
    m_sinceAttempt += Dt();
    IScreenHost* host = ScreenHost();
    if (m_closeAsked && host) {
        host->CloseConnection();
        return SCREEN_NO_SUCCESSOR;
    }
    int result = SCREEN_RUNNING;
    switch (Phase()) {
        case PHASE_LOAD:
            result = Load();
            if (result != SCREEN_RUNNING) return result;
            break;
        case PHASE_INTERACTIVE:
            result = UpdateInteractive();
            break;
        case PHASE_ACCEPTED:
            m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, lobby::kFadeRate);
            if (CZEMSound* music = host->Bgm()) music->FadeOut(100);
            SetPhase(PHASE_LEAVING);
            break;
        case PHASE_LEAVING:
            if (m_fade.Done()) {
                host->MessageBox().HideBox();
                host->Input().Reset();
                host->StopBgm();
                host->Screens().PushScreen(new CConnectScreen());
                return SCREEN_FINISHED;
            }
            break;
        case PHASE_REPLAYS:
            result = UpdateReplays();
            break;
        case kPhaseErrorPopup:
            result = UpdatePopup();
            break;
        default:
            break;
    }
    if (result != SCREEN_RUNNING) return result;
    if (!HandlePackets()) ShowErrorPopup(1);
    const int phase = Phase();
    const bool inputPhase = phase == PHASE_INTERACTIVE || phase == PHASE_REPLAYS || phase == kPhaseErrorPopup;
    UpdateCommon(!m_waitCursor && inputPhase && host->HasWindowFocus() ? 1 : 0, nullptr, 0);
    return SCREEN_RUNNING;
}

int CLoginScreen::UpdateInteractive() {
    IScreenHost* host = ScreenHost();
    CUiManager& ui = host->Ui();
    CZEMDXInput& input = host->Input();
    if (!m_shown) {
        if (!m_fade.Done()) return SCREEN_RUNNING;
        m_shown = 1;
        lobby::SelectCursor(lobby::kNormalCursor);
        m_waitCursor = false;
        ui.BringToFront(m_window);
        ui.SetFocus(m_window->IdEdit());
    }
    lobby::SelectCursor(lobby::kNormalCursor);
    m_waitCursor = false;
    if (input.KeyReleased(platform::DIK_TAB) && m_window->EditHasFocus())
        ui.SetFocus(ui.Focus() == m_window->IdEdit() ? static_cast<CUiObject*>(m_window->PasswordEdit())
                                                      : m_window->IdEdit());
    if (lobby::EnterPressed() && !m_window->EditHasFocus()) ui.SetFocus(m_window->IdEdit());

    if (m_window->TakeRequest(CLoginWindow::REQUEST_REPLAY)) {
        ScanReplayFiles(*m_replayWindow, host->ReplayFolderPath());
        ui.ShowWindow(m_replayWindow, true);
        ui.BringToFront(m_replayWindow);
        SetPhase(PHASE_REPLAYS);
    } else if (m_window->TakeRequest(CLoginWindow::REQUEST_EXIT)) {
        host->CloseConnection();
        return SCREEN_NO_SUCCESSOR;
    } else if (m_window->TakeRequest(CLoginWindow::REQUEST_LOGIN)) {
        if (!Connect()) ShowErrorPopup(1);
    } else if (input.KeyReleased(platform::DIK_ESCAPE)) {
        host->CloseConnection();
        return SCREEN_NO_SUCCESSOR;
    }
    return SCREEN_RUNNING;
}

int CLoginScreen::Connect() {
    IScreenHost* host = ScreenHost();
    CNetClient* net = lobby::Net();
    if (!host || !net || !m_window) return ReportNetError(MSG_ERROR_NETWORK_DISCONNECT);
    const std::string id = m_window->IdText();
    const std::string password = m_window->PasswordText();
    if (m_refusedReason >= 0 && id == m_refusedId && password == m_refusedPassword && m_sinceAttempt < kRetrySeconds) {
        host->Ui().SetFocus(nullptr);
        ReportServerResult(m_refusedReason);
        return 0;
    }
    m_sinceAttempt = 0.0f;
    if (!net->Connect(GetLoginServerHost().c_str(), GetServerPort(ServerKind::Login))) return 0;
    lobby::SelectCursor(lobby::kWaitCursor);
    m_waitCursor = true;
    SetPhase(PHASE_WAITING);
    return 1;
}

int CLoginScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    while (net && net->IsConnected() && Phase() == PHASE_WAITING) {
        if (!net->RecvPacket(m_received)) return 0;
        switch (m_received.id) {
            case 0:
                return 1;
            case PK_AUTH_KEY: {
                CByteReader reader = m_received.Reader();
                const uint32_t key = reader.ReadU32();
                if (!reader.Ok()) return net->CloseMalformed(m_received.id, m_received.length);
                const AccountRecord record =
                    MakeAccountRecord(m_window->IdText().c_str(), m_window->PasswordText().c_str(), key);
                std::array<uint8_t, kSealedRecordSize> sealed{};
                if (!SealAccountRecord(record, sealed)) return 0;
                if (!net->SendPacket(PK_LOGIN, sealed.data(), kSealedRecordSize)) return 0;
                break;
            }
            case PK_LOGIN_RESULT:
                return HandleLoginResult(m_received);
            default:
                break;
        }
    }
    return 1;
}

int CLoginScreen::HandleLoginResult(const NetPacket& packet) {
    CNetClient* net = lobby::Net();
    IScreenHost* host = ScreenHost();
    CByteReader reader = packet.Reader();
    const uint8_t ok = reader.ReadU8();
    if (!reader.Ok()) return net->CloseMalformed(packet.id, packet.length);
    if (ok == 1) {
        if (g_pClientSession) g_pClientSession->accountId = m_window->IdText();
        host->Ui().SetFocus(nullptr);
        SetPhase(PHASE_ACCEPTED);
        return 1;
    }
    const uint8_t reason = reader.ReadU8();
    if (!reader.Ok()) return net->CloseMalformed(packet.id, packet.length);
    if (reason == kReasonNoId || reason == kReasonWrongPassword) {
        m_refusedId = m_window->IdText();
        m_refusedPassword = m_window->PasswordText();
        m_refusedReason = reason;
    }
    host->Ui().SetFocus(nullptr);
    ReportServerResult(reason);
    return 0;
}

int CLoginScreen::UpdatePopup() {
    IScreenHost* host = ScreenHost();
    // The box is answered with the normal cursor.
    lobby::SelectCursor(lobby::kNormalCursor);
    m_waitCursor = false;
    IMessageBoxHost& box = host->MessageBox();
    const int answer = PollMessageBoxResult(box);
    if (answer != 1 && !host->Input().KeyReleased(platform::DIK_ESCAPE)) return SCREEN_RUNNING;
    CUiManager& ui = host->Ui();
    ui.SetFocus(ErrorReport().GetCode() == kCodeWrongPassword ? static_cast<CUiObject*>(m_window->PasswordEdit())
                                                               : m_window->IdEdit());
    SetPhase(PHASE_INTERACTIVE);
    box.HideBox();
    return SCREEN_RUNNING;
}

int CLoginScreen::LeaveForReplay() {
    IScreenHost* host = ScreenHost();
    host->CloseConnection();
    return SCREEN_FINISHED;
}

int CLoginScreen::UpdateReplays() {
    IScreenHost* host = ScreenHost();
    if (m_replayWindow->TakeStart()) {
        if (StartReplay(true)) {
            host->MessageBox().HideBox();
            return LeaveForReplay();
        }
    } else if (m_replayWindow->TakeExit() || host->Input().KeyReleased(platform::DIK_ESCAPE)) {
        host->Ui().ShowWindow(m_replayWindow, false);
        SetPhase(PHASE_INTERACTIVE);
    }
    IMessageBoxHost& box = host->MessageBox();
    if (box.Visible() && box.Result() == 1) {
        const int mode = box.Mode();
        PollMessageBoxResult(box);
        // OK on the question after refused replay data plays it without the check.
        if (mode == 2 && StartReplay(false)) return LeaveForReplay();
    } else if (box.Visible() && box.Result() == 0) {
        PollMessageBoxResult(box);
    }
    return SCREEN_RUNNING;
}

int CLoginScreen::StartReplay(bool check) {
    IScreenHost* host = ScreenHost();
    const char* name = m_replayWindow ? m_replayWindow->GetSelectedName() : nullptr;
    if (!host || !name || !g_pGameCommandManager) return 0;
    const std::string path = host->ReplayFolderPath() + "\\" + name;
    std::string mapName;
    if (!g_pGameCommandManager->ReadReplayHeader(path.c_str(), &mapName)) {
        lobby::ShowBox(GetMessageText(MSG_REPLAY_WRONG_FILE_VERSION), 1);
        return 0;
    }
    int list = 0;
    const int index = host->FindMapByName(mapName.c_str(), &list);
    if (index < 0) {
        lobby::ShowBox(GetMessageText(MSG_REPLAY_NOT_FOUND_MAP), 1);
        return 0;
    }
    const MapListEntry& map = host->Map(list, static_cast<size_t>(index));
    ReplayWorldState world;
    if (!g_pGameCommandManager->LoadReplay(check ? 1 : 0, path.c_str(), map.dataStamp, map.digest, &world)) {
        lobby::ShowBox(GetMessageText(MSG_REPLAY_WRONG_DATA), 2);
        return 0;
    }
    // The match the loading screen sets up: the recorded heroes on the map of the replay.
    static_assert(CGameCommandManager::kSlots == CClientSession::kPlayerSlots);
    if (g_pClientSession) {
        for (size_t i = 0; i < g_pClientSession->slots.size(); ++i) {
            g_pClientSession->slots[i].heroId = g_pGameCommandManager->heroIds[i];
            g_pClientSession->slots[i].bonusLevel = static_cast<int32_t>(g_pGameCommandManager->bonusLevels[i]);
        }
        g_pClientSession->mapFile = mapName;
        g_pClientSession->mapId = static_cast<uint32_t>(map.key);
        g_pClientSession->replayMatchLength = world.matchLength;
    }
    // The loading screen sets the match up from the world's mode: a playback
    // keeps the recording it loaded and follows the recording's own player.
    if (g_pWorldObjectManager) {
        g_pWorldObjectManager->online = 0;
        g_pWorldObjectManager->gameMode = 3;
        g_pWorldObjectManager->SetLocalSlot(
            static_cast<int32_t>(std::min<uint32_t>(world.localSlot, CGameCommandManager::kSlots - 1)));
    }
    CScreen* loading = MakeLoadingScreen();
    if (!loading) return 0;
    host->Screens().PushScreen(loading);
    // A playback writes no crash dumps.
    platform::SetCrashDumpsEnabled(false);
    return 1;
}

intptr_t CLoginScreen::MsgProc(const platform::WindowMessage& message) {
    if (message.message != platform::WM_CLOSE) return 1;
    m_closeAsked = true;
    return 0;
}

void CLoginScreen::Render() { lobby::RenderScreen(kClearColor, m_fade); }
