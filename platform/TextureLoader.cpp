// Texture creation from DDS bytes.
#include "platform/TextureLoader.h"

#include <cstring>
#include <vector>

#include "platform/File.h"
#include "platform/GfxFormatInfo.h"
#include "platform/PixelCodec.h"

namespace platform {

namespace {
uint32_t PowerOfTwoAtLeast(uint32_t v) {
    uint32_t p = 1;
    while (p < v && p < 0x80000000u) p <<= 1;
    return p;
}

uint32_t ChooseExtent(uint32_t asked, uint32_t fromFile) {
    if (asked == 0 || asked == kGfxDefault) return PowerOfTwoAtLeast(fromFile);
    if (asked == kGfxDefaultNonPow2 || asked == kGfxFromFile) return fromFile;
    return asked;
}
}  // namespace

GfxResult CreateTextureFromFileInMemoryEx(CGfxDevice* device, const void* data, size_t size, uint32_t width,
                                          uint32_t height, uint32_t mipLevels, uint32_t usage, uint32_t format,
                                          uint32_t pool, uint32_t, uint32_t, uint32_t, GfxImageInfo* info,
                                          CGfxTexture** texture) {
    if (!texture) return GFXERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !data) return GFXERR_INVALIDCALL;
    CDdsImage image;
    GfxResult r = image.Parse(static_cast<const uint8_t*>(data), size);
    if (GfxFailed(r)) return r;
    const GfxImageInfo& src = image.Info();
    uint32_t w = ChooseExtent(width, src.width), h = ChooseExtent(height, src.height);
    uint32_t fmt = (format == FMT_UNKNOWN || format == kGfxFromFile) ? src.format : format;
    uint32_t levels = mipLevels;
    if (levels == kGfxFromFile) levels = src.mipLevels;
    if (levels == kGfxDefault) levels = 0;
    CGfxTexture* t = nullptr;
    r = device->CreateTexture(w, h, levels, usage, fmt, pool, &t);
    if (GfxFailed(r)) return r;
    if (!t->HasMemoryCopy()) {
        GfxRelease(t);
        return GFXERR_INVALIDCALL;
    }

    std::vector<uint32_t> previous;  // the last level made, as colours
    uint32_t prevW = 0, prevH = 0;
    for (uint32_t level = 0; level < t->GetLevelCount(); ++level) {
        uint32_t lw = t->GetLevelWidth(level), lh = t->GetLevelHeight(level);
        GfxLockedRect lr;
        if (GfxFailed(t->LockRect(level, &lr, nullptr, 0))) {
            GfxRelease(t);
            return GFXERR_INVALIDCALL;
        }
        size_t bytes = LevelBytes(fmt, lw, lh);
        bool copied = false;
        if (fmt == src.format) {
            for (uint32_t s = 0; s < src.mipLevels; ++s) {
                if (MipExtent(src.width, s) == lw && MipExtent(src.height, s) == lh) {
                    std::memcpy(lr.bits, image.Level(s), bytes);
                    copied = true;
                    previous.clear();
                    break;
                }
            }
        }
        if (!copied) {
            std::vector<uint32_t> colours;
            if (!previous.empty()) {
                colours = ResampleArgb(previous, prevW, prevH, lw, lh);
            } else {
                // Start from the smallest file level that is still at least as large.
                uint32_t s = 0;
                while (s + 1 < src.mipLevels && MipExtent(src.width, s + 1) >= lw && MipExtent(src.height, s + 1) >= lh)
                    ++s;
                std::vector<uint32_t> decoded;
                UnpackLevel(src.format, MipExtent(src.width, s), MipExtent(src.height, s), image.Level(s),
                            image.LevelSize(s), &decoded);
                colours = ResampleArgb(decoded, MipExtent(src.width, s), MipExtent(src.height, s), lw, lh);
            }
            std::vector<uint8_t> packed;
            PackLevel(fmt, lw, lh, colours, &packed);
            std::memcpy(lr.bits, packed.data(), bytes);
            previous = std::move(colours);
            prevW = lw;
            prevH = lh;
        }
        t->UnlockRect(level);
    }
    if (info) *info = src;
    *texture = t;
    return GFX_OK;
}

GfxResult CreateTextureFromFileEx(CGfxDevice* device, std::string_view gamePath, uint32_t width, uint32_t height,
                                  uint32_t mipLevels, uint32_t usage, uint32_t format, uint32_t pool, uint32_t filter,
                                  uint32_t mipFilter, uint32_t colorKey, GfxImageInfo* info, CGfxTexture** texture) {
    if (texture) *texture = nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(gamePath, bytes)) return GFXERR_NOTFOUND;
    return CreateTextureFromFileInMemoryEx(device, bytes.data(), bytes.size(), width, height, mipLevels, usage, format,
                                           pool, filter, mipFilter, colorKey, info, texture);
}

}  // namespace platform
