// The result table of our layout drawn by the GL device in a real window: the
// victory caption stands where the layout puts it, a Light row shows the
// Light background and a Darkness row the Darkness one.
#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "platform/GfxSystem.h"
#include "screens/game/ResultWindow.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/window/KoreanUi.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/LayoutWriter.h"
#include "tools/ResultLayouts.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

using namespace platform;

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// The mean colour of a rectangle of the frame, per channel.
struct Mean {
    int r = 0, g = 0, b = 0;
};
Mean MeanOf(const std::vector<uint32_t>& px, int x0, int y0, int x1, int y1) {
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint32_t c = px[static_cast<size_t>(y * kWidth + x)];
            r += (c >> 16) & 0xFF, g += (c >> 8) & 0xFF, b += c & 0xFF, ++n;
        }
    return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

}  // namespace

class ResultWindowShown : public RealWindowFixture {};

TEST_F(ResultWindowShown, VictoryCaptionAndBothTeamsRowBackgrounds) {
    ASSERT_NO_FATAL_FAILURE(OpenDevice(kWidth, kHeight, false));
    CGfxDevice* device = &Device();
    device->SetRenderState(RS_LIGHTING, 0);
    device->SetRenderState(RS_ZENABLE, 0);
    KoreanUi korean(*device);
    ASSERT_TRUE(korean.Ok()) << ErrorReport().Text();
    CUiManager& ui = korean.Ui();
    TempFolder tmp;
    const std::string path = tmp.Path("RESULT.DUI");
    ASSERT_EQ(WriteLayoutFile(path.c_str(), ResultLayout()), 1);
    auto* window = new CResultWindow();
    ASSERT_EQ(window->LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    ui.AddLowerWindow(window);
    window->SetPosition(0, 0);
    // As the screen shows a won match: row 1 a Light player, row 2 a Darkness one, the rest empty.
    window->lose->AddFlags(UI_HIDDEN);
    for (int r = 0; r < CResultWindow::kRows; ++r) {
        CResultWindow::Row& row = window->rows[static_cast<size_t>(r)];
        if (r != 0) row.lightBack->AddFlags(UI_HIDDEN);
        if (r != 1) row.darkBack->AddFlags(UI_HIDDEN);
    }

    const std::vector<uint32_t> px = DrawWindows(ui);
    ASSERT_EQ(px.size(), static_cast<size_t>(kWidth * kHeight));

    // Caption (gold), row 1 (blue), row 2 (red), row 3 (the window's grey): inner parts, clear of texts.
    const UiPoint caption = window->win->GetAbsolutePos();
    const Mean gold = MeanOf(px, static_cast<int>(caption.x) + 4, static_cast<int>(caption.y) + 4,
                             static_cast<int>(caption.x) + 60, static_cast<int>(caption.y) + 12);
    EXPECT_GT(gold.r, 200);
    EXPECT_GT(gold.g, 170);
    EXPECT_LT(gold.b, 80);
    auto rowMean = [&](int r) {
        const UiPoint at = window->rows[static_cast<size_t>(r)].lightBack->GetAbsolutePos();
        return MeanOf(px, static_cast<int>(at.x) + 4, static_cast<int>(at.y) + 1, static_cast<int>(at.x) + 20,
                      static_cast<int>(at.y) + 6);
    };
    const Mean light = rowMean(0), dark = rowMean(1), empty = rowMean(2);
    EXPECT_GT(light.b, 130);
    EXPECT_LT(light.r, 40);
    EXPECT_GT(dark.r, 110);
    EXPECT_LT(dark.b, 40);
    EXPECT_GT(empty.r, 180);  // no background: the grey window
    EXPECT_GT(empty.b, 180);
}
