// The floating overlays on a canvas that records what they draw: the notice
// stack, damage numbers and "miss", the bounce, fog-hidden world texts and the
// pools.
#include "screens/game/FloatingTextManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/GfxRecordingDevice.h"
#include "platform/GfxTexture.h"
#include "tests/ui/UiFixture.h"

using namespace platform;

namespace {

class RecordingCanvas : public IFloatingTextCanvas {
public:
    struct Sprite {
        CGfxTexture* texture;
        float u0, u1, x, y, w, h;
        uint32_t argb;
    };
    struct Text {
        int32_t x, y;
        std::string text;
        uint32_t argb;
    };
    std::vector<Sprite> sprites;
    std::vector<Text> texts;
    // Every point projects here (depth 0.5 is in front of the camera).
    Vec3 projected{500, 400, 0.5f};
    bool fog = false;

    void DrawSprite(CGfxTexture* texture, const float* uv, float x, float y, float w, float h,
                    uint32_t argb) override {
        sprites.push_back({texture, uv ? uv[0] : 0.0f, uv ? uv[2] : 1.0f, x, y, w, h, argb});
    }
    void DrawText(uint32_t, int32_t x, int32_t y, std::string_view text, uint32_t argb) override {
        texts.push_back({x, y, std::string(text), argb});
    }
    Vec3 Project(const CCamera*, const Vec3&) override { return projected; }
    bool FogHidden(const Vec3&) override { return fog; }
};

class FloatingTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(device.CreateTexture(40, 20, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &missPicture), GFX_OK);
        ASSERT_EQ(device.CreateTexture(150, 15, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &digitStrip), GFX_OK);
        manager.SetNoticeFont(2, &font, 1024);
    }
    void TearDown() override {
        GfxRelease(missPicture);
        GfxRelease(digitStrip);
    }
    std::vector<CNoticeText*> Notices() const {
        std::vector<CNoticeText*> out;
        for (CFloatingText* item : manager.Items())
            if (item->type == FT_NOTICE) out.push_back(static_cast<CNoticeText*>(item));
        return out;
    }
    CDamageText* Damage(const char* text, uint32_t bounce = 0, uint32_t prefix = 0) {
        auto* d = static_cast<CDamageText*>(manager.CreateItem(FT_DAMAGE));
        const std::string_view t(text);
        d->Setup({0, 0, 0}, t, 0xFFFF0000u, 1.0f, 30.0f, 1.0f, bounce, nullptr, prefix,
                 t == "miss" ? missPicture : digitStrip, 0);
        manager.Add(d);
        return d;
    }

    CGfxRecordingDevice device;
    CGfxTexture* missPicture = nullptr;
    CGfxTexture* digitStrip = nullptr;
    FixedFont font;
    CFloatingTextManager manager;
    RecordingCanvas canvas;
};

TEST_F(FloatingTextTest, NoticesStackRestartOnlyAtTheTopAndFadeAfterTheThirdShift) {
    manager.AddNotice(0xFFFFFFFFu, "gold");
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0]->x, (1024 - 4 * 7) / 2);  // centred in the notice font
    EXPECT_EQ(Notices()[0]->y, 160);

    // The same line again restarts the one at the top instead of adding one.
    manager.Update(3.0f);
    manager.AddNotice(0xFFFFFFFFu, "gold");
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_FLOAT_EQ(Notices()[0]->elapsed, 0.0f);

    // A new line pushes the old one up 20 pixels; its first push costs 0.2 alpha.
    manager.AddNotice(0xFF00FF00u, "wood");
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(Notices()[0]->y, 140);
    EXPECT_NEAR(Notices()[0]->colour.a, 0.8f, 1e-5f);
    EXPECT_EQ(Notices()[0]->shiftsLeft, 2);
    EXPECT_EQ(Notices()[1]->y, 160);
    EXPECT_EQ(Notices()[1]->Argb(), 0xFF00FF00u);

    // Once the top line has moved by itself, an equal line is a new one.
    manager.Clear();
    manager.AddNotice(0xFFFFFFFFu, "gold");
    manager.Update(5.0f);
    EXPECT_EQ(Notices()[0]->y, 140);
    manager.AddNotice(0xFFFFFFFFu, "gold");
    EXPECT_EQ(Notices().size(), 2u);

    // Three shifts by age, then it fades at 0.2 a second and goes.
    manager.Clear();
    manager.AddNotice(0xFFFFFFFFu, "gold");
    CNoticeText* line = Notices()[0];
    for (int i = 0; i < 30; ++i) manager.Update(0.5f);
    ASSERT_EQ(manager.Items().size(), 1u);
    EXPECT_EQ(line->y, 100);
    EXPECT_EQ(line->shiftsLeft, 0);
    const float before = line->colour.a;
    manager.Update(1.0f);
    EXPECT_NEAR(line->colour.a, before - 0.2f, 1e-5f);
    for (int i = 0; i < 10; ++i) manager.Update(1.0f);
    EXPECT_TRUE(manager.Items().empty());
}

TEST_F(FloatingTextTest, DamageTextsDrawThePictureOrOneCellPerDigit) {
    Damage("miss");
    manager.Draw(canvas, 1);
    ASSERT_EQ(canvas.sprites.size(), 1u);
    EXPECT_EQ(canvas.sprites[0].texture, missPicture);
    EXPECT_FLOAT_EQ(canvas.sprites[0].w, 40.0f);
    EXPECT_FLOAT_EQ(canvas.sprites[0].h, 20.0f);
    EXPECT_FLOAT_EQ(canvas.sprites[0].x, 500.0f - 20.0f);
    EXPECT_FLOAT_EQ(canvas.sprites[0].y, 400.0f + 10.0f - 60.0f);

    // "12" is two cells of the strip, 15 pixels each, centred on the point;
    // a sign has no cell, so "-12" draws the same two.
    for (const char* text : {"12", "-12"}) {
        manager.Clear();
        canvas.sprites.clear();
        Damage(text);
        manager.Draw(canvas, 1);
        ASSERT_EQ(canvas.sprites.size(), 2u) << text;
        EXPECT_NEAR(canvas.sprites[0].u0, 0.1f, 1e-6f);
        EXPECT_NEAR(canvas.sprites[0].u1, 0.2f, 1e-6f);
        EXPECT_NEAR(canvas.sprites[1].u0, 0.2f, 1e-6f);
        EXPECT_FLOAT_EQ(canvas.sprites[0].x, 500.0f - 15.0f);
        EXPECT_FLOAT_EQ(canvas.sprites[1].x, 500.0f);
        EXPECT_FLOAT_EQ(canvas.sprites[0].w, 15.0f);
    }

    // The prefix glyph takes the first place.
    manager.Clear();
    canvas.sprites.clear();
    CDamageText* healed = Damage("5", 0, 1);
    healed->prefixTexture = missPicture;
    manager.Draw(canvas, 1);
    ASSERT_EQ(canvas.sprites.size(), 2u);
    EXPECT_EQ(canvas.sprites[0].texture, missPicture);
    EXPECT_FLOAT_EQ(canvas.sprites[1].x - canvas.sprites[0].x, 15.0f);

    // A point behind the camera (depth outside 0..1) is not drawn.
    canvas.sprites.clear();
    canvas.projected.z = 1.5f;
    manager.Draw(canvas, 1);
    canvas.projected.z = -0.2f;
    manager.Draw(canvas, 1);
    EXPECT_TRUE(canvas.sprites.empty());
}

TEST_F(FloatingTextTest, ABouncingNumberPeaksAtATenthOfASecondTwiceAndNeverShrinksBelowFifteen) {
    CDamageText* d = Damage("7", 1);
    float largest = 0, largestAt = 0, smallest = 1000;
    for (float t = 0.01f; t < 1.0f; t += 0.01f) {
        d->Update(0.01f);
        if (d->glyphWidth > largest) {
            largest = d->glyphWidth;
            largestAt = t;
        }
        smallest = std::min(smallest, d->glyphWidth);
    }
    EXPECT_NEAR(largestAt, 0.2f, 0.015f);
    EXPECT_GT(largest, 30.0f);
    EXPECT_GE(smallest, 15.0f);
    EXPECT_FLOAT_EQ(d->glyphWidth, 15.0f);
    EXPECT_FLOAT_EQ(d->halfWidth, 7.5f);
}

TEST_F(FloatingTextTest, AFogHiddenWorldTextIsNotDrawnButStillAgesAndFinishes) {
    auto* text = static_cast<CWorldText*>(manager.CreateItem(FT_WORLD_TEXT));
    text->text = "+10";
    text->holdTime = 1.0f;
    text->fadeRate = 1.0f;
    text->riseSpeed = 10.0f;
    text->fogCheck = 1;
    manager.Add(text);
    canvas.fog = true;
    manager.Draw(canvas, 1);
    EXPECT_TRUE(canvas.texts.empty());
    canvas.fog = false;
    manager.Update(0.5f);
    manager.Draw(canvas, 1);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].y, 400 - 5);
    canvas.fog = true;
    for (int i = 0; i < 30 && !manager.Items().empty(); ++i) manager.Update(0.1f);
    EXPECT_TRUE(manager.Items().empty());
}

TEST_F(FloatingTextTest, MapAlertRingsGrowFadeAndDrawOverTheWindows) {
    auto* alert = static_cast<CMapAlertMarker*>(manager.CreateItem(FT_MAP_ALERT));
    alert->Setup(missPicture, digitStrip, 0xFFFFFFFFu, 10, 10, 30, 40, 0);
    manager.Add(alert);
    manager.Draw(canvas, 1);
    EXPECT_TRUE(canvas.sprites.empty());
    manager.Update(1.0f);
    manager.Draw(canvas, 0);
    ASSERT_EQ(canvas.sprites.size(), 2u);
    EXPECT_FLOAT_EQ(canvas.sprites[0].w, 60.0f);
    EXPECT_FLOAT_EQ(canvas.sprites[1].w, 70.0f);
    EXPECT_EQ(canvas.sprites[0].argb >> 24, 128u);
    manager.Update(1.0f);
    manager.Update(0.1f);
    EXPECT_TRUE(manager.Items().empty());
}

TEST_F(FloatingTextTest, TypesColoursAndPools) {
    EXPECT_EQ(manager.CreateItem(7), nullptr);
    EXPECT_EQ(manager.CreateItem(FT_TYPE_COUNT), nullptr);
    const struct {
        float value;
        uint32_t byte;
    } bytes[] = {{-0.5f, 0}, {0.0f, 0}, {0.5f, 128}, {0.499f, 127}, {1.0f, 255}, {3.0f, 255}};
    for (const auto& b : bytes) EXPECT_EQ(CFloatingText::ChannelByte(b.value), b.byte) << b.value;

    // A steady stream of short-lived numbers settles into the pools and the
    // list's room: later frames take no further chunk and no larger list.
    auto frame = [&] {
        for (int i = 0; i < 5; ++i) Damage("123");
        manager.Update(0.1f);
        manager.Draw(canvas, 1);
        canvas.sprites.clear();
    };
    for (int i = 0; i < 40; ++i) frame();
    const size_t capacity = manager.Items().capacity();
    const size_t items = manager.Items().size();
    const size_t chunks = manager.PoolChunks();
    for (int i = 0; i < 200; ++i) frame();
    EXPECT_EQ(manager.PoolChunks(), chunks);
    EXPECT_EQ(manager.Items().capacity(), capacity);
    EXPECT_EQ(manager.Items().size(), items);
}

}  // namespace
