// The match's chat box open with a full list, drawn with the rest of the HUD
// (main panel, top bar, the input windows) on the recording device.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchSupport.h"
#include "bench/HudMatch.h"
#include "net/ChatLines.h"
#include "screens/game/PlayChatWindow.h"
#include "ui/UiEditBox.h"

namespace {

void BM_PlayChatOpenWithHud(benchmark::State& state) {
    HudMatch match;
    CPlayChatWindow* chat = match.screen ? match.screen->ChatWindow() : nullptr;
    if (!chat) {
        state.SkipWithError("the chat box did not load");
        return;
    }
    // A full list of coloured lines, the line open with typed text.
    const int lines = BenchScale(static_cast<int>(kChatListCap), 10);
    for (int i = 0; i < lines; ++i)
        chat->AddLine(i % 2 ? 0xFFFF00u : 0xFFFFFFu, "Player" + std::to_string(i % 12) + " : the next wave comes");
    match.screen->SetInputMode(CPlayScreen::INPUT_CHAT);
    chat->Open();
    chat->Edit()->SetText("on my way");
    size_t calls = 0;
    for (auto _ : state) {
        match.ui.RenderWindows();
        calls = match.device.Log().size();
        match.device.ClearLog();
    }
    // What a frame asks of the device: the box and its lines are in it.
    state.counters["device_calls"] = static_cast<double>(calls);
}
BENCHMARK(BM_PlayChatOpenWithHud)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
