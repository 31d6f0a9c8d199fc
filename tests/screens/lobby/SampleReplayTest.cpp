// The sample game folder's replay, recorded by the folder maker's headless
// match, chosen in the login screen's replay list and played by the client.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "app/PlayScreenMaker.h"
#include "commands/GameCommandManager.h"
#include "engine/core/NameHash.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "screens/game/LoadingScreen.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/ReplayControlWindow.h"
#include "screens/lobby/LoginWindow.h"
#include "screens/lobby/ReplayListWindow.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tools/SampleGameData.h"
#include "tools/SampleGameFolder.h"
#include "tools/SampleReplay.h"
#include "ui/UiButton.h"
#include "ui/UiListBox.h"
#include "world/GameDataRegistry.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {

class SampleReplay : public LobbyFixture {
protected:
    // Recorded once, before any client exists: the headless match points the
    // process-wide services at its own world while it runs.
    static void SetUpTestSuite() {
        TempFolder folder;
        if (MakeSampleGameFolder(folder.path()) && WriteSampleReplay(folder.path(), &s_end))
            platform::ReadWholeFile(folder.Path(kSampleReplay), s_replay);
    }
    void SetUp() override {
        LobbyFixture::SetUp();
        // Frames as long as the recorded match's: the clock moves only between frames.
        s_clock = 0;
        platform::SetClockSource(&FrameClock);
    }
    void TearDown() override {
        SetLoadingScreenMaker(nullptr);
        SetPlayScreenMaker(nullptr);
        LobbyFixture::TearDown();
    }
    static uint32_t FrameClock() { return s_clock.load(); }
    bool RunFrames(const std::function<bool()>& done, int frames) {
        for (int i = 0; i < frames; ++i) {
            if (done()) return true;
            s_clock += kSampleReplayFrameMs;
            app->RenderStep();
        }
        return done();
    }
    static inline std::vector<uint8_t> s_replay;
    static inline SampleReplayEnd s_end;
    // Read by the loading screen's thread too.
    static inline std::atomic<uint32_t> s_clock{0};
};

TEST_F(SampleReplay, TheClientPlaysTheRecordedMatchFromTheReplayListToItsEnd) {
    ASSERT_FALSE(s_replay.empty()) << "the sample replay was not recorded";
    CLoginScreen* screen = nullptr;
    ASSERT_TRUE(RunFrames([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }, 3000));
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    SetLoadingScreenMaker(&NewLoadingScreen);
    SetPlayScreenMaker(&NewPlayScreen);
    ASSERT_TRUE(platform::WriteWholeFile(app->ReplayFolder() + "\\" + kSampleReplay, s_replay.data(), s_replay.size()));

    auto* replayButton = dynamic_cast<CUiButton*>(screen->Window()->FindChild(NameHash("ID_BUTTON_REPLAY")));
    ASSERT_NE(replayButton, nullptr);
    screen->Window()->OnLButtonClick(replayButton);
    RunFrames([] { return false; }, 1);
    CReplayListWindow& list = *screen->ReplayWindow();
    ASSERT_EQ(list.List()->ItemCount(), 1u);
    list.List()->SetSelected(0);
    // A double click starts it, with the map's data check.
    list.OnLButtonDoubleClick(list.List());

    CPlayScreen* play = nullptr;
    ASSERT_TRUE(RunFrames([&] { return (play = CurrentAs<CPlayScreen>()) != nullptr; }, 20000)) << ErrorReport().Text();
    EXPECT_EQ(app->MessageBox().Visible(), false) << app->MessageBox().Text();
    CGameCommandManager& commands = *g_pGameCommandManager;
    const size_t records = commands.Recorded().size();
    ASSERT_GT(records, std::size(kSampleReplayOrders)) << "the orders and what they set off";
    ASSERT_NE(play->ReplayControl(), nullptr) << "a playback shows its control window";
    // Each hero reaches every point it was sent to: none stalls on the way.
    std::vector<float> closest(std::size(kSampleReplayOrders), 1e9f);
    auto track = [&] {
        for (size_t i = 0; i < closest.size(); ++i) {
            const SampleReplayOrder& o = kSampleReplayOrders[i];
            if (CWorldObject* hero = g_pWorldObjectManager->GetObjectById(o.slot))
                closest[i] = std::min(closest[i], std::hypot(hero->position.x - o.x, hero->position.z - o.z));
        }
    };
    ASSERT_TRUE(RunFrames(
        [&] {
            track();
            return play->ReplayControl()->Gauge() && commands.PlaybackIndex() >= 0 &&
                   static_cast<size_t>(commands.PlaybackIndex()) == records &&
                   g_pWorldObjectManager->gameClock >= kSampleReplayLength;
        },
        20000));
    for (size_t i = 0; i < closest.size(); ++i) EXPECT_LT(closest[i], 0.5f) << "order " << i << " stalled short";

    // The recorded heroes, made by the loading screen, end where the recorded match left them.
    CWorldObjectManager& world = *g_pWorldObjectManager;
    EXPECT_EQ(world.gameMode, 3);
    for (int slot = 0; slot < 2; ++slot) {
        CWorldObject* o = world.GetObjectById(slot);
        ASSERT_TRUE(o && o->IsUnit()) << "slot " << slot;
        auto* hero = static_cast<CUnit*>(o);
        EXPECT_EQ(hero->owner, slot);
        EXPECT_EQ(hero->record->id, NameHash(kSampleReplayHeroes[slot]));
        const platform::Vec3 end = s_end.heroes[slot];
        EXPECT_LT(std::hypot(hero->position.x - end.x, hero->position.z - end.z), 0.5f)
            << "slot " << slot << " at " << hero->position.x << " " << hero->position.z << ", recorded at " << end.x
            << " " << end.z;
    }
}

}  // namespace
