#include "engine/core/FrameTimer.h"

#include "platform/Clock.h"

void CFrameTimer::Update() {
    uint32_t now = platform::TimeGetTime();
    if (!m_started) {
        m_started = true;
        m_lastTime = now;
        m_dt = 0.0f;
        return;
    }
    uint32_t elapsedMs = now - m_lastTime;  // unsigned: right across the wrap
    m_dt = m_paused ? 0.0f : static_cast<float>(elapsedMs) * m_speedScale * 0.001f;
    if (m_totalEnabled) m_total += m_dt;
    if (m_countdownOn && !m_countdownDone) {
        m_countdownElapsed += m_dt;
        if (m_countdownElapsed >= m_countdownLimit) m_countdownDone = true;
    }
    m_lastTime = now;
}

void CFrameTimer::StartCountdown(float limit) {
    m_countdownLimit = limit;
    m_countdownElapsed = 0.0f;
    m_countdownOn = true;
    m_countdownDone = false;
}

void CFpsCounter::Tick() {
    ++m_frames;
    uint32_t now = platform::TimeGetTime();
    uint32_t elapsedMs = now - m_lastSample;
    if (elapsedMs > 1000u) {
        m_fps = static_cast<float>(m_frames) / (static_cast<float>(elapsedMs) * 0.001f);
        m_frames = 0;
        m_lastSample = now;
    }
}
