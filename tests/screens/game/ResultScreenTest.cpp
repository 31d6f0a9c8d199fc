// The result screen: the score and its table order, win points, the rows
// filled from message 1014, the reward answer, the replay job and the way
// out, on the sample folder's layouts with a stepped clock.
#include "screens/game/ResultScreen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "commands/CommandRecords.h"
#include "engine/core/ErrorReport.h"
#include "engine/resource/ResourceManager.h"
#include "net/MessageIds.h"
#include "net/NetPacket.h"
#include "platform/Clock.h"
#include "platform/ScriptedInput.h"
#include "screens/game/ImageBoxWindow.h"
#include "screens/game/ResultWindow.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/screens/game/PlayMatchFixture.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiStatic.h"

namespace {

uint32_t g_resultNow = 5000;
uint32_t ResultNow() { return g_resultNow; }

TEST(ResultScores, ScoreCapsPointsAndTheTableSortsStably) {
    std::array<CPlayerSlot, 12> slots;
    bool gone[12] = {};
    auto set = [&](int p, int32_t points, int32_t heroKills, int32_t buildings) {
        CPlayerSlot& s = slots[static_cast<size_t>(p)];
        s.heroId = 1;
        s.points = points;
        s.heroKills = heroKills;
        s.buildingKills = buildings;
        s.score = CResultScreen::Score(s);
    };
    set(0, 100, 0, 0);
    set(1, 9000, 0, 0);  // counts as 6000
    slots[1].unitKills = 2;
    slots[1].extraPoints = 5;
    slots[1].score = CResultScreen::Score(slots[1]);
    EXPECT_EQ(slots[1].score, 6000 + 2 * (25 * 2 + 5));
    set(2, 300, 1, 0);   // 300 + 400 = 700
    set(3, 700, 0, 0);   // 700: fewer hero kills than 2
    set(4, 700, 0, 0);   // equal to 3 in every way: stays behind it
    set(6, 700, 0, 0);
    set(7, 9000, 9, 9);  // left: last
    slots[3].buildingKills = 0;
    slots[6].buildingKills = 0;
    gone[7] = true;
    set(8, 100 - 12 * 50, 0, 1);  // -500 + 600 = 100: ties with 0, more buildings
    EXPECT_EQ(CResultScreen::TableOrder(slots, gone), (std::vector<int>{1, 2, 3, 4, 6, 8, 0, 7}));
}

TEST(ResultScores, WinPoints) {
    RoomRecord room;
    auto put = [&](int slot, uint8_t team, int32_t rating) {
        room.Slot(slot)[0] = RoomRecord::kOccupied;
        room.Slot(slot)[1] = team;
        StoreU32(room.Member(slot) + MemberEntry::kRankOffset, static_cast<uint32_t>(rating));
    };
    put(0, 0, 10);
    put(1, 0, 30);
    put(6, 1, 20);
    put(7, 1, 40);  // Darkness averages 30
    // X = 10 x (2 x 4 + 1 - place).
    struct Case {
        int position, place;
        bool winner;
        int32_t points;
    };
    const Case cases[] = {
        {0, 1, true, static_cast<int32_t>(5.0 * 80 * (1 + 20 * 0.09090909)) / 2},  // d = -20
        {1, 2, true, static_cast<int32_t>(5.0 * 70 * 1.0) / 2},                    // d = 0
        {7, 1, true, static_cast<int32_t>(4.0 * 80 * (1 - 0.01 * 20)) / 2},        // d = 20 against Light's 20
        {1, 3, false, static_cast<int32_t>(5.0 * 60 * 0.1) / 2 / 2},               // halved twice
        {6, 10, false, 0},                                                          // X = -10: negative
    };
    for (const Case& c : cases)
        EXPECT_EQ(CResultScreen::ComputeWinPoints(room, c.position, c.place, c.winner), c.points) << c.position;
    // The other side empty: d is 0, no division by zero.
    RoomRecord alone;
    alone.Slot(0)[0] = RoomRecord::kOccupied;
    StoreU32(alone.Member(0) + MemberEntry::kRankOffset, 77);
    EXPECT_EQ(CResultScreen::ComputeWinPoints(alone, 0, 1, true), static_cast<int32_t>(5.0 * 20) / 2);
}

TEST(ResultScores, ReplayFileNameFromTheLocalTime) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 2;
    t.tm_hour = 3;
    t.tm_min = 4;
    t.tm_sec = 5;
    EXPECT_EQ(CResultScreen::ReplayFileName("C:\\Replay", t), "C:\\Replay\\REPLAY_20260102030405.SRD");
}

class ResultScreenTest : public PlayMatchTest {
protected:
    void SetUp() override {
        PlayMatchTest::SetUp();
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        platform::SetClockSource(&ResultNow);
        auto scripted = std::make_unique<platform::ScriptedInput>();
        input = scripted.get();
        host.input.CreateInput(std::move(scripted), 0);
        messages().SetMsg(MSG_RESULT_WAR_POINT, "%d WP");
        messages().SetMsg(MSG_RESULT_GO_TO_WAITROOM, "%d s");
        messages().SetMsg(MSG_RESULT_PLAY_TIME, "%d:%02d");
        messages().SetMsg(MSG_RESULT_INVALID_RESULT, "invalid result");
        Successors::waitRoom = Successors::lobby = 0;
        SetWaitRoomScreenMaker([]() -> CScreen* { return ++Successors::waitRoom, nullptr; });
        SetLobbyScreenMaker([]() -> CScreen* { return ++Successors::lobby, nullptr; });
        for (int p : {0, 1, 6}) {
            session.slots[static_cast<size_t>(p)].heroId = 1;
            session.slots[static_cast<size_t>(p)].nickname = "p" + std::to_string(p);
            World().slotOccupied[p] = true;
        }
        World().gameClock = 125.0f;
    }
    void TearDown() override {
        result.reset();
        SetWaitRoomScreenMaker(nullptr);
        SetLobbyScreenMaker(nullptr);
        CResultScreen::SetTimeSource(nullptr);
        platform::SetClockSource(nullptr);
        PlayMatchTest::TearDown();
    }
    CMessageTable& messages() { return g_pMessageTable ? *g_pMessageTable : ownMessages; }
    CResultScreen& Make(int32_t winner) {
        result = std::make_unique<CResultScreen>(winner);
        EXPECT_EQ(Step(), SCREEN_RUNNING);
        EXPECT_NE(result->Window(), nullptr) << ErrorReport().GetText();
        return *result;
    }
    int Step(uint32_t ms = 100) {
        g_resultNow += ms;
        return result->Update();
    }
    static NetPacket Packet(uint16_t id, const std::vector<uint8_t>& bytes) {
        NetPacket p;
        p.id = id;
        p.length = static_cast<uint16_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), p.payload.begin());
        return p;
    }
    static std::vector<uint8_t> GameResult(uint16_t code, uint32_t rewardKind) {
        std::vector<uint8_t> b(CResultScreen::kResultBytes, 0);
        StoreU16(b.data(), code);
        b[2 + MemberEntry::kNicknameOffset] = 'Z';
        StoreU32(b.data() + 73, 12345);
        StoreU32(b.data() + 77, 6);
        auto money = [&](int p, int32_t base, int32_t gain, int32_t loss, int32_t bonus) {
            uint8_t* at = b.data() + 81 + 16 * p;
            StoreU32(at, static_cast<uint32_t>(base));
            StoreU32(at + 4, static_cast<uint32_t>(gain));
            StoreU32(at + 8, static_cast<uint32_t>(loss));
            StoreU32(at + 12, static_cast<uint32_t>(bonus));
        };
        money(0, 100, 50, -30, 20);
        money(1, 10, 0, -500, 0);
        StoreU32(b.data() + 273, rewardKind);
        return b;
    }
    // The row that shows a position.
    CResultWindow::Row* RowOf(const std::string& nick) {
        for (CResultWindow::Row& row : result->Window()->rows)
            if (row.nick->GetText().find(nick) != std::string::npos) return &row;
        return nullptr;
    }

    struct Successors {
        static inline int waitRoom = 0, lobby = 0;
    };
    std::unique_ptr<CResultScreen> result;
    platform::ScriptedInput* input = nullptr;
};

TEST_F(ResultScreenTest, GameResultFillsTheRowsMoneyAndWinPoints) {
    CResultScreen& screen = Make(0);
    EXPECT_FALSE(screen.Window()->win->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(screen.Window()->lose->HasFlags(UI_HIDDEN));
    EXPECT_EQ(screen.Window()->playTime->GetText(), "2:05");
    ASSERT_EQ(screen.HandleResultMessage(Packet(PK_GAME_RESULT, GameResult(0, 1))), CResultScreen::kPollNext);
    EXPECT_EQ(screen.ResultReceived(), 1);
    EXPECT_EQ(screen.RewardStateValue(), CResultScreen::REWARD_NO);
    EXPECT_EQ(session.money, 12345);
    EXPECT_EQ(session.ownEntry.bytes[MemberEntry::kNicknameOffset], 'Z');

    CResultWindow::Row* own = RowOf("p0");
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->nick->GetText(), "</C=ffff00>p0");
    EXPECT_EQ(own->money->GetText(), "</C=ffff00>120</C=00ff00> +20 BONUS");
    EXPECT_EQ(own->moneyDetail->GetText(), "</C=ffff00>100 +50</C=ff0000> -30");
    EXPECT_EQ(own->winPoints->GetText().substr(own->winPoints->GetText().size() - 3), " WP");
    EXPECT_FALSE(own->lightBack->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(own->darkBack->HasFlags(UI_HIDDEN));
    CResultWindow::Row* poor = RowOf("p1");
    ASSERT_NE(poor, nullptr);
    EXPECT_EQ(poor->money->GetText(), "</C=ffffff>0");  // a negative sum shows 0
    CResultWindow::Row* dark = RowOf("p6");
    ASSERT_NE(dark, nullptr);
    EXPECT_TRUE(dark->lightBack->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(dark->darkBack->HasFlags(UI_HIDDEN));
    // Rows without a position stay hidden.
    EXPECT_TRUE(screen.Window()->rows[3].nick->HasFlags(UI_HIDDEN));
}

TEST_F(ResultScreenTest, InvalidResultsFailThePoll) {
    CResultScreen& screen = Make(1);
    EXPECT_TRUE(screen.Window()->win->HasFlags(UI_HIDDEN));
    EXPECT_EQ(screen.HandleResultMessage(Packet(PK_GAME_RESULT, GameResult(5, 1))), 0);
    EXPECT_EQ(ErrorReport().GetCode(), 241u);
    EXPECT_EQ(host.closes, 1);
    std::vector<uint8_t> shortResult = GameResult(0, 1);
    shortResult.resize(636);
    EXPECT_EQ(screen.HandleResultMessage(Packet(PK_GAME_RESULT, shortResult)), 0);
    EXPECT_EQ(screen.ResultReceived(), 0);
}

TEST_F(ResultScreenTest, RewardAnswerStoresOnlyPlacesInsideTheCardRows) {
    CResultScreen& screen = Make(0);
    std::vector<uint8_t> answer(13, 0);
    StoreU32(answer.data() + 1, 4201);
    answer[5] = 2;  // row 2
    answer[6] = 7;  // column 7
    StoreU32(answer.data() + 7, 4302);
    answer[11] = 5;  // row 5: outside
    answer[12] = 0;
    ASSERT_EQ(screen.HandleResultMessage(Packet(1070, answer)), CResultScreen::kPollNext);
    EXPECT_EQ(session.inventory[2][7].cardId, 4201u);
    for (const auto& row : session.inventory)
        for (const InventorySlot& slot : row) EXPECT_NE(slot.cardId, 4302u);
    EXPECT_EQ(screen.RewardStateValue(), CResultScreen::REWARD_SHOWN);
    EXPECT_FALSE(screen.RewardBox()->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(session.rewardFlag);
    std::vector<uint8_t> full = {25};
    EXPECT_EQ(screen.HandleResultMessage(Packet(1070, full)), CResultScreen::kPollNext);
    EXPECT_EQ(screen.RewardStateValue(), CResultScreen::REWARD_NO);
}

TEST_F(ResultScreenTest, CountdownLeadsToTheWaitingRoomAfterTheJob) {
    CResultScreen& screen = Make(0);
    EXPECT_FALSE(harness.machine(0).commands->IsRecording());
    int result = SCREEN_RUNNING;
    for (int i = 0; i < 400 && result == SCREEN_RUNNING; ++i) result = Step(100);
    // The job runs on the loader thread: the screen waits for it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (result == SCREEN_RUNNING && std::chrono::steady_clock::now() < end) {
        result = Step(100);
        std::this_thread::yield();
    }
    EXPECT_EQ(result, SCREEN_FINISHED);
    EXPECT_EQ(screen.Countdown(), 0.0f);
    EXPECT_EQ(screen.JobDone(), 1);  // no recording: no file, the flag still set
    EXPECT_TRUE(screen.ReplayPath().empty());
    EXPECT_EQ(Successors::waitRoom, 1);
    EXPECT_EQ(Successors::lobby, 0);
    EXPECT_TRUE(session.returningFromMatch);
}

TEST_F(ResultScreenTest, EnterLeavesAtOnce) {
    Make(0);
    for (int i = 0; i < 20; ++i) Step(100);  // past the fade-in
    input->SetKey(platform::DIK_RETURN, true);
    Step(100);  // the frame's input is read at its end
    Step(100);
    input->SetKey(platform::DIK_RETURN, false);
    EXPECT_EQ(result->Phase(), CResultScreen::PHASE_LEAVING);
    EXPECT_GT(result->Countdown(), 20.0f);
}

}  // namespace
