// The minimap's conversions.
#include "screens/game/MiniMap.h"

#include "commands/CommandRecords.h"

CMiniMap CMiniMap::OfCurrentMap() { return CMiniMap(g_pZEMMap ? g_pZEMMap->minimapRect() : CZEMMap::MinimapRect{}); }

bool CMiniMap::Contains(int32_t screenX, int32_t screenY) const {
    return screenX >= m_rect.left && screenX < m_rect.left + m_rect.width && screenY >= m_rect.top &&
           screenY < m_rect.top + m_rect.height;
}

int CMiniMap::ScreenToMap(int32_t screenX, int32_t screenY, float* outX, float* outZ) const {
    // A rectangle not yet fitted to a map has no scale to divide by.
    if (!Contains(screenX, screenY) || !(m_rect.scaleX > 0) || !(m_rect.scaleZ > 0)) return 0;
    *outX = static_cast<float>(screenX - m_rect.left) / m_rect.scaleX;
    *outZ = static_cast<float>(m_rect.top + m_rect.height - screenY) / m_rect.scaleZ;
    return 1;
}

int CMiniMap::MapToScreen(float x, float z, int32_t* outScreenX, int32_t* outScreenY) const {
    *outScreenX = TruncateToI32(x * m_rect.scaleX) + m_rect.left;
    *outScreenY = m_rect.top - TruncateToI32(z * m_rect.scaleZ) + m_rect.height;
    return Contains(*outScreenX, *outScreenY) ? 1 : 0;
}
