// Keyboard and mouse read as whole device states once a frame, in the shape the
// game was written against: a keyboard of 256 key bytes indexed by DirectInput key
// codes (bit 7 = down), a mouse of relative motion, wheel and 8 button bytes in
// DirectInput order (0 left, 1 right, 2 middle, 3 and 4 the side buttons).
// Devices are foreground-only: while the window lacks the focus their state
// cannot be read and acquiring them fails, so nothing typed into another program
// reaches the game. The real system listens to SDL2's events; ScriptedInput
// (platform/ScriptedInput.h) drives the same interface from tests.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// Result codes of the device calls: 32-bit, negative on failure, with the values
// the game's error texts know.
using InputResult = int32_t;
constexpr InputResult DI_OK = 0;
constexpr InputResult DIERR_OTHERAPPHASPRIO = static_cast<int32_t>(0x80070005u);
constexpr InputResult DIERR_NOTACQUIRED = static_cast<int32_t>(0x8007000Cu);
constexpr InputResult DIERR_INPUTLOST = static_cast<int32_t>(0x8007001Eu);
constexpr InputResult DIERR_GENERIC = static_cast<int32_t>(0x80004005u);

inline bool InputSucceeded(InputResult result) { return result >= 0; }

// DirectInput key codes: the keyboard's set-1 scan codes, with the keys that send
// an 0xE0 prefix moved to the upper half (0x80 | code).
enum DirectInputKey : uint8_t {
    DIK_ESCAPE = 0x01,
    DIK_1 = 0x02,
    DIK_2 = 0x03,
    DIK_3 = 0x04,
    DIK_4 = 0x05,
    DIK_5 = 0x06,
    DIK_6 = 0x07,
    DIK_7 = 0x08,
    DIK_8 = 0x09,
    DIK_9 = 0x0A,
    DIK_0 = 0x0B,
    DIK_MINUS = 0x0C,
    DIK_EQUALS = 0x0D,
    DIK_BACK = 0x0E,
    DIK_TAB = 0x0F,
    DIK_Q = 0x10,
    DIK_W = 0x11,
    DIK_E = 0x12,
    DIK_R = 0x13,
    DIK_T = 0x14,
    DIK_Y = 0x15,
    DIK_U = 0x16,
    DIK_I = 0x17,
    DIK_O = 0x18,
    DIK_P = 0x19,
    DIK_LBRACKET = 0x1A,
    DIK_RBRACKET = 0x1B,
    DIK_RETURN = 0x1C,
    DIK_LCONTROL = 0x1D,
    DIK_A = 0x1E,
    DIK_S = 0x1F,
    DIK_D = 0x20,
    DIK_F = 0x21,
    DIK_G = 0x22,
    DIK_H = 0x23,
    DIK_J = 0x24,
    DIK_K = 0x25,
    DIK_L = 0x26,
    DIK_SEMICOLON = 0x27,
    DIK_APOSTROPHE = 0x28,
    DIK_GRAVE = 0x29,
    DIK_LSHIFT = 0x2A,
    DIK_BACKSLASH = 0x2B,
    DIK_Z = 0x2C,
    DIK_X = 0x2D,
    DIK_C = 0x2E,
    DIK_V = 0x2F,
    DIK_B = 0x30,
    DIK_N = 0x31,
    DIK_M = 0x32,
    DIK_COMMA = 0x33,
    DIK_PERIOD = 0x34,
    DIK_SLASH = 0x35,
    DIK_RSHIFT = 0x36,
    DIK_MULTIPLY = 0x37,
    DIK_LMENU = 0x38,
    DIK_SPACE = 0x39,
    DIK_CAPITAL = 0x3A,
    DIK_F1 = 0x3B,
    DIK_F2 = 0x3C,
    DIK_F3 = 0x3D,
    DIK_F4 = 0x3E,
    DIK_F5 = 0x3F,
    DIK_F6 = 0x40,
    DIK_F7 = 0x41,
    DIK_F8 = 0x42,
    DIK_F9 = 0x43,
    DIK_F10 = 0x44,
    DIK_NUMLOCK = 0x45,
    DIK_SCROLL = 0x46,
    DIK_NUMPAD7 = 0x47,
    DIK_NUMPAD8 = 0x48,
    DIK_NUMPAD9 = 0x49,
    DIK_SUBTRACT = 0x4A,
    DIK_NUMPAD4 = 0x4B,
    DIK_NUMPAD5 = 0x4C,
    DIK_NUMPAD6 = 0x4D,
    DIK_ADD = 0x4E,
    DIK_NUMPAD1 = 0x4F,
    DIK_NUMPAD2 = 0x50,
    DIK_NUMPAD3 = 0x51,
    DIK_NUMPAD0 = 0x52,
    DIK_DECIMAL = 0x53,
    DIK_OEM_102 = 0x56,
    DIK_F11 = 0x57,
    DIK_F12 = 0x58,
    DIK_F13 = 0x64,
    DIK_F14 = 0x65,
    DIK_F15 = 0x66,
    DIK_KANA = 0x70,
    DIK_CONVERT = 0x79,
    DIK_NOCONVERT = 0x7B,
    DIK_YEN = 0x7D,
    DIK_NUMPADEQUALS = 0x8D,
    DIK_NUMPADENTER = 0x9C,
    DIK_RCONTROL = 0x9D,
    DIK_NUMPADCOMMA = 0xB3,
    DIK_DIVIDE = 0xB5,
    DIK_SYSRQ = 0xB7,
    DIK_RMENU = 0xB8,
    DIK_PAUSE = 0xC5,
    DIK_HOME = 0xC7,
    DIK_UP = 0xC8,
    DIK_PRIOR = 0xC9,
    DIK_LEFT = 0xCB,
    DIK_RIGHT = 0xCD,
    DIK_END = 0xCF,
    DIK_DOWN = 0xD0,
    DIK_NEXT = 0xD1,
    DIK_INSERT = 0xD2,
    DIK_DELETE = 0xD3,
    DIK_LWIN = 0xDB,
    DIK_RWIN = 0xDC,
    DIK_APPS = 0xDD,
};

constexpr int kKeyCount = 256;
constexpr int kMouseButtonCount = 8;
// One wheel notch, in the units the mouse's z axis reports.
constexpr int32_t kWheelDelta = 120;

struct KeyboardState {
    uint8_t keys[kKeyCount];
};

// Relative motion since the last read; buttons hold bit 7 while down.
struct MouseState {
    int32_t x;
    int32_t y;
    int32_t z;
    uint8_t buttons[kMouseButtonCount];
};

struct CursorPoint {
    int32_t x;
    int32_t y;
};

class InputDevice {
public:
    virtual ~InputDevice() = default;
    virtual InputResult Acquire() = 0;
    virtual void Unacquire() = 0;
};

class KeyboardDevice : public InputDevice {
public:
    virtual InputResult GetState(KeyboardState* state) = 0;
};

class MouseDevice : public InputDevice {
public:
    // Relative values accumulate between reads and are handed out once.
    virtual InputResult GetState(MouseState* state) = 0;
};

class InputSystem {
public:
    virtual ~InputSystem() = default;
    // The keyboard may be taken exclusively (other programs then see no keys while
    // the window is in front); the mouse is always shared.
    virtual InputResult CreateKeyboard(bool exclusive, std::unique_ptr<KeyboardDevice>* device) = 0;
    virtual InputResult CreateMouse(std::unique_ptr<MouseDevice>* device) = 0;
    // The cursor in the window's client coordinates; false when unknown.
    virtual bool GetCursorPos(CursorPoint* point) = 0;
};

// The input of the SDL window with this id (SDL's video must be running), or
// null when there is no such window.
std::unique_ptr<InputSystem> CreateSdlInputSystem(uint32_t windowId);

}  // namespace platform
