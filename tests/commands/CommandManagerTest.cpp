// The manager's pools, its queue, the recording filter and deferred records.
#include <gtest/gtest.h>

#include "commands/GameCommandManager.h"

namespace {

// Slots 0-5 play for team 0, slots 6-11 for team 1; the local player is on team 0.
std::array<int32_t, 12> TwoTeams() {
    std::array<int32_t, 12> teams{};
    for (int i = 6; i < 12; ++i) teams[size_t(i)] = 1;
    return teams;
}

}  // namespace

TEST(CommandManager, RegistersItselfWhileItLives) {
    {
        CGameCommandManager m;
        EXPECT_EQ(g_pGameCommandManager, &m);
    }
    EXPECT_EQ(g_pGameCommandManager, nullptr);
}

TEST(CommandManager, EveryPoolStartsWithOneChunkAndGrowsByItsChunkCount) {
    CGameCommandManager m;
    for (const GameCommandInfo& info : kGameCommandTable) {
        SCOPED_TRACE(info.name);
        const CBlockPool<CGameCommand>& pool = m.Pool(info.type);
        EXPECT_EQ(pool.ChunkCount(), 1u);
        EXPECT_EQ(pool.FreeCount(), info.blocksPerChunk);
        std::vector<CGameCommand*> taken;
        for (int i = 0; i <= info.blocksPerChunk; ++i) taken.push_back(m.CreateCommand(info.type));
        EXPECT_EQ(pool.ChunkCount(), 2u);
        EXPECT_EQ(pool.FreeCount(), size_t(info.blocksPerChunk) - 1);
        for (CGameCommand* r : taken) {
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(r->Type(), info.type);
            EXPECT_EQ(r->Size(), info.size);
            m.FreeCommand(r);
        }
        EXPECT_EQ(pool.FreeCount(), size_t(info.blocksPerChunk) * 2);
    }
    EXPECT_EQ(m.CreateCommand(34), nullptr);
    EXPECT_EQ(m.CreateCommand(0xFFFFFFFFu), nullptr);
}

TEST(CommandManager, ReleasedRecordsComeBackFirstInFirstOut) {
    CGameCommandManager m;  // CMD_HERO_REVIVE: four blocks a chunk
    CGameCommand* a = m.CreateCommand(CMD_HERO_REVIVE);
    CGameCommand* b = m.CreateCommand(CMD_HERO_REVIVE);
    CGameCommand* c = m.CreateCommand(CMD_HERO_REVIVE);
    const void* wasFree = m.Pool(CMD_HERO_REVIVE).NextFree();
    a->SetU32(4, 0xDEADBEEF);
    m.FreeCommand(a);
    m.FreeCommand(b);
    m.FreeCommand(c);
    CGameCommand* first = m.CreateCommand(CMD_HERO_REVIVE);
    EXPECT_EQ(static_cast<const void*>(first), wasFree);
    EXPECT_EQ(m.CreateCommand(CMD_HERO_REVIVE), a);
    EXPECT_EQ(a->U32(4), 0u) << "a record comes out of its pool zeroed";
    EXPECT_EQ(a->Type(), CMD_HERO_REVIVE);
    EXPECT_EQ(m.CreateCommand(CMD_HERO_REVIVE), b);
    EXPECT_EQ(m.CreateCommand(CMD_HERO_REVIVE), c);
    EXPECT_EQ(m.Pool(CMD_HERO_REVIVE).ChunkCount(), 1u);
}

TEST(CommandManager, OfflineRecordsRunInTheOrderTheyWereMade) {
    CGameCommandManager m;
    float clock = 0;
    m.BeginSession(0, &clock, 0, 0, TwoTeams());
    m.BuildPlayerEvent(1, 0, 1);
    m.BuildPlayerEvent(2, 0, 1);
    m.BuildPlayerEvent(3, 0, 1);
    EXPECT_EQ(m.Frame(0).Count(), 0) << "offline nothing is packed";
    for (int kind = 1; kind <= 3; ++kind) {
        CGameCommand* r = m.NextCommand();
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->U8(2), kind);
        m.ReleaseDispatched(r);
    }
    EXPECT_EQ(m.NextCommand(), nullptr);
    EXPECT_EQ(m.Pool(CMD_PLAYER_EVENT).FreeCount(), 8u) << "not recording: every record went back";
}

TEST(CommandManager, RecordingKeepsWhatAReplayMayShow) {
    CGameCommandManager m;
    float clock = 3.5f;
    m.BeginSession(0, &clock, 1, 0, TwoTeams());
    struct Case {
        const char* what;
        std::function<CGameCommand*()> build;
        bool kept;
    };
    const Case cases[] = {
        {"game event kind 7 (keep flag 0)", [&] { return m.BuildGameEvent(7, 1, 0, 0); }, false},
        {"game event kind 10 (keep flag 0)", [&] { return m.BuildGameEvent(10, 1, 0, 0); }, false},
        {"game event kind 5", [&] { return m.BuildGameEvent(5, 1, -1, 0); }, true},
        {"team chat of the other team", [&] { return m.BuildChat(7, 0, "secret", 0, 0); }, false},
        {"all chat of the other team", [&] { return m.BuildChat(7, 1, "hello", 0, 0); }, true},
        {"team chat of our team", [&] { return m.BuildChat(2, 0, "go", 0, 0); }, true},
        {"team chat of slot 12", [&] { return m.BuildChat(12, 0, "system", 0, 0); }, true},
        {"team chat of slot 200", [&] { return m.BuildChat(200, 0, "system", 0, 0); }, true},
        {"a unit order", [&] { return m.BuildUnitOrder(1, 1, 3, 0, {}, {}, -1, -1, 0); }, true},
    };
    std::vector<CGameCommand*> expected;
    for (const Case& c : cases) {
        CGameCommand* built = c.build();
        ASSERT_NE(built, nullptr) << c.what;
        CGameCommand* r = m.NextCommand();
        ASSERT_EQ(r, built) << c.what;
        const size_t chatFree = m.Pool(CMD_CHAT).FreeCount(), eventFree = m.Pool(CMD_GAME_EVENT).FreeCount();
        m.ReleaseDispatched(r);
        if (c.kept) {
            expected.push_back(r);
        } else {
            EXPECT_EQ(m.Pool(CMD_CHAT).FreeCount() + m.Pool(CMD_GAME_EVENT).FreeCount(), chatFree + eventFree + 1)
                << c.what << " goes back to its pool";
        }
    }
    EXPECT_EQ(m.Recorded(), expected);
    ASSERT_EQ(m.RecordedTimes().size(), expected.size());
    for (float t : m.RecordedTimes()) EXPECT_EQ(t, 3.5f);
    m.ClearRecording();
    EXPECT_TRUE(m.Recorded().empty());
    EXPECT_EQ(m.Pool(CMD_CHAT).FreeCount(), 4u);
}

TEST(CommandManager, ADeferredRecordRunsBeforeLaterOnes) {
    CGameCommandManager m;
    float clock = 0;
    m.BeginSession(0, &clock, 0, 0, TwoTeams());
    CGameCommand* a = m.BuildUnitOrder(1, 1, 3, 0, {}, {}, -1, -1, 0);
    CGameCommand* b = m.BuildUnitOrder(2, 1, 3, 0, {}, {}, -1, -1, 0);
    ASSERT_EQ(m.NextCommand(), a);
    m.DeferCommand(a);
    // Something made while a waits lines up behind b.
    CGameCommand* c = m.BuildUnitOrder(3, 1, 3, 0, {}, {}, -1, -1, 0);
    EXPECT_EQ(m.NextCommand(), a);
    m.ReleaseDispatched(a);
    EXPECT_EQ(m.NextCommand(), b);
    m.ReleaseDispatched(b);
    EXPECT_EQ(m.NextCommand(), c);
    m.ReleaseDispatched(c);
    EXPECT_EQ(m.NextCommand(), nullptr);
}

TEST(CommandManager, ClearQueueFreesWhatWaits) {
    CGameCommandManager m;
    for (int i = 0; i < 10; ++i) m.BuildUnitKilled(i, -1, 0);
    EXPECT_EQ(m.QueueSize(), 10u);
    m.ClearQueue();
    EXPECT_EQ(m.QueueSize(), 0u);
    EXPECT_EQ(m.Pool(CMD_UNIT_KILLED).FreeCount(), 16u);
    EXPECT_EQ(m.NextCommand(), nullptr);
}

TEST(CommandManager, BeginSessionEmptiesTheFramesWhenPacking) {
    CGameCommandManager m;
    float clock = 0;
    m.BeginSession(1, &clock, 0, 0, TwoTeams());
    for (int i = 0; i < 300; ++i) m.BuildPlayerEvent(1, 1, 1);
    ASSERT_EQ(m.CurrentFrameIndex(), 1);
    m.BeginSession(1, &clock, 0, 0, TwoTeams());
    EXPECT_EQ(m.CurrentFrameIndex(), 0);
    EXPECT_EQ(m.Frame(0).Count(), 0);
    EXPECT_EQ(m.Frame(1).Used(), 8);
    // Online, a record made without the send flag runs only here.
    CGameCommand* local = m.BuildMapAlert(1, {1, 0, 1}, 0, 0);
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(m.Frame(0).Count(), 0);
    EXPECT_EQ(m.NextCommand(), local);
    m.ReleaseDispatched(local);
}
