// The game menu of the sample match in a real window: F10 opens it in the
// middle of the screen and F10 closes it again; the screen is read back and
// the menu's deep blue looked for where the layout puts it.
#include "tests/window/SampleMatchWindow.h"

#include "engine/core/MessageBoxHost.h"
#include "screens/game/GameMenuWindow.h"
#include "ui/UiButton.h"
#include "ui/UiMessageBox.h"

using namespace platform;

namespace {

// The share of samples in a rectangle that are the menu's deep blue.
double BlueShare(const std::vector<uint32_t>& px, uint32_t width, uint32_t left, uint32_t top, uint32_t right,
                 uint32_t bottom) {
    int blue = 0, samples = 0;
    for (uint32_t y = top; y < bottom; y += 6)
        for (uint32_t x = left; x < right; x += 6) {
            const uint32_t p = px[y * width + x];
            const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
            ++samples;
            blue += b > 110 && b > r + 70 && b > g + 60;
        }
    return samples ? static_cast<double>(blue) / samples : 0.0;
}

class PlayMenuWindow : public SampleMatchWindow {};

}  // namespace

TEST_F(PlayMenuWindow, F10ShowsTheMenuInTheMiddleAndF10HidesIt) {
    CPlayScreen* play = StartMatch();
    ASSERT_NE(play, nullptr);
    ASSERT_NE(play->GameMenu(), nullptr);
    const uint32_t width = app->BackBufferWidth();
    // The menu's left margin, beside its buttons.
    const uint32_t left = CGameMenuWindow::kLeft + 6, right = CGameMenuWindow::kLeft + 36;
    const uint32_t top = CGameMenuWindow::kTop + 10, bottom = CGameMenuWindow::kTop + 400;
    Frames(2);
    std::vector<uint32_t> px = Screenshot();
    ASSERT_EQ(px.size(), static_cast<size_t>(width) * app->BackBufferHeight());
    EXPECT_LT(BlueShare(px, width, left, top, right, bottom), 0.1);

    Tap(DIK_F10);
    Frames(2);
    EXPECT_FALSE(play->GameMenu()->HasFlags(UI_HIDDEN));
    px = Screenshot();
    Keep(px, width, app->BackBufferHeight(), "menu.jpg");
    EXPECT_GT(BlueShare(px, width, left, top, right, bottom), 0.9);
    // Outside the menu the match shows as before.
    EXPECT_LT(BlueShare(px, width, 100, 250, 300, 450), 0.1);

    Tap(DIK_F10);
    Frames(2);
    EXPECT_TRUE(play->GameMenu()->HasFlags(UI_HIDDEN));
    EXPECT_LT(BlueShare(Screenshot(), width, left, top, right, bottom), 0.1);
}

// Quit asks first; the question shows above the match, and its OK leaves
// the practice match for the room it was started from.
TEST_F(PlayMenuWindow, QuitAsksAndOkLeavesTheMatch) {
    CPlayScreen* play = StartMatch();
    ASSERT_NE(play, nullptr);
    Tap(DIK_F10);
    Frames(2);
    CUiButton* quit = play->GameMenu()->Button(CGameMenuWindow::BUTTON_QUIT);
    ASSERT_NE(quit, nullptr);
    const UiPoint at = quit->GetAbsolutePos();
    Click(0, static_cast<int32_t>(at.x + quit->Size().x / 2), static_cast<int32_t>(at.y + quit->Size().y / 2));
    IMessageBoxHost& box = app->MessageBox();
    ASSERT_TRUE(box.Visible()) << "no question after Quit";
    EXPECT_EQ(box.Text(), GetMessageText(MSG_GAMEPLAY_OUT_PLAY));
    const uint32_t width = app->BackBufferWidth();
    std::vector<uint32_t> px = Screenshot();
    Keep(px, width, app->BackBufferHeight(), "quit.jpg");
    EXPECT_EQ(play->Phase(), CPlayScreen::PHASE_PLAY);

    // Two buttons: Enter answers nothing, the OK button does.
    Tap(DIK_RETURN);
    EXPECT_TRUE(box.Visible());
    auto* shown = dynamic_cast<CUiMessageBox*>(&box);
    ASSERT_NE(shown, nullptr);
    const UiPoint ok = shown->OkButton()->GetAbsolutePos();
    Click(0, static_cast<int32_t>(ok.x + shown->OkButton()->Size().x / 2),
          static_cast<int32_t>(ok.y + shown->OkButton()->Size().y / 2));
    EXPECT_TRUE(RunUntil([&] { return Current() != play || play->Phase() == CPlayScreen::PHASE_LEAVING; }, 200));
    EXPECT_FALSE(box.Visible());
}
