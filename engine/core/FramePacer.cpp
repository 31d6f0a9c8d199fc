#include "engine/core/FramePacer.h"

void CFramePacer::SetRate(uint32_t rateHz) {
    m_rate = rateHz ? rateHz : kDefaultRate;
    m_interval = 1000.0 / m_rate;
}

uint32_t CFramePacer::FrameEnded(uint32_t now) {
    if (!m_started) {
        m_started = true;
        m_lastNow = now;
        m_time = 0;
        m_deadline = m_interval;
        return 0;
    }
    m_time += static_cast<uint32_t>(now - m_lastNow);  // unsigned: the clock wraps
    m_lastNow = now;
    if (m_time >= m_deadline) {
        m_deadline = m_time + m_interval;
        return 0;
    }
    double wait = m_deadline - m_time;
    if (wait > m_interval) {
        // The clock stood still (or went back): never more than one frame's wait.
        wait = m_interval;
        m_deadline = m_time + m_interval;
    }
    m_deadline += m_interval;
    return static_cast<uint32_t>(wait);
}
