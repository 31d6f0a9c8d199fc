// What the match holds in video memory follows the device: the map's buffers
// and textures with the device's creation and destruction, the shadow targets,
// the HUD portraits and the projection around a lost device.
#include "engine/render/Camera.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/ZEMShadow.h"
#include "platform/GfxDevice.h"
#include "screens/game/PlayScreen.h"
#include "ui/ScreenHost.h"
#include "world/TerrainEngine.h"
#include "world/ZEMMap.h"

int CPlayScreen::InitDeviceObjects() {
    // The map's own error report stands when it fails.
    if (g_pZEMMap && !g_pZEMMap->CreateDeviceObjects()) return 0;
    return 1;
}

int CPlayScreen::RestoreDeviceObjects() {
    platform::CGfxDevice* device = GetDevice();
    IScreenHost* host = ScreenHost();
    if (m_camera && host) {
        m_camera->SetProjection(host->BackBufferWidth(), host->BackBufferHeight());
        if (device) device->SetTransform(platform::TS_PROJECTION, &m_camera->projection);
    }
    RestorePortraits();
    if (!CreateShadow()) return 0;
    if (device) device->GetViewport(&m_pickViewport);
    return 1;
}

int CPlayScreen::InvalidateDeviceObjects() {
    ReleaseShadow();
    InvalidatePortraits();
    return 1;
}

void CPlayScreen::DeleteDeviceObjects() {
    if (g_pTerrainEngine) g_pTerrainEngine->InvalidateDeviceObjects();
    if (g_pZEMMap) g_pZEMMap->InvalidateDeviceObjects();
}
