#include "screens/lobby/ConnectScreen.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/RenderStateCache.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/ServerAddress.h"
#include "platform/GfxDevice.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/NicknameScreen.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiManager.h"

int CConnectScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    if (!host || !g_pClientSession || !lobby::Net()) {
        ErrorReport().SetError(ERR_DATA, "The connect screen runs without its application");
        return SCREEN_FATAL;
    }
    CNetClient& net = *lobby::Net();
    switch (Phase()) {
        case PHASE_START:
            lobby::SelectCursor(lobby::kWaitCursor);
            host->Input().Reset();
            m_fade.SetUp(0.0f, 0.0f, static_cast<float>(host->BackBufferWidth()),
                         static_cast<float>(host->BackBufferHeight()), nullptr);
            m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 0, 0.0f);
            SetPhase(PHASE_LOGIN_SERVER);
            break;
        case PHASE_RECONNECT: {
            net.Disconnect();
            const std::string address = g_pClientSession->GameServerAddress();
            if (net.Connect(address.c_str(), GetServerPort(ServerKind::Game)))
                SetPhase(PHASE_GAME_SERVER);
            else
                ShowErrorPopup(1);
            break;
        }
        case PHASE_ENTERED:
            host->Screens().PushScreen(new CNicknameScreen());
            return SCREEN_FINISHED;
        case kPhaseErrorPopup:
        case kPhaseErrorQuit:
        case kPhaseErrorReturn: {
            // The popup shows over a clear screen.
            m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 1, 0.0f);
            const int result = UpdateErrorPopup();
            if (result) return result;
            break;
        }
        default:
            break;
    }
    if (!HandlePackets()) ShowErrorPopup(1);
    UpdateCommon(Phase() == kPhaseErrorPopup ? 1 : 0, nullptr, 0);
    return SCREEN_RUNNING;
}

int CConnectScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    while (net && net->IsConnected() && (Phase() == PHASE_LOGIN_SERVER || Phase() == PHASE_GAME_SERVER)) {
        if (!net->RecvPacket(m_received)) return 0;
        CByteReader reader = m_received.Reader();
        switch (m_received.id) {
            case 0:
                return 1;
            case PK_AUTH_KEY:
                if (!lobby::AnswerAuthKey(*net, m_received, false)) return 0;
                break;
            case PK_ACCOUNT_INFO:
                if (!reader.ReadBytes(g_pClientSession->serverInfo, CClientSession::kServerInfoSize))
                    return net->CloseMalformed(m_received.id, m_received.length);
                SetPhase(PHASE_RECONNECT);
                break;
            case PK_ENTER_SERVER_RESULT: {
                const uint8_t ok = reader.ReadU8();
                const int8_t code = static_cast<int8_t>(reader.ReadU8());
                if (!reader.Ok() && ok != 1) return net->CloseMalformed(m_received.id, m_received.length);
                if (ok == 1) {
                    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, lobby::kFadeRate);
                    SetPhase(PHASE_ENTERED);
                    return 1;
                }
                return ReportServerResult(code);
            }
            default:
                if (!lobby::HandleOtherMessage(*this, m_received)) return 0;
                break;
        }
    }
    return 1;
}

void CConnectScreen::Render() { lobby::RenderScreen(kClearColor, m_fade); }
