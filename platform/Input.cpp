// The SDL2 input system. An event watch (called whenever SDL queues an event,
// whoever polls the queue) keeps the key and button bytes, the summed motion and
// wheel, the cursor and the focus of one window; the devices hand out copies.
// Watching events rather than SDL's own state tables keeps synthetic events
// (SDL_PushEvent) and real ones on the same path.
#include "platform/Input.h"

#include <SDL.h>

#include <mutex>

namespace platform {
namespace {

struct ScancodeKey {
    SDL_Scancode scancode;
    uint8_t key;
};

// SDL names keys by their USB usage; the game by their PC scan code.
constexpr ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
    {SDL_SCANCODE_1, DIK_1},
    {SDL_SCANCODE_2, DIK_2},
    {SDL_SCANCODE_3, DIK_3},
    {SDL_SCANCODE_4, DIK_4},
    {SDL_SCANCODE_5, DIK_5},
    {SDL_SCANCODE_6, DIK_6},
    {SDL_SCANCODE_7, DIK_7},
    {SDL_SCANCODE_8, DIK_8},
    {SDL_SCANCODE_9, DIK_9},
    {SDL_SCANCODE_0, DIK_0},
    {SDL_SCANCODE_MINUS, DIK_MINUS},
    {SDL_SCANCODE_EQUALS, DIK_EQUALS},
    {SDL_SCANCODE_BACKSPACE, DIK_BACK},
    {SDL_SCANCODE_TAB, DIK_TAB},
    {SDL_SCANCODE_Q, DIK_Q},
    {SDL_SCANCODE_W, DIK_W},
    {SDL_SCANCODE_E, DIK_E},
    {SDL_SCANCODE_R, DIK_R},
    {SDL_SCANCODE_T, DIK_T},
    {SDL_SCANCODE_Y, DIK_Y},
    {SDL_SCANCODE_U, DIK_U},
    {SDL_SCANCODE_I, DIK_I},
    {SDL_SCANCODE_O, DIK_O},
    {SDL_SCANCODE_P, DIK_P},
    {SDL_SCANCODE_LEFTBRACKET, DIK_LBRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, DIK_RBRACKET},
    {SDL_SCANCODE_RETURN, DIK_RETURN},
    {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
    {SDL_SCANCODE_A, DIK_A},
    {SDL_SCANCODE_S, DIK_S},
    {SDL_SCANCODE_D, DIK_D},
    {SDL_SCANCODE_F, DIK_F},
    {SDL_SCANCODE_G, DIK_G},
    {SDL_SCANCODE_H, DIK_H},
    {SDL_SCANCODE_J, DIK_J},
    {SDL_SCANCODE_K, DIK_K},
    {SDL_SCANCODE_L, DIK_L},
    {SDL_SCANCODE_SEMICOLON, DIK_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, DIK_APOSTROPHE},
    {SDL_SCANCODE_GRAVE, DIK_GRAVE},
    {SDL_SCANCODE_LSHIFT, DIK_LSHIFT},
    {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH},
    // The ISO keyboard's key beside Enter sends the same scan code as backslash.
    {SDL_SCANCODE_NONUSHASH, DIK_BACKSLASH},
    {SDL_SCANCODE_Z, DIK_Z},
    {SDL_SCANCODE_X, DIK_X},
    {SDL_SCANCODE_C, DIK_C},
    {SDL_SCANCODE_V, DIK_V},
    {SDL_SCANCODE_B, DIK_B},
    {SDL_SCANCODE_N, DIK_N},
    {SDL_SCANCODE_M, DIK_M},
    {SDL_SCANCODE_COMMA, DIK_COMMA},
    {SDL_SCANCODE_PERIOD, DIK_PERIOD},
    {SDL_SCANCODE_SLASH, DIK_SLASH},
    {SDL_SCANCODE_RSHIFT, DIK_RSHIFT},
    {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY},
    {SDL_SCANCODE_LALT, DIK_LMENU},
    {SDL_SCANCODE_SPACE, DIK_SPACE},
    {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL},
    {SDL_SCANCODE_F1, DIK_F1},
    {SDL_SCANCODE_F2, DIK_F2},
    {SDL_SCANCODE_F3, DIK_F3},
    {SDL_SCANCODE_F4, DIK_F4},
    {SDL_SCANCODE_F5, DIK_F5},
    {SDL_SCANCODE_F6, DIK_F6},
    {SDL_SCANCODE_F7, DIK_F7},
    {SDL_SCANCODE_F8, DIK_F8},
    {SDL_SCANCODE_F9, DIK_F9},
    {SDL_SCANCODE_F10, DIK_F10},
    {SDL_SCANCODE_NUMLOCKCLEAR, DIK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, DIK_SCROLL},
    {SDL_SCANCODE_KP_7, DIK_NUMPAD7},
    {SDL_SCANCODE_KP_8, DIK_NUMPAD8},
    {SDL_SCANCODE_KP_9, DIK_NUMPAD9},
    {SDL_SCANCODE_KP_MINUS, DIK_SUBTRACT},
    {SDL_SCANCODE_KP_4, DIK_NUMPAD4},
    {SDL_SCANCODE_KP_5, DIK_NUMPAD5},
    {SDL_SCANCODE_KP_6, DIK_NUMPAD6},
    {SDL_SCANCODE_KP_PLUS, DIK_ADD},
    {SDL_SCANCODE_KP_1, DIK_NUMPAD1},
    {SDL_SCANCODE_KP_2, DIK_NUMPAD2},
    {SDL_SCANCODE_KP_3, DIK_NUMPAD3},
    {SDL_SCANCODE_KP_0, DIK_NUMPAD0},
    {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL},
    {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102},
    {SDL_SCANCODE_F11, DIK_F11},
    {SDL_SCANCODE_F12, DIK_F12},
    {SDL_SCANCODE_F13, DIK_F13},
    {SDL_SCANCODE_F14, DIK_F14},
    {SDL_SCANCODE_F15, DIK_F15},
    {SDL_SCANCODE_INTERNATIONAL2, DIK_KANA},
    {SDL_SCANCODE_INTERNATIONAL4, DIK_CONVERT},
    {SDL_SCANCODE_INTERNATIONAL5, DIK_NOCONVERT},
    {SDL_SCANCODE_INTERNATIONAL3, DIK_YEN},
    {SDL_SCANCODE_KP_EQUALS, DIK_NUMPADEQUALS},
    {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER},
    {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
    {SDL_SCANCODE_KP_COMMA, DIK_NUMPADCOMMA},
    {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE},
    {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ},
    {SDL_SCANCODE_RALT, DIK_RMENU},
    {SDL_SCANCODE_PAUSE, DIK_PAUSE},
    {SDL_SCANCODE_HOME, DIK_HOME},
    {SDL_SCANCODE_UP, DIK_UP},
    {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
    {SDL_SCANCODE_LEFT, DIK_LEFT},
    {SDL_SCANCODE_RIGHT, DIK_RIGHT},
    {SDL_SCANCODE_END, DIK_END},
    {SDL_SCANCODE_DOWN, DIK_DOWN},
    {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
    {SDL_SCANCODE_INSERT, DIK_INSERT},
    {SDL_SCANCODE_DELETE, DIK_DELETE},
    {SDL_SCANCODE_LGUI, DIK_LWIN},
    {SDL_SCANCODE_RGUI, DIK_RWIN},
    {SDL_SCANCODE_APPLICATION, DIK_APPS},
};

struct ScancodeTable {
    uint8_t keys[SDL_NUM_SCANCODES] = {};
    constexpr ScancodeTable() {
        for (const ScancodeKey& entry : kScancodeKeys) keys[entry.scancode] = entry.key;
    }
};

constexpr ScancodeTable kScancodeTable;

uint8_t KeyFromScancode(SDL_Scancode scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return kScancodeTable.keys[scancode];
}

// DirectInput's button order: left, right, middle, then the side buttons.
int ButtonFromSdl(uint8_t button) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        case SDL_BUTTON_X1:
            return 3;
        case SDL_BUTTON_X2:
            return 4;
        default:
            return -1;
    }
}

// What the event watch has seen of one window. Shared by the system and its
// devices; the watch may run on whichever thread queues an event.
struct WindowInput {
    std::mutex mutex;
    uint32_t windowId = 0;
    bool focused = false;
    uint32_t generation = 1;  // bumped when the focus goes, taking the devices away
    KeyboardState keyboard{};
    MouseState mouse{};
    CursorPoint cursor{};

    bool Ours(uint32_t eventWindow) const { return eventWindow == 0 || eventWindow == windowId; }

    void LoseFocus() {
        focused = false;
        ++generation;
        keyboard = {};
        mouse = {};
    }

    void Take(const SDL_Event& event) {
        std::lock_guard lock(mutex);
        switch (event.type) {
            case SDL_WINDOWEVENT:
                if (!Ours(event.window.windowID)) break;
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) focused = true;
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) LoseFocus();
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (!Ours(event.key.windowID)) break;
                if (uint8_t key = KeyFromScancode(event.key.keysym.scancode))
                    keyboard.keys[key] = event.type == SDL_KEYDOWN ? 0x80 : 0;
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                if (!Ours(event.button.windowID)) break;
                int button = ButtonFromSdl(event.button.button);
                if (button >= 0) mouse.buttons[button] = event.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0;
                break;
            }
            case SDL_MOUSEMOTION:
                if (!Ours(event.motion.windowID)) break;
                mouse.x += event.motion.xrel;
                mouse.y += event.motion.yrel;
                cursor = {event.motion.x, event.motion.y};
                break;
            case SDL_MOUSEWHEEL: {
                if (!Ours(event.wheel.windowID)) break;
                int32_t notches = event.wheel.y;
                if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
                mouse.z += notches * kWheelDelta;
                break;
            }
            default:
                break;
        }
    }
};

int WatchEvent(void* userdata, SDL_Event* event) {
    static_cast<WindowInput*>(userdata)->Take(*event);
    return 0;
}

// Foreground-only acquisition, shared by both devices; called under the lock.
class DeviceLease {
public:
    InputResult Acquire(const WindowInput& input) {
        if (!input.focused) return DIERR_OTHERAPPHASPRIO;
        m_acquired = true;
        m_generation = input.generation;
        return DI_OK;
    }
    void Unacquire() { m_acquired = false; }
    InputResult Check(const WindowInput& input) {
        if (!m_acquired) return DIERR_NOTACQUIRED;
        if (m_generation != input.generation) {
            m_acquired = false;
            return DIERR_INPUTLOST;
        }
        return DI_OK;
    }

private:
    bool m_acquired = false;
    uint32_t m_generation = 0;
};

class SdlKeyboard : public KeyboardDevice {
public:
    SdlKeyboard(std::shared_ptr<WindowInput> input, SDL_Window* window, bool exclusive)
        : m_input(std::move(input)), m_window(window), m_exclusive(exclusive) {}
    ~SdlKeyboard() override { Unacquire(); }

    // The grab is changed outside the lock: SDL may queue events while doing it.
    InputResult Acquire() override {
        InputResult result;
        {
            std::lock_guard lock(m_input->mutex);
            result = m_lease.Acquire(*m_input);
        }
        if (InputSucceeded(result) && m_exclusive) SDL_SetWindowKeyboardGrab(m_window, SDL_TRUE);
        return result;
    }
    void Unacquire() override {
        {
            std::lock_guard lock(m_input->mutex);
            m_lease.Unacquire();
        }
        if (m_exclusive) SDL_SetWindowKeyboardGrab(m_window, SDL_FALSE);
    }
    InputResult GetState(KeyboardState* state) override {
        std::lock_guard lock(m_input->mutex);
        InputResult result = m_lease.Check(*m_input);
        if (InputSucceeded(result)) *state = m_input->keyboard;
        return result;
    }

private:
    std::shared_ptr<WindowInput> m_input;
    SDL_Window* m_window;
    bool m_exclusive;
    DeviceLease m_lease;
};

class SdlMouse : public MouseDevice {
public:
    explicit SdlMouse(std::shared_ptr<WindowInput> input) : m_input(std::move(input)) {}

    InputResult Acquire() override {
        std::lock_guard lock(m_input->mutex);
        return m_lease.Acquire(*m_input);
    }
    void Unacquire() override {
        std::lock_guard lock(m_input->mutex);
        m_lease.Unacquire();
    }
    InputResult GetState(MouseState* state) override {
        std::lock_guard lock(m_input->mutex);
        InputResult result = m_lease.Check(*m_input);
        if (!InputSucceeded(result)) return result;
        *state = m_input->mouse;
        m_input->mouse.x = m_input->mouse.y = m_input->mouse.z = 0;
        return result;
    }

private:
    std::shared_ptr<WindowInput> m_input;
    DeviceLease m_lease;
};

class SdlInputSystem : public InputSystem {
public:
    SdlInputSystem(SDL_Window* window, uint32_t windowId) : m_window(window), m_input(std::make_shared<WindowInput>()) {
        m_input->windowId = windowId;
        m_input->focused = SDL_GetKeyboardFocus() == window;
        int x = 0, y = 0;
        if (SDL_GetMouseFocus() == window) SDL_GetMouseState(&x, &y);
        m_input->cursor = {x, y};
        SDL_AddEventWatch(WatchEvent, m_input.get());
    }
    ~SdlInputSystem() override { SDL_DelEventWatch(WatchEvent, m_input.get()); }

    InputResult CreateKeyboard(bool exclusive, std::unique_ptr<KeyboardDevice>* device) override {
        *device = std::make_unique<SdlKeyboard>(m_input, m_window, exclusive);
        return DI_OK;
    }
    InputResult CreateMouse(std::unique_ptr<MouseDevice>* device) override {
        *device = std::make_unique<SdlMouse>(m_input);
        return DI_OK;
    }
    bool GetCursorPos(CursorPoint* point) override {
        std::lock_guard lock(m_input->mutex);
        *point = m_input->cursor;
        return true;
    }

private:
    SDL_Window* m_window;
    std::shared_ptr<WindowInput> m_input;
};

}  // namespace

std::unique_ptr<InputSystem> CreateSdlInputSystem(uint32_t windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (!window) return nullptr;
    return std::make_unique<SdlInputSystem>(window, windowId);
}

}  // namespace platform
