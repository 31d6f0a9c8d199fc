#include "patcher/PatchBitmaps.h"

#include <cstdlib>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kMagenta{0xFF, 0x00, 0xFF};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};

class CCanvas {
public:
    CCanvas(int w, int h, Rgb ground) {
        m_bitmap.width = w;
        m_bitmap.height = h;
        m_bitmap.rgb.resize(static_cast<size_t>(w) * h * 3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Set(x, y, ground);
    }
    void Set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= m_bitmap.width || y >= m_bitmap.height) return;
        size_t at = (static_cast<size_t>(y) * m_bitmap.width + x) * 3;
        m_bitmap.rgb[at] = c.r;
        m_bitmap.rgb[at + 1] = c.g;
        m_bitmap.rgb[at + 2] = c.b;
    }
    // A filled rectangle with rounded corners and a one-pixel rim.
    void RoundRect(int x0, int y0, int w, int h, int radius, Rgb fill, Rgb rim) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int dx = x < radius ? radius - x : x >= w - radius ? x - (w - radius - 1) : 0;
                int dy = y < radius ? radius - y : y >= h - radius ? y - (h - radius - 1) : 0;
                int d2 = dx * dx + dy * dy;
                if (d2 > radius * radius) continue;
                bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1 || d2 > (radius - 1) * (radius - 1);
                Set(x0 + x, y0 + y, edge ? rim : fill);
            }
    }
    // A triangle pointing right, the "go" mark.
    void Play(int cx, int cy, int size, Rgb c) {
        for (int x = 0; x < size; ++x)
            for (int y = -(size - x) / 2; y <= (size - x) / 2; ++y) Set(cx - size / 2 + x, cy + y, c);
    }
    // Two arcs' worth of a ring, the "again" mark.
    void Ring(int cx, int cy, int r, Rgb c) {
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x) {
                int d2 = x * x + y * y;
                if (d2 <= r * r && d2 >= (r - 2) * (r - 2) && !(x > 0 && y < 0 && x > -y / 2)) Set(cx + x, cy + y, c);
            }
    }
    PatchBitmap Take() { return std::move(m_bitmap); }

private:
    PatchBitmap m_bitmap;
};

PatchBitmap StartButton(Rgb ground, Rgb fill, Rgb rim) {
    CCanvas c(120, 40, ground);
    c.RoundRect(0, 0, 120, 40, 8, fill, rim);
    c.Play(60, 20, 18, kWhite);
    return c.Take();
}

PatchBitmap RepatchButton(Rgb fill, Rgb rim, Rgb mark) {
    CCanvas c(90, 28, kMagenta);
    c.RoundRect(0, 0, 90, 28, 6, fill, rim);
    c.Ring(45, 14, 8, mark);
    return c.Take();
}

PatchBitmap Icon() {
    CCanvas c(32, 32, Rgb{0x10, 0x20, 0x50});
    c.RoundRect(2, 2, 28, 28, 6, Rgb{0x20, 0x50, 0xC0}, Rgb{0xA0, 0xC0, 0xFF});
    c.Play(16, 16, 14, kWhite);
    return c.Take();
}

}  // namespace

bool LoadPatchBitmap(int id, PatchBitmap* out) {
    switch (id) {
        case kBitmapStart:
            *out = StartButton(kMagenta, Rgb{0x20, 0x40, 0xA0}, Rgb{0x80, 0xA0, 0xE0});
            return true;
        case kBitmapStartHover:
            *out = StartButton(kMagenta, Rgb{0x30, 0x70, 0xE0}, Rgb{0xC0, 0xD8, 0xFF});
            return true;
        case kBitmapStartDone:
            *out = StartButton(kWhite, Rgb{0x20, 0x90, 0x30}, Rgb{0x80, 0xD0, 0x80});
            return true;
        case kBitmapStartDoneHover:
            *out = StartButton(kWhite, Rgb{0x30, 0xC0, 0x40}, Rgb{0xC0, 0xFF, 0xC0});
            return true;
        case kBitmapRepatch:
            *out = RepatchButton(Rgb{0xB0, 0x60, 0x10}, Rgb{0xE0, 0xA0, 0x60}, kWhite);
            return true;
        case kBitmapRepatchHover:
            *out = RepatchButton(Rgb{0xE0, 0x80, 0x20}, Rgb{0xFF, 0xD0, 0x90}, kWhite);
            return true;
        case kBitmapRepatchOff:
            *out = RepatchButton(Rgb{0x60, 0x60, 0x60}, Rgb{0x90, 0x90, 0x90}, Rgb{0xA0, 0xA0, 0xA0});
            return true;
        case kWindowIcon:
            *out = Icon();
            return true;
        default:
            return false;
    }
}

std::vector<uint8_t> KeyColourToRgba(const PatchBitmap& bitmap, uint32_t key) {
    const uint8_t kr = key >> 16 & 0xFF, kg = key >> 8 & 0xFF, kb = key & 0xFF;
    size_t pixels = static_cast<size_t>(bitmap.width) * bitmap.height;
    std::vector<uint8_t> rgba(pixels * 4);
    for (size_t i = 0; i < pixels && i * 3 + 2 < bitmap.rgb.size(); ++i) {
        uint8_t r = bitmap.rgb[i * 3], g = bitmap.rgb[i * 3 + 1], b = bitmap.rgb[i * 3 + 2];
        rgba[i * 4] = r;
        rgba[i * 4 + 1] = g;
        rgba[i * 4 + 2] = b;
        rgba[i * 4 + 3] = (r == kr && g == kg && b == kb) ? 0 : 255;
    }
    return rgba;
}
