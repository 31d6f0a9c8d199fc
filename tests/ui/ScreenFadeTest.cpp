#include "tests/ui/UiFixture.h"

#include "ui/ScreenFade.h"

TEST(ScreenFade, StartAndAdvanceBoundaries) {
    UiFixture f;
    CScreenFade fade;
    fade.SetUp(0, 0, 1024, 768, nullptr);
    EXPECT_FLOAT_EQ(fade.Vertices()[3].x, 1023.5f);
    EXPECT_FLOAT_EQ(fade.Vertices()[3].y, 767.5f);

    fade.Start({0.2f, 0.4f, 0.6f, 0.5f}, 1, 0.0f);  // rate 0: done at once, drawn in the colour given
    EXPECT_EQ(fade.Done(), 1);
    EXPECT_EQ(fade.Drawn(), 1);
    EXPECT_EQ(fade.Vertices()[0].color, 0x80336699u);

    fade.Start({0, 0, 0, 0}, 1, 2.0f);  // fading away
    EXPECT_EQ(fade.Vertices()[2].color, 0xFF000000u);
    fade.Advance(0.25f);
    EXPECT_FLOAT_EQ(fade.Colour().a, 0.5f);
    EXPECT_EQ(fade.Drawn(), 1);
    fade.Advance(0.26f);
    EXPECT_EQ(fade.Drawn(), 0);
    EXPECT_EQ(fade.Done(), 1);
    f.device.quads.clear();
    fade.Render();
    EXPECT_TRUE(f.device.quads.empty());

    fade.Start({1, 1, 1, 0}, 0, 2.0f);  // covering
    fade.Advance(0.5f);
    EXPECT_EQ(fade.Done(), 1);
    EXPECT_EQ(fade.Drawn(), 1);
    EXPECT_FLOAT_EQ(fade.Colour().a, 1.0f);
    fade.Render();
    ASSERT_EQ(f.device.quads.size(), 1u);
    EXPECT_EQ(f.device.quads[0].colour, 0xFFFFFFFFu);
    uint32_t blend = 1;
    f.device.GetRenderState(platform::RS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, 0u);  // put back after the draw
}

TEST(ScreenFade, ItemLevelTintTable) {
    struct Case {
        int level;
        uint32_t argb;
    } cases[] = {{1, 0xFF0000FFu},  {4, 0xFF0000FFu},  {5, 0xFFFF0000u},  {8, 0xFFFF0000u},  {9, 0xFF00FF00u},
                 {12, 0xFF00FF00u}, {13, 0xFFFF0000u}, {15, 0xFFFF0000u}, {16, 0xFFFFFFFFu}, {40, 0xFFFFFFFFu}};
    for (const Case& c : cases) EXPECT_EQ(PackColor(ItemLevelTint(c.level)), c.argb) << c.level;
}

TEST(ScreenFade, ItemLevelFrame) {
    UiFixture f;
    f.ui.BeginDraw();
    DrawItemLevelFrame(0, true, 0, 100, 100, 32, 32, nullptr);
    EXPECT_TRUE(f.device.quads.empty());
    EXPECT_TRUE(f.font0.drawn.empty());
    DrawItemLevelFrame(12, true, 1, 100, 100, 32, 32, nullptr);
    ASSERT_EQ(f.device.quads.size(), 1u);
    EXPECT_FLOAT_EQ(f.device.quads[0].x, 96.5f);
    EXPECT_FLOAT_EQ(f.device.quads[0].right, 134.5f);
    EXPECT_EQ(f.device.quads[0].colour, 0xFF00FF00u);
    ASSERT_EQ(f.font1.drawn.size(), 1u);
    EXPECT_EQ(f.font1.drawn[0].text, "+12");
    EXPECT_EQ(f.font1.drawn[0].x, 100 + 32 - 21 - 3);
}
