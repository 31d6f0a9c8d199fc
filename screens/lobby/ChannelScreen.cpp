#include "screens/lobby/ChannelScreen.h"

#include "engine/core/ErrorReport.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/ServerAddress.h"
#include "platform/Input.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/NicknameScreen.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiManager.h"

CChannelScreen::~CChannelScreen() {
    if (g_pResourceManager) g_pResourceManager->ReleaseResource(m_layout);
}

int CChannelScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pClientSession || !lobby::Net()) {
        ErrorReport().SetError(ERR_DATA, "The channel screen runs without its application");
        return SCREEN_FATAL;
    }
    m_window = new CChannelWindow();
    m_layout = g_pResourceManager->GetResource("SELECT_CHANNEL.DUI", RES_LAYOUT, m_window, 1);
    if (!m_layout) return SCREEN_FATAL;
    m_window->HideRows();
    lobby::SelectCursor(lobby::kWaitCursor);
    m_waitCursor = true;
    host->Input().Reset();
    m_fade.SetUp(0.0f, 0.0f, static_cast<float>(host->BackBufferWidth()),
                 static_cast<float>(host->BackBufferHeight()), nullptr);
    m_returning = g_pClientSession->returning;
    if (m_returning) {
        m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);
    } else {
        m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 1, 0.0f);
        m_window->StartFade(lobby::kFadeRate, 1);
    }
    SetPhase(PHASE_FADE_IN);
    return SCREEN_RUNNING;
}

int CChannelScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    switch (Phase()) {
        case PHASE_LOAD:
            if (Load() != SCREEN_RUNNING) return SCREEN_FATAL;
            break;
        case PHASE_FADE_IN:
            if (!m_returning) {
                // The game server's connection of the connect screen is still open.
                if (!m_window->FadeActive()) SetPhase(PHASE_CHOOSING);
            } else if (m_fade.Done()) {
                SetPhase(PHASE_REENTER);
                const std::string address = g_pClientSession->GameServerAddress();
                if (!lobby::Net()->Connect(address.c_str(), GetServerPort(ServerKind::Game))) ShowErrorPopup(1);
            }
            break;
        case PHASE_CHOOSING:
            if (CheckMessageBoxConfirm() || m_waitCursor) break;
            UpdateChoosing();
            break;
        case PHASE_BACK:
            if (!m_window->FadeActive()) {
                host->MessageBox().HideBox();
                g_pClientSession->returning = true;
                host->Screens().PushScreen(new CNicknameScreen());
                return SCREEN_FINISHED;
            }
            break;
        case PHASE_CONNECT: {
            CNetClient& net = *lobby::Net();
            net.Disconnect();
            SetPhase(PHASE_ENTERING);
            const std::string& address = m_channels.entries[static_cast<size_t>(m_window->Selected())].address;
            if (net.Connect(address.c_str(), GetServerPort(ServerKind::Channel)))
                g_pClientSession->channelAddress = address;
            else
                ShowErrorPopup(1);
            break;
        }
        case PHASE_ENTERED:
            SetPhase(PHASE_LEAVING);
            host->MessageBox().HideBox();
            break;
        case PHASE_LEAVING:
            if (m_fade.Done()) {
                lobby::SelectCursor(lobby::kNormalCursor);
                g_pClientSession->returning = false;
                host->Screens().PushScreen(MakeLobbyScreen());
                host->Input().Reset();
                return SCREEN_FINISHED;
            }
            break;
        default: {
            const int result = UpdateErrorPopup();
            if (result) return result;
            break;
        }
    }
    const int phase = Phase();
    if (phase != PHASE_LOAD && !HandlePackets()) ShowErrorPopup(1);
    UpdateCommon(!m_waitCursor && host->HasWindowFocus() ? 1 : 0, nullptr, 0);
    if (phase == PHASE_FADE_IN || phase == PHASE_BACK) m_window->ForceRowTextAlpha(0.0f);
    return SCREEN_RUNNING;
}

void CChannelScreen::UpdateChoosing() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    lobby::SelectCursor(lobby::kNormalCursor);
    if (input.KeyReleased(platform::DIK_ESCAPE) || m_window->TakeBack()) {
        m_window->StartFade(lobby::kFadeRate, 0);
        SetPhase(PHASE_BACK);
        return;
    }
    const int selected = m_window->Selected();
    if (input.KeyPressed(platform::DIK_UP) && selected > 0 && m_window->RowShown(selected - 1))
        m_window->SelectRow(selected - 1);
    if (input.KeyPressed(platform::DIK_DOWN) && selected >= 0 && selected < CChannelWindow::kRows - 1 &&
        m_window->RowShown(selected + 1))
        m_window->SelectRow(selected + 1);
    const bool join = m_window->TakeJoin() || lobby::EnterPressed();
    if (join && m_listReceived && m_window->Selected() >= 0) {
        lobby::SelectCursor(lobby::kWaitCursor);
        m_waitCursor = true;
        SetPhase(PHASE_CONNECT);
    }
}

int CChannelScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    while (net && net->IsConnected()) {
        if (!net->RecvPacket(m_received)) return 0;
        CByteReader reader = m_received.Reader();
        switch (m_received.id) {
            case 0:
                return 1;
            case PK_AUTH_KEY:
                if (!lobby::AnswerAuthKey(*net, m_received, Phase() == PHASE_REENTER)) return 0;
                break;
            case PK_CHANNEL_LIST: {
                ChannelList list;
                if (!ReadChannelList(m_received.payload.data(), m_received.length, &list))
                    return net->CloseMalformed(m_received.id, m_received.length);
                m_channels = list;
                m_listReceived = true;
                m_window->Fill(m_channels);
                lobby::SelectCursor(lobby::kNormalCursor);
                m_waitCursor = false;
                break;
            }
            case PK_ENTER_SERVER_RESULT: {
                const uint8_t ok = reader.ReadU8();
                const int8_t code = static_cast<int8_t>(reader.ReadU8());
                if (!reader.Ok() && ok != 1) return net->CloseMalformed(m_received.id, m_received.length);
                if (ok != 1) return ReportServerResult(code);
                if (Phase() == PHASE_REENTER) {
                    lobby::SelectCursor(lobby::kNormalCursor);
                    m_waitCursor = false;
                    // The screen's fade hid the rows' texts; no window fade gives them back.
                    m_window->ForceRowTextAlpha(1.0f);
                    SetPhase(PHASE_CHOOSING);
                } else {
                    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, lobby::kFadeRate);
                    SetPhase(PHASE_ENTERED);
                }
                break;
            }
            case PK_GUILD_MEMBER_LIST: {
                const uint8_t ok = reader.ReadU8();
                const uint8_t code = reader.ReadU8();
                if (!reader.Ok()) return net->CloseMalformed(m_received.id, m_received.length);
                if (ok != 1) return ReportServerResult(code);
                if (m_received.length < 2 + kGuildRosterSize)
                    return net->CloseMalformed(m_received.id, m_received.length);
                g_pClientSession->community.SetGuildRoster(m_received.payload.data() + 2, kGuildRosterSize);
                break;
            }
            default:
                if (!lobby::HandleOtherMessage(*this, m_received)) return 0;
                break;
        }
    }
    return 1;
}

void CChannelScreen::Render() { lobby::RenderScreen(kClearColor, m_fade); }
