// A layout written by our writer, loaded into a window of the UI manager,
// drawn by the GL device in a real SDL window (under the test's own Xvfb) and
// clicked with scripted input: the clicked control changes colour, and the
// screenshot shows it.
#include <gtest/gtest.h>

#include "engine/core/NameHash.h"
#include "platform/GfxSystem.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/window/RealWindowFixture.h"
#include "tests/ui/UiFixture.h"
#include "tools/LayoutWriter.h"
#include "tools/UiLayouts.h"
#include "ui/UiComboBox.h"
#include "ui/UiControls.h"
#include "ui/UiEditBox.h"
#include "ui/UiGauge.h"
#include "ui/UiSlider.h"

using namespace platform;

namespace {

// Turns a clicked control green.
class PaintWindow : public CUiWindow {
public:
    void OnLButtonClick(CUiObject* control) override {
        if (control != this) control->SetColor(0xFF00FF00u);
    }
};

LayoutRecordSpec Square(const std::string& name, float x, float y, float r, float g, float b) {
    LayoutRecordSpec spec;
    spec.type = UI_TYPE_STATIC;
    spec.name = name;
    spec.rect[0] = x;
    spec.rect[1] = y;
    spec.rect[2] = 40;
    spec.rect[3] = 40;
    spec.colour[0] = r;
    spec.colour[1] = g;
    spec.colour[2] = b;
    const float black[4] = {0, 0, 0, 1};
    spec.part = StaticPart("", black, 0, 0, 0, 0);
    return spec;
}

}  // namespace

class UiClickThrough : public RealWindowFixture {};

TEST_F(UiClickThrough, LayoutDrawnAndClickedInARealWindow) {
    ASSERT_NO_FATAL_FAILURE(OpenDevice(256, 192, false));
    {
        CGfxDevice* device = &Device();

        UiFixture f;  // test controls and fonts; its recording device is replaced by the real one
        f.ui.SetDevice(device);
        TempFolder tmp;
        LayoutFileSpec layout;
        layout.window.name = "WND_PAINT";
        layout.window.rect[0] = 20;
        layout.window.rect[1] = 20;
        layout.window.rect[2] = 200;
        layout.window.rect[3] = 140;
        layout.window.colour[0] = layout.window.colour[1] = 0;  // a blue panel
        layout.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(0), LayoutFloat(0)};
        layout.children = {Square("ID_STT_LEFT", 20, 30, 1, 0, 0), Square("ID_STT_RIGHT", 120, 30, 1, 0, 0)};
        std::string path = tmp.Path("PAINT.DUI");
        ASSERT_EQ(WriteLayoutFile(path.c_str(), layout), 1);
        auto* window = new PaintWindow;
        ASSERT_EQ(window->LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
        f.ui.AddLowerWindow(window);

        ScriptedFrame in;
        in.Cursor(160, 70);  // inside the right square (absolute 140..180 x 50..90)
        in.Button(0, true);
        in.Frame();
        f.ui.DispatchInput(0.016f, in.input);
        in.Button(0, false);
        in.Frame();
        f.ui.DispatchInput(0.016f, in.input);
        EXPECT_EQ(window->FindChild(NameHash("ID_STT_RIGHT"))->Colour().g, 1.0f);

        const std::vector<uint32_t> px = DrawWindows(f.ui);

        auto at = [&](int x, int y) { return px[static_cast<size_t>(y) * 256 + static_cast<size_t>(x)] & 0xFFFFFFu; };
        EXPECT_EQ(at(5, 5), 0x000000u);     // outside the window
        EXPECT_EQ(at(30, 30), 0x0000FFu);   // the panel
        EXPECT_EQ(at(60, 70), 0xFF0000u);   // the left square, not clicked
        EXPECT_EQ(at(160, 70), 0x00FF00u);  // the clicked one
        EXPECT_EQ(at(139, 70), 0x0000FFu);  // just left of it: its edges are exact
        EXPECT_EQ(at(140, 70), 0x00FF00u);
        EXPECT_EQ(at(179, 89), 0x00FF00u);
        EXPECT_EQ(at(180, 89), 0x0000FFu);
        f.ui.DeleteAllWindows();
        f.ui.SetDevice(nullptr);
    }
}

namespace {

// One frame of scripted input through the UI manager.
struct Driver {
    explicit Driver(CUiManager& manager) : ui(manager) {}
    void Step(int x, int y, bool left) {
        in.Cursor(x, y);
        in.Button(0, left);
        in.Frame();
        ui.DispatchInput(0.016f, in.input);
    }
    void Click(int x, int y) {
        Step(x, y, false);
        Step(x, y, true);
        Step(x, y, false);
    }
    CUiManager& ui;
    ScriptedFrame in;
};

}  // namespace

// The layout with one control of every type, clicked through: push the button,
// check the check button, open the combo box and pick an item, drag the
// slider, focus the edit box and type; the screenshot shows the result.
TEST_F(UiClickThrough, EveryControlTypeInARealWindow) {
    constexpr int kWidth = 720, kHeight = 520;
    ASSERT_NO_FATAL_FAILURE(OpenDevice(kWidth, kHeight, false));
    {
        CGfxDevice* device = &Device();
        UiFixture f;
        RegisterUiControls();
        f.ui.SetDevice(device);
        TempFolder tmp;
        const std::string path = tmp.Path("ALL_CONTROLS.DUI");
        ASSERT_EQ(WriteLayoutFile(path.c_str(), AllControlsLayout()), 1);
        auto* window = new HookWindow;
        ASSERT_EQ(window->LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
        f.ui.AddLowerWindow(window);
        auto control = [&](const char* name) { return window->FindChild(NameHash(name)); };
        auto* combo = dynamic_cast<CUiComboBox*>(control("ID_COMBO_MODE"));
        auto* gauge = dynamic_cast<CUiGauge*>(control("ID_PROGRESS_LOAD"));
        auto* slider = dynamic_cast<CUiSlider*>(control("ID_SLIDER_VOLUME"));
        auto* edit = dynamic_cast<CUiEditBox*>(control("ID_EDIT_NAME"));
        auto* check = dynamic_cast<CUiCheckButton*>(control("ID_CHECKBUTTON_OPTION"));
        auto* list = dynamic_cast<CUiListBox*>(control("ID_LIST_ITEMS"));
        ASSERT_TRUE(combo && gauge && slider && edit && check && list);
        for (const char* item : {"Solo", "Team", "Arena"}) combo->AddItem(item, {1, 1, 1, 1});
        for (const char* item : {"one", "two", "three", "four", "five", "six"}) list->AddItem(item, {1, 1, 1, 1});
        slider->SetRange(0, 100);
        gauge->SetPercent(50);
        gauge->UpdateBar();

        Driver d(f.ui);
        d.Click(150, 155);  // the push button: window (100, 100) + (10, 40), 100 x 30
        EXPECT_TRUE(window->Saw(UI_EVENT_LCLICK, control("ID_BTN_PUSH")));
        d.Click(120, 190);  // the check button
        EXPECT_TRUE(check->Checked());
        d.Click(538, 262);  // the combo box's button part: 526..550 x 250..274
        EXPECT_TRUE(combo->IsOpen());
        d.Click(400, 274 + 45);  // its list's second row (rows of 30)
        EXPECT_EQ(combo->Selected(), 1);
        EXPECT_FALSE(combo->IsOpen());
        d.Click(120, 245);  // the list box's second row (rows of 25)
        EXPECT_EQ(list->Selected(), 1);
        d.Step(358, 218, false);  // the slider's thumb, dragged to x 450
        d.Step(358, 218, true);
        d.Step(420, 218, true);
        d.Step(450, 218, true);
        d.Step(450, 218, false);
        EXPECT_EQ(slider->Value(), 50);
        d.Click(400, 150);  // the edit box takes the focus
        ASSERT_EQ(f.ui.Focus(), edit);
        f.ui.Ime().OnResult("hello", f.ui.Focus()->TextByteLimit());
        EXPECT_STREQ(edit->GetText(), "hello");

        const std::vector<uint32_t> px = DrawWindows(f.ui);
        auto at = [&](int x, int y) {
            return px[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)] & 0xFFFFFFu;
        };
        EXPECT_EQ(at(50, 50), 0x000000u);    // outside the window
        EXPECT_EQ(at(120, 480), 0xD9D9D9u);  // the panel
        EXPECT_EQ(at(360, 188), 0x1ACC1Au);  // the gauge's fill, half way
        EXPECT_EQ(at(500, 188), 0x262626u);  // and its empty rest
        EXPECT_EQ(at(450, 218), 0x4D80E6u);  // the slider's thumb where it was dropped
        EXPECT_EQ(at(360, 218), 0x666666u);  // the track it left
        EXPECT_EQ(at(400, 320), 0xD9D9D9u);  // the combo box's list, closed again
        f.ui.DeleteAllWindows();
        f.ui.SetDevice(nullptr);
    }
}
