// The play screen on the sample map, headless: a recording screen host, a
// stepped clock, scripted input and, for network matches, the fake server.
#include "screens/game/PlayScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/render/GameObject.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "platform/Clock.h"
#include "platform/CrtRandom.h"
#include "platform/ScriptedInput.h"
#include "screens/game/ClickMarkers.h"
#include "screens/game/PlayHelpWindow.h"
#include "screens/game/PlayResources.h"
#include "screens/game/ResultWindow.h"
#include "screens/game/ResultScreen.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "tests/fixtures/StubTexture.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/WorldHarness.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/ui/RecordingScreenHost.h"
#include "tools/SampleTutorial.h"
#include "world/EffectParams.h"
#include "world/EffectRecord.h"
#include "world/GameDataRegistry.h"
#include "world/ItemObject.h"
#include "world/ScriptManager.h"
#include "world/SkillInstance.h"
#include "world/SummonRecords.h"
#include "world/TerrainEngine.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

#include "tests/screens/game/PlayScreenFixture.h"

namespace {

TEST_F(PlayScreenTest, SinglePlayStartsWithGoldAndTheCameraOnTheHeroAndRunsOrders) {
    CPlayScreen& play = Make(1);
    EXPECT_EQ(Step(), SCREEN_RUNNING);
    EXPECT_EQ(play.Phase(), CPlayScreen::PHASE_PLAY) << ErrorReport().GetText();
    EXPECT_EQ(session.slots[0].gold, CPlayScreen::kStartingGold);
    EXPECT_FLOAT_EQ(camera.target.x, 100.0f);
    EXPECT_FLOAT_EQ(camera.target.z, 100.0f);
    // A camera never aimed looks down on the hero from the south, inside its pitch band.
    EXPECT_LT(camera.viewDir.y, -CPlayScreen::kPitchLimitLow);
    EXPECT_GT(camera.viewDir.y, -CPlayScreen::kPitchLimitHigh);
    EXPECT_GT(camera.viewDir.z, 0.0f);
    EXPECT_NEAR(camera.eye.y - camera.target.y, -camera.viewDir.y * camera.distance, 1e-3f);
    ASSERT_EQ(play.Selection().selected, std::vector<int32_t>{0});
    // The help window waits hidden, its lines filled.
    ASSERT_NE(play.HelpWindow(), nullptr);
    if (g_pUiManager) {
        EXPECT_TRUE(play.HelpWindow()->HasFlags(UI_HIDDEN));
    }
    EXPECT_EQ(play.HelpWindow()->lines[2]->GetText(), GetMessageText(MSG_GAMEPLAY_UI_HELP_TEXT3));

    // A move order record walks the hero.
    Commands().BuildUnitOrder(hero, 300, 3, 1, {200, 0, 100}, {100, 0, 100}, -1, -1, 0);
    for (int i = 0; i < 300 && harness.Unit(0, hero)->position.x < 190.0f; ++i) Step();
    EXPECT_GE(harness.Unit(0, hero)->position.x, 190.0f);
}

TEST_F(PlayScreenTest, DispatchValidatesRecordsAndObeysTheGameOver) {
    CPlayScreen& play = Make(1);
    Step();
    // A slot state of no player, a reward group of nine ids (seven are kept).
    CGameCommand* state = Commands().CreateCommand(CMD_PLAYER_SLOT_STATE);
    state->SetU8(2, 12);
    state->SetU8(3, 2);
    Commands().QueueCommand(state);
    const int32_t slots[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    CGameCommand* group = Commands().BuildGrantRewardGroup(1, slots, 7, 10, 0);
    group->SetU8(3, 9);
    Commands().BuildGrantReward(0, hero, 5000, 0);  // experience: a level-up
    const int32_t levelBefore = harness.Unit(0, hero)->level;
    Step();
    for (int s = 0; s < 7; ++s) EXPECT_EQ(session.slots[static_cast<size_t>(s)].gold, (s == 0 ? 30000 : 0) + 10) << s;
    EXPECT_EQ(session.slots[7].gold, 0);
    EXPECT_GT(harness.Unit(0, hero)->level, levelBefore);

    // A trigger makes an untargetable unit targetable again through its flags in play.
    CUnit* held = harness.Unit(0, hero);
    held->stateFlags |= 0x80000;
    const uint32_t classBits = held->unitFlags;
    Commands().BuildUnitFlags(hero, 0, 0x80000, 0);
    Step();
    EXPECT_FALSE(held->IsUntargetable());
    EXPECT_EQ(held->unitFlags, classBits);

    // After the match end only the listed types still run.
    play.SetGameOver(1, 1);
    Commands().BuildGrantReward(1, 1, 500, 0);
    CGameCommand* late = Commands().CreateCommand(CMD_PLAYER_SLOT_STATE);
    late->SetU8(2, 3);
    late->SetU8(3, 2);
    Commands().QueueCommand(late);
    Step();
    EXPECT_EQ(session.slots[1].gold, 10);
    EXPECT_EQ(play.SlotState(3), 2);
}

TEST_F(PlayScreenTest, OrdersOfUnitsSimulatedElsewhereCorrectPositionAndHitPoints) {
    Make(1);
    Step();
    // The unit belongs to another machine of a network match.
    World().gameMode = 0;
    World().online = 1;
    World().host = 0;
    const int32_t other = harness.SpawnUnit("Creep", {100, 0, 100}, 1, 1, 400);
    CUnit* unit = harness.Unit(0, other);
    struct Case {
        float senderX, senderHp;
        float wantX, wantHp;
    };
    // Within 120 units nothing moves; beyond, the unit jumps to the sender.
    // Hit points follow only the fourth mismatch in a row (> 80 apart).
    const Case cases[] = {
        {150, 200, 100, 400},
        {230, 200, 230, 400},
        {230, 200, 230, 400},
        {230, 200, 230, 200 + 0.2f * unit->GetStat(7)},
    };
    for (const Case& c : cases) {
        Commands().BuildUnitOrder(other, c.senderHp, 1, 0, {c.senderX, 0, 100}, {c.senderX, 0, 100}, -1, -1, 0);
        Step(0);
        EXPECT_NEAR(unit->position.x, c.wantX, 0.5f) << c.senderX;
        EXPECT_NEAR(unit->hitPoints, c.wantHp, 0.5f) << c.senderHp;
    }
    // A unit held in place is not pulled to the sender's position; its class bits stay.
    const uint32_t classBits = unit->unitFlags;
    unit->stateFlags |= 0x80;
    Commands().BuildUnitOrder(other, 200, 1, 0, {400, 0, 100}, {400, 0, 100}, -1, -1, 0);
    Step(0);
    EXPECT_NEAR(unit->position.x, 230, 0.5f);
    EXPECT_EQ(unit->unitFlags, classBits);
}

TEST_F(PlayScreenTest, GameOverLeavesAfterFiveSecondsByModeAndOnlineFlag) {
    struct Case {
        int mode;
        bool online;
        int lobby, waitRoom, login;
    };
    const Case cases[] = {
        {1, false, 0, 1, 0},  // single play: back to the waiting room
        {2, false, 0, 0, 1},  // tutorial offline: login
        {0, false, 0, 0, 1},  // offline match: login
    };
    for (const Case& c : cases) {
        Successors::Reset();
        World().online = c.online;
        CPlayScreen& play = Make(c.mode);
        Step();
        play.SetGameOver(0, 1);
        for (int i = 0; i < 49; ++i) Step(100);
        EXPECT_NE(play.Phase(), CPlayScreen::PHASE_LEAVING) << c.mode;
        EXPECT_EQ(RunUntilFinished(5), SCREEN_FINISHED) << c.mode;
        EXPECT_EQ(Successors::lobby, c.lobby) << c.mode;
        EXPECT_EQ(Successors::waitRoom, c.waitRoom) << c.mode;
        EXPECT_EQ(Successors::login, c.login) << c.mode;
    }
    // A target past the table pushes nothing but still ends the screen.
    Successors::Reset();
    CPlayScreen& play = Make(1);
    Step();
    play.BeginLeave(7);
    EXPECT_EQ(RunUntilFinished(5), SCREEN_FINISHED);
    EXPECT_EQ(Successors::lobby + Successors::waitRoom + Successors::login, 0);
    // Leaving for the lobby marks the return.
    play.BeginLeave(CPlayScreen::LEAVE_LOBBY);
    EXPECT_EQ(RunUntilFinished(5), SCREEN_FINISHED);
    EXPECT_EQ(Successors::lobby, 1);
    EXPECT_TRUE(session.returnedToLobby);
    EXPECT_TRUE(session.returningFromMatch);
}

TEST_F(PlayScreenTest, WheelZoomStaysInItsLimitsAndChatModeStopsScrolling) {
    CPlayScreen& play = Make(1);
    host.options.screenScroll = 1.3f;
    Step();
    input->Move(0, 0, 100000);
    Step();
    EXPECT_FLOAT_EQ(play.Zoom(), CPlayScreen::kMaxZoom);
    input->Move(0, 0, -100000);
    Step();
    EXPECT_FLOAT_EQ(play.Zoom(), CPlayScreen::kMinZoom);

    input->SetCursor(500, 400);
    input->SetKey(platform::DIK_LEFT, true);
    play.SetInputMode(5);
    const float x = camera.target.x;
    Step();
    EXPECT_FLOAT_EQ(camera.target.x, x);
    play.SetInputMode(0);
    Step();
    EXPECT_LT(camera.target.x, x);
    input->SetKey(platform::DIK_LEFT, false);

    // Scrolling stops at the terrain's far edges.
    ASSERT_NE(g_pTerrainEngine, nullptr);
    const float width = g_pTerrainEngine->worldWidth(), depth = g_pTerrainEngine->worldDepth();
    ASSERT_GT(width, 0.0f);
    camera.SetTarget({width - 0.5f, 0, depth - 0.5f}, 1);
    input->SetKey(platform::DIK_RIGHT, true);
    input->SetKey(platform::DIK_UP, true);
    for (int i = 0; i < 5; ++i) Step();
    EXPECT_FLOAT_EQ(camera.target.x, width);
    EXPECT_FLOAT_EQ(camera.target.z, depth);
}

TEST_F(PlayScreenTest, HeroesStandingOnOneSpotAreSpreadAtLoad) {
    const int32_t second = harness.SpawnUnit("Creep", {100, 0, 100}, 1, 0, 300, 30, 40, 20, 1);
    ASSERT_EQ(second, 1);
    Make(1);
    Step();
    const platform::Vec3 a = harness.Unit(0, hero)->position, b = harness.Unit(0, second)->position;
    const CWorldObject& unit = *harness.Unit(0, hero);
    const float apart = std::hypot(a.x - b.x, a.z - b.z);
    EXPECT_GE(apart, unit.bounds.radius * unit.bounds.scale);
    // One of them keeps the spot the map gave.
    EXPECT_TRUE((a.x == 100.0f && a.z == 100.0f) || (b.x == 100.0f && b.z == 100.0f));
}

TEST_F(PlayScreenTest, CloseAsksForConfirmationOnlyWhilePlaying) {
    struct Case {
        uint32_t online;
        int mode;
        int gameOver;
        intptr_t result;
        int message;
    };
    const Case cases[] = {
        {1, 0, 0, 0, MSG_GAMEPLAY_OUT_PLAY_BAD},
        {0, 1, 0, 0, MSG_GAMEPLAY_OUT_PLAY},
        {1, 4, 0, 0, MSG_GAMEPLAY_OUT_PLAY},
        {0, 1, 1, 1, -1},  // once the match is over the close is not consumed
    };
    for (const Case& c : cases) {
        CPlayScreen& play = Make(c.mode);
        Step();
        World().online = c.online;
        play.SetPhase(CPlayScreen::PHASE_PLAY);
        if (c.gameOver) play.SetGameOver(0, 1);
        host.box.text.clear();
        platform::WindowMessage close{};
        close.message = platform::WM_CLOSE;
        EXPECT_EQ(play.MsgProc(close), c.result);
        EXPECT_EQ(host.box.text, c.message < 0 ? "" : GetMessageText(c.message));
        World().online = 0;
    }
}

TEST(PlayScreenRules, ConnectionClassesAndRaceMusic) {
    const std::pair<int32_t, uint8_t> classes[] = {{0, 0}, {249, 0}, {250, 1}, {499, 1}, {500, 2}, {5000, 2}};
    for (const auto& [latency, cls] : classes) EXPECT_EQ(CPlayScreen::ConnectionClass(latency), cls) << latency;
    EXPECT_STREQ(CPlayScreen::RaceMusic(0x100 | 0x800), "VAMPIRE.OGG");
    EXPECT_STREQ(CPlayScreen::RaceMusic(0x400), "HUNTER.OGG");
    EXPECT_STREQ(CPlayScreen::RaceMusic(0x8000000 | 0x200), "");
}

}  // namespace

namespace {

// A network match of mode 0 against the fake server, which sends every
// command frame back as the match server does.
class PlayNetworkTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        server.On(PK_GAME_COMMANDS, [](const FakePacket& p) { return std::vector<FakePacket>{p}; });
        server.On(1013);
        server.Accept();
        ASSERT_TRUE(net.Connect(server.Host(), server.Port())) << ErrorReport().GetText();
        ASSERT_TRUE(server.WaitIdle());
        session.net = &net;
        World().online = 1;
        World().host = 1;
    }
    void TearDown() override {
        net.Disconnect();
        session.net = nullptr;
        PlayScreenTest::TearDown();
    }
    int Sent(uint16_t id) const {
        int n = 0;
        for (const FakePacket& p : server.Received()) n += p.id == id;
        return n;
    }
    // Frames without time until the condition holds (the server's answer is
    // on its way over loopback); false after two seconds.
    template <class Done>
    bool PollUntil(Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            Step(0);
            std::this_thread::yield();
        }
        return true;
    }

    CFakeGameServer server;
    CNetClient net;
};

TEST_F(PlayNetworkTest, EveryoneLoadedStartsTheMatchAndFramesGoOutEveryFifthOfASecond) {
    CPlayScreen& play = Make(0);
    Step();
    EXPECT_EQ(play.Phase(), CPlayScreen::PHASE_WAITING);
    EXPECT_TRUE(play.Waiting());
    EXPECT_TRUE(host.box.visible);
    EXPECT_EQ(host.box.text, GetMessageText(MSG_LOAD_UI_PLAYER_WAIT));

    // The loaded event waits in the frame until more than 0.2 s have passed.
    Step(100);
    Step(100);
    EXPECT_FALSE(Commands().Frame(0).Empty());
    Step(50);
    EXPECT_TRUE(Commands().Frame(0).Empty());
    // The echo of the loaded event makes the host send the start, whose echo
    // ends the wait on every machine.
    ASSERT_TRUE(PollUntil([&] { return !Commands().Frame(0).Empty(); }));
    Step(250);
    ASSERT_TRUE(PollUntil([&] { return play.Phase() == CPlayScreen::PHASE_PLAY; }));
    EXPECT_FALSE(play.Waiting());
    EXPECT_FALSE(host.box.visible);
    EXPECT_EQ(Sent(PK_GAME_COMMANDS), 2);
}

TEST_F(PlayNetworkTest, SlotStateRidesWithAFrameOnceASecond) {
    CPlayScreen& play = Make(0);
    Step();
    Step(250);  // the loaded event goes out alone: the slot-state timer is at 0.25 s
    ASSERT_TRUE(PollUntil([&] { return Sent(PK_GAME_COMMANDS) >= 1; }));
    // Slot-state records in the frames the server got, and in the first one.
    auto states = [&](bool firstOnly) {
        int n = 0, frame = 0;
        for (const FakePacket& p : server.Received()) {
            if (p.id != PK_GAME_COMMANDS || (firstOnly && frame++ > 0)) continue;
            for (size_t at = CommandFrame::kHeaderSize; at + 1 < p.payload.size() && p.payload[at + 1];
                 at += p.payload[at + 1])
                n += p.payload[at] == CMD_PLAYER_SLOT_STATE;
        }
        return n;
    };
    for (int i = 0; i < 4; ++i) {
        Commands().BuildGrantReward(1, 0, 1, 1);
        Step(250);
    }
    ASSERT_TRUE(PollUntil([&] { return states(false) >= 1; }));
    // Once in the second: not with the first frame, and only once.
    EXPECT_EQ(states(true), 0);
    EXPECT_EQ(states(false), 1);
    EXPECT_LE(play.SlotState(0), 2);
}

TEST_F(PlayNetworkTest, MatchReportCarriesScoreOfPresentPlayersAndTheOwnStatistics) {
    session.nickname = "Rook";
    MemberEntry own;
    own.SetNickname("Rook");
    session.room.SetMember(6, own);
    for (int s : {0, 1, 6, 7}) session.room.Slot(s)[0] = RoomRecord::kOccupied;
    CPlayerSlot& slot = session.slots[3];
    slot.heroId = 1;
    slot.position = 6;
    slot.points = 70000;
    slot.heroKills = 5;
    slot.unitKills = 40;
    slot.buildingKills = 2;
    slot.deaths = 3;
    slot.extraPoints = 123456;
    slot.level = 9;
    CPlayScreen& play = Make(0);
    Step();
    World().slotGone[7] = true;  // after loading: no automatic cancel
    World().gameClock = 612.6f;
    play.SetGameOver(1, 1);
    ASSERT_EQ(RunUntilFinished(8), SCREEN_FINISHED);
    ASSERT_TRUE(PollUntil([&] { return Sent(1013) == 1; }));
    std::vector<uint8_t> report;
    for (const FakePacket& p : server.Received())
        if (p.id == 1013) report = p.payload;
    ASSERT_EQ(report.size(), 30u);
    auto u32 = [&](size_t at) { return LoadU32(report.data() + at); };
    auto u16 = [&](size_t at) { return LoadU16(report.data() + at); };
    EXPECT_EQ(u32(0), 1u);
    EXPECT_EQ(u32(4), 3u + 3u + 1u);  // slots 0 and 1 count 3, slot 6 counts 1, slot 7 has gone
    EXPECT_EQ(u32(8), 70000u);
    EXPECT_EQ(u16(12), 5);
    EXPECT_EQ(u16(14), 40);
    EXPECT_EQ(u16(16), 2);
    EXPECT_EQ(u16(18), 3);
    EXPECT_EQ(u32(20), 123456u);
    EXPECT_EQ(u16(24), 9);
    EXPECT_GE(u32(26), 613u);
    EXPECT_EQ(play.LeaveTarget(), CPlayScreen::LEAVE_RESULT);
}

TEST_F(PlayNetworkTest, MatchEndLeadsThroughTheResultScreenToTheWaitingRoomAndItsReplayPlaysBack) {
    TempFolder replays;
    host.replayFolder = replays.Path("REPLAY");
    std::filesystem::create_directories(host.replayFolder);
    session.saveReplay = 1;
    session.mapFile = "VALLEY.DRM";
    session.slots[0].heroId = 1;
    session.slots[0].nickname = "Rook";
    CPlayScreen& play = Make(0);
    Step();
    // Frames go out every fifth of a second and come back over loopback; the
    // clock moves only with the frames, so a slow machine sees the same match.
    auto runUntil = [&](auto done) {
        for (int i = 0; i < 100 && !done(); ++i) {
            Step(50);
            server.WaitIdle();
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
            while (!done() && std::chrono::steady_clock::now() < end) {
                Step(0);
                std::this_thread::yield();
            }
        }
        return done();
    };
    ASSERT_TRUE(runUntil([&] { return play.Phase() == CPlayScreen::PHASE_PLAY; }));
    // The match end travels as a record of a frame the server relays.
    Commands().BuildPlayerEvent(0, 0, 1);
    ASSERT_TRUE(runUntil([&] { return play.GameOver() == 1; }));
    EXPECT_EQ(play.WinningTeam(), 0);
    // 5.0 s of stepped clock later the report goes out and the result screen follows.
    for (int i = 0; i < 45; ++i) Step(100);
    EXPECT_EQ(Sent(1013), 0);
    ASSERT_EQ(RunUntilFinished(4), SCREEN_FINISHED);
    // The finished play screen is not stepped again: the manager would have deleted it.
    const auto sentBy = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (Sent(1013) == 0 && std::chrono::steady_clock::now() < sentBy) std::this_thread::yield();
    ASSERT_EQ(Sent(1013), 1);
    for (const FakePacket& p : server.Received()) {
        if (p.id == 1013) {
            EXPECT_EQ(p.payload.size(), 30u);
        }
    }
    auto* result = dynamic_cast<CResultScreen*>(host.Screens().Current());
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(host.Screens().Update(), SCREEN_RUNNING);
    ASSERT_NE(result->Window(), nullptr) << ErrorReport().GetText();

    std::vector<uint8_t> outcome(CResultScreen::kResultBytes, 0);
    StoreU32(outcome.data() + 81, 700);  // position 0's base money
    server.Send(PK_GAME_RESULT, outcome);
    ASSERT_TRUE(server.WaitIdle());
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!result->ResultReceived() && std::chrono::steady_clock::now() < end) {
        g_now += 100;
        host.Screens().Update();
        std::this_thread::yield();
    }
    ASSERT_EQ(result->ResultReceived(), 1);
    EXPECT_EQ(result->Window()->rows[0].money->GetText(), "</C=ffff00>700");
    // Enter once the table stands: the fade, then the waiting room.
    for (int i = 0; i < 20; ++i) g_now += 100, host.Screens().Update();
    input->SetKey(platform::DIK_RETURN, true);
    // The screen leaves once the fade is done and the loader thread has written the replay.
    int step = SCREEN_RUNNING;
    const auto written = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (step == SCREEN_RUNNING && std::chrono::steady_clock::now() < written) {
        g_now += 100;
        step = host.Screens().Update();
        input->SetKey(platform::DIK_RETURN, false);
        std::this_thread::yield();
    }
    // The result screen ended and made the waiting room.
    EXPECT_EQ(step, SCREEN_NO_SUCCESSOR);
    EXPECT_EQ(host.Screens().Current(), nullptr);
    EXPECT_EQ(Successors::waitRoom, 1);

    // The file the result screen wrote plays back.
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(host.replayFolder))
        files.push_back(entry.path().string());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].find("REPLAY_"), std::string::npos);
    std::string mapName;
    ASSERT_TRUE(Commands().ReadReplayHeader(files[0].c_str(), &mapName));
    EXPECT_EQ(mapName, "VALLEY.DRM");
    ReplayWorldState state;
    const uint8_t block[16] = {};
    ASSERT_TRUE(Commands().LoadReplay(0, files[0].c_str(), 0, block, &state)) << ErrorReport().GetText();
    bool matchEnd = false;
    for (const auto& record : Commands().Recorded())
        matchEnd = matchEnd || (record->Type() == CMD_PLAYER_EVENT && record->U8(2) == 0);
    EXPECT_TRUE(matchEnd);
}

TEST_F(PlayNetworkTest, PollHandlesTheMatchMessagesAndRefusesDamagedOnes) {
    struct Case {
        const char* what;
        uint16_t id;
        std::vector<uint8_t> payload;
        bool fails;
    };
    const std::vector<uint8_t> shortFrame = {1, 1, 8, 0};
    const std::vector<uint8_t> badSender = {0, 12, 8, 0, 0, 0, 0, 0};
    const Case cases[] = {
        {"a frame shorter than its head", PK_GAME_COMMANDS, shortFrame, true},
        {"a frame of slot 12", PK_GAME_COMMANDS, badSender, true},
        {"a player out of slot 12", PK_PLAYER_OUT, {12, 0}, false},
        {"a host slot of 12", PK_HOST_SLOT, {12, 0}, false},
    };
    for (const Case& c : cases) {
        CPlayScreen& play = Make(0);
        Step();
        // The host-slot message behind it marks the end of the case.
        server.Send(c.id, c.payload).Send(PK_HOST_SLOT, {0, 0});
        ASSERT_TRUE(server.WaitIdle());
        ASSERT_TRUE(PollUntil([&] { return play.Phase() >= CScreen::kPhaseErrorPopup || play.HostSlot() == 0; }));
        const bool failed = play.Phase() >= CScreen::kPhaseErrorPopup;
        EXPECT_EQ(failed, c.fails) << c.what;
        if (failed) {
            // The popup closed the connection: a new one for the next case.
            server.Accept();
            ASSERT_TRUE(net.Connect(server.Host(), server.Port()));
            ASSERT_TRUE(server.WaitIdle());
        }
        EXPECT_EQ(World().host, 1u) << c.what;
    }
    // A player leaving: lag counter cleared, slot gone, one local event queued.
    CPlayScreen& play = Make(0);
    Step();
    server.Send(PK_PLAYER_OUT, {3, 0});
    server.Send(PK_HOST_SLOT_CHANGED, {2, 0});
    ASSERT_TRUE(server.WaitIdle());
    ASSERT_TRUE(PollUntil([&] { return play.HostSlot() == 2; }));
    EXPECT_TRUE(World().slotGone[3]);
    EXPECT_EQ(World().host, 0u);
    // An accepted leave goes to the lobby.
    std::vector<uint8_t> leave(73, 0);
    leave[0] = 1;
    server.Send(PK_LEAVE_ROOM_RESULT, leave);
    ASSERT_TRUE(server.WaitIdle());
    ASSERT_TRUE(PollUntil([&] { return play.Phase() == CPlayScreen::PHASE_LEAVING; }));
    EXPECT_EQ(play.LeaveTarget(), CPlayScreen::LEAVE_LOBBY);
}

}  // namespace

namespace {

// One side of the replay round trip: a world of the sample map with a hero
// and an enemy, the play screen on it, stepped by a fixed frame.
struct ReplayMatch {
    static constexpr uint32_t kFrameMs = 33;
    CWorldHarness harness;
    CClientSession session;
    std::unique_ptr<CPlayScreen> screen;
    int32_t hero = -1, enemy = -1;

    explicit ReplayMatch(int gameMode) {
        harness.MakeCurrent(0);
        LoadWindowsFromLayouts();
        g_pClientSession = &session;
        session.saveReplay = gameMode == 1;
        hero = harness.SpawnUnit("Creep", {100, 0, 100}, 0, 0, 300, 4, 40, 20, 0);
        enemy = harness.SpawnUnit("Creep", {200, 0, 60}, 1, 1, 300, 4, 20, 20, 1);
        World().gameMode = gameMode;
        World().slotOccupied[0] = true;
        platform::CrtSrand(7);
    }
    ~ReplayMatch() {
        screen.reset();
        g_pClientSession = nullptr;
    }
    CWorldObjectManager& World() { return harness.machine(0).map->objects; }
    CGameCommandManager& Commands() { return *harness.machine(0).commands; }
    void Start() {
        screen = std::make_unique<CPlayScreen>();
        Step();
    }
    int Step() {
        g_now += kFrameMs;
        return screen->Update();
    }
    std::string State() {
        char line[160];
        std::string out;
        for (int32_t id : {hero, enemy}) {
            CUnit* u = harness.Unit(0, id);
            std::snprintf(line, sizeof line, "%d at %.2f %.2f hp %.2f\n", id, u->position.x, u->position.z,
                          u->hitPoints);
            out += line;
        }
        return out;
    }
};

TEST(PlayReplayTest, ARecordedMatchPlaysBackToTheSameEndAtSpeedOneAndInHalfTheFramesAtSpeedTwo) {
    platform::SetClockSource(&Now);
    TempFolder tmp;
    const std::string path = tmp.Path("MATCH.SRD");
    constexpr int kFrames = 240;
    std::string live;
    float length = 0;
    {
        ReplayMatch m(1);
        ASSERT_TRUE(m.harness.ok()) << m.harness.Error();
        m.Start();
        for (int i = 0; i < kFrames; ++i) {
            CUnit* h = m.harness.Unit(0, m.hero);
            if (i == 1) m.Commands().BuildUnitOrder(m.hero, h->hitPoints, 3, 1, {150, 0, 60}, h->position, -1, -1, 0);
            if (i == 60) {
                CUnit* e = m.harness.Unit(0, m.enemy);
                m.Commands().BuildUnitOrder(m.hero, h->hitPoints, 2, 3, e->position, h->position, m.enemy, -1, 0);
                m.Commands().BuildUnitOrder(m.enemy, e->hitPoints, 2, 3, h->position, e->position, m.hero, -1, 0);
            }
            m.Step();
        }
        live = m.State();
        length = m.World().gameClock;
        ReplayWorldState state;
        state.matchLength = length;
        const uint8_t block[16] = {};
        ASSERT_TRUE(m.Commands().WriteReplay(path.c_str(), "VALLEY.DRM", 0, block, state)) << ErrorReport().GetText();
    }
    EXPECT_EQ(live.find("0 at 100.00 100.00"), std::string::npos) << "the hero must have moved: " << live;

    for (const float speed : {1.0f, 2.0f}) {
        ReplayMatch m(3);
        ASSERT_TRUE(m.harness.ok());
        ReplayWorldState state;
        const uint8_t block[16] = {};
        ASSERT_TRUE(m.Commands().LoadReplay(0, path.c_str(), 0, block, &state)) << ErrorReport().GetText();
        const size_t records = m.Commands().Recorded().size();
        ASSERT_GT(records, 2u);
        m.Start();
        m.screen->SetReplaySpeed(speed);
        int frames = 1;
        while (m.World().gameClock < length && frames < 2 * kFrames) {
            m.Step();
            ++frames;
        }
        EXPECT_EQ(static_cast<size_t>(m.Commands().PlaybackIndex()), records) << speed;
        if (speed == 1.0f) {
            EXPECT_EQ(m.State(), live);
        } else {
            EXPECT_NEAR(frames, kFrames / 2, 2);
        }
        // Leaving frees the recording on the loader thread, then the screen ends.
        m.screen->EndMatch(CPlayScreen::LEAVE_LOGIN);
        EXPECT_EQ(m.screen->ReplayRecordCount(), records);
        int result = 0;
        // The frames go on while the job runs; on a busy machine the loader
        // thread may take a while to be scheduled.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!result && std::chrono::steady_clock::now() < end) {
            result = m.Step();
            std::this_thread::yield();
        }
        EXPECT_EQ(result, SCREEN_FINISHED) << speed;
        EXPECT_TRUE(m.Commands().Recorded().empty()) << speed;
    }
    platform::SetClockSource(nullptr);
}

}  // namespace

TEST_F(PlayScreenTest, PickingByRectangleAndByClick) {
    Make(1);
    Step();
    CWorldObject& unit = *harness.Unit(0, hero);
    ASSERT_NE(unit.GetModel(), nullptr);
    camera.SetProjection(1024, 768);
    camera.SetLookAt({100, 200, -50}, {100, 0, 100}, CPlayScreen::kFieldOfView);
    camera.view = platform::MatrixLookAtLH(camera.eye, camera.target, camera.up);
    const platform::Vec3 centre =
        platform::Vec3TransformCoord(unit.position, platform::MatrixMultiply(camera.view, camera.projection));
    const int32_t x = static_cast<int32_t>((centre.x + 1) * 512), y = static_cast<int32_t>((1 - centre.y) * 384);
    struct Case {
        PickRect rect;
        bool picked;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, true},              // a drag over the whole screen
        {{x + 5, y + 5, x - 5, y - 5}, true},   // a drag drawn backwards
        {{0, 0, 20, 20}, false},                // a drag in the corner
        {{x, y, x, y}, true},                   // a click on the unit
        {{2, 2, 2, 2}, false},                  // a click beside it
    };
    for (const Case& c : cases) {
        CSelectionSet set;
        set.PickObjects(c.rect, camera);
        EXPECT_EQ(std::find(set.candidates.begin(), set.candidates.end(), hero) != set.candidates.end(), c.picked)
            << c.rect.left << "," << c.rect.top << " " << c.rect.right << "," << c.rect.bottom;
    }
    // A hidden unit is never picked.
    unit.stateFlags |= 0x40;
    CSelectionSet set;
    set.PickObjects({0, 0, 1024, 768}, camera);
    EXPECT_EQ(std::count(set.candidates.begin(), set.candidates.end(), hero), 0);
}

namespace {
// The recall entry of the sample "Summon" effect at level 1, for a test to shape.
CEffectParamRecall& SummonEntry() {
    auto* effect = dynamic_cast<CEffectRecord*>(FindGameRecord(CAT_EFFECT, NameHash("Summon")));
    return static_cast<CEffectParamRecall&>(*effect->params[0]);
}
}  // namespace

TEST_F(PlayScreenTest, SummonRequestsExpandOnTheHostOnlyIntoUnitsOfConsecutiveIds) {
    CPlayScreen& play = Make(1);
    Step();
    SummonEntry().p[2] = 3;
    const uint32_t effect = NameHash("Summon");
    // Another machine of a network match leaves the request to the host.
    World().online = 1;
    World().gameMode = 0;
    World().host = 0;
    const int32_t firstId = World().nextId;
    Commands().BuildSummon(1, 0, hero, {130, 0, 130}, -1, effect, kSummonRequest, 0);
    Step(0);
    EXPECT_EQ(World().nextId, firstId);
    EXPECT_EQ(harness.Object(0, firstId), nullptr);

    // The host: three records, each unit on its own spot, all in the F4 group.
    World().host = 1;
    Commands().BuildSummon(1, 0, hero, {130, 0, 130}, -1, effect, kSummonRequest, 0);
    Step(0);
    ASSERT_EQ(World().nextId, firstId + 3);
    std::vector<platform::Vec3> spots;
    for (int32_t id = firstId; id < firstId + 3; ++id) {
        CUnit* unit = harness.Unit(0, id);
        ASSERT_NE(unit, nullptr) << id;
        EXPECT_EQ(unit->owner, 0);
        EXPECT_EQ(unit->order.kind, 5) << "the revive order";
        EXPECT_TRUE(std::none_of(spots.begin(), spots.end(), [&](const platform::Vec3& p) {
            return p.x == unit->position.x && p.z == unit->position.z;
        }));
        spots.push_back(unit->position);
    }
    EXPECT_EQ(play.UnitGroup(CPlayScreen::kSummonGroup), (std::vector<int32_t>{firstId, firstId + 1, firstId + 2}));
}

TEST_F(PlayScreenTest, SummonedUnitsTakeTheirLifeTimeAndCopiesTheTargetsStrength) {
    Make(1);
    Step();
    const uint32_t effect = NameHash("Summon");
    struct Case {
        float lifeTime;
        bool alive;
        float lifetime;
    };
    const Case cases[] = {
        {-1.0f, false, CCombatObject::kUnlimitedLife}, {0.0f, true, CCombatObject::kUnlimitedLife}, {5.0f, true, 5.0f}};
    uint32_t id = 2000;
    for (const Case& c : cases) {
        SummonEntry().duration = c.lifeTime;
        Commands().BuildSummon(1, 0, hero, {140, 0, 100}, -1, effect, id, 0);
        Step(0);
        CUnit* unit = harness.Unit(0, static_cast<int32_t>(id++));
        ASSERT_NE(unit, nullptr) << c.lifeTime;
        EXPECT_EQ(unit->alive != 0, c.alive) << c.lifeTime;
        EXPECT_FLOAT_EQ(unit->lifetime, c.lifetime) << c.lifeTime;
        EXPECT_FLOAT_EQ(unit->lifetimeTotal, c.lifetime > 0 ? c.lifetime : 0.0f) << c.lifeTime;
    }

    // A copy of an enemy: its hit points and strength, the caster's side.
    SummonEntry().duration = 0;
    SummonEntry().p[4] = 1;
    const int32_t enemy = harness.SpawnUnit("Creep", {200, 0, 200}, 1, 1, 420, 60, 40, 20, 2500);
    Commands().BuildSummon(1, 0, hero, {140, 0, 140}, enemy, effect, id, 0);
    Commands().BuildSummon(1, 0, hero, {140, 0, 140}, 31000, effect, id + 1, 0);  // gone: the entry's own unit
    Commands().BuildSummon(1, 0, hero, {140, 0, 140}, enemy, NameHash("Might"), id + 2, 0);  // not a recall
    Step(0);
    CUnit* copy = harness.Unit(0, static_cast<int32_t>(id));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->unitFlags & 0x1000000u, 0u);
    EXPECT_FLOAT_EQ(copy->hitPoints, 420.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(copy->stats.base[i], 0.5f * harness.Unit(0, enemy)->stats.base[i]) << "attribute " << i;
    EXPECT_EQ(copy->owner, 0);
    EXPECT_EQ(copy->team, 0);
    CUnit* plain = harness.Unit(0, static_cast<int32_t>(id + 1));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->unitFlags & 0x1000000u, 0u);
    EXPECT_EQ(harness.Object(0, static_cast<int32_t>(id + 2)), nullptr);
}

TEST_F(PlayScreenTest, SkillPointsOfOtherPlayersAreSpentFromTheirRecords) {
    Make(1);
    Step();
    const int32_t knight = harness.SpawnUnit("Knight", {140, 0, 100}, 1, 0);
    CUnit* unit = harness.Unit(0, knight);
    unit->RebuildSkills(0);
    unit->levelUps = 3;
    CSkillInstance* bolt = unit->skills[0];  // two levels
    struct Case {
        uint32_t slot;
        uint32_t index;
        int32_t level, pending, points;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 3},   // the own slot learned when the point was spent
        {12, 0, 0, 0, 3},  // no player slot
        {1, 9, 0, 0, 3},   // no such skill
        {1, 0, 1, 0, 2},   // level 0: at once
        {1, 0, 1, 1, 1},   // cooling down: pending
        {1, 0, 1, 1, 1},   // the last level is taken
    };
    for (const Case& c : cases) {
        if (bolt->level == 1) bolt->RestartCooldown();
        Commands().BuildSkillSlotAction(c.slot, knight, c.index, 0);
        Step(0);
        EXPECT_EQ(bolt->level, c.level) << c.slot << " " << c.index;
        EXPECT_EQ(bolt->pendingLevels, c.pending) << c.slot << " " << c.index;
        EXPECT_EQ(unit->levelUps, c.points) << c.slot << " " << c.index;
    }
}

TEST_F(PlayScreenTest, SkillActionRecordsSpawnTheRecalledUnitIntoTheF4Group) {
    CPlayScreen& play = Make(1);
    Step();
    const int32_t caster = harness.GiveSkill(hero, "Call");
    ASSERT_GE(caster, 0);
    Commands().BuildSkillAction(3000, hero, caster, {150, 0, 100}, 0);
    Commands().BuildSkillAction(3001, hero, 999, {150, 0, 100}, 0);  // no such caster
    Step(0);
    ASSERT_NE(harness.Unit(0, 3000), nullptr);
    EXPECT_EQ(harness.Object(0, 3001), nullptr);
    EXPECT_EQ(play.UnitGroup(CPlayScreen::kSummonGroup), std::vector<int32_t>{3000});
}

TEST_F(PlayScreenTest, DroppedItemsAndSingleUnitsComeUnderTheirRecordsIds) {
    Make(1);
    Step();
    Commands().BuildCreateObject(4, NameHash("Potion"), {120, 0, 120}, 4000, 0);
    Commands().BuildCreateObject(1, NameHash("No such item"), {120, 0, 120}, 4001, 0);
    Commands().BuildCreateObject(1, NameHash("Potion"), {120, 0, 120}, 40000, 0);  // past the ids
    Commands().BuildSpawnUnit(1, 1, {160, 0, 160}, 0, NameHash("Creep"), 4002, 0);
    Commands().BuildSpawnUnit(1, 1, {160, 0, 160}, 0, NameHash("Creep"), 4000, 0);  // the id is taken
    Step(0);
    auto* item = dynamic_cast<CItemObject*>(harness.Object(0, 4000));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->itemCount, 4);
    EXPECT_EQ(harness.Object(0, 4001), nullptr);
    CUnit* unit = harness.Unit(0, 4002);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->owner, 1);
    EXPECT_EQ(unit->team, World().ownerTeam[1]);
    EXPECT_EQ(unit->order.kind, 5);
}

TEST_F(PlayScreenTest, TheSampleTutorialRunsToItsEndAndEndsTheMatch) {
    CScriptManager scripts;
    ASSERT_EQ(scripts.OpenText("TUTORIAL.DAT", SampleTutorialScript("VALLEY.DRM")), 1) << ErrorReport().GetText();
    ASSERT_EQ(scripts.Start(), 1) << ErrorReport().GetText();
    World().gameMode = 2;
    PlayContext context;
    context.ground = harness.machine(0).map.get();
    context.camera = &camera;
    context.scripts = &scripts;
    screen = std::make_unique<CPlayScreen>(context);
    CPlayScreen& play = *screen;
    auto frames = [&](int n) {
        for (int i = 0; i < n; ++i) Step(250);
    };
    frames(2);
    EXPECT_EQ(host.box.text, "Walk to the marked area.");
    host.box.result = 1;
    frames(2);
    EXPECT_EQ(scripts.CurrentIndex(), 0) << "the hero has not arrived";
    harness.Unit(0, hero)->TeleportTo({272, 0, 272});
    frames(4);
    ASSERT_EQ(scripts.CurrentIndex(), 1);
    CWorldObject* guard = scripts.FindObject(NameHash("Guard"));
    ASSERT_NE(guard, nullptr);
    EXPECT_EQ(host.box.text, "Defeat the guard.");
    host.box.result = 1;
    frames(2);
    EXPECT_EQ(play.GameOver(), 0);
    guard->Die();
    frames(8);
    EXPECT_NE(play.GameOver(), 0) << "the last mission is over";
    screen.reset();  // it clears the scripts it was lent
}

TEST_F(PlayScreenTest, LoadSetsTheSunAndTheSteepCamera) {
    Make(1);
    Step();
    ASSERT_EQ(host.lightSets, 1);
    EXPECT_EQ(host.light.type, platform::LIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(host.light.direction.x, -0.5f);
    EXPECT_FLOAT_EQ(host.light.direction.y, -0.5f);
    EXPECT_FLOAT_EQ(host.light.direction.z, 0.5f);
    EXPECT_FLOAT_EQ(host.light.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(host.light.diffuse.a, 0.0f);
    EXPECT_FLOAT_EQ(host.light.specular.a, 1.0f);
    EXPECT_FLOAT_EQ(camera.pitchLimitHigh, 0.98f);
    EXPECT_FLOAT_EQ(camera.pitchLimitLow, 0.82f);
    Step();
    EXPECT_EQ(host.lightSets, 1) << "set once, at load";
}

TEST_F(PlayScreenTest, AClickMarkerPlaysOnTheGroundOnceAndGoes) {
    CPlayResources resources;
    auto* model = g_pResourceManager->GetResource("SAMPLE.DRC", RES_MODEL, nullptr, 1);
    ASSERT_NE(model, nullptr);
    resources.clickMarkers[CClickMarkers::MOVE] = model;
    CPlayScreen& play = Make(1);
    Step();
    CClickMarkers& markers = play.ClickMarkers();
    const platform::Vec3 at{150, 0, 150};
    markers.Show(CClickMarkers::ATTACK, at, harness.machine(0).map.get());  // no model: nothing
    markers.Show(7, at, harness.machine(0).map.get());
    EXPECT_EQ(markers.Active(), nullptr);
    markers.Show(CClickMarkers::MOVE, at, harness.machine(0).map.get());
    ASSERT_EQ(markers.Active(), markers.Marker(CClickMarkers::MOVE));
    EXPECT_FLOAT_EQ(markers.Active()->position.y, harness.machine(0).map->GetHeightAt(at));
    int frames = 0;
    while (markers.Active() && frames < 300) {
        Step();
        ++frames;
    }
    EXPECT_EQ(markers.Active(), nullptr) << "its animation has run";
    EXPECT_GT(frames, 1);
    screen.reset();  // the markers give their model back while the resources still hold it
}

namespace {

// A right click on the ground in a network match: the order leaves in a 1015
// frame byte for byte, and only its echo walks the hero.
TEST_F(PlayNetworkTest, ARightClickOrderGoesOutInAFrameAndItsEchoWalksTheHero) {
    CPlayScreen& play = Make(0);
    Step();
    Step(100);
    Step(100);
    Step(50);
    ASSERT_TRUE(PollUntil([&] { return !Commands().Frame(0).Empty(); }));
    Step(250);
    ASSERT_TRUE(PollUntil([&] { return play.Phase() == CPlayScreen::PHASE_PLAY; }));
    CUnit& unit = *harness.Unit(0, hero);
    const platform::Vec3 start = unit.position;
    const platform::Vec3 centre = unit.bounds.center;
    camera.SetLookAt({centre.x, centre.y + 220, centre.z - 140}, centre, camera.fov);
    input->SetCursor(800, 384);
    input->SetButton(1, true);
    Step(0);
    input->SetButton(1, false);
    Step(0);
    ASSERT_EQ(play.ActiveClickMarker(), 0);
    const platform::Vec3 point = play.ClickMarkerPoint();
    EXPECT_EQ(unit.order.kind, 0);  // nothing moves before the echo

    Step(250);
    std::vector<uint8_t> record;
    ASSERT_TRUE(PollUntil([&] {
        for (const FakePacket& p : server.Received()) {
            if (p.id != PK_GAME_COMMANDS) continue;
            for (size_t at = CommandFrame::kHeaderSize; at + 1 < p.payload.size() && p.payload[at + 1];
                 at += p.payload[at + 1])
                if (p.payload[at] == CMD_UNIT_ORDER)
                    record.assign(p.payload.begin() + static_cast<long>(at),
                                  p.payload.begin() + static_cast<long>(at + p.payload[at + 1]));
        }
        return !record.empty();
    }));
    ASSERT_EQ(record.size(), static_cast<size_t>(GameCommandSize(CMD_UNIT_ORDER)));
    auto i16 = [&](size_t at) { return static_cast<int16_t>(record[at] | record[at + 1] << 8); };
    EXPECT_EQ(record[2], 3);  // move
    EXPECT_EQ(record[3], 1);
    EXPECT_EQ(i16(8), hero);
    EXPECT_EQ(i16(12), TruncateToI16(point.x));
    EXPECT_EQ(i16(14), TruncateToI16(point.z));
    EXPECT_GT(point.x, start.x);

    ASSERT_TRUE(PollUntil([&] { return unit.order.kind == 3; }));
    for (int i = 0; i < 60; ++i) Step(33);
    EXPECT_GT(unit.position.x, start.x + 5.0f);
}

}  // namespace
