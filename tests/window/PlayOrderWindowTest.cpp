// A right-click move in the sample match, in a real window (under the test
// program's own Xvfb): the selected hero walks to the clicked
// ground, the move marker plays there, and the main panel stands at the
// bottom of the screen; an aimed area skill lays its ring on the ground
// under the pointer. QOR_KEEP_SHOTS names a folder to keep the shots in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "platform/Input.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "tests/window/SampleMatchWindow.h"
#include "world/GameDataRecord.h"
#include "world/SkillInstance.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"
#include "world/TerrainEngine.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

class PlayOrderWindow : public SampleMatchWindow {};

bool Grey(uint32_t p) {
    const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    return r > 90 && std::abs(r - g) < 40 && std::abs(g - b) < 40;
}

// The sample ring's light blue, through the map's light and haze.
bool RingBlue(uint32_t p) {
    const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    return b > 150 && b > r + 60 && g > r;
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

TEST_F(PlayOrderWindow, AnAimedAreaSkillLaysItsRingOnTheGroundUnderThePointer) {
    CPlayScreen* play = StartMatch();
    ASSERT_NE(play, nullptr) << ErrorReport().Text();
    CUnit* hero = PlaceHero(Vec3(160, 0, 160));
    ASSERT_NE(hero, nullptr);
    ASSERT_FALSE(hero->skills.empty());
    const Vec3 start = hero->position;
    play->Camera()->SetLookAt(start + Vec3(0, 260, -220), start, 0.785398f);
    play->Selection().selected = {hero->id};
    play->RefreshHud();
    // The hero's first skill, learned and aimed at a ground area of 40 units.
    CSkillInstance& skill = *hero->skills[0];
    skill.level = 1;
    skill.record->flags = 0x10;
    skill.record->skillWord2 = 3;
    skill.record->levels[0]->amount[3] = ::FloatBits(40.0f);
    hero->stats.final[6] = 1000;
    hero->mana = 1000;
    Frames(3);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(OnScreen(*play->Camera(), start + Vec3(70, 0, 0), &x, &y));
    input->SetCursor(x, y);
    Frames(2);

    // Blue pixels around the pointer, before and while the skill is aimed.
    const uint32_t width = app->BackBufferWidth(), height = app->BackBufferHeight();
    const int32_t left = std::max(0, x - 140), right = std::min(static_cast<int32_t>(width), x + 140);
    const int32_t top = std::max(0, y - 140), bottom = std::min(static_cast<int32_t>(height), y + 140);
    auto blueAround = [&](const std::vector<uint32_t>& px) {
        int n = 0;
        for (int32_t row = top; row < bottom; ++row)
            for (int32_t column = left; column < right; ++column)
                n += RingBlue(px[static_cast<size_t>(row) * width + static_cast<size_t>(column)]);
        return n;
    };
    const std::vector<uint32_t> plain = Screenshot();
    ASSERT_EQ(plain.size(), static_cast<size_t>(width) * height);
    ASSERT_EQ(play->MainPanel()->UseSlot(0, 0), 1);
    Frames(3);
    ASSERT_EQ(play->InputMode(), CPlayScreen::INPUT_SKILL);
    ASSERT_TRUE(g_pTerrainEngine && g_pTerrainEngine->GroundMarkerShown());
    const std::vector<uint32_t> aimed = Screenshot();
    Keep(aimed, width, height, "area-skill-ring.jpg");
    EXPECT_GT(blueAround(aimed), blueAround(plain) + 1000) << blueAround(aimed) << " against " << blueAround(plain);

    // Esc lets the ground go.
    Tap(DIK_ESCAPE);
    Frames(2);
    EXPECT_FALSE(g_pTerrainEngine->GroundMarkerShown());
}
