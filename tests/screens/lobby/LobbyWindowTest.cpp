// The lobby window on its layout: binding, the command latches, row selection
// with the keys and the mouse, and a page of rooms drawn into the rows.
#include <gtest/gtest.h>

#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "screens/lobby/LobbyWindow.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/ui/UiFixture.h"
#include "tools/LobbyLayouts.h"
#include "ui/UiCheckButton.h"
#include "ui/UiControls.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

namespace {

struct LobbyWindowFixture : UiFixture {
    LobbyWindowFixture() {
        RegisterUiControls();
        messages.SetMsg(MSG_LOBBY_ROOM_SLOT_EMPTY, "empty");
        messages.SetMsg(MSG_LOBBY_RANDOM_TEAM, "random");
        messages.SetMsg(MSG_LOBBY_CONNECTER, "players %d");
    }
    int Load(CUiWindow& window, const LayoutFileSpec& spec) {
        std::vector<uint8_t> bytes = BuildLayout(spec);
        const std::string path = folder.Write("LOBBY2.DUI", std::vector<unsigned char>(bytes.begin(), bytes.end()));
        return window.LoadLayout(path.c_str(), 0);
    }
    CMessageTable messages;
    TempFolder folder;
};

RoomListRecord Room(uint16_t number, uint16_t state) {
    RoomListRecord r;
    r.number = number;
    r.state = state;
    r.title = "Room" + std::to_string(number);
    r.players = 1;
    r.capacity = 8;
    r.lowestRank = 1;
    r.highestRank = 100;
    return r;
}

bool Hidden(const CUiObject* c) { return c->HasFlags(UI_HIDDEN); }

TEST(LobbyWindow, BindsEveryControlAndFailsOnAMissingOne) {
    LobbyWindowFixture f;
    CLobbyWindow window;
    ASSERT_EQ(f.Load(window, LobbyLayout()), 1) << ErrorReport().Text();
    EXPECT_NE(window.ChatEdit(), nullptr);
    EXPECT_NE(window.Row(9).randomTeam, nullptr);

    LayoutFileSpec broken = LobbyLayout();
    for (auto it = broken.children.begin(); it != broken.children.end(); ++it)
        if (it->name == "ID_STATIC_LEVEL_LIMT7") {
            broken.children.erase(it);
            break;
        }
    CLobbyWindow missing;
    EXPECT_EQ(f.Load(missing, broken), 0);
    EXPECT_NE(std::string(ErrorReport().Text()).find("ID_STATIC_LEVEL_LIMT7"), std::string::npos);
}

TEST(LobbyWindow, CommandsAreTakenOneAtATime) {
    LobbyWindowFixture f;
    CLobbyWindow window;
    ASSERT_EQ(f.Load(window, LobbyLayout()), 1);
    window.OnLButtonClick(window.CommandButton(CLobbyWindow::CMD_SHOP));
    window.OnLButtonClick(window.CommandButton(CLobbyWindow::CMD_EXIT));
    EXPECT_EQ(window.TakeCommand(CLobbyWindow::CMD_JOIN), 0);
    EXPECT_EQ(window.TakeCommand(CLobbyWindow::CMD_SHOP), 1);
    EXPECT_EQ(window.TakeCommand(CLobbyWindow::CMD_EXIT), 0);  // cleared with the first
    EXPECT_EQ(window.TakeCommand(99), 0);
    window.OnLButtonClick(window.WaitingRoomsBox());
    EXPECT_EQ(window.TakeListKindClick(0), 0);
    EXPECT_EQ(window.TakeListKindClick(1), 1);
    EXPECT_EQ(window.TakeListKindClick(1), 0);
}

TEST(LobbyWindow, RoomPageRowsAndSelection) {
    LobbyWindowFixture f;
    CLobbyWindow window;
    ASSERT_EQ(f.Load(window, LobbyLayout()), 1);
    window.WaitingRoomsBox()->SetChecked(true);
    RoomPage page;
    page[0] = Room(0, 1);
    page[1] = Room(1, 2);
    page[1].password = 1;
    page[1].randomTeams = 1;
    page[1].lowestRank = 5;
    page[1].highestRank = 20;
    page[4] = Room(4, 1);  // rows 2 and 3 are empty slots
    CResource* const noIcons[2] = {nullptr, nullptr};
    window.ShowRoomList(page, ROOM_LIST_WAITING, 3, 6, noIcons);
    EXPECT_EQ(window.PageText()->GetText(), "7/99");
    EXPECT_FALSE(Hidden(window.Row(0).bar));
    EXPECT_EQ(window.Row(0).number->GetText(), "001");
    EXPECT_EQ(window.Row(0).members->GetText(), "(1/8)");
    EXPECT_TRUE(Hidden(window.Row(0).levelLimit));
    EXPECT_FALSE(window.Row(0).playState->Checked());
    EXPECT_TRUE(window.Row(1).playState->Checked());
    EXPECT_FALSE(Hidden(window.Row(1).password));
    EXPECT_FALSE(Hidden(window.Row(1).randomTeam));
    EXPECT_EQ(window.Row(1).randomTeam->GetText(), "random");
    EXPECT_EQ(window.Row(1).levelLimit->GetText(), "Rk.5 ~ Rk.20");
    EXPECT_TRUE(Hidden(window.Row(2).bar));
    EXPECT_TRUE(Hidden(window.Row(3).bar));

    // Up and Down skip the hidden rows and stop at the last shown one.
    window.OnLButtonClick(window.Row(1).bar);
    EXPECT_EQ(window.SelectedRow(), 1);
    window.MoveSelection(+1);
    EXPECT_EQ(window.SelectedRow(), 4);
    EXPECT_TRUE(window.Row(4).bar->Checked());
    EXPECT_FALSE(window.Row(1).bar->Checked());
    window.MoveSelection(+1);
    EXPECT_EQ(window.SelectedRow(), 4);
    window.MoveSelection(-1);
    window.MoveSelection(-1);
    EXPECT_EQ(window.SelectedRow(), 0);
    window.MoveSelection(-1);
    EXPECT_EQ(window.SelectedRow(), 0);
    // A click on a hidden bar selects nothing; a double click selects and asks to join.
    window.SelectRow(2);
    EXPECT_EQ(window.SelectedRow(), -1);
    window.MoveSelection(+1);
    EXPECT_EQ(window.SelectedRow(), -1);
    window.OnLButtonDoubleClick(window.Row(4).bar);
    EXPECT_EQ(window.SelectedRow(), 4);
    EXPECT_EQ(window.TakeCommand(CLobbyWindow::CMD_JOIN), 1);

    // On the all-rooms list the empty slots show their number and text; a
    // page without the selected room's row clears the selection.
    window.WaitingRoomsBox()->SetChecked(false);
    window.AllRoomsBox()->SetChecked(true);
    RoomPage emptyPage;
    for (int i = 0; i < kRoomsPerPage; ++i) emptyPage[static_cast<size_t>(i)].number = static_cast<uint16_t>(10 + i);
    window.ShowRoomList(emptyPage, ROOM_LIST_ALL, 1, 6, noIcons);
    EXPECT_EQ(window.PageText()->GetText(), "2/99");
    EXPECT_FALSE(Hidden(window.Row(2).bar));
    EXPECT_EQ(window.Row(2).number->GetText(), "013");
    EXPECT_EQ(window.Row(2).title->GetText(), "empty");
    EXPECT_TRUE(Hidden(window.Row(2).playState));
    EXPECT_EQ(window.SelectedRow(), 4);
    window.ShowRoomList(emptyPage, ROOM_LIST_WAITING, 1, 6, noIcons);
    EXPECT_EQ(window.SelectedRow(), -1);
}

TEST(LobbyWindow, PlayerListShowsTheCountAndTheMarkedRows) {
    LobbyWindowFixture f;
    CLobbyWindow window;
    ASSERT_EQ(f.Load(window, LobbyLayout()), 1);
    LobbyUserList users;
    users.count = 5000;
    users.names = {"Hero", "Other"};
    window.ShowLobbyUsers(users, "Hero");
    EXPECT_EQ(window.TotalText()->GetText(), "players 5000");
    ASSERT_EQ(window.ConnecterList()->ItemCount(), 2u);
    EXPECT_STREQ(window.ConnecterList()->GetItemText(0), "</C=ffcc00>Hero");
    users.names = {"Solo"};
    window.ShowLobbyUsers(users, "Hero");
    ASSERT_EQ(window.ConnecterList()->ItemCount(), 1u);
    EXPECT_STREQ(window.ConnecterList()->GetItemText(0), "Solo");
}

}  // namespace
