// The lobby screen on the real client loop against the fake game server: the
// entry and the return, the room list, chat, making and joining rooms, the
// page and list-kind buttons, leaving for each next screen, the tutorial
// question, and refused or hostile answers.
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/TutorialProgress.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "platform/CodePage.h"
#include "platform/Input.h"
#include "platform/Registry.h"
#include "screens/game/OptionsWindow.h"
#include "screens/lobby/ChannelScreen.h"
#include "screens/lobby/ConnecterPopup.h"
#include "screens/lobby/HeroSelectScreen.h"
#include "screens/lobby/HeroSelectWindow.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LobbyWindow.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "screens/lobby/QuickJoinWindow.h"
#include "screens/lobby/RoomPasswordWindow.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "screens/lobby/WaitRoomWindow.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/screens/lobby/LobbyFlow.h"
#include "tests/servers/LobbyPackets.h"
#include "ui/UiSlider.h"
#include "tools/SampleGameData.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/ScriptManager.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

TEST_F(LobbyScreenFlow, EntryShowsRoomsPlayersAndKeepsAlive) {
    LobbyPlayerSpec player;
    player.cra = 5'000'000'000ll;
    player.guildState = 2;
    RoomListRecord locked = Room(9, "Secret", 1, 1);
    locked.lowestRank = 20;
    locked.highestRank = 40;
    Enter(player, {Room(4, "Beginners"), locked});

    ASSERT_EQ(enter.size(), kLobbyEnterSize);
    EXPECT_EQ(Text(enter, 0), "player");
    EXPECT_EQ(Text(enter, 51), "Hero");
    EXPECT_EQ(U16(enter, 68), 0);
    ASSERT_EQ(listRequests.size(), 1u);
    EXPECT_EQ(listRequests[0], (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(Session().money, 5'000'000'000ll);
    EXPECT_EQ(Session().player.GuildState(), 2);

    CLobbyWindow& w = *Lobby()->Window();
    EXPECT_TRUE(w.AllRoomsBox()->Checked());
    EXPECT_FALSE(w.WaitingRoomsBox()->Checked());
    EXPECT_EQ(w.Row(0).number->GetText(), "005");
    EXPECT_EQ(w.Row(0).title->GetText(), "Beginners");
    EXPECT_TRUE(w.Row(0).levelLimit->HasFlags(UI_HIDDEN));
    EXPECT_EQ(w.Row(1).levelLimit->GetText(), "Rk.20 ~ Rk.40");
    EXPECT_FALSE(w.Row(1).password->HasFlags(UI_HIDDEN));
    EXPECT_EQ(w.Row(1).mode->Image(), Lobby()->ModeIcon(1));
    EXPECT_EQ(w.Row(2).title->GetText(), GetMessageText(MSG_LOBBY_ROOM_SLOT_EMPTY));
    EXPECT_EQ(w.PageText()->GetText(), "1/99");
    EXPECT_EQ(w.ChatModeLabel()->GetText(), GetMessageText(MSG_CHAT_SEND_TO_ALL));
    EXPECT_EQ(w.ChatEdit()->ByteLimit(), 100);

    // The keep-alive left with the first frame and is answered by the player list.
    EXPECT_GE(Count(PK_LOBBY_USER_LIST_REQUEST), 1);
    ASSERT_TRUE(RunUntil([&] { return w.ConnecterList()->ItemCount() == 3; }));
    EXPECT_STREQ(w.ConnecterList()->GetItemText(0), "</C=ffcc00>Hero");
    // Ten seconds of the stepped clock later it goes again: the timer starts
    // over. Watched on the client, since the server sees the packet only some
    // frames later on a loaded machine.
    float timer = Lobby()->PacketLoop().KeepAliveTimer();
    ASSERT_TRUE(RunUntil([&] {
        const float now = Lobby()->PacketLoop().KeepAliveTimer();
        const bool restarted = now > timer;
        timer = now;
        return restarted;
    }));
    EXPECT_GT(timer, 9.0f);
    ASSERT_TRUE(RunUntil([&] { return Count(PK_LOBBY_USER_LIST_REQUEST) >= 2; }));
    NoFailures();
}

TEST_F(LobbyScreenFlow, KoreanChatGoesOutAndRelayedLinesShow) {
    Enter();
    CLobbyWindow& w = *Lobby()->Window();
    const std::string hello = Utf8ToCp949("안녕하세요 여러분");
    std::vector<uint8_t> sent;
    game.Expect(PK_LOBBY_CHAT, [&](const FakePacket& p) { sent = p.payload; });
    Tap(DIK_RETURN);  // Enter without focus only focuses the chat edit
    EXPECT_EQ(app->Ui().Focus(), w.ChatEdit());
    w.ChatEdit()->SetText(hello.c_str());
    Tap(DIK_RETURN);
    ASSERT_TRUE(game.WaitIdle());
    ASSERT_EQ(sent.size(), 18 + hello.size());
    EXPECT_EQ(Text(sent, 0), "Hero");
    EXPECT_EQ(Text(sent, 17), hello);
    EXPECT_STREQ(w.ChatEdit()->GetText(), "");

    // A blank line sends nothing: the next chat packet the server sees is the second line.
    w.ChatEdit()->SetText("   ");
    Tap(DIK_RETURN);
    game.Expect(PK_LOBBY_CHAT, [&](const FakePacket& p) { sent = p.payload; });
    w.ChatEdit()->SetText("ok");
    Tap(DIK_RETURN);
    ASSERT_TRUE(game.WaitIdle());
    EXPECT_EQ(Text(sent, 17), "ok");
    const std::string other = Utf8ToCp949("다른사람");
    game.Send(PK_LOBBY_CHAT, LobbyChatPayload(other, hello));
    ASSERT_TRUE(RunUntil([&] { return w.ChatList()->ItemCount() > 0; }));
    const CUiListBox::Item& line = w.ChatList()->ItemAt(w.ChatList()->ItemCount() - 1);
    EXPECT_EQ(line.text, "</C=ffffff>" + other + " : " + hello);
    NoFailures();
}

TEST_F(LobbyScreenFlow, MakeRoomSendsTheTypedSettingsAndLeavesOnSuccess) {
    Enter();
    std::vector<uint8_t> made;
    game.Expect(PK_MAKE_ROOM, [&](const FakePacket& p) { made = p.payload; })
        .Send(PK_MAKE_ROOM_RESULT, {1, 0, 17, 0});
    Press(CLobbyWindow::CMD_MAKEROOM);
    CMakeRoomWindow& make = *Lobby()->MakeRoom();
    ASSERT_FALSE(make.HasFlags(UI_HIDDEN));
    EXPECT_EQ(app->Ui().Focus(), make.TitleEdit());
    EXPECT_EQ(make.TitleEdit()->ByteLimit(), 30);
    EXPECT_EQ(make.LevelText()->GetText(), GetMessageText(MSG_LOBBY_NO_LIMIT_LEVEL));
    // Mode buttons stay within 0..1; the random-team box counts in mode 0 only.
    Click(&make, "ID_BUTTON_BEFORE2");
    EXPECT_EQ(make.Settings().Mode(), 0);
    Click(&make, "ID_BUTTON_NEXT");
    EXPECT_EQ(make.Settings().Choice(), 0);
    EXPECT_EQ(make.LevelText()->GetText(), "Rk.29 ~ Rk.31");
    make.RandomTeamBox()->SetChecked(true);
    const std::string title = Utf8ToCp949("초보방");
    make.TitleEdit()->SetText(title.c_str());
    make.PasswordEdit()->SetText("pw");
    Click(&make, "ID_BUTTON_OK");
    ASSERT_TRUE(RunUntil([&] { return Lobby() && Lobby()->Phase() == CLobbyScreen::PHASE_ROOM_JOINED; }))
        << ErrorReport().Text();
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    ASSERT_EQ(made.size(), kMakeRoomSize);
    EXPECT_EQ(std::memcmp(made.data(), title.c_str(), title.size() + 1), 0);
    EXPECT_EQ(Text(made, 31), "pw");
    EXPECT_EQ(U16(made, 44), 29);
    EXPECT_EQ(U16(made, 46), 31);
    EXPECT_EQ(made[56], 0);
    EXPECT_EQ(made[57], 1);
    EXPECT_EQ(Lobby()->NextCode(), CLobbyScreen::NEXT_ROOM_MADE);
    EXPECT_EQ(Session().roomNumber, 17);
    EXPECT_EQ(app->Bgm(), nullptr);
}

TEST_F(LobbyScreenFlow, MakeRoomRefusalsAndEscapeClosesOnlyTheWindow) {
    Enter();
    game.On(PK_MAKE_ROOM);
    CMakeRoomWindow& make = *Lobby()->MakeRoom();
    Press(CLobbyWindow::CMD_MAKEROOM);
    make.TitleEdit()->SetText("my badword room");
    Click(&make, "ID_BUTTON_OK");
    Frames(2);
    EXPECT_EQ(Box().Text(), GetMessageText(MSG_LOBBY_ROOMMAKE_FILTER_ERROR));
    Box().SetResult(1);
    Frames(2);
    EXPECT_EQ(app->Ui().Focus(), make.TitleEdit());
    // Versus machines on a machine below its figures: the shortfall, nothing sent.
    app->SetSystemFigures({256u * 1024, 3000, 1u << 18});
    make.TitleEdit()->SetText("fine");
    Click(&make, "ID_BUTTON_NEXT2");
    EXPECT_EQ(make.Settings().Mode(), 1);
    Click(&make, "ID_BUTTON_NEXT2");
    EXPECT_EQ(make.Settings().Mode(), 1);
    Click(&make, "ID_BUTTON_OK");
    Frames(2);
    EXPECT_TRUE(Box().Visible());
    EXPECT_NE(Box().Text(), "");
    Box().SetResult(1);
    Frames(2);
    Tap(DIK_ESCAPE);
    EXPECT_TRUE(make.HasFlags(UI_HIDDEN));
    EXPECT_STREQ(make.TitleEdit()->GetText(), "");
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_LOBBY);
    EXPECT_EQ(Count(PK_MAKE_ROOM), 0);
    NoFailures();
}

TEST_F(LobbyScreenFlow, HighRankCannotMakeARoomAndAFailedSendShowsThePopup) {
    Session().rankNumber = 60;
    Enter();
    Press(CLobbyWindow::CMD_MAKEROOM);
    EXPECT_TRUE(Lobby()->MakeRoom()->HasFlags(UI_HIDDEN));
    EXPECT_EQ(Box().Text(), GetMessageText(MSG_LOBBY_NOT_MAKEROOM_BADRANK));
    Box().SetResult(1);
    Frames(2);
    app->Net().Disconnect();
    Press(CLobbyWindow::CMD_SHOP);
    EXPECT_GE(Lobby()->Phase(), CScreen::kPhaseErrorPopup);
    EXPECT_NE(Lobby()->NextCode(), CLobbyScreen::NEXT_MARKET);
}

TEST_F(LobbyScreenFlow, LockedRoomAsksItsPasswordAndRefusalsRetryOrClose) {
    Enter({}, {Room(4, "Open"), Room(7, "Locked", 1)});
    CLobbyWindow& w = *Lobby()->Window();
    CRoomPasswordWindow& pass = *Lobby()->Password();
    std::vector<uint8_t> join;
    game.Expect(PK_JOIN_ROOM, [&](const FakePacket& p) { join = p.payload; })
        .Send(PK_JOIN_ROOM_RESULT, {0, 52})
        .Expect(PK_JOIN_ROOM)
        .Send(PK_JOIN_ROOM_RESULT, {0, 33});  // the room is gone
    w.SelectRow(1);
    Press(CLobbyWindow::CMD_JOIN);
    ASSERT_FALSE(pass.HasFlags(UI_HIDDEN));
    EXPECT_EQ(app->Ui().Focus(), pass.Edit());
    pass.Edit()->SetText("sesame");
    Click(&pass, "ID_BUTTON_ACCEPT");
    ASSERT_TRUE(RunUntil([&] { return Box().Visible(); }));
    ASSERT_EQ(join.size(), kJoinRoomSize);
    EXPECT_EQ(U16(join, 0), 7);
    EXPECT_EQ(Text(join, 2), "sesame");
    // Any reason but a vanished room: the edit is emptied for another try.
    Box().SetResult(1);
    Frames(2);
    EXPECT_FALSE(pass.HasFlags(UI_HIDDEN));
    EXPECT_STREQ(pass.Edit()->GetText(), "");
    EXPECT_EQ(app->Ui().Focus(), pass.Edit());
    pass.Edit()->SetText("again");
    Click(&pass, "ID_BUTTON_ACCEPT");
    ASSERT_TRUE(RunUntil([&] { return Box().Visible(); }));
    EXPECT_EQ(Box().Text(), GetMessageText(MSG_LOBBY_GAMEROOM_NOT_EXIST));
    Box().SetResult(1);
    Frames(2);
    EXPECT_TRUE(pass.HasFlags(UI_HIDDEN));
    NoFailures();
}

TEST_F(LobbyScreenFlow, JoinAndQuickJoinAnswers) {
    Enter({}, {Room(4, "Open")});
    CLobbyWindow& w = *Lobby()->Window();
    std::vector<uint8_t> quick;
    game.Expect(PK_QUICK_JOIN, [&](const FakePacket& p) { quick = p.payload; })
        .Send(PK_QUICK_JOIN_RESULT, {0, 52, 0, 0});
    Press(CLobbyWindow::CMD_QUICKJOIN);
    CQuickJoinWindow& qj = *Lobby()->QuickJoinWnd();
    ASSERT_FALSE(qj.HasFlags(UI_HIDDEN));
    Click(&qj, "ID_BUTTON_NEXT");
    Click(&qj, "ID_BUTTON_NEXT");
    EXPECT_EQ(qj.Settings().Choice(), 0);
    EXPECT_EQ(qj.LevelText()->GetText(), GetMessageText(MSG_LOBBY_LIMIT_LEVEL_MESSAGE1));
    Click(&qj, "ID_BUTTON_JOIN");
    ASSERT_TRUE(RunUntil([&] { return Box().Visible(); }));
    // A refused quick join closes its window.
    EXPECT_TRUE(qj.HasFlags(UI_HIDDEN));
    ASSERT_EQ(quick.size(), kQuickJoinSize);
    EXPECT_EQ(U16(quick, 0), 1);
    Box().SetResult(1);
    Frames(2);

    std::vector<uint8_t> join;
    game.Expect(PK_JOIN_ROOM, [&](const FakePacket& p) { join = p.payload; }).Send(PK_JOIN_ROOM_RESULT, {1, 0});
    w.OnLButtonDoubleClick(w.Row(0).bar);
    ASSERT_TRUE(RunUntil([&] { return Lobby()->Phase() == CLobbyScreen::PHASE_ROOM_JOINED; }));
    EXPECT_EQ(Text(join, 2), "");
    EXPECT_EQ(Session().roomNumber, 4);
    EXPECT_EQ(Lobby()->NextCode(), CLobbyScreen::NEXT_ROOM_JOINED);
    NoFailures();
}

TEST_F(LobbyScreenFlow, OptionsOpenOverTheirBackdropAndSaveWhenClosed) {
    Enter();
    CLobbyOptions& options = Lobby()->OptionsView();
    ASSERT_NE(options.Window(), nullptr);
    EXPECT_FALSE(options.Shown());
    Press(CLobbyWindow::CMD_OPTION);
    ASSERT_TRUE(options.Shown());
    EXPECT_FALSE(options.Backdrop()->HasFlags(UI_HIDDEN));
    // A change takes effect at once; the lobby waits while the window is up.
    COptionsWindow& w = *options.Window();
    w.Slider(COptionsWindow::SLIDER_SOUND2)->SetPosition(70);
    Frames(2);
    EXPECT_FLOAT_EQ(app->Options().streamVolume, 0.7f);
    Click(&w, "ID_BUTTON_CLOSE");
    Frames(2);
    EXPECT_FALSE(options.Shown());
    EXPECT_TRUE(options.Backdrop()->HasFlags(UI_HIDDEN));
    EXPECT_EQ(TheRegistry().GetString(kOptionsKeyPath, "StreamVolume").value_or(""), "0.700");

    // Escape closes it too, and leaves the lobby where it is.
    Press(CLobbyWindow::CMD_OPTION);
    ASSERT_TRUE(options.Shown());
    input->SetKey(DIK_ESCAPE, true);
    Frames(1);
    input->SetKey(DIK_ESCAPE, false);
    Frames(2);
    EXPECT_FALSE(options.Shown());
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_LOBBY);
    NoFailures();
}

TEST_F(LobbyScreenFlow, PageButtonsKeepTheirBoundsAndCoolDown) {
    Enter();
    CLobbyWindow& w = *Lobby()->Window();
    game.Expect(PK_ROOM_LIST_REQUEST, [this](const FakePacket& p) { listRequests.push_back(p.payload); })
        .Send(PK_ROOM_LIST, RoomListPayload({}))
        .Expect(PK_ROOM_LIST_REQUEST, [this](const FakePacket& p) { listRequests.push_back(p.payload); })
        .Send(PK_ROOM_LIST, RoomListPayload({}));
    Press(CLobbyWindow::CMD_BEFORE);  // page 0
    Press(CLobbyWindow::CMD_NEXT);
    // Judged before waiting for the server: the frames that wait run the
    // stepped clock on, as far as the server thread takes to answer.
    EXPECT_FALSE(Lobby()->Pager().PageButtonsEnabled());
    Press(CLobbyWindow::CMD_NEXT);  // within the cool-down
    EXPECT_EQ(Lobby()->Pager().CurrentPage(), 1);
    ASSERT_TRUE(RunUntil([&] { return listRequests.size() == 2; }));
    EXPECT_EQ(listRequests[1], (std::vector<uint8_t>{0, 0, 1, 0}));
    // The waiting list, at its own page 0.
    w.OnLButtonClick(w.WaitingRoomsBox());
    ASSERT_TRUE(RunUntil([&] { return listRequests.size() == 3; }));
    EXPECT_EQ(listRequests[2], (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_TRUE(w.WaitingRoomsBox()->Checked());
    EXPECT_FALSE(w.AllRoomsBox()->Checked());
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
}

TEST_F(LobbyScreenFlow, ConnecterPopupReachesTheRealName) {
    Enter();
    CLobbyWindow& w = *Lobby()->Window();
    ASSERT_TRUE(RunUntil([&] { return w.ConnecterList()->ItemCount() == 3; }));
    // The own row offers no popup; an operator's row loses its colour tag.
    w.ChooseConnecter(0, "Hero");
    EXPECT_EQ(w.TakePopupRequest(), 0);
    w.ChooseConnecter(1, "Hero");
    EXPECT_EQ(w.ChosenName(), "[GM]Op");
    w.ChooseConnecter(2, "Hero");
    Frames(2);
    CConnecterPopup& popup = *Lobby()->Popup();
    ASSERT_FALSE(popup.HasFlags(UI_HIDDEN));
    EXPECT_EQ(popup.List().ItemCount(), 3u);

    std::vector<uint8_t> added;
    game.Expect(PK_FRIEND_ADD, [&](const FakePacket& p) { added = p.payload; });
    popup.List().SetSelected(CConnecterPopup::ITEM_FRIEND);
    popup.OnLButtonClick(&popup.List());
    input->SetButton(0, true);
    Frames(1);
    input->SetButton(0, false);
    Frames(2);
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    EXPECT_TRUE(popup.HasFlags(UI_HIDDEN));
    EXPECT_EQ(Text(added, 0), "Hero");
    EXPECT_EQ(Text(added, 17), "Friendly");
}

TEST_F(LobbyScreenFlow, ReturnAsksForTheRoomListAndShowsTheBanOnce) {
    Session().returnedToLobby = true;
    Session().banNotice = true;
    game.Expect(PK_ROOM_LIST_REQUEST).Send(PK_ROOM_LIST, RoomListPayload({Room(1, "Again")}));
    ASSERT_TRUE(RunUntil([&] { return InLobby(); }));
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    EXPECT_EQ(Count(PK_LOBBY_ENTER), 0);
    EXPECT_FALSE(Session().returnedToLobby);
    EXPECT_FALSE(Session().banNotice);
    CUiListBox& chat = *Lobby()->Window()->ChatList();
    ASSERT_EQ(chat.ItemCount(), 1u);
    EXPECT_EQ(chat.ItemAt(0).text, std::string("</C=ff0000>") + GetMessageText(MSG_LOBBY_BAN));
}

TEST_F(LobbyScreenFlow, EscapeGoesBackToTheChannelsWithTheMusicOn) {
    Enter();
    ASSERT_NE(app->Bgm(), nullptr);
    const char address[] = "127.0.0.1";
    std::memcpy(Session().serverInfo + CClientSession::kServerInfoAddressOffset, address, sizeof(address));
    Tap(DIK_ESCAPE);
    CChannelScreen* channels = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (channels = CurrentAs<CChannelScreen>()) != nullptr; }));
    game.Accept().SendAuthKey(0xBEEFu).ExpectEnterServer(nullptr).SendResult(PK_ENTER_SERVER_RESULT, 1, 0, 2);
    EXPECT_TRUE(Session().returnedToLobby);
    EXPECT_TRUE(Session().returning);
    EXPECT_NE(app->Bgm(), nullptr);
    // Back on the game server, the channel names are drawn again after the
    // screen's fade (which hid them).
    ASSERT_TRUE(RunUntil([&] { return channels->Phase() == CChannelScreen::PHASE_CHOOSING; }))
        << ErrorReport().Text();
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    EXPECT_EQ(channels->Window()->RowStatic(0)->TextColour().a, 1.0f);
}

TEST_F(LobbyScreenFlow, ExitQuestionCancelStaysAndOkQuits) {
    Enter();
    game.Expect(PK_LOBBY_QUIT).Send(PK_LOBBY_QUIT_RESULT, {1});
    Press(CLobbyWindow::CMD_EXIT);
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_EXIT_QUESTION);
    Box().SetResult(0);
    Frames(2);
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_LOBBY);
    Press(CLobbyWindow::CMD_EXIT);
    Box().SetResult(1);
    ASSERT_TRUE(RunUntil([&] { return Current() == nullptr || app->IsQuitting(); }));
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
}

TEST_F(LobbyScreenFlow, TutorialQuestionCancelIsSavedAndOkStartsTheTutorial) {
    LobbyPlayerSpec fresh;
    fresh.tutorialDone = 0;
    Enter(fresh);
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_TUTORIAL_QUESTION);
    EXPECT_EQ(Box().Text(), GetMessageText(MSG_LOBBY_IS_TUTORIAL));
    Box().SetResult(0);
    Frames(2);
    EXPECT_EQ(Lobby()->Phase(), CLobbyScreen::PHASE_LOBBY);
    EXPECT_EQ(Session().tutorialCancel, 1);
    CTutorialProgress saved;
    ASSERT_EQ(saved.LoadTutorialCancel("Hero"), 1);
    EXPECT_EQ(saved.TutorialCancel(), 1);

    game.Expect(PK_TUTORIAL_START);
    Press(CLobbyWindow::CMD_TUTORIAL);
    ASSERT_TRUE(RunUntil([&] { return Lobby() && Lobby()->Phase() == CLobbyScreen::PHASE_ROOM_JOINED; }));
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    EXPECT_EQ(Lobby()->NextCode(), CLobbyScreen::NEXT_LOADING);
    ASSERT_NE(g_pScriptManager, nullptr);
    EXPECT_FALSE(g_pScriptManager->Missions().empty());
    EXPECT_EQ(Session().slots[0].heroId, NameHash(g_pScriptManager->HeroName()));
    EXPECT_FALSE(Session().mapFile.empty());
}

// The lobby with the real waiting room and hero select behind it.
class PracticePath : public LobbyScreenFlow {
protected:
    static inline int s_loadings = 0;
    void SetUp() override {
        s_loadings = 0;
        SetWaitRoomScreenMaker(&NewWaitRoomScreen);
        SetLoadingScreenMaker([]() -> CScreen* {
            ++s_loadings;
            return new CScriptedScreen("Loading", nullptr, {});
        });
        LobbyScreenFlow::SetUp();
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    }
    void TearDown() override {
        SetLoadingScreenMaker(nullptr);
        SetWaitRoomScreenMaker(nullptr);
        LobbyScreenFlow::TearDown();
    }
};

TEST_F(PracticePath, PracticeGoesThroughItsOwnRoomAndHeroSelectToTheLoadingScreen) {
    Enter();
    // A map left from an earlier room that the playable list does not hold.
    Session().room.SetMapId(999);
    game.Expect(PK_PRACTICE_START);
    Press(CLobbyWindow::CMD_PRACTICE);
    CWaitRoomScreen* room = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        room = CurrentAs<CWaitRoomScreen>();
        return room && room->Phase() == CWaitRoomScreen::PHASE_ROOM && Session().room.MemberNickname(0) == "Hero";
    })) << ErrorReport().Text();
    EXPECT_TRUE(room->Practice());
    EXPECT_EQ(Session().room.HostSlotIndex(), 0);
    EXPECT_EQ(room->Window()->RoomTitle()->GetText(), GetMessageText(MSG_WAITROOM_PRACTICE_MODE));
    EXPECT_EQ(g_pWorldObjectManager->gameMode, 0);

    room->Window()->PressCommand(CWaitRoomWindow::CMD_START);
    CHeroSelectScreen* hero = UntilHeroPicking();
    ASSERT_NE(hero, nullptr) << ErrorReport().Text();
    EXPECT_EQ(g_pWorldObjectManager->gameMode, 1);
    EXPECT_FALSE(Session().mapFile.empty());
    ASSERT_FALSE(hero->HeroList(hero->Window()->RaceTab()).empty());
    const uint32_t chosen = hero->HeroList(hero->Window()->RaceTab())[0].record->id;
    hero->Window()->PressHero(0);
    Frames(2);
    hero->Window()->PressCommand(CHeroSelectWindow::FLAG_OK);
    ASSERT_TRUE(RunUntil([&] { return s_loadings == 1; })) << ErrorReport().Text();
    EXPECT_EQ(Session().slots[0].heroId, chosen);
    // The practice start is all the server hears: the room and the pick stay local.
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    int sentAfterStart = 0;
    bool started = false;
    for (const FakePacket& p : game.Received()) {
        if (started && p.id != PK_LOBBY_USER_LIST_REQUEST) ++sentAfterStart;
        started = started || p.id == PK_PRACTICE_START;
    }
    EXPECT_TRUE(started);
    EXPECT_EQ(sentAfterStart, 0);
}

TEST_F(LobbyScreenFlow, CutEntryAnswerEndsInThePopup) {
    game.Expect(PK_LOBBY_ENTER).Send(PK_LOBBY_ENTER_RESULT, std::vector<uint8_t>(10, 1));
    ASSERT_TRUE(RunUntil([&] { return Lobby() && Lobby()->Phase() >= CScreen::kPhaseErrorPopup; }));
    EXPECT_TRUE(Box().Visible());
}

}  // namespace
