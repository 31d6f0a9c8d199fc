// DDS layout, all little-endian u32:
//   "DDS " magic
//   header: size (124), flags, height, width, pitchOrLinearSize, depth,
//           mipMapCount, 11 reserved,
//   pixel format: size (32), flags (ALPHAPIXELS 0x1, ALPHA 0x2, FOURCC 0x4,
//           RGB 0x40, LUMINANCE 0x20000), fourCC, bit count, R, G, B, A masks,
//   caps, caps2 (CUBEMAP 0x200, VOLUME 0x200000), caps3, caps4, reserved
// then the levels, largest first, each tightly packed (4x4 blocks for DXT).
// The pitch field is not trusted; level sizes follow from format and size.
#include "platform/DdsImage.h"

#include "platform/File.h"
#include "platform/GfxFormatInfo.h"

namespace platform {

namespace {

constexpr uint32_t kMagic = MakeFourCC('D', 'D', 'S', ' ');
constexpr uint32_t kHeaderBytes = 128;
constexpr uint32_t kFlagMipCount = 0x20000;
constexpr uint32_t kPfAlphaPixels = 0x1, kPfAlpha = 0x2, kPfFourCC = 0x4, kPfRgb = 0x40, kPfLuminance = 0x20000;
constexpr uint32_t kCaps2CubeMap = 0x200, kCaps2Volume = 0x200000;
// Larger images are not textures of this game; refusing them bounds the memory a bad header can ask for.
constexpr uint32_t kMaxExtent = 16384;

uint32_t U32(const uint8_t* data, size_t offset) {
    return data[offset] | data[offset + 1] << 8 | data[offset + 2] << 16 |
           static_cast<uint32_t>(data[offset + 3]) << 24;
}

uint32_t FormatOf(uint32_t pfFlags, uint32_t fourCC, uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if (pfFlags & kPfFourCC) {
        if (fourCC == FMT_DXT1 || fourCC == FMT_DXT3 || fourCC == FMT_DXT5) return fourCC;
        return FMT_UNKNOWN;
    }
    bool hasAlpha = (pfFlags & kPfAlphaPixels) != 0;
    if (pfFlags & kPfRgb) {
        if (bits == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF)
            return hasAlpha && a == 0xFF000000u ? FMT_A8R8G8B8 : FMT_X8R8G8B8;
        if (bits == 16 && r == 0xF800 && g == 0x7E0 && b == 0x1F) return FMT_R5G6B5;
        if (bits == 16 && r == 0xF00 && g == 0xF0 && b == 0xF && hasAlpha && a == 0xF000) return FMT_A4R4G4B4;
        if (bits == 16 && r == 0x7C00 && g == 0x3E0 && b == 0x1F)
            return hasAlpha && a == 0x8000 ? FMT_A1R5G5B5 : FMT_X1R5G5B5;
        return FMT_UNKNOWN;
    }
    if ((pfFlags & kPfLuminance) && bits == 8 && r == 0xFF) return FMT_L8;
    if ((pfFlags & kPfAlpha) && bits == 8 && a == 0xFF) return FMT_A8;
    return FMT_UNKNOWN;
}

}  // namespace

GfxResult CDdsImage::Parse(const uint8_t* data, size_t size) {
    m_levels.clear();
    m_info = GfxImageInfo();
    if (!data || size < kHeaderBytes || U32(data, 0) != kMagic || U32(data, 4) != 124 || U32(data, 76) != 32)
        return GFXERR_INVALIDDATA;
    uint32_t flags = U32(data, 8);
    uint32_t height = U32(data, 12), width = U32(data, 16);
    uint32_t mips = U32(data, 28);
    uint32_t caps2 = U32(data, 112);
    if (width == 0 || height == 0 || width > kMaxExtent || height > kMaxExtent) return GFXERR_INVALIDDATA;
    if (caps2 & (kCaps2CubeMap | kCaps2Volume)) return GFXERR_INVALIDDATA;
    uint32_t format = FormatOf(U32(data, 80), U32(data, 84), U32(data, 88), U32(data, 92), U32(data, 96),
                               U32(data, 100), U32(data, 104));
    if (format == FMT_UNKNOWN) return GFXERR_INVALIDDATA;
    if (!(flags & kFlagMipCount) || mips == 0) mips = 1;
    if (mips > FullMipCount(width, height)) return GFXERR_INVALIDDATA;
    size_t offset = kHeaderBytes;
    for (uint32_t i = 0; i < mips; ++i) {
        size_t bytes = LevelBytes(format, MipExtent(width, i), MipExtent(height, i));
        if (bytes > size - offset) {
            m_levels.clear();
            return GFXERR_INVALIDDATA;
        }
        m_levels.push_back(Span{data + offset, bytes});
        offset += bytes;
    }
    m_info.width = width;
    m_info.height = height;
    m_info.mipLevels = mips;
    m_info.format = format;
    return GFX_OK;
}

GfxResult GetImageInfoFromFileInMemory(const void* data, size_t size, GfxImageInfo* info) {
    if (!data || !info) return GFXERR_INVALIDCALL;
    CDdsImage image;
    GfxResult r = image.Parse(static_cast<const uint8_t*>(data), size);
    if (GfxSucceeded(r)) *info = image.Info();
    return r;
}

GfxResult GetImageInfoFromFile(std::string_view gamePath, GfxImageInfo* info) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(gamePath, bytes)) return GFXERR_NOTFOUND;
    return GetImageInfoFromFileInMemory(bytes.data(), bytes.size(), info);
}

}  // namespace platform
