// JPEG screenshots: a colour surface of the device (the back buffer) saved as
// a JPEG file, in place of the original's save-surface-to-file call.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/GfxDevice.h"

namespace platform {

// 0xAARRGGBB pixels, top row first, to JPEG bytes (alpha dropped). False on failure.
bool EncodeJpeg(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height, int quality,
                std::vector<uint8_t>* out);
// Reads the surface through the device and writes the file (game path).
GfxResult SaveSurfaceToJpeg(CGfxDevice* device, CGfxSurface* surface, std::string_view gamePath, int quality = 90);

}  // namespace platform
