// Millisecond clock in the form the game measures time: a 32-bit count that
// wraps after about 49.7 days, so every caller subtracts with unsigned wrap.
// Tests inject their own source to step time by hand.
#pragma once

#include <cstdint>

namespace platform {

using ClockSource = uint32_t (*)();

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t TimeGetTime();
// Replaces the time source (null restores the real clock).
void SetClockSource(ClockSource source);
void SleepMs(uint32_t ms);

}  // namespace platform
