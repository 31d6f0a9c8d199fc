#include "platform/ScriptedIme.h"
#include "tests/ui/UiFixture.h"
#include "ui/UiEditBox.h"
#include "ui/UiGauge.h"
#include "ui/UiSlider.h"

using platform::DIK_DOWN;
using platform::DIK_RETURN;
using platform::DIK_UP;

namespace {

// An edit box at (0, 0) 100 x 20 that has the focus.
struct EditBench {
    explicit EditBench(uint32_t flags = 0) {
        edit.Create(nullptr, "ID_EDIT_TEST", 0, 0, 100, 20, 0);
        edit.AddFlags(flags | UI_POINTER_OVER);
        in.Cursor(50, 10);
        in.Button(0, true);
        Frame();
        in.Button(0, false);
        Frame();
    }
    void Frame() {
        in.Frame();
        edit.ProcessInput(0.016f, in.input);
    }
    void Key(uint8_t key) {
        in.Key(key, true);
        Frame();
        in.Key(key, false);
        Frame();
    }
    void Enter(const char* line) {
        edit.SetText(line);
        Key(DIK_RETURN);
    }
    UiFixture f;
    ScriptedFrame in;
    CUiEditBox edit;
};

}  // namespace

TEST(UiEditBox, FocusHandsTheBufferToTheInputMethodWithTheLimit) {
    EditBench b;
    ASSERT_EQ(b.f.ui.Focus(), &b.edit);
    EXPECT_TRUE(b.edit.CaretShown());
    EXPECT_EQ(b.edit.TextByteLimit(), 100);
    platform::ScriptedIme ime;
    b.f.ui.Ime().Create(&ime);
    b.edit.SetByteLimit(4);
    for (char c : std::string("abcdef")) ime.Type(static_cast<uint8_t>(c));
    b.f.ui.HandleImeEvents();
    EXPECT_STREQ(b.edit.GetText(), "abcd");
    // A press elsewhere takes the focus away; typing no longer reaches the box.
    b.in.Cursor(300, 300);
    b.in.Button(0, true);
    b.Frame();
    EXPECT_EQ(b.f.ui.Focus(), nullptr);
    EXPECT_FALSE(b.edit.HasFlags(UI_FOCUS));
    ime.Type('x');
    b.f.ui.HandleImeEvents();
    EXPECT_STREQ(b.edit.GetText(), "abcd");
}

TEST(UiEditBox, SetTextCutsAt127BytesBetweenCharacters) {
    EditBench b;
    struct Case {
        std::string text;
        size_t bytes;
    } cases[] = {
        {std::string(200, 'a'), 127},
        {std::string(126, 'a') + "\xB0\xA1", 126},
        {std::string(125, 'a') + "\xB0\xA1", 127},
        {"", 0},
    };
    for (const Case& c : cases) {
        b.edit.SetText(c.text.c_str());
        EXPECT_EQ(std::strlen(b.edit.GetText()), c.bytes) << c.text.size();
    }
    b.edit.SetText("kept");
    b.edit.SetText(nullptr);
    EXPECT_STREQ(b.edit.GetText(), "kept");
}

TEST(UiEditBox, HistoryKeepsTenDistinctLinesNewestFirst) {
    EditBench b;
    for (const char* line : {"a", "b", "a"}) b.Enter(line);
    ASSERT_EQ(b.edit.History().size(), 2u);
    EXPECT_EQ(b.edit.History().front(), "a");
    for (int i = 0; i < 11; ++i) b.Enter(("line" + std::to_string(i)).c_str());
    ASSERT_EQ(b.edit.History().size(), 10u);
    EXPECT_EQ(b.edit.History().front(), "line10");
    EXPECT_EQ(b.edit.History().back(), "line1");
    b.Enter("");
    EXPECT_EQ(b.edit.History().size(), 10u);
}

TEST(UiEditBox, UpUpDownWalksTheHistory) {
    EditBench b;
    for (const char* line : {"a", "b", "c"}) b.Enter(line);
    const char* expected[] = {"c", "b", "b"};
    const uint8_t keys[] = {DIK_UP, DIK_UP, DIK_DOWN};
    for (int i = 0; i < 3; ++i) {
        b.Key(keys[i]);
        EXPECT_STREQ(b.edit.GetText(), expected[i]) << i;
    }
}

TEST(UiEditBox, PasswordShowsStarsAndKeepsNoHistory) {
    EditBench b(CUiEditBox::kStylePassword);
    b.Enter("hello");
    EXPECT_TRUE(b.edit.History().empty());
    EXPECT_EQ(b.edit.ShownText(), "*****");
    b.edit.SetText("\xB0\xA1x");
    EXPECT_EQ(b.edit.ShownText(), "**");
    b.f.ui.BeginDraw();
    b.edit.Render();
    ASSERT_EQ(b.f.font0.drawn.size(), 1u);
    EXPECT_EQ(b.f.font0.drawn[0].text, "**|");
}

TEST(UiGauge, LayoutAtTheEndsAndClamped) {
    struct Case {
        float percent;
        uint32_t style;
        bool fillShown;
        float fillX, fillW, headX, headW;
    } cases[] = {
        {0, 0, false, 0, 0, 0, 0},
        {100, 0, true, 0, 190, 190, 10},
        {250, 0, true, 0, 190, 190, 10},  // clamped to 100
        {-5, 0, false, 0, 0, 0, 0},
        {50, 0, true, 0, 90, 90, 10},
        {4, 0, false, 0, 0, 0, 8},  // shorter than the head: the head alone
        {50, CUiGauge::kStyleFromFarEnd, true, 110, 90, 100, 10},
    };
    for (const Case& c : cases) {
        UiFixture f;
        CUiGauge gauge;
        gauge.Create(nullptr, "ID_PROGRESS_TEST", 0, 0, 200, 16, c.style);
        gauge.SetHeadLength(10);
        gauge.SetPercent(c.percent);
        gauge.UpdateBar();
        EXPECT_EQ(!gauge.Fill().HasFlags(UI_HIDDEN), c.fillShown) << c.percent;
        if (c.fillShown) {
            EXPECT_FLOAT_EQ(gauge.Fill().Position().x, c.fillX) << c.percent;
            EXPECT_FLOAT_EQ(gauge.Fill().Size().x, c.fillW) << c.percent;
        }
        EXPECT_FLOAT_EQ(gauge.Head().Position().x, c.headX) << c.percent;
        EXPECT_FLOAT_EQ(gauge.Head().Size().x, c.headW) << c.percent;
        EXPECT_FLOAT_EQ(gauge.Head().Size().y, 16.0f) << c.percent;
    }
}

TEST(UiSlider, PositionClampedAndZeroStepSafe) {
    UiFixture f;
    CUiSlider slider;
    slider.Create(nullptr, "ID_SLIDER_TEST", 0, 0, 110, 10, 0);
    slider.SetThumbLength(10);
    slider.SetRange(10, 20);
    EXPECT_FLOAT_EQ(slider.Step(), 10.0f);
    struct Case {
        int32_t value, shown;
        float offset;
    } cases[] = {{15, 15, 50}, {5, 10, 0}, {99, 20, 100}};
    for (const Case& c : cases) {
        slider.SetPosition(c.value);
        EXPECT_EQ(slider.Value(), c.shown) << c.value;
        EXPECT_FLOAT_EQ(slider.Thumb().Position().x, c.offset) << c.value;
    }
    // A thumb as long as the track: step 0, dragging keeps the minimum.
    slider.SetThumbLength(110);
    EXPECT_FLOAT_EQ(slider.Step(), 0.0f);
    ScriptedFrame in;
    slider.AddFlags(UI_POINTER_OVER);
    for (int x : {50, 90}) {
        in.Cursor(x, 5);
        in.Button(0, true);
        in.Frame();
        slider.ProcessInput(0.016f, in.input);
    }
    EXPECT_EQ(slider.Value(), 10);
}

TEST(UiSlider, DragMovesUnlessReadOnly) {
    for (bool readOnly : {false, true}) {
        UiFixture f;
        CUiSlider slider;
        slider.Create(nullptr, "ID_SLIDER_TEST", 0, 0, 110, 10, readOnly ? CUiSlider::kStyleReadOnly : 0);
        slider.SetThumbLength(10);
        slider.SetRange(0, 10);
        slider.AddFlags(UI_POINTER_OVER);
        ScriptedFrame in;
        for (int x : {5, 60, 65}) {
            in.Cursor(x, 5);
            in.Button(0, true);
            in.Frame();
            slider.ProcessInput(0.016f, in.input);
        }
        EXPECT_EQ(slider.Value(), readOnly ? 0 : 6) << readOnly;
    }
}
