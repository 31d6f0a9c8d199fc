// The match's menu windows open over the HUD: the game menu, the options, the
// players' board of twelve players (rebuilt each frame, as after a reward)
// and a replay's control bar, all drawn with the HUD on the recording device.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "platform/GfxRecordingDevice.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/PlayerRankWindow.h"
#include "screens/game/ReplayControlWindow.h"
#include "tests/fixtures/StubTexture.h"
#include "tests/fixtures/WorldHarness.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiManager.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

struct MenuMatch {
    CWorldHarness harness;
    CClientSession session;
    platform::CGfxRecordingDevice device;
    CUiManager ui;
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
    CResource* replayLayout = nullptr;
    CReplayControlWindow* replay = nullptr;

    MenuMatch() {
        if (!harness.ok()) return;
        harness.MakeCurrent(0);
        ui.SetDevice(&device);
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        RegisterStubTextures(*g_pResourceManager);
        g_pClientSession = &session;
        harness.SpawnUnit("Knight", {100, 0, 100}, 0, 0, 300, 30, 40, 20, 0);
        CWorldObjectManager& world = harness.machine(0).map->objects;
        for (int s = 0; s < 12; ++s) {
            world.slotOccupied[s] = true;
            world.ownerTeam[s] = s < 6 ? 0 : 1;
            session.slots[static_cast<size_t>(s)].nickname = "player" + std::to_string(s);
            session.slots[static_cast<size_t>(s)].heroId = 1;
            session.slots[static_cast<size_t>(s)].heroKills = s;
        }
        world.gameMode = 1;
        PlayContext context;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        camera.distance = 300.0f;
        screen = std::make_unique<CPlayScreen>(context);
        screen->Update();
        replay = new CReplayControlWindow(screen.get(), 600.0f);
        replayLayout = g_pResourceManager->GetResource(CPlayScreen::kReplayControlLayout, RES_LAYOUT, replay, 1);
        if (!replayLayout) replay = nullptr;
        for (int w : {CPlayScreen::WINDOW_MENU, CPlayScreen::WINDOW_OPTIONS, CPlayScreen::WINDOW_RANKING})
            screen->ToggleWindow(w, 1);
    }
    ~MenuMatch() {
        if (replayLayout) g_pResourceManager->ReleaseResource(replayLayout);
        screen.reset();
        g_pClientSession = nullptr;
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
