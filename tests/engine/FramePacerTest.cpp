#include "engine/core/FramePacer.h"

#include <gtest/gtest.h>

TEST(FramePacer, WaitsOutTheRestOfEachFrameAndNeverCatchesUp) {
    CFramePacer pacer(50);  // 20 ms a frame
    struct Step {
        uint32_t now;
        uint32_t wait;
    } steps[] = {
        {1000, 0},   // the first frame: nothing to wait for
        {1022, 0},   // drew 22: 2 ms late, no wait; the next deadline is 20 ms on
        {1030, 12},  // fast frame: waits to 1042
        {1042, 20},  // on time
        {1100, 0},   // a long frame: counted afresh from here, no burst after it
        {1105, 15},
    };
    for (const Step& s : steps) EXPECT_EQ(pacer.FrameEnded(s.now), s.wait) << s.now;
}

TEST(FramePacer, TheClockWrapsAndAnUnknownRateIsSixty) {
    CFramePacer pacer(0);
    EXPECT_EQ(pacer.Rate(), 60u);
    pacer.SetRate(100);
    EXPECT_EQ(pacer.FrameEnded(0xFFFFFFF0u), 0u);
    EXPECT_EQ(pacer.FrameEnded(0xFFFFFFFAu), 0u);  // exactly on time
    EXPECT_EQ(pacer.FrameEnded(2), 2u);            // 8 ms later, across the wrap
    // A clock that stands still (a test's) never makes the waits grow.
    EXPECT_EQ(pacer.FrameEnded(2), 10u);
    EXPECT_EQ(pacer.FrameEnded(2), 10u);
}
