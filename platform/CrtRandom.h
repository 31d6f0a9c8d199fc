// The random generator of the original C runtime. Game rules draw from it
// (percent rolls, random picks), so its sequence must match the original's
// exactly: x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF. glibc's rand()
// is a different generator and is never used. One state per thread, seed 1,
// as the runtime kept it.
#pragma once

#include <cstdint>

namespace platform {

constexpr int kCrtRandMax = 32767;

void CrtSrand(uint32_t seed);
int CrtRand();

}  // namespace platform
