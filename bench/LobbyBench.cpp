// The lobby's room list: redrawing the ten rows of a page of full rooms from a
// room-list message (read, rows written and measured). Target under 200 us.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <string>

#include "net/LobbyMessages.h"
#include "platform/File.h"
#include "platform/GfxRecordingDevice.h"
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

void BM_LobbyRoomListRedraw(benchmark::State& state) {
    platform::CGfxRecordingDevice device;
    BenchFont font;
    CUiManager ui;
    ui.SetDevice(&device);
    ui.AddFont(&font);
    RegisterUiControls();
    const std::string folder = BenchFolder("lobby");
    platform::CreateFolders(folder);
    const std::string path = folder + "/LOBBY2.DUI";
    WriteLayoutFile(path.c_str(), LobbyLayout());
    CLobbyWindow window;
    if (!window.LoadLayout(path.c_str(), 0)) {
        state.SkipWithError("the lobby layout did not load");
        return;
    }
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
    const std::vector<uint8_t> payload = RoomListPayload(rooms);
    CResource* const noIcons[2] = {nullptr, nullptr};
    for (auto _ : state) {
        RoomPage page;
        ReadRoomList(payload.data(), payload.size(), &page);
        window.ShowRoomList(page, ROOM_LIST_ALL, 3, 0, noIcons);
        benchmark::DoNotOptimize(window.PageText());
    }
}
BENCHMARK(BM_LobbyRoomListRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
