// The sample game folder's replay, recorded by the folder maker's headless
// match, chosen in the login screen's replay list and played by the client.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/PlayScreenMaker.h"
#include "commands/GameCommandManager.h"
#include "engine/core/NameHash.h"
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
        if (MakeSampleGameFolder(folder.path()) && WriteSampleReplay(folder.path()))
            platform::ReadWholeFile(folder.Path(kSampleReplay), s_replay);
    }
    void TearDown() override {
        SetLoadingScreenMaker(nullptr);
        SetPlayScreenMaker(nullptr);
        LobbyFixture::TearDown();
    }
    static inline std::vector<uint8_t> s_replay;
};

// Where a hero's last order of the script sends it.
platform::Vec3 LastOrderPoint(int slot) {
    platform::Vec3 point;
    for (const SampleReplayOrder& o : kSampleReplayOrders)
        if (o.slot == slot) point = {o.x, 0, o.z};
    return point;
}

TEST_F(SampleReplay, TheClientPlaysTheRecordedMatchFromTheReplayListToItsEnd) {
    ASSERT_FALSE(s_replay.empty()) << "the sample replay was not recorded";
    CLoginScreen* screen = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }));
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    SetLoadingScreenMaker(&NewLoadingScreen);
    SetPlayScreenMaker(&NewPlayScreen);
    ASSERT_TRUE(platform::WriteWholeFile(app->ReplayFolder() + "\\" + kSampleReplay, s_replay.data(), s_replay.size()));

    auto* replayButton = dynamic_cast<CUiButton*>(screen->Window()->FindChild(NameHash("ID_BUTTON_REPLAY")));
    ASSERT_NE(replayButton, nullptr);
    screen->Window()->OnLButtonClick(replayButton);
    Frames(1);
    CReplayListWindow& list = *screen->ReplayWindow();
    ASSERT_EQ(list.List()->ItemCount(), 1u);
    list.List()->SetSelected(0);
    // A double click starts it, with the map's data check.
    list.OnLButtonDoubleClick(list.List());

    CPlayScreen* play = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (play = CurrentAs<CPlayScreen>()) != nullptr; }, 20000)) << ErrorReport().Text();
    EXPECT_EQ(app->MessageBox().Visible(), false) << app->MessageBox().Text();
    CGameCommandManager& commands = *g_pGameCommandManager;
    const size_t records = commands.Recorded().size();
    ASSERT_GT(records, std::size(kSampleReplayOrders)) << "the orders and what they set off";
    ASSERT_NE(play->ReplayControl(), nullptr) << "a playback shows its control window";
    ASSERT_TRUE(RunUntil([&] { return play->ReplayControl()->Gauge() && commands.PlaybackIndex() >= 0 &&
                                      static_cast<size_t>(commands.PlaybackIndex()) == records &&
                                      g_pWorldObjectManager->gameClock >= kSampleReplayLength; },
                         20000));

    // The recorded heroes, made by the loading screen, took both legs of
    // their walks: each ends near its last point, far from its start area.
    CWorldObjectManager& world = *g_pWorldObjectManager;
    EXPECT_EQ(world.gameMode, 3);
    for (int slot = 0; slot < 2; ++slot) {
        CUnit* hero = nullptr;
        for (CWorldObject* o : world.Objects())
            if (o->IsUnit() && static_cast<CUnit*>(o)->owner == slot) hero = static_cast<CUnit*>(o);
        ASSERT_NE(hero, nullptr) << "slot " << slot;
        EXPECT_EQ(hero->record->id, NameHash(kSampleReplayHeroes[slot]));
        const platform::Vec3 end = LastOrderPoint(slot);
        EXPECT_LT(std::hypot(hero->position.x - end.x, hero->position.z - end.z), 20.0f)
            << "slot " << slot << " at " << hero->position.x << " " << hero->position.z;
    }
}

}  // namespace
