// Pixel formats to and from 0xAARRGGBB. Block formats store 4x4 pixels:
// DXT1 two RGB565 end colours and 2-bit indices (8 bytes; the end colours in
// ascending order select the 3-colour mode with transparent black), DXT3 4-bit
// explicit alpha before a DXT1 colour block, DXT5 two end alphas with 3-bit
// indices before a DXT1 colour block.
#include "platform/PixelCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/GfxFormatInfo.h"
#include "platform/GfxTypes.h"

namespace platform {

namespace {

uint32_t A(uint32_t c) { return c >> 24; }
uint32_t R(uint32_t c) { return (c >> 16) & 0xFF; }
uint32_t G(uint32_t c) { return (c >> 8) & 0xFF; }
uint32_t B(uint32_t c) { return c & 0xFF; }
uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }
uint32_t Expand4(uint32_t v) { return v * 17; }
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Write16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

uint32_t From565(uint32_t c) {
    return ColorArgb(255, Expand5((c >> 11) & 31), Expand6((c >> 5) & 63), Expand5(c & 31));
}
uint32_t To565(uint32_t c) {
    return ((R(c) * 31 + 127) / 255) << 11 | ((G(c) * 63 + 127) / 255) << 5 | (B(c) * 31 + 127) / 255;
}

uint32_t Mix(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb, uint32_t div) {
    return ColorArgb(255, (R(a) * wa + R(b) * wb) / div, (G(a) * wa + G(b) * wb) / div, (B(a) * wa + B(b) * wb) / div);
}

void DecodeColorBlock(const uint8_t* p, bool allowThreeColour, uint32_t out[16]) {
    uint32_t c0 = Read16(p), c1 = Read16(p + 2);
    uint32_t pal[4] = {From565(c0), From565(c1), 0, 0};
    if (c0 > c1 || !allowThreeColour) {
        pal[2] = Mix(pal[0], pal[1], 2, 1, 3);
        pal[3] = Mix(pal[0], pal[1], 1, 2, 3);
    } else {
        pal[2] = Mix(pal[0], pal[1], 1, 1, 2);
        pal[3] = 0;
    }
    uint32_t bits = p[4] | p[5] << 8 | p[6] << 16 | static_cast<uint32_t>(p[7]) << 24;
    for (int i = 0; i < 16; ++i) out[i] = pal[(bits >> (2 * i)) & 3];
}

int ColourDistance(uint32_t a, uint32_t b) {
    int dr = static_cast<int>(R(a)) - static_cast<int>(R(b));
    int dg = static_cast<int>(G(a)) - static_cast<int>(G(b));
    int db = static_cast<int>(B(a)) - static_cast<int>(B(b));
    return dr * dr + dg * dg + db * db;
}

void EncodeColorBlock(const uint32_t in[16], bool punchThrough, uint8_t* p) {
    uint32_t lo = ColorArgb(255, 255, 255, 255), hi = 0xFF000000u;
    bool any = false, transparent = false;
    for (int i = 0; i < 16; ++i) {
        if (punchThrough && A(in[i]) < 128) {
            transparent = true;
            continue;
        }
        any = true;
        lo = ColorArgb(255, std::min(R(lo), R(in[i])), std::min(G(lo), G(in[i])), std::min(B(lo), B(in[i])));
        hi = ColorArgb(255, std::max(R(hi), R(in[i])), std::max(G(hi), G(in[i])), std::max(B(hi), B(in[i])));
    }
    if (!any) lo = hi = 0xFF000000u;
    uint32_t c0 = To565(hi), c1 = To565(lo);
    // Four colours need c0 > c1; transparency needs the 3-colour mode, c0 <= c1.
    if (transparent) {
        if (c0 > c1) std::swap(c0, c1);
    } else if (c0 < c1) {
        std::swap(c0, c1);
    }
    uint32_t pal[4] = {From565(c0), From565(c1), 0, 0};
    int colours = 4;
    if (c0 > c1) {
        pal[2] = Mix(pal[0], pal[1], 2, 1, 3);
        pal[3] = Mix(pal[0], pal[1], 1, 2, 3);
    } else {
        pal[2] = Mix(pal[0], pal[1], 1, 1, 2);
        colours = 3;
    }
    uint32_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        uint32_t index = 0;
        if (transparent && A(in[i]) < 128) {
            index = 3;
        } else {
            int best = ColourDistance(in[i], pal[0]);
            for (int k = 1; k < colours; ++k) {
                int d = ColourDistance(in[i], pal[k]);
                if (d < best) {
                    best = d;
                    index = static_cast<uint32_t>(k);
                }
            }
        }
        bits |= index << (2 * i);
    }
    Write16(p, c0);
    Write16(p + 2, c1);
    for (int i = 0; i < 4; ++i) p[4 + i] = static_cast<uint8_t>(bits >> (8 * i));
}

void Dxt5AlphaPalette(uint32_t a0, uint32_t a1, uint32_t pal[8]) {
    pal[0] = a0;
    pal[1] = a1;
    if (a0 > a1) {
        for (uint32_t i = 1; i < 7; ++i) pal[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (uint32_t i = 1; i < 5; ++i) pal[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        pal[6] = 0;
        pal[7] = 255;
    }
}

}  // namespace

void DecodeDxtBlock(uint32_t format, const uint8_t* block, uint32_t out[16]) {
    if (format == FMT_DXT1) {
        DecodeColorBlock(block, true, out);
        return;
    }
    DecodeColorBlock(block + 8, false, out);
    if (format == FMT_DXT3) {
        for (int i = 0; i < 16; ++i) {
            uint32_t a = (block[i / 2] >> (4 * (i & 1))) & 0xF;
            out[i] = (out[i] & 0xFFFFFF) | Expand4(a) << 24;
        }
        return;
    }
    uint32_t pal[8];
    Dxt5AlphaPalette(block[0], block[1], pal);
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) out[i] = (out[i] & 0xFFFFFF) | pal[(bits >> (3 * i)) & 7] << 24;
}

void EncodeDxtBlock(uint32_t format, const uint32_t in[16], uint8_t* block) {
    if (format == FMT_DXT1) {
        EncodeColorBlock(in, true, block);
        return;
    }
    EncodeColorBlock(in, false, block + 8);
    if (format == FMT_DXT3) {
        std::memset(block, 0, 8);
        for (int i = 0; i < 16; ++i) block[i / 2] |= static_cast<uint8_t>(((A(in[i]) + 8) / 17) << (4 * (i & 1)));
        return;
    }
    uint32_t amin = 255, amax = 0;
    for (int i = 0; i < 16; ++i) {
        amin = std::min(amin, A(in[i]));
        amax = std::max(amax, A(in[i]));
    }
    uint32_t pal[8];
    uint32_t a0 = amax, a1 = amin;
    // Equal ends fall into the 6-alpha mode, whose first entry is still exact.
    Dxt5AlphaPalette(a0, a1, pal);
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        uint32_t best = 0;
        int bestDist = 1 << 30;
        for (uint32_t k = 0; k < 8; ++k) {
            int d = std::abs(static_cast<int>(pal[k]) - static_cast<int>(A(in[i])));
            if (d < bestDist) {
                bestDist = d;
                best = k;
            }
        }
        bits |= static_cast<uint64_t>(best) << (3 * i);
    }
    block[0] = static_cast<uint8_t>(a0);
    block[1] = static_cast<uint8_t>(a1);
    for (int i = 0; i < 6; ++i) block[2 + i] = static_cast<uint8_t>(bits >> (8 * i));
}

bool UnpackLevel(uint32_t format, uint32_t width, uint32_t height, const uint8_t* data, size_t size,
                 std::vector<uint32_t>* argb) {
    if (FormatUnitBytes(format) == 0 || !IsTextureFormat(format)) return false;
    if (!data || size < LevelBytes(format, width, height)) return false;
    argb->assign(static_cast<size_t>(width) * height, 0);
    uint32_t pitch = LevelPitch(format, width);
    if (IsBlockFormat(format)) {
        uint32_t unit = FormatUnitBytes(format);
        uint32_t px[16];
        for (uint32_t by = 0; by < (height + 3) / 4; ++by)
            for (uint32_t bx = 0; bx < (width + 3) / 4; ++bx) {
                DecodeDxtBlock(format, data + static_cast<size_t>(by) * pitch + static_cast<size_t>(bx) * unit, px);
                for (uint32_t y = 0; y < 4; ++y)
                    for (uint32_t x = 0; x < 4; ++x) {
                        uint32_t X = bx * 4 + x, Y = by * 4 + y;
                        if (X < width && Y < height) (*argb)[static_cast<size_t>(Y) * width + X] = px[y * 4 + x];
                    }
            }
        return true;
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = data + static_cast<size_t>(y) * pitch;
        uint32_t* out = argb->data() + static_cast<size_t>(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t c = 0;
            switch (format) {
                case FMT_A8R8G8B8:
                case FMT_X8R8G8B8: {
                    const uint8_t* p = row + 4 * x;
                    c = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
                    if (format == FMT_X8R8G8B8) c |= 0xFF000000u;
                    break;
                }
                case FMT_R5G6B5:
                    c = From565(Read16(row + 2 * x));
                    break;
                case FMT_X1R5G5B5:
                case FMT_A1R5G5B5: {
                    uint32_t v = Read16(row + 2 * x);
                    uint32_t a = format == FMT_X1R5G5B5 || (v & 0x8000) ? 255 : 0;
                    c = ColorArgb(a, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
                    break;
                }
                case FMT_A4R4G4B4: {
                    uint32_t v = Read16(row + 2 * x);
                    c = ColorArgb(Expand4(v >> 12), Expand4((v >> 8) & 15), Expand4((v >> 4) & 15), Expand4(v & 15));
                    break;
                }
                case FMT_L8:
                    c = ColorArgb(255, row[x], row[x], row[x]);
                    break;
                case FMT_A8:
                    c = ColorArgb(row[x], 0, 0, 0);
                    break;
                default:
                    return false;
            }
            out[x] = c;
        }
    }
    return true;
}

bool PackLevel(uint32_t format, uint32_t width, uint32_t height, const std::vector<uint32_t>& argb,
               std::vector<uint8_t>* data) {
    if (FormatUnitBytes(format) == 0 || !IsTextureFormat(format)) return false;
    if (argb.size() < static_cast<size_t>(width) * height) return false;
    data->assign(LevelBytes(format, width, height), 0);
    uint32_t pitch = LevelPitch(format, width);
    if (IsBlockFormat(format)) {
        uint32_t unit = FormatUnitBytes(format);
        uint32_t px[16];
        for (uint32_t by = 0; by < (height + 3) / 4; ++by)
            for (uint32_t bx = 0; bx < (width + 3) / 4; ++bx) {
                // Pixels beyond a small level repeat the edge, so they do not pull the end colours.
                for (uint32_t y = 0; y < 4; ++y)
                    for (uint32_t x = 0; x < 4; ++x) {
                        uint32_t X = std::min(bx * 4 + x, width - 1), Y = std::min(by * 4 + y, height - 1);
                        px[y * 4 + x] = argb[static_cast<size_t>(Y) * width + X];
                    }
                EncodeDxtBlock(format, px,
                               data->data() + static_cast<size_t>(by) * pitch + static_cast<size_t>(bx) * unit);
            }
        return true;
    }
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = data->data() + static_cast<size_t>(y) * pitch;
        const uint32_t* in = argb.data() + static_cast<size_t>(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t c = in[x];
            switch (format) {
                case FMT_A8R8G8B8:
                case FMT_X8R8G8B8: {
                    if (format == FMT_X8R8G8B8) c |= 0xFF000000u;
                    for (int i = 0; i < 4; ++i) row[4 * x + i] = static_cast<uint8_t>(c >> (8 * i));
                    break;
                }
                case FMT_R5G6B5:
                    Write16(row + 2 * x, To565(c));
                    break;
                case FMT_X1R5G5B5:
                case FMT_A1R5G5B5: {
                    uint32_t a = format == FMT_X1R5G5B5 || A(c) >= 128 ? 0x8000 : 0;
                    Write16(row + 2 * x, a | ((R(c) * 31 + 127) / 255) << 10 | ((G(c) * 31 + 127) / 255) << 5 |
                                             (B(c) * 31 + 127) / 255);
                    break;
                }
                case FMT_A4R4G4B4:
                    Write16(row + 2 * x, ((A(c) + 8) / 17) << 12 | ((R(c) + 8) / 17) << 8 | ((G(c) + 8) / 17) << 4 |
                                             (B(c) + 8) / 17);
                    break;
                case FMT_L8:
                    row[x] = static_cast<uint8_t>((R(c) * 77 + G(c) * 150 + B(c) * 29 + 128) >> 8);
                    break;
                case FMT_A8:
                    row[x] = static_cast<uint8_t>(A(c));
                    break;
                default:
                    return false;
            }
        }
    }
    return true;
}

std::vector<uint32_t> ResampleArgb(const std::vector<uint32_t>& src, uint32_t sw, uint32_t sh, uint32_t dw,
                                   uint32_t dh) {
    std::vector<uint32_t> dst(static_cast<size_t>(dw) * dh, 0);
    if (sw == 0 || sh == 0 || src.size() < static_cast<size_t>(sw) * sh) return dst;
    if (sw == dw && sh == dh) return src;
    for (uint32_t y = 0; y < dh; ++y) {
        float fy = std::clamp((y + 0.5f) * sh / dh - 0.5f, 0.0f, static_cast<float>(sh - 1));
        uint32_t y0 = static_cast<uint32_t>(fy), y1 = std::min(y0 + 1, sh - 1);
        float ty = fy - y0;
        for (uint32_t x = 0; x < dw; ++x) {
            float fx = std::clamp((x + 0.5f) * sw / dw - 0.5f, 0.0f, static_cast<float>(sw - 1));
            uint32_t x0 = static_cast<uint32_t>(fx), x1 = std::min(x0 + 1, sw - 1);
            float tx = fx - x0;
            uint32_t c00 = src[static_cast<size_t>(y0) * sw + x0], c10 = src[static_cast<size_t>(y0) * sw + x1];
            uint32_t c01 = src[static_cast<size_t>(y1) * sw + x0], c11 = src[static_cast<size_t>(y1) * sw + x1];
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                float v = ((c00 >> shift) & 0xFF) * (1 - tx) * (1 - ty) + ((c10 >> shift) & 0xFF) * tx * (1 - ty) +
                          ((c01 >> shift) & 0xFF) * (1 - tx) * ty + ((c11 >> shift) & 0xFF) * tx * ty;
                out |= static_cast<uint32_t>(std::lround(v)) << shift;
            }
            dst[static_cast<size_t>(y) * dw + x] = out;
        }
    }
    return dst;
}

}  // namespace platform
