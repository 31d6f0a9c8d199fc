// The sample match drawn by the whole client in a real window (under the test
// program's own Xvfb): after the loading screen the play screen shows the
// ground under the fog of war, the local hero with its bar and the hero's
// row in the status panel. The screen is
// read back and checked in regions with tolerances; QOR_KEEP_SHOTS names a
// folder to keep it in.
#include "tests/window/SampleMatchWindow.h"

#include "world/Unit.h"
#include "world/WorldObject.h"

using namespace platform;

namespace {

class PlayMatchWindow : public SampleMatchWindow {};

}  // namespace

TEST_F(PlayMatchWindow, TheSampleMatchShowsTheGroundAndTheHeroWithItsBar) {
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    ASSERT_TRUE(RunUntil([&] { return loading->Phase() == CLoadingScreen::PHASE_LOADED; }, 20000))
        << ErrorReport().Text();
    // A single-play match starts on the space key.
    Tap(DIK_SPACE);
    ASSERT_TRUE(RunUntil([&] { return dynamic_cast<CPlayScreen*>(Current()) != nullptr; }, 2000))
        << ErrorReport().Text();
    auto* play = dynamic_cast<CPlayScreen*>(Current());
    ASSERT_TRUE(RunUntil([&] { return play->Phase() == CPlayScreen::PHASE_PLAY; }, 1000)) << ErrorReport().Text();
    app->Options().showUnitHP = 1;
    // The pointer rests in the middle, where it scrolls nothing.
    input->SetCursor(512, 384);
    // Looking down on the hero from behind, as the match camera does.
    CWorldObject* hero = PlaceHero(Vec3(160, 0, 160));
    ASSERT_NE(hero, nullptr);
    play->Camera()->SetLookAt(hero->position + Vec3(0, 260, -220), hero->position, 0.785398f);
    ASSERT_TRUE(RunUntil([&] { return play->Fade().Done() != 0; }, 5000));
    Frames(5);
    const uint32_t width = app->BackBufferWidth(), height = app->BackBufferHeight();
    const std::vector<uint32_t> px = Screenshot();
    ASSERT_EQ(px.size(), static_cast<size_t>(width) * height);
    Keep(px, width, height, "match.jpg");

    // The ground: left of the hero and above the main panel, which the hero's sight lights, is green.
    int ground = 0, samples = 0;
    for (uint32_t y = 400; y < 552; y += 12)
        for (uint32_t x = 120; x < 480; x += 12) {
            const uint32_t p = px[y * width + x];
            const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
            ++samples;
            ground += g > 60 && g > r + 20 && g > b + 20;
        }
    EXPECT_GT(ground, samples * 9 / 10) << ground << " of " << samples;

    // The hero's bar at half health: a yellow fill of 28 x 3 pixels above it.
    int fill = 0;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t p = px[y * width + x];
            fill += (p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) > 160 && (p & 0xFF) < 90;
        }
    EXPECT_GT(fill, 28 * 3 / 2);
    EXPECT_LT(fill, 56 * 3 + 60);  // the fill and its label, no more

    // The status panel's first row is the hero: its face stands at the left
    // edge under the top bar, beside the blue player colour.
    int face = 0, colour = 0;
    for (uint32_t y = 70; y < 86; y += 2) {
        for (uint32_t x = 12; x < 32; x += 2) {
            const uint32_t p = px[y * width + x];
            face += ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) > 150;
        }
        const uint32_t p = px[y * width + 3];
        colour += (p & 0xFF) > 180 && (p >> 16 & 0xFF) < 120;
    }
    EXPECT_GT(face, 8 * 10 * 9 / 10) << face;
    EXPECT_GT(colour, 8 * 9 / 10) << colour;
}
