#include "screens/lobby/WaitRoomScreen.h"

#include <algorithm>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/core/TextList.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "net/ChatCommand.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/RoomSenders.h"
#include "platform/Input.h"
#include "screens/lobby/HeroSelectScreen.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "screens/lobby/RoomChat.h"
#include "screens/lobby/RoomSlotView.h"
#include "screens/lobby/WaitRoomPopup.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiComboBox.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/MapScenario.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr uint32_t kRed = 0xff0000;
constexpr uint32_t kYellow = 0xffff00;
constexpr uint32_t kWhite = 0xffffff;
constexpr int kChatLimit = 111;
constexpr int kChatCap = 100;
constexpr const char* kRandomMapName = "Random Map";

CClientSession& Session() { return *g_pClientSession; }

// The map's image name: its file name without folder and extension, as a DDS.
std::string MapImageName(const std::string& fileName) {
    std::string stem = fileName;
    const size_t slash = stem.find_last_of("\\/");
    if (slash != std::string::npos) stem.erase(0, slash + 1);
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos) stem.erase(dot);
    return FormatText("%s.%s", stem, "DDS");
}

}  // namespace

CScreen* NewWaitRoomScreen() { return new CWaitRoomScreen(); }

CWaitRoomScreen::~CWaitRoomScreen() {
    if (g_pUiManager && m_popup) g_pUiManager->DeleteWindow(m_popup);
    if (!g_pResourceManager) return;
    for (CResource* image : m_mapImages) g_pResourceManager->ReleaseResource(image);
    g_pResourceManager->ReleaseResource(m_randomMap);
    g_pResourceManager->ReleaseResource(m_guildMark);
    g_pResourceManager->ReleaseResource(m_layout);
    g_pResourceManager->ReleaseResource(m_settingsLayout);
}

int CWaitRoomScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pClientSession || !g_pWorldObjectManager) {
        ErrorReport().SetError(ERR_DATA, "The waiting room runs without its application");
        return 0;
    }
    if (!ReadTextList("GUARDIANTIME.DAT", m_guardianChoices)) return 0;
    m_window = new CWaitRoomWindow();
    m_layout = g_pResourceManager->GetResource("WAITROOM.DUI", RES_LAYOUT, m_window, 1);
    if (!m_layout) return 0;
    m_settings = new CMakeRoomWindow(false);
    m_settingsLayout = g_pResourceManager->GetResource("MAKEROOM2.DUI", RES_LAYOUT, m_settings, 1);
    if (!m_settingsLayout) return 0;
    lobby::CentreWindow(m_settings, *host);
    host->Ui().ShowWindow(m_settings, false);
    m_popup = new CWaitRoomPopup(m_window);
    m_randomMap = g_pResourceManager->GetResource("WAITROOM_RANDOMMAP.DDS", RES_TEXTURE, nullptr, 1);
    m_guildMark = g_pResourceManager->GetResource("GUILDMARK.DDS", RES_TEXTURE, nullptr, 1);
    if (!m_randomMap || !m_guildMark) return 0;
    for (const std::string& choice : m_guardianChoices)
        m_window->GuardianCombo()->AddItem(choice, UiColor(1.0f, 1.0f, 1.0f, 1.0f));
    if (!host->PlayBgmByName("BGM-ROOM.OGG"))
        ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", "BGM-ROOM.OGG"));
    m_fade.SetUp(0.0f, 0.0f, static_cast<float>(host->BackBufferWidth()), static_cast<float>(host->BackBufferHeight()),
                 nullptr);
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);
    return 1;
}

int CWaitRoomScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    switch (Phase()) {
        case PHASE_LOAD: {
            if (host) host->MessageBox().HideBox();
            WaitCursor();
            if (host) host->Input().Reset();
            if (!Load()) return SCREEN_RUNNING;
            for (int slot = 0; slot < CWaitRoomWindow::kSlots; ++slot) {
                const CWaitRoomWindow::SlotRow& row = m_window->Row(slot);
                for (CUiObject* c : std::initializer_list<CUiObject*>{row.ready, row.nick, row.rank, row.disgrace,
                                                                      row.guild, row.slide, row.winPoint})
                    SetShown(c, false);
            }
            SetShown(m_window->StartButton(), false);
            SetShown(m_window->MapImage(), false);
            SetShown(m_window->MapCombo(), false);
            SetShown(m_window->GuardianCombo(), false);
            if (m_window->ReplayCheck()) m_window->ReplayCheck()->SetChecked(Session().saveReplay != 0);
            Session().wentToMarket = false;
            SetPhase(PHASE_FADE_IN);
            if (Session().roomRefresh || g_pWorldObjectManager->practiceGame == 1) {
                if (!ShowMapChoice()) return SCREEN_RUNNING;
                m_mapListBuilt = true;
            }
            if (Session().leaveToLobby) {
                Session().leaveToLobby = false;
                host->Ui().SetFocus(nullptr);
                BeginLeave(NEXT_LOBBY);
            }
            break;
        }
        case PHASE_FADE_IN:
            if (m_fade.Done()) EnterRoom();
            break;
        case PHASE_ROOM:
            if (!UpdatePopup() && !CheckMessageBoxConfirm()) UpdateRoom();
            break;
        case PHASE_LEAVING:
            if (m_fade.Done()) {
                CScreen* next = nullptr;
                if (m_next == NEXT_HERO_SELECT) {
                    g_pWorldObjectManager->localSlot = std::max(FindOwnRoomSlot(), 0);
                    g_pWorldObjectManager->heroSelect = 1;
                    // Hero select of a practice room talks to no server.
                    if (Practice()) g_pWorldObjectManager->gameMode = 1;
                    next = NewHeroSelectScreen();
                } else if (m_next == NEXT_MARKET) {
                    next = MakeMarketScreen();
                }
                if (!next) {
                    Session().roomRefresh = true;
                    Session().returnedToLobby = true;
                    next = MakeLobbyScreen();
                }
                lobby::SelectCursor(lobby::kNormalCursor);
                host->Screens().PushScreen(next);
                return SCREEN_FINISHED;
            }
            break;
        default: {
            const int result = UpdateErrorPopup();
            if (result) return result;
            break;
        }
    }
    if (Phase() == PHASE_LOAD) return SCREEN_RUNNING;
    if (!HandlePackets()) ShowErrorPopup(1);
    UpdateCommon(!m_waitCursor && host->HasWindowFocus() ? 1 : 0, nullptr, 1);
    TickTimers();
    return SCREEN_RUNNING;
}

void CWaitRoomScreen::EnterRoom() {
    IScreenHost* host = ScreenHost();
    CClientSession& session = Session();
    SetPhase(PHASE_ROOM);
    if (Practice()) {
        const int index = FindMapIndex(session.room.MapId());
        if (index < 0 && !m_maps.empty()) return;
        BuildPracticeRoom(session.room, g_pWorldObjectManager->localSlot, session.ownEntry, session.room.MapId(),
                          session.room.GuardianChoice());
        RefreshAll();
    }
    const int ownLength = static_cast<int>(session.nickname.size());
    m_window->ChatEdit()->SetByteLimit(std::min(kChatCap, kChatLimit - ownLength));
    host->Ui().SetFocus(m_window->ChatEdit());
    if (session.roomRefresh) {
        session.roomRefresh = false;
        if (!Practice()) {
            m_recordReceived = true;
            RefreshAll();
        }
    }
    lobby::SelectCursor(lobby::kNormalCursor);
    m_waitCursor = false;
    m_window->ClearFlags(UI_HIDDEN);
    host->Ui().BringToFront(m_window);
    if (session.autoStartCancelled) {
        session.autoStartCancelled = false;
        Line(MSG_GAMEPLAY_AUTO_GAME_CANCEL, kRed);
    }
}

void CWaitRoomScreen::UpdateRoom() {
    IScreenHost* host = ScreenHost();
    if (host->Ui().CursorIndex() == lobby::kWaitCursor) return;
    CZEMDXInput& input = host->Input();
    CWaitRoomWindow& w = *m_window;
    if (UpdateRoomSettings()) return;
    if (input.KeyReleased(platform::DIK_ESCAPE) || w.TakeCommand(CWaitRoomWindow::CMD_QUIT)) return Quit();
    if (w.TakeCommand(CWaitRoomWindow::CMD_CHANGETEAM)) {
        if (w.ChangeTeamButton()->HasFlags(UI_DISABLED)) return;
        return ChangeTeam();
    }
    if (w.TakeCommand(CWaitRoomWindow::CMD_START)) return Start();
    if (input.KeyReleased(platform::DIK_TAB)) {
        Session().chat.mode = CHAT_MODE_ALL;
        if (w.ChatModeLabel()) w.ChatModeLabel()->SetText(GetMessageText(MSG_CHAT_SEND_TO_ALL));
        return;
    }
    if (lobby::EnterPressed()) {
        if (host->Ui().Focus() == w.ChatEdit()) {
            if (*w.ChatEdit()->GetText()) SendChat();
        } else {
            host->Ui().SetFocus(w.ChatEdit());
        }
        return;
    }
    const int map = w.TakeMapChange();
    if (map >= 0) {
        w.SetLastChoices(map, w.GuardianCombo()->Selected());
        if (Practice()) {
            Session().room.SetMapId(map < static_cast<int>(m_maps.size())
                                        ? static_cast<uint16_t>(m_maps[static_cast<size_t>(map)]->key)
                                        : 0);
            ShowGameMode(map);
        } else {
            const uint16_t id = map < static_cast<int>(m_maps.size())
                                    ? static_cast<uint16_t>(m_maps[static_cast<size_t>(map)]->key)
                                    : 0;
            if (id == Session().room.MapId()) return;
            WaitCursor();
            Sent(SendRoomValue(*Session().net, PK_ROOM_MAP_CHANGE, id));
        }
        return;
    }
    const int guardian = w.TakeGuardianChange();
    if (guardian >= 0) {
        w.SetLastChoices(w.MapCombo()->Selected(), guardian);
        if (Practice()) {
            Session().room.SetGuardianChoice(static_cast<uint16_t>(guardian));
            SetTimeLimit(guardian);
        } else {
            WaitCursor();
            Sent(SendRoomValue(*Session().net, PK_ROOM_TIME_CHANGE, static_cast<uint16_t>(guardian)));
        }
        return;
    }
    if (w.TakeCommand(CWaitRoomWindow::CMD_SLOT)) {
        const int slot = w.PressedSlot();
        if (!IsHost() || Practice() || !w.SlotButtonsEnabled() || slot < 0) return;
        m_slotCoolDown = kSlotCoolDown;
        w.EnableSlotButtons(false);
        WaitCursor();
        const uint32_t close = Session().room.SlotShownState(slot) == RoomRecord::kClosed ? 0 : 1;
        Sent(SendSlotToggle(*Session().net, static_cast<uint16_t>(slot), close));
        return;
    }
    if (w.TakeCommand(CWaitRoomWindow::CMD_MARKET)) {
        if ((w.StartCheck()->Checked() && !IsHost()) || OwnChangingTeam()) {
            Line(MSG_WAITROOM_NOT_ENTER_SHOP, kRed);
            return;
        }
        host->Ui().SetFocus(nullptr);
        Session().wentToMarket = true;
        BeginLeave(NEXT_MARKET);
    }
}

void CWaitRoomScreen::Quit() {
    IScreenHost* host = ScreenHost();
    if (OwnChangingTeam()) return Line(MSG_WAITROOM_TEAM_CHAINGE_STATE, kRed);
    if (OwnReady() && !IsHost()) return lobby::ShowBox(GetMessageText(MSG_WAITROOM_NOT_EXIT), 1);
    if (Practice()) {
        if (!Sent(SendRoomNotice(*Session().net, PK_PRACTICE_ROOM_LEAVE))) return;
        // The lobby and the rooms after it are the server's again.
        g_pWorldObjectManager->practiceGame = 0;
        g_pWorldObjectManager->gameMode = 0;
        host->Ui().SetFocus(nullptr);
        BeginLeave(NEXT_LOBBY);
        return;
    }
    WaitCursor();
    Sent(SendRoomValue(*Session().net, PK_LEAVE_ROOM, Session().roomNumber));
}

void CWaitRoomScreen::ChangeTeam() {
    m_teamCoolDown = kTeamCoolDown;
    m_window->ChangeTeamButton()->SetEnabled(0);
    RoomRecord& room = Session().room;
    if (Practice()) {
        const int own = FindOwnRoomSlot();
        const int to = own == 0 ? 6 : 0;
        const MemberEntry entry = Session().ownEntry;
        BuildPracticeRoom(room, to, entry, room.MapId(), room.GuardianChoice());
        g_pWorldObjectManager->localSlot = to;
        RefreshSlots();
        return;
    }
    if (OwnReady() && !IsHost()) return Line(MSG_WAITROOM_NO_CHANGE_TEAM, kYellow);
    const int own = FindOwnRoomSlot();
    const uint16_t team = own >= 0 && room.SlotTeam(own) == 0 ? 1 : 0;
    WaitCursor();
    Sent(SendRoomValue(*Session().net, PK_ROOM_TEAM_CHANGE, team));
}

void CWaitRoomScreen::Start() {
    CWaitRoomWindow& w = *m_window;
    if (OwnChangingTeam()) {
        Line(MSG_WAITROOM_TEAM_CHAINGE_STATE, kRed);
        m_startCoolDown = kStartCoolDown;
        m_disableStart = true;
        w.StartCheck()->SetChecked(false);
        return;
    }
    if (!IsHost()) {
        if (w.StartCheck()->HasFlags(UI_DISABLED)) return;
        m_startCoolDown = kStartCoolDown;
        m_disableStart = true;
        Sent(SendRoomNotice(*Session().net, PK_ROOM_READY_TOGGLE));
        return;
    }
    CClientSession& session = Session();
    if (Practice()) {
        int index = w.MapCombo()->Selected();
        // The random map of a practice room is drawn here, as no server draws it.
        if (index < 0 || index >= static_cast<int>(m_maps.size()))
            index = m_maps.empty() ? -1 : static_cast<int>(m_maps.size()) - 1;
        if (index < 0) return;
        const MapListEntry& map = *m_maps[static_cast<size_t>(index)];
        session.room.SetMapId(static_cast<uint16_t>(map.key));
        session.room.SetGuardianChoice(static_cast<uint16_t>(std::max(0, w.GuardianCombo()->Selected())));
        session.mapFile = map.fileName;
        session.mapId = static_cast<uint32_t>(map.key);
        BeginLeave(NEXT_HERO_SELECT);
        return;
    }
    const int reason = room_view::StartTestEntry(session.room, m_mode);
    if (reason == MSG_WAITROOM_MAP_LIMIT_ERROR) return Line(reason, kRed);
    if (reason) return lobby::ShowBox(GetMessageText(reason), 1);
    WaitCursor();
    Sent(SendRoomNotice(*session.net, PK_GAME_START));
}

void CWaitRoomScreen::SendChat() {
    CClientSession& session = Session();
    CWaitRoomWindow& w = *m_window;
    const ChatRecord* record = nullptr;
    const int typed =
        room_chat::TakeTypedLine(w.ChatEdit(), w.ChatModeLabel(), w.ChatList(), session, Practice(), &record);
    if (typed == room_chat::TYPED_ERROR) return ShowErrorPopup(1);
    if (typed == room_chat::TYPED_SEND)
        Sent(SendRoomChatLine(*session.net, kChatAudienceAll, session.nickname, record->text));
}

void CWaitRoomScreen::TickTimers() {
    if (!m_window) return;
    const float dt = Dt();
    auto count = [dt](float& timer) {
        if (timer > 0) timer -= dt;
        return timer <= 0;
    };
    CUiButton* team = m_window->ChangeTeamButton();
    if (count(m_teamCoolDown) && team->HasFlags(UI_DISABLED) &&
        (Session().room.TeamChange() == RoomRecord::kTeamChangeAllowed || Practice()))
        team->SetEnabled(1);
    if (count(m_slotCoolDown) && !m_window->SlotButtonsEnabled()) m_window->EnableSlotButtons(true);
    if (count(m_startCoolDown)) m_window->StartCheck()->SetEnabled(1);
    if (m_disableStart) {
        m_disableStart = false;
        m_window->StartCheck()->SetEnabled(0);
    }
}

int CWaitRoomScreen::FindMapIndex(int mapId) const {
    for (size_t i = 0; i < m_maps.size(); ++i)
        if (m_maps[i]->key == mapId) return static_cast<int>(i);
    return -1;
}

int CWaitRoomScreen::ShowMapChoice() {
    IScreenHost* host = ScreenHost();
    CClientSession& session = Session();
    const uint8_t modeByte = session.room.Mode();
    int list = modeByte <= 1 ? modeByte : g_pWorldObjectManager->mapListIndex;
    if (g_pWorldObjectManager->practiceGame == 1) {
        list = 0;
        m_mode = kPracticeMode;
    } else {
        m_mode = modeByte <= 1 ? modeByte : 0;
    }
    if (list < 0 || list >= IScreenHost::kMapListCount) list = 0;
    for (CResource* image : m_mapImages) g_pResourceManager->ReleaseResource(image);
    m_mapImages.clear();
    m_maps.clear();
    m_window->MapCombo()->List().ClearItems();
    m_window->MapCombo()->SelectItem(-1);
    for (size_t i = 0; i < host->MapCount(list); ++i) {
        const MapListEntry& map = host->Map(list, i);
        const std::string image = MapImageName(map.fileName);
        CResource* texture = g_pResourceManager->GetResource(image.c_str(), RES_TEXTURE, nullptr, 1);
        if (!texture) return 0;
        m_maps.push_back(&map);
        m_mapImages.push_back(texture);
        m_window->MapCombo()->AddItem(map.text1, UiColor(1.0f, 1.0f, 1.0f, 1.0f));
    }
    m_window->MapCombo()->AddItem(kRandomMapName, UiColor(1.0f, 1.0f, 1.0f, 1.0f));
    m_mapListBuilt = true;
    return 1;
}

void CWaitRoomScreen::BeginLeave(int next) {
    IScreenHost* host = ScreenHost();
    WaitCursor();
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, lobby::kFadeRate);
    SetPhase(PHASE_LEAVING);
    m_next = next;
    host->MessageBox().HideBox();
    host->StopBgm();
    host->Input().Reset();
}

void CWaitRoomScreen::ShowGameMode(int mapIndex) {
    CWaitRoomWindow& w = *m_window;
    SetShown(w.MapImage(), true);
    SetShown(w.MapCombo(), true);
    w.MapCombo()->SelectItem(mapIndex);
    w.SetLastChoices(mapIndex, w.GuardianCombo()->Selected());
    const bool real = mapIndex >= 0 && mapIndex < static_cast<int>(m_maps.size());
    if (w.MapImage()) {
        CResource* image = real ? m_mapImages[static_cast<size_t>(mapIndex)] : m_randomMap;
        if (image) image->AddRef();
        w.MapImage()->SetImage(image, "");
    }
    if (w.MapName()) w.MapName()->SetText(real ? m_maps[static_cast<size_t>(mapIndex)]->text1 : std::string());
    if (m_mode == 1) {
        w.ShowTeamLabels(Session().room);
        if (w.LimitText())
            w.LimitText()->SetText(FormatText(GetMessageText(MSG_WAITROOM_LIMIT_USER), Session().room.MemberLimit()));
        w.ChangeTeamButton()->SetEnabled(
            Session().room.TeamChange() == RoomRecord::kTeamChangeAllowed && m_teamCoolDown <= 0 ? 1 : 0);
    }
    w.RefreshRoleControls(Session().room, Context(), IsHost());
}

void CWaitRoomScreen::SetTimeLimit(int choice) {
    CWaitRoomWindow& w = *m_window;
    SetShown(w.GuardianCombo(), true);
    w.GuardianCombo()->SelectItem(choice < static_cast<int>(m_guardianChoices.size()) ? choice : -1);
    w.SetLastChoices(w.MapCombo()->Selected(), w.GuardianCombo()->Selected());
    if (g_pMapScenario) g_pMapScenario->guardianTime = static_cast<float>(GuardianSeconds(choice));
    if (!Practice()) {
        SetShown(w.ReplayCheck(), true);
        SetShown(w.SaveReplayLabel(), true);
        if (w.ReplayCheck()) Session().saveReplay = w.ReplayCheck()->Checked() ? 1 : 0;
    }
    w.RefreshRoleControls(Session().room, Context(), IsHost());
}

CWaitRoomWindow::SlotContext CWaitRoomScreen::Context() const {
    CWaitRoomWindow::SlotContext context;
    context.ownNickname = Session().nickname;
    context.ownSlot = FindOwnRoomSlot();
    context.mode = m_mode;
    return context;
}

bool CWaitRoomScreen::IsHost() const {
    const int own = FindOwnRoomSlot();
    return own >= 0 && own == Session().room.HostSlotIndex();
}

bool CWaitRoomScreen::OwnReady() const {
    const int own = FindOwnRoomSlot();
    return own >= 0 && Session().room.SlotReady(own);
}

bool CWaitRoomScreen::OwnChangingTeam() const {
    const int own = FindOwnRoomSlot();
    return own >= 0 && Session().room.SlotChangingTeam(own);
}

void CWaitRoomScreen::RefreshSlots() {
    m_window->ShowRoomInfo(Session().room, Practice());
    m_window->ShowPlayerSlots(Session().room, Context());
    g_pWorldObjectManager->host = IsHost() ? 1 : 0;
    m_window->RefreshRoleControls(Session().room, Context(), IsHost());
}

void CWaitRoomScreen::RefreshAll() {
    if (!m_mapListBuilt && !ShowMapChoice()) return;
    RefreshSlots();
    const int map = FindMapIndex(Session().room.MapId());
    ShowGameMode(map >= 0 ? map : static_cast<int>(m_maps.size()));
    if (m_mode != 1) SetTimeLimit(Session().room.GuardianChoice());
}

void CWaitRoomScreen::OnRoomRecord() {
    if (!m_window) return;
    m_recordReceived = true;
    RefreshAll();
}

void CWaitRoomScreen::OnSlotStates() {
    if (m_window && m_recordReceived) RefreshSlots();
}

void CWaitRoomScreen::OnOwnSlotRemoved() {
    Session().leaveToLobby = false;
    if (IScreenHost* host = ScreenHost()) host->Ui().SetFocus(nullptr);
    BeginLeave(NEXT_LOBBY);
}

void CWaitRoomScreen::OnMapChanged() { m_refreshPending = true; }

void CWaitRoomScreen::OnGuardianChanged() {
    if (m_window && m_mode != 1) SetTimeLimit(Session().room.GuardianChoice());
}

bool CWaitRoomScreen::Sent(int result) {
    if (!result) ShowErrorPopup(1);
    return result != 0;
}

void CWaitRoomScreen::WaitCursor() {
    lobby::SelectCursor(lobby::kWaitCursor);
    m_waitCursor = true;
}

void CWaitRoomScreen::Line(int entry, uint32_t colour) {
    if (m_window) AddChatLine(m_window->ChatList(), GetMessageText(entry), colour);
}

int CWaitRoomScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    CClientSession& session = Session();
    while (net && net->IsConnected() && Phase() != PHASE_LOAD && Phase() != PHASE_LEAVING) {
        if (!net->RecvPacket(m_received)) return 0;
        if (m_received.id == 0) break;
        CByteReader in = m_received.Reader();
        const uint8_t ok = in.ReadU8();
        const uint8_t code = in.ReadU8();
        const bool cut = !in.Ok();
        auto normal = [this] {
            lobby::SelectCursor(lobby::kNormalCursor);
            m_waitCursor = false;
        };
        switch (m_received.id) {
            case PK_ROOM_READY_TOGGLE:
                normal();
                break;
            case PK_CHAT_LINE:
                room_chat::ShowReceivedLine(m_received, m_window->ChatList(), session, -1);
                break;
            case PK_LEAVE_ROOM_RESULT:
                normal();
                if (!cut && ok == 1) {
                    ScreenHost()->Ui().SetFocus(nullptr);
                    BeginLeave(NEXT_LOBBY);
                    return 1;
                }
                // Whatever the refusal, the room's connection is given up.
                if (!cut) ReportServerResult(code);
                return ReportNetError(28);
            case PK_GAME_START_RESULT: {
                normal();
                const uint16_t mapId = in.ReadU16();
                if (cut || !in.Ok()) return ReportNetError(28);
                if (ok != 1) return ReportServerResult(code);
                session.room.SetMapId(mapId);
                const int index = mapId ? FindMapIndex(mapId) : -1;
                if (index < 0) return ReportNetError(28);
                ScreenHost()->Ui().SetFocus(nullptr);
                session.mapFile = m_maps[static_cast<size_t>(index)]->fileName;
                session.mapId = mapId;
                BeginLeave(NEXT_HERO_SELECT);
                return 1;
            }
            case PK_ROOM_TEAM_CHANGE_RESULT:
            case PK_ROOM_CHANGE_RESULT:
                normal();
                if (m_received.id == PK_ROOM_CHANGE_RESULT && m_settings) m_settings->Close();
                if (!cut && ok != 1) {
                    ReportServerResult(code);
                    lobby::ShowBox(ErrorReport().Text().c_str(), 1);
                }
                break;
            case PK_ROOM_SLOT_TOGGLE_RESULT:
                normal();
                if (cut || ok != 1) return cut ? ReportNetError(28) : ReportServerResult(code);
                break;
            default: {
                if (HandleSharedRoomPackets(*this, m_received, m_window ? m_window->ChatList() : nullptr, this) == 0)
                    break;
                if (!HandleCommonMessage(*this, m_received, m_window ? m_window->ChatList() : nullptr))
                    return Phase() >= kPhaseErrorPopup ? 1 : 0;
                break;
            }
        }
        if (m_refreshPending) {
            m_refreshPending = false;
            RefreshAll();
        }
    }
    return 1;
}

void CWaitRoomScreen::Render() { lobby::RenderScreen(kClearColor, m_fade); }
