// DDS writer; the layout is described where the reader lives (platform/DdsImage.cpp).
#include "tools/DdsWriter.h"

#include "platform/File.h"
#include "platform/GfxFormatInfo.h"
#include "platform/PixelCodec.h"

using namespace platform;

namespace {
void Put(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct PixelFormat {
    uint32_t flags, fourCC, bits, r, g, b, a;
};

PixelFormat PixelFormatOf(uint32_t format) {
    switch (format) {
        case FMT_A8R8G8B8:
            return {0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
        case FMT_X8R8G8B8:
            return {0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
        case FMT_R5G6B5:
            return {0x40, 0, 16, 0xF800, 0x7E0, 0x1F, 0};
        case FMT_A4R4G4B4:
            return {0x41, 0, 16, 0xF00, 0xF0, 0xF, 0xF000};
        case FMT_A1R5G5B5:
            return {0x41, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000};
        case FMT_X1R5G5B5:
            return {0x40, 0, 16, 0x7C00, 0x3E0, 0x1F, 0};
        case FMT_L8:
            return {0x20000, 0, 8, 0xFF, 0, 0, 0};
        case FMT_A8:
            return {0x2, 0, 8, 0, 0, 0, 0xFF};
        default:
            return {0x4, format, 0, 0, 0, 0, 0};
    }
}
}  // namespace

std::vector<uint8_t> CDdsWriter::FromLevels(uint32_t format, uint32_t width, uint32_t height,
                                            const std::vector<std::vector<uint8_t>>& levels) {
    std::vector<uint8_t> out;
    const uint32_t mips = static_cast<uint32_t>(levels.size());
    const bool block = IsBlockFormat(format);
    Put(out, MakeFourCC('D', 'D', 'S', ' '));
    Put(out, 124);
    // caps, height, width, pixel format; pitch or linear size; mip count when there are several
    Put(out, 0x1 | 0x2 | 0x4 | 0x1000 | (block ? 0x80000 : 0x8) | (mips > 1 ? 0x20000 : 0));
    Put(out, height);
    Put(out, width);
    Put(out, block ? static_cast<uint32_t>(LevelBytes(format, width, height)) : LevelPitch(format, width));
    Put(out, 0);  // depth
    Put(out, mips > 1 ? mips : 0);
    for (int i = 0; i < 11; ++i) Put(out, 0);
    PixelFormat pf = PixelFormatOf(format);
    Put(out, 32);
    Put(out, pf.flags);
    Put(out, pf.fourCC);
    Put(out, pf.bits);
    Put(out, pf.r);
    Put(out, pf.g);
    Put(out, pf.b);
    Put(out, pf.a);
    Put(out, 0x1000 | (mips > 1 ? 0x400008 : 0));  // texture, and mipmap + complex
    for (int i = 0; i < 4; ++i) Put(out, 0);
    for (const auto& level : levels) out.insert(out.end(), level.begin(), level.end());
    return out;
}

std::vector<uint8_t> CDdsWriter::FromArgb(uint32_t format, uint32_t width, uint32_t height,
                                          const std::vector<uint32_t>& argb, uint32_t mipLevels) {
    uint32_t full = FullMipCount(width, height);
    if (mipLevels == 0 || mipLevels > full) mipLevels = full;
    std::vector<std::vector<uint8_t>> levels;
    std::vector<uint32_t> colours = argb;
    uint32_t w = width, h = height;
    for (uint32_t i = 0; i < mipLevels; ++i) {
        if (i > 0) {
            uint32_t nw = MipExtent(width, i), nh = MipExtent(height, i);
            colours = ResampleArgb(colours, w, h, nw, nh);
            w = nw;
            h = nh;
        }
        levels.emplace_back();
        PackLevel(format, w, h, colours, &levels.back());
    }
    return FromLevels(format, width, height, levels);
}

std::vector<uint8_t> CDdsWriter::Solid(uint32_t format, uint32_t width, uint32_t height, uint32_t argb,
                                       uint32_t mipLevels) {
    return FromArgb(format, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, argb), mipLevels);
}

int CDdsWriter::Write(const std::string& gamePath, const std::vector<uint8_t>& bytes) {
    return WriteWholeFile(gamePath, bytes.data(), bytes.size()) ? 1 : 0;
}
