// The top strip loaded from the sample folder's layout over the sample map:
// the slide, the clock, the day bubbles, the count-down cells and the guardians.
#include "screens/game/TopBarPanel.h"

#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/resource/ResourceManager.h"
#include "tools/WorldHarness.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiGauge.h"
#include "ui/UiStatic.h"
#include "world/MapScenario.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

class TopBarPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        harness.MakeCurrent(0);
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        panel = new CTopBarPanel();
        layout = g_pResourceManager->GetResource(CTopBarPanel::kLayout, RES_LAYOUT, panel, 1);
        ASSERT_NE(layout, nullptr) << ErrorReport().Text();
    }
    void TearDown() override {
        if (layout) g_pResourceManager->ReleaseResource(layout);
    }
    CWorldObjectManager& World() { return harness.machine(0).map->objects; }
    CMapScenario& Scenario() { return harness.machine(0).map->scenario; }

    CWorldHarness harness;
    CTopBarPanel* panel = nullptr;  // owned by its layout
    CResource* layout = nullptr;
};

TEST_F(TopBarPanelTest, TheSlideWaitsForAHundredthAndLandsOnThirtySixPixels) {
    CUiObject* strip = panel->clock;
    const float top = strip->Position().y;
    panel->StartSlide(true);
    panel->Slide(0.004f);
    panel->Slide(0.004f);
    EXPECT_FLOAT_EQ(strip->Position().y, top);
    panel->Slide(0.004f);
    EXPECT_FLOAT_EQ(strip->Position().y, top - 1.0f);
    for (int i = 0; i < 100 && panel->Sliding(); ++i) panel->Slide(0.033f);
    EXPECT_FALSE(panel->Sliding());
    EXPECT_FLOAT_EQ(panel->SlideMoved(), 36.0f);
    EXPECT_FLOAT_EQ(strip->Position().y, top - 36.0f);
    EXPECT_TRUE(strip->HasFlags(UI_HIDDEN));
    // And back down, shown again.
    panel->StartSlide(false);
    for (int i = 0; i < 100 && panel->Sliding(); ++i) panel->Slide(0.05f);
    EXPECT_FLOAT_EQ(strip->Position().y, top);
    EXPECT_FALSE(strip->HasFlags(UI_HIDDEN));
}

TEST_F(TopBarPanelTest, TheClockPicksItsTextByTheLargestUnit) {
    const struct {
        float clock;
        std::string text;
    } cases[] = {
        {59.0f, FormatText(GetMessageText(MSG_TIME_SEC), 59)},
        {60.0f, FormatText(GetMessageText(MSG_TIME_MIN_SEC), 1, 0)},
        {3600.0f, FormatText(GetMessageText(MSG_TIME_HOUR_MIN_SEC), 1, 0, 0)},
        {3725.5f, FormatText(GetMessageText(MSG_TIME_HOUR_MIN_SEC), 1, 2, 5)},
    };
    for (const auto& c : cases) {
        World().gameClock = c.clock;
        panel->UpdateClock();
        EXPECT_EQ(panel->clock->GetText(), c.text) << c.clock;
    }
}

TEST_F(TopBarPanelTest, BubblesLightByTheMinuteAndFadeAtNight) {
    const struct {
        float clock;
        int phase;
        float alphas[5];
    } cases[] = {
        {0.0f, 0, {0, 0, 0, 0, 0}},
        {125.0f, 2, {1, 0, 0, 0, 0}},
        {300.0f, 5, {1, 1, 1, 1, 0}},
        {365.0f, 0, {0, 0, 0, 0, 0}},  // the next day
    };
    for (const auto& c : cases) {
        panel->dayClock = c.clock;
        panel->UpdateDayNight(0.016f);
        EXPECT_EQ(panel->DayPhase(), c.phase) << c.clock;
        for (int k = 0; k < 5; ++k) EXPECT_FLOAT_EQ(panel->bubbles[k]->Colour().a, c.alphas[k]) << c.clock << " " << k;
    }
    panel->dayClock = 300.0f;
    panel->UpdateDayNight(0.016f);
    panel->night = true;
    panel->UpdateDayNight(1.0f);
    EXPECT_NEAR(panel->bubbles[0]->Colour().a, 0.7f, 1e-5f);
    for (int i = 0; i < 10; ++i) panel->UpdateDayNight(1.0f);
    EXPECT_FLOAT_EQ(panel->bubbles[0]->Colour().a, 0.0f);
    panel->dayClock = 0.0f;  // night is one-way
    panel->UpdateDayNight(0.016f);
    EXPECT_FLOAT_EQ(panel->bubbles[0]->Colour().a, 0.0f);
}

TEST_F(TopBarPanelTest, CountdownCellsAndTheirLimit) {
    const std::array<int, 5> expected{1, 2, 3, 4, 5};
    EXPECT_EQ(CTopBarPanel::CountdownDigits(12345.7f), expected);
    EXPECT_EQ(CTopBarPanel::CountdownDigits(123456.0f), (std::array<int, 5>{9, 9, 9, 9, 9}));
    EXPECT_EQ(CTopBarPanel::CountdownDigits(-3.0f), (std::array<int, 5>{0, 0, 0, 0, 0}));

    Scenario().Lords().lordTime = 12345.0f + 100.0f;
    World().gameClock = 100.0f;
    panel->DrawCountdown();
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(panel->digits[i]->Uv()[0], 0.1f * (i + 1), 1e-6f) << i;
        EXPECT_NEAR(panel->digits[i]->Uv()[2], 0.1f * (i + 2), 1e-6f) << i;
        EXPECT_FLOAT_EQ(panel->digits[i]->Uv()[5], 1.0f);
    }
    // Past the guardians' time the cells go.
    World().gameClock = 20000.0f;
    panel->DrawCountdown();
    EXPECT_TRUE(panel->digits[0]->HasFlags(UI_HIDDEN));
}

TEST_F(TopBarPanelTest, AGuardianlessSideStaysAsLoaded) {
    const int32_t lord = harness.SpawnUnit("Creep", {200, 0, 200}, 13, 1, 400);
    harness.Unit(0, lord)->hitPoints = 100.0f;
    LordBlock& lords = Scenario().Lords();
    lords.lordTime = 600.0f;
    lords.entries[0].lordObjectId = -1;
    lords.entries[1].lordObjectId = lord;
    panel->guardianFadeIn = true;
    for (int i = 0; i < 200 && panel->guardianFadeIn; ++i) panel->Animate(0.1f, 0);
    panel->UpdateGuardians();
    const CTopBarPanel::Guardian& light = panel->guardians[0];
    const CTopBarPanel::Guardian& dark = panel->guardians[1];
    EXPECT_TRUE(light.hp->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(light.name->GetText().empty());
    EXPECT_FLOAT_EQ(light.hp->Percent(), 0.0f);
    EXPECT_FALSE(dark.hp->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(dark.name->GetText().empty());
    EXPECT_FLOAT_EQ(dark.hp->Percent(), 25.0f);
    // The shown guardian's god gauge carries its maximum; the empty side has none.
    EXPECT_FLOAT_EQ(dark.godGauge, 400.0f);
    EXPECT_LT(light.godGauge, 0.0f);
    panel->Render();
    EXPECT_EQ(dark.shell->GetText(), "400");
    EXPECT_EQ(light.shell->GetText(), "");
    // A maximum of 0 leaves the gauge at 0.
    harness.Unit(0, lord)->stats.final[5] = 0.0f;
    panel->UpdateGuardians();
    EXPECT_FLOAT_EQ(dark.hp->Percent(), 0.0f);
}

}  // namespace
