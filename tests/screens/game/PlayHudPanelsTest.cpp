// The play screen's HUD strips in a running match: the status panel and the
// top bar loaded with the screen, the top bar's menu buttons, and the day and
// night that the ambient light and the top bar's bubbles follow.
#include <gtest/gtest.h>

#include "engine/render/DayNightAmbient.h"
#include "screens/game/PlayHelpWindow.h"
#include "screens/game/StatusPanel.h"
#include "screens/game/TopBarPanel.h"
#include "screens/game/UnitInfoWindow.h"
#include "tests/screens/game/PlayScreenFixture.h"
#include "ui/UiStatic.h"

namespace {

class PlayHudPanelsTest : public PlayScreenTest {
protected:
    CPlayScreen& Started() {
        CPlayScreen& play = Make(1);
        Step();
        return play;
    }
    // Frames of one second until the ambient has run that long.
    void RunSeconds(int seconds) {
        for (int i = 0; i < seconds; ++i) Step(1000);
    }
};

TEST_F(PlayHudPanelsTest, ThePanelsComeWithTheScreenAndAnswerTheirButtons) {
    CPlayScreen& play = Started();
    CStatusPanel* status = play.StatusPanel();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->allies[0].hero, hero);
    // A click on the own face shows the hero in the unit window.
    ASSERT_NE(play.UnitInfo(), nullptr);
    status->OnLButtonClick(status->allies[0].face);
    EXPECT_EQ(play.UnitInfo()->Shown(), hero);

    // The six menu buttons ask, in order, for the menu, the shop, the
    // combination list, the options, the help and the rank board.
    CTopBarPanel* top = play.TopBar();
    ASSERT_NE(top, nullptr);
    const int requests[CTopBarPanel::kMenuButtons] = {
        CPlayScreen::UI_REQUEST_MENU,    CPlayScreen::UI_REQUEST_SHOP, CPlayScreen::UI_REQUEST_COMBINATION,
        CPlayScreen::UI_REQUEST_OPTIONS, CPlayScreen::UI_REQUEST_HELP, CPlayScreen::UI_REQUEST_INSERT,
    };
    for (int i = 0; i < CTopBarPanel::kMenuButtons; ++i) {
        play.ClearUiRequests();
        top->OnLButtonClick(top->menuButtons[static_cast<size_t>(i)]);
        for (int r = 0; r < CPlayScreen::UI_REQUEST_COUNT; ++r)
            EXPECT_EQ(play.UiRequested(r), r == requests[i]) << "button " << i + 1 << " request " << r;
    }
    // The help button's request opens the help at the next frame.
    play.ClearUiRequests();
    ASSERT_NE(play.HelpWindow(), nullptr);
    ASSERT_TRUE(play.HelpWindow()->HasFlags(UI_HIDDEN));
    top->OnLButtonClick(top->menuButtons[4]);
    Step();
    EXPECT_FALSE(play.HelpWindow()->HasFlags(UI_HIDDEN));
}

TEST_F(PlayHudPanelsTest, TheDayRunsSixMinutesThenTheLightFadesToTheNight) {
    CPlayScreen& play = Started();
    CDayNightAmbient& ambient = play.DayNight();
    EXPECT_TRUE(play.IsDay());
    EXPECT_FLOAT_EQ(ambient.period, CPlayScreen::kDayPeriod);
    EXPECT_EQ(ambient.current.x, ambient.setA.x);

    RunSeconds(125);
    CTopBarPanel& top = *play.TopBar();
    EXPECT_EQ(top.DayPhase(), 2);
    EXPECT_FLOAT_EQ(top.bubbles[0]->Colour().a, 1.0f);
    EXPECT_FLOAT_EQ(top.bubbles[1]->Colour().a, 0.0f);

    RunSeconds(236);
    EXPECT_FALSE(play.IsDay());
    EXPECT_EQ(ambient.towardsA, 0u);
    // The fade starts from the day's colour and lands on the night's in 1.5 s.
    EXPECT_GT(ambient.current.x, ambient.setB.x);
    RunSeconds(2);
    EXPECT_FLOAT_EQ(ambient.current.x, ambient.setB.x);
    EXPECT_FLOAT_EQ(ambient.current.z, ambient.setB.z);
    // At night the bubbles fade away.
    RunSeconds(5);
    for (CUiStatic* bubble : top.bubbles) EXPECT_FLOAT_EQ(bubble->Colour().a, 0.0f);
}

}  // namespace
