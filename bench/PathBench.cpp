// Path searches, the hottest loops of unit movement. Targets: the cell search
// on a 256 x 256 walk grid with 20% obstacles, paths of 300 cells and more,
// at most 1 ms each (median over 1,000 pairs, printed beside a plain
// binary-heap A* on the same grid); a walled-off goal answered in at most
// 5 microseconds; the waypoint graph of about 300 way-points built (and fully
// linked) in at most 1 s, its memory printed; a graph search median of at
// most 0.5 ms.
#include <atomic>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <queue>
#include <random>
#include <vector>

#include "world/PathFinder.h"

using platform::Vec3;

namespace {

constexpr int32_t kSide = 256;
constexpr float kCell = 5.0f;

Vec3 Centre(int32_t x, int32_t z) { return Vec3((x + 0.5f) * kCell, 0, (z + 0.5f) * kCell); }

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

template <typename F>
double Microseconds(F&& f) {
    auto begin = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count();
}

// 20% of the cells blocked, seeded.
void FillScattered(CPathFinder& finder, uint32_t seed) {
    finder.Setup(kSide, kSide, kCell);
    std::mt19937 random(seed);
    std::vector<uint32_t> words(static_cast<size_t>(kSide * kSide));
    for (uint32_t& w : words) w = random() % 100 < 20 ? 1u : 0u;
    finder.walkGrid().LoadTerrain(words.data());
}

double PathLengthInCells(const std::vector<Vec3>& points) {
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i)
        length += std::hypot(points[i].x - points[i - 1].x, points[i].z - points[i - 1].z) / kCell;
    return length;
}

struct Pair {
    int32_t x0, z0, x1, z1;
};

// The textbook peer: A* with a binary heap, the same moves and unit costs,
// an admissible (Chebyshev) estimate.
class CHeapAStar {
public:
    explicit CHeapAStar(const CWalkGrid& grid) : m_grid(grid), m_g(static_cast<size_t>(grid.cellCount())) {}

    int32_t Run(const Pair& p) {
        const int32_t width = m_grid.width();
        std::fill(m_g.begin(), m_g.end(), INT32_MAX);
        using Entry = std::pair<int32_t, int32_t>;  // f, cell
        std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
        const int32_t goal = p.z1 * width + p.x1;
        auto estimate = [&](int32_t x, int32_t z) { return std::max(std::abs(p.x1 - x), std::abs(p.z1 - z)); };
        m_g[static_cast<size_t>(p.z0 * width + p.x0)] = 0;
        open.push({estimate(p.x0, p.z0), p.z0 * width + p.x0});
        while (!open.empty()) {
            auto [f, cell] = open.top();
            open.pop();
            const int32_t x = cell % width, z = cell / width, g = m_g[static_cast<size_t>(cell)];
            if (f - estimate(x, z) > g) continue;  // stale entry
            if (cell == goal) return g;
            for (int32_t dz = -1; dz <= 1; ++dz) {
                for (int32_t dx = -1; dx <= 1; ++dx) {
                    const int32_t nx = x + dx, nz = z + dz;
                    if ((dx == 0 && dz == 0) || !m_grid.Contains(nx, nz) || !m_grid.IsWalkable(nx, nz)) continue;
                    int32_t& ng = m_g[static_cast<size_t>(nz * width + nx)];
                    if (g + 1 >= ng) continue;
                    ng = g + 1;
                    open.push({ng + estimate(nx, nz), nz * width + nx});
                }
            }
        }
        return -1;
    }

private:
    const CWalkGrid& m_grid;
    std::vector<int32_t> m_g;
};

void BM_GridSearchLongPaths(benchmark::State& state) {
    CPathFinder finder;
    FillScattered(finder, 2026);
    CWalkGrid& grid = finder.walkGrid();
    // 1,000 pairs that the search answers with a path of 300 cells or more.
    std::mt19937 random(7);
    std::vector<Pair> pairs;
    std::vector<Vec3> out;
    while (pairs.size() < 1000) {
        Pair p{static_cast<int32_t>(random() % kSide), static_cast<int32_t>(random() % kSide),
               static_cast<int32_t>(random() % kSide), static_cast<int32_t>(random() % kSide)};
        if (!grid.IsWalkable(p.x0, p.z0) || !grid.IsWalkable(p.x1, p.z1)) continue;
        if (std::hypot(p.x1 - p.x0, p.z1 - p.z0) < 200) continue;
        out.clear();
        if (finder.FindPath(Centre(p.x0, p.z0), Centre(p.x1, p.z1), out) != 1) continue;
        if (PathLengthInCells(out) < 300) continue;
        pairs.push_back(p);
    }
    CHeapAStar peer(grid);
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        ours.clear();
        theirs.clear();
        for (const Pair& p : pairs) {
            out.clear();
            ours.push_back(Microseconds([&] { finder.FindPath(Centre(p.x0, p.z0), Centre(p.x1, p.z1), out); }));
            theirs.push_back(Microseconds([&] { benchmark::DoNotOptimize(peer.Run(p)); }));
        }
    }
    state.counters["median_us"] = Median(ours);
    state.counters["heap_astar_median_us"] = Median(theirs);
    state.counters["target_us"] = 1000;
}
BENCHMARK(BM_GridSearchLongPaths)->Unit(benchmark::kMillisecond)->Iterations(3);

// A goal inside a closed ring of wall, the start outside.
void WallOff(CPathFinder& finder) {
    FillScattered(finder, 2026);
    std::vector<uint32_t> words(static_cast<size_t>(kSide * kSide));
    CWalkGrid& grid = finder.walkGrid();
    for (int32_t z = 0; z < kSide; ++z)
        for (int32_t x = 0; x < kSide; ++x) {
            const int32_t ring = std::max(std::abs(x - 200), std::abs(z - 200));
            words[static_cast<size_t>(z * kSide + x)] = ring == 10 ? 1u : (ring < 10 ? 0u : grid.Cell(x, z));
        }
    words[static_cast<size_t>(10 * kSide + 10)] = 0;
    grid.LoadTerrain(words.data());
}

// Both searches answer a walled-off goal from the regions made when the grid was read.
void BM_WalledOffGoal(benchmark::State& state, bool graph) {
    CPathFinder finder;
    WallOff(finder);
    finder.waypointGraph().Build();
    std::vector<Vec3> out;
    for (auto _ : state) {
        out.clear();
        benchmark::DoNotOptimize(graph ? finder.FindGraphPath(Centre(10, 10), Centre(200, 200), out)
                                       : finder.FindPath(Centre(10, 10), Centre(200, 200), out));
    }
    state.counters["target_us"] = 5;
}
BENCHMARK_CAPTURE(BM_WalledOffGoal, grid_search, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WalledOffGoal, graph_search, true)->Unit(benchmark::kMicrosecond);

// Separate rectangular obstacles: four way-points each, about 300 in all.
void FillBlocks(CPathFinder& finder) {
    finder.Setup(kSide, kSide, kCell);
    std::mt19937 random(11);
    std::vector<uint32_t> words(static_cast<size_t>(kSide * kSide));
    int placed = 0;
    while (placed < 75) {
        const int32_t w = 3 + static_cast<int32_t>(random() % 12), h = 3 + static_cast<int32_t>(random() % 12);
        // The 3-cell margin tested below stays inside the grid.
        const int32_t x0 = 3 + static_cast<int32_t>(random() % (kSide - w - 6));
        const int32_t z0 = 3 + static_cast<int32_t>(random() % (kSide - h - 6));
        bool clear = true;
        for (int32_t z = z0 - 3; z < z0 + h + 3 && clear; ++z)
            for (int32_t x = x0 - 3; x < x0 + w + 3; ++x)
                if (words[static_cast<size_t>(z * kSide + x)]) clear = false;
        if (!clear) continue;
        for (int32_t z = z0; z < z0 + h; ++z)
            for (int32_t x = x0; x < x0 + w; ++x) words[static_cast<size_t>(z * kSide + x)] = 1;
        ++placed;
    }
    finder.walkGrid().LoadTerrain(words.data());
}

void BM_WaypointGraphBuild(benchmark::State& state) {
    CPathFinder finder;
    FillBlocks(finder);
    CWaypointGraph& graph = finder.waypointGraph();
    for (auto _ : state) {
        graph.Build();
        std::atomic<float> progress{0};
        graph.BuildDistanceTable(&progress, 0.6f);
        graph.LinkAll();  // what the original did at load time
    }
    state.counters["waypoints"] = graph.nodeCount();
    state.counters["memory_kb"] = static_cast<double>(graph.MemoryUsed()) / 1024.0;
    state.counters["target_ms"] = 1000;
}
BENCHMARK(BM_WaypointGraphBuild)->Unit(benchmark::kMillisecond);

void BM_GraphSearch(benchmark::State& state) {
    CPathFinder finder;
    FillBlocks(finder);
    finder.waypointGraph().Build();
    std::mt19937 random(3);
    std::vector<Pair> pairs;
    CWalkGrid& grid = finder.walkGrid();
    while (pairs.size() < 1000) {
        Pair p{static_cast<int32_t>(random() % kSide), static_cast<int32_t>(random() % kSide),
               static_cast<int32_t>(random() % kSide), static_cast<int32_t>(random() % kSide)};
        if (!grid.IsTerrainFree(p.x0, p.z0) || !grid.IsTerrainFree(p.x1, p.z1)) continue;
        if (grid.IsLineClear(p.x0, p.z0, p.x1, p.z1, CWalkGrid::LINE_TERRAIN)) continue;
        pairs.push_back(p);
    }
    std::vector<Vec3> out;
    std::vector<double> times;
    for (auto _ : state) {
        times.clear();
        for (const Pair& p : pairs) {
            out.clear();
            times.push_back(Microseconds([&] { finder.FindGraphPath(Centre(p.x0, p.z0), Centre(p.x1, p.z1), out); }));
        }
    }
    state.counters["median_us"] = Median(times);
    state.counters["target_us"] = 500;
}
BENCHMARK(BM_GraphSearch)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
