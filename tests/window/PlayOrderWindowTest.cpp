// A right-click move in the sample match, in a real window (under the test
// program's own Xvfb): the selected hero walks to the clicked
// ground, the move marker plays there, and the main panel stands at the
// bottom of the screen. QOR_KEEP_SHOTS names a folder to keep the shots in.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "platform/Input.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "tests/window/SampleMatchWindow.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

class PlayOrderWindow : public SampleMatchWindow {};

bool Grey(uint32_t p) {
    const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    return r > 90 && std::abs(r - g) < 40 && std::abs(g - b) < 40;
}

}  // namespace

TEST_F(PlayOrderWindow, ARightClickWalksTheHeroUnderTheMainPanel) {
    CPlayScreen* play = StartMatch();
    ASSERT_NE(play, nullptr) << ErrorReport().Text();
    CWorldObject* hero = PlaceHero(Vec3(160, 0, 160));
    ASSERT_NE(hero, nullptr);
    const Vec3 start = hero->position;
    play->Camera()->SetLookAt(start + Vec3(0, 260, -220), start, 0.785398f);
    Frames(3);

    // The hero selected, as Space does; the panel shows it.
    play->Selection().selected = {hero->id};
    play->RefreshHud();
    Frames(2);
    ASSERT_EQ(play->MainPanel()->SelectedIndex(), hero->id);

    // A right click on the ground to its left: the hero walks there and the marker plays.
    const Vec3 goal = start + Vec3(-60, 0, 0);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(OnScreen(*play->Camera(), goal, &x, &y));
    Click(1, x, y);
    EXPECT_NE(play->ActiveClickMarker(), -1);
    EXPECT_LT(std::fabs(play->ClickMarkerPoint().x - goal.x), 10.0f);
    input->SetCursor(512, 300);
    ASSERT_TRUE(RunUntil([&] { return std::fabs(hero->position.x - start.x) > 30.0f; }, 600))
        << "the hero stays at " << hero->position.x;
    EXPECT_LT(hero->position.x, start.x);

    const uint32_t width = app->BackBufferWidth(), height = app->BackBufferHeight();
    const std::vector<uint32_t> px = Screenshot();
    ASSERT_EQ(px.size(), static_cast<size_t>(width) * height);
    // The main panel's grey covers the bottom right of the screen, beside the minimap.
    int grey = 0, samples = 0;
    for (uint32_t y = 572; y < 760 && y < height; y += 8)
        for (uint32_t x = 560; x < 1016 && x < width; x += 8) {
            ++samples;
            grey += Grey(px[y * width + x]);
        }
    EXPECT_GT(grey, samples / 2) << grey << " of " << samples;
}
