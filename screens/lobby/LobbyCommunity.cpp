#include "screens/lobby/LobbyCommunity.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/CommunityRequests.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/NetPacket.h"
#include "net/Nickname.h"
#include "engine/input/ZEMDXInput.h"
#include "platform/Input.h"
#include "screens/lobby/GuildWindows.h"
#include "screens/lobby/LobbySteps.h"
#include "ui/Screen.h"
#include "ui/ScreenHost.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"

namespace {

constexpr uint32_t kChatGreen = 0x00ff00;

bool Shown(const CUiWindow* window) { return window && !window->HasFlags(UI_HIDDEN); }

std::string EditText(const CUiEditBox* edit) { return edit && edit->GetText() ? edit->GetText() : ""; }

void Focus(CUiObject* control) {
    if (g_pUiManager) g_pUiManager->SetFocus(control);
}

struct AnswerRule {
    uint16_t id;
    int8_t reason;
    int entry;
};
// Refusals the player can do something about: their own message, and the
// lobby stays connected.
constexpr AnswerRule kOwnMessages[] = {
    {PK_GUILD_CREATE_RESULT, -2, MSG_GUILD_DUF_GUILDNAME},  {PK_GUILD_CREATE_RESULT, -3, MSG_OUTSHOP_DEFICIT_CRA},
    {PK_GUILD_JOIN_RESULT, -3, MSG_GUILD_IS_NOT_GUILD},     {PK_GUILD_JOIN_RESULT, -4, MSG_GUILD_IS_NOT_GUILD},
    {PK_GUILD_JOIN_RESULT, -5, MSG_GUILD_JOIN_MAX},         {PK_GUILD_ACCEPT_RESULT, -2, MSG_GUILD_NOT_JOIN_MEMBER},
    {PK_GUILD_ACCEPT_RESULT, -3, MSG_GULID_NOT_ADD_MEMBER}, {PK_FRIEND_ADD_RESULT, 41, MSG_NOT_ADD_MEMBER},
    {PK_BLOCK_ADD_RESULT, 42, MSG_NOT_ADD_MEMBER},
};

bool IsCommunityAnswer(uint16_t id) {
    return (id >= PK_GUILD_INFO && id <= PK_GUILD_MASTER_CHANGE_RESULT) ||
           (id >= PK_FRIEND_LIST && id <= PK_FRIEND_DELETE_RESULT) || (id >= PK_BLOCK_LIST && id <= PK_BLOCK_DELETE_RESULT);
}

}  // namespace

const char* const CLobbyCommunity::kLayoutNames[kLayouts] = {"COMMUNITY.DUI",      "OTHERPANNELS.DUI",
                                                             "GUILD_WAIT_LIST.DUI", "GUILD_DATA.DUI",
                                                             "CREATE_GUILD.DUI",   "JOIN_GUILD.DUI"};

CLobbyCommunity::~CLobbyCommunity() {
    if (!g_pResourceManager) return;
    for (CResource*& layout : m_layouts) {
        g_pResourceManager->ReleaseResource(layout);
        layout = nullptr;
    }
    g_pResourceManager->ReleaseResource(m_blinkTexture);
    m_blinkTexture = nullptr;
}

int CLobbyCommunity::Load(CUiListBox* chatList) {
    m_chat = chatList;
    if (!g_pResourceManager || !g_pUiManager) return 0;
    m_window = new CCommunityWindow(this);
    m_addFriend = new CAddFriendWindow();
    m_waitList = new CGuildWaitListWindow();
    m_guildData = new CGuildDataWindow();
    m_createGuild = new CCreateGuildWindow();
    m_joinGuild = new CJoinGuildWindow();
    CUiWindow* windows[kLayouts] = {m_window, m_addFriend, m_waitList, m_guildData, m_createGuild, m_joinGuild};
    for (int i = 0; i < kLayouts; ++i) {
        m_layouts[i] = g_pResourceManager->GetResource(kLayoutNames[i], RES_LAYOUT, windows[i], 1);
        if (!m_layouts[i]) return 0;
    }
    // Without the mark the button blinks as a plain quad.
    m_blinkTexture = g_pResourceManager->GetResource(kBlinkTexture, RES_TEXTURE, nullptr, 1);
    if (m_blinkTexture) m_window->SetBlinkTexture(static_cast<CTextureResource*>(m_blinkTexture)->Texture());
    m_waitList->SetPosition(kWaitListX, kWaitListY);
    m_guildData->SetPosition(kGuildDataX, kGuildDataY);
    for (CUiWindow* window : windows) g_pUiManager->ShowWindow(window, false);
    return 1;
}

void CLobbyCommunity::Open() {
    g_pUiManager->ShowWindow(m_window, true);
    g_pUiManager->BringToFront(m_window);
    ShowButtons();
    RedrawRows(m_window->CurrentTab());
}

void CLobbyCommunity::CloseAll() {
    for (CLatchWindow* window : {static_cast<CLatchWindow*>(m_addFriend), static_cast<CLatchWindow*>(m_createGuild),
                                 static_cast<CLatchWindow*>(m_joinGuild)})
        window->Close();
    HideGuildWindows();
    g_pUiManager->ShowWindow(m_window, false);
    g_pUiManager->SendToBack(m_window);
}

void CLobbyCommunity::HideGuildWindows() {
    m_waitList->Close();
    m_guildData->Close();
}

void CLobbyCommunity::ShowButtons() {
    const CClientSession& session = *g_pClientSession;
    m_window->ShowButtons(session.guildState, session.isGuildMaster);
}

void CLobbyCommunity::RedrawRows(int tab) {
    if (Shown(m_window) && m_window->CurrentTab() == tab) m_window->ShowRows(g_pClientSession->community);
}

int CLobbyCommunity::TakePopupRequest() { return m_window->TakePopupRequest(); }

std::string CLobbyCommunity::ChosenName() const { return m_window->ChosenName(); }

void CLobbyCommunity::Ask(int entry, uint16_t pending) {
    lobby::ShowBox(GetMessageText(entry), 2);
    m_pending = pending;
}

void CLobbyCommunity::Tell(const std::string& text) {
    lobby::ShowBox(text.c_str(), 1);
    m_pending = 0;
}

int CLobbyCommunity::SendRequest(uint16_t id) {
    CClientSession& session = *g_pClientSession;
    CommunityRequestFields fields;
    fields.own = session.nickname;
    fields.guildNumber = session.guildId;
    switch (id) {
        case PK_GUILD_CREATE:
            fields.name = EditText(m_createGuild->Edit());
            break;
        case PK_GUILD_JOIN:
            fields.name = m_joinGuild->ChosenName();
            break;
        case PK_GUILD_SEARCH:
            fields.name = m_searchText;
            break;
        case PK_GUILD_ACCEPT:
        case PK_GUILD_REFUSE:
            fields.name = m_waitList->ChosenName();
            break;
        case PK_GUILD_BANISH:
        case PK_GUILD_MASTER_CHANGE:
        case PK_FRIEND_DELETE:
        case PK_BLOCK_DELETE:
            fields.name = m_window->ChosenName();
            break;
        default:
            break;
    }
    const bool needsName = id == PK_GUILD_CREATE || id == PK_GUILD_JOIN || id == PK_GUILD_ACCEPT ||
                           id == PK_GUILD_REFUSE || id == PK_GUILD_BANISH || id == PK_GUILD_MASTER_CHANGE ||
                           id == PK_FRIEND_DELETE || id == PK_BLOCK_DELETE;
    // A question about nobody sends nothing.
    if (needsName && fields.name.empty()) return 0;
    if ((id == PK_FRIEND_DELETE && !session.community.IsFriend(fields.name)) ||
        (id == PK_BLOCK_DELETE && !session.community.IsBlockedUser(fields.name))) {
        Tell(GetMessageText(MSG_CHAT_NOT_FOUND_NICK));
        return 0;
    }
    uint8_t payload[kCommunityRequestMax];
    const size_t length = WriteCommunityRequest(id, fields, payload, sizeof payload);
    if (!length) return 0;
    CNetClient* net = lobby::Net();
    if (!net || !net->SendPacket(id, payload, static_cast<int>(length))) {
        m_screen.ShowErrorPopup(1);
        return 0;
    }
    return 1;
}

int CLobbyCommunity::ConfirmPendingRequest() {
    IScreenHost* host = ScreenHost();
    IMessageBoxHost& box = host->MessageBox();
    if (!box.Visible() || box.Mode() != 2) return 0;
    int answer = PollMessageBoxResult(box);
    if (answer < 0 && lobby::EnterPressed()) answer = 1;
    if (answer < 0) return 1;
    box.HideBox();
    const uint16_t pending = m_pending;
    m_pending = 0;
    if (answer == 1 && pending) SendRequest(pending);
    return 1;
}

int CLobbyCommunity::Update(float dt) {
    m_dt = dt;
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    IMessageBoxHost& box = host->MessageBox();
    if (ConfirmPendingRequest()) return 1;
    if (box.Visible()) {
        m_screen.CheckMessageBoxConfirm();
        return 1;
    }
    const bool escape = input.KeyReleased(platform::DIK_ESCAPE) != 0;
    const bool enter = lobby::EnterPressed();
    if (Shown(m_addFriend)) return UpdateAddFriend(enter, escape);
    if (Shown(m_createGuild)) return UpdateCreateGuild(enter, escape);
    if (Shown(m_joinGuild)) return UpdateJoinGuild(escape);
    UpdateWaitList();
    if (m_guildData->TakeLatch(CGuildDataWindow::LATCH_CLOSE)) m_guildData->Close();
    if (m_window->TakeChanged()) RedrawRows(m_window->CurrentTab());
    return UpdateCommands(escape);
}

int CLobbyCommunity::UpdateAddFriend(bool enter, bool escape) {
    CUiEditBox* edit = m_addFriend->Edit();
    if (m_addFriend->TakeLatch(CAddFriendWindow::LATCH_OK) || enter) {
        CClientSession& session = *g_pClientSession;
        const bool friends = m_window->CurrentTab() == CCommunityWindow::TAB_FRIENDS;
        if (AddCommunityMember(session, EditText(edit), friends, m_chat)) {
            edit->SetText("");
            m_addFriend->Close();
        }
    } else if (m_addFriend->TakeLatch(CAddFriendWindow::LATCH_CLOSE) || escape) {
        edit->SetText("");
        m_addFriend->Close();
    }
    return 1;
}

int CLobbyCommunity::UpdateCreateGuild(bool enter, bool escape) {
    CUiEditBox* edit = m_createGuild->Edit();
    if (m_createGuild->TakeLatch(CCreateGuildWindow::LATCH_CREATE)) {
        const CClientSession& session = *g_pClientSession;
        const std::string name = EditText(edit);
        if (!IsValidNickname(name) || session.words.HasBadWord(name)) {
            Tell(GetMessageText(MSG_LOBBY_GUILD_FILTER_ERROR));
        } else if (session.money < kGuildCost) {
            Tell(GetMessageText(MSG_OUTSHOP_DEFICIT_CRA));
        } else {
            Ask(MSG_GUILD_CREATE, PK_GUILD_CREATE);
        }
    } else if (m_createGuild->TakeLatch(CCreateGuildWindow::LATCH_CLOSE) || escape) {
        edit->SetText("");
        m_createGuild->Close();
    } else if (enter) {
        Focus(edit);
    }
    return 1;
}

int CLobbyCommunity::UpdateJoinGuild(bool escape) {
    if (m_joinGuild->TakeLatch(CJoinGuildWindow::LATCH_JOIN)) {
        const std::string guild = m_joinGuild->ChosenName();
        if (!guild.empty()) {
            lobby::ShowBox(FormatText(GetMessageText(MSG_GUILD_JOIN), guild).c_str(), 2);
            m_pending = PK_GUILD_JOIN;
        }
    } else if (m_joinGuild->TakeLatch(CJoinGuildWindow::LATCH_SEARCH)) {
        const std::string text = EditText(m_joinGuild->Edit());
        if (ValidateCommunityName(text, nullptr, 1)) {
            m_searchText = text;
            m_joinGuild->List()->Clear();
            SendRequest(PK_GUILD_SEARCH);
        }
    } else if (m_joinGuild->TakeLatch(CJoinGuildWindow::LATCH_CLOSE) || escape) {
        m_joinGuild->Edit()->SetText("");
        m_joinGuild->List()->Clear();
        m_joinGuild->Close();
    }
    return 1;
}

int CLobbyCommunity::UpdateWaitList() {
    if (!Shown(m_waitList)) return 0;
    if (m_waitList->TakeLatch(CGuildWaitListWindow::LATCH_ACCEPT)) {
        if (m_block.memberCount >= m_block.memberLimit) {
            Tell(GetMessageText(MSG_GULID_NOT_ADD_MEMBER));
        } else {
            SendRequest(PK_GUILD_ACCEPT);
        }
    } else if (m_waitList->TakeLatch(CGuildWaitListWindow::LATCH_REFUSE)) {
        SendRequest(PK_GUILD_REFUSE);
    } else if (m_waitList->TakeLatch(CGuildWaitListWindow::LATCH_CLOSE)) {
        m_waitList->Close();
    }
    return 1;
}

int CLobbyCommunity::AskAboutMember(int masterEntry, int questionEntry, uint16_t pending) {
    const std::string name = m_window->ChosenName();
    if (name.empty()) return 1;
    if (name == g_pClientSession->guildMaster) {
        Tell(GetMessageText(masterEntry));
    } else {
        lobby::ShowBox(FormatText(GetMessageText(questionEntry), name).c_str(), 2);
        m_pending = pending;
    }
    return 1;
}

int CLobbyCommunity::UpdateCommands(bool escape) {
    CCommunityWindow& w = *m_window;
    using W = CCommunityWindow;
    if (escape || w.TakeCommand(W::BTN_CLOSE)) {
        g_pUiManager->ShowWindow(m_window, false);
        HideGuildWindows();
        return 0;
    }
    const bool addFriend = w.TakeCommand(W::BTN_ADD_FRIEND);
    if (addFriend || w.TakeCommand(W::BTN_ADD_BLOCKED)) {
        m_addFriend->ShowTitle(w.CurrentTab() == W::TAB_FRIENDS);
        m_addFriend->Open();
        Focus(m_addFriend->Edit());
    } else if (w.TakeCommand(W::BTN_DELETE_FRIEND) || w.TakeCommand(W::BTN_DELETE_BLOCKED)) {
        if (!w.ChosenName().empty()) Ask(MSG_DELETE_MEMBER, w.CurrentTab() == W::TAB_FRIENDS ? PK_FRIEND_DELETE : PK_BLOCK_DELETE);
    } else if (w.TakeCommand(W::BTN_GUILD_CREATE)) {
        m_createGuild->Open();
        Focus(m_createGuild->Edit());
    } else if (w.TakeCommand(W::BTN_GUILD_JOIN)) {
        m_joinGuild->List()->Clear();
        m_joinGuild->Open();
        Focus(m_joinGuild->Edit());
    } else if (w.TakeCommand(W::BTN_GUILD_JOIN_CANCEL)) {
        Ask(MSG_GUILD_JOIN_CANCEL, PK_GUILD_JOIN_CANCEL);
    } else if (w.TakeCommand(W::BTN_GUILD_BANISH)) {
        AskAboutMember(MSG_GUILD_MASTER_NOT_BANISH, MSG_GUILD_MEMBER_BANISH, PK_GUILD_BANISH);
    } else if (w.TakeCommand(W::BTN_GUILD_MASTER_CHANGE)) {
        AskAboutMember(MSG_GUILD_MASTER_NOT_CHANGE, MSG_GUILD_MASTER_CHACNGE, PK_GUILD_MASTER_CHANGE);
    } else if (w.TakeCommand(W::BTN_APPLICANTS)) {
        if (SendRequest(PK_GUILD_APPLICANTS_REQUEST)) m_waitList->Open();
    } else if (w.TakeCommand(W::BTN_GUILD_DATA)) {
        if (SendRequest(PK_GUILD_DATA_REQUEST)) m_guildData->Open();
    } else if (w.TakeCommand(W::BTN_GUILD_LEAVE)) {
        Ask(MSG_GUILD_OUT_QUESTION, PK_GUILD_LEAVE);
    }
    return 1;
}

void CLobbyCommunity::TakeEntryGuild(uint8_t guildState, uint32_t guildNumber, uint8_t master,
                                     const std::string& name) {
    CClientSession& session = *g_pClientSession;
    session.guildState = KnownGuildState(guildState);
    session.guildRank = session.guildState;
    session.guildId = guildNumber;
    session.isGuildMaster = master == 1;
    session.guildName = name;
}

void CLobbyCommunity::TakeGuildInfo(const GuildInfoAnswer& info) {
    CClientSession& session = *g_pClientSession;
    session.guildId = info.guildNumber;
    session.guildState = KnownGuildState(info.guildState);
    session.guildRank = session.guildState;
    session.guildName = info.guildName;
    session.money = info.cra;
}

int CLobbyCommunity::Failure(uint16_t id, int8_t reason) {
    for (const AnswerRule& rule : kOwnMessages) {
        if (rule.id == id && rule.reason == reason) {
            Tell(GetMessageText(rule.entry));
            return 1;
        }
    }
    lobby::SelectCursor(lobby::kNormalCursor);
    ReportServerResult(static_cast<uint8_t>(reason));
    Tell(ErrorReport().Text());
    return 0;
}

int CLobbyCommunity::HandleAnswer(const NetPacket& packet) {
    const uint16_t id = packet.id;
    if (!IsCommunityAnswer(id)) return -1;
    const uint8_t* data = packet.payload.data();
    const size_t size = packet.length;
    CommunityAnswerHead head;
    if (!ReadCommunityAnswerHead(data, size, &head)) {
        ReportServerResult(28);
        return 0;
    }
    const bool ok = id == PK_GUILD_SEARCH_RESULT ? head.result != 0 : head.result == 1;
    if (!ok) return Failure(id, head.reason);
    CClientSession& session = *g_pClientSession;
    CNetClient* net = lobby::Net();
    switch (id) {
        case PK_GUILD_INFO:
        case PK_GUILD_CREATE_RESULT: {
            GuildInfoAnswer info;
            if (!ReadGuildInfoAnswer(data, size, &info)) return net ? net->CloseMalformed(id, packet.length) : 0;
            TakeGuildInfo(info);
            if (id == PK_GUILD_CREATE_RESULT) {
                session.isGuildMaster = true;
                session.guildMaster = session.nickname;
                m_createGuild->Edit()->SetText("");
                m_createGuild->Close();
                // Switching sends the applicant request as the player now leads the guild.
                if (m_window->CurrentTab() == CCommunityWindow::TAB_GUILD) {
                    ShowButtons();
                    RequestApplicants();
                } else {
                    m_window->ChooseTab(CCommunityWindow::TAB_GUILD);
                }
                RedrawRows(CCommunityWindow::TAB_GUILD);
                // A failed send has shown the error popup; the loop ends on the closed connection.
                if (SendRequest(PK_GUILD_ROSTER_REQUEST)) SendRequest(PK_GUILD_DATA_REQUEST);
                return 1;
            }
            if (session.guildState == CClientSession::kGuildMember) SendRequest(PK_GUILD_ROSTER_REQUEST);
            if (session.guildState == 0) {
                session.community.ClearGuildRoster();
                RedrawRows(CCommunityWindow::TAB_GUILD);
            }
            if (Shown(m_window) && m_window->CurrentTab() == CCommunityWindow::TAB_GUILD) ShowButtons();
            return 1;
        }
        case PK_GUILD_JOIN_RESULT:
        case PK_GUILD_JOIN_CANCEL_RESULT: {
            if (size < 3) return net ? net->CloseMalformed(id, packet.length) : 0;
            session.guildState = KnownGuildState(data[2]);
            session.guildRank = session.guildState;
            if (id == PK_GUILD_JOIN_RESULT) {
                m_joinGuild->Edit()->SetText("");
                m_joinGuild->Close();
            }
            ShowButtons();
            return 1;
        }
        case PK_GUILD_ACCEPT_RESULT:
        case PK_GUILD_REFUSE_RESULT:
        case PK_GUILD_BANISH_RESULT:
            return 1;
        case PK_GUILD_LEAVE_RESULT:
            session.isGuildMaster = false;
            HideGuildWindows();
            return 1;
        case PK_GUILD_DATA: {
            GuildDataBlock block;
            if (size < 2 || !ReadGuildDataBlock(data + 2, size - 2, &block))
                return net ? net->CloseMalformed(id, packet.length) : 0;
            m_block = block;
            m_guildData->ShowGuildData(m_block);
            return 1;
        }
        case PK_GUILD_APPLICANTS:
        case PK_GUILD_SEARCH_RESULT: {
            AnswerNames names;
            if (!ReadNameListAnswer(data, size, &names)) return net ? net->CloseMalformed(id, packet.length) : 0;
            if (id == PK_GUILD_APPLICANTS) {
                const int rows = m_waitList->ShowApplicants({names.begin(), names.end()});
                if (session.isGuildMaster && rows > 0) m_applicantNotice = true;
                return 1;
            }
            int found = 0;
            for (const std::string& name : names) {
                if (name.empty()) continue;
                m_joinGuild->AddGuildName(name);
                ++found;
            }
            if (!found) Tell(FormatText(GetMessageText(MSG_GUILD_NOT_SEARCH), m_searchText));
            return 1;
        }
        case PK_GUILD_MASTER_CHANGE_RESULT: {
            std::string master;
            if (!ReadAnswerName(data, size, &master)) return net ? net->CloseMalformed(id, packet.length) : 0;
            session.guildMaster = master;
            session.isGuildMaster = false;
            HideGuildWindows();
            if (Shown(m_window) && m_window->CurrentTab() == CCommunityWindow::TAB_GUILD) ShowButtons();
            return 1;
        }
        default:
            break;
    }
    // The friend and blocked lists: the tables change as everywhere else.
    if (!HandleCommunityListPacket(session, id, data, size)) return net ? net->CloseMalformed(id, packet.length) : 0;
    const bool friends = id >= PK_FRIEND_LIST && id <= PK_FRIEND_DELETE_RESULT;
    if (id != PK_FRIEND_LIST && id != PK_BLOCK_LIST) {
        std::string name;
        ReadAnswerName(data, size, &name);
        const int entry = id == PK_FRIEND_ADD_RESULT      ? MSG_FRIEND_ADD
                          : id == PK_FRIEND_DELETE_RESULT ? MSG_FRIEND_DELETE
                          : id == PK_BLOCK_ADD_RESULT     ? MSG_OUTSIDE_ADD
                                                          : MSG_OUTSIDE_DELETE;
        AddChatLine(m_chat, FormatText(GetMessageText(entry), name), kChatGreen);
    }
    RedrawRows(friends ? CCommunityWindow::TAB_FRIENDS : CCommunityWindow::TAB_BLOCKED);
    return 1;
}

void CLobbyCommunity::AfterSharedMessage(uint16_t id) {
    switch (id) {
        case PK_GUILD_MEMBER_LIST:
        case PK_GUILD_ONLINE_LIST:
        case PK_GUILD_MEMBER_ONLINE:
        case PK_GUILD_MEMBER_OFFLINE:
        case PK_GUILD_ACCEPT_NOTICE:
        case PK_GUILD_BANISH_NOTICE:
        case PK_GUILD_LEAVE_NOTICE:
        case PK_GUILD_MASTER_CHANGED:
            RedrawRows(CCommunityWindow::TAB_GUILD);
            if (Shown(m_window) && m_window->CurrentTab() == CCommunityWindow::TAB_GUILD) ShowButtons();
            break;
        case 1061:
            RedrawRows(CCommunityWindow::TAB_FRIENDS);
            break;
        default:
            break;
    }
}
