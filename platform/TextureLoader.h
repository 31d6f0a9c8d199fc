// Creating textures from DDS images, with the size, level count and format
// the caller asks for: levels whose size and format the file already has are
// copied; others are converted and resampled, and missing levels generated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/DdsImage.h"
#include "platform/GfxDevice.h"

namespace platform {

// Size and level arguments: the file's value rounded up to a power of two,
// the file's value as it is, or (levels and format) the file's own.
constexpr uint32_t kGfxDefault = 0xFFFFFFFFu;
constexpr uint32_t kGfxDefaultNonPow2 = 0xFFFFFFFEu;
constexpr uint32_t kGfxFromFile = 0xFFFFFFFDu;

// filter, mipFilter and colorKey are accepted for the callers' sake: resampling is
// always bilinear and no colour key is applied (the game passes none).
GfxResult CreateTextureFromFileInMemoryEx(CGfxDevice* device, const void* data, size_t size, uint32_t width,
                                          uint32_t height, uint32_t mipLevels, uint32_t usage, uint32_t format,
                                          uint32_t pool, uint32_t filter, uint32_t mipFilter, uint32_t colorKey,
                                          GfxImageInfo* info, CGfxTexture** texture);
GfxResult CreateTextureFromFileEx(CGfxDevice* device, std::string_view gamePath, uint32_t width, uint32_t height,
                                  uint32_t mipLevels, uint32_t usage, uint32_t format, uint32_t pool, uint32_t filter,
                                  uint32_t mipFilter, uint32_t colorKey, GfxImageInfo* info, CGfxTexture** texture);

}  // namespace platform
