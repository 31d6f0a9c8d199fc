#include "screens/lobby/CommunityWindow.h"

#include <cstring>
#include <string>

#include "net/ClientSession.h"
#include "net/CommunityLists.h"
#include "screens/lobby/LobbySteps.h"
#include "engine/input/ZEMDXInput.h"
#include "platform/Input.h"
#include "ui/ScreenHost.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

namespace {

constexpr uint32_t kCellsPerRow = 3;
const UiColor kListDefault{1.0f, 1.0f, 1.0f, CUiListBox::kDefaultColourAlpha};
constexpr int kJoinWaitState = 3;
constexpr int kMemberState = 4;

uint32_t Bit(int button) { return 1u << button; }

}  // namespace

const char* const CCommunityWindow::kButtonNames[BUTTON_COUNT] = {
    "ID_BUTTON_ADD_FRIEND",      "ID_BUTTON_DELETE_FRIEND",       "ID_BUTTON_ADD_OUTSIDE",
    "ID_BUTTON_DELETE_OUTSIDE",  "ID_BUTTON_GUILD_CREATE",        "ID_BUTTON_GUILD_JOIN",
    "ID_BUTTON_GUILD_JOINCANCLE", "ID_BUTTON_GUILD_PURGE",        "ID_BUTTON_GUILD_MASTER_CHANGE",
    "ID_BUTTON_APPLICATION_LIST", "ID_BUTTON_GUILD_DATA",         "ID_BUTTON_GUILD_OUT",
    "ID_BUTTON_CLOSE"};

uint32_t CCommunityWindow::VisibleButtons(int state, bool guildMaster) {
    if (state >= 0 && state < kJoinWaitState) return Bit(2 * state) | Bit(2 * state + 1);
    if (state == kJoinWaitState) return Bit(BTN_GUILD_JOIN_CANCEL);
    if (state == kMemberState) {
        uint32_t shown = Bit(BTN_GUILD_DATA) | Bit(BTN_GUILD_LEAVE);
        if (guildMaster) shown |= Bit(BTN_GUILD_BANISH) | Bit(BTN_GUILD_MASTER_CHANGE) | Bit(BTN_APPLICANTS);
        return shown;
    }
    return 0;
}

int CCommunityWindow::ButtonState(int tab, uint8_t guildState) {
    if (tab != TAB_GUILD) return tab;
    return TAB_GUILD + (guildState <= 2 ? guildState : 0);
}

int CCommunityWindow::OnLayoutLoaded() {
    bool ok = true;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        m_buttons[static_cast<size_t>(i)] = static_cast<CUiButton*>(Bind(kButtonNames[i], UI_TYPE_BUTTON));
        ok = ok && m_buttons[static_cast<size_t>(i)];
    }
    m_headers[0] = static_cast<CUiStatic*>(Bind("ID_STATIC_MEMBER_ATTR1", UI_TYPE_STATIC));
    m_headers[1] = static_cast<CUiStatic*>(Bind("ID_STATIC_MEMBER_ATTR2", UI_TYPE_STATIC));
    m_joinWait = static_cast<CUiStatic*>(Bind("ID_STATIC_GUILD_JOIN_WAIT", UI_TYPE_STATIC));
    m_members = static_cast<CUiListBox*>(Bind("ID_LIST_MEMBER", UI_TYPE_LISTBOX));
    const char* tabs[TAB_COUNT] = {"ID_CHECK_FRIEND", "ID_CHECK_OUTSIDE", "ID_CHECK_GUILD"};
    for (int i = 0; i < TAB_COUNT; ++i)
        m_tabs[static_cast<size_t>(i)] = static_cast<CUiCheckButton*>(Bind(tabs[i], UI_TYPE_CHECKBUTTON));
    ok = ok && m_headers[0] && m_headers[1] && m_joinWait && m_members && m_tabs[0] && m_tabs[1] && m_tabs[2];
    if (!ok) return 0;
    for (int i = 0; i < TAB_COUNT; ++i) m_tabs[static_cast<size_t>(i)]->SetChecked(i == m_tab);
    ShowButtons(0, false);
    return 1;
}

void CCommunityWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (control == m_buttons[static_cast<size_t>(i)]) {
            m_commands[static_cast<size_t>(i)] = 1;
            return;
        }
    }
    for (int i = 0; i < TAB_COUNT; ++i)
        if (control == m_tabs[static_cast<size_t>(i)]) ChooseTab(i);
}

void CCommunityWindow::ChooseTab(int tab) {
    if (tab < 0 || tab >= TAB_COUNT) return;
    if (tab == m_tab) {
        // The shown tab stays checked, whatever the box did with the click.
        if (m_tabs[static_cast<size_t>(tab)]) m_tabs[static_cast<size_t>(tab)]->SetChecked(true);
        return;
    }
    if (m_members) m_members->Clear();
    if (m_tabs[static_cast<size_t>(m_tab)]) m_tabs[static_cast<size_t>(m_tab)]->SetChecked(false);
    m_tab = tab;
    if (m_tabs[static_cast<size_t>(tab)]) m_tabs[static_cast<size_t>(tab)]->SetChecked(true);
    const CClientSession* session = g_pClientSession;
    const bool master = session && session->isGuildMaster;
    ShowButtons(session ? session->guildState : 0, master);
    if (m_owner) {
        if (tab != TAB_GUILD) m_owner->HideGuildWindows();
        if (tab == TAB_GUILD && master) m_owner->RequestApplicants();
    }
    m_changed = 1;
}

void CCommunityWindow::ShowButtons(uint8_t guildState, bool guildMaster) {
    for (int i = 0; i < BTN_CLOSE; ++i) SetShown(m_buttons[static_cast<size_t>(i)], false);
    SetShown(m_joinWait, false);
    SetShown(m_headers[0], m_tab == TAB_FRIENDS);
    SetShown(m_headers[1], m_tab == TAB_GUILD);
    const int state = ButtonState(m_tab, guildState);
    const uint32_t shown = VisibleButtons(state, guildMaster);
    for (int i = 0; i < BTN_CLOSE; ++i)
        if (shown & Bit(i)) SetShown(m_buttons[static_cast<size_t>(i)], true);
    if (state == kJoinWaitState) SetShown(m_joinWait, true);
}

void CCommunityWindow::AddRow(const char* name, uint32_t colour, const std::string& number) {
    m_members->AddItem(name, UnpackColor(colour));
    m_members->AddItem("", kListDefault);
    m_members->AddItem(number, kListDefault);
}

void CCommunityWindow::ShowRows(const CCommunityLists& lists) {
    if (!m_members) return;
    m_members->Clear();
    auto text = [](const char* field) { return std::string(field, strnlen(field, kNicknameField)); };
    if (m_tab == TAB_FRIENDS) {
        for (uint8_t state : {1, 0})
            for (const FriendEntry& entry : lists.Friends())
                if (entry.nickname[0] && entry.state == state)
                    AddRow(text(entry.nickname).c_str(), state ? kOnline : kOffline, "");
    } else if (m_tab == TAB_BLOCKED) {
        for (const auto& name : lists.Blocked())
            if (name[0]) AddRow(text(name.data()).c_str(), kBlocked, "");
    } else {
        for (uint8_t online : {1, 0})
            for (const GuildMemberEntry& entry : lists.Roster())
                if (entry.nickname[0] && entry.online == online)
                    AddRow(text(entry.nickname).c_str(), online ? kOnline : kOffline,
                           std::to_string(static_cast<int32_t>(entry.row)));
    }
}

void CCommunityWindow::OnRButtonClick(CUiObject* control) {
    if (!control || control != m_members || m_tab == TAB_BLOCKED) return;
    IScreenHost* host = ScreenHost();
    if (!host) return;
    platform::CursorPoint cursor{};
    host->Input().GetCursor(&cursor);
    ChooseRowAt(static_cast<float>(cursor.x), static_cast<float>(cursor.y));
}

void CCommunityWindow::ChooseRowAt(float x, float y) {
    if (!m_members || m_tab == TAB_BLOCKED) return;
    const int32_t item = m_members->ItemAtPoint(UiPoint{x, y});
    const uint32_t rows = m_members->ItemCount() / kCellsPerRow;
    if (item < 0 || static_cast<uint32_t>(item) / kCellsPerRow >= rows) {
        m_members->SetSelected(-1);
        return;
    }
    m_members->SetSelected(static_cast<int32_t>(static_cast<uint32_t>(item) / kCellsPerRow * kCellsPerRow));
    m_popupRequest = 1;
}

std::string CCommunityWindow::ChosenName() const {
    if (!m_members) return {};
    const int32_t item = m_members->Selected();
    if (item < 0) return {};
    // A left click may select any cell of a row; the name is its first.
    const char* text = m_members->GetItemText(item / static_cast<int32_t>(kCellsPerRow) * static_cast<int32_t>(kCellsPerRow));
    return text ? text : "";
}

int CCommunityWindow::TakeCommand(int button) {
    if (button < 0 || button >= BUTTON_COUNT) return 0;
    const uint32_t was = m_commands[static_cast<size_t>(button)];
    if (was) m_commands.fill(0);
    return was ? 1 : 0;
}

void CCommunityWindow::Render() {
    if (HasFlags(UI_HIDDEN)) return;
    CUiWindow::Render();
    CUiButton* mark = m_buttons[BTN_APPLICANTS];
    if (!m_owner || !m_owner->ApplicantNotice() || !mark || mark->HasFlags(UI_HIDDEN)) return;
    m_blink.Pulse(m_owner->FrameTime() * kBlinkRate);
    const UiPoint at = mark->GetAbsolutePos();
    m_blink.Draw(at.x, at.y, mark->Size().x, mark->Size().y);
}
