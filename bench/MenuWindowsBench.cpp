// The match's menu windows open over the HUD: the game menu, the options, the
// players' board of twelve players (rebuilt each frame, as after a reward)
// and a replay's control bar, all drawn with the HUD on the recording device.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchSupport.h"
#include "bench/HudMatch.h"
#include "screens/game/PlayerRankWindow.h"
#include "screens/game/ReplayControlWindow.h"

namespace {

// Twelve players, the three menu windows shown and a replay bar of its own.
struct MenuMatch : HudMatch {
    CResource* replayLayout = nullptr;
    CReplayControlWindow* replay = nullptr;

    MenuMatch()
        : HudMatch([](CWorldObjectManager& world, CClientSession& session) {
              for (int s = 0; s < 12; ++s) {
                  world.slotOccupied[s] = true;
                  world.ownerTeam[s] = s < 6 ? 0 : 1;
                  CPlayerSlot& slot = session.slots[static_cast<size_t>(s)];
                  slot.nickname = "player" + std::to_string(s);
                  slot.heroId = 1;
                  slot.heroKills = s;
              }
          }) {
        if (!screen) return;
        replay = new CReplayControlWindow(screen.get(), 600.0f);
        replayLayout = g_pResourceManager->GetResource(CPlayScreen::kReplayControlLayout, RES_LAYOUT, replay, 1);
        if (!replayLayout) replay = nullptr;
        for (int w : {CPlayScreen::WINDOW_MENU, CPlayScreen::WINDOW_OPTIONS, CPlayScreen::WINDOW_RANKING})
            screen->ToggleWindow(w, 1);
    }
    ~MenuMatch() {
        if (replayLayout) g_pResourceManager->ReleaseResource(replayLayout);
    }
};

void BM_MenuWindowsWithHudRender(benchmark::State& state) {
    MenuMatch match;
    if (!match.screen || !match.screen->RankBoard() || !match.replay) {
        state.SkipWithError("the menu windows did not load");
        return;
    }
    for (auto _ : state) {
        match.screen->RefreshRankBoard();
        match.replay->RefreshTexts();
        match.ui.RenderWindows();
        match.device.ClearLog();
    }
}
BENCHMARK(BM_MenuWindowsWithHudRender)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
