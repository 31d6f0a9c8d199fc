#include "tests/ui/UiFixture.h"

#include "engine/core/NameHash.h"
#include "platform/ScriptedIme.h"

namespace {

// Frames of the whole manager: press and release the left button at a point.
CUiObject* ClickThrough(UiFixture& f, ScriptedFrame& in, int x, int y, CUiObject** onPress = nullptr) {
    in.Cursor(x, y);
    in.Button(0, true);
    in.Frame();
    CUiObject* pressed = f.ui.DispatchInput(0.016f, in.input);
    if (onPress) *onPress = pressed;
    in.Button(0, false);
    in.Frame();
    return f.ui.DispatchInput(0.016f, in.input);
}

class RecordingCursors : public IUiCursorHost {
public:
    uintptr_t LoadCursor(uint32_t id) override { return 1000 + id; }
    void SetCursor(uintptr_t handle) override { set.push_back(handle); }
    void ShowCursor(bool show) override { shown = show; }
    std::vector<uintptr_t> set;
    bool shown = true;
};

}  // namespace

TEST(UiManager, UpperWindowBlocksTheLowerLayer) {
    UiFixture f;
    HookWindow* lower = f.AddWindow("LOWER", 0, 0, 400, 400);
    TestLabel* below = UiFixture::AddLabel(lower, "ID_BELOW", 50, 50, 100, 100);
    HookWindow* popup = f.AddWindow("POPUP", 40, 40, 200, 200, true);
    TestLabel* item = UiFixture::AddLabel(popup, "ID_ITEM", 20, 20, 100, 100);
    ScriptedFrame in;
    EXPECT_EQ(ClickThrough(f, in, 100, 100), item);
    EXPECT_TRUE(popup->Saw(2, item));
    // The blocked window still hears of the click with itself, never with a control.
    for (const HookWindow::Call& c : lower->calls) EXPECT_EQ(c.control, lower);
    EXPECT_TRUE(lower->HasFlags(UI_BLOCKED));
    EXPECT_FALSE(below->HasFlags(UI_PRESSED));

    f.ui.ShowWindow(popup, false);  // an upper window only changes its flag
    EXPECT_EQ(f.ui.UpperLayer().size(), 1u);
    EXPECT_EQ(ClickThrough(f, in, 100, 100), below);
    EXPECT_TRUE(lower->Saw(2, below));
}

TEST(UiManager, PressBringsALowerWindowToTheFront) {
    UiFixture f;
    HookWindow* back = f.AddWindow("BACK", 0, 0, 300, 300);
    HookWindow* front = f.AddWindow("FRONT", 200, 200, 300, 300);
    ScriptedFrame in;
    ClickThrough(f, in, 50, 50);  // only the back window is there
    EXPECT_EQ(f.ui.LowerLayer().back(), back);
    ClickThrough(f, in, 250, 250);  // over both: the one on top keeps it
    EXPECT_EQ(f.ui.LowerLayer().back(), back);
    ClickThrough(f, in, 400, 400);  // a press on the covered one brings it up
    EXPECT_EQ(f.ui.LowerLayer().back(), front);

    f.ui.SendToBack(front);
    EXPECT_EQ(f.ui.LowerLayer().front(), front);
    front->AddFlags(UI_STAY_BEHIND | UI_HIDDEN);
    f.ui.SendToBack(front);  // the hidden flag stays as it is
    EXPECT_TRUE(front->HasFlags(UI_HIDDEN));
    front->ClearFlags(UI_HIDDEN);
    CUiObject* pressed = nullptr;
    ClickThrough(f, in, 100, 100, &pressed);  // stays behind although it took the press
    EXPECT_EQ(pressed, back);
    ClickThrough(f, in, 400, 400, &pressed);
    EXPECT_EQ(pressed, front);
    EXPECT_EQ(f.ui.LowerLayer().front(), front);
}

TEST(UiManager, ShowHideAndLayerMoves) {
    UiFixture f;
    HookWindow* a = f.AddWindow("A", 0, 0, 10, 10);
    HookWindow* b = f.AddWindow("B", 0, 0, 10, 10);
    HookWindow* c = f.AddWindow("C", 0, 0, 10, 10);
    f.ui.ShowWindow(c, false);
    EXPECT_EQ(f.ui.LowerLayer(), (std::vector<CUiWindow*>{c, a, b}));
    f.ui.ShowWindow(c, true);
    EXPECT_EQ(f.ui.LowerLayer(), (std::vector<CUiWindow*>{a, b, c}));
    f.ui.BringToFront(a);
    EXPECT_EQ(f.ui.LowerLayer(), (std::vector<CUiWindow*>{b, c, a}));
    f.ui.AddUpperWindow(b);
    EXPECT_EQ(f.ui.LowerLayer(), (std::vector<CUiWindow*>{c, a}));
    EXPECT_EQ(f.ui.FindWindow(NameHash("B")), b);
    f.ui.AddLowerWindow(b);
    EXPECT_TRUE(f.ui.UpperLayer().empty());
    EXPECT_EQ(f.ui.FindWindow(NameHash("NONE")), nullptr);
}

// Lower layer, upper layer, the dimming quad, the message box, the tooltip.
TEST(UiManager, DrawingOrder) {
    UiFixture f;
    HookWindow* tooltip = f.AddWindow("TIP", 0, 0, 10, 10, true);
    HookWindow* box = f.AddWindow("BOX", 0, 0, 10, 10, true);
    HookWindow* upper = f.AddWindow("UP", 0, 0, 10, 10, true);
    HookWindow* lower = f.AddWindow("LOW", 0, 0, 10, 10);
    tooltip->SetColor(0xFF000005u);
    box->SetColor(0xFF000004u);
    upper->SetColor(0xFF000002u);
    lower->SetColor(0xFF000001u);
    f.ui.SetTooltip(tooltip);
    f.ui.SetMessageBox(box);
    f.ui.ShowMessageBox();
    f.ui.RenderWindows();
    std::vector<uint32_t> colours;
    for (const auto& q : f.device.quads) colours.push_back(q.colour);
    EXPECT_EQ(colours, (std::vector<uint32_t>{0xFF000001u, 0xFF000002u, 0x66000000u, 0xFF000004u, 0xFF000005u}));
    const QuadDevice::Quad& dim = f.device.quads[2];
    EXPECT_FLOAT_EQ(dim.x, -0.5f);
    EXPECT_FLOAT_EQ(dim.right, 1023.5f);
    EXPECT_FLOAT_EQ(dim.bottom, 767.5f);

    f.device.quads.clear();
    f.ui.HideMessageBox();
    f.ui.RenderWindows();
    EXPECT_EQ(f.device.quads.size(), 3u);  // no box, no dimming
    uint32_t lighting = 0, blend = 1;
    f.device.GetRenderState(platform::RS_LIGHTING, &lighting);
    f.device.GetRenderState(platform::RS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(lighting, 1u);
    EXPECT_EQ(blend, 0u);
}

TEST(UiManager, CursorTable) {
    UiFixture f;
    RecordingCursors cursors;
    f.ui.SetCursorHost(&cursors);
    f.ui.SetCursor(0);  // none loaded
    EXPECT_FALSE(cursors.shown);
    EXPECT_TRUE(cursors.set.empty());
    f.ui.LoadCursor(1);
    f.ui.LoadCursor(2);
    struct Case {
        int n;
        bool shown;
    } cases[] = {{1, true}, {-1, false}, {0, true}, {2, false}, {100, false}};
    for (const Case& c : cases) {
        f.ui.SetCursor(c.n);
        EXPECT_EQ(cursors.shown, c.shown) << c.n;
    }
    EXPECT_EQ(cursors.set, (std::vector<uintptr_t>{1002, 1001}));
    EXPECT_EQ(f.ui.CursorIndex(), 0);
}

// A hook that closes its own window, and one that clears every window, during
// the dispatch: the windows go away after it, never under it.
TEST(UiManager, WindowsClosedByHooksAreDeletedAfterTheDispatch) {
    UiFixture f;
    HookWindow* win = f.AddWindow("W", 0, 0, 300, 300);
    TestLabel* button = UiFixture::AddLabel(win, "ID_CLOSE", 10, 10, 50, 50);
    HookWindow* other = f.AddWindow("OTHER", 0, 0, 600, 600);
    f.ui.SendToBack(other);
    win->onHook = [&](uint32_t code, CUiObject* c) {
        if (code == 2 && c == button) f.ui.DeleteWindow(win);
    };
    ScriptedFrame in;
    EXPECT_EQ(ClickThrough(f, in, 20, 20), nullptr);  // the taker went away with its window
    EXPECT_EQ(f.ui.LowerLayer(), (std::vector<CUiWindow*>{other}));

    other->onHook = [&](uint32_t, CUiObject*) { f.ui.DeleteAllWindows(); };
    ClickThrough(f, in, 500, 500);
    EXPECT_TRUE(f.ui.LowerLayer().empty());
}

TEST(UiManager, FocusAndTooltipTarget) {
    UiFixture f;
    HookWindow* win = f.AddWindow("W", 0, 0, 300, 300);
    TestLabel* a = UiFixture::AddLabel(win, "ID_A", 10, 10, 50, 50);
    HookWindow* tip = f.AddWindow("TIP", 0, 0, 1, 1, true);
    tip->AddFlags(UI_HIDDEN);
    f.ui.SetTooltip(tip);
    ScriptedFrame in;
    in.Cursor(20, 20);
    in.Frame();
    EXPECT_EQ(f.ui.DispatchInput(0.016f, in.input), a);
    EXPECT_EQ(f.ui.TooltipTarget(), a);
    EXPECT_EQ(f.ui.TooltipShowFlag(), 1);
    f.ui.SetTooltipsOn(0);
    f.ui.DispatchInput(0.016f, in.input);
    EXPECT_EQ(f.ui.TooltipTarget(), nullptr);

    f.ui.SetFocus(a);
    EXPECT_TRUE(a->HasFlags(UI_FOCUS));
    TestLabel* b = UiFixture::AddLabel(win, "ID_B", 100, 100, 50, 50);
    f.ui.SetFocus(b);
    EXPECT_FALSE(a->HasFlags(UI_FOCUS));
    EXPECT_EQ(f.ui.Focus(), b);
    win->RemoveChild(NameHash("ID_B"));
    delete b;  // a dying element is forgotten as the focus
    EXPECT_EQ(f.ui.Focus(), nullptr);
}

TEST(UiManager, BlinkImagePulses) {
    UiFixture f;
    CUiBlinkImage blink;
    blink.colour.a = 0.5f;
    const float expected[] = {0.9f, 1.0f, 0.6f, 0.2f, 0.0f, 0.4f};
    for (float e : expected) {
        blink.Pulse(0.4f);
        EXPECT_NEAR(blink.colour.a, e, 1e-5);
    }
    f.ui.BeginDraw();
    blink.Draw(10, 10, 20, 20);
    ASSERT_EQ(f.device.quads.size(), 1u);
    EXPECT_EQ(f.device.quads[0].colour >> 24, 102u);  // 0.4 x 255 + 0.5
}

// The candidate cells follow each other from the focused control; the selected
// one is marked except under a Korean layout.
TEST(UiManager, CandidateCellsAtTheFocus) {
    UiFixture f;
    platform::ScriptedIme ime;
    f.ui.Ime().SetMeasure([](const std::string&, int32_t* w, int32_t* h) {
        *w = 30;
        *h = 16;
    });
    f.ui.Ime().Create(&ime);
    HookWindow* win = f.AddWindow("W", 100, 200, 300, 100);
    TestLabel* edit = UiFixture::AddLabel(win, "ID_EDIT", 10, 20, 100, 20);
    f.ui.SetFocus(edit);
    ime.Type('h');
    ime.Type('i');
    f.ui.HandleImeEvents();
    EXPECT_EQ(f.ui.Ime().GetText(), "hi");
    for (uint16_t language : {uint16_t(0x0411), platform::kLanguageKorean}) {
        ime.SwitchLanguage(language);
        ime.ShowCandidates({{"a", "b", "c", "d"}, 1, 0, 3});
        f.ui.Ime().ProcessEvents(100);
        f.device.quads.clear();
        win->SetColor(0u);
        edit->SetColor(0u);
        f.ui.RenderWindows();
        ASSERT_EQ(f.device.quads.size(), 3u) << language;  // the page of three
        // A vertical list ends at the control: it starts three cells above it.
        const bool vertical = f.ui.Ime().IsVerticalCandidates();
        for (size_t i = 0; i < 3; ++i) {
            const float step = static_cast<float>(i);
            EXPECT_FLOAT_EQ(f.device.quads[i].x, vertical ? 109.5f : 109.5f + 30.0f * step) << language;
            EXPECT_FLOAT_EQ(f.device.quads[i].y, vertical ? 219.5f - 48.0f + 16.0f * step : 219.5f) << language;
        }
        bool korean = language == platform::kLanguageKorean;
        EXPECT_EQ(f.device.quads[1].colour != f.device.quads[0].colour, !korean) << language;
    }
}
