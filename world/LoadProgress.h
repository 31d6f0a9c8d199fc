// The share of a load done so far, written by the loading thread while the
// loading screen reads it each frame for its gauge.
#pragma once

#include <atomic>

// Only the loading thread writes, so a load and a store make the sum; the
// release lets the reader see every step as soon as it is taken.
inline void AddLoadProgress(std::atomic<float>* progress, float step) {
    if (progress) progress->store(progress->load(std::memory_order_relaxed) + step, std::memory_order_release);
}
