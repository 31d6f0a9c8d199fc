#include "screens/game/MiniMap.h"

#include <cmath>

#include "engine/render/Camera.h"
#include "engine/render/Draw2D.h"
#include "ui/UiManager.h"
#include "world/MapScenario.h"
#include "world/SightGrid.h"
#include "world/WorldObjectManager.h"
#include "world/TerrainEngine.h"

namespace {
constexpr uint32_t kFrameColour = 0xFFFFFFFF;
constexpr int32_t kClipInset = 2;

// Where the ray through a screen pixel meets the ground plane; false when it
// runs parallel to it or away from it.
bool GroundUnder(CCamera& camera, float x, float y, float* outX, float* outZ) {
    camera.MakePickRay(x, y, camera.projection, camera.view);
    const platform::Vec3& o = camera.rayOrigin;
    const platform::Vec3& d = camera.rayDirection;
    if (!(std::fabs(d.y) > 1e-6f)) return false;
    const float t = -o.y / d.y;
    if (!(t > 0)) return false;
    *outX = o.x + d.x * t;
    *outZ = o.z + d.z * t;
    return true;
}

}  // namespace

CMiniMap CMiniMap::OfCurrentMap() { return CMiniMap(g_pZEMMap ? g_pZEMMap->minimapRect() : CZEMMap::MinimapRect{}); }

bool CMiniMap::Contains(int32_t screenX, int32_t screenY) const {
    return screenX >= m_rect.left && screenX < m_rect.left + m_rect.width && screenY >= m_rect.top &&
           screenY < m_rect.top + m_rect.height;
}

int CMiniMap::ScreenToMap(int32_t screenX, int32_t screenY, float* outX, float* outZ) const {
    // A rectangle not yet fitted to a map has no scale to divide by.
    if (!HasScale() || !Contains(screenX, screenY)) return 0;
    *outX = static_cast<float>(screenX - m_rect.left) / m_rect.scaleX;
    *outZ = static_cast<float>(m_rect.top + m_rect.height - screenY) / m_rect.scaleZ;
    return 1;
}

int CMiniMap::MapToScreen(float x, float z, int32_t* outScreenX, int32_t* outScreenY) const {
    const double px = std::trunc(static_cast<double>(x) * m_rect.scaleX);
    const double pz = std::trunc(static_cast<double>(z) * m_rect.scaleZ);
    // A point far off the map must not overflow the pixel.
    const double limit = 1 << 24;
    *outScreenX = static_cast<int32_t>(std::fmax(-limit, std::fmin(limit, px))) + m_rect.left;
    *outScreenY = m_rect.top - static_cast<int32_t>(std::fmax(-limit, std::fmin(limit, pz))) + m_rect.height;
    return HasScale() && Contains(*outScreenX, *outScreenY) ? 1 : 0;
}

MinimapFrame CameraFrame(int32_t cx, int32_t cy, int32_t w, int32_t h, float left, float top, float width,
                         float height) {
    MinimapFrame f;
    f.left = static_cast<int32_t>(static_cast<float>(cx) - static_cast<float>(w) * 0.5f);
    f.top = static_cast<int32_t>(static_cast<float>(cy) - static_cast<float>(h) * 0.7f);
    f.right = static_cast<int32_t>(static_cast<float>(cx) + static_cast<float>(w) * 0.5f);
    f.bottom = static_cast<int32_t>(static_cast<float>(cy) + static_cast<float>(h) * 0.3f);
    const auto l = static_cast<int32_t>(left), t = static_cast<int32_t>(top);
    const auto r = static_cast<int32_t>(left + width), b = static_cast<int32_t>(top + height);
    if (f.left < l) f.left = l + kClipInset;
    if (f.top < t) f.top = t + kClipInset;
    if (f.right > r) f.right = r - kClipInset;
    if (f.bottom > b) f.bottom = b - kClipInset;
    return f;
}

void CMiniMapStatic::Render() {
    CUiStatic::Render();
    if (!map || HasFlags(UI_HIDDEN)) return;
    MinimapHeroes heroes;
    map->DrawMinimap(heroes, 0, 1);
}

void CMiniMapSightStatic::SetUp(CZEMMap* theMap, CCamera* theCamera, CUiObject& minimapStatic, float screenWidth,
                                float screenHeight) {
    map = theMap;
    camera = theCamera;
    if (!map) return;
    const UiPoint at = minimapStatic.GetAbsolutePos();
    map->SetMinimapRect(static_cast<int32_t>(at.x), static_cast<int32_t>(at.y),
                        static_cast<int32_t>(minimapStatic.Size().x), static_cast<int32_t>(minimapStatic.Size().y));
    if (!camera) return;
    referenceDistance = camera->distance;
    // The ground under the screen's corners, on the minimap.
    float x0, z0, x1, z1;
    if (!GroundUnder(*camera, 0, 0, &x0, &z0) || !GroundUnder(*camera, screenWidth, screenHeight, &x1, &z1)) return;
    int32_t sx0, sy0, sx1, sy1;
    CMiniMap(map->minimapRect()).MapToScreen(x0, z0, &sx0, &sy0);
    CMiniMap(map->minimapRect()).MapToScreen(x1, z1, &sx1, &sy1);
    frameWidth = std::abs(sx1 - sx0);
    frameHeight = std::abs(sy1 - sy0);
}

bool CMiniMapSightStatic::CurrentFrame(MinimapFrame* frame) {
    if (!map || !camera || !(map->minimapRect().scaleX > 0 && map->minimapRect().scaleZ > 0)) return false;
    int32_t cx, cy;
    CMiniMap(map->minimapRect()).MapToScreen(camera->target.x, camera->target.z, &cx, &cy);
    int32_t w = frameWidth, h = frameHeight;
    if (referenceDistance > 0 && camera->distance != referenceDistance) {
        const float factor = camera->distance / referenceDistance;
        w = static_cast<int32_t>(static_cast<float>(w) * factor);
        h = static_cast<int32_t>(static_cast<float>(h) * factor);
    }
    const UiPoint at = GetAbsolutePos();
    *frame = CameraFrame(cx, cy, w, h, at.x, at.y, Size().x, Size().y);
    return true;
}

bool CMiniMapSightStatic::FogShown() const {
    return sightGrid && sightGrid->texture() && g_pWorldObjectManager && g_pWorldObjectManager->fogOfWar;
}

void CMiniMapSightStatic::Advance(float dt) {
    if (!FogShown()) return;
    fogTimer += dt;
    if (fogTimer < kFogRefresh) return;
    fogTimer = 0;
    sightGrid->RefreshTexture();
}

void CMiniMapSightStatic::Render() {
    if (HasFlags(UI_HIDDEN)) return;
    CUiStatic::Render();
    float u0, v0, u1, v1;
    if (FogShown() && g_pUiManager && sightGrid->TextureArea(&u0, &v0, &u1, &v1)) {
        // The texture's first row is the map's z = 0, the minimap's bottom row.
        const float uv[8] = {u0, v1, u1, v1, u0, v0, u1, v0};
        const UiPoint at = GetAbsolutePos();
        g_pUiManager->DrawQuad(0xFFFFFFFFu, uv, sightGrid->texture(), at.x, at.y, Size().x, Size().y);
    }
    MinimapFrame frame;
    if (!CurrentFrame(&frame)) return;
    DrawScreenRectOutline({frame.left, frame.top, frame.right, frame.bottom}, kFrameColour, true);
}
