// The application's cameras: owned here, numbered in the order they are
// registered, and given the back buffer's size whenever the device is
// created or restored.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/Camera.h"
#include "platform/GfxDevice.h"

class CCameraRegistry {
public:
    explicit CCameraRegistry(platform::CGfxDevice* device);
    ~CCameraRegistry();
    CCameraRegistry(const CCameraRegistry&) = delete;
    CCameraRegistry& operator=(const CCameraRegistry&) = delete;

    // The application's registry exists before its device does.
    void SetDevice(platform::CGfxDevice* device) { m_device = device; }
    // Takes ownership; the camera's index is its place.
    void Register(CCamera* camera);
    // Every camera's projection for the new size; the device keeps the last camera's.
    void UpdateProjections(uint32_t width, uint32_t height);

    size_t Count() const { return m_cameras.size(); }
    CCamera* Get(size_t i) const { return i < m_cameras.size() ? m_cameras[i].get() : nullptr; }

private:
    platform::CGfxDevice* m_device;
    std::vector<std::unique_ptr<CCamera>> m_cameras;
};

extern CCameraRegistry* g_pCameraRegistry;
