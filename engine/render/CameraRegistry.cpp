#include "engine/render/CameraRegistry.h"

CCameraRegistry* g_pCameraRegistry = nullptr;

CCameraRegistry::CCameraRegistry(platform::CGfxDevice* device) : m_device(device) {
    if (!g_pCameraRegistry) g_pCameraRegistry = this;
}

CCameraRegistry::~CCameraRegistry() {
    m_cameras.clear();
    if (g_pCameraRegistry == this) g_pCameraRegistry = nullptr;
}

void CCameraRegistry::Register(CCamera* camera) {
    if (!camera) return;
    camera->index = static_cast<int32_t>(m_cameras.size());
    m_cameras.emplace_back(camera);
}

void CCameraRegistry::UpdateProjections(uint32_t width, uint32_t height) {
    for (auto& camera : m_cameras) {
        camera->SetProjection(width, height);
        if (m_device) m_device->SetTransform(platform::TS_PROJECTION, &camera->projection);
    }
}
