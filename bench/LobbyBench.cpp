// The lobby's room list: redrawing the ten rows of a page of full rooms from a
// room-list message (read, rows written and measured), target under 200 us;
// and one frame of the lobby window (input and drawing on the recording
// device) with a full chat, thirty players and ten full rows, under 1 ms.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <string>

#include <memory>

#include "engine/input/ZEMDXInput.h"
#include "net/ChatLines.h"
#include "net/LobbyMessages.h"
#include "platform/File.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/ScriptedInput.h"
#include "screens/lobby/LobbyWindow.h"
#include "tests/servers/LobbyPackets.h"
#include "tools/LobbyLayouts.h"
#include "ui/UiControls.h"
#include "ui/UiFont.h"
#include "ui/UiManager.h"

namespace {

// Measures every character 7 pixels wide, as a bitmap font of the game would.
class BenchFont : public IUiFont {
public:
    void Measure(std::string_view text, int32_t* width, int32_t* height) const override {
        *width = static_cast<int32_t>(text.size()) * 7;
        *height = 12;
    }
    void Draw(int32_t, int32_t, std::string_view, uint32_t) override {}
    int32_t LineHeight() const override { return 12; }
};

// The lobby window on a recording device, loaded from the sample layout.
struct LobbyBench {
    platform::CGfxRecordingDevice device;
    BenchFont font;
    CUiManager ui;
    CLobbyWindow* window = new CLobbyWindow();

    bool Load() {
        ui.SetDevice(&device);
        ui.AddFont(&font);
        RegisterUiControls();
        const std::string folder = BenchFolder("lobby");
        platform::CreateFolders(folder);
        const std::string path = folder + "/LOBBY2.DUI";
        WriteLayoutFile(path.c_str(), LobbyLayout());
        if (!window->LoadLayout(path.c_str(), 0)) return false;
        ui.AddLowerWindow(window);
        return true;
    }
};

std::vector<uint8_t> FullPage() {
    std::vector<RoomListRecord> rooms(kRoomsPerPage);
    for (int i = 0; i < kRoomsPerPage; ++i) {
        RoomListRecord& r = rooms[static_cast<size_t>(i)];
        r.number = static_cast<uint16_t>(100 + i);
        r.state = static_cast<uint16_t>(1 + i % 2);
        r.title = "A full room with a long title" + std::to_string(i % 10);
        r.players = 8;
        r.capacity = 8;
        r.lowestRank = 10;
        r.highestRank = 40;
        r.password = 1;
        r.mode = static_cast<uint8_t>(i % 2);
        r.randomTeams = 1;
    }
    return RoomListPayload(rooms);
}

void BM_LobbyRoomListRedraw(benchmark::State& state) {
    LobbyBench bench;
    if (!bench.Load()) {
        state.SkipWithError("the lobby layout did not load");
        return;
    }
    const std::vector<uint8_t> payload = FullPage();
    CResource* const noIcons[2] = {nullptr, nullptr};
    for (auto _ : state) {
        RoomPage page;
        ReadRoomList(payload.data(), payload.size(), &page);
        bench.window->ShowRoomList(page, ROOM_LIST_ALL, 3, 0, noIcons);
        benchmark::DoNotOptimize(bench.window->PageText());
    }
}
BENCHMARK(BM_LobbyRoomListRedraw)->Unit(benchmark::kMicrosecond);

void BM_LobbyFrame(benchmark::State& state) {
    LobbyBench bench;
    if (!bench.Load()) {
        state.SkipWithError("the lobby layout did not load");
        return;
    }
    const std::vector<uint8_t> payload = FullPage();
    RoomPage page;
    ReadRoomList(payload.data(), payload.size(), &page);
    CResource* const noIcons[2] = {nullptr, nullptr};
    bench.window->ShowRoomList(page, ROOM_LIST_ALL, 0, 0, noIcons);
    for (int i = 0; i < 99; ++i)
        AddChatLine(bench.window->ChatList(), "Player" + std::to_string(i) + " : a line of lobby chat", 0xffffff);
    LobbyUserList users;
    users.count = 30;
    for (int i = 0; i < 30; ++i) users.names.push_back("Player" + std::to_string(i));
    bench.window->ShowLobbyUsers(users, "Player3");
    CZEMDXInput input;
    auto scripted = std::make_unique<platform::ScriptedInput>();
    platform::ScriptedInput* source = scripted.get();
    input.CreateInput(std::move(scripted), 0);
    source->SetCursor(300, 200);
    input.UpdateInput(0.016f, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.ui.DispatchInput(0.016f, input));
        bench.ui.RenderWindows();
        bench.device.ClearLog();
    }
}
BENCHMARK(BM_LobbyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
