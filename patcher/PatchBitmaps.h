// The patch dialog's button images and window icon, drawn in code: each is a
// shape on a key-coloured ground (magenta, or white for the finished start
// button), and the key colour becomes transparent when the button takes it.
// One set serves both languages.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kBitmapStart = 135;
constexpr int kBitmapStartHover = 136;
constexpr int kBitmapStartDone = 137;
constexpr int kBitmapStartDoneHover = 138;
constexpr int kBitmapRepatch = 149;
constexpr int kBitmapRepatchHover = 150;
constexpr int kBitmapRepatchOff = 152;
constexpr int kWindowIcon = 128;

constexpr uint32_t kKeyMagenta = 0xFF00FF;
constexpr uint32_t kKeyWhite = 0xFFFFFF;

struct PatchBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows top to bottom, three bytes a pixel
};

// The image of a resource id; false (and out untouched) for an id there is none of.
bool LoadPatchBitmap(int id, PatchBitmap* out);

// RGB to RGBA: alpha 0 where the pixel has the key colour (0xRRGGBB), else 255.
std::vector<uint8_t> KeyColourToRgba(const PatchBitmap& bitmap, uint32_t key);
