// QORTestServer's rooms: the client from the lobby through a room and hero
// select to the loading screen against the local test server on free ports,
// and the room's answers to what no screen here sends on its own.
#include <algorithm>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "net/MessageIds.h"
#include "net/RoomRecord.h"
#include "platform/Input.h"
#include "screens/lobby/HeroSelectScreen.h"
#include "screens/lobby/HeroSelectWindow.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LobbyWindow.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "screens/lobby/WaitRoomWindow.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/LocalTestServer.h"
#include "tools/SampleGameData.h"
#include "tools/SampleGameFolder.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"

using namespace platform;

namespace {

LocalRoomContent SampleContent() {
    LocalRoomContent content;
    content.mapKeys = {kSampleRoomMapKeys[0], kSampleRoomMapKeys[1]};
    content.heroes = {SampleHeroIds(0), SampleHeroIds(1)};
    return content;
}

class LocalServerRoomFlow : public LobbyFixture {
protected:
    static inline int s_loadings = 0;
    void SetUp() override {
        ASSERT_TRUE(server.Listening()) << server.Error();
        s_loadings = 0;
        LobbyFixture::SetUp();
        SetLobbyScreenMaker([]() -> CScreen* { return new CLobbyScreen(); });
        SetWaitRoomScreenMaker(&NewWaitRoomScreen);
        SetLoadingScreenMaker([]() -> CScreen* {
            ++s_loadings;
            return new CScriptedScreen("Loading", nullptr, {});
        });
        // The start-up screens load the game data; this test begins after them.
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    }
    void TearDown() override {
        SetLoadingScreenMaker(nullptr);
        SetWaitRoomScreenMaker(nullptr);
        LobbyFixture::TearDown();
    }
    // The lobby on the channel's connection, as the channel screen leaves it.
    CScreen* MakeFirstScreen() override {
        Session().accountId = "player";
        Session().nickname = "Hero";
        Session().ownEntry.SetNickname("Hero");
        EXPECT_EQ(app->Net().Connect("127.0.0.1", server.ChannelPort()), 1);
        return new CLobbyScreen();
    }
    // The lobby taking input with the server's room listed.
    CLobbyScreen* Lobby() {
        CLobbyScreen* lobby = nullptr;
        EXPECT_TRUE(RunUntil([&] {
            lobby = CurrentAs<CLobbyScreen>();
            return lobby && lobby->Phase() == CLobbyScreen::PHASE_LOBBY && !lobby->Busy() && lobby->Window()->Row(0).bar &&
                   !lobby->Window()->Row(0).bar->HasFlags(UI_HIDDEN);
        })) << ErrorReport().Text();
        return lobby;
    }
    // The waiting room once it shows the player in the slot.
    CWaitRoomScreen* Room(int slot) {
        CWaitRoomScreen* room = nullptr;
        EXPECT_TRUE(RunUntil([&] {
            room = CurrentAs<CWaitRoomScreen>();
            return room && room->Phase() == CWaitRoomScreen::PHASE_ROOM && room->Window()->Row(slot).nick &&
                   room->Window()->Row(slot).nick->GetText().find("Hero") != std::string::npos &&
                   app->Ui().CursorIndex() == 0;
        })) << ErrorReport().Text();
        return room;
    }
    void Click(CUiWindow* window, const char* control) { window->OnLButtonClick(window->FindChild(NameHash(control))); }
    std::string LastLine(CUiListBox* list) {
        return list->ItemCount() ? list->ItemAt(list->ItemCount() - 1).text : std::string();
    }

    CLocalTestServer server{0, 0, 0, "127.0.0.1", SampleContent()};
};

TEST_F(LocalServerRoomFlow, AMadeRoomOfModeOneStartsAndARandomPickReachesTheLoadingScreen) {
    CLobbyScreen* lobby = Lobby();
    ASSERT_NE(lobby, nullptr);
    EXPECT_EQ(lobby->Window()->Row(0).title->GetText().find("Open room") != std::string::npos, true);
    lobby->Window()->PressCommand(CLobbyWindow::CMD_MAKEROOM);
    Frames(2);
    CMakeRoomWindow& make = *lobby->MakeRoom();
    Click(&make, "ID_BUTTON_NEXT2");
    ASSERT_EQ(make.Settings().Mode(), 1);
    make.TitleEdit()->SetText("Solo");
    Click(&make, "ID_BUTTON_OK");

    CWaitRoomScreen* room = Room(0);
    ASSERT_NE(room, nullptr);
    ASSERT_TRUE(server.InRoom());
    EXPECT_EQ(server.Room().title, "Solo");
    EXPECT_EQ(Session().roomNumber, CLocalRoom::kMadeRoom);
    EXPECT_EQ(Session().room.Mode(), 1);
    EXPECT_EQ(FindOwnRoomSlot(), 0);
    CWaitRoomWindow& w = *room->Window();
    EXPECT_FALSE(w.StartButton()->HasFlags(UI_HIDDEN));

    // A chat line comes back from the server as the room reads it.
    w.ChatEdit()->SetText("hello");
    input->SetKey(DIK_RETURN, true);
    app->RenderStep();
    input->SetKey(DIK_RETURN, false);
    ASSERT_TRUE(RunUntil([&] { return LastLine(w.ChatList()).find("Hero : hello") != std::string::npos; }));

    // The random map is the server's to draw.
    w.PressCommand(CWaitRoomWindow::CMD_START);
    CHeroSelectScreen* hero = UntilHeroPicking();
    ASSERT_NE(hero, nullptr) << ErrorReport().Text();
    EXPECT_EQ(Session().mapId, kSampleRoomMapKeys[1]);
    EXPECT_EQ(hero->SelectedIndex(), CHeroSelectScreen::kRandom);
    hero->Window()->PressCommand(CHeroSelectWindow::FLAG_OK);
    ASSERT_TRUE(RunUntil([&] { return s_loadings == 1; })) << ErrorReport().Text();
    const std::vector<uint32_t> side = SampleHeroIds(0);
    ASSERT_FALSE(side.empty());
    EXPECT_EQ(Session().slots[0].heroId, side.front());
    EXPECT_FALSE(server.InRoom());
}

TEST_F(LocalServerRoomFlow, TheListedRoomIsJoinedTeamsChangeAndLeavingReturnsToTheLobby) {
    CLobbyScreen* lobby = Lobby();
    ASSERT_NE(lobby, nullptr);
    lobby->Window()->SelectRow(0);
    lobby->Window()->PressCommand(CLobbyWindow::CMD_JOIN);
    CWaitRoomScreen* room = Room(0);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(Session().roomNumber, CLocalRoom::kListedRoom);

    room->Window()->PressCommand(CWaitRoomWindow::CMD_CHANGETEAM);
    ASSERT_TRUE(RunUntil([&] { return FindOwnRoomSlot() == 6 && app->Ui().CursorIndex() == 0; }))
        << ErrorReport().Text();
    EXPECT_EQ(Session().room.HostSlotIndex(), 6);
    EXPECT_EQ(server.Room().slots[0].state, RoomRecord::kOpen);

    // The host renames the room and narrows its levels; the mode stays.
    room->Window()->PressCommand(CWaitRoomWindow::CMD_ROOMINFO);
    Frames(2);
    CMakeRoomWindow& settings = *room->SettingsWindow();
    ASSERT_FALSE(settings.HasFlags(UI_HIDDEN));
    EXPECT_STREQ(settings.TitleEdit()->GetText(), "Open room");
    EXPECT_EQ(settings.Settings().Mode(), 1);
    EXPECT_EQ(settings.Settings().Choice(), -1);  // the room has no level limit
    EXPECT_TRUE(settings.FindChild(NameHash("ID_BUTTON_NEXT2"))->HasFlags(UI_HIDDEN));
    settings.TitleEdit()->SetText("Renamed");
    Click(&settings, "ID_BUTTON_NEXT");
    Click(&settings, "ID_BUTTON_OK");
    ASSERT_TRUE(RunUntil([&] { return settings.HasFlags(UI_HIDDEN) && app->Ui().CursorIndex() == 0; }))
        << ErrorReport().Text();
    ASSERT_TRUE(RunUntil([&] { return Session().room.Title() == "Renamed"; }));
    EXPECT_EQ(Session().room.LowerRank(), 1);
    EXPECT_EQ(Session().room.UpperRank(), 2);  // rank 1, one step of limit
    EXPECT_EQ(Session().room.Mode(), 1);

    room->Window()->PressCommand(CWaitRoomWindow::CMD_QUIT);
    ASSERT_NE(Lobby(), nullptr);
    EXPECT_FALSE(server.InRoom());
}

// The room's answers, straight from the server's side.
class LocalRoomAnswers : public ::testing::Test {
protected:
    static FakePacket Request(uint16_t id, std::vector<uint8_t> payload) { return {id, std::move(payload)}; }
    static std::vector<uint16_t> Ids(const std::vector<FakePacket>& packets) {
        std::vector<uint16_t> ids;
        for (const FakePacket& p : packets) ids.push_back(p.id);
        return ids;
    }
    // A one-player room of mode 1 made by "Hero".
    void Make(CLocalRoom& room) {
        room.SetNickname("Hero");
        std::vector<uint8_t> make(58);
        make[0] = 'R';
        make[56] = 1;
        ASSERT_EQ(Ids(room.Answer(Request(PK_MAKE_ROOM, make))),
                  (std::vector<uint16_t>{PK_MAKE_ROOM_RESULT, PK_ROOM_INFO}));
    }
};

TEST_F(LocalRoomAnswers, TheMatchLoadsAndItsFramesComeBack) {
    CLocalRoom room;
    const std::vector<FakePacket> begin = room.Answer(Request(PK_LOADING_DONE, {0, 0}));
    ASSERT_EQ(Ids(begin), std::vector<uint16_t>{PK_MATCH_BEGIN});
    EXPECT_EQ(begin[0].payload, (std::vector<uint8_t>{0, 0}));
    const FakePacket frame = Request(PK_GAME_COMMANDS, {1, 2, 3, 4, 5});
    const std::vector<FakePacket> echo = room.Answer(frame);
    ASSERT_EQ(echo.size(), 1u);
    EXPECT_EQ(echo[0].id, PK_GAME_COMMANDS);
    EXPECT_EQ(echo[0].payload, frame.payload);
}

TEST_F(LocalRoomAnswers, RefusalsAndMessagesOutsideARoom) {
    CLocalRoom room;
    // Nothing to answer before a room exists.
    EXPECT_TRUE(room.Answer(Request(PK_GAME_START, {0, 0, 0, 0})).empty());
    EXPECT_TRUE(room.Answer(Request(PK_HERO_PICK, {0, 0, 1, 0, 0, 0})).empty());
    // A room that is not listed, and a cut request.
    for (const std::vector<uint8_t>& join : {std::vector<uint8_t>(23, 0), std::vector<uint8_t>{}}) {
        const std::vector<FakePacket> refused = room.Answer(Request(PK_JOIN_ROOM, join));
        ASSERT_EQ(Ids(refused), std::vector<uint16_t>{PK_JOIN_ROOM_RESULT});
        EXPECT_EQ(refused[0].payload[0], 0);
    }
    Make(room);
    // Without a map to draw or heroes to draw from, the start and a random pick are refused.
    const std::vector<FakePacket> start = room.Answer(Request(PK_GAME_START, {0, 0, 0, 0}));
    ASSERT_EQ(Ids(start), std::vector<uint16_t>{PK_GAME_START_RESULT});
    EXPECT_EQ(start[0].payload[0], 0);
    const std::vector<FakePacket> random = room.Answer(Request(PK_HERO_PICK, {0, 0, 1, 0, 0, 0}));
    ASSERT_EQ(Ids(random), std::vector<uint16_t>{PK_HERO_PICK_RESULT});
    EXPECT_EQ(random[0].payload[0], 0);
    EXPECT_TRUE(room.InRoom());
    // The own slot neither opens nor closes; a slot outside the room is refused.
    for (uint16_t slot : {uint16_t{0}, uint16_t{12}}) {
        const std::vector<FakePacket> toggle =
            room.Answer(Request(PK_ROOM_SLOT_TOGGLE, {static_cast<uint8_t>(slot), 0, 1, 0, 0, 0}));
        ASSERT_EQ(Ids(toggle), std::vector<uint16_t>{PK_ROOM_SLOT_TOGGLE_RESULT});
        EXPECT_EQ(toggle[0].payload[0], 0);
    }
    EXPECT_EQ(room.Room().slots[0].state, RoomRecord::kOccupied);
}

TEST_F(LocalRoomAnswers, RoomRequestsChangeTheRecordTheServerSends) {
    CLocalRoom room;
    Make(room);
    const std::vector<FakePacket> toggle = room.Answer(Request(PK_ROOM_SLOT_TOGGLE, {3, 0, 1, 0, 0, 0}));
    ASSERT_EQ(Ids(toggle), (std::vector<uint16_t>{PK_ROOM_SLOT_TOGGLE_RESULT, PK_ROOM_SLOT_STATES}));
    EXPECT_EQ(toggle[1].payload[3 * 5], RoomRecord::kClosed);
    const std::vector<FakePacket> map = room.Answer(Request(PK_ROOM_MAP_CHANGE, {9, 0}));
    ASSERT_EQ(Ids(map), std::vector<uint16_t>{PK_ROOM_MAP_CHANGE_RESULT});
    EXPECT_EQ(map[0].payload, (std::vector<uint8_t>{1, 0, 9, 0}));
    // The chosen map is the one the start names.
    const std::vector<FakePacket> start = room.Answer(Request(PK_GAME_START, {0, 0, 0, 0}));
    EXPECT_EQ(start[0].payload, (std::vector<uint8_t>{1, 0, 9, 0}));

    std::vector<uint8_t> settings(48);
    settings[0] = 'N';
    settings[44] = 5;
    settings[46] = 50;
    const std::vector<FakePacket> changed = room.Answer(Request(PK_CREATE_ROOM, settings));
    ASSERT_EQ(Ids(changed), (std::vector<uint16_t>{PK_ROOM_CHANGE_RESULT, PK_ROOM_INFO}));
    RoomRecord record;
    ASSERT_TRUE(record.Assign(changed[1].payload.data(), changed[1].payload.size()));
    EXPECT_EQ(record.Title(), "N");
    EXPECT_EQ(record.MemberNickname(0), "Hero");
    EXPECT_EQ(room.Room().lowerRank, 5);
    EXPECT_EQ(room.Room().upperRank, 50);

    // A concrete pick is the final one.
    const std::vector<FakePacket> pick = room.Answer(Request(PK_HERO_PICK, {0, 0, 0x44, 0x33, 0x22, 0x11}));
    ASSERT_EQ(Ids(pick), (std::vector<uint16_t>{PK_HERO_PICK_RESULT, PK_HERO_CHOICES, PK_HERO_FINAL}));
    EXPECT_EQ(RoomRecord::I32(pick[2].payload.data()), 0x11223344);
    const std::vector<FakePacket> left = room.Answer(Request(PK_LEAVE_ROOM, {2, 0}));
    EXPECT_TRUE(left.empty());  // hero select is over: the room has gone to its match
}

}  // namespace
