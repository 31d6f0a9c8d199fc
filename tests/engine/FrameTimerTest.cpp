#include "engine/core/FrameTimer.h"

#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

uint32_t g_now = 0;
uint32_t FakeClock() { return g_now; }

class ClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_now = 0;
        platform::SetClockSource(&FakeClock);
    }
    void TearDown() override { platform::SetClockSource(nullptr); }
};

}  // namespace

TEST_F(ClockTest, FrameTimerSteps) {
    struct Step {
        uint32_t now;
        bool paused;
        float speed;
        float dt;
    };
    // Starts at clock 0 (a real reading, not "never started") and crosses the wrap.
    const Step steps[] = {
        {0, false, 1.0f, 0.0f},                                         // first update: no dt
        {16, false, 1.0f, 0.016f},    {32, false, 2.0f, 0.032f},        // speed scale
        {532, true, 1.0f, 0.0f},                                        // paused: follows the clock, no dt
        {548, false, 1.0f, 0.016f},   {0xFFFFFFF0u, true, 1.0f, 0.0f},  // (paused over the long jump)
        {0x10u, false, 1.0f, 0.032f},                                   // across the wrap
    };
    CFrameTimer timer;
    timer.EnableTotal(true);
    float total = 0.0f;
    for (const Step& s : steps) {
        g_now = s.now;
        timer.SetPaused(s.paused);
        timer.SetSpeedScale(s.speed);
        timer.Update();
        EXPECT_NEAR(timer.Dt(), s.dt, 1e-3f) << s.now;
        total += timer.Dt();
    }
    EXPECT_FLOAT_EQ(timer.Total(), total);
}

TEST_F(ClockTest, CountdownIsDoneWhenTheSumReachesTheLimit) {
    CFrameTimer timer;
    timer.Update();
    timer.StartCountdown(4.0f);
    for (int second = 1; second <= 4; ++second) {
        EXPECT_FALSE(timer.CountdownDone()) << second;
        g_now += 1000;
        timer.Update();
    }
    EXPECT_TRUE(timer.CountdownDone());
    EXPECT_FLOAT_EQ(timer.CountdownElapsed(), 4.0f);
    g_now += 1000;
    timer.Update();
    EXPECT_FLOAT_EQ(timer.CountdownElapsed(), 4.0f);  // a done count-down stops counting
}

TEST_F(ClockTest, FpsCounterSamplesAfterMoreThanASecond) {
    CFpsCounter fps;
    g_now = 5000;
    fps.Tick();  // first sample
    float first = fps.Fps();
    for (int i = 0; i < 9; ++i) {
        g_now += 100;
        fps.Tick();
    }
    g_now += 100;  // exactly 1.0 s after the sample: not yet
    fps.Tick();
    EXPECT_EQ(fps.Fps(), first);
    g_now += 1;
    fps.Tick();
    EXPECT_NEAR(fps.Fps(), 11.0f / 1.001f, 1e-3f);

    // The counter keeps working across the clock's wrap.
    g_now = 0xFFFFFF00u;
    fps.Tick();
    g_now = 0x700u;  // 2.048 s later
    fps.Tick();
    g_now = 0xF00u;
    fps.Tick();
    EXPECT_NEAR(fps.Fps(), 1.0f / 2.048f, 1e-3f);
}
