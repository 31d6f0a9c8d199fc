// Scripted answers of the recording graphics system.
#include <cstring>

#include "platform/GfxFormatInfo.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/GfxSystem.h"

namespace platform {

CGfxRecordingSystem::CGfxRecordingSystem() {
    for (uint32_t format : {FMT_X8R8G8B8, FMT_R5G6B5}) {
        modes.push_back(GfxDisplayMode{800, 600, 60, format});
        modes.push_back(GfxDisplayMode{1024, 768, 60, format});
        modes.push_back(GfxDisplayMode{1280, 1024, 60, format});
    }
    std::strcpy(identifier.description, "Recording adapter");
    std::strcpy(identifier.driver, "recording");
}

GfxResult CGfxRecordingSystem::GetAdapterIdentifier(uint32_t adapter, uint32_t, GfxAdapterIdentifier* id) {
    if (adapter != 0 || !id) return GFXERR_INVALIDCALL;
    if (GfxFailed(identifierResult)) return identifierResult;
    *id = identifier;
    return GFX_OK;
}

GfxResult CGfxRecordingSystem::GetDeviceCaps(uint32_t adapter, uint32_t, GfxCaps* out) {
    if (adapter != 0 || !out) return GFXERR_INVALIDCALL;
    if (GfxFailed(capsResult)) return capsResult;
    *out = caps;
    return GFX_OK;
}

GfxResult CGfxRecordingSystem::GetAdapterDisplayMode(uint32_t adapter, GfxDisplayMode* mode) {
    if (adapter != 0 || !mode) return GFXERR_INVALIDCALL;
    *mode = GfxDisplayMode{1024, 768, 60, FMT_X8R8G8B8};
    return GFX_OK;
}

GfxResult CGfxRecordingSystem::CheckDeviceType(uint32_t adapter, uint32_t, uint32_t, uint32_t backBufferFormat, bool) {
    if (adapter != 0) return GFXERR_INVALIDCALL;
    return backBufferFormats.count(backBufferFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
}

GfxResult CGfxRecordingSystem::CheckDeviceFormat(uint32_t adapter, uint32_t, uint32_t, uint32_t usage, uint32_t,
                                                 uint32_t checkFormat) {
    if (adapter != 0) return GFXERR_INVALIDCALL;
    if (usage & USAGE_DEPTHSTENCIL) return depthFormats.count(checkFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
    return IsTextureFormat(checkFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
}

GfxResult CGfxRecordingSystem::CheckDepthStencilMatch(uint32_t adapter, uint32_t, uint32_t, uint32_t,
                                                      uint32_t depthFormat) {
    if (adapter != 0) return GFXERR_INVALIDCALL;
    return depthFormats.count(depthFormat) ? GFX_OK : GFXERR_NOTAVAILABLE;
}

GfxResult CGfxRecordingSystem::CreateDevice(uint32_t adapter, uint32_t, void*, uint32_t, GfxPresentParameters* params,
                                            std::unique_ptr<CGfxDevice>* device) {
    if (adapter != 0 || !params || !device) return GFXERR_INVALIDCALL;
    createCalls.push_back(*params);
    if (failCreates) {
        --failCreates;
        return GFXERR_NOTAVAILABLE;
    }
    if (params->enableAutoDepthStencil && !depthFormats.count(params->autoDepthStencilFormat))
        return GFXERR_NOTAVAILABLE;
    auto created = std::make_unique<CGfxRecordingDevice>(*params);
    *params = created->GetPresentParameters();
    *device = std::move(created);
    return GFX_OK;
}

}  // namespace platform
