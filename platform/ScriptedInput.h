// An input system driven by hand, for tests and the headless client: keys,
// buttons, motion and the cursor are set directly, and focus loss and devices
// that keep losing their input can be provoked. Devices it creates point back at
// it, so it must outlive them (its owner releases the devices first).
#pragma once

#include "platform/Input.h"

namespace platform {

class ScriptedInput : public InputSystem {
public:
    ScriptedInput();

    void SetKey(uint8_t key, bool down);
    void SetButton(int button, bool down);
    // Relative motion and wheel, handed out by the mouse's next read.
    void Move(int32_t dx, int32_t dy, int32_t dz = 0);
    void SetCursor(int32_t x, int32_t y);
    // Leaving the foreground takes the devices away: their next read reports the
    // input lost, and acquiring fails until the foreground returns.
    void SetForeground(bool foreground);
    // Takes the devices away and lets the next `failingAcquires` acquires report
    // the input lost again.
    void LoseInput(int failingAcquires);
    void FailCreateKeyboard(bool fail) { m_failKeyboard = fail; }
    void FailCreateMouse(bool fail) { m_failMouse = fail; }

    int AcquireCalls() const { return m_acquireCalls; }
    bool KeyboardExclusive() const { return m_keyboardExclusive; }
    int LiveDevices() const { return m_liveDevices; }

    InputResult CreateKeyboard(bool exclusive, std::unique_ptr<KeyboardDevice>* device) override;
    InputResult CreateMouse(std::unique_ptr<MouseDevice>* device) override;
    bool GetCursorPos(CursorPoint* point) override;

private:
    friend class ScriptedDevice;

    KeyboardState m_keyboard{};
    MouseState m_mouse{};
    CursorPoint m_cursor{};
    bool m_foreground = true;
    // Bumped whenever the devices are taken away; an acquired device remembers
    // the value it saw.
    uint32_t m_generation = 1;
    int m_failingAcquires = 0;
    int m_acquireCalls = 0;
    int m_liveDevices = 0;
    bool m_failKeyboard = false;
    bool m_failMouse = false;
    bool m_keyboardExclusive = false;
};

}  // namespace platform
