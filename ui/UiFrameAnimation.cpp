#include "ui/UiFrameAnimation.h"

CUiFrameAnimation::CUiFrameAnimation() { SetFrameUv(0); }

void CUiFrameAnimation::SetGrid(uint32_t columns, uint32_t rows, float frameTime) {
    m_columns = columns;
    m_rows = rows;
    m_frameTime = frameTime;
    Restart();
}

void CUiFrameAnimation::Restart() {
    m_frame = 0;
    m_elapsed = 0.0f;
    SetFrameUv(0);
}

void CUiFrameAnimation::SetFrame(uint32_t frame) {
    const uint64_t total = static_cast<uint64_t>(SafeColumns()) * SafeRows();
    m_frame = static_cast<uint32_t>(frame % total);
    SetFrameUv(m_frame);
}

void CUiFrameAnimation::SetFrameUv(uint32_t frame) {
    const float columns = static_cast<float>(SafeColumns()), rows = static_cast<float>(SafeRows());
    const float u0 = static_cast<float>(frame % SafeColumns()) / columns;
    const float v0 = static_cast<float>(frame / SafeColumns()) / rows;
    const float u1 = u0 + 1.0f / columns, v1 = v0 + 1.0f / rows;
    const float uv[8] = {u0, v0, u1, v0, u0, v1, u1, v1};
    for (int i = 0; i < 8; ++i) m_uv[i] = uv[i];
}

int CUiFrameAnimation::Advance(End end) {
    if (!Animated() || !(m_elapsed > m_frameTime)) return 0;
    m_elapsed = 0.0f;
    const uint64_t total = static_cast<uint64_t>(SafeColumns()) * SafeRows();
    if (m_frame >= total) {
        if (end == END_HIDE) return 1;
        if (end == END_STAY) return 0;
        m_frame = 0;
    }
    SetFrameUv(m_frame);
    ++m_frame;
    return 0;
}
