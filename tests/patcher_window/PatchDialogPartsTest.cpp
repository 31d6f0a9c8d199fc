// The dialog's parts that need no patch: the key mask, the button's images
// and the layout keys.
#include <gtest/gtest.h>

#include <map>

#include "patcher/DialogLayout.h"
#include "patcher/PatchBitmaps.h"
#include "patcher/ZEMBitmapButton.h"

TEST(PatchBitmapsTest, KeyColourGivesAlphaZeroAndEveryOtherColourFull) {
    PatchBitmap bitmap;
    bitmap.width = 5;
    bitmap.height = 1;
    bitmap.rgb = {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x01, 0xFF};
    struct Case {
        uint32_t key;
        std::vector<uint8_t> alpha;
    };
    for (const Case& c : {Case{kKeyMagenta, {0, 255, 255, 255, 255}}, Case{kKeyWhite, {255, 0, 255, 255, 255}}}) {
        std::vector<uint8_t> rgba = KeyColourToRgba(bitmap, c.key);
        ASSERT_EQ(rgba.size(), 20u);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(rgba[i * 4 + 3], c.alpha[i]) << "key " << std::hex << c.key << " pixel " << i;
            EXPECT_EQ(rgba[i * 4], bitmap.rgb[i * 3]);
        }
    }
}

TEST(PatchBitmapsTest, EveryImageHasItsKeyInTheCornersAndAShapeInTheMiddle) {
    std::map<int, uint32_t> keys{{kBitmapStart, kKeyMagenta},     {kBitmapStartHover, kKeyMagenta},
                                 {kBitmapStartDone, kKeyWhite},   {kBitmapStartDoneHover, kKeyWhite},
                                 {kBitmapRepatch, kKeyMagenta},   {kBitmapRepatchHover, kKeyMagenta},
                                 {kBitmapRepatchOff, kKeyMagenta}};
    for (const auto& [id, key] : keys) {
        PatchBitmap bitmap;
        ASSERT_TRUE(LoadPatchBitmap(id, &bitmap)) << id;
        std::vector<uint8_t> rgba = KeyColourToRgba(bitmap, key);
        auto alpha = [&](int x, int y) { return rgba[(static_cast<size_t>(y) * bitmap.width + x) * 4 + 3]; };
        EXPECT_EQ(alpha(0, 0), 0) << id;
        EXPECT_EQ(alpha(bitmap.width - 1, bitmap.height - 1), 0) << id;
        EXPECT_EQ(alpha(bitmap.width / 2, 2), 255) << id;
    }
    PatchBitmap none;
    EXPECT_FALSE(LoadPatchBitmap(999, &none));
}

TEST(ZEMBitmapButtonTest, WhichImageShows) {
    using S = CZEMBitmapButton::Shown;
    struct Case {
        bool hover, pressed, hasOut;
        S shown;
    };
    for (const Case& c :
         {Case{false, false, true, S::Out}, Case{true, false, true, S::In}, Case{false, true, true, S::In},
          Case{true, true, true, S::In}, Case{false, false, false, S::In}, Case{true, false, false, S::In}}) {
        EXPECT_EQ(CZEMBitmapButton::ShownImage(c.hover, c.pressed, c.hasOut), c.shown)
            << c.hover << c.pressed << c.hasOut;
    }
}

TEST(ZEMBitmapButtonTest, SetBitmapsWithAMissingIdFreesBothImages) {
    CZEMBitmapButton button(0, 0, 120, 40, nullptr);
    ASSERT_EQ(button.SetBitmaps(kBitmapStartHover, kKeyMagenta, kBitmapStart, kKeyMagenta), 0);
    EXPECT_EQ(button.Showing(), CZEMBitmapButton::Shown::Out);
    EXPECT_EQ(button.ImageWidth(), 120);
    EXPECT_EQ(button.SetBitmaps(kBitmapStartHover, kKeyMagenta, 4242, kKeyMagenta), 1);
    EXPECT_FALSE(button.HasImages());
    EXPECT_EQ(button.Showing(), CZEMBitmapButton::Shown::Nothing);
    EXPECT_EQ(button.SetBitmaps(4242, kKeyMagenta), 1);
    EXPECT_FALSE(button.HasImages());
    // Without an "out" image the "in" image serves for both.
    ASSERT_EQ(button.SetBitmaps(kBitmapRepatchOff, kKeyMagenta), 0);
    EXPECT_EQ(button.Showing(), CZEMBitmapButton::Shown::In);
}

TEST(DialogLayoutTest, KeysPlaceControlsAndTheWindow) {
    struct Case {
        std::map<std::string, std::string> keys;
        LayoutRect start, repatch, web, window;
    };
    const int bgW = 691, bgH = 537;
    const Case cases[] = {
        // Missing keys: everything at 0, 0; buttons in their image size; the window the background's.
        {{}, {0, 0, 120, 40}, {0, 0, 90, 28}, {0, 0, 0, 0}, {0, 0, bgW, bgH}},
        {{{"START_BUTTON", "10, 20"}}, {10, 20, 120, 40}, {0, 0, 90, 28}, {0, 0, 0, 0}, {0, 0, bgW, bgH}},
        {{{"START_BUTTON", "10,20,30"}, {"WEB", "1, 2, 3, 4, 5"}},
         {10, 20, 30, 40},
         {0, 0, 90, 28},
         {1, 2, 3, 4},
         {0, 0, bgW, bgH}},
        {{{"BASE_DIALOG", "100, 50"}}, {0, 0, 120, 40}, {0, 0, 90, 28}, {0, 0, 0, 0}, {100, 50, bgW - 100, bgH - 50}},
        {{{"BASE_DIALOG", "100, 80, 797, 643"}}, {0, 0, 120, 40}, {0, 0, 90, 28}, {0, 0, 0, 0}, {100, 80, 691, 537}},
        // Left beyond right, and negative sizes.
        {{{"BASE_DIALOG", "900, 900, 100, 100"}, {"WEB", "5, 5, -10, -1"}},
         {0, 0, 120, 40},
         {0, 0, 90, 28},
         {5, 5, 0, 0},
         {900, 900, 1, 1}},
    };
    for (const Case& c : cases) {
        auto read = [&](const char* key) {
            auto it = c.keys.find(key);
            return it == c.keys.end() ? std::string() : it->second;
        };
        DialogLayout layout = ComputeDialogLayout(read, bgW, bgH, 120, 40, 90, 28);
        auto same = [](const LayoutRect& a, const LayoutRect& b) {
            return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
        };
        std::string label = c.keys.empty() ? "no keys" : c.keys.begin()->first + "=" + c.keys.begin()->second;
        EXPECT_TRUE(same(layout.startButton, c.start)) << label;
        EXPECT_TRUE(same(layout.repatchButton, c.repatch)) << label;
        EXPECT_TRUE(same(layout.web, c.web)) << label;
        EXPECT_TRUE(same(layout.window, c.window)) << label << ": " << layout.window.x << "," << layout.window.y << " "
                                                   << layout.window.w << "x" << layout.window.h;
    }
}
