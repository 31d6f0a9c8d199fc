// Selecting the hero with the left button in the sample match, in a real
// window (under the test program's own Xvfb): a click where the hero shows
// and a drag box around it both select it, and the main panel shows it.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/core/ErrorReport.h"
#include "platform/Input.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "tests/window/SampleMatchWindow.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

class PlaySelectWindow : public SampleMatchWindow {
protected:
    // The match with the hero placed in the open, seen, the camera on it and
    // nothing selected; where the middle of the hero's body shows.
    CUnit* Ready(CPlayScreen** play, int32_t* x, int32_t* y) {
        *play = StartMatch();
        if (!*play) return nullptr;
        CUnit* hero = PlaceHero(Vec3(160, 0, 160));
        if (!hero) return nullptr;
        (*play)->Camera()->SetLookAt(hero->position + Vec3(0, 260, -220), hero->position, 0.785398f);
        (*play)->Selection().selected.clear();
        (*play)->RefreshHud();
        Frames(3);
        // Halfway up the box: the click lands on the body, not on the ground by its feet.
        const Vec3 middle =
            hero->position + Vec3(0, (hero->bounds.boxMax.y - hero->bounds.boxMin.y) * 0.5f * hero->bounds.scale, 0);
        if (!OnScreen(*(*play)->Camera(), middle, x, y)) return nullptr;
        return hero;
    }
    void ExpectSelected(CPlayScreen& play, const CUnit& hero) {
        const std::vector<int32_t>& selected = play.Selection().selected;
        EXPECT_NE(std::find(selected.begin(), selected.end(), hero.id), selected.end())
            << selected.size() << " selected";
        EXPECT_EQ(play.Selection().focus, hero.id);
        EXPECT_EQ(play.MainPanel()->SelectedIndex(), hero.id);
    }
};

}  // namespace

TEST_F(PlaySelectWindow, ALeftClickOnTheHeroSelectsIt) {
    CPlayScreen* play = nullptr;
    int32_t x = 0, y = 0;
    CUnit* hero = Ready(&play, &x, &y);
    ASSERT_NE(hero, nullptr) << ErrorReport().Text();
    ASSERT_TRUE(play->Selection().selected.empty());

    Click(0, x, y);
    ExpectSelected(*play, *hero);
}

TEST_F(PlaySelectWindow, ADragBoxAroundTheHeroSelectsIt) {
    CPlayScreen* play = nullptr;
    int32_t x = 0, y = 0;
    CUnit* hero = Ready(&play, &x, &y);
    ASSERT_NE(hero, nullptr) << ErrorReport().Text();
    ASSERT_TRUE(play->Selection().selected.empty());

    // From open ground above and to the left of the hero to below and to its right.
    input->SetCursor(x - 80, y - 80);
    Frames(2);
    input->SetButton(0, true);
    Frames(1);
    for (int step = 1; step <= 4; ++step) {
        input->SetCursor(x - 80 + step * 40, y - 80 + step * 40);
        Frames(1);
    }
    input->SetButton(0, false);
    Frames(2);
    ExpectSelected(*play, *hero);
}
