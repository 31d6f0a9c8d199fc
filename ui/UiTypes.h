// Numbers shared by every element of the 2D user interface: the flag word that
// windows and controls keep, the type ids stored in layout files, the packed
// colour rule and the one vertex layout of screen quads.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/Math.h"

// Bits of the flag word shared by windows and controls.
enum UiFlag : uint32_t {
    UI_FOCUS = 0x1,  // keyboard focus; a window: pressed with the pointer inside
    UI_HIDDEN = 0x2,
    UI_DISABLED = 0x4,
    UI_HIT_DRAG_AREA = 0x8,  // a window hit-tested by the press position against its drag area
    UI_TAKES_ALL = 0x10,     // a window that takes all input while shown
    UI_POINTER_OVER = 0x20,  // the pointer is over this element's window and no window above took it
    UI_PRESSED = 0x40,
    UI_BLOCKED = 0x400,  // an upper window already took the input this frame
    UI_NOT_DRAWN = 0x800,
    UI_STAY_BEHIND = 0x01000000,  // a lower-layer window that a press does not bring to the front
};

// Type ids of the elements, as layout files store them.
enum UiTypeId : uint32_t {
    UI_TYPE_WINDOW = 0x10000000,
    UI_TYPE_BUTTON = 0x10000001,
    UI_TYPE_COMBOBOX = 0x10000002,
    UI_TYPE_LISTBOX = 0x10000003,
    UI_TYPE_GAUGE = 0x10000004,
    UI_TYPE_SLIDER = 0x10000005,
    UI_TYPE_SCROLLBAR = 0x10000006,
    UI_TYPE_EDITBOX = 0x10000007,
    UI_TYPE_STATIC = 0x10000008,
    UI_TYPE_CHECKBUTTON = 0x10000009,
};

using UiColor = platform::ColorValue;

// RGBA floats to 0xAARRGGBB: 1.0 or more gives 255, 0.0 or less gives 0, values
// between give component x 255 + 0.5, truncated.
inline uint32_t PackColor(const UiColor& c) { return platform::ArgbFromColor(c); }
// 0xAARRGGBB to floats, each byte x 1/255.
inline UiColor UnpackColor(uint32_t argb) { return platform::ColorFromArgb(argb); }

// Positions and sizes live in the 16-bit range of screen coordinates. A layout
// file may hold any float; it is brought into range once where it is read.
constexpr float kUiCoordMin = -32768.0f;
constexpr float kUiCoordMax = 32767.0f;
inline float ClampUiCoord(float v) { return std::isnan(v) ? 0.0f : v < kUiCoordMin ? kUiCoordMin : v > kUiCoordMax ? kUiCoordMax : v; }
// A coordinate as a whole pixel for text drawing: truncated, never outside the
// screen range (sums of clamped values may still leave it).
inline int32_t PixelCoord(float v) { return static_cast<int32_t>(ClampUiCoord(v)); }

// A disabled element's colour: red, green and blue x 0.6, alpha kept.
inline UiColor DimmedColor(const UiColor& c) { return {c.r * 0.6f, c.g * 0.6f, c.b * 0.6f, c.a}; }

struct UiPoint {
    float x = 0, y = 0;
};

// A pre-transformed, coloured, textured vertex (x, y, z, rhw, ARGB, u, v).
struct UiVertex {
    float x, y, z, rhw;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(UiVertex) == 28, "screen vertices are 28 bytes");

// Vertex format of UiVertex: XYZRHW | DIFFUSE | TEX1.
constexpr uint32_t kUiVertexFormat = 0x144;

// Corner texture coordinates top-left, top-right, bottom-left, bottom-right.
constexpr float kDefaultUv[8] = {0, 0, 1, 0, 0, 1, 1, 1};
