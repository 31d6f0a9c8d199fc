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

// Screen pixel to map point; 0 (outputs untouched) outside the rectangle or
// for a rectangle of no scale.
int MinimapToMap(const CZEMMap::MinimapRect& rect, int32_t screenX, int32_t screenY, float* x, float* z);
// Map point to screen pixel (truncated toward zero); the outputs are always
// written, the result is 1 only inside the rectangle and with a scale.
int MapToMinimap(const CZEMMap::MinimapRect& rect, float x, float z, int32_t* screenX, int32_t* screenY);

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

    CZEMMap* map = nullptr;
    CCamera* camera = nullptr;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    float referenceDistance = 0;
};
