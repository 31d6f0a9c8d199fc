// Pieces every benchmark program shares: folders of its own, and the short
// run CI makes of each benchmark so that none rots.
#pragma once

#include <cstdint>
#include <string>

// A folder of this process (created on first use) under one temporary folder
// that is removed with everything in it when the program ends, so that two
// runs never meet and nothing is left behind.
std::string BenchFolder(const std::string& name);

// In the smoke run (QOR_BENCH_SMOKE set, as the test run sets it) every
// benchmark runs for a moment only: these give the time or the iterations a
// benchmark asks for, or the smoke run's instead.
bool BenchSmokeRun();
double BenchMinTime(double seconds);
int64_t BenchIterations(int64_t iterations);
// A size to build fixtures with: the full one, or a small one in the smoke run.
int BenchScale(int full, int smoke);
