// Network hot paths: a screen's poll when nothing is waiting (every screen does
// it every frame; target under 5 microseconds), and command-frame round trips
// through the fake game server on loopback, reported as frames per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/BenchSupport.h"
#include "engine/core/ErrorReport.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/SocketLayer.h"
#include "tests/servers/FakeGameServer.h"

namespace {

void BM_PollNothingWaiting(benchmark::State& state) {
    NetStartup(1);
    CErrorReport report;
    CFakeGameServer server;
    server.Accept();
    CNetClient client;
    if (!client.Connect(server.Host(), server.Port())) {
        state.SkipWithError(report.GetText());
        return;
    }
    NetPacket packet;
    for (auto _ : state) {
        client.RecvPacket(packet);
        benchmark::DoNotOptimize(packet.id);
    }
}
BENCHMARK(BM_PollNothingWaiting);

// A full command frame, the largest packet a match sends.
constexpr int kCommandFrameSize = 2036;
// The smoke run only shows that the loop works: under a loaded sanitized build
// each round trip can cost milliseconds, and 100,000 of them ran past the
// test time-out.
const int kRoundTrips = BenchScale(100000, 500);

void BM_CommandFrameRoundTrips(benchmark::State& state) {
    NetStartup(1);
    CErrorReport report;
    CFakeGameServer server;
    server.Accept().Echo();
    CNetClient client;
    if (!client.Connect(server.Host(), server.Port())) {
        state.SkipWithError(report.GetText());
        return;
    }
    std::vector<uint8_t> frame(kCommandFrameSize, 0x5A);
    NetPacket packet;
    for (auto _ : state) {
        for (int i = 0; i < kRoundTrips; ++i) {
            if (!client.SendPacket(PK_GAME_COMMANDS, frame.data(), kCommandFrameSize)) {
                state.SkipWithError(report.GetText());
                return;
            }
            do {
                if (!client.RecvPacket(packet)) {
                    state.SkipWithError(report.GetText());
                    return;
                }
            } while (packet.id == 0);
        }
    }
    state.counters["frames_per_second"] = benchmark::Counter(
        static_cast<double>(kRoundTrips) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    client.Disconnect();
}
BENCHMARK(BM_CommandFrameRoundTrips)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
