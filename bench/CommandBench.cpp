// Command records on the hot paths of a match. Targets: a full frame of mixed
// records (2,036 bytes) packed and unpacked in at most 5 microseconds;
// CreateCommand/FreeCommand at least 3 times faster than new/delete of the same
// sizes (the ratio is printed at the end); LoadReplay of 100,000 records from
// the page cache in at most 100 ms.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "platform/File.h"

namespace {

const std::array<int32_t, 12> kTeams{};

// One chat line and 171 small records of eight kinds: exactly 2,036 bytes.
void PackFullFrame(CGameCommandManager& m) {
    m.BuildChat(1, 1, "attack the north gate", 0xFFFFFFFF, 1);
    for (int i = 0; i < 21; ++i) {
        m.BuildUnitOrder(i, 100.0f, 3, 0, {float(i), 0, float(-i)}, {1, 0, 1}, -1, -1, 1);
        m.BuildHpChange(0, 0, i, i + 1, 12.5f, 1);
        m.BuildUnitKilled(i, i + 2, 1);
        m.BuildGameEvent(5, i, -1, 1);
        m.BuildPlayerEvent(3, 1, 1);
        m.BuildCastSkill(1, i, -1, {5, 0, 5}, 1, 1, 1);
        m.BuildMapAlert(i, {-40, 0, 40}, 1, 1);
        m.BuildGrantReward(1, 2, 50, 1);
    }
    m.BuildUnitOrder(1, 100.0f, 3, 0, {}, {}, -1, -1, 1);
    m.BuildHpChange(0, 0, 1, 2, 1.0f, 1);
    m.BuildUnitKilled(1, 2, 1);
}

void BM_FullFramePackUnpack(benchmark::State& state) {
    CGameCommandManager m;
    float clock = 1.0f;
    m.BeginSession(1, &clock, 0, 0, kTeams);
    PackFullFrame(m);
    if (m.Frame(0).Used() != CommandFrame::kCapacity || m.CurrentFrameIndex() != 0) {
        state.SkipWithError("the frame is not exactly full");
        return;
    }
    m.ResetFrames();
    size_t records = 0;
    for (auto _ : state) {
        PackFullFrame(m);
        const CommandFrame& f = m.Frame(0);
        m.UnpackFrame(f.Data(), f.Used());
        while (CGameCommand* r = m.NextCommand()) {
            m.ReleaseDispatched(r);
            ++records;
        }
        m.ResetFrames();
    }
    state.counters["records"] = benchmark::Counter(double(records) / double(state.iterations()));
}
BENCHMARK(BM_FullFramePackUnpack)->Unit(benchmark::kMicrosecond);

constexpr int kPairs = 1000000;

double PoolPairsSeconds(CGameCommandManager& m) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kPairs; ++i) {
        CGameCommand* r = m.CreateCommand(uint32_t(i % kGameCommandTypes));
        benchmark::DoNotOptimize(r);
        m.FreeCommand(r);
    }
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double HeapPairsSeconds() {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kPairs; ++i) {
        uint8_t* p = new uint8_t[kGameCommandTable[size_t(i % kGameCommandTypes)].size];
        // Through a const reference: the read-write form lets GCC at -O1 hand back a clobbered pointer.
        const uint8_t* const seen = p;
        benchmark::DoNotOptimize(seen);
        delete[] p;
    }
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_MillionCreateFreePairs(benchmark::State& state) {
    CGameCommandManager m;
    for (auto _ : state) benchmark::DoNotOptimize(PoolPairsSeconds(m));
}
BENCHMARK(BM_MillionCreateFreePairs)->Unit(benchmark::kMillisecond);

void BM_MillionNewDeletePairs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(HeapPairsSeconds());
}
BENCHMARK(BM_MillionNewDeletePairs)->Unit(benchmark::kMillisecond);

constexpr int kReplayRecords = 100000;
const uint8_t kBlock[16] = {};

// A replay of 100,000 recorded records in a fresh temporary folder.
std::string WriteLargeReplay(const std::string& folder) {
    CGameCommandManager m;
    float clock = 0;
    m.BeginSession(0, &clock, 1, 0, kTeams);
    for (int i = 0; i < kReplayRecords; ++i) {
        clock = float(i) * 0.01f;
        if (i % 50 == 0) m.BuildChat(uint32_t(i % 12), 1, "gg", 0, 0);
        else if (i % 2) m.BuildUnitOrder(i % 1000, 80.0f, 3, 0, {float(i % 300), 0, 5}, {}, -1, -1, 0);
        else m.BuildHpChange(0, 0, i % 1000, 7, 3.0f, 0);
        m.ReleaseDispatched(m.NextCommand());
    }
    const std::string path = folder + "/large.srd";
    m.WriteReplay(path.c_str(), "MAP\\FOREST01.DRM", 0, kBlock, {});
    return path;
}

void BM_LoadReplay100k(benchmark::State& state) {
    CErrorReport report;
    char folder[] = "/tmp/qor-command-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = WriteLargeReplay(folder);
    CGameCommandManager m;
    for (auto _ : state) {
        if (!m.LoadReplay(0, path.c_str(), 0, kBlock, nullptr)) {
            state.SkipWithError(report.GetText());
            break;
        }
    }
    state.counters["records"] = double(m.Recorded().size());
    m.ClearRecording();
    platform::DeleteFile(path);
    ::rmdir(folder);
}
BENCHMARK(BM_LoadReplay100k)->Unit(benchmark::kMillisecond);

void ReportPoolAgainstHeap() {
    CGameCommandManager m;
    double pool = 1e9, heap = 1e9;
    for (int i = 0; i < 5; ++i) {
        pool = std::min(pool, PoolPairsSeconds(m));
        heap = std::min(heap, HeapPairsSeconds());
    }
    std::printf("1,000,000 record pairs: pool %.2f ms, new/delete %.2f ms, %.1f times faster (target at least 3)\n",
                pool * 1e3, heap * 1e3, heap / pool);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    ReportPoolAgainstHeap();
    benchmark::Shutdown();
    return 0;
}
