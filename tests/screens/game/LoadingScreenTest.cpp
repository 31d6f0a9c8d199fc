// The loading screen on the real client loop (recording device, scripted
// input, stepped clock): a single-play match on the sample map from the
// loading picture to the play screen, the job's exact progress and its
// failures, and a network match whose other players the fake game server
// plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/TextFormat.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "platform/Input.h"
#include "screens/game/LoadingMessages.h"
#include "screens/game/LoadingScreen.h"
#include "screens/game/LoadingWindow.h"
#include "screens/game/PlayResources.h"
#include "tests/app/AppFixture.h"
#include "tests/servers/FakeGameServer.h"
#include "tools/SampleGameData.h"
#include "tools/SampleMap.h"
#include "ui/UiGauge.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes Words(std::initializer_list<uint32_t> words) {
    Bytes out;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
    return out;
}

// The job's progress as it moves (written on the loader thread, read once the job has ended).
// The fixture's pointer to it goes when the screen does.
class CProbeLoadingScreen : public CLoadingScreen {
public:
    CProbeLoadingScreen(std::vector<float>* record, CProbeLoadingScreen** self) : m_record(record), m_self(self) {
        *m_self = this;
    }
    ~CProbeLoadingScreen() override {
        // The job must end before its recorder goes.
        if (g_pResourceManager) g_pResourceManager->WaitLoaderThread(CResourceManager::kInfinite);
        *m_self = nullptr;
    }

protected:
    void OnProgress(float value) override { m_record->push_back(value); }

private:
    std::vector<float>* m_record;
    CProbeLoadingScreen** m_self;
};

// Where a value first appears at or after from; npos past the end.
size_t Find(const std::vector<float>& values, float value, size_t from) {
    auto it = std::find(values.begin() + static_cast<long>(std::min(from, values.size())), values.end(), value);
    return it == values.end() ? std::string::npos : static_cast<size_t>(it - values.begin());
}
}  // namespace

class LoadingFixture : public AppFixture {
protected:
    static inline int s_playScreens = 0;
    static CScreen* MakePlayStandIn() {
        ++s_playScreens;
        return new CScriptedScreen("Play", nullptr, {});
    }

    void SetUp() override {
        AppFixture::SetUp();
        s_playScreens = 0;
        SetPlayScreenMaker(&MakePlayStandIn);
        MakeApp();
        ASSERT_NE(g_pWorldObjectManager, nullptr);
        app->Session().mapFile = kSampleMap;
        app->Session().nickname = "Player";
    }
    void TearDown() override {
        app.reset();
        SetPlayScreenMaker(nullptr);
        AppFixture::TearDown();
    }

    // The world of a single-play match (the player signed in, game mode 1)
    // with heroes in the first positions.
    void SinglePlay(int heroes) {
        CWorldObjectManager& world = *g_pWorldObjectManager;
        world.online = 1;
        world.gameMode = 1;
        world.SetLocalSlot(0);
        for (int i = 0; i < heroes; ++i) app->Session().slots[static_cast<size_t>(i)].heroId = NameHash("Knight");
    }

    // The application comes up with the loading screen first.
    void Start() {
        app->SetFirstScreenMaker([this] { return new CProbeLoadingScreen(&progress, &loading); });
        ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        // What the start-up screen's job loads before any match.
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
    }

    // Frames until the condition holds; the job runs on its own thread, so the
    // bound is in time, not in frames.
    bool RunUntil(const std::function<bool()>& done, int seconds = 120) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end || app->IsQuitting()) return done();
            app->RenderStep();
            std::this_thread::yield();
        }
        return true;
    }
    void Tap(uint8_t key) {
        input->SetKey(key, true);
        app->RenderStep();
        input->SetKey(key, false);
        app->RenderStep();
        app->RenderStep();
    }
    bool Showed(const std::string& text) const {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const std::string& m) { return m.find(text) != std::string::npos; });
    }
    int Phase() const { return loading ? loading->Phase() : -1; }

    CProbeLoadingScreen* loading = nullptr;  // owned by the screen manager
    std::vector<float> progress;
};

TEST_F(LoadingFixture, SinglePlayLoadsTheSampleMapAndGoesOnToThePlayScreen) {
    SinglePlay(1);
    Start();
    ASSERT_TRUE(RunUntil([&] { return Phase() == CLoadingScreen::PHASE_LOADED; }))
        << ErrorReport().Text() << (messages.empty() ? "" : messages.back());
    app->RenderStep();
    CLoadingWindow* window = loading->Window();
    ASSERT_NE(window, nullptr);
    // The map's picture over the whole screen, the tip, a full gauge and the press-a-key text.
    EXPECT_NE(loading->Picture().Vertices()[3].x, 0.0f);
    EXPECT_FALSE(window->tip->GetText().empty());
    EXPECT_FLOAT_EQ(window->progress->Percent(), 100.0f);
    EXPECT_FALSE(window->loadText->HasFlags(UI_HIDDEN));
    EXPECT_EQ(window->loadText->GetText(), GetMessageText(MSG_LOAD_UI_PRESS_SPACE_KEY));
    EXPECT_GT(app->CountSleeps(10), 0);

    // The hero of position 0 stands in the world under the position's id,
    // with the login nickname and the starting items.
    const CPlayerSlot& slot = app->Session().slots[0];
    EXPECT_EQ(slot.nickname, "Player");
    const auto& objects = g_pWorldObjectManager->Objects();
    EXPECT_EQ(std::count_if(objects.begin(), objects.end(),
                            [](CWorldObject* o) { return o->IsUnit() && o->owner == 0; }),
              1);
    CWorldObject* hero = g_pWorldObjectManager->GetObjectById(0);
    ASSERT_TRUE(hero && hero->IsUnit());
    EXPECT_EQ(hero->owner, 0);
    EXPECT_EQ(slot.itemCount, std::min<uint32_t>(static_cast<uint32_t>(g_pZEMMap->baseItems.size()), 12));
    EXPECT_EQ(s_playScreens, 0);

    Tap(platform::DIK_SPACE);
    ASSERT_TRUE(RunUntil([&] { return s_playScreens == 1; }));
    EXPECT_FALSE(app->IsQuitting());
}

TEST_F(LoadingFixture, ProgressFollowsTheNumberOfHeroes) {
    struct Case {
        int heroes;
        float mapEnd, heroesStart;
    };
    for (const Case c : {Case{12, 82.0f, 84.0f}, Case{0, 94.0f, 96.0f}}) {
        SCOPED_TRACE(c.heroes);
        progress.clear();
        SinglePlay(c.heroes);
        Start();
        ASSERT_TRUE(RunUntil([&] { return loading && loading->JobDone(); })) << ErrorReport().Text();
        const size_t mapEnd = Find(progress, c.mapEnd, 0);
        const size_t heroesStart = Find(progress, c.heroesStart, mapEnd);
        const size_t heroesEnd = Find(progress, 96.0f, heroesStart);
        EXPECT_NE(mapEnd, std::string::npos);
        EXPECT_NE(heroesStart, std::string::npos);
        EXPECT_NE(heroesEnd, std::string::npos);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        EXPECT_EQ(progress.back(), 100.0f);
        EXPECT_EQ(std::count(progress.begin(), progress.end(), 100.0f), 1);
        app.reset();
        loading = nullptr;
        MakeApp();
        app->Session().mapFile = kSampleMap;
    }
}

TEST_F(LoadingFixture, AMapThatFailsItsDigestEndsTheProgramWithMessage24) {
    SinglePlay(1);
    Start();
    // One byte of the map's name in the package changes: the stored digest no longer fits.
    const std::filesystem::path package = std::filesystem::path(tmp.path()) / "DATA" / "MAP.DRP";
    std::fstream file(package, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(file.good());
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t at = bytes.find("A small valley");
    ASSERT_NE(at, std::string::npos);
    file.seekp(static_cast<std::streamoff>(at));
    file.put('B');
    file.close();

    ASSERT_TRUE(RunUntil([&] { return app->IsQuitting(); }));
    EXPECT_TRUE(Showed(FormatText(GetMessageText(MSG_ERROR_WRONG_DATA_FILE), kSampleMap)));
    EXPECT_EQ(s_playScreens, 0);
}

TEST_F(LoadingFixture, AHeroWithoutItsRecordNamesThePosition) {
    SinglePlay(1);
    app->Session().slots[1].heroId = 12345;
    Start();
    ASSERT_TRUE(RunUntil([&] { return app->IsQuitting(); }));
    EXPECT_TRUE(Showed(FormatText(GetMessageText(MSG_ERROR_NOT_FOUND_PLAYER_DATA), 2)));
    EXPECT_EQ(s_playScreens, 0);
    // The failed match leaves no hero behind.
    EXPECT_TRUE(g_pWorldObjectManager->Objects().empty());
}

// A network match of two players: the local one in position 0, the fake
// server's in position 1.
class LoadingNetworkFixture : public LoadingFixture {
protected:
    void NetworkMatch() {
        CClientSession& session = app->Session();
        CWorldObjectManager& world = *g_pWorldObjectManager;
        world.online = 1;
        world.gameMode = 0;
        world.SetLocalSlot(0);
        const char* names[] = {"Me", "Other"};
        for (int p = 0; p < 2; ++p) {
            session.room.Slot(p)[0] = RoomRecord::kOccupied;
            MemberEntry entry;
            entry.SetNickname(names[p]);
            session.room.SetMember(p, entry);
        }
        session.slots[0].heroId = NameHash("Knight");
        session.slots[0].cardLevel = 5;
        session.slots[1].heroId = NameHash("Guardian");
        server.On(PK_GAME_COMMANDS);
        server.On(PK_LOADING_DONE);
        server.Accept();
        ASSERT_EQ(app->Net().Connect(server.Host(), server.Port()), 1) << ErrorReport().Text();
    }
    std::vector<FakePacket> Sent(uint16_t id) const {
        std::vector<FakePacket> out;
        for (const FakePacket& p : server.Received())
            if (p.id == id) out.push_back(p);
        return out;
    }
    bool ChatShows(const std::string& text) const {
        CUiListBox* list = loading->Window()->chatList;
        for (uint32_t i = 0; i < list->ItemCount(); ++i)
            if (std::string(list->GetItemText(static_cast<int32_t>(i))).find(text) != std::string::npos) return true;
        return false;
    }

    CFakeGameServer server;
};

TEST_F(LoadingNetworkFixture, PlayersExchangeHeadersProgressAndChatThenTheServerStartsTheMatch) {
    NetworkMatch();
    Bytes chat = Words({1, 1, 1});
    chat.insert(chat.end(), {'h', 'e', 'l', 'l', 'o', 0});
    server.Send(PK_GAME_COMMANDS, Words({0, 1, 0, 4, 0}))
        .Send(PK_GAME_COMMANDS, chat)
        .Send(PK_GAME_COMMANDS, Words({2, 1, 0x42480000u}));
    Start();
    ASSERT_TRUE(RunUntil([&] { return Phase() == CLoadingScreen::PHASE_LOADED && !Sent(PK_LOADING_DONE).empty(); }))
        << ErrorReport().Text();
    for (int i = 0; i < 60; ++i) app->RenderStep();

    EXPECT_TRUE(loading->DataReceived(1));
    EXPECT_EQ(app->Session().slots[1].cardLevel, 4u);
    EXPECT_FLOAT_EQ(loading->PlayerProgress(1), 50.0f);
    EXPECT_TRUE(ChatShows("Other : hello"));
    EXPECT_EQ(loading->RowOf(0), 0);
    EXPECT_EQ(loading->RowOf(1), 1);
    EXPECT_EQ(loading->Window()->rows[1].name->GetText(), "</C=ffffff>Other");
    EXPECT_EQ(loading->Window()->rows[1].text->GetText(), "</C=ffffff>50");
    EXPECT_TRUE(loading->Window()->rows[2].name->HasFlags(UI_HIDDEN));
    EXPECT_EQ(app->Session().slots[1].nickname, "Other");

    // What the client said: its header once, its progress (100 once, last) and 1011.
    int headers = 0, full = 0;
    float last = -1;
    for (const FakePacket& packet : Sent(PK_GAME_COMMANDS)) {
        LoadingMessage m;
        ASSERT_EQ(ParseLoadingMessage(packet.payload, &m), 1);
        EXPECT_EQ(m.position, 0u);
        if (m.kind == LoadingMessage::KIND_HEADER) {
            ++headers;
            EXPECT_EQ(packet.payload, Words({0, 0, 0, 5, 0}));
            continue;
        }
        EXPECT_EQ(m.kind, LoadingMessage::KIND_PROGRESS);
        EXPECT_EQ(packet.payload.size(), LoadingMessage::kProgressBytes);
        EXPECT_GE(m.percent, last);
        last = m.percent;
        full += m.percent == 100.0f;
    }
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(full, 1);
    EXPECT_EQ(last, 100.0f);
    const std::vector<FakePacket> done = Sent(PK_LOADING_DONE);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done.front().payload, Bytes({0, 0}));
    EXPECT_EQ(s_playScreens, 0);

    server.Send(PK_MATCH_BEGIN, {0, 0});
    ASSERT_TRUE(RunUntil([&] { return s_playScreens == 1; }));
    EXPECT_FALSE(app->IsQuitting());
}

TEST_F(LoadingNetworkFixture, APlayerWhoLeavesEndsTheWaitForHisHeader) {
    NetworkMatch();
    Start();
    ASSERT_TRUE(RunUntil([&] { return loading && loading->JobProgress() >= 2.0f; }));
    for (int i = 0; i < 20; ++i) app->RenderStep();
    // Without the other header the job waits.
    EXPECT_LT(loading->JobProgress(), 3.0f);
    server.Send(PK_PLAYER_OUT, {1, 0});
    ASSERT_TRUE(RunUntil([&] { return Phase() == CLoadingScreen::PHASE_LOADED; })) << ErrorReport().Text();
    EXPECT_TRUE(loading->PlayerGone(1));
    EXPECT_TRUE(ChatShows(FormatText(GetMessageText(MSG_GAMEPLAY_OUT_PLAYER), "Other")));
    server.Send(PK_MATCH_BEGIN, {0, 0});
    ASSERT_TRUE(RunUntil([&] { return s_playScreens == 1; }));
}

// The map the job fills goes with the device: a job still waiting for the
// other header ends first, and the load counts as failed.
TEST_F(LoadingNetworkFixture, TheDeviceGoingEndsAJobStillLoading) {
    NetworkMatch();
    Start();
    ASSERT_TRUE(RunUntil([&] { return loading && loading->JobProgress() >= 2.0f; }));
    ASSERT_TRUE(g_pResourceManager->IsLoaderRunning());
    loading->DeleteDeviceObjects();
    EXPECT_FALSE(g_pResourceManager->IsLoaderRunning());
    EXPECT_EQ(Phase(), CLoadingScreen::PHASE_FAILED);
}

TEST_F(LoadingNetworkFixture, AClosedConnectionEndsTheJobAndTheProgram) {
    NetworkMatch();
    Start();
    ASSERT_TRUE(RunUntil([&] { return !Sent(PK_GAME_COMMANDS).empty(); }));
    server.Close();
    ASSERT_TRUE(RunUntil([&] { return app->IsQuitting(); }));
    EXPECT_FALSE(messages.empty());
    EXPECT_EQ(s_playScreens, 0);
    EXPECT_FALSE(g_pResourceManager && g_pResourceManager->IsLoaderRunning());
}
