// The minimap of the main panel: two statics over one rectangle. The lower
// one draws the map's picture and the map's object marks; the upper one the
// fog, the scenario markers and the frame of what the play camera sees.
// Minimap pixels and map coordinates meet through the rectangle the map
// keeps (left, top, width, height and the pixels per world unit).
#pragma once

#include <cstdint>

#include "ui/UiStatic.h"
#include "world/ZEMMap.h"

class CCamera;
class CSightGrid;

// The two conversions between minimap pixels and map coordinates, on the
// rectangle the map keeps for its minimap (left, top, width, height in screen
// pixels, and pixels per world unit on each axis). The map's z grows upwards
// on the screen, so the minimap's bottom row is z = 0.
class CMiniMap {
public:
    explicit CMiniMap(const CZEMMap::MinimapRect& rect) : m_rect(rect) {}
    // The map's own rectangle, or an empty one without a map.
    static CMiniMap OfCurrentMap();

    // 1 inside the half-open rectangle, with the map point written; else 0
    // and the outputs untouched (also for a rectangle of no scale).
    int ScreenToMap(int32_t screenX, int32_t screenY, float* outX, float* outZ) const;
    // The screen point, truncated toward zero, is written in every case; 1
    // when it lies inside the rectangle and the rectangle has a scale.
    int MapToScreen(float x, float z, int32_t* outScreenX, int32_t* outScreenY) const;
    bool Contains(int32_t screenX, int32_t screenY) const;

private:
    bool HasScale() const { return m_rect.scaleX > 0 && m_rect.scaleZ > 0; }

    CZEMMap::MinimapRect m_rect;
};

struct MinimapFrame {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
// The camera frame around (cx, cy) of w x h pixels (more above the target
// than below), each edge past the static's rectangle pulled 2 pixels inside.
MinimapFrame CameraFrame(int32_t cx, int32_t cy, int32_t w, int32_t h, float left, float top, float width,
                         float height);

class CMiniMapStatic : public CUiStatic {
public:
    void Render() override;
    CZEMMap* map = nullptr;
};

class CMiniMapSightStatic : public CUiStatic {
public:
    void Render() override;
    // Fits the map's rectangle to the minimap static and measures the camera
    // frame at the camera's present distance (the reference distance).
    void SetUp(CZEMMap* theMap, CCamera* theCamera, CUiObject& minimapStatic, float screenWidth, float screenHeight);
    // The frame now, or false when the minimap cannot place the camera.
    bool CurrentFrame(MinimapFrame* frame);
    // Rewrites the sight texture from the fog now and then (the frame time).
    void Advance(float dt);
    // The fog over the map picture is drawn only while the match keeps a fog of war.
    bool FogShown() const;
    static constexpr float kFogRefresh = 0.2f;

    CZEMMap* map = nullptr;
    CCamera* camera = nullptr;
    // The grid whose whole-grid texture is the fog shown here.
    CSightGrid* sightGrid = nullptr;
    float fogTimer = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    float referenceDistance = 0;
};
