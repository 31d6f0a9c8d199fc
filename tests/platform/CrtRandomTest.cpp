#include "platform/Clock.h"
#include "platform/CrtRandom.h"

#include <gtest/gtest.h>

#include <thread>

TEST(CrtRandom, FollowsTheRuntimeSequenceFromSeedOne) {
    platform::CrtSrand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int e : expected) EXPECT_EQ(platform::CrtRand(), e);
}

TEST(CrtRandom, EachThreadHasItsOwnState) {
    platform::CrtSrand(7);
    int first = platform::CrtRand();
    int other = -1;
    std::thread t([&] { other = platform::CrtRand(); });  // a new thread starts at seed 1
    t.join();
    EXPECT_EQ(other, 41);
    platform::CrtSrand(7);
    EXPECT_EQ(platform::CrtRand(), first);
}

namespace {
uint32_t g_fakeNow = 0;
uint32_t FakeClock() { return g_fakeNow; }
}  // namespace

TEST(Clock, InjectedSourceWrapsLikeTheOriginalCounter) {
    platform::SetClockSource(FakeClock);
    g_fakeNow = 0xFFFFFFF0u;
    uint32_t start = platform::TimeGetTime();
    g_fakeNow += 0x20;  // wraps past zero
    EXPECT_EQ(platform::TimeGetTime() - start, 0x20u);
    platform::SetClockSource(nullptr);
    uint32_t a = platform::TimeGetTime();
    platform::SleepMs(5);
    EXPECT_GE(platform::TimeGetTime() - a, 4u);
}
