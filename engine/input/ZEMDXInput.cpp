#include "engine/input/ZEMDXInput.h"

#include "engine/core/ErrorReport.h"

namespace {

// A device that keeps reporting its input lost is given up for the frame after
// this many acquires, instead of holding the frame forever.
constexpr int kMaxAcquireTries = 8;

// The double-press window: a released key's timer starts at 1.0 and grows by the
// frame time; a new press counts as double while the timer is at most 1.2.
constexpr float kTimerOpen = 1.0f;
constexpr float kTimerClose = 1.2f;

// One key's or button's flags for this frame from its byte now and before (bit 7 = down).
uint32_t KeyStep(float* timer, uint8_t now, uint8_t before, float dt) {
    const bool down = (now & 0x80) != 0;
    const bool wasDown = (before & 0x80) != 0;
    if (*timer < kTimerOpen) {
        if (down) return wasDown ? INPUT_DOWN : INPUT_PRESSED | INPUT_DOWN;
        if (wasDown) {
            *timer = kTimerOpen;
            return INPUT_RELEASED;
        }
        return 0;
    }
    *timer += dt;
    if (down) {
        if (wasDown) return INPUT_DOWN;
        if (*timer <= kTimerClose) return INPUT_PRESSED | INPUT_DOWN | INPUT_DOUBLE;
        // The frame that brought the press also closed the window: a plain press.
        *timer = 0.0f;
        return INPUT_PRESSED | INPUT_DOWN;
    }
    if (*timer > kTimerClose) *timer = 0.0f;
    if (wasDown) {
        *timer = 0.0f;
        return INPUT_RELEASED;
    }
    return 0;
}

// Re-acquires a device whose state could not be read; bounded (see above).
void Reacquire(platform::InputDevice* device) {
    for (int i = 0; i < kMaxAcquireTries; ++i) {
        if (device->Acquire() != platform::DIERR_INPUTLOST) return;
    }
}

bool Failed(platform::InputResult result, int line) {
    if (platform::InputSucceeded(result)) return false;
    ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMDXInput", line, result);
    return true;
}

}  // namespace

CZEMDXInput::CZEMDXInput() { Reset(); }

CZEMDXInput::~CZEMDXInput() { Release(); }

int CZEMDXInput::CreateInput(std::unique_ptr<platform::InputSystem> system, int exclusive) {
    Release();
    if (!system) {
        ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMDXInput", __LINE__, platform::DIERR_GENERIC);
        return 0;
    }
    m_system = std::move(system);
    // Acquiring may fail while the window is in the background; the frame
    // update acquires again once it is in front.
    if (Failed(m_system->CreateKeyboard(exclusive == 1, &m_keyboard), __LINE__)) {
        Release();
        return 0;
    }
    m_keyboard->Acquire();
    if (Failed(m_system->CreateMouse(&m_mouseDevice), __LINE__)) {
        Release();
        return 0;
    }
    m_mouseDevice->Acquire();
    Reset();
    ReadCursor();
    return 1;
}

void CZEMDXInput::Release() {
    if (m_keyboard) m_keyboard->Unacquire();
    if (m_mouseDevice) m_mouseDevice->Unacquire();
    m_mouseDevice.reset();
    m_keyboard.reset();
    m_system.reset();
}

void CZEMDXInput::Reset() {
    m_keys = {};
    m_prevKeys = {};
    m_mouse = {};
    m_prevMouse = {};
    ClearFlags();
}

void CZEMDXInput::ClearFlags() {
    for (uint32_t& f : m_keyFlags) f = 0;
    for (float& t : m_keyTimers) t = 0.0f;
    for (uint32_t& f : m_buttonFlags) f = 0;
    for (float& t : m_buttonTimers) t = 0.0f;
}

int CZEMDXInput::UpdateInput(float dt, int active) {
    if (!active) {
        ClearFlags();
    } else {
        ReadKeyboard(dt);
        ReadMouse(dt);
    }
    if (m_trackCursor) ReadCursor();
    return 1;
}

void CZEMDXInput::ReadKeyboard(float dt) {
    m_prevKeys = m_keys;
    m_keys = {};
    // Without a device every key reads as up.
    if (m_keyboard && !platform::InputSucceeded(m_keyboard->GetState(&m_keys))) {
        Reacquire(m_keyboard.get());
        m_keys = {};
    }
    for (int k = 0; k < platform::kKeyCount; ++k)
        m_keyFlags[k] = KeyStep(&m_keyTimers[k], m_keys.keys[k], m_prevKeys.keys[k], dt);
}

void CZEMDXInput::ReadMouse(float dt) {
    m_prevMouse = m_mouse;
    m_mouse = {};
    if (m_mouseDevice && !platform::InputSucceeded(m_mouseDevice->GetState(&m_mouse))) {
        Reacquire(m_mouseDevice.get());
        m_mouse = {};
    }
    for (int b = 0; b < kButtonCount; ++b)
        m_buttonFlags[b] = KeyStep(&m_buttonTimers[b], m_mouse.buttons[b], m_prevMouse.buttons[b], dt);
}

void CZEMDXInput::ReadCursor() {
    platform::CursorPoint point;
    if (m_system && m_system->GetCursorPos(&point)) m_cursor = point;
}
