// The waiting room and hero select on the real client loop against the fake
// game server: a room from 1007, chat, start, a hero pick and the loading
// screen; the room's rules for guests and practice rooms; refused answers.
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "net/ByteReader.h"
#include "net/MessageIds.h"
#include "platform/CodePage.h"
#include "platform/Input.h"
#include "screens/game/PlayResources.h"
#include "screens/lobby/HeroSelectScreen.h"
#include "screens/lobby/WaitRoomPopup.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/RoomPackets.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiComboBox.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"
#include "tools/SampleGameData.h"
#include "world/GameDataRegistry.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

// The lobby fixture's client and game server, with the waiting room as the
// first screen and the session already in the room.
class WaitRoomFlow : public LobbyFixture {
protected:
    static inline int s_loadings = 0;
    static inline int s_lobbies = 0;
    void SetUp() override {
        AppFixture::SetUp();
        const SampleProtocolTables t = MakeSampleProtocolTables();
        ASSERT_EQ(tables.Set(t.permutation, t.experience), 1);
        s_loadings = s_lobbies = 0;
        SetLoginScreenMaker([]() -> CScreen* { return new CScriptedScreen("Login", nullptr, {}); });
        SetLobbyScreenMaker([]() -> CScreen* {
            ++s_lobbies;
            return new CScriptedScreen("Lobby", nullptr, {});
        });
        SetLoadingScreenMaker([]() -> CScreen* {
            ++s_loadings;
            return new CScriptedScreen("Loading", nullptr, {});
        });
        SetWaitRoomScreenMaker(&NewWaitRoomScreen);
        MakeApp();
        app->SetFirstScreenMaker([] { return NewWaitRoomScreen(); });
        ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
        // The start-up screens load the game data; this test begins after them.
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
        Session().nickname = "me";
        Session().ownEntry.SetNickname("me");
        Session().roomNumber = 7;
        ASSERT_EQ(app->Net().Connect(game.Host(), game.Port()), 1) << ErrorReport().Text();
    }
    void TearDown() override {
        SetLoadingScreenMaker(nullptr);
        SetWaitRoomScreenMaker(nullptr);
        SetLoginScreenMaker(nullptr);
        LobbyFixture::TearDown();
    }
    // The room screen once it shows the record the server sent.
    CWaitRoomScreen* Room() {
        CWaitRoomScreen* room = nullptr;
        EXPECT_TRUE(RunUntil([&] {
            room = CurrentAs<CWaitRoomScreen>();
            return room && room->Phase() == CWaitRoomScreen::PHASE_ROOM && Session().room.MemberNickname(0) != "" &&
                   room->Window()->Row(0).nick->GetText() != "";
        }));
        return room;
    }
    void NoFailures() {
        for (const std::string& f : game.Failures()) ADD_FAILURE() << f;
    }
    std::vector<std::string> ChatLines(CUiListBox* list) {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < list->ItemCount(); ++i) out.push_back(list->ItemAt(i).text);
        return out;
    }
};

std::vector<uint8_t> StartAnswer(uint8_t ok, uint16_t mapId) {
    return {ok, 0, static_cast<uint8_t>(mapId), static_cast<uint8_t>(mapId >> 8)};
}

TEST_F(WaitRoomFlow, HostStartsPicksAHeroAndTheLoadingScreenFollows) {
    RoomSpec spec;
    spec.number = 7;
    spec.mapId = 1;  // the sample map of list 0
    spec.Seat(0, "me").Seat(6, "mate", true);
    const std::string korean = Utf8ToCp949("준비 완료");
    std::vector<uint8_t> chat, pick;
    const uint32_t nightBlade = NameHash("Night Blade");
    std::array<uint32_t, 12> final{};
    final[0] = nightBlade;
    final[6] = 1;
    std::array<uint8_t, 12> levels{};
    levels[0] = 3;
    game.Accept()
        .Send(PK_ROOM_INFO, RoomInfoPayload(spec))
        .Expect(PK_CHAT_LINE, [&](const FakePacket& p) { chat = p.payload; })
        .Expect(PK_GAME_START)
        .Send(PK_GAME_START_RESULT, StartAnswer(1, 1))
        .Expect(PK_HERO_PICK, [&](const FakePacket& p) { pick = p.payload; })
        .SendResult(PK_HERO_PICK_RESULT, 1, 0, 2)
        .Send(PK_HERO_FINAL, HeroChoicesPayload(final, levels));

    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr) << ErrorReport().Text();
    CWaitRoomWindow& w = *room->Window();
    EXPECT_EQ(w.Row(0).nick->GetText(), "</C=ffcc00>me</>");
    EXPECT_EQ(w.Row(6).nick->GetText(), "mate");
    EXPECT_EQ(w.Row(6).ready->GetText(), GetMessageText(MSG_WAITROOM_SLOT_STATUS_READY));
    EXPECT_EQ(w.Row(0).ready->GetText(), GetMessageText(MSG_WAITROOM_SLOT_STATUS_HOST));
    EXPECT_FALSE(w.StartButton()->HasFlags(UI_HIDDEN));
    EXPECT_EQ(g_pWorldObjectManager->host, 1u);
    EXPECT_EQ(room->GuardianChoices().size(), 5u);

    w.ChatEdit()->SetText(korean.c_str());
    input->SetKey(DIK_RETURN, true);
    app->RenderStep();
    input->SetKey(DIK_RETURN, false);
    Frames(3);
    w.PressCommand(CWaitRoomWindow::CMD_START);
    ASSERT_TRUE(RunUntil([&] { return CurrentAs<CHeroSelectScreen>() != nullptr; })) << ErrorReport().Text();
    EXPECT_EQ(Session().mapId, 1u);
    ASSERT_EQ(chat.size(), 20 + korean.size());
    EXPECT_EQ(chat[0] | (chat[1] << 8), 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&chat[2])), "me");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&chat[19])), korean);

    CHeroSelectScreen* hero = UntilHeroPicking();
    ASSERT_NE(hero, nullptr) << ErrorReport().Text();
    EXPECT_EQ(hero->Side(), 0);
    ASSERT_FALSE(hero->HeroList(1).empty());  // the vampires of side 0
    hero->Window()->PressHero(0);
    Frames(2);
    EXPECT_EQ(hero->SelectedIndex(), 0);
    // The detail panel names the hero's class and race with their icons.
    for (CUiStatic* icon : {hero->Window()->ClassIcon(), hero->Window()->RaceIcon()}) {
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(icon->HasFlags(UI_HIDDEN));
        EXPECT_NE(icon->Image(), nullptr);
    }
    EXPECT_FALSE(hero->Glide().Settled());
    // The picked hero's model shows in the detail static through the preview's own target.
    EXPECT_EQ(hero->Preview().ModelName(), "SAMPLE.DRC");
    EXPECT_EQ(hero->Window()->Detail()->Image(), hero->Preview().View().Target());
    EXPECT_FALSE(hero->Window()->Detail()->HasFlags(UI_HIDDEN));
    hero->Window()->PressCommand(CHeroSelectWindow::FLAG_OK);
    ASSERT_TRUE(RunUntil([&] { return s_loadings == 1; })) << ErrorReport().Text();
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    ASSERT_EQ(pick.size(), 6u);
    EXPECT_EQ(pick[0] | (pick[1] << 8), 0);
    EXPECT_EQ(RoomRecord::I32(&pick[2]), static_cast<int32_t>(nightBlade));
    EXPECT_EQ(Session().slots[0].heroId, nightBlade);
    EXPECT_EQ(Session().slots[0].cardLevel, 3u);
}

TEST_F(WaitRoomFlow, AReadyGuestCanNeitherLeaveNorChangeTeamNorShop) {
    RoomSpec spec;
    spec.mapId = 1;
    spec.Seat(0, "host").Seat(6, "me", true);
    game.Accept().Send(PK_ROOM_INFO, RoomInfoPayload(spec)).Expect(PK_ROOM_READY_TOGGLE).Send(PK_ROOM_READY_TOGGLE);
    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr);
    CWaitRoomWindow& w = *room->Window();
    EXPECT_TRUE(w.StartButton()->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(w.StartCheck()->Checked());
    w.PressCommand(CWaitRoomWindow::CMD_QUIT);
    Frames(2);
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_WAITROOM_NOT_EXIT));
    app->MessageBox().HideBox();
    w.PressCommand(CWaitRoomWindow::CMD_CHANGETEAM);
    Frames(2);
    w.PressCommand(CWaitRoomWindow::CMD_MARKET);
    Frames(2);
    const std::vector<std::string> lines = ChatLines(w.ChatList());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[lines.size() - 2].find(GetMessageText(MSG_WAITROOM_NO_CHANGE_TEAM)), std::string::npos);
    EXPECT_NE(lines.back().find(GetMessageText(MSG_WAITROOM_NOT_ENTER_SHOP)), std::string::npos);
    // Start for a guest is the ready toggle.
    w.PressCommand(CWaitRoomWindow::CMD_START);
    ASSERT_TRUE(RunUntil([&] { return game.Received().size() == 1; }));
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    EXPECT_EQ(CurrentAs<CWaitRoomScreen>(), room);
}

struct RefusalCase {
    const char* what;
    uint16_t answer;
    std::vector<uint8_t> payload;
    bool popup;
};

class WaitRoomRefusal : public WaitRoomFlow, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(WaitRoomRefusal, EndsInThePopupOrOnlyInTheBox) {
    const RefusalCase& c = GetParam();
    RoomSpec spec;
    spec.mapId = 1;
    spec.Seat(0, "me");
    game.Accept().Send(PK_ROOM_INFO, RoomInfoPayload(spec)).Send(c.answer, c.payload);
    CWaitRoomScreen* room = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        room = CurrentAs<CWaitRoomScreen>();
        return room && (room->Phase() >= CScreen::kPhaseErrorPopup || !app->MessageBox().Text().empty());
    }));
    EXPECT_EQ(room->Phase() >= CScreen::kPhaseErrorPopup, c.popup);
    EXPECT_FALSE(app->MessageBox().Text().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WaitRoomRefusal,
    ::testing::Values(RefusalCase{"StartWithoutAMap", PK_GAME_START_RESULT, StartAnswer(1, 0), true},
                      RefusalCase{"StartOnAnUnknownMap", PK_GAME_START_RESULT, StartAnswer(1, 99), true},
                      RefusalCase{"StartAnswerCutShort", PK_GAME_START_RESULT, {1, 0, 1}, true},
                      RefusalCase{"LeaveRefused", PK_LEAVE_ROOM_RESULT, {0, 5}, true},
                      RefusalCase{"TeamChangeRefused", PK_ROOM_TEAM_CHANGE_RESULT, {0, 5}, false},
                      RefusalCase{"SettingsRefused", PK_ROOM_CHANGE_RESULT, {0, 5}, false}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.what); });

TEST_F(WaitRoomFlow, HostileRoomRecordIsShownSafely) {
    RoomSpec spec;
    spec.mapId = 1;
    spec.hostSlot = 200;
    spec.memberLimit = -5;
    spec.guardianChoice = 99;
    spec.Seat(0, "me", false, 0).Seat(1, "big", false, 1000);
    spec.slots[2].state = 9;
    game.Accept().Send(PK_ROOM_INFO, RoomInfoPayload(spec));
    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr);
    CWaitRoomWindow& w = *room->Window();
    EXPECT_EQ(g_pWorldObjectManager->host, 0u);
    EXPECT_TRUE(w.StartButton()->HasFlags(UI_HIDDEN));
    EXPECT_EQ(w.Row(2).ready->GetText(), GetMessageText(MSG_WAITROOM_OPEN_SLOT));
    EXPECT_EQ(w.GuardianCombo()->Selected(), -1);
    EXPECT_NE(w.Row(1).rank->GetText().find("100"), std::string::npos);
}

TEST_F(WaitRoomFlow, PracticeRoomRunsLocallyAndLeavesWithOneNotice) {
    g_pWorldObjectManager->practiceGame = 1;
    g_pWorldObjectManager->localSlot = 0;
    Session().room.SetMapId(1);
    std::vector<uint8_t> notice;
    game.Accept().Expect(PK_PRACTICE_ROOM_LEAVE, [&](const FakePacket& p) { notice = p.payload; });
    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr) << ErrorReport().Text();
    EXPECT_TRUE(room->Practice());
    EXPECT_EQ(Session().room.HostSlotIndex(), 0);
    CWaitRoomWindow& w = *room->Window();
    EXPECT_EQ(w.RoomTitle()->GetText(), GetMessageText(MSG_WAITROOM_PRACTICE_MODE));
    w.PressCommand(CWaitRoomWindow::CMD_CHANGETEAM);
    Frames(2);
    EXPECT_EQ(Session().room.MemberNickname(6), "me");
    EXPECT_EQ(Session().room.MemberNickname(0), "");
    w.PressCommand(CWaitRoomWindow::CMD_QUIT);
    ASSERT_TRUE(RunUntil([&] { return s_lobbies == 1; }));
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    EXPECT_EQ(notice, std::vector<uint8_t>(4, 0));
    EXPECT_EQ(game.Received().size(), 1u);
    EXPECT_TRUE(Session().returnedToLobby);
}

// A practice match's hero select starts on the tab's first hero, its
// model already in the preview: a click on that hero changes nothing.
TEST_F(WaitRoomFlow, PracticeHeroSelectShowsTheFirstHeroAtOnce) {
    g_pWorldObjectManager->practiceGame = 1;
    g_pWorldObjectManager->localSlot = 0;
    Session().room.SetMapId(1);
    game.Accept();
    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr) << ErrorReport().Text();
    room->Window()->PressCommand(CWaitRoomWindow::CMD_START);
    CHeroSelectScreen* hero = UntilHeroPicking();
    ASSERT_NE(hero, nullptr) << ErrorReport().Text();
    EXPECT_EQ(hero->SelectedIndex(), 0);
    EXPECT_EQ(hero->Preview().ModelName(), "SAMPLE.DRC");
    EXPECT_EQ(hero->Window()->Detail()->Image(), hero->Preview().View().Target());
    EXPECT_FALSE(hero->Window()->Detail()->HasFlags(UI_HIDDEN));
    const CUnitData* picked = hero->HeroList(hero->SelectedRace())[0].record;
    EXPECT_EQ(hero->Window()->HeroName()->GetText(), "Lv20 " + picked->name);
    // Picked, the own row names the hero's race from the game's race names.
    hero->Window()->PressCommand(CHeroSelectWindow::FLAG_OK);
    Frames(1);
    const CUiStatic* race = hero->Window()->Row(0).raceName;
    ASSERT_NE(race, nullptr);
    EXPECT_FALSE(race->HasFlags(UI_HIDDEN));
    EXPECT_EQ(race->GetText(), CPlayResources::ListEntry(g_pPlayResources->raceNames,
                                                         CPlayResources::RaceIndex(picked->flags)));
}

TEST_F(WaitRoomFlow, HeroSelectRefusalsAndCancel) {
    RoomSpec spec;
    spec.mapId = 1;
    spec.Seat(0, "me").Seat(1, "friend");
    const uint32_t moonHowler = NameHash("Moon Howler");
    const uint32_t starSage = NameHash("Star Sage");
    std::array<uint32_t, 12> choices{};
    choices[1] = starSage;
    std::array<uint32_t, 12> unknown{};
    unknown[1] = 0xDEADBEEFu;
    std::array<uint8_t, 12> levels{};
    levels[1] = 5;
    game.Accept()
        .Send(PK_ROOM_INFO, RoomInfoPayload(spec))
        .Expect(PK_GAME_START)
        .Send(PK_GAME_START_RESULT, StartAnswer(1, 1))
        // Hostile ones first: a hero nobody knows, a slot outside the room.
        .Send(PK_HERO_CHOICES, HeroChoicesPayload(unknown))
        .Send(PK_PLAYER_OUT, {40, 0})
        .Send(PK_HERO_CHOICES, HeroChoicesPayload(choices, levels))
        .Expect(PK_HERO_PICK)
        .SendResult(PK_HERO_PICK_RESULT, 0, 7, 2)
        .Send(PK_HERO_SELECT_CANCELLED, {0, 0, 0, 0});
    spec.slots[1].ready = 1;
    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr);
    // The guest is not ready: the host's start is refused locally first.
    room->Window()->PressCommand(CWaitRoomWindow::CMD_START);
    Frames(2);
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_WAITROOM_NOT_READY));
    app->MessageBox().HideBox();
    Session().room.Slot(1)[2] = 1;
    // Uneven teams in mode 0 are the next refusal; make them even.
    Session().room.Slot(7)[0] = RoomRecord::kOccupied;
    Session().room.Slot(7)[2] = 1;
    Session().room.Slot(6)[0] = RoomRecord::kOccupied;
    Session().room.Slot(6)[2] = 1;
    room->Window()->PressCommand(CWaitRoomWindow::CMD_START);
    CHeroSelectScreen* hero = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        hero = CurrentAs<CHeroSelectScreen>();
        return hero && hero->Phase() == CHeroSelectScreen::PHASE_PICKING && hero->HeroChoices()[1] == starSage;
    })) << ErrorReport().Text();
    // The friend's card level is drawn on his portrait; nothing on the own one yet.
    EXPECT_EQ(hero->Window()->rowCardLevel[1], 5);
    EXPECT_EQ(hero->Window()->rowCardLevel[0], 0);
    auto pickFromTab = [&](int tab, uint32_t id) {
        hero->Window()->SelectRaceTab(tab);
        const auto& list = hero->HeroList(tab);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].record->id == id) hero->Window()->PressHero(static_cast<int>(i));
        Frames(2);
        hero->Window()->PressCommand(CHeroSelectWindow::FLAG_OK);
        Frames(2);
    };
    pickFromTab(2, moonHowler);  // no card for it
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_HEROSEL_NOT_USE_CARD));
    app->MessageBox().HideBox();
    Frames(2);
    pickFromTab(3, starSage);  // the friend has it
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_HEROSEL_SLELECTED_HERO));
    app->MessageBox().HideBox();
    Frames(2);
    // Random goes out; the server refuses with a code other than 2: a box, no popup.
    hero->Window()->PressCommand(CHeroSelectWindow::FLAG_RANDOM);
    Frames(2);
    hero->Window()->PressCommand(CHeroSelectWindow::FLAG_OK);
    CWaitRoomScreen* back = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        back = CurrentAs<CWaitRoomScreen>();
        return back && back->Phase() == CWaitRoomScreen::PHASE_ROOM;
    })) << ErrorReport().Text();
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    EXPECT_NE(ChatLines(back->Window()->ChatList()).back().find(GetMessageText(MSG_GAMEPLAY_AUTO_GAME_CANCEL)),
              std::string::npos);
    EXPECT_FALSE(Session().autoStartCancelled);
}

}  // namespace

TEST_F(WaitRoomFlow, MemberPopupWhispersAddsAFriendAndBlocks) {
    RoomSpec spec;
    spec.mapId = 1;
    spec.Seat(0, "me").Seat(6, "mate");
    std::vector<uint8_t> friendAdd, blockAdd;
    game.Accept()
        .Send(PK_ROOM_INFO, RoomInfoPayload(spec))
        .Expect(PK_FRIEND_ADD, [&](const FakePacket& p) { friendAdd = p.payload; })
        .Expect(PK_BLOCK_ADD, [&](const FakePacket& p) { blockAdd = p.payload; });
    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr);
    CWaitRoomWindow& w = *room->Window();
    CWaitRoomPopup& popup = *room->Popup();
    // The own row and an empty row offer nothing.
    for (int slot : {0, 3}) {
        w.OnRButtonClick(w.Row(slot).nick);
        Frames(2);
        EXPECT_FALSE(popup.Shown()) << slot;
    }
    auto choose = [&](int item) {
        w.OnRButtonClick(w.Row(6).nick);
        Frames(2);
        EXPECT_TRUE(popup.Shown());
        EXPECT_EQ(popup.Target(), "mate");
        popup.List().SetSelected(item);
        popup.OnLButtonClick(&popup.List());
        input->SetButton(0, true);
        Frames(1);
        input->SetButton(0, false);
        Frames(2);
        EXPECT_FALSE(popup.Shown());
    };
    choose(CWaitRoomPopup::ITEM_WHISPER);
    EXPECT_EQ(Session().chat.mode, CHAT_MODE_WHISPER);
    EXPECT_EQ(Session().chat.whisperTarget, "mate");
    EXPECT_EQ(app->Ui().Focus(), w.ChatEdit());
    choose(CWaitRoomPopup::ITEM_FRIEND);
    choose(CWaitRoomPopup::ITEM_BLOCK);
    // A press outside the rows only closes it.
    w.OnRButtonClick(w.Row(6).nick);
    Frames(2);
    input->SetButton(0, true);
    Frames(1);
    input->SetButton(0, false);
    Frames(2);
    EXPECT_FALSE(popup.Shown());
    ASSERT_TRUE(game.WaitIdle());
    NoFailures();
    ASSERT_GT(friendAdd.size(), 17u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(friendAdd.data() + 17)), "mate");
    ASSERT_GT(blockAdd.size(), 17u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(blockAdd.data() + 17)), "mate");
    EXPECT_EQ(game.Received().size(), 2u);
    EXPECT_EQ(room->Phase(), CWaitRoomScreen::PHASE_ROOM);
}

TEST_F(WaitRoomFlow, MarketButtonLeadsToTheMarket) {
    static int s_markets = 0;
    s_markets = 0;
    SetMarketScreenMaker([]() -> CScreen* {
        ++s_markets;
        return new CScriptedScreen("Market", nullptr, {});
    });
    RoomSpec spec;
    spec.mapId = 1;
    spec.Seat(0, "me").Seat(6, "mate", true);
    game.Accept().Send(PK_ROOM_INFO, RoomInfoPayload(spec));
    CWaitRoomScreen* room = Room();
    ASSERT_NE(room, nullptr);
    // The host may go even with a ready member in the room.
    room->Window()->PressCommand(CWaitRoomWindow::CMD_MARKET);
    const bool reached = RunUntil([&] { return s_markets == 1; });
    SetMarketScreenMaker(nullptr);
    ASSERT_TRUE(reached);
    EXPECT_TRUE(Session().wentToMarket);
    EXPECT_EQ(s_lobbies, 0);
    EXPECT_TRUE(game.Received().empty());
}
