#include "screens/lobby/LobbyScreen.h"

#include <cmath>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/TutorialProgress.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/ZEMSound.h"
#include "engine/sound/ZEMSoundManager.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/CommunityRequests.h"
#include "screens/lobby/ChannelScreen.h"
#include "screens/lobby/ConnecterPopup.h"
#include "screens/lobby/LobbyRequests.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/LobbyWindow.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "screens/lobby/QuickJoinWindow.h"
#include "screens/lobby/RoomPasswordWindow.h"
#include "platform/Input.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/StandInScreen.h"
#include "ui/UiCheckButton.h"
#include "ui/UiButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/ScriptManager.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr const char* kLayoutNames[4] = {"LOBBY2.DUI", "MAKEROOM2.DUI", "ROOMINPASS.DUI", "QUICKJOIN2.DUI"};
constexpr const char* kTutorialScript = "TUTORIAL.DAT";
constexpr int kTutorialMode = 2;
// The versus-machines mode asks more of the machine than the client's start.
constexpr uint32_t kPvmMemoryMb = 512;
constexpr uint32_t kPvmMhz = 1200;
constexpr uint32_t kPvmVideoMb = 64;

bool Shown(const CUiWindow* window) { return window && !window->HasFlags(UI_HIDDEN); }

CNetClient* Net() { return lobby::Net(); }

}  // namespace

CScreen* NewLobbyScreen() { return new CLobbyScreen(); }

CLobbyScreen::CLobbyScreen() = default;

CLobbyScreen::~CLobbyScreen() {
    if (g_pUiManager && m_popup) g_pUiManager->DeleteWindow(m_popup);
    m_popup = nullptr;
    if (!g_pResourceManager) return;
    for (CResource*& layout : m_layouts) {
        g_pResourceManager->ReleaseResource(layout);
        layout = nullptr;
    }
    for (CResource*& icon : m_icons) {
        g_pResourceManager->ReleaseResource(icon);
        icon = nullptr;
    }
}

int CLobbyScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pClientSession) {
        ErrorReport().SetError(ERR_DATA, "The lobby screen runs without its application");
        return 0;
    }
    m_window = new CLobbyWindow();
    m_makeRoom = new CMakeRoomWindow(true);
    m_password = new CRoomPasswordWindow();
    m_quickJoin = new CQuickJoinWindow();
    CUiWindow* windows[4] = {m_window, m_makeRoom, m_password, m_quickJoin};
    for (int i = 0; i < 4; ++i) {
        m_layouts[i] = g_pResourceManager->GetResource(kLayoutNames[i], RES_LAYOUT, windows[i], 1);
        if (!m_layouts[i]) return 0;
    }
    if (!m_community.Load(m_window->ChatList())) return 0;
    if (!m_options.Load()) return 0;
    m_icons[0] = g_pResourceManager->GetResource("SM.DDS", RES_TEXTURE, nullptr, 1);
    m_icons[1] = g_pResourceManager->GetResource("PVM.DDS", RES_TEXTURE, nullptr, 1);
    if (!m_icons[0] || !m_icons[1]) return 0;
    if (!host->PlayBgmByName("BGM-LOBBY.OGG")) {
        // Without a sound device the lobby goes on silently.
        if (g_pSoundManager && g_pSoundManager->IsEnabled()) return 0;
    }
    CUiManager& ui = host->Ui();
    m_popup = new CConnecterPopup(m_window);
    m_popup->Create("CONNECTER_POPUP");
    m_popup->Fill({MSG_POPUP_MENU_WHISPER, MSG_POPUP_MENU_FRIEND_ADD, MSG_POPUP_MENU_OUTSIDE_CUT});
    ui.ShowWindow(m_popup, false);
    for (CUiWindow* window : {static_cast<CUiWindow*>(m_makeRoom), static_cast<CUiWindow*>(m_password),
                              static_cast<CUiWindow*>(m_quickJoin)}) {
        lobby::CentreWindow(window, *host);
        ui.ShowWindow(window, false);
    }
    m_fade.SetUp(0.0f, 0.0f, static_cast<float>(host->BackBufferWidth()),
                 static_cast<float>(host->BackBufferHeight()), nullptr);
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);
    m_window->ChatModeLabel()->SetText(GetMessageText(MSG_CHAT_SEND_TO_ALL));
    const RoomPage empty{};
    m_window->ShowRoomList(empty, ROOM_LIST_WAITING, 0, 0, m_icons);
    return 1;
}

void CLobbyScreen::EnterLobby() {
    IScreenHost* host = ScreenHost();
    CClientSession& session = *g_pClientSession;
    if (g_pWorldObjectManager) g_pWorldObjectManager->host = 0;
    host->Input().Reset();
    m_window->AllRoomsBox()->SetChecked(true);
    m_window->WaitingRoomsBox()->SetChecked(false);
    SetPhase(PHASE_FADE_IN);
    m_window->ChatEdit()->SetByteLimit(LobbyChatByteLimit(session.nickname));
    m_window->TotalText()->SetText(FormatText(GetMessageText(MSG_LOBBY_CONNECTER), 0));
    CNetClient* net = Net();
    if (session.returnedToLobby) {
        if (!RequestRoomList()) return;
        if (session.banNotice) {
            session.banNotice = false;
            AddChatLine(m_window->ChatList(), GetMessageText(MSG_LOBBY_BAN), kBanNoticeColour);
        }
    } else if (!net || !SendLobbyEnter(*net, session.accountId, session.nickname)) {
        ShowErrorPopup(1);
    }
}

int CLobbyScreen::RequestRoomList() {
    CNetClient* net = Net();
    if (!net || !SendRoomListRequest(*net, m_pager.Kind(), static_cast<uint16_t>(m_pager.CurrentPage()))) {
        ShowErrorPopup(1);
        return 0;
    }
    return 1;
}

void CLobbyScreen::SetBusy(bool busy) {
    m_busy = busy;
    lobby::SelectCursor(busy ? lobby::kWaitCursor : lobby::kNormalCursor);
}

void CLobbyScreen::ShowBoxText(const std::string& text) { lobby::ShowBox(text.c_str(), 1); }

void CLobbyScreen::BeginLeave(int next) {
    IScreenHost* host = ScreenHost();
    SetBusy(true);
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, lobby::kFadeRate);
    m_next = next;
    if (next != NEXT_CHANNEL && host)
        if (CZEMSound* music = host->Bgm()) music->FadeOut(100);
    SetPhase(PHASE_LEAVING);
}

int CLobbyScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    if (!host) return SCREEN_FATAL;
    switch (Phase()) {
        case PHASE_LOAD:
            SetBusy(true);
            if (g_pClientSession) g_pClientSession->lobbyReady = false;
            if (!Load()) return SCREEN_FATAL;
            g_pClientSession->lobbyReady = true;
            EnterLobby();
            break;
        case PHASE_FADE_IN:
            if (!m_fade.Done()) break;
            if (g_pClientSession->returnedToLobby) {
                g_pClientSession->returnedToLobby = false;
                SetPhase(PHASE_LOBBY);
                SetBusy(false);
            } else if (m_entered) {
                m_entered = false;
                SetPhase(PHASE_LOBBY);
                SetBusy(false);
                if (g_pClientSession->player.TutorialDone() == 0 && !g_pClientSession->tutorialCancel) {
                    lobby::ShowBox(GetMessageText(MSG_LOBBY_IS_TUTORIAL), 2);
                    SetPhase(PHASE_TUTORIAL_QUESTION);
                }
            }
            break;
        case PHASE_LOBBY:
            UpdateLobby();
            break;
        case PHASE_EXIT_QUESTION:
            UpdateExitQuestion();
            break;
        case PHASE_LEAVING:
            if (m_fade.Done()) return Leave();
            break;
        case PHASE_COMMUNITY:
            UpdateCommunity();
            break;
        case PHASE_ROOM_JOINED:
            break;
        case PHASE_TUTORIAL_QUESTION:
            UpdateTutorialQuestion();
            break;
        default: {
            const int result = UpdateErrorPopup();
            if (result) return result;
            break;
        }
    }
    if (Reading()) {
        CNetClient* net = Net();
        if (net && !m_loop.Run(*net, *g_pClientSession, Dt(), *this)) ShowErrorPopup(1);
    }
    const int current = Phase();
    const bool inputPhase = current == PHASE_LOBBY || current == PHASE_EXIT_QUESTION || current == PHASE_COMMUNITY ||
                            current == PHASE_TUTORIAL_QUESTION || current >= kPhaseErrorPopup;
    UpdateCommon(!m_busy && inputPhase && host->HasWindowFocus() ? 1 : 0, nullptr, 1);
    UpdateCoolDowns();
    return SCREEN_RUNNING;
}

void CLobbyScreen::UpdateCoolDowns() {
    m_pager.Tick(Dt());
    const int pages = m_pager.PageButtonsEnabled() ? 1 : 0;
    m_window->CommandButton(CLobbyWindow::CMD_BEFORE)->SetEnabled(pages);
    m_window->CommandButton(CLobbyWindow::CMD_NEXT)->SetEnabled(pages);
    m_window->AllRoomsBox()->SetEnabled(m_pager.KindBoxEnabled(ROOM_LIST_ALL) ? 1 : 0);
    m_window->WaitingRoomsBox()->SetEnabled(m_pager.KindBoxEnabled(ROOM_LIST_WAITING) ? 1 : 0);
}

int CLobbyScreen::UpdateSmallWindows() {
    IScreenHost* host = ScreenHost();
    const bool escape = host->Input().KeyReleased(platform::DIK_ESCAPE) != 0;
    if (m_options.Update(escape)) return 1;
    if (Shown(m_makeRoom)) {
        if (escape) {
            m_makeRoom->Close();
        } else if (m_makeRoom->TakeOk()) {
            CreateRoom();
        }
        return 1;
    }
    if (Shown(m_password)) {
        if (escape) {
            m_password->Close();
        } else if (m_password->TakeAccept()) {
            JoinRoom();
        }
        return 1;
    }
    if (Shown(m_quickJoin)) {
        if (escape) {
            m_quickJoin->Close();
        } else if (m_quickJoin->TakeJoin()) {
            QuickJoin();
        }
        return 1;
    }
    return 0;
}

void CLobbyScreen::UpdateLobby() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    CUiManager& ui = host->Ui();
    IMessageBoxHost& box = host->MessageBox();
    if (UpdatePopup()) return;
    if (box.Visible() && box.Mode() == 1) {
        CheckMessageBoxConfirm();
        if (box.Visible()) return;
        // The box was just confirmed: back to the window the player was typing in.
        if (Shown(m_makeRoom)) {
            ui.SetFocus(m_makeRoom->TitleEdit());
        } else if (Shown(m_password)) {
            if (ErrorReport().GetCode() == MSG_LOBBY_GAMEROOM_NOT_EXIST) {
                m_password->Close();
            } else {
                m_password->Retry();
            }
        }
        return;
    }
    if (m_busy) return;
    lobby::SelectCursor(lobby::kNormalCursor);
    if (UpdateSmallWindows()) return;

    CLobbyWindow& w = *m_window;
    if (input.KeyReleased(platform::DIK_ESCAPE) || w.TakeCommand(CLobbyWindow::CMD_BACK)) {
        BeginLeave(NEXT_CHANNEL);
        return;
    }
    if (input.KeyPressed(platform::DIK_UP)) w.MoveSelection(-1);
    if (input.KeyPressed(platform::DIK_DOWN)) w.MoveSelection(+1);

    const bool before = w.TakeCommand(CLobbyWindow::CMD_BEFORE);
    const bool next = !before && w.TakeCommand(CLobbyWindow::CMD_NEXT);
    if ((before && m_pager.Before()) || (next && m_pager.Next())) {
        w.SelectRow(-1);
        UpdateCoolDowns();
        RequestRoomList();
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_JOIN) && w.SelectedRow() >= 0) {
        if (m_rooms[static_cast<size_t>(w.SelectedRow())].password == 1) {
            m_password->Open();
        } else {
            JoinRoom();
        }
        return;
    }
    if (input.KeyPressed(platform::DIK_TAB)) w.ChatModeLabel()->SetText(GetMessageText(MSG_CHAT_SEND_TO_ALL));
    if (lobby::EnterPressed()) {
        UpdateChat();
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_COMMUNITY)) {
        m_community.Open();
        SetPhase(PHASE_COMMUNITY);
        return;
    }
    const bool alt = input.KeyDown(platform::DIK_LMENU) || input.KeyDown(platform::DIK_RMENU);
    if (w.TakeCommand(CLobbyWindow::CMD_EXIT) || (alt && input.KeyPressed(platform::DIK_F4))) {
        lobby::ShowBox(GetMessageText(MSG_LOBBY_PROGRAM_EXIT), 2);
        SetPhase(PHASE_EXIT_QUESTION);
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_PRACTICE)) {
        CNetClient* net = Net();
        if (!net || !SendLobbyNotice(*net, PK_PRACTICE_START)) {
            ShowErrorPopup(1);
            return;
        }
        if (g_pWorldObjectManager) {
            g_pWorldObjectManager->gameMode = 0;
            g_pWorldObjectManager->host = 1;
            // A practice room is kept by this client alone, its creator in the first slot.
            g_pWorldObjectManager->practiceGame = 1;
            g_pWorldObjectManager->localSlot = 0;
        }
        CClientSession& session = *g_pClientSession;
        session.roomNumber = 0;
        // The room opens on the first map of the playable list: a map left over
        // from an earlier room may not be in that list.
        if (host->MapCount(0) > 0) session.room.SetMapId(static_cast<uint16_t>(host->Map(0, 0).key));
        session.room.SetGuardianChoice(0);
        // The practice room seats this entry; the own slot is found by its nickname.
        session.ownEntry.SetNickname(session.nickname);
        ui.SetFocus(nullptr);
        BeginLeave(NEXT_ROOM_MADE);
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_TUTORIAL)) {
        StartTutorial();
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_SHOP)) {
        SendNotice(PK_GO_TO_SHOP, NEXT_MARKET);
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_MYINFO)) {
        SendNotice(PK_GO_TO_SHOP, NEXT_MYINFO);
        return;
    }
    for (uint16_t kind : {ROOM_LIST_ALL, ROOM_LIST_WAITING}) {
        if (!w.TakeListKindClick(kind)) continue;
        // Exactly one box stays checked, whichever was clicked.
        if (m_pager.SwitchKind(kind)) {
            w.SelectRow(-1);
            RequestRoomList();
        }
        w.AllRoomsBox()->SetChecked(m_pager.Kind() == ROOM_LIST_ALL);
        w.WaitingRoomsBox()->SetChecked(m_pager.Kind() == ROOM_LIST_WAITING);
        UpdateCoolDowns();
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_MAKEROOM)) {
        if (g_pClientSession->rankNumber >= kMakeRoomRankLimit) {
            ShowBoxText(GetMessageText(MSG_LOBBY_NOT_MAKEROOM_BADRANK));
        } else {
            m_makeRoom->Open(g_pClientSession->rankNumber);
        }
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_QUICKJOIN)) {
        m_quickJoin->Open();
        return;
    }
    if (w.TakeCommand(CLobbyWindow::CMD_OPTION)) {
        m_options.Open();
        return;
    }
    if (w.TakePopupRequest()) ShowConnecterPopup(POPUP_LOBBY);
}

void CLobbyScreen::UpdateCommunity() {
    if (UpdatePopup()) return;
    if (!m_community.Update(Dt())) {
        ScreenHost()->Ui().ShowWindow(m_popup, false);
        SetPhase(PHASE_LOBBY);
        return;
    }
    if (m_community.TakePopupRequest()) {
        const int tab = m_community.Window()->CurrentTab();
        if (tab == CCommunityWindow::TAB_FRIENDS) ShowConnecterPopup(POPUP_FRIENDS);
        if (tab == CCommunityWindow::TAB_GUILD) ShowConnecterPopup(POPUP_GUILD);
    }
}

int CLobbyScreen::UpdatePopup() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    if (!Shown(m_popup) || !(input.MousePressed(0) || input.MousePressed(1) || input.MousePressed(2))) return 0;
    const std::string name = m_popupSource == POPUP_LOBBY ? m_window->ChosenName() : m_community.ChosenName();
    CClientSession& session = *g_pClientSession;
    const int chosen = m_popup->TakeSelected();
    if (chosen == CConnecterPopup::ITEM_WHISPER) {
        if (!StartWhisperTo(name.c_str(), m_window->ChatList())) ShowErrorPopup(1);
    } else if (chosen == CConnecterPopup::ITEM_FRIEND && m_popupSource == POPUP_FRIENDS) {
        // The friend list's second item takes the friend off it, after the question.
        m_community.Window()->PressCommand(CCommunityWindow::BTN_DELETE_FRIEND);
    } else if (chosen == CConnecterPopup::ITEM_FRIEND) {
        AddCommunityMember(session, name, true, m_window->ChatList());
    } else if (chosen == CConnecterPopup::ITEM_BLOCK) {
        AddCommunityMember(session, name, false, m_window->ChatList());
    }
    host->Ui().ShowWindow(m_popup, false);
    host->Ui().SendToBack(m_popup);
    return 1;
}

void CLobbyScreen::ShowConnecterPopup(PopupSource source) {
    IScreenHost* host = ScreenHost();
    platform::CursorPoint cursor{};
    host->Input().GetCursor(&cursor);
    m_popupSource = source;
    if (source == POPUP_FRIENDS) {
        m_popup->Fill({MSG_POPUP_MENU_WHISPER, MSG_POPUP_MENU_FRIEND_DELETE, MSG_POPUP_MENU_OUTSIDE_CUT});
    } else if (source == POPUP_GUILD) {
        m_popup->Fill({MSG_POPUP_MENU_WHISPER, MSG_POPUP_MENU_FRIEND_ADD});
    } else {
        m_popup->Fill({MSG_POPUP_MENU_WHISPER, MSG_POPUP_MENU_FRIEND_ADD, MSG_POPUP_MENU_OUTSIDE_CUT});
    }
    m_popup->SetPosition(static_cast<float>(cursor.x), static_cast<float>(cursor.y));
    host->Ui().ShowWindow(m_popup, true);
    host->Ui().BringToFront(m_popup);
}

void CLobbyScreen::SendNotice(uint16_t id, int next) {
    CNetClient* net = Net();
    if (!net || !SendLobbyNotice(*net, id)) {
        ShowErrorPopup(1);
        return;
    }
    BeginLeave(next);
}

void CLobbyScreen::UpdateChat() {
    CUiManager& ui = ScreenHost()->Ui();
    CUiEditBox* edit = m_window->ChatEdit();
    if (ui.Focus() != edit) {
        ui.SetFocus(edit);
        return;
    }
    const std::string text = edit->GetText();
    if (text.find_first_not_of(' ') == std::string::npos) return;
    CClientSession& session = *g_pClientSession;
    const ChatRecord* record = ProcessChatInput(m_window->ChatModeLabel(), session, text, m_window->ChatList());
    if (record && record->text.compare(0, 15, "CHAT_SEND_ERROR") == 0) {
        ShowErrorPopup(1);
        return;
    }
    if (record) {
        CNetClient* net = Net();
        if (!net || !SendLobbyChat(*net, session.nickname, record->text)) {
            ShowErrorPopup(1);
            return;
        }
    }
    edit->SetText("");
}

void CLobbyScreen::UpdateExitQuestion() {
    IScreenHost* host = ScreenHost();
    IMessageBoxHost& box = host->MessageBox();
    const int answer = PollMessageBoxResult(box);
    if (answer == 1) {
        CNetClient* net = Net();
        if (!net || !SendLobbyQuit(*net, g_pClientSession->accountId)) {
            box.HideBox();
            ShowErrorPopup(1);
            return;
        }
        SetBusy(true);
        SetPhase(PHASE_LOBBY);
    } else if (answer == 0 || host->Input().KeyReleased(platform::DIK_ESCAPE)) {
        box.HideBox();
        SetPhase(PHASE_LOBBY);
    }
}

void CLobbyScreen::UpdateTutorialQuestion() {
    IScreenHost* host = ScreenHost();
    IMessageBoxHost& box = host->MessageBox();
    const int answer = PollMessageBoxResult(box);
    if (answer == 1) {
        box.HideBox();
        SetPhase(PHASE_LOBBY);
        StartTutorial();
    } else if (answer == 0 || host->Input().KeyReleased(platform::DIK_ESCAPE)) {
        box.HideBox();
        CClientSession& session = *g_pClientSession;
        session.tutorialCancel = 1;
        CTutorialProgress progress;
        progress.SetTutorialCancel(1);
        progress.SaveTutorialCancel(session.nickname);
        SetPhase(PHASE_LOBBY);
    }
}

int CLobbyScreen::StartTutorial() {
    IScreenHost* host = ScreenHost();
    CScriptManager* scripts = g_pScriptManager;
    if (!scripts) {
        ErrorReport().SetError(ERR_DATA, "%s: no script manager", kTutorialScript);
        ShowBoxText(ErrorReport().Text());
        return 0;
    }
    scripts->Clear();
    if (!scripts->Open(kTutorialScript)) {
        const std::string why = ErrorReport().Text();
        scripts->Clear();
        // The player sees which file is missing or broken.
        ShowBoxText(why.find(kTutorialScript) == std::string::npos ? std::string(kTutorialScript) + "\n" + why : why);
        return 0;
    }
    CNetClient* net = Net();
    if (!net || !SendLobbyNotice(*net, PK_TUTORIAL_START)) {
        scripts->Clear();
        ShowErrorPopup(1);
        return 0;
    }
    if (g_pWorldObjectManager) g_pWorldObjectManager->gameMode = kTutorialMode;
    host->Ui().SetFocus(nullptr);
    CClientSession& session = *g_pClientSession;
    for (CPlayerSlot& slot : session.slots) slot.Reset();
    // The tutorial's map is the first of the tutorial list; the script names it otherwise.
    if (host->MapCount(2) > 0) {
        session.mapFile = host->Map(2, 0).fileName;
        session.mapId = static_cast<uint32_t>(host->Map(2, 0).key);
    } else {
        session.mapFile = scripts->MapFile();
    }
    session.slots[0].heroId = NameHash(scripts->HeroName());
    BeginLeave(NEXT_LOADING);
    return 1;
}

bool CLobbyScreen::CheckSpecFor(int mode) {
    if (mode != 1) return true;
    IScreenHost* host = ScreenHost();
    if (host->CheckMinimumSpec(kPvmMemoryMb, kPvmMhz, "1.2 GHz", kPvmVideoMb, 1)) return true;
    ShowBoxText(ErrorReport().Text());
    return false;
}

void CLobbyScreen::CreateRoom() {
    if (m_busy) return;
    const int mode = m_makeRoom->Settings().Mode();
    IScreenHost* host = ScreenHost();
    const MakeRoomRequest request = m_makeRoom->Request(host->SumMapChecks());
    if (g_pClientSession->words.HasBadWord(request.title)) {
        ShowBoxText(GetMessageText(MSG_LOBBY_ROOMMAKE_FILTER_ERROR));
        return;
    }
    if (!CheckSpecFor(mode)) return;
    std::string message;
    const RoomInputCheck check = CheckRoomInput(request.title, request.password, &message);
    if (check == ROOM_INPUT_NO_TITLE) {
        host->Ui().SetFocus(m_makeRoom->TitleEdit());
        return;
    }
    if (check != ROOM_INPUT_OK) {
        ShowBoxText(message);
        return;
    }
    SetBusy(true);
    host->Ui().SetFocus(nullptr);
    uint8_t payload[kMakeRoomSize];
    const size_t length = WriteMakeRoom(payload, sizeof payload, request);
    CNetClient* net = Net();
    if (!net || !length || !net->SendPacket(PK_MAKE_ROOM, payload, static_cast<int>(length))) ShowErrorPopup(1);
}

void CLobbyScreen::JoinRoom() {
    const int row = m_window->SelectedRow();
    if (row < 0 || m_busy) return;
    const RoomListRecord& room = m_rooms[static_cast<size_t>(row)];
    // An empty slot holds no room to join.
    if (room.state == 0) return;
    if (!CheckSpecFor(room.mode)) return;
    IScreenHost* host = ScreenHost();
    const std::string password = room.password == 1 ? m_password->Edit()->GetText() : "";
    if (room.password == 1 && password.empty()) {
        host->Ui().SetFocus(m_password->Edit());
        return;
    }
    SetBusy(true);
    host->Ui().SetFocus(nullptr);
    uint8_t payload[kJoinRoomSize];
    const size_t length = WriteJoinRoom(payload, sizeof payload, room.number, password, host->SumMapChecks());
    CNetClient* net = Net();
    if (!net || !length || !net->SendPacket(PK_JOIN_ROOM, payload, static_cast<int>(length))) ShowErrorPopup(1);
}

void CLobbyScreen::QuickJoin() {
    if (m_busy) return;
    const CRoomSettings& settings = m_quickJoin->Settings();
    if (!CheckSpecFor(settings.Mode())) return;
    IScreenHost* host = ScreenHost();
    SetBusy(true);
    host->Ui().SetFocus(nullptr);
    uint8_t payload[kQuickJoinSize];
    const size_t length =
        WriteQuickJoin(payload, sizeof payload, settings.Choice() == 0, host->SumMapChecks(),
                       static_cast<uint8_t>(settings.Mode()), m_quickJoin->RandomTeams() ? 1 : 0);
    CNetClient* net = Net();
    if (!net || !length || !net->SendPacket(PK_QUICK_JOIN, payload, static_cast<int>(length))) ShowErrorPopup(1);
}

int CLobbyScreen::Leave() {
    IScreenHost* host = ScreenHost();
    host->MessageBox().HideBox();
    host->Input().Reset();
    CClientSession& session = *g_pClientSession;
    if (m_next != NEXT_CHANNEL) host->StopBgm();
    CScreen* nextScreen = nullptr;
    switch (m_next) {
        case NEXT_CHANNEL:
            host->CloseConnection();
            session.returnedToLobby = true;
            session.returning = true;
            nextScreen = new CChannelScreen();
            break;
        case NEXT_QUIT:
            host->CloseConnection();
            return SCREEN_FINISHED;
        case NEXT_MARKET:
        case NEXT_MYINFO:
            nextScreen = m_next == NEXT_MARKET ? MakeMarketScreen() : MakeMyInfoScreen();
            if (!nextScreen) nextScreen = new CStandInScreen();
            break;
        case NEXT_LOADING:
            nextScreen = MakeLoadingScreen();
            break;
        default:
            session.leaveToLobby = false;
            nextScreen = MakeWaitRoomScreen();
            break;
    }
    if (!nextScreen) {
        SetPhase(PHASE_ROOM_JOINED);
        return SCREEN_RUNNING;
    }
    host->Screens().PushScreen(nextScreen);
    return SCREEN_FINISHED;
}

void CLobbyScreen::Render() { lobby::RenderScreen(kClearColor, m_fade); }

void CLobbyScreen::OnLobbyEntered(const LobbyEnterResult& result) {
    CClientSession& session = *g_pClientSession;
    session.player = result.record;
    session.money = result.record.Cra();
    m_community.TakeEntryGuild(result.record.GuildState(), result.record.GuildNumber(), result.record.GuildMaster(),
                               result.record.GuildName());
    if (IsPendingLobbyNotice(result.reason)) session.pendingNotice = result.reason;
    if (!RequestRoomList()) return;
    m_entered = true;
    CNetClient* net = Net();
    if (!net || !SendEntryCommunityRequests(*net, session.nickname, result.record)) ShowErrorPopup(1);
}

void CLobbyScreen::OnRoomList(const RoomPage& rooms) {
    m_rooms = rooms;
    m_window->ShowRoomList(m_rooms, m_pager.Kind(), m_pager.Page(ROOM_LIST_ALL), m_pager.Page(ROOM_LIST_WAITING),
                           m_icons);
}

void CLobbyScreen::OnLobbyUsers(const LobbyUserList& users) {
    m_window->ShowLobbyUsers(users, g_pClientSession->nickname);
}

void CLobbyScreen::OnChatLine(const std::string& line, uint32_t colour) {
    AddChatLine(m_window->ChatList(), line, colour);
}

void CLobbyScreen::OnRoomAnswer(uint16_t id, uint8_t result, uint8_t reason, uint16_t room) {
    CClientSession& session = *g_pClientSession;
    CUiManager& ui = ScreenHost()->Ui();
    if (result == 1) {
        ui.SetFocus(nullptr);
        // A room on the server: whatever practice came before is over.
        if (g_pWorldObjectManager) {
            g_pWorldObjectManager->practiceGame = 0;
            g_pWorldObjectManager->gameMode = 0;
        }
        if (id == PK_MAKE_ROOM_RESULT) {
            if (g_pWorldObjectManager) g_pWorldObjectManager->host = 1;
            session.roomNumber = room;
            m_makeRoom->Close();
            BeginLeave(NEXT_ROOM_MADE);
        } else if (id == PK_JOIN_ROOM_RESULT) {
            const int row = m_window->SelectedRow();
            session.roomNumber = row >= 0 ? m_rooms[static_cast<size_t>(row)].number : 0;
            m_password->Close();
            BeginLeave(NEXT_ROOM_JOINED);
        } else {
            session.roomNumber = room;
            m_quickJoin->Close();
            BeginLeave(NEXT_QUICK_JOINED);
        }
        return;
    }
    SetBusy(false);
    if (id == PK_JOIN_ROOM_RESULT) m_password->Edit()->SetText("");
    if (id == PK_QUICK_JOIN_RESULT && Shown(m_quickJoin)) m_quickJoin->Close();
    ReportServerResult(reason);
    ShowBoxText(ErrorReport().Text());
}

void CLobbyScreen::OnQuitAnswer() { BeginLeave(NEXT_QUIT); }

bool CLobbyScreen::Reading() const {
    const int phase = Phase();
    return phase == PHASE_FADE_IN || phase == PHASE_LOBBY || phase == PHASE_COMMUNITY;
}

int CLobbyScreen::OnOtherPacket(const NetPacket& packet) {
    const int community = m_community.HandleAnswer(packet);
    if (community >= 0) return community;
    const int result = lobby::HandleOtherMessage(*this, packet);
    m_community.AfterSharedMessage(packet.id);
    return result;
}
