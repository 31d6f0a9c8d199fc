// Keeps the client from drawing faster than the display shows frames. The
// device presents without waiting for the display (the immediate interval of
// the presentation parameters), so an idle screen would draw hundreds of
// frames a second and keep a core busy; the pacer tells the loop how long to
// wait after each present to hold the display's refresh rate. A frame that
// comes late starts the count afresh instead of being made up with a burst.
#pragma once

#include <cstdint>

class CFramePacer {
public:
    static constexpr uint32_t kDefaultRate = 60;  // when the display does not say

    explicit CFramePacer(uint32_t rateHz = kDefaultRate) { SetRate(rateHz); }
    // Frames a second; 0 (unknown) gives the default rate.
    void SetRate(uint32_t rateHz);
    uint32_t Rate() const { return m_rate; }
    // Milliseconds to wait before the next frame, for a frame that ended at
    // now (the game's wrapping millisecond clock).
    uint32_t FrameEnded(uint32_t now);

private:
    uint32_t m_rate = kDefaultRate;
    double m_interval = 1000.0 / kDefaultRate;
    bool m_started = false;
    uint32_t m_lastNow = 0;
    double m_time = 0;      // milliseconds since the first frame, unwrapped
    double m_deadline = 0;  // when the next frame may start
};
