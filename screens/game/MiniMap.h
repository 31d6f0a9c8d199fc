// The two conversions between minimap pixels and map coordinates, on the
// rectangle the map keeps for its minimap (left, top, width, height in screen
// pixels, and pixels per world unit on each axis). The map's z grows upwards
// on the screen, so the minimap's bottom row is z = 0.
#pragma once

#include <cstdint>

#include "world/ZEMMap.h"

class CMiniMap {
public:
    explicit CMiniMap(const CZEMMap::MinimapRect& rect) : m_rect(rect) {}
    // The map's own rectangle, or an empty one without a map.
    static CMiniMap OfCurrentMap();

    // 1 inside the half-open rectangle, with the map point written; else 0
    // and the outputs untouched.
    int ScreenToMap(int32_t screenX, int32_t screenY, float* outX, float* outZ) const;
    // The screen point, truncated toward zero, is written in every case; 1
    // when it lies inside the rectangle.
    int MapToScreen(float x, float z, int32_t* outScreenX, int32_t* outScreenY) const;
    bool Contains(int32_t screenX, int32_t screenY) const;

private:
    CZEMMap::MinimapRect m_rect;
};
