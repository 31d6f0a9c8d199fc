#include "platform/ScriptedInput.h"

namespace platform {

// The acquisition rules both scripted devices share.
class ScriptedDevice {
public:
    explicit ScriptedDevice(ScriptedInput* owner) : m_owner(owner) { ++m_owner->m_liveDevices; }
    ~ScriptedDevice() { --m_owner->m_liveDevices; }
    ScriptedDevice(const ScriptedDevice&) = delete;
    ScriptedDevice& operator=(const ScriptedDevice&) = delete;

    InputResult Acquire() {
        ++m_owner->m_acquireCalls;
        if (m_owner->m_failingAcquires > 0) {
            --m_owner->m_failingAcquires;
            return DIERR_INPUTLOST;
        }
        if (!m_owner->m_foreground) return DIERR_OTHERAPPHASPRIO;
        m_acquired = true;
        m_generation = m_owner->m_generation;
        return DI_OK;
    }

    void Unacquire() { m_acquired = false; }

    // DI_OK when the state may be read now.
    InputResult Check() {
        if (!m_acquired) return DIERR_NOTACQUIRED;
        if (m_generation != m_owner->m_generation) {
            m_acquired = false;
            return DIERR_INPUTLOST;
        }
        return DI_OK;
    }

private:
    ScriptedInput* m_owner;
    bool m_acquired = false;
    uint32_t m_generation = 0;
};

namespace {

class ScriptedKeyboard : public KeyboardDevice {
public:
    explicit ScriptedKeyboard(ScriptedInput* owner, const KeyboardState* keys) : m_device(owner), m_keys(keys) {}
    InputResult Acquire() override { return m_device.Acquire(); }
    void Unacquire() override { m_device.Unacquire(); }
    InputResult GetState(KeyboardState* state) override {
        InputResult result = m_device.Check();
        if (InputSucceeded(result)) *state = *m_keys;
        return result;
    }

private:
    ScriptedDevice m_device;
    const KeyboardState* m_keys;
};

class ScriptedMouse : public MouseDevice {
public:
    ScriptedMouse(ScriptedInput* owner, MouseState* mouse) : m_device(owner), m_mouse(mouse) {}
    InputResult Acquire() override { return m_device.Acquire(); }
    void Unacquire() override { m_device.Unacquire(); }
    InputResult GetState(MouseState* state) override {
        InputResult result = m_device.Check();
        if (!InputSucceeded(result)) return result;
        *state = *m_mouse;
        m_mouse->x = m_mouse->y = m_mouse->z = 0;
        return result;
    }

private:
    ScriptedDevice m_device;
    MouseState* m_mouse;
};

}  // namespace

ScriptedInput::ScriptedInput() = default;

void ScriptedInput::SetKey(uint8_t key, bool down) { m_keyboard.keys[key] = down ? 0x80 : 0; }

void ScriptedInput::SetButton(int button, bool down) {
    if (button >= 0 && button < kMouseButtonCount) m_mouse.buttons[button] = down ? 0x80 : 0;
}

void ScriptedInput::Move(int32_t dx, int32_t dy, int32_t dz) {
    m_mouse.x += dx;
    m_mouse.y += dy;
    m_mouse.z += dz;
}

void ScriptedInput::SetCursor(int32_t x, int32_t y) { m_cursor = {x, y}; }

void ScriptedInput::SetForeground(bool foreground) {
    if (m_foreground && !foreground) ++m_generation;
    m_foreground = foreground;
}

void ScriptedInput::LoseInput(int failingAcquires) {
    ++m_generation;
    m_failingAcquires = failingAcquires;
}

InputResult ScriptedInput::CreateKeyboard(bool exclusive, std::unique_ptr<KeyboardDevice>* device) {
    device->reset();
    if (m_failKeyboard) return DIERR_GENERIC;
    m_keyboardExclusive = exclusive;
    *device = std::make_unique<ScriptedKeyboard>(this, &m_keyboard);
    return DI_OK;
}

InputResult ScriptedInput::CreateMouse(std::unique_ptr<MouseDevice>* device) {
    device->reset();
    if (m_failMouse) return DIERR_GENERIC;
    *device = std::make_unique<ScriptedMouse>(this, &m_mouse);
    return DI_OK;
}

bool ScriptedInput::GetCursorPos(CursorPoint* point) {
    *point = m_cursor;
    return true;
}

}  // namespace platform
