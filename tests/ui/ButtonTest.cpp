#include <cmath>

#include "tests/ui/UiFixture.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiStatic.h"

namespace {

// Counts the sounds instead of playing them.
template <class Base>
class Listening : public Base {
public:
    int hovers = 0, clicks = 0;

protected:
    void PlaySound(typename Base::Sound which) override { (which == Base::SOUND_HOVER ? hovers : clicks)++; }
};

// A button at (10, 10) 50 x 20 under a pointer-over window, fed one frame at a time.
template <class Button>
struct ButtonBench {
    ButtonBench() {
        button.Create(nullptr, "ID_BTN_TEST", 10, 10, 50, 20, 0);
        button.SetColor(0xFFFFFFFFu);
        button.AddFlags(UI_POINTER_OVER);
    }
    // Moves to (x, y) with the left button down or up; what the button returned.
    CUiObject* Step(int x, int y, bool left, bool right = false) {
        in.Cursor(x, y);
        in.Button(0, left);
        in.Button(1, right);
        in.Frame();
        return button.ProcessInput(0.016f, in.input);
    }
    UiFixture f;
    ScriptedFrame in;
    Listening<Button> button;
};

struct PressCase {
    const char* what;
    int pressX, releaseX;
    bool clicked;
};

}  // namespace

TEST(UiButton, ClickNeedsPressAndReleaseInside) {
    const PressCase cases[] = {
        {"inside, inside", 20, 30, true},
        {"inside, outside", 20, 100, false},
        {"outside, inside", 100, 20, false},
    };
    for (const PressCase& c : cases) {
        ButtonBench<CUiButton> b;
        b.Step(c.pressX, 15, false);
        b.Step(c.pressX, 15, true);
        b.Step(c.releaseX, 15, true);
        CUiObject* took = b.Step(c.releaseX, 15, false);
        EXPECT_EQ(took == &b.button, c.clicked) << c.what;
        EXPECT_EQ(b.button.clicks, c.clicked ? 1 : 0) << c.what;
        EXPECT_FALSE(b.button.HasFlags(UI_PRESSED)) << c.what;
    }
}

TEST(UiButton, HoverSoundOncePerEntryAndCaptionShiftWhilePressed) {
    ButtonBench<CUiButton> b;
    for (int i = 0; i < 5; ++i) b.Step(20, 15, false);
    EXPECT_EQ(b.button.hovers, 1);
    b.Step(20, 15, true);
    EXPECT_EQ(b.button.CaptionShift().x, 1.0f);
    b.Step(200, 15, false);  // released outside: no click, the pressed look ends next frame
    b.Step(200, 15, false);
    EXPECT_EQ(b.button.CaptionShift().x, 0.0f);
    EXPECT_EQ(b.button.clicks, 0);
    b.Step(20, 15, false);
    EXPECT_EQ(b.button.hovers, 2);

    // A transparent button is silent, and the still style keeps the caption in place.
    ButtonBench<CUiButton> still;
    still.button.AddFlags(CUiButton::kStyleStillCaption);
    still.button.SetAlpha(0.0f, false);
    still.Step(20, 15, true);
    EXPECT_EQ(still.button.hovers, 0);
    EXPECT_EQ(still.button.CaptionShift().x, 0.0f);
}

TEST(UiButton, MissingHoverImageKeepsTheNormalOne) {
    ButtonBench<CUiButton> b;
    b.Step(20, 15, false);
    EXPECT_EQ(b.button.ShownState(), CUiButton::STATE_NORMAL);
    EXPECT_FALSE(b.button.ShownAnimated());
}

TEST(UiButton, DisablingDimsAndRestores) {
    ButtonBench<CUiButton> b;
    b.button.SetCaptionColour({1, 1, 1, 1});
    b.button.SetEnabled(0);
    EXPECT_FLOAT_EQ(b.button.Colour().r, 0.6f);
    EXPECT_FLOAT_EQ(b.button.CaptionColour().g, 0.6f);
    EXPECT_EQ(b.Step(20, 15, true), nullptr);
    b.button.SetEnabled(1);
    EXPECT_FLOAT_EQ(b.button.Colour().r, 1.0f);
    EXPECT_FLOAT_EQ(b.button.CaptionColour().g, 1.0f);
}

TEST(UiCheckButton, ClickTogglesUnlessStill) {
    struct Case {
        const char* what;
        uint32_t style;
        bool right;
        bool checked;
        int clicks;
    } cases[] = {
        {"plain", 0, false, true, 1},
        {"still style: reported, not toggled", CUiButton::kStyleStillCaption, false, false, 1},
        {"right button held too", 0, true, false, 0},
    };
    for (const Case& c : cases) {
        ButtonBench<CUiCheckButton> b;
        b.button.AddFlags(c.style);
        b.Step(20, 15, true, c.right);
        CUiObject* took = b.Step(20, 15, false, c.right);
        EXPECT_EQ(b.button.Checked(), c.checked) << c.what;
        EXPECT_EQ(b.button.clicks, c.clicks) << c.what;
        if (!c.right) {
            EXPECT_EQ(took, &b.button) << c.what;
        }
    }
}

TEST(UiCheckButton, CaptionBesideTheBoxAndShiftedWhileChecked) {
    ButtonBench<CUiCheckButton> b;
    b.button.SetCaption("on");
    b.button.SetCaptionColour({1, 1, 1, 1});
    b.button.SetCheckShift(3);
    b.f.ui.BeginDraw();
    b.button.Render();
    b.button.SetChecked(true);
    b.button.Render();
    b.button.AddFlags(CUiCheckButton::kStyleCaptionLeft);
    b.button.Render();
    ASSERT_EQ(b.f.font0.drawn.size(), 3u);
    EXPECT_EQ(b.f.font0.drawn[0].x, 60);  // right of the box
    EXPECT_EQ(b.f.font0.drawn[0].y, 14);  // 10 + (20 - 12) / 2
    EXPECT_EQ(b.f.font0.drawn[1].y, 17);
    EXPECT_EQ(b.f.font0.drawn[2].x, 10 - 14 - 5);
}

TEST(UiStatic, AnimationEndRules) {
    struct Case {
        const char* what;
        uint32_t style;
        bool hidden;
        uint32_t frame;  // frame index drawn next
    } cases[] = {
        {"hide at the end", CUiStatic::kStyleAnimate | CUiStatic::kStyleHideAtEnd, true, 6},
        {"stay on the last frame", CUiStatic::kStyleAnimate | CUiStatic::kStyleStayAtEnd, false, 6},
        {"loop", CUiStatic::kStyleAnimate, false, 1},
    };
    for (const Case& c : cases) {
        UiFixture f;
        ScriptedFrame in;
        CUiStatic label;
        label.Create(nullptr, "ID_STT_ANIM", 0, 0, 30, 30, 0);
        label.SetColor(0xFFFFFFFFu);
        label.AddFlags(c.style);
        label.SetAnimation(3, 2, 0.1f);
        f.ui.BeginDraw();
        for (int i = 0; i < 6; ++i) {
            label.ProcessInput(0.11f, in.input);
            label.Render();
            EXPECT_FALSE(label.HasFlags(UI_HIDDEN)) << c.what << " frame " << i;
        }
        const float lastU = label.Animation().Uv()[0], lastV = label.Animation().Uv()[1];
        EXPECT_FLOAT_EQ(lastU, 2.0f / 3.0f) << c.what;
        EXPECT_FLOAT_EQ(lastV, 0.5f) << c.what;
        label.ProcessInput(0.11f, in.input);
        label.Render();
        EXPECT_EQ(label.HasFlags(UI_HIDDEN), c.hidden) << c.what;
        EXPECT_EQ(label.Animation().Frame(), c.frame) << c.what;
    }
}

TEST(UiStatic, ZeroGridFromALayoutCountsAsOne) {
    UiFixture f;
    ScriptedFrame in;
    CUiStatic label;
    label.Create(nullptr, "ID_STT_ANIM", 0, 0, 30, 30, 0);
    label.SetColor(0xFFFFFFFFu);
    label.AddFlags(CUiStatic::kStyleAnimate);
    label.SetAnimation(1, 0, 0.1f);
    f.ui.BeginDraw();
    label.ProcessInput(0.2f, in.input);
    label.Render();
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(std::isfinite(label.Animation().Uv()[i]));
    EXPECT_FLOAT_EQ(label.Animation().Uv()[7], 1.0f);
}

TEST(UiStatic, TextAlignment) {
    struct Case {
        uint32_t flags;
        int32_t x;
    } cases[] = {{0, 0}, {CUiStatic::kFlagCentreText, (100 - 21) / 2}, {CUiStatic::kFlagRightText, 100 - 21}};
    for (const Case& c : cases) {
        UiFixture f;
        CUiStatic label;
        label.Create(nullptr, "ID_STT_TEXT", 0, 0, 100, 30, 0);
        label.AddFlags(c.flags);
        label.SetNumber(-12);
        EXPECT_EQ(label.GetText(), "-12");
        f.ui.BeginDraw();
        label.Render();
        ASSERT_EQ(f.font0.drawn.size(), 1u);
        EXPECT_EQ(f.font0.drawn[0].x, c.x);
        EXPECT_EQ(f.font0.drawn[0].y, 9);  // (30 - 12) / 2
    }
}
