// The in-match item shop open over the HUD: one frame of every window of the
// UI (the main panel, the shop with a full page of items restocking, the
// unit label) drawn on the recording device.
#include <benchmark/benchmark.h>

#include <bit>

#include "bench/BenchSupport.h"
#include "bench/HudMatch.h"
#include "engine/core/NameHash.h"
#include "screens/game/ItemShopWindow.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"

namespace {

void BM_ShopOpenWithHud(benchmark::State& state) {
    ItemShop shop;
    bool linked = false;
    // Pages of potions and elixirs; the elixirs restock, so their overlays are drawn too.
    HudMatch match(
        [&](CWorldObjectManager&, CClientSession&) {
            auto* potion = static_cast<CItemData*>(FindGameRecord(CAT_ITEM, NameHash("Potion")));
            auto* elixir = static_cast<CItemData*>(FindGameRecord(CAT_ITEM, NameHash("Elixir")));
            if (!potion || !elixir || !potion->Link() || !elixir->Link()) return;
            linked = true;
            elixir->itemWord6 = std::bit_cast<uint32_t>(60.0f);
            shop.categories.assign(5, {});
            for (int i = 0; i < BenchScale(48, 12); ++i) shop.categories[0].push_back(i % 2 ? elixir : potion);
        },
        &shop);
    CItemShopWindow* window = match.screen ? match.screen->ShopWindow() : nullptr;
    if (!linked || !window) {
        state.SkipWithError(linked ? "the shop did not load" : "the sample items did not link");
        return;
    }
    match.screen->ToggleShop();
    window->TickRestock(1.0f);
    for (auto _ : state) {
        match.ui.RenderWindows();
        match.device.ClearLog();
    }
}
BENCHMARK(BM_ShopOpenWithHud)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
