#include "tests/ui/UiFixture.h"

#include "engine/core/NameHash.h"

// Strict edges: a point on any edge of the rectangle is outside.
TEST(UiObject, HitTestEdgeTable) {
    UiFixture f;
    CUiObject parent, child;
    parent.Create(nullptr, "P", 100, 50, 300, 300, 0);
    child.Create(&parent, "C", 10, 20, 40, 30, 0);  // absolute 110..150 x 70..100
    struct Case {
        float x, y;
        int inside;
    } cases[] = {
        {111, 71, 1}, {149, 99, 1},  {110, 80, 0},    {150, 80, 0},  // left and right edges
        {120, 70, 0}, {120, 100, 0}, {109.5f, 80, 0}, {130, 85, 1},  // top, bottom, just outside, middle
    };
    for (const Case& c : cases) {
        child.HitTest({c.x, c.y});
        EXPECT_EQ(child.PointerInside(), c.inside) << c.x << "," << c.y;
    }
    // The rectangle form is relative to the parent's absolute position.
    child.HitTestRect({0, 0}, {10, 10}, {105, 55});
    EXPECT_EQ(child.PointerInside(), 1);
    child.HitTestRect({0, 0}, {10, 10}, {100, 55});
    EXPECT_EQ(child.PointerInside(), 0);
}

// Component x 255 + 0.5, truncated; 1.0 and above 255, 0.0 and below 0.
TEST(UiObject, ColourPackingTable) {
    struct Case {
        UiColor colour;
        uint32_t argb;
    } cases[] = {
        {{1, 1, 1, 1}, 0xFFFFFFFFu},
        {{0, 0, 0, 0}, 0x00000000u},
        {{2.0f, -1.0f, 0.5f, 1.5f}, 0xFFFF0080u},        // clamped; 127.5 + 0.5 -> 128
        {{0.2f, 0.6f, 0.0f, 0.4f}, 0x66339900u},         // 51.5 -> 51, 153.5 -> 153, 102.5 -> 102
        {{0.998f, 0.002f, 0.0019f, 0.5f}, 0x80FE0100u},  // 254.99 -> 254, 1.01 -> 1, 0.98 -> 0
    };
    for (const Case& c : cases) EXPECT_EQ(PackColor(c.colour), c.argb) << std::hex << c.argb;
    UiColor back = UnpackColor(0x80FF0000u);
    EXPECT_FLOAT_EQ(back.r, 1.0f);
    EXPECT_FLOAT_EQ(back.g, 0.0f);
    EXPECT_NEAR(back.a, 0.50196f, 1e-5);
}

TEST(UiObject, TreeNamesAndPositions) {
    UiFixture f;
    CUiObject a, b, c, d;
    a.Create(nullptr, "A", 10, 20, 100, 100, 0);
    b.Create(&a, "B", 5, 6, 10, 10, 0);
    c.Create(&b, "C", 1.9f, -2.9f, 1, 1, 0);
    d.Create(&b, "C", 0, 0, 1, 1, 0);
    b.AddChild(&c);
    b.AddChild(&d);
    c.SetPosition(1.9f, -2.9f);
    EXPECT_FLOAT_EQ(c.Position().x, 1.0f);
    EXPECT_FLOAT_EQ(c.Position().y, -2.0f);
    UiPoint abs = c.GetAbsolutePos();
    EXPECT_FLOAT_EQ(abs.x, 16.0f);
    EXPECT_FLOAT_EQ(abs.y, 24.0f);
    EXPECT_EQ(b.FindChild(NameHash("C")), &c);  // the first of two with the same name
    EXPECT_EQ(a.FindChild(NameHash("C")), nullptr);
    b.RemoveChild(NameHash("C"));
    EXPECT_EQ(b.FindChild(NameHash("C")), &d);
}

TEST(UiObject, TextSizeAndFontFallback) {
    CUiObject lonely;  // no UI manager: no font
    lonely.SetText("abc");
    EXPECT_FLOAT_EQ(lonely.TextSize().x, 0.0f);
    EXPECT_FLOAT_EQ(lonely.TextSize().y, 0.0f);

    UiFixture f;
    CUiObject o;
    o.SetText("abc");
    EXPECT_FLOAT_EQ(o.TextSize().x, 21.0f);
    EXPECT_FLOAT_EQ(o.TextSize().y, 17.0f);  // measured height + 5
    o.SetFont(1);
    EXPECT_EQ(o.Font(), &f.font1);
    o.SetFont(7);  // past the table: font 0
    EXPECT_EQ(o.FontIndex(), 0u);
    EXPECT_EQ(o.Font(), &f.font0);
}

TEST(UiObject, RenderDrawsOneQuadUnlessTransparent) {
    UiFixture f;
    CUiObject parent, o;
    parent.Create(nullptr, "P", 100, 200, 10, 10, 0);
    o.Create(&parent, "O", 10, 20, 30, 40, 0);
    f.ui.BeginDraw();
    o.Render();  // alpha 0 after construction
    EXPECT_TRUE(f.device.quads.empty());
    o.SetColor(0x80FF0000u);
    o.Render();
    ASSERT_EQ(f.device.quads.size(), 1u);
    const QuadDevice::Quad& q = f.device.quads[0];
    EXPECT_FLOAT_EQ(q.x, 109.5f);
    EXPECT_FLOAT_EQ(q.y, 219.5f);
    EXPECT_FLOAT_EQ(q.right, 139.5f);
    EXPECT_FLOAT_EQ(q.bottom, 259.5f);
    EXPECT_EQ(q.colour, 0x80FF0000u);
    EXPECT_EQ(q.type, platform::PT_TRIANGLESTRIP);
}
