// Keyboard and mouse of the game window, read once a frame and turned into event
// flags per key and per mouse button that the UI and the screens test:
//   1 pressed this frame, 2 released this frame, 4 down,
//   8 double press: a second press within 0.2 s of frame time after a release.
// Key indexes are DirectInput key codes (platform/Input.h); buttons are 0 left,
// 1 right, 2 middle.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Input.h"

enum InputEventFlag : uint32_t {
    INPUT_PRESSED = 1,
    INPUT_RELEASED = 2,
    INPUT_DOWN = 4,
    INPUT_DOUBLE = 8,
};

class CZEMDXInput {
public:
    static constexpr int kButtonCount = 3;

    CZEMDXInput();
    ~CZEMDXInput();
    CZEMDXInput(const CZEMDXInput&) = delete;
    CZEMDXInput& operator=(const CZEMDXInput&) = delete;

    // Takes over the window's input system and opens keyboard and mouse on it;
    // devices from an earlier call are released first. Returns 0 after writing
    // the error report when the system is missing or a device cannot be opened.
    int CreateInput(std::unique_ptr<platform::InputSystem> system, int exclusive);
    // Unacquires and releases mouse, keyboard and the system.
    void Release();

    // The mouse tests answer 0 while the mouse is disabled; the flags are still kept.
    int MouseReleased(int button) const { return ButtonFlag(button, INPUT_RELEASED); }
    int MousePressed(int button) const { return ButtonFlag(button, INPUT_PRESSED); }
    int MouseDown(int button) const { return ButtonFlag(button, INPUT_DOWN); }
    int MouseDoubleClick(int button) const { return ButtonFlag(button, INPUT_DOUBLE); }
    int KeyDown(int key) const { return KeyFlag(key, INPUT_DOWN); }
    int KeyReleased(int key) const { return KeyFlag(key, INPUT_RELEASED); }
    int KeyPressed(int key) const { return KeyFlag(key, INPUT_PRESSED); }
    void GetCursor(platform::CursorPoint* point) const { *point = m_cursor; }

    // One frame: with active 0 (window in the background) every flag and timer is
    // cleared and the devices are left alone. Always returns 1.
    int UpdateInput(float dt, int active);
    // Zeroes both device states, all flags and all timers.
    void Reset();

    uint32_t GetKeyFlags(int key) const { return InRange(key, platform::kKeyCount) ? m_keyFlags[key] : 0; }
    uint32_t GetButtonFlags(int button) const { return InRange(button, kButtonCount) ? m_buttonFlags[button] : 0; }
    // This frame's relative motion and wheel.
    const platform::MouseState& GetMouseState() const { return m_mouse; }

    int GetMouseEnabled() const { return m_mouseEnabled; }
    void SetMouseEnabled(int enabled) { m_mouseEnabled = enabled; }
    int GetTrackCursor() const { return m_trackCursor; }
    void SetTrackCursor(int track) { m_trackCursor = track; }

private:
    static bool InRange(int index, int count) { return index >= 0 && index < count; }
    int KeyFlag(int key, uint32_t flag) const { return (GetKeyFlags(key) & flag) != 0; }
    int ButtonFlag(int button, uint32_t flag) const { return m_mouseEnabled && (GetButtonFlags(button) & flag) != 0; }

    void ClearFlags();
    void ReadKeyboard(float dt);
    void ReadMouse(float dt);
    void ReadCursor();

    platform::KeyboardState m_keys{};
    platform::KeyboardState m_prevKeys{};
    uint32_t m_keyFlags[platform::kKeyCount] = {};
    float m_keyTimers[platform::kKeyCount] = {};
    uint32_t m_buttonFlags[kButtonCount] = {};
    float m_buttonTimers[kButtonCount] = {};
    platform::MouseState m_mouse{};
    platform::MouseState m_prevMouse{};
    std::unique_ptr<platform::InputSystem> m_system;
    std::unique_ptr<platform::KeyboardDevice> m_keyboard;
    std::unique_ptr<platform::MouseDevice> m_mouseDevice;
    platform::CursorPoint m_cursor{};
    int m_mouseEnabled = 1;
    int m_trackCursor = 1;
};
