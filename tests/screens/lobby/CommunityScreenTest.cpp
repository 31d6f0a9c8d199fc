// The lobby's community mode on the real client loop against the fake game
// server: the community window's tabs, rows and buttons, the questions of
// its commands and the requests sent on OK, creating a guild, and the
// server's answers, refusals and hostile bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/CommunityMessages.h"
#include "screens/lobby/CommunityWindow.h"
#include "screens/lobby/ConnecterPopup.h"
#include "screens/lobby/GuildWindows.h"
#include "platform/Input.h"
#include "tests/screens/lobby/LobbyFlow.h"
#include "ui/UiButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

namespace {

using W = CCommunityWindow;

TEST(CommunityButtons, EachTabStateShowsItsButtons) {
    auto bits = [](std::initializer_list<int> buttons) {
        uint32_t b = 0;
        for (int n : buttons) b |= 1u << n;
        return b;
    };
    const struct {
        int state;
        bool master;
        uint32_t shown;
    } cases[] = {
        {0, false, bits({W::BTN_ADD_FRIEND, W::BTN_DELETE_FRIEND})},
        {1, true, bits({W::BTN_ADD_BLOCKED, W::BTN_DELETE_BLOCKED})},
        {2, false, bits({W::BTN_GUILD_CREATE, W::BTN_GUILD_JOIN})},
        {3, true, bits({W::BTN_GUILD_JOIN_CANCEL})},
        {4, false, bits({W::BTN_GUILD_DATA, W::BTN_GUILD_LEAVE})},
        {4, true, bits({W::BTN_GUILD_BANISH, W::BTN_GUILD_MASTER_CHANGE, W::BTN_APPLICANTS, W::BTN_GUILD_DATA,
                        W::BTN_GUILD_LEAVE})},
        {5, true, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(W::VisibleButtons(c.state, c.master), c.shown) << c.state << c.master;
    EXPECT_EQ(W::ButtonState(W::TAB_BLOCKED, 2), 1);
    EXPECT_EQ(W::ButtonState(W::TAB_GUILD, 2), 4);
    EXPECT_EQ(W::ButtonState(W::TAB_GUILD, 7), 2) << "an unknown guild state counts as none";
}

class CommunityFlow : public LobbyScreenFlow {
protected:
    void SetUp() override {
        for (uint16_t id : {PK_GUILD_INFO_REQUEST, PK_GUILD_CREATE, PK_GUILD_JOIN, PK_GUILD_JOIN_CANCEL, PK_GUILD_ACCEPT,
                            PK_GUILD_REFUSE, PK_GUILD_BANISH, PK_GUILD_LEAVE, PK_GUILD_APPLICANTS_REQUEST,
                            PK_GUILD_SEARCH, PK_GUILD_MASTER_CHANGE, PK_FRIEND_ADD, PK_FRIEND_DELETE, PK_BLOCK_ADD,
                            PK_BLOCK_DELETE})
            game.On(id);
        LobbyScreenFlow::SetUp();
    }
    // In the lobby as the guild master of guild 77, with friends, blocked
    // users and a roster; the community window open on the friends tab.
    void EnterAsMaster(int64_t cra = 50000) {
        LobbyPlayerSpec player;
        player.guildState = 2;
        player.guildMaster = 1;
        player.guildNumber = 77;
        player.cra = cra;
        Enter(player);
        Session().guildMaster = "Hero";
        game.Send(PK_FRIEND_LIST, CommunityAnswer(1, 0, FriendListBytes({{"Sleepy", 0}, {"Awake", 1}, {"Dozer", 0}})))
            .Send(PK_BLOCK_LIST, CommunityAnswer(1, 0, BlockListBytes({"Troll"})))
            .Send(PK_GUILD_MEMBER_LIST,
                  CommunityAnswer(1, 0, GuildRosterBytes({{"Hero", 1, 1}, {"Away", 0, 2}, {"Mate", 1, 3}})));
        ASSERT_TRUE(game.WaitIdle());
        ASSERT_TRUE(RunUntil([&] { return Session().community.BlockedCount() == 1; }));
        Lobby()->Window()->PressCommand(CLobbyWindow::CMD_COMMUNITY);
        ASSERT_TRUE(RunUntil([&] { return Lobby()->Phase() == CLobbyScreen::PHASE_COMMUNITY; }));
    }
    CLobbyCommunity& C() { return Lobby()->Community(); }
    W& Window() { return *C().Window(); }
    void Command(int button) {
        Window().PressCommand(button);
        Frames(2);
    }
    void Tab(int tab) {
        const char* names[] = {"ID_CHECK_FRIEND", "ID_CHECK_OUTSIDE", "ID_CHECK_GUILD"};
        Click(&Window(), names[tab]);
        Frames(2);
    }
    // Rows of the member list: name, colour and number of each.
    struct Row {
        std::string name;
        uint32_t colour;
        std::string number;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> Rows() {
        std::vector<Row> rows;
        CUiListBox* list = Window().Members();
        for (uint32_t i = 0; i + 2 < list->ItemCount(); i += 3)
            rows.push_back({list->ItemAt(i).text, PackColor(list->ItemAt(i).colour), list->ItemAt(i + 2).text});
        return rows;
    }
    // Chooses the row as a right click on it would.
    void Choose(int row) {
        CUiListBox* list = Window().Members();
        const UiPoint at = list->GetAbsolutePos();
        Window().ChooseRowAt(at.x + 2, at.y + list->RowHeight() * (static_cast<float>(row) + 0.5f));
    }
    std::vector<FakePacket> Sent(uint16_t id) {
        std::vector<FakePacket> out;
        for (const FakePacket& p : game.Received())
            if (p.id == id) out.push_back(p);
        return out;
    }
    bool WaitSent(uint16_t id, size_t n = 1) {
        return RunUntil([&] { return Sent(id).size() >= n; }, 600);
    }
    std::string Message(int entry) { return GetMessageText(entry); }
    bool Connected() { return Lobby()->Phase() < CScreen::kPhaseErrorPopup; }
};

TEST_F(CommunityFlow, TabsShowTheirRowsAndButtons) {
    EnterAsMaster();
    EXPECT_FALSE(Window().HasFlags(UI_HIDDEN));
    EXPECT_EQ(Window().CurrentTab(), W::TAB_FRIENDS);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Awake", W::kOnline, ""}, {"Sleepy", W::kOffline, ""}, {"Dozer", W::kOffline, ""}}));
    EXPECT_FALSE(Window().ButtonAt(W::BTN_ADD_FRIEND)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Window().ButtonAt(W::BTN_GUILD_DATA)->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(Window().Header(0)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Window().Header(1)->HasFlags(UI_HIDDEN));

    // The shown tab's box stays checked and nothing changes.
    Tab(W::TAB_FRIENDS);
    EXPECT_TRUE(Window().TabBox(W::TAB_FRIENDS)->Checked());
    EXPECT_EQ(Rows().size(), 3u);

    Tab(W::TAB_BLOCKED);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Troll", W::kBlocked, ""}}));
    EXPECT_FALSE(Window().TabBox(W::TAB_FRIENDS)->Checked());
    EXPECT_TRUE(Window().Header(0)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Window().Header(1)->HasFlags(UI_HIDDEN));

    // The master's guild tab asks for the applicants and shows the numbers.
    Tab(W::TAB_GUILD);
    ASSERT_TRUE(WaitSent(PK_GUILD_APPLICANTS_REQUEST));
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Hero", W::kOnline, "1"}, {"Mate", W::kOnline, "3"}, {"Away", W::kOffline, "2"}}));
    for (int b : {W::BTN_GUILD_BANISH, W::BTN_GUILD_MASTER_CHANGE, W::BTN_APPLICANTS, W::BTN_GUILD_DATA,
                  W::BTN_GUILD_LEAVE})
        EXPECT_FALSE(Window().ButtonAt(b)->HasFlags(UI_HIDDEN)) << b;
    EXPECT_TRUE(Window().ButtonAt(W::BTN_GUILD_CREATE)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Window().JoinWaitText()->HasFlags(UI_HIDDEN));

    // Leaving the guild tab takes the guild's side windows away.
    Command(W::BTN_GUILD_DATA);
    Command(W::BTN_APPLICANTS);
    EXPECT_FALSE(C().GuildData()->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(C().WaitList()->HasFlags(UI_HIDDEN));
    Tab(W::TAB_FRIENDS);
    EXPECT_TRUE(C().GuildData()->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(C().WaitList()->HasFlags(UI_HIDDEN));

    // Below the last row the choice is cleared and no popup is asked for.
    Choose(1);
    EXPECT_EQ(Window().ChosenName(), "Sleepy");
    EXPECT_TRUE(Window().TakePopupRequest());
    Choose(7);
    EXPECT_EQ(Window().ChosenName(), "");
    EXPECT_FALSE(Window().TakePopupRequest());

    // Escape closes community mode.
    Tap(platform::DIK_ESCAPE);
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_LOBBY);
    EXPECT_TRUE(Window().HasFlags(UI_HIDDEN));
    NoFailures();
}

TEST_F(CommunityFlow, CommandsAskThenSendOnOk) {
    EnterAsMaster();
    // Friends: delete the chosen friend; Cancel sends nothing, OK sends.
    Choose(0);
    Command(W::BTN_DELETE_FRIEND);
    EXPECT_EQ(Box().Text(), Message(MSG_DELETE_MEMBER));
    EXPECT_EQ(C().PendingRequest(), PK_FRIEND_DELETE);
    Box().SetResult(0);
    Frames(3);
    EXPECT_FALSE(Box().Visible());
    Command(W::BTN_DELETE_FRIEND);
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_FRIEND_DELETE));
    EXPECT_EQ(Text(Sent(PK_FRIEND_DELETE)[0].payload, 0), "Hero");
    EXPECT_EQ(Text(Sent(PK_FRIEND_DELETE)[0].payload, 17), "Awake");
    EXPECT_EQ(Sent(PK_FRIEND_DELETE).size(), 1u) << "Cancel sent nothing";

    Tab(W::TAB_BLOCKED);
    Window().Members()->SetSelected(0);
    Command(W::BTN_DELETE_BLOCKED);
    EXPECT_EQ(C().PendingRequest(), PK_BLOCK_DELETE);
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_BLOCK_DELETE));
    EXPECT_EQ(Text(Sent(PK_BLOCK_DELETE)[0].payload, 17), "Troll");

    Tab(W::TAB_GUILD);
    // The master himself can be neither banished nor made master.
    Choose(0);
    Command(W::BTN_GUILD_BANISH);
    EXPECT_EQ(Box().Text(), Message(MSG_GUILD_MASTER_NOT_BANISH));
    EXPECT_EQ(C().PendingRequest(), 0);
    Box().SetResult(1);
    Frames(3);
    Command(W::BTN_GUILD_MASTER_CHANGE);
    EXPECT_EQ(Box().Text(), Message(MSG_GUILD_MASTER_NOT_CHANGE));
    Box().SetResult(1);
    Frames(3);

    Choose(1);
    Command(W::BTN_GUILD_BANISH);
    EXPECT_EQ(Box().Text(), FormatText(Message(MSG_GUILD_MEMBER_BANISH), "Mate"));
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_GUILD_BANISH));
    EXPECT_EQ(Text(Sent(PK_GUILD_BANISH)[0].payload, 17), "Mate");
    Command(W::BTN_GUILD_MASTER_CHANGE);
    EXPECT_EQ(Box().Text(), FormatText(Message(MSG_GUILD_MASTER_CHACNGE), "Mate"));
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_GUILD_MASTER_CHANGE));
    const std::vector<uint8_t> change = Sent(PK_GUILD_MASTER_CHANGE)[0].payload;
    EXPECT_EQ(Text(change, 17), "Mate");
    EXPECT_EQ(change[34], 77);

    Command(W::BTN_GUILD_LEAVE);
    EXPECT_EQ(Box().Text(), Message(MSG_GUILD_OUT_QUESTION));
    EXPECT_EQ(C().PendingRequest(), PK_GUILD_LEAVE);
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_GUILD_LEAVE));

    // Without a chosen member banishing asks nothing.
    Window().Members()->SetSelected(-1);
    Command(W::BTN_GUILD_BANISH);
    EXPECT_FALSE(Box().Visible());

    Command(W::BTN_CLOSE);
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_LOBBY);
    NoFailures();
}

TEST_F(CommunityFlow, CreatingAGuildChecksNameAndMoney) {
    LobbyPlayerSpec player;
    player.cra = 9999;
    Enter(player);
    Lobby()->Window()->PressCommand(CLobbyWindow::CMD_COMMUNITY);
    Frames(2);
    Tab(W::TAB_GUILD);
    EXPECT_FALSE(Window().ButtonAt(W::BTN_GUILD_CREATE)->HasFlags(UI_HIDDEN));
    Command(W::BTN_GUILD_CREATE);
    CCreateGuildWindow& create = *C().CreateGuild();
    ASSERT_FALSE(create.HasFlags(UI_HIDDEN));

    const struct {
        const char* name;
        int64_t cra;
        int entry;
    } cases[] = {
        {"ab", 50000, MSG_LOBBY_GUILD_FILTER_ERROR},
        {"badword", 50000, MSG_LOBBY_GUILD_FILTER_ERROR},
        {"Fine", 9999, MSG_OUTSHOP_DEFICIT_CRA},
        {"Fine", 10000, MSG_GUILD_CREATE},
    };
    for (const auto& c : cases) {
        Session().money = c.cra;
        create.Edit()->SetText(c.name);
        create.PressLatch(CCreateGuildWindow::LATCH_CREATE);
        Frames(2);
        EXPECT_EQ(Box().Text(), Message(c.entry)) << c.name << " " << c.cra;
        if (c.entry != MSG_GUILD_CREATE) {
            Box().SetResult(1);
            Frames(3);
        }
    }
    EXPECT_EQ(C().PendingRequest(), PK_GUILD_CREATE);
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_GUILD_CREATE));
    EXPECT_EQ(Sent(PK_GUILD_CREATE).size(), 1u);
    EXPECT_EQ(Text(Sent(PK_GUILD_CREATE)[0].payload, 17), "Fine");

    // The server made it: the player leads it and the guild tab asks for its data.
    game.Send(PK_GUILD_CREATE_RESULT, GuildInfoPayload(1, 0, 91, 2, "Fine", 0))
        .Expect(PK_GUILD_ROSTER_REQUEST)
        .Expect(PK_GUILD_DATA_REQUEST, [](const FakePacket& p) { EXPECT_EQ(p.payload[17], 91); });
    ASSERT_TRUE(RunUntil([&] { return game.WaitIdle(0); }));
    EXPECT_EQ(Sent(PK_GUILD_APPLICANTS_REQUEST).size(), 1u);
    EXPECT_TRUE(Session().isGuildMaster);
    EXPECT_EQ(Session().guildState, 2);
    EXPECT_TRUE(create.HasFlags(UI_HIDDEN));
    EXPECT_EQ(Window().CurrentTab(), W::TAB_GUILD);
    EXPECT_FALSE(Window().ButtonAt(W::BTN_APPLICANTS)->HasFlags(UI_HIDDEN));
    NoFailures();
}

TEST_F(CommunityFlow, AnswersUpdateTablesAndWindows) {
    EnterAsMaster();
    // A friend added: the table, a green line and the row.
    game.Send(PK_FRIEND_ADD_RESULT,
              NamedListAnswer(1, 0, "Newbie", FriendListBytes({{"Sleepy", 0}, {"Awake", 1}, {"Dozer", 0}, {"Newbie", 1}})));
    ASSERT_TRUE(RunUntil([&] { return Rows().size() == 4; }));
    EXPECT_EQ(Rows()[1], (Row{"Newbie", W::kOnline, ""}));
    CUiListBox* chat = Lobby()->Window()->ChatList();
    EXPECT_NE(chat->ItemAt(chat->ItemCount() - 1).text.find(FormatText(Message(MSG_FRIEND_ADD), "Newbie")),
              std::string::npos);

    // The applicants: a row makes the master's application button blink.
    game.Send(PK_GUILD_APPLICANTS, NameListPayload(1, {"", "Eager"}));
    ASSERT_TRUE(RunUntil([&] { return C().ApplicantNotice(); }));
    EXPECT_EQ(C().WaitList()->List()->ItemCount(), 1u);

    // The guild data, and accepting refused while the guild is full.
    game.Send(PK_GUILD_DATA, GuildDataPayload(SampleGuildData()));
    ASSERT_TRUE(RunUntil([&] { return C().GuildBlock().memberLimit == 38; }));
    EXPECT_EQ(C().GuildData()->Line(0)->GetText(), FormatText(Message(MSG_GUILD_UI_INFO_1), "Clan"));
    EXPECT_EQ(C().GuildData()->Line(2)->GetText(), FormatText(Message(MSG_GUILD_UI_INFO_3), 40));
    Tab(W::TAB_GUILD);
    Command(W::BTN_APPLICANTS);
    C().WaitList()->List()->SetSelected(0);
    C().WaitList()->PressLatch(CGuildWaitListWindow::LATCH_ACCEPT);
    Frames(2);
    EXPECT_EQ(Box().Text(), Message(MSG_GULID_NOT_ADD_MEMBER));
    EXPECT_TRUE(Sent(PK_GUILD_ACCEPT).empty());
    Box().SetResult(1);
    Frames(3);
    C().WaitList()->PressLatch(CGuildWaitListWindow::LATCH_REFUSE);
    ASSERT_TRUE(WaitSent(PK_GUILD_REFUSE));
    EXPECT_EQ(Text(Sent(PK_GUILD_REFUSE)[0].payload, 17), "Eager");

    // The master handed over: the buttons of a plain member.
    game.Send(PK_GUILD_MASTER_CHANGE_RESULT, NamedListAnswer(1, 0, "Mate", {}));
    ASSERT_TRUE(RunUntil([&] { return !Session().isGuildMaster; }));
    EXPECT_EQ(Session().guildMaster, "Mate");
    EXPECT_TRUE(Window().ButtonAt(W::BTN_APPLICANTS)->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(Window().ButtonAt(W::BTN_GUILD_LEAVE)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(C().WaitList()->HasFlags(UI_HIDDEN));

    // Out of the guild (3027, state 0): the roster is emptied, create and join show.
    game.Send(PK_GUILD_INFO, GuildInfoPayload(1, 0, 0, 0, "", 700));
    ASSERT_TRUE(RunUntil([&] { return Session().guildState == 0; }));
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Session().money, 700);
    EXPECT_FALSE(Window().ButtonAt(W::BTN_GUILD_CREATE)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Connected());
    NoFailures();
}

TEST_F(CommunityFlow, RefusalsWithTheirOwnMessageKeepTheLobby) {
    EnterAsMaster();
    const struct {
        uint16_t id;
        std::vector<uint8_t> payload;
        int entry;
    } cases[] = {
        {PK_GUILD_CREATE_RESULT, GuildInfoPayload(0, -2, 0, 0, "", 0), MSG_GUILD_DUF_GUILDNAME},
        {PK_GUILD_CREATE_RESULT, GuildInfoPayload(0, -3, 0, 0, "", 0), MSG_OUTSHOP_DEFICIT_CRA},
        {PK_GUILD_JOIN_RESULT, {0, uint8_t(-3), 0}, MSG_GUILD_IS_NOT_GUILD},
        {PK_GUILD_JOIN_RESULT, {0, uint8_t(-4), 0}, MSG_GUILD_IS_NOT_GUILD},
        {PK_GUILD_JOIN_RESULT, {0, uint8_t(-5), 0}, MSG_GUILD_JOIN_MAX},
        {PK_GUILD_ACCEPT_RESULT, CommunityAnswer(0, -2, std::vector<uint8_t>(17)), MSG_GUILD_NOT_JOIN_MEMBER},
        {PK_GUILD_ACCEPT_RESULT, CommunityAnswer(0, -3, std::vector<uint8_t>(17)), MSG_GULID_NOT_ADD_MEMBER},
        {PK_FRIEND_ADD_RESULT, NamedListAnswer(0, 41, "x", FriendListBytes({})), MSG_NOT_ADD_MEMBER},
        {PK_BLOCK_ADD_RESULT, NamedListAnswer(0, 42, "x", BlockListBytes({})), MSG_NOT_ADD_MEMBER},
    };
    for (const auto& c : cases) {
        game.Send(c.id, c.payload);
        ASSERT_TRUE(RunUntil([&] { return Box().Visible(); }, 600)) << c.id;
        EXPECT_EQ(Box().Text(), Message(c.entry)) << c.id;
        EXPECT_TRUE(Connected()) << c.id;
        Box().SetResult(1);
        Frames(3);
    }
    // The search found nothing: the search text in the message.
    Tab(W::TAB_GUILD);
    Session().guildState = 0;
    C().JoinGuild()->Edit()->SetText("Nowhere");
    C().JoinGuild()->Open();
    C().JoinGuild()->PressLatch(CJoinGuildWindow::LATCH_SEARCH);
    ASSERT_TRUE(WaitSent(PK_GUILD_SEARCH));
    EXPECT_EQ(Text(Sent(PK_GUILD_SEARCH)[0].payload, 0), "Nowhere");
    game.Send(PK_GUILD_SEARCH_RESULT, NameListPayload(1, {}));
    ASSERT_TRUE(RunUntil([&] { return Box().Visible(); }, 600));
    EXPECT_EQ(Box().Text(), FormatText(Message(MSG_GUILD_NOT_SEARCH), "Nowhere"));
    EXPECT_EQ(C().JoinGuild()->List()->ItemCount(), 0u);
    EXPECT_TRUE(Connected());
    NoFailures();
}

TEST_F(CommunityFlow, OtherRefusalsShowTheReasonThenThePopup) {
    EnterAsMaster();
    game.Send(PK_FRIEND_ADD_RESULT, NamedListAnswer(0, 9, "x", FriendListBytes({})));
    ASSERT_TRUE(RunUntil([&] { return !Connected(); }, 600));
    EXPECT_TRUE(Box().Visible());
}

TEST_F(CommunityFlow, HostileAnswersStayInBounds) {
    EnterAsMaster();
    std::vector<uint8_t> noNul = NameListPayload(1, {});
    std::fill(noNul.begin() + 2, noNul.end(), 'q');
    game.Send(PK_GUILD_APPLICANTS, noNul);
    std::vector<uint8_t> block(2 + GuildDataBlock::kBytes, 'z');
    block[0] = 1;
    game.Send(PK_GUILD_DATA, block);
    game.Send(PK_GUILD_INFO, GuildInfoPayload(1, 0, 77, 7, "Clan", 0));
    std::vector<uint8_t> unknown(21);
    std::copy_n("Stranger", 8, unknown.begin());
    unknown[17] = 1;
    game.Send(1061, unknown);
    ASSERT_TRUE(RunUntil([&] { return Session().guildState == 0 && C().GuildBlock().guildName.size() == 16; }, 600));
    EXPECT_EQ(C().WaitList()->List()->ItemCount(), 10u);
    EXPECT_EQ(std::string(C().WaitList()->List()->GetItemText(0)), std::string(16, 'q'));
    Tab(W::TAB_GUILD);
    EXPECT_FALSE(Window().ButtonAt(W::BTN_GUILD_CREATE)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Connected());

    // A join answer cut to its head ends the connection with the error popup.
    game.Send(PK_GUILD_JOIN_RESULT, {1, 0});
    ASSERT_TRUE(RunUntil([&] { return !Connected(); }, 600));
    NoFailures();
}

TEST_F(CommunityFlow, JoiningAGuildAndThePopupOfTheLists) {
    Enter();
    game.Send(PK_FRIEND_LIST, CommunityAnswer(1, 0, FriendListBytes({{"Pal", 1}})));
    ASSERT_TRUE(game.WaitIdle());
    ASSERT_TRUE(RunUntil([&] { return Session().community.FriendCount() == 1; }));
    Lobby()->Window()->PressCommand(CLobbyWindow::CMD_COMMUNITY);
    Frames(2);

    // A right click on a friend: whisper, delete and block.
    Choose(0);
    Frames(2);
    CConnecterPopup& popup = *Lobby()->Popup();
    ASSERT_FALSE(popup.HasFlags(UI_HIDDEN));
    ASSERT_EQ(popup.List().ItemCount(), 3u);
    EXPECT_EQ(popup.List().ItemAt(1).text, Message(MSG_POPUP_MENU_FRIEND_DELETE));

    Tab(W::TAB_GUILD);
    Command(W::BTN_GUILD_JOIN);
    CJoinGuildWindow& join = *C().JoinGuild();
    ASSERT_FALSE(join.HasFlags(UI_HIDDEN));
    join.Edit()->SetText("Clan");
    join.PressLatch(CJoinGuildWindow::LATCH_SEARCH);
    ASSERT_TRUE(WaitSent(PK_GUILD_SEARCH));
    game.Send(PK_GUILD_SEARCH_RESULT, NameListPayload(1, {"Clan", "", "Clans"}));
    ASSERT_TRUE(RunUntil([&] { return join.List()->ItemCount() == 2; }, 600));
    join.List()->SetSelected(1);
    join.PressLatch(CJoinGuildWindow::LATCH_JOIN);
    Frames(2);
    EXPECT_EQ(Box().Text(), FormatText(Message(MSG_GUILD_JOIN), "Clans"));
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_GUILD_JOIN));
    EXPECT_EQ(Text(Sent(PK_GUILD_JOIN)[0].payload, 17), "Clans");

    // Applied: the window goes, the withdraw button and the waiting text show.
    game.Send(PK_GUILD_JOIN_RESULT, {1, 0, 1});
    ASSERT_TRUE(RunUntil([&] { return Session().guildState == 1; }, 600));
    EXPECT_TRUE(join.HasFlags(UI_HIDDEN));
    EXPECT_FALSE(Window().ButtonAt(W::BTN_GUILD_JOIN_CANCEL)->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(Window().JoinWaitText()->HasFlags(UI_HIDDEN));
    Command(W::BTN_GUILD_JOIN_CANCEL);
    EXPECT_EQ(Box().Text(), Message(MSG_GUILD_JOIN_CANCEL));
    Box().SetResult(1);
    ASSERT_TRUE(WaitSent(PK_GUILD_JOIN_CANCEL));
    game.Send(PK_GUILD_JOIN_CANCEL_RESULT, {1, 0, 0});
    ASSERT_TRUE(RunUntil([&] { return Session().guildState == 0; }, 600));
    EXPECT_FALSE(Window().ButtonAt(W::BTN_GUILD_JOIN)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Window().JoinWaitText()->HasFlags(UI_HIDDEN));
    NoFailures();
}

}  // namespace
