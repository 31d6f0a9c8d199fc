#include "screens/lobby/LobbyWindow.h"

#include <cstdio>

#include "engine/core/MessageTable.h"
#include "engine/resource/Resource.h"
#include "engine/core/TextFormat.h"
#include "screens/lobby/ConnecterRows.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/RoomRowView.h"
#include "engine/input/ZEMDXInput.h"
#include "net/ClientSession.h"
#include "ui/ScreenHost.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

namespace {

std::string RowName(const char* format, int row) {
    char name[48];
    std::snprintf(name, sizeof name, format, row);
    return name;
}

}  // namespace

const char* const CLobbyWindow::kCommandNames[COMMAND_COUNT] = {
    "ID_BUTTON_JOIN",    "ID_BUTTON_BEFORE", "ID_BUTTON_NEXT",     "ID_BUTTON_MAKEROOM", "ID_BUTTON_QUICKJOIN",
    "ID_BUTTON_COMMUNITY", "ID_BUTTON_SHOP", "ID_BUTTON_MYINFO",   "ID_BUTTON_PRACTICE", "ID_BUTTON_EXIT",
    "ID_BUTTON_BACK",    "ID_BUTTON_OPTION", "ID_BUTTON_TUTORIAL",
};

int CLobbyWindow::OnLayoutLoaded() {
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i] = static_cast<CUiButton*>(Bind(kCommandNames[i], UI_TYPE_BUTTON));
        if (!m_buttons[i]) return 0;
    }
    m_allRooms = static_cast<CUiCheckButton*>(Bind("ID_CHECK_TOTALROOM", UI_TYPE_CHECKBUTTON));
    m_waitingRooms = static_cast<CUiCheckButton*>(Bind("ID_CHECK_WAITROOM", UI_TYPE_CHECKBUTTON));
    if (!m_allRooms || !m_waitingRooms) return 0;
    for (int i = 0; i < kRoomsPerPage; ++i) {
        RoomRow& row = m_rows[static_cast<size_t>(i)];
        row.number = static_cast<CUiStatic*>(Bind(RowName("ID_STATIC_NUM_%d", i).c_str(), UI_TYPE_STATIC));
        row.title = static_cast<CUiStatic*>(Bind(RowName("ID_STATIC_ROOMNAME_%d", i).c_str(), UI_TYPE_STATIC));
        row.playState = static_cast<CUiCheckButton*>(
            Bind(RowName("ID_CHECKBUTTON_PLAYSTATE_%d", i).c_str(), UI_TYPE_CHECKBUTTON));
        row.members = static_cast<CUiStatic*>(Bind(RowName("ID_STATIC_MEMBER_%d", i).c_str(), UI_TYPE_STATIC));
        row.bar = static_cast<CUiCheckButton*>(Bind(RowName("ID_CHECKBUTTON_BAR_%d", i).c_str(), UI_TYPE_CHECKBUTTON));
        row.password = static_cast<CUiStatic*>(Bind(RowName("ID_STATIC_PASSICON%d", i).c_str(), UI_TYPE_STATIC));
        row.levelLimit = static_cast<CUiStatic*>(Bind(RowName("ID_STATIC_LEVEL_LIMT%d", i).c_str(), UI_TYPE_STATIC));
        row.mode = static_cast<CUiStatic*>(Bind(RowName("ID_STATIC_MODE%d", i).c_str(), UI_TYPE_STATIC));
        row.randomTeam =
            static_cast<CUiStatic*>(Bind(RowName("ID_STATIC_RANDOMTEAMMARK_%d", i).c_str(), UI_TYPE_STATIC));
        if (!row.number || !row.title || !row.playState || !row.members || !row.bar || !row.password ||
            !row.levelLimit || !row.mode || !row.randomTeam)
            return 0;
    }
    m_page = static_cast<CUiStatic*>(Bind("ID_STATIC_PAGE", UI_TYPE_STATIC));
    m_chatEdit = static_cast<CUiEditBox*>(Bind("ID_EDIT_CHAT", UI_TYPE_EDITBOX));
    m_chatList = static_cast<CUiListBox*>(Bind("ID_LIST_CHAT", UI_TYPE_LISTBOX));
    m_connecters = static_cast<CUiListBox*>(Bind("ID_LIST_CONNECTER", UI_TYPE_LISTBOX));
    m_chatMode = static_cast<CUiStatic*>(Bind("ID_STATIC_MESSAGE", UI_TYPE_STATIC));
    m_total = static_cast<CUiStatic*>(Bind("ID_STATIC_TOTAL", UI_TYPE_STATIC));
    m_help = static_cast<CUiStatic*>(Bind("ID_STATIC_HELP", UI_TYPE_STATIC));
    return m_page && m_chatEdit && m_chatList && m_connecters && m_chatMode && m_total && m_help;
}

int CLobbyWindow::RowOfBar(const CUiObject* control) const {
    for (int i = 0; i < kRoomsPerPage; ++i)
        if (control && m_rows[static_cast<size_t>(i)].bar == control) return i;
    return -1;
}

void CLobbyWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    const int row = RowOfBar(control);
    if (row >= 0) {
        SelectRow(row);
        return;
    }
    if (control == m_allRooms) m_listKindClicks[0] = 1;
    if (control == m_waitingRooms) m_listKindClicks[1] = 1;
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (control == m_buttons[i]) m_commands[i] = 1;
}

void CLobbyWindow::OnLButtonDoubleClick(CUiObject* control) {
    const int row = RowOfBar(control);
    if (row < 0) return;
    SelectRow(row);
    m_commands[CMD_JOIN] = 1;
}

void CLobbyWindow::OnRButtonClick(CUiObject* control) {
    if (!control || control != m_connecters) return;
    IScreenHost* host = ScreenHost();
    if (!host) return;
    platform::CursorPoint cursor{};
    host->Input().GetCursor(&cursor);
    const int32_t row = m_connecters->ItemAtPoint(UiPoint{static_cast<float>(cursor.x), static_cast<float>(cursor.y)});
    ChooseConnecter(row, g_pClientSession ? std::string_view(g_pClientSession->nickname) : std::string_view());
}

void CLobbyWindow::ChooseConnecter(int32_t row, std::string_view ownNickname) {
    const char* text = row >= 0 ? m_connecters->GetItemText(row) : nullptr;
    if (!text) {
        m_chosenName.clear();
        return;
    }
    m_connecters->SetSelected(row);
    if (IsOwnConnecterRow(text, ownNickname)) return;
    m_chosenName = ConnecterName(text);
    m_popupRequest = 1;
}

int CLobbyWindow::TakeCommand(int index) {
    if (index < 0 || index >= COMMAND_COUNT || !m_commands[static_cast<size_t>(index)]) return 0;
    m_commands.fill(0);
    return 1;
}

int CLobbyWindow::TakeListKindClick(int kind) {
    if (kind < 0 || kind > 1 || !m_listKindClicks[kind]) return 0;
    m_listKindClicks[0] = m_listKindClicks[1] = 0;
    return 1;
}

void CLobbyWindow::ClearRowChecks() {
    for (RoomRow& row : m_rows)
        if (row.bar) row.bar->SetChecked(false);
}

void CLobbyWindow::SelectRow(int row) {
    ClearRowChecks();
    if (row < 0 || row >= kRoomsPerPage || !m_rows[static_cast<size_t>(row)].bar ||
        m_rows[static_cast<size_t>(row)].bar->HasFlags(UI_HIDDEN)) {
        m_selected = -1;
        return;
    }
    m_selected = row;
    m_rows[static_cast<size_t>(row)].bar->SetChecked(true);
}

void CLobbyWindow::MoveSelection(int direction) {
    if (m_selected < 0 || direction == 0) return;
    const int step = direction < 0 ? -1 : 1;
    for (int row = m_selected + step; row >= 0 && row < kRoomsPerPage; row += step) {
        const CUiCheckButton* bar = m_rows[static_cast<size_t>(row)].bar;
        if (bar && !bar->HasFlags(UI_HIDDEN)) {
            SelectRow(row);
            return;
        }
    }
}

void CLobbyWindow::ShowRoomList(const RoomPage& rooms, uint16_t listKind, int allPage, int waitingPage,
                                CResource* const modeIcons[2]) {
    const std::string emptySlot = GetMessageText(MSG_LOBBY_ROOM_SLOT_EMPTY);
    const std::string randomTeam = GetMessageText(MSG_LOBBY_RANDOM_TEAM);
    for (int i = 0; i < kRoomsPerPage; ++i) {
        RoomRow& row = m_rows[static_cast<size_t>(i)];
        for (CUiObject* c : {static_cast<CUiObject*>(row.number), static_cast<CUiObject*>(row.title),
                             static_cast<CUiObject*>(row.playState), static_cast<CUiObject*>(row.members),
                             static_cast<CUiObject*>(row.bar), static_cast<CUiObject*>(row.password),
                             static_cast<CUiObject*>(row.levelLimit), static_cast<CUiObject*>(row.mode),
                             static_cast<CUiObject*>(row.randomTeam)})
            SetShown(c, false);
        const RoomRowView view = MakeRoomRowView(rooms[static_cast<size_t>(i)], listKind, emptySlot);
        row.number->SetText(view.number);
        row.title->SetText(view.title);
        row.members->SetText(view.members);
        if (!view.shown) continue;
        SetShown(row.bar, true);
        SetShown(row.number, true);
        SetShown(row.title, true);
        SetShown(row.members, true);
        if (view.randomTeamShown) {
            row.randomTeam->SetText(randomTeam);
            SetShown(row.randomTeam, true);
        }
        if (view.playStateShown) {
            row.playState->SetChecked(view.playing);
            row.playState->SetEnabled(0);
            SetShown(row.playState, true);
        }
        if (view.modeIcon >= 0) {
            CResource* icon = modeIcons ? modeIcons[view.modeIcon] : nullptr;
            if (icon) icon->AddRef();
            row.mode->SetImage(icon, view.modeIcon == 0 ? "SM.DDS" : "PVM.DDS");
            SetShown(row.mode, true);
        }
        SetShown(row.password, view.passwordShown);
        if (!view.levelLimit.empty()) {
            row.levelLimit->SetText(view.levelLimit);
            SetShown(row.levelLimit, true);
        }
    }
    m_page->SetText(RoomPageText(m_allRooms->Checked(), m_waitingRooms->Checked(), allPage, waitingPage));
    // A selection never stays on a row that is now hidden.
    if (m_selected >= 0) SelectRow(m_selected);
}

void CLobbyWindow::ShowLobbyUsers(const LobbyUserList& users, std::string_view ownNickname) {
    m_total->SetText(FormatText(GetMessageText(MSG_LOBBY_CONNECTER), static_cast<int>(users.count)));
    m_connecters->ClearItems();
    const UiColor listDefault{1.0f, 1.0f, 1.0f, CUiListBox::kDefaultColourAlpha};
    for (const std::string& row : MakeConnecterRows(users, ownNickname)) m_connecters->AddItem(row, listDefault);
}
