#include "bench/BenchSupport.h"

#include <cstdlib>
#include <memory>

#include "platform/File.h"
#include "tests/fixtures/TempFolder.h"

std::string BenchFolder(const std::string& name) {
    static TempFolder root;
    std::string path = root.Path(name);
    platform::CreateFolders(path);
    return path;
}

bool BenchSmokeRun() {
    static const bool smoke = std::getenv("QOR_BENCH_SMOKE") != nullptr;
    return smoke;
}

double BenchMinTime(double seconds) { return BenchSmokeRun() ? 0.001 : seconds; }

int64_t BenchIterations(int64_t iterations) { return BenchSmokeRun() ? 1 : iterations; }

int BenchScale(int full, int smoke) { return BenchSmokeRun() ? smoke : full; }
