#include "platform/Clock.h"

#include <atomic>
#include <ctime>

namespace platform {
namespace {

std::atomic<ClockSource> g_source{nullptr};

uint32_t MonotonicMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);  // wraps like the original counter
}

}  // namespace

uint32_t TimeGetTime() {
    ClockSource s = g_source.load(std::memory_order_relaxed);
    return s ? s() : MonotonicMs();
}

void SetClockSource(ClockSource source) { g_source.store(source); }

void SleepMs(uint32_t ms) {
    timespec req{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&req, &req) != 0) {
    }
}

}  // namespace platform
