// The in-match item shop open over the HUD: one frame of every window of the
// UI (the main panel, the shop with a full page of items restocking, the
// unit label) drawn on the recording device.
#include <benchmark/benchmark.h>

#include <bit>
#include <memory>

#include "bench/BenchSupport.h"
#include "engine/core/NameHash.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "platform/GfxRecordingDevice.h"
#include "screens/game/ItemShopWindow.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/StubTexture.h"
#include "tests/fixtures/WorldHarness.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiManager.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

void BM_ShopOpenWithHud(benchmark::State& state) {
    CWorldHarness harness;
    if (!harness.ok()) {
        state.SkipWithError(harness.Error().c_str());
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
    // Pages of potions and elixirs; the elixirs restock, so their overlays are drawn too.
    auto* potion = static_cast<CItemData*>(FindGameRecord(CAT_ITEM, NameHash("Potion")));
    auto* elixir = static_cast<CItemData*>(FindGameRecord(CAT_ITEM, NameHash("Elixir")));
    if (!potion || !elixir || !potion->Link() || !elixir->Link()) {
        state.SkipWithError("the sample items did not link");
        return;
    }
    elixir->itemWord6 = std::bit_cast<uint32_t>(60.0f);
    ItemShop shop;
    shop.categories.assign(5, {});
    for (int i = 0; i < BenchScale(48, 12); ++i) shop.categories[0].push_back(i % 2 ? elixir : potion);
    PlayContext context;
    context.ground = harness.machine(0).map.get();
    CPlayCamera camera;
    camera.distance = 300.0f;
    context.camera = &camera;
    context.shop = &shop;
    {
        CPlayScreen screen(context);
        screen.Update();
        CItemShopWindow* window = screen.ShopWindow();
        if (!window) {
            state.SkipWithError("the shop did not load");
        } else {
            screen.ToggleShop();
            window->TickRestock(1.0f);
            for (auto _ : state) {
                ui.RenderWindows();
                device.ClearLog();
            }
        }
    }
    g_pClientSession = nullptr;
}
BENCHMARK(BM_ShopOpenWithHud)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
