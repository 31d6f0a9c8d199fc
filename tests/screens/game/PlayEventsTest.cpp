// Player and game events: a leaver's wealth shared by the host, a side
// without players losing at once, the match end, the no-contest vote, score
// levels and the full-army notice.
#include <gtest/gtest.h>

#include "tests/screens/game/PlayMatchFixture.h"

namespace {

class PlayEventsTest : public PlayMatchTest {
protected:
    void SetUp() override {
        PlayMatchTest::SetUp();
        World().host = 1;
        World().gameMode = 0;
        messages().SetMsg(MSG_GAMEPLAY_OUT_PLAYER, "%s left");
        messages().SetMsg(MSG_GAMEPLAY_GIVE_MONEY_DARK_TEAM, "Light gets %d");
        messages().SetMsg(MSG_GAMEPLAY_GIVE_MONEY_LIGHT_TEAM, "Darkness gets %d");
        messages().SetMsg(MSG_GAMEPLAY_OUT_ENEMY_PLAYER, "The other side has gone");
        messages().SetMsg(MSG_GAMEPLAY_CANCEL_START_OTHER, "%s asks to stop (%d s)");
        messages().SetMsg(MSG_GAMEPLAY_CANCEL_START_THIS, "You asked to stop");
        messages().SetMsg(MSG_GAMEPLAY_CANCEL_NO, "%s said no");
        messages().SetMsg(MSG_ITEM_BUY_FULL_INVENTORY, "Army full");
    }
    CMessageTable& messages() { return g_pMessageTable ? *g_pMessageTable : ownMessages; }
    void Occupy(std::initializer_list<int> slots) {
        for (int s : slots) World().slotOccupied[s] = true;
    }
    void PlayerEvent(uint32_t kind, uint32_t value) {
        CGameCommand* r = harness.machine(0).commands->CreateCommand(CMD_PLAYER_EVENT);
        r->SetU8(2, kind);
        r->SetU8(3, value);
        screen->OnPlayerEvent(*r);
        harness.machine(0).commands->FreeCommand(r);
    }
    void GameEvent(uint32_t kind, int32_t a, int32_t b) {
        CGameCommand* r = harness.machine(0).commands->CreateCommand(CMD_GAME_EVENT);
        r->SetU8(2, kind);
        r->SetU16(4, static_cast<uint32_t>(a));
        r->SetU16(6, static_cast<uint32_t>(b));
        screen->OnMatchGameEvent(*r);
        harness.machine(0).commands->FreeCommand(r);
    }
    // The gold rewards emitted: (slot, amount) pairs, and the chat text.
    std::vector<std::pair<int32_t, int32_t>> Rewards(std::string* chat) {
        std::vector<CGameCommand*> records = TakeEmitted();
        std::vector<std::pair<int32_t, int32_t>> out;
        for (CGameCommand* r : records) {
            if (r->Type() == CMD_GRANT_REWARD) out.emplace_back(r->I16(4), r->I16(6));
            if (r->Type() == CMD_CHAT && chat) *chat = reinterpret_cast<const char*>(r->Bytes() + 4);
        }
        Release(records);
        return out;
    }
};

TEST_F(PlayEventsTest, ALeaversWealthGoesToTheActiveMatesCapped) {
    struct Case {
        const char* what;
        int32_t gold;
        std::vector<int> mates;  // occupied Light slots besides the leaver (slot 5)
        std::vector<int> gone, excluded;
        std::vector<std::pair<int32_t, int32_t>> rewards;
    };
    const Case cases[] = {
        {"nothing at all: 1200 shared", 0, {0, 1}, {}, {}, {{0, 600}, {1, 600}}},
        {"100000 is capped at 30000 each", 100000, {0, 1}, {}, {}, {{0, 30000}, {1, 30000}}},
        {"gone and excluded mates get nothing", 900, {0, 1, 2}, {0}, {1}, {{2, 900}}},
        {"nobody left to receive", 900, {0}, {0}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int s = 0; s < 12; ++s) {
            World().slotOccupied[s] = World().slotGone[s] = false;
            session.slots[static_cast<size_t>(s)].excluded = 0;
        }
        Occupy({5, 6, 7});  // Darkness never receives Light's wealth
        for (int s : c.mates) World().slotOccupied[s] = true;
        for (int s : c.gone) World().slotGone[s] = true;
        for (int s : c.excluded) session.slots[static_cast<size_t>(s)].excluded = 1;
        CUnit* leaver = harness.Unit(0, 5) ? harness.Unit(0, 5) : Hero(5, 3, "Leaver");
        leaver->alive = 1;
        session.slots[5].gold = c.gold;
        session.slots[5].goldEarned = 0;
        PlayerEvent(1, 5);
        std::string chat;
        EXPECT_EQ(Rewards(&chat), c.rewards);
        if (!c.rewards.empty()) {
            EXPECT_EQ(chat, "Light gets " + std::to_string(c.rewards[0].second));
        }
        EXPECT_FALSE(leaver->alive);
        EXPECT_FLOAT_EQ(leaver->revivalTime, 1000.0f);
        EXPECT_EQ(screen->PlayChatLines().back(), "nickLeaver left");
    }
    // Only the host shares.
    World().host = 0;
    Occupy({0, 1});
    World().slotGone[0] = false;
    PlayerEvent(1, 5);
    EXPECT_TRUE(Rewards(nullptr).empty());
}

TEST_F(PlayEventsTest, ASideWithoutPlayersLosesAndMatchEndsAreTakenOnce) {
    Occupy({0, 1, 6});
    World().slotGone[6] = true;  // the network handler marked the leaver
    PlayerEvent(1, 6);
    EXPECT_EQ(screen->GameOver(), 2);
    EXPECT_EQ(screen->WinningTeam(), 0);
    EXPECT_EQ(World().worldFrozen, 1u);
    EXPECT_EQ(host.box.text, "The other side has gone");
    EXPECT_EQ(host.box.mode, 0);
    // A match end after the end, or of a team byte out of range, changes nothing.
    PlayerEvent(0, 1);
    EXPECT_EQ(screen->WinningTeam(), 0);
    EXPECT_EQ(screen->GameOver(), 2);

    PlayMatchTest::TearDown();
    PlayMatchTest::SetUp();
    PlayerEvent(0, 7);
    EXPECT_EQ(screen->GameOver(), 0);
    PlayerEvent(0, 1);
    EXPECT_EQ(screen->GameOver(), 1);
    EXPECT_EQ(screen->WinningTeam(), 1);
    PlayerEvent(1, 200);  // no slot 200: nothing
    EXPECT_TRUE(screen->PlayChatLines().empty());
}

TEST_F(PlayEventsTest, NoContestVoteOfFourPlayers) {
    // A guest of a networked match: the end goes straight to the leave.
    World().online = 1;
    World().host = 0;
    Occupy({0, 1, 6, 7});
    World().localSlot = 0;
    for (int s : {0, 1, 6, 7}) session.slots[static_cast<size_t>(s)].nickname = "p" + std::to_string(s);
    GameEvent(9, 1, 6);  // slot 6 starts: the others see 226 with whole seconds
    EXPECT_EQ(screen->VoteState(), 1);
    EXPECT_EQ(host.box.text, "p6 asks to stop (30 s)");
    EXPECT_EQ(host.box.mode, 2);
    EXPECT_TRUE(screen->VoteBoxShown());
    GameEvent(9, 1, 7);  // a second start while one runs is ignored
    EXPECT_EQ(screen->Votes()[7], 0);
    GameEvent(9, 2, 7);
    GameEvent(9, 2, 1);
    EXPECT_EQ(screen->VoteState(), 1);
    EXPECT_EQ(screen->LeaveTarget(), CPlayScreen::LEAVE_LOBBY);
    GameEvent(9, 2, 0);  // the fourth agreement ends the match
    EXPECT_EQ(screen->VoteState(), -1);
    EXPECT_EQ(screen->Phase(), CPlayScreen::PHASE_LEAVING);
    EXPECT_EQ(screen->LeaveTarget(), CPlayScreen::LEAVE_NO_CONTEST);

    // A refusal clears every mark and ends the vote.
    PlayMatchTest::TearDown();
    PlayMatchTest::SetUp();
    Occupy({0, 1, 6, 7});
    session.slots[1].nickname = "p1";
    GameEvent(9, 1, 0);
    EXPECT_EQ(screen->VoteState(), 2);
    GameEvent(9, 2, 6);
    GameEvent(9, 3, 1);
    EXPECT_EQ(screen->VoteState(), -1);
    for (uint8_t v : screen->Votes()) EXPECT_EQ(v, 0);
    EXPECT_EQ(screen->PlayChatLines().back(), "p1 said no");
    EXPECT_FALSE(screen->VoteBoxShown());
    GameEvent(9, 2, 12);  // no slot 12
    GameEvent(9, 2, 6);   // no vote runs
    EXPECT_EQ(screen->Votes()[6], 0);
}

TEST_F(PlayEventsTest, ScoreLevelsFullArmyNoticeAlertAndFollow) {
    for (const auto& [score, level] : std::vector<std::pair<int32_t, int32_t>>{
             {0, 1}, {999, 1}, {2500, 2}, {6000, 6}, {90000, 6}, {-5000, 1}}) {
        screen->SetTeamScore(1, score);
        EXPECT_EQ(screen->GetTeamScoreLevel(1), level) << score;
    }
    // Kind 4 with a full army: the unit stays, only its owner reads 214.
    for (int32_t slot : {0, 3}) {
        CPlayerSlot& owner = session.slots[static_cast<size_t>(slot)];
        for (int i = 0; i < CPlayerSlot::kItems; ++i) owner.items[static_cast<size_t>(i)] = reinterpret_cast<CInventoryItem*>(&owner);
    }
    CUnit* unit = Hero(0, 2, "Soldier");
    GameEvent(4, unit->id, 3);
    EXPECT_TRUE(screen->EventNotices().empty());
    GameEvent(4, unit->id, 0);
    ASSERT_EQ(screen->EventNotices().size(), 1u);
    EXPECT_EQ(screen->EventNotices()[0].first, "Army full");
    EXPECT_EQ(screen->EventNotices()[0].second, 0xFFFF0000u);
    EXPECT_TRUE(unit->alive);
    for (int32_t slot : {0, 3}) session.slots[static_cast<size_t>(slot)].items.fill(nullptr);

    GameEvent(8, 123, 0);
    EXPECT_EQ(screen->AlertObject(), 123);
    PlayerEvent(11, 4);
    EXPECT_EQ(screen->FollowedSlot(), 4);
    PlayerEvent(11, 40);
    EXPECT_EQ(screen->FollowedSlot(), 4);
}

}  // namespace
