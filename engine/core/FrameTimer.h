// A screen's frame time: seconds between two updates, from the millisecond
// clock times a speed scale, with an optional running total and count-down.
// The clock is a wrapping 32-bit count, so the difference is taken unsigned
// and stays right across the wrap.
#pragma once

#include <cstdint>

class CFrameTimer {
public:
    // Reads the clock. The first update only takes the time and gives dt 0;
    // a paused timer follows the clock but gives dt 0.
    void Update();

    float Dt() const { return m_dt; }

    void SetPaused(bool paused) { m_paused = paused; }
    bool Paused() const { return m_paused; }
    void SetSpeedScale(float scale) { m_speedScale = scale; }
    float SpeedScale() const { return m_speedScale; }

    void EnableTotal(bool on) { m_totalEnabled = on; }
    float Total() const { return m_total; }
    void ResetTotal() { m_total = 0.0f; }

    // Counts dt up to limit seconds; done once the sum reaches it.
    void StartCountdown(float limit);
    void StopCountdown() { m_countdownOn = false; }
    bool CountdownDone() const { return m_countdownDone; }
    float CountdownElapsed() const { return m_countdownElapsed; }

    // Forgets the last time: the next update starts afresh.
    void Restart() { m_started = false; }

private:
    bool m_paused = false;
    float m_dt = 0.0f;
    float m_speedScale = 1.0f;
    uint32_t m_lastTime = 0;
    bool m_started = false;  // a separate flag: a clock reading of 0 is a real time
    float m_total = 0.0f;
    bool m_totalEnabled = false;
    float m_countdownLimit = 0.0f;
    float m_countdownElapsed = 0.0f;
    bool m_countdownOn = false;
    bool m_countdownDone = false;
};

// Frames per second, sampled once more than a second has passed.
class CFpsCounter {
public:
    void Tick();
    float Fps() const { return m_fps; }

private:
    float m_fps = 0.0f;
    uint32_t m_frames = 0;
    // Kept in clock milliseconds: seconds in a float lose precision after a
    // few days of uptime and would stop the counter at the clock's wrap.
    uint32_t m_lastSample = 0;
};
