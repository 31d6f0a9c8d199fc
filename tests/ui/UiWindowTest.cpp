#include "tests/ui/UiFixture.h"

#include "engine/core/NameHash.h"

using platform::DIK_LMENU;
using platform::DIK_NUMPADENTER;
using platform::DIK_RETURN;
using platform::DIK_RMENU;
using platform::DIK_TAB;

namespace {

// One frame of input with the buttons and keys that are down, the cursor, and
// the code it must give.
struct EventStep {
    const char* what;
    int x, y;
    bool left, right, middle;
    uint8_t key1, key2;  // keys held this frame (0 for none)
    uint32_t code;
    float dt = 0.016f;
};

}  // namespace

TEST(UiWindow, EventCodeTable) {
    const EventStep steps[] = {
        {"left press", 100, 100, true, false, false, 0, 0, 1},
        {"left held", 101, 101, true, false, false, 0, 0, 4},
        {"left held 5 px away: no drag yet", 105, 100, true, false, false, 0, 0, 4},
        {"left held 6 px away: drag", 106, 100, true, false, false, 0, 0, 40},
        {"left release", 106, 100, false, false, false, 0, 0, 2},
        {"right press", 50, 50, false, true, false, 0, 0, 20},
        {"right held goes into part A", 50, 50, false, true, false, 0, 0, 32},
        {"right release", 50, 50, false, false, false, 0, 0, 24},
        {"middle press", 50, 50, false, false, true, 0, 0, 8},
        {"middle held", 50, 50, false, false, true, 0, 0, 17},
        {"middle release", 50, 50, false, false, false, 0, 0, 16},
        {"pause: the double-press windows close", 50, 50, false, false, false, 0, 0, 0, 0.5f},
        {"left and middle press", 50, 50, true, false, true, 0, 0, 9},
        {"left and middle release: both clicks", 50, 50, false, false, false, 0, 0, 18},
        {"Enter", 50, 50, false, false, false, DIK_RETURN, 0, 48},
        {"Enter still down: not pressed again", 50, 50, false, false, false, DIK_RETURN, 0, 0},
        {"nothing", 50, 50, false, false, false, 0, 0, 0},
        {"left Alt held", 50, 50, false, false, false, DIK_LMENU, 0, 0},
        {"Alt+Enter gives no Enter", 50, 50, false, false, false, DIK_LMENU, DIK_RETURN, 0},
        {"nothing", 50, 50, false, false, false, 0, 0, 0},
        {"right Alt held", 50, 50, false, false, false, DIK_RMENU, 0, 0},
        {"right Alt and keypad Enter: Enter", 50, 50, false, false, false, DIK_RMENU, DIK_NUMPADENTER, 48},
        {"nothing", 50, 50, false, false, false, 0, 0, 0},
        {"Tab", 50, 50, false, false, false, DIK_TAB, 0, 49},
    };
    UiFixture f;
    CUiWindow window;
    ScriptedFrame in;
    for (const EventStep& s : steps) {
        in.Cursor(s.x, s.y);
        in.Button(0, s.left);
        in.Button(1, s.right);
        in.Button(2, s.middle);
        for (uint8_t k : {DIK_RETURN, DIK_NUMPADENTER, DIK_TAB, DIK_LMENU, DIK_RMENU})
            in.Key(k, k == s.key1 || k == s.key2);
        in.Frame(s.dt);
        EXPECT_EQ(window.ReadInputEvent(in.input), s.code) << s.what;
    }
}

TEST(UiWindow, DoubleClickNeedsTheCursorNearThePress) {
    UiFixture f;
    CUiWindow window;
    ScriptedFrame in;
    auto frame = [&](int x, int y, bool left) {
        in.Cursor(x, y);
        in.Button(0, left);
        in.Frame();
        return window.ReadInputEvent(in.input);
    };
    frame(100, 100, true);
    frame(100, 100, false);
    EXPECT_EQ(frame(101, 101, true), 33u);
    frame(101, 101, false);
    EXPECT_EQ(frame(140, 140, true), 1u);  // far from the last press in x and in y
}

TEST(UiWindow, ClickRoutesToTheControlUnlessDisabled) {
    UiFixture f;
    HookWindow* win = f.AddWindow("W", 100, 100, 200, 200);
    TestLabel* a = UiFixture::AddLabel(win, "ID_A", 10, 10, 50, 50);
    TestLabel* b = UiFixture::AddLabel(win, "ID_B", 30, 30, 50, 50);  // drawn later: over a
    ScriptedFrame in;
    // Press and release inside both: the topmost (b) takes it.
    in.Cursor(145, 145);
    in.Button(0, true);
    in.Frame();
    win->AddFlags(UI_POINTER_OVER);
    win->ProcessInput(0.016f, in.input);
    in.Button(0, false);
    in.Frame();
    win->AddFlags(UI_POINTER_OVER);
    EXPECT_EQ(win->ProcessInput(0.016f, in.input), b);
    EXPECT_TRUE(win->Saw(2, b));
    EXPECT_FALSE(win->Saw(2, a));
    EXPECT_GT(a->inputCalls, 0);  // every child runs, blocked after the first taker

    b->SetEnabled(0);
    win->calls.clear();
    win->RouteEvent(2, b);
    EXPECT_TRUE(win->calls.empty());
}

TEST(UiWindow, HiddenDisabledAndTakeAllWindows) {
    UiFixture f;
    ScriptedFrame in;
    in.Cursor(10, 10);
    in.Frame();
    struct Case {
        uint32_t flags;
        bool returnsSelf;
    } cases[] = {{UI_HIDDEN, false}, {UI_DISABLED, false}, {UI_HIDDEN | UI_TAKES_ALL, true}, {UI_TAKES_ALL, true}};
    for (const Case& c : cases) {
        CUiWindow w;
        w.Create(nullptr, "W", 0, 0, 100, 100, 0);
        w.SetFlags(c.flags | UI_PRESSED);
        CUiObject* r = w.ProcessInput(0.016f, in.input);
        EXPECT_EQ(r, c.returnsSelf ? &w : nullptr) << c.flags;
        if (c.returnsSelf) {
            EXPECT_FALSE(w.HasFlags(UI_PRESSED));
        }
    }
}

TEST(UiWindow, CaptureKeepsInputWithTheHolderUntilRelease) {
    UiFixture f;
    HookWindow* win = f.AddWindow("W", 0, 0, 400, 400);
    TestLabel* a = UiFixture::AddLabel(win, "ID_A", 10, 10, 50, 50);
    TestLabel* b = UiFixture::AddLabel(win, "ID_B", 200, 200, 50, 50);
    ScriptedFrame in;
    auto frame = [&](int x, int y, bool left) {
        in.Cursor(x, y);
        in.Button(0, left);
        in.Frame();
        win->AddFlags(UI_POINTER_OVER);
        return win->ProcessInput(0.016f, in.input);
    };
    frame(20, 20, true);  // press on a
    EXPECT_EQ(frame(20, 20, true), a);
    EXPECT_EQ(win->Captured(), 1);
    EXPECT_EQ(win->CapturedHash(), NameHash("ID_A"));
    int bCalls = b->inputCalls;
    frame(220, 220, true);  // moved over b with the button held
    EXPECT_EQ(b->inputCalls, bCalls);
    frame(220, 220, false);  // release ends the capture
    EXPECT_EQ(win->Captured(), 0);
    frame(220, 220, false);
    EXPECT_GT(b->inputCalls, bCalls);
}

TEST(UiWindow, FadeBoundaries) {
    UiFixture f;
    CUiWindow w;
    TestLabel* child = UiFixture::AddLabel(&w, "ID_C", 0, 0, 1, 1);
    w.StartFade(2.0f, 1);
    EXPECT_EQ(w.FadeActive(), 1);
    w.AdvanceFade(0.25f);
    EXPECT_FLOAT_EQ(w.FadeAlpha(), 0.5f);
    EXPECT_FLOAT_EQ(child->Colour().a, 0.5f);
    w.AdvanceFade(0.25f);
    EXPECT_FLOAT_EQ(w.FadeAlpha(), 1.0f);
    EXPECT_EQ(w.FadeActive(), 0);
    w.AdvanceFade(0.25f);  // stopped: nothing changes
    EXPECT_FLOAT_EQ(w.FadeAlpha(), 1.0f);

    w.StartFade(4.0f, 0);
    EXPECT_FLOAT_EQ(w.FadeAlpha(), 1.0f);
    w.AdvanceFade(0.3f);
    EXPECT_FLOAT_EQ(w.FadeAlpha(), 0.0f);
    EXPECT_EQ(w.FadeActive(), 0);
    EXPECT_FLOAT_EQ(child->Colour().a, 0.0f);

    w.StartFade(0.0f, 1);  // rate 0 never starts
    EXPECT_EQ(w.FadeActive(), 0);
}

TEST(UiWindow, DragByTheDragAreaOnly) {
    UiFixture f;
    HookWindow* win = f.AddWindow("W", 100, 100, 300, 200);
    ScriptedFrame in;
    auto frame = [&](int x, int y, bool left) {
        in.Cursor(x, y);
        in.Button(0, left);
        in.Frame();
        return win->ProcessInput(0.016f, in.input);
    };
    frame(150, 105, false);  // settles the previous position
    frame(150, 105, true);   // no drag area yet
    frame(170, 125, true);
    EXPECT_FLOAT_EQ(win->Position().x, 100.0f);
    frame(170, 125, false);

    win->SetDragArea(0, 0, 300, 20);  // the title strip
    frame(150, 105, true);
    EXPECT_EQ(frame(180, 145, true), win);
    EXPECT_EQ(win->Dragging(), 1);
    EXPECT_FLOAT_EQ(win->Position().x, 130.0f);
    EXPECT_FLOAT_EQ(win->Position().y, 140.0f);
    frame(180, 145, false);
    EXPECT_EQ(win->Dragging(), 0);
    frame(250, 250, true);  // a press below the strip does not drag
    frame(280, 280, true);
    EXPECT_FLOAT_EQ(win->Position().x, 130.0f);
}

TEST(UiWindow, EnableDisableDimsAndRestores) {
    UiFixture f;
    CUiWindow w;
    TestLabel* child = UiFixture::AddLabel(&w, "ID_C", 0, 0, 1, 1);
    w.SetColor(UiColor{1.0f, 0.5f, 0.25f, 0.8f});
    w.SetEnabled(0);
    EXPECT_TRUE(w.HasFlags(UI_DISABLED));
    EXPECT_TRUE(child->HasFlags(UI_DISABLED));
    EXPECT_FLOAT_EQ(w.Colour().r, 0.6f);
    EXPECT_FLOAT_EQ(w.Colour().b, 0.15f);
    EXPECT_FLOAT_EQ(w.Colour().a, 0.8f);
    w.SetEnabled(0);  // twice keeps the first saved colour
    EXPECT_FLOAT_EQ(w.SavedColour().r, 1.0f);
    w.SetEnabled(1);
    EXPECT_FALSE(w.HasFlags(UI_DISABLED));
    EXPECT_FLOAT_EQ(w.Colour().g, 0.5f);
}
