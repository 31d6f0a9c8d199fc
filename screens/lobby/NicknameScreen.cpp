#include "screens/lobby/NicknameScreen.h"

#include <array>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/core/TutorialProgress.h"
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
#include "net/Nickname.h"
#include "platform/GfxDevice.h"
#include "platform/Input.h"
#include "screens/lobby/ChannelScreen.h"
#include "screens/lobby/CreateNicknameWindow.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/SelectNicknameWindow.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"

namespace {
constexpr int kListRequestSize = 53;
constexpr int kNicknamePacketSize = 70;
constexpr uint8_t kDeleteRefusedRelist = 8;
}  // namespace

CNicknameScreen::~CNicknameScreen() {
    if (g_pResourceManager) {
        g_pResourceManager->ReleaseResource(m_selectLayout);
        g_pResourceManager->ReleaseResource(m_createLayout);
    }
}

int CNicknameScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pClientSession || !lobby::Net()) {
        ErrorReport().SetError(ERR_DATA, "The nickname screen runs without its application");
        return SCREEN_FATAL;
    }
    lobby::SelectCursor(lobby::kWaitCursor);
    m_waitCursor = true;
    host->Input().Reset();
    m_select = new CSelectNicknameWindow();
    m_selectLayout = g_pResourceManager->GetResource("SELECT_NICKNAME.DUI", RES_LAYOUT, m_select, 1);
    if (!m_selectLayout) return SCREEN_FATAL;
    m_create = new CCreateNicknameWindow(this);
    m_createLayout = g_pResourceManager->GetResource("CREATE_NICKNAME.DUI", RES_LAYOUT, m_create, 1);
    if (!m_createLayout) return SCREEN_FATAL;
    host->Ui().ShowWindow(m_create, false);
    const float width = static_cast<float>(host->BackBufferWidth());
    const float height = static_cast<float>(host->BackBufferHeight());
    m_create->SetPosition(std::trunc((width - m_create->Size().x) * 0.5f),
                          std::trunc((height - m_create->Size().y) * 0.5f));
    if (!host->PlayBgmByName("BGM-LOBBY.OGG") && g_pSoundManager && g_pSoundManager->IsEnabled())
        return SCREEN_FATAL;
    m_fade.SetUp(0.0f, 0.0f, width, height, nullptr);
    m_windowFade = g_pClientSession->returning;
    if (m_windowFade) {
        m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 1, 0.0f);
        m_select->StartFade(lobby::kFadeRate, 1);
    } else {
        m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);
    }
    SetPhase(PHASE_FADE_IN);
    return SCREEN_RUNNING;
}

void CNicknameScreen::RequestList() {
    uint8_t payload[kListRequestSize] = {};
    lobby::WriteAccountId(*g_pClientSession, payload);
    lobby::SelectCursor(lobby::kWaitCursor);
    m_waitCursor = true;
    if (!lobby::Net()->SendPacket(PK_NICKNAME_LIST_REQUEST, payload, kListRequestSize)) ShowErrorPopup(1);
}

int CNicknameScreen::SendNicknamePacket(uint16_t id, const std::string& nickname) {
    uint8_t payload[kNicknamePacketSize] = {};
    lobby::WriteAccountId(*g_pClientSession, payload);
    std::memcpy(payload + kAccountIdSize, nickname.data(), std::min(nickname.size(), NicknameList::kNicknameSize - 1));
    return lobby::Net()->SendPacket(id, payload, kNicknamePacketSize);
}

int CNicknameScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    switch (Phase()) {
        case PHASE_LOAD:
            if (Load() != SCREEN_RUNNING) return SCREEN_FATAL;
            break;
        case PHASE_FADE_IN:
            if (m_windowFade ? !m_select->FadeActive() : m_fade.Done()) {
                g_pClientSession->returning = false;
                m_select->SetSlotTextAlpha(1.0f);
                SetPhase(PHASE_CHOOSING);
                RequestList();
                if (Phase() == PHASE_CHOOSING) {
                    lobby::SelectCursor(lobby::kNormalCursor);
                    m_waitCursor = false;
                }
            }
            break;
        case PHASE_CHOOSING:
            if (CheckMessageBoxConfirm() || m_waitCursor) break;
            UpdateChoosing();
            break;
        case PHASE_CREATING:
            UpdateCreating();
            break;
        case PHASE_JOINING:
            host->MessageBox().HideBox();
            SetPhase(PHASE_LEAVING);
            break;
        case PHASE_LEAVING:
            if (!m_select->FadeActive()) {
                host->Screens().PushScreen(new CChannelScreen());
                return SCREEN_FINISHED;
            }
            break;
        case PHASE_DELETE_QUESTION:
            UpdateDeleteQuestion();
            break;
        default: {
            const int result = UpdateErrorPopup();
            if (result) return result;
            break;
        }
    }
    const int phase = Phase();
    if (phase != PHASE_LOAD && phase != PHASE_LEAVING && !HandlePackets()) ShowErrorPopup(1);
    UpdateCommon(!m_waitCursor && host->HasWindowFocus() ? 1 : 0, nullptr, 0);
    if (phase == PHASE_FADE_IN || phase == PHASE_JOINING || phase == PHASE_LEAVING) m_select->SetSlotTextAlpha(0.0f);
    return SCREEN_RUNNING;
}

void CNicknameScreen::UpdateChoosing() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    lobby::SelectCursor(lobby::kNormalCursor);
    if (input.KeyReleased(platform::DIK_ESCAPE) || m_select->TakeRequest(CSelectNicknameWindow::REQUEST_BACK)) {
        m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, lobby::kFadeRate);
        if (CZEMSound* music = host->Bgm()) music->FadeOut(100);
        host->CloseConnection();
        SetPhase(kPhaseErrorReturn);
        return;
    }
    if (input.KeyPressed(platform::DIK_UP)) m_select->SelectSlot(std::max(m_select->Selected() - 1, 0));
    if (input.KeyPressed(platform::DIK_DOWN)) m_select->SelectSlot(std::min(m_select->Selected() + 1, 2));
    if (m_select->TakeRequest(CSelectNicknameWindow::REQUEST_MAKE)) {
        host->Ui().BringToFront(m_create);
        host->Ui().ShowWindow(m_create, true);
        m_create->Edit()->SetText("");
        host->Ui().SetFocus(m_create->Edit());
        SetPhase(PHASE_CREATING);
        return;
    }
    const std::string& nickname = m_select->SelectedNickname();
    if (m_select->TakeRequest(CSelectNicknameWindow::REQUEST_DELETE) && !nickname.empty()) {
        lobby::ShowBox(FormatText(GetMessageText(MSG_NICKNAME_DELETE_NICK), nickname).c_str(), 2);
        SetPhase(PHASE_DELETE_QUESTION);
        return;
    }
    const bool join = m_select->TakeRequest(CSelectNicknameWindow::REQUEST_JOIN) || lobby::EnterPressed();
    if (join && !nickname.empty()) {
        g_pClientSession->nickname = nickname;
        lobby::SelectCursor(lobby::kWaitCursor);
        m_waitCursor = true;
        // The setting file is named after the nickname: only a valid one is read.
        CTutorialProgress tutorial;
        g_pClientSession->tutorialCancel =
            IsValidNickname(nickname) && tutorial.LoadTutorialCancel(nickname) ? tutorial.TutorialCancel() : 0;
        m_select->StartFade(lobby::kFadeRate, 0);
        SetPhase(PHASE_JOINING);
    }
}

void CNicknameScreen::UpdateCreating() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    CUiManager& ui = host->Ui();
    IMessageBoxHost& box = host->MessageBox();
    if (box.Visible()) {
        if (PollMessageBoxResult(box) >= 0 || input.KeyReleased(platform::DIK_ESCAPE)) {
            box.HideBox();
            ui.SetFocus(m_create->Edit());
        }
        return;
    }
    if (input.KeyReleased(platform::DIK_ESCAPE)) {
        m_create->Close();
        return;
    }
    if (lobby::EnterPressed() && ui.Focus() != m_create->Edit()) ui.SetFocus(m_create->Edit());
    if (!m_create->TakeCreate()) return;
    const std::string nickname = m_create->Edit()->GetText();
    if (nickname.size() < kMinNickname || !IsValidNickname(nickname)) {
        lobby::ShowBox(GetMessageText(MSG_NICKNAME_MIN_NICK), 1);
        ui.SetFocus(nullptr);
        return;
    }
    if (!SendNicknamePacket(PK_NICKNAME_CREATE, nickname)) {
        m_create->Close();
        ShowErrorPopup(1);
    }
}

void CNicknameScreen::UpdateDeleteQuestion() {
    IScreenHost* host = ScreenHost();
    IMessageBoxHost& box = host->MessageBox();
    const int answer = PollMessageBoxResult(box);
    if (answer == 1) {
        host->Input().Reset();
        lobby::SelectCursor(lobby::kWaitCursor);
        m_waitCursor = true;
        SetPhase(PHASE_CHOOSING);
        if (!SendNicknamePacket(PK_NICKNAME_DELETE, m_select->SelectedNickname())) ShowErrorPopup(1);
    } else if (answer == 0 || host->Input().KeyReleased(platform::DIK_ESCAPE)) {
        box.HideBox();
        SetPhase(PHASE_CHOOSING);
    }
}

int CNicknameScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    while (net && net->IsConnected()) {
        if (!net->RecvPacket(m_received)) return 0;
        CByteReader reader = m_received.Reader();
        switch (m_received.id) {
            case 0:
                return 1;
            case PK_NICKNAME_LIST: {
                NicknameList list;
                if (!ReadNicknameList(m_received.payload.data(), m_received.length, &list))
                    return net->CloseMalformed(m_received.id, m_received.length);
                if (list.ok != 1) return ReportServerResult(list.code);
                m_select->Fill(list);
                lobby::SelectCursor(lobby::kNormalCursor);
                m_waitCursor = false;
                break;
            }
            case PK_NICKNAME_CREATE_RESULT:
            case PK_NICKNAME_DELETE_RESULT: {
                const uint8_t ok = reader.ReadU8();
                const uint8_t code = reader.ReadU8();
                if (!reader.Ok()) return net->CloseMalformed(m_received.id, m_received.length);
                const bool create = m_received.id == PK_NICKNAME_CREATE_RESULT;
                if (ok == 1) {
                    if (create) m_create->Close();
                    SetPhase(PHASE_CHOOSING);
                    RequestList();
                    break;
                }
                ReportServerResult(code);
                lobby::ShowBox(ErrorReport().GetText(), 1);
                if (create) {
                    if (IScreenHost* host = ScreenHost()) host->Ui().SetFocus(nullptr);
                    lobby::SelectCursor(lobby::kNormalCursor);
                    m_waitCursor = false;
                } else {
                    SetPhase(PHASE_CHOOSING);
                    if (code == kDeleteRefusedRelist) {
                        RequestList();
                    } else {
                        lobby::SelectCursor(lobby::kNormalCursor);
                        m_waitCursor = false;
                    }
                }
                break;
            }
            default:
                if (!lobby::HandleOtherMessage(*this, m_received)) return 0;
                break;
        }
        if (Phase() >= kPhaseErrorPopup) return 1;
    }
    return 1;
}

void CNicknameScreen::Render() { lobby::RenderScreen(kClearColor, m_fade); }
