// Display-mode queries shared by the graphics systems.
#include "platform/GfxSystem.h"

namespace platform {

uint32_t CGfxSystem::GetAdapterModeCount(uint32_t adapter, uint32_t format) const {
    if (adapter != 0) return 0;
    uint32_t n = 0;
    for (const auto& m : AdapterModes()) n += m.format == format;
    return n;
}

GfxResult CGfxSystem::EnumAdapterModes(uint32_t adapter, uint32_t format, uint32_t index, GfxDisplayMode* mode) const {
    if (adapter != 0 || !mode) return GFXERR_INVALIDCALL;
    for (const auto& m : AdapterModes()) {
        if (m.format != format) continue;
        if (index-- == 0) {
            *mode = m;
            return GFX_OK;
        }
    }
    return GFXERR_INVALIDCALL;
}

}  // namespace platform
