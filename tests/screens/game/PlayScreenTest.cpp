// The play screen on the sample map, headless: a recording screen host, a
// stepped clock, scripted input and, for network matches, the fake server.
#include "screens/game/PlayScreen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/render/Camera.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "platform/Clock.h"
#include "platform/ScriptedInput.h"
#include "screens/game/ResultStandInScreen.h"
#include "tests/fixtures/WorldHarness.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/ui/RecordingScreenHost.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

uint32_t g_now = 1000;
uint32_t Now() { return g_now; }

// Which successor makers the leaving screen called.
struct Successors {
    static inline int lobby = 0, waitRoom = 0, login = 0;
    static void Reset() { lobby = waitRoom = login = 0; }
};

class PlayScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        harness.MakeCurrent(0);
        platform::SetClockSource(&Now);
        g_pClientSession = &session;
        Successors::Reset();
        SetLobbyScreenMaker([]() -> CScreen* { return ++Successors::lobby, nullptr; });
        SetWaitRoomScreenMaker([]() -> CScreen* { return ++Successors::waitRoom, nullptr; });
        SetLoginScreenMaker([]() -> CScreen* { return ++Successors::login, nullptr; });
        auto scripted = std::make_unique<platform::ScriptedInput>();
        input = scripted.get();
        host.input.CreateInput(std::move(scripted), 0);
        camera.distance = 300.0f;
        hero = harness.SpawnUnit("Creep", {100, 0, 100}, 0, 0, 300, 30, 40, 20, 0);
        ASSERT_EQ(hero, 0);
        World().slotOccupied[0] = true;
    }
    void TearDown() override {
        screen.reset();
        g_pClientSession = nullptr;
        SetLobbyScreenMaker(nullptr);
        SetWaitRoomScreenMaker(nullptr);
        SetLoginScreenMaker(nullptr);
        platform::SetClockSource(nullptr);
    }

    CWorldObjectManager& World() { return harness.machine(0).map->objects; }
    CGameCommandManager& Commands() { return *harness.machine(0).commands; }
    CPlayScreen& Make(int gameMode) {
        World().gameMode = gameMode;
        PlayContext context;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        screen = std::make_unique<CPlayScreen>(context);
        return *screen;
    }
    // One frame after ms milliseconds.
    int Step(uint32_t ms = 33) {
        g_now += ms;
        return screen->Update();
    }
    // Frames of 100 ms until the screen ends (at most seconds).
    int RunUntilFinished(float seconds) {
        for (float t = 0; t < seconds; t += 0.1f)
            if (const int r = Step(100)) return r;
        return 0;
    }

    CWorldHarness harness;
    CClientSession session;
    CRecordingScreenHost host;
    platform::ScriptedInput* input = nullptr;
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
    int32_t hero = -1;
};

TEST_F(PlayScreenTest, SinglePlayStartsWithGoldAndTheCameraOnTheHeroAndRunsOrders) {
    CPlayScreen& play = Make(1);
    EXPECT_EQ(Step(), SCREEN_RUNNING);
    EXPECT_EQ(play.Phase(), CPlayScreen::PHASE_PLAY);
    EXPECT_EQ(session.slots[0].gold, CPlayScreen::kStartingGold);
    EXPECT_FLOAT_EQ(camera.target.x, 100.0f);
    EXPECT_FLOAT_EQ(camera.target.z, 100.0f);
    ASSERT_EQ(play.Selection().selected, std::vector<int32_t>{0});

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
        {150, 200, 100, 400}, {230, 200, 230, 400}, {230, 200, 230, 400}, {230, 200, 230, 200 + 0.2f * unit->GetStat(7)},
    };
    for (const Case& c : cases) {
        Commands().BuildUnitOrder(other, c.senderHp, 1, 0, {c.senderX, 0, 100}, {c.senderX, 0, 100}, -1, -1, 0);
        Step(0);
        EXPECT_NEAR(unit->position.x, c.wantX, 0.5f) << c.senderX;
        EXPECT_NEAR(unit->hitPoints, c.wantHp, 0.5f) << c.senderHp;
    }
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
