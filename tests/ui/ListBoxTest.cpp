#include "tests/ui/UiFixture.h"
#include "ui/UiComboBox.h"
#include "ui/UiListBox.h"
#include "ui/UiTextFit.h"

namespace {

// A list at (0, 0), 120 x 60 with a 20-wide scroll bar: rows of 20 pixels.
struct ListBench {
    explicit ListBench(uint32_t rows = 3, uint32_t style = 0) {
        list.AddFlags(style);
        list.CreateEx(nullptr, "ID_LIST_TEST", 0, 0, 120, 60, 1, rows);
        list.SetScrollBarWidth(20);
        list.SetRows(1, rows);
        list.AddFlags(UI_POINTER_OVER);
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) list.AddItem("item" + std::to_string(i), {1, 1, 1, 1});
    }
    CUiObject* Click(int x, int y) {
        CUiObject* took = nullptr;
        for (bool down : {true, false}) {
            in.Cursor(x, y);
            in.Button(0, down);
            in.Frame();
            took = list.ProcessInput(0.016f, in.input);
        }
        return took;
    }
    UiFixture f;
    ScriptedFrame in;
    CUiListBox list;
};

}  // namespace

TEST(UiListBox, ScrollRangeNeverBelowZero) {
    struct Case {
        int items;
        uint32_t rows;
        uint32_t style;
        uint32_t range, position;
    } cases[] = {
        {10, 3, 0, 7, 0}, {10, 3, CUiListBox::kStyleFollowLast, 7, 7},
        {2, 3, 0, 0, 0},  {2, 3, CUiListBox::kStyleFollowLast, 0, 0},
        {0, 0, 0, 0, 0},  // zero rows from a layout count as one
    };
    for (const Case& c : cases) {
        ListBench b(c.rows, c.style);
        b.Fill(c.items);
        EXPECT_EQ(b.list.ScrollBar().Range(), c.range) << c.items << " items, " << c.rows << " rows";
        EXPECT_EQ(b.list.FirstVisibleRow(), c.position) << c.items << " items, " << c.rows << " rows";
        EXPECT_GT(b.list.RowHeight(), 0.0f);
    }
}

TEST(UiListBox, FollowLastShowsTheLastItems) {
    ListBench b(3, CUiListBox::kStyleFollowLast);
    b.Fill(10);
    b.f.ui.BeginDraw();
    b.list.Render();
    ASSERT_EQ(b.f.font0.drawn.size(), 3u);
    EXPECT_EQ(b.f.font0.drawn[0].text, "item7");
    EXPECT_EQ(b.f.font0.drawn[2].text, "item9");
}

TEST(UiListBox, ClickSelectsTheRowOrNothingBelowTheLastItem) {
    ListBench b(3);
    b.Fill(2);
    EXPECT_EQ(b.Click(30, 25), &b.list);
    EXPECT_EQ(b.list.Selected(), 1);
    b.Click(30, 45);  // third row, no item
    EXPECT_EQ(b.list.Selected(), -1);
    EXPECT_EQ(b.list.ItemAtPoint({30, 45}), -1);
    EXPECT_EQ(b.list.ItemAtPoint({30, 5}), 0);
    EXPECT_EQ(b.list.ItemAtPoint({30, -5}), -1);
}

TEST(UiListBox, DefaultColourAlphaAndRemove) {
    ListBench b;
    b.list.SetTextColour({0, 1, 0, 1});
    b.list.AddItem("a", {1, 0, 0, 0.95f});
    b.list.AddItem("b", {1, 0, 0, 0.9f});
    EXPECT_FLOAT_EQ(b.list.ItemAt(0).colour.g, 1.0f);
    EXPECT_FLOAT_EQ(b.list.ItemAt(0).colour.r, 0.0f);
    EXPECT_FLOAT_EQ(b.list.ItemAt(1).colour.r, 1.0f);
    EXPECT_EQ(b.list.RemoveItem(2), 0);
    EXPECT_EQ(b.list.ItemCount(), 2u);
    EXPECT_EQ(b.list.RemoveItem(0), 1);
    EXPECT_STREQ(b.list.GetItemText(0), "b");
    EXPECT_EQ(b.list.GetItemText(1), nullptr);
    EXPECT_EQ(b.list.GetItemText(-1), nullptr);
}

TEST(UiListBox, LongItemCutAndShownWholeAfterHalfASecond) {
    ListBench b;
    // Row 100 wide: 86 pixels of text room, 12 characters of the fixed font.
    b.list.AddItem("abcdefghijklmnopq", {1, 1, 1, 1});
    b.in.Cursor(30, 5);
    b.f.ui.BeginDraw();
    for (int i = 0; i < 40; ++i) {
        b.in.Frame();
        b.list.ProcessInput(0.016f, b.in.input);
        b.list.Render();
    }
    ASSERT_FALSE(b.f.font0.drawn.empty());
    EXPECT_EQ(b.f.font0.drawn.front().text, "abcdefghijkl...");
    EXPECT_EQ(b.f.font0.drawn.back().text, "abcdefghijklmnopq");
}

TEST(UiTextFit, DoubleByteCharactersStayWhole) {
    FixedFont font;
    struct Case {
        std::string text;
        float room;
        std::string shown;
    } cases[] = {
        {"short", 100, "short"},
        {"abcdef", 28, "abcd..."},
        // Two-byte characters measure 14 each: the third does not fit in 30.
        {"\xB0\xA1\xB0\xA2\xB0\xA3", 30, "\xB0\xA1\xB0\xA2..."},
        {"a\xB0\xA1"
         "b",
         10, "a..."},
        {"<c=red>abc", 21, "<c=red>abc"},  // mark-up takes no room
    };
    for (const Case& c : cases) EXPECT_EQ(FitTextToWidth(font, c.text, c.room), c.shown) << c.text;
}

TEST(UiScrollBar, ArrowsStepWithinTheRangeAndTheThumbFollows) {
    UiFixture f;
    ScriptedFrame in;
    CUiScrollBar bar;
    bar.Create(nullptr, "MID_Scroll", 0, 0, 20, 100, CUiScrollBar::kStyleVertical);
    bar.AddFlags(UI_POINTER_OVER);
    bar.Thumb().SetSize(20, 20);
    bar.SetArrowSize(10);
    bar.SetRange(12, 4);
    EXPECT_EQ(bar.Range(), 8u);
    EXPECT_FLOAT_EQ(bar.Step(), 10.0f);
    auto click = [&](int x, int y) {
        for (bool down : {true, false}) {
            in.Cursor(x, y);
            in.Button(0, down);
            in.Frame();
            bar.ProcessInput(0.016f, in.input);
        }
    };
    click(10, 95);  // down arrow
    EXPECT_EQ(bar.Position(), 1u);
    click(10, 3);  // up arrow
    click(10, 3);
    EXPECT_EQ(bar.Position(), 0u);
    // Held on the down arrow: one step per frame once held past 0.2 seconds.
    in.Cursor(10, 95);
    in.Button(0, true);
    for (int i = 0; i < 16; ++i) {
        in.Frame();
        bar.ProcessInput(0.016f, in.input);
    }
    EXPECT_EQ(bar.Position(), 4u);  // frames 13 to 16
    in.Button(0, false);
    in.Frame();
    bar.ProcessInput(0.016f, in.input);
    EXPECT_EQ(bar.Position(), 5u);  // and the release is a click
    bar.SetPosition(0u);
    bar.SetPosition(9u);  // past the range: refused
    EXPECT_EQ(bar.Position(), 0u);
    // Drag the thumb to the bottom: the last position.
    in.Cursor(10, 5);
    in.Button(0, true);
    in.Frame();
    bar.ProcessInput(0.016f, in.input);
    in.Cursor(10, 300);
    in.Frame();
    bar.ProcessInput(0.016f, in.input);
    EXPECT_EQ(bar.Position(), 8u);
    EXPECT_FLOAT_EQ(bar.Thumb().Position().y, 80.0f);
    EXPECT_TRUE(bar.Moved());
}

namespace {

struct ComboBench {
    ComboBench() {
        combo.CreateEx(nullptr, "ID_COMBO_TEST", 10, 10, 100, 20, 0, 0);
        combo.SetButtonWidth(20);
        combo.CreateListPart(60, 3);
        combo.AddFlags(UI_POINTER_OVER);
    }
    CUiObject* Click(int x, int y) {
        CUiObject* took = nullptr;
        for (bool down : {true, false}) {
            in.Cursor(x, y);
            in.Button(0, down);
            in.Frame();
            took = combo.ProcessInput(0.016f, in.input);
        }
        return took;
    }
    UiFixture f;
    ScriptedFrame in;
    CUiComboBox combo;
};

}  // namespace

TEST(UiComboBox, OpenPickAndClose) {
    ComboBench b;
    for (const char* text : {"one", "two", "three"}) b.combo.AddItem(text, {1, 1, 1, 1});
    EXPECT_FALSE(b.combo.IsOpen());
    EXPECT_EQ(b.combo.Selected(), -1);
    EXPECT_EQ(b.Click(100, 20), &b.combo.Button());
    EXPECT_TRUE(b.combo.IsOpen());
    // The list lies below the control: its second row is at y 30 + 20.
    EXPECT_EQ(b.Click(40, 55), &b.combo.List());
    EXPECT_EQ(b.combo.Selected(), 1);
    EXPECT_STREQ(b.combo.SelectedText(), "two");
    EXPECT_FALSE(b.combo.IsOpen());
    EXPECT_FALSE(b.combo.Button().Checked());
    // Opened again and a click elsewhere closes it, keeping the selection.
    b.Click(100, 20);
    b.Click(400, 400);
    EXPECT_FALSE(b.combo.IsOpen());
    EXPECT_EQ(b.combo.Selected(), 1);
}

TEST(UiComboBox, SelectItemOutOfRangeClearsAndLongTextIsCut) {
    ComboBench b;
    b.combo.AddItem("\xB0\xA1\xB0\xA2\xB0\xA3\xB0\xA4\xB0\xA5\xB0\xA6", {1, 1, 1, 1});
    b.combo.SelectItem(0);
    // Row 80 wide: 66 of room, four two-byte characters of 14.
    EXPECT_EQ(b.combo.ShownText(), "\xB0\xA1\xB0\xA2\xB0\xA3\xB0\xA4...");
    b.combo.SelectItem(1);
    EXPECT_EQ(b.combo.Selected(), -1);
    EXPECT_EQ(b.combo.SelectedText(), nullptr);
    EXPECT_EQ(b.combo.ShownText(), "");
}

// A damaged layout's grid of 2^32 - 1 columns and rows: nothing overflows, the
// pointer is over no item, and drawing stops at the items there are.
TEST(UiListBox, HugeGridFromADamagedLayout) {
    ListBench b(0xFFFFFFFFu);
    b.list.SetRows(0xFFFFFFFFu, 0xFFFFFFFFu);
    b.Fill(3);
    EXPECT_EQ(b.list.ScrollBar().Range(), 0u);
    b.Click(30, 25);
    EXPECT_EQ(b.list.Selected(), -1);
    b.f.ui.BeginDraw();
    b.list.Render();
    EXPECT_EQ(b.f.font0.drawn.size(), 3u);
}
