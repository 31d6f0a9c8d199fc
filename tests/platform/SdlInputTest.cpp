// The SDL input system and input context on SDL's dummy video driver, fed with
// synthetic events: no display is needed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/Ime.h"
#include "platform/Input.h"

namespace {

class SdlWindowTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        m_window = SDL_CreateWindow("input", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
        ASSERT_NE(m_window, nullptr) << SDL_GetError();
        m_id = SDL_GetWindowID(m_window);
    }
    void TearDown() override {
        if (m_window) SDL_DestroyWindow(m_window);
        SDL_Quit();
    }

    void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    void Focus(bool gained) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = m_id;
        e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        Push(e);
    }
    void Key(SDL_Scancode scancode, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = m_id;
        e.key.keysym.scancode = scancode;
        Push(e);
    }

    SDL_Window* m_window = nullptr;
    uint32_t m_id = 0;
};

}  // namespace

TEST_F(SdlWindowTest, ScancodesBecomeDirectInputKeyCodes) {
    const struct {
        SDL_Scancode scancode;
        uint8_t key;
    } table[] = {
        {SDL_SCANCODE_ESCAPE, 0x01},    {SDL_SCANCODE_0, 0x0B},           {SDL_SCANCODE_BACKSPACE, 0x0E},
        {SDL_SCANCODE_Q, 0x10},         {SDL_SCANCODE_RETURN, 0x1C},      {SDL_SCANCODE_A, 0x1E},
        {SDL_SCANCODE_NONUSHASH, 0x2B}, {SDL_SCANCODE_M, 0x32},           {SDL_SCANCODE_LALT, 0x38},
        {SDL_SCANCODE_SPACE, 0x39},     {SDL_SCANCODE_F1, 0x3B},          {SDL_SCANCODE_KP_0, 0x52},
        {SDL_SCANCODE_F12, 0x58},       {SDL_SCANCODE_KP_ENTER, 0x9C},    {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_RALT, 0xB8},
        {SDL_SCANCODE_UP, 0xC8},        {SDL_SCANCODE_PAGEDOWN, 0xD1},    {SDL_SCANCODE_DELETE, 0xD3},
        {SDL_SCANCODE_LGUI, 0xDB},
    };
    auto system = platform::CreateSdlInputSystem(m_id);
    ASSERT_TRUE(system);
    std::unique_ptr<platform::KeyboardDevice> keyboard;
    ASSERT_EQ(system->CreateKeyboard(false, &keyboard), platform::DI_OK);
    Focus(true);
    ASSERT_EQ(keyboard->Acquire(), platform::DI_OK);
    for (const auto& row : table) {
        Key(row.scancode, true);
        platform::KeyboardState state;
        ASSERT_EQ(keyboard->GetState(&state), platform::DI_OK);
        for (int k = 0; k < platform::kKeyCount; ++k)
            EXPECT_EQ(state.keys[k], k == row.key ? 0x80 : 0) << SDL_GetScancodeName(row.scancode) << " key " << k;
        Key(row.scancode, false);
    }
}

TEST_F(SdlWindowTest, DevicesAreForegroundOnly) {
    auto system = platform::CreateSdlInputSystem(m_id);
    ASSERT_TRUE(system);
    std::unique_ptr<platform::KeyboardDevice> keyboard;
    ASSERT_EQ(system->CreateKeyboard(false, &keyboard), platform::DI_OK);
    platform::KeyboardState state;
    Focus(false);
    EXPECT_EQ(keyboard->Acquire(), platform::DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(keyboard->GetState(&state), platform::DIERR_NOTACQUIRED);
    Focus(true);
    ASSERT_EQ(keyboard->Acquire(), platform::DI_OK);
    Key(SDL_SCANCODE_W, true);
    Focus(false);
    EXPECT_EQ(keyboard->GetState(&state), platform::DIERR_INPUTLOST);
    Focus(true);
    ASSERT_EQ(keyboard->Acquire(), platform::DI_OK);
    ASSERT_EQ(keyboard->GetState(&state), platform::DI_OK);
    EXPECT_EQ(state.keys[platform::DIK_W], 0) << "keys held when the focus went read as up";
    EXPECT_EQ(platform::CreateSdlInputSystem(m_id + 100), nullptr);
}

TEST_F(SdlWindowTest, MouseMotionWheelAndButtonsInDirectInputOrder) {
    auto system = platform::CreateSdlInputSystem(m_id);
    ASSERT_TRUE(system);
    std::unique_ptr<platform::MouseDevice> mouse;
    ASSERT_EQ(system->CreateMouse(&mouse), platform::DI_OK);
    Focus(true);
    ASSERT_EQ(mouse->Acquire(), platform::DI_OK);

    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = m_id;
    e.motion.x = 40;
    e.motion.y = 30;
    e.motion.xrel = 4;
    e.motion.yrel = -2;
    Push(e);
    Push(e);
    e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = m_id;
    e.wheel.y = -1;
    Push(e);
    const struct {
        uint8_t sdl;
        int index;
    } buttons[] = {{SDL_BUTTON_LEFT, 0}, {SDL_BUTTON_RIGHT, 1}, {SDL_BUTTON_MIDDLE, 2}, {SDL_BUTTON_X2, 4}};
    for (const auto& b : buttons) {
        e = {};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.windowID = m_id;
        e.button.button = b.sdl;
        Push(e);
        platform::MouseState state;
        ASSERT_EQ(mouse->GetState(&state), platform::DI_OK);
        for (int i = 0; i < platform::kMouseButtonCount; ++i) EXPECT_EQ(state.buttons[i], i == b.index ? 0x80 : 0);
        if (b.index == 0) {
            EXPECT_EQ(state.x, 8);
            EXPECT_EQ(state.y, -4);
            EXPECT_EQ(state.z, -120);
        } else {
            EXPECT_EQ(state.x | state.y | state.z, 0) << "motion is handed out once";
        }
        e.type = SDL_MOUSEBUTTONUP;
        Push(e);
    }
    platform::CursorPoint p;
    ASSERT_TRUE(system->GetCursorPos(&p));
    EXPECT_EQ(p.x, 40);
    EXPECT_EQ(p.y, 30);
}

TEST_F(SdlWindowTest, TextEditingAndInputReachTheContext) {
    auto context = platform::CreateSdlImeContext(m_id);
    ASSERT_TRUE(context);
    SDL_StartTextInput();
    SDL_Event e{};
    e.type = SDL_TEXTEDITING;
    e.edit.windowID = m_id;
    std::strcpy(e.edit.text, "한");
    e.edit.start = 1;
    Push(e);
    e = {};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = m_id;
    std::strcpy(e.text.text, "한글");
    Push(e);
    Key(SDL_SCANCODE_BACKSPACE, true);
    Key(SDL_SCANCODE_A, true);  // plain keys arrive as text input, not here

    platform::ImeEvent event;
    ASSERT_TRUE(context->PollEvent(&event));
    EXPECT_EQ(event.type, platform::ImeEvent::Composition);
    EXPECT_EQ(event.text, "한");
    EXPECT_EQ(event.cursor, 1);
    ASSERT_TRUE(context->PollEvent(&event));
    EXPECT_EQ(event.type, platform::ImeEvent::Result);
    EXPECT_EQ(event.text, "한글");
    ASSERT_TRUE(context->PollEvent(&event));
    EXPECT_EQ(event.type, platform::ImeEvent::Char);
    EXPECT_EQ(event.code, 8u);
    EXPECT_FALSE(context->PollEvent(&event));

    // Text typed while nobody reads the context does not pile up without end.
    for (int i = 0; i < 1000; ++i) Key(SDL_SCANCODE_BACKSPACE, true);
    int queued = 0;
    while (context->PollEvent(&event)) ++queued;
    EXPECT_GT(queued, 0);
    EXPECT_LT(queued, 1000);

    platform::ImeCandidateList list;
    EXPECT_FALSE(context->GetCandidates(&list)) << "the system keeps its candidates";
    context->SetCaretRect(10, 20, 1, 14);
}
