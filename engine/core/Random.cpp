#include "engine/core/Random.h"

#include <cstdlib>
#include <vector>

#include "platform/CrtRandom.h"

namespace {
int g_percentTable[10000];
bool g_percentTableReady = false;
}  // namespace

int RandomRange(int min, int max) {
    long long span = static_cast<long long>(max) - static_cast<long long>(min);
    if (span < 0) span = -span;
    return static_cast<int>(platform::CrtRand() % (span + 1) + min);
}

void InitPercentTable() {
    for (int& v : g_percentTable) v = -1;
    // Ten buckets of a thousand values; position p draws from bucket p % 10, so
    // every run of ten positions spreads over all ten thousands.
    std::vector<int> buckets[10];
    for (int k = 0; k < 10; ++k) {
        buckets[k].reserve(1000);
        for (int v = 0; v < 1000; ++v) buckets[k].push_back(k * 1000 + v);
    }
    for (int p = 0; p < 10000; ++p) {
        std::vector<int>& b = buckets[p % 10];
        int size = static_cast<int>(b.size());
        int r = platform::CrtRand() % (std::abs(size - 1) + 1);
        int v = b[static_cast<size_t>(r)];
        b.erase(b.begin() + r);
        g_percentTable[v] = p;
    }
    g_percentTableReady = true;
}

bool RollPercent(float percent) {
    if (percent >= 100.0f) return true;
    if (percent <= 0.0f) return false;
    if (!g_percentTableReady) InitPercentTable();
    (void)RandomRange(0, 0);  // the original drew a row of a one-row table first
    int i = platform::CrtRand() % 10000;
    return g_percentTable[i] < static_cast<int>(percent * 100.0f);
}

int PercentTableAt(int index) {
    if (!g_percentTableReady) InitPercentTable();
    return (index >= 0 && index < 10000) ? g_percentTable[index] : -1;
}
