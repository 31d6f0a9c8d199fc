// The match's chat box open with a full list, drawn with the rest of the HUD
// (main panel, top bar, the input windows) on the recording device.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "ui/UiEditBox.h"
#include "platform/GfxRecordingDevice.h"
#include "screens/game/PlayChatWindow.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/StubTexture.h"
#include "tests/fixtures/WorldHarness.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiManager.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

void BM_PlayChatOpenWithHud(benchmark::State& state) {
    CWorldHarness harness;
    if (!harness.ok()) {
        state.SkipWithError("the sample match did not load");
        return;
    }
    harness.MakeCurrent(0);
    CClientSession session;
    platform::CGfxRecordingDevice device;
    CUiManager ui;
    ui.SetDevice(&device);
    RegisterLayoutResource(*g_pResourceManager);
    RegisterUiControls();
    RegisterStubTextures(*g_pResourceManager);
    g_pClientSession = &session;
    harness.SpawnUnit("Knight", {100, 0, 100}, 0, 0, 300, 30, 40, 20, 0);
    CWorldObjectManager& world = harness.machine(0).map->objects;
    world.slotOccupied[0] = true;
    world.gameMode = 1;
    CPlayCamera camera;
    camera.distance = 300.0f;
    PlayContext context;
    context.ground = harness.machine(0).map.get();
    context.camera = &camera;
    {
        CPlayScreen screen(context);
        screen.Update();
        CPlayChatWindow* chat = screen.ChatWindow();
        if (!chat) {
            state.SkipWithError("the chat box did not load");
        } else {
            // A full list of coloured lines, the line open with typed text.
            const int lines = BenchScale(static_cast<int>(kChatListCap), 10);
            for (int i = 0; i < lines; ++i)
                chat->AddLine(i % 2 ? 0xFFFF00u : 0xFFFFFFu, "Player" + std::to_string(i % 12) + " : the next wave comes");
            screen.SetInputMode(CPlayScreen::INPUT_CHAT);
            chat->Open();
            chat->Edit()->SetText("on my way");
            size_t calls = 0;
            for (auto _ : state) {
                ui.RenderWindows();
                calls = device.Log().size();
                device.ClearLog();
            }
            // What a frame asks of the device: the box and its lines are in it.
            state.counters["device_calls"] = static_cast<double>(calls);
        }
    }
    g_pClientSession = nullptr;
}
BENCHMARK(BM_PlayChatOpenWithHud)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
