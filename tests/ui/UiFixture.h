// Shared pieces of the UI tests: a fixed-width font, a device that remembers
// the colour and texture of every quad, scripted input one frame at a time, and
// small test controls that read and write a type part and own parts.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/resource/ResourceManager.h"
#include "engine/input/ZEMDXInput.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/ScriptedInput.h"
#include "ui/LayoutRecord.h"
#include "ui/LayoutStream.h"
#include "ui/UiControlFactory.h"
#include "ui/UiManager.h"
#include "ui/UiObject.h"
#include "ui/UiWindow.h"

// Every character 7 pixels wide, lines 12 high.
class FixedFont : public IUiFont {
public:
    void Measure(std::string_view text, int32_t* width, int32_t* height) const override {
        *width = static_cast<int32_t>(text.size()) * 7;
        *height = 12;
    }
    void Draw(int32_t x, int32_t y, std::string_view text, uint32_t argb) override {
        drawn.push_back({x, y, std::string(text), argb});
    }
    int32_t LineHeight() const override { return 12; }

    struct Drawn {
        int32_t x, y;
        std::string text;
        uint32_t argb;
    };
    std::vector<Drawn> drawn;
};

// Keeps the first vertex of every user-memory draw.
class QuadDevice : public platform::CGfxRecordingDevice {
public:
    struct Quad {
        float x, y, right, bottom;
        uint32_t colour;
        platform::CGfxTexture* texture;
        uint32_t type;
    };
    std::vector<Quad> quads;

protected:
    platform::GfxResult DoDraw(const platform::GfxDrawCall& call) override {
        if (call.vertices && call.stride == sizeof(UiVertex)) {
            const UiVertex* v = static_cast<const UiVertex*>(call.vertices);
            quads.push_back({v[0].x, v[0].y, v[3].x, v[3].y, v[0].color, GetTexture(0), call.type});
        }
        return CGfxRecordingDevice::DoDraw(call);
    }
};

// Scripted keyboard and mouse; Frame() runs one input update.
class ScriptedFrame {
public:
    ScriptedFrame() {
        auto scripted = std::make_unique<platform::ScriptedInput>();
        source = scripted.get();
        input.CreateInput(std::move(scripted), 0);
    }
    void Cursor(int x, int y) { source->SetCursor(x, y); }
    void Button(int b, bool down) { source->SetButton(b, down); }
    void Key(uint8_t key, bool down) { source->SetKey(key, down); }
    void Frame(float dt = 0.016f) { input.UpdateInput(dt, 1); }
    // Press and release the left button at a point over two frames.
    void Click(int x, int y) {
        Cursor(x, y);
        Button(0, true);
        Frame();
        Button(0, false);
        Frame();
    }

    CZEMDXInput input;
    platform::ScriptedInput* source = nullptr;
};

// A control like a label: its part is a caption and a font index; it takes
// the input while the pointer is over it and counts its input calls.
class TestLabel : public CUiObject {
public:
    explicit TestLabel(uint32_t type = UI_TYPE_STATIC) { m_typeId = type; }
    CUiObject* ProcessInput(float, CZEMDXInput& input) override {
        ++inputCalls;
        if (HasFlags(UI_HIDDEN | UI_DISABLED)) return nullptr;
        platform::CursorPoint c{};
        input.GetCursor(&c);
        HitTest({static_cast<float>(c.x), static_cast<float>(c.y)});
        if (HasFlags(UI_BLOCKED)) m_pointerInside = 0;
        if (!m_pointerInside || !HasFlags(UI_POINTER_OVER)) {
            if (input.MouseReleased(0)) ClearFlags(UI_PRESSED);
            return nullptr;
        }
        if (input.MouseDown(0))
            AddFlags(UI_PRESSED);
        else if (input.MouseReleased(0))
            ClearFlags(UI_PRESSED);
        return this;
    }
    void SetEnabled(int enable) override {
        if (!enable && !HasFlags(UI_DISABLED)) {
            m_savedColour = m_colour;
            m_colour = {m_colour.r * 0.6f, m_colour.g * 0.6f, m_colour.b * 0.6f, m_colour.a};
            AddFlags(UI_DISABLED);
        } else if (enable && HasFlags(UI_DISABLED)) {
            m_colour = m_savedColour;
            ClearFlags(UI_DISABLED);
        }
    }
    // The static's part: text, text colour, font, frame columns and rows, frame time.
    int SerializeLayoutPart(CLayoutStream& s) override {
        uint32_t font = FontIndex();
        if (!s.Field(caption) || !s.Floats(textColour, 4) || !s.Field(font) || !s.Field(frames[0]) ||
            !s.Field(frames[1]) || !s.Field(frames[2]))
            return 0;
        if (s.Reading()) SetFont(font);
        return 1;
    }
    float textColour[4] = {0, 0, 0, 1};
    uint32_t frames[3] = {0, 0, 0};
    std::string caption;
    int inputCalls = 0;
};

// A control of the button's and check button's types with their part: three
// state images (taken as the layout names them), a caption and its colour, two
// sound names, a font, the frame animation and, for a check button of a 1.09
// file, the caption shift.
class TestButton : public CUiObject {
public:
    explicit TestButton(uint32_t type) { m_typeId = type; }
    ~TestButton() override {
        for (CResource* image : stateImage)
            if (image && g_pResourceManager) g_pResourceManager->ReleaseResource(image);
    }
    int SerializeLayoutPart(CLayoutStream& s) override {
        if (!s.Floats(stateUv, 24)) return 0;
        for (int i = 0; i < 3; ++i) {
            if (s.Reading()) {
                int32_t index = -1;
                CResource* image = nullptr;
                std::string name;
                if (!ReadLayoutStateImage(s, &index, &image, &name)) return 0;
                if (index >= 0) {
                    stateImage[index] = image;
                    stateName[index] = name;
                }
            } else if (!WriteLayoutStateImage(s, i, stateName[i])) {
                return 0;
            }
        }
        uint32_t font = FontIndex();
        if (!s.Field(caption) || !s.Floats(captionColour, 4) || !s.Field(hoverSound) || !s.Field(clickSound) ||
            !s.Field(font) || !s.Field(frames[0]) || !s.Field(frames[1]) || !s.Field(frames[2]))
            return 0;
        if (s.Reading()) SetFont(font);
        if (m_typeId == UI_TYPE_CHECKBUTTON && s.Version() != CUiWindow::kVersion107 && !s.Field(checkShift)) return 0;
        return 1;
    }
    float stateUv[24] = {};
    CResource* stateImage[3] = {};
    std::string stateName[3];
    std::string caption, hoverSound, clickSound;
    float captionColour[4] = {};
    uint32_t frames[3] = {};
    int32_t checkShift = 0;
};

// A control of the edit box's type: its part is a text colour, a style value
// and, from version 1.09 on, a font index (font 0 before).
class TestEdit : public CUiObject {
public:
    TestEdit() { m_typeId = UI_TYPE_EDITBOX; }
    int SerializeLayoutPart(CLayoutStream& s) override {
        uint32_t font = FontIndex();
        if (!s.Floats(textColour, 4) || !s.Field(style)) return 0;
        if (s.Version() == CUiWindow::kVersion107) {
            if (s.Reading()) SetFont(0);
            return 1;
        }
        if (!s.Field(font)) return 0;
        if (s.Reading()) SetFont(font);
        return 1;
    }
    float textColour[4] = {0, 0, 0, 1};
    uint32_t style = 0;
};

// A compound control of the list box's type: it makes two parts itself, a
// scroll-bar-typed label "MID_Scroll" and a static "MID_ItemMarking"; its own
// part is one row count.
class TestCompound : public CUiObject {
public:
    TestCompound() : scroll(UI_TYPE_SCROLLBAR) { m_typeId = UI_TYPE_LISTBOX; }
    ~TestCompound() override = default;
    void CreateForLayout(CUiWindow* window, const std::string& name) override {
        Create(window, name, 0, 0, 0, 0, 0);
        if (m_children.empty()) {
            scroll.Create(this, "MID_Scroll", 0, 0, 0, 0, 0);
            marking.Create(this, "MID_ItemMarking", 0, 0, 0, 0, 0);
            AddChild(&scroll);
            AddChild(&marking);
        }
    }
    int SerializeLayoutPart(CLayoutStream& s) override { return s.Field(rows) ? 1 : 0; }
    uint32_t rows = 0;
    TestLabel scroll;
    TestLabel marking;
};

// A window that counts its hooks by event code.
class HookWindow : public CUiWindow {
public:
    struct Call {
        uint32_t code;
        CUiObject* control;
    };
    std::vector<Call> calls;
    std::function<void(uint32_t, CUiObject*)> onHook;

#define QOR_HOOK(name, code)           \
    void name(CUiObject* c) override { \
        calls.push_back({code, c});    \
        if (onHook) onHook(code, c);   \
    }
    QOR_HOOK(OnLButtonClick, 2)
    QOR_HOOK(OnLButtonPress, 1)
    QOR_HOOK(OnLButtonHold, 4)
    QOR_HOOK(OnMButtonClick, 16)
    QOR_HOOK(OnMButtonPress, 8)
    QOR_HOOK(OnMButtonHold, 17)
    QOR_HOOK(OnLMButtonClick, 18)
    QOR_HOOK(OnRButtonClick, 24)
    QOR_HOOK(OnRButtonPress, 20)
    QOR_HOOK(OnRButtonHold, 32)
    QOR_HOOK(OnLButtonDoubleClick, 33)
    QOR_HOOK(OnMButtonDoubleClick, 34)
    QOR_HOOK(OnRButtonDoubleClick, 36)
    QOR_HOOK(OnDrag, 40)
    QOR_HOOK(OnEnter, 48)
    QOR_HOOK(OnTab, 49)
#undef QOR_HOOK
    bool Saw(uint32_t code, const CUiObject* control) const {
        for (const Call& c : calls)
            if (c.code == code && c.control == control) return true;
        return false;
    }
};

// The UI manager with a device, two fonts and the test control types.
struct UiFixture {
    UiFixture() {
        ui.SetDevice(&device);
        ui.AddFont(&font0);
        ui.AddFont(&font1);
        RegisterUiControl(UI_TYPE_STATIC, [] { return new TestLabel; });
        RegisterUiControl(UI_TYPE_BUTTON, [] { return new TestButton(UI_TYPE_BUTTON); });
        RegisterUiControl(UI_TYPE_CHECKBUTTON, [] { return new TestButton(UI_TYPE_CHECKBUTTON); });
        RegisterUiControl(UI_TYPE_EDITBOX, [] { return new TestEdit; });
        RegisterUiControl(UI_TYPE_LISTBOX, [] { return new TestCompound; });
    }
    // A window at (x, y) with the given size, white, in the lower layer.
    HookWindow* AddWindow(const std::string& name, float x, float y, float w, float h, bool upper = false) {
        auto* win = new HookWindow;
        win->Create(nullptr, name, x, y, w, h, 0);
        win->SetColor(0xFFFFFFFFu);
        if (upper)
            ui.AddUpperWindow(win);
        else
            ui.AddLowerWindow(win);
        return win;
    }
    static TestLabel* AddLabel(CUiWindow* win, const std::string& name, float x, float y, float w, float h) {
        auto* label = new TestLabel;
        label->Create(win, name, x, y, w, h, 0);
        label->SetColor(0xFFFFFFFFu);
        win->AddChild(label);
        return label;
    }

    CErrorReport report{true};
    QuadDevice device;
    FixedFont font0, font1;
    CUiManager ui;
};
