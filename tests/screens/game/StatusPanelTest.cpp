// The hero portraits loaded from the sample folder's layout over a small
// match: the rows by team, the enemies' reveal order, the gauges and the
// revival count.
#include "screens/game/StatusPanel.h"

#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "engine/resource/ResourceManager.h"
#include "tests/fixtures/StubTexture.h"
#include "tests/screens/game/PlayMatchFixture.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiGauge.h"
#include "ui/UiStatic.h"
#include "world/SkillInstance.h"

namespace {

class StatusPanelTest : public PlayMatchTest {
protected:
    void SetUp() override {
        PlayMatchTest::SetUp();
        if (HasFatalFailure()) return;
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        RegisterStubTextures(*g_pResourceManager);
        CMessageTable& messages = g_pMessageTable ? *g_pMessageTable : ownMessages;
        messages.SetMsg(MSG_GAMEPLAY_PLAYER_INFO, "%s (%s)");
        // The local player plays slot 2; 0 and 4 are its team mates, 7 and 9 the enemy.
        World().localSlot = 2;
        for (int32_t slot : {0, 2, 4, 7, 9}) heroes[slot] = Hero(slot, 3, slot < 6 ? "Ally" : "Foe");
    }
    void Load() {
        panel = new CStatusPanel();
        layout = g_pResourceManager->GetResource(CStatusPanel::kLayout, RES_LAYOUT, panel, 1);
        ASSERT_NE(layout, nullptr) << ErrorReport().Text();
    }
    void TearDown() override {
        if (layout) g_pResourceManager->ReleaseResource(layout);
        PlayMatchTest::TearDown();
    }
    int32_t EnemyAt(size_t i) const { return panel->enemies[i].hero; }
    bool EnemyRowShown(size_t i) const { return !panel->enemyRows[i].face->HasFlags(UI_HIDDEN); }

    CUnit* heroes[12] = {};
    CStatusPanel* panel = nullptr;  // owned by its layout
    CResource* layout = nullptr;
};

TEST_F(StatusPanelTest, TheLocalHeroLeadsItsTeamAndTheEnemiesWaitHidden) {
    Load();
    EXPECT_EQ(panel->AllyCount(), 3);
    EXPECT_EQ(panel->allies[0].hero, 2);
    EXPECT_EQ(panel->allies[1].hero, 0);
    EXPECT_EQ(panel->allies[2].hero, 4);
    EXPECT_FALSE(panel->allies[0].face->HasFlags(UI_HIDDEN));
    ASSERT_NE(heroes[0]->record, nullptr);
    // Who plays the hero is the name's tooltip.
    EXPECT_EQ(panel->allies[1].name->Text(), heroes[0]->record->name + " (nickAlly)");
    for (size_t row = 3; row < panel->allies.size(); ++row) {
        EXPECT_EQ(panel->allies[row].hero, -1);
        EXPECT_TRUE(panel->allies[row].face->HasFlags(UI_HIDDEN)) << row;
        EXPECT_TRUE(panel->allies[row].hp->HasFlags(UI_HIDDEN)) << row;
    }
    ASSERT_EQ(panel->enemies.size(), 2u);
    for (size_t i = 0; i < panel->enemyRows.size(); ++i) EXPECT_FALSE(EnemyRowShown(i)) << i;

    // A hero that is gone empties its row at the next refresh.
    World().UnregisterObject(heroes[4]);
    heroes[4] = nullptr;
    panel->Update(CStatusPanel::kRefreshInterval);
    EXPECT_EQ(panel->allies[2].hero, -1);
    EXPECT_TRUE(panel->allies[2].face->HasFlags(UI_HIDDEN));
}

TEST_F(StatusPanelTest, EnemiesShowByRevealValueWithALeaverFirst) {
    Load();
    heroes[7]->revealValue = 0.5f;
    heroes[9]->revealValue = 2.0f;
    panel->Update(0.1f);
    EXPECT_FALSE(EnemyRowShown(0));  // not before the refresh time
    panel->Update(0.1f);
    EXPECT_EQ(EnemyAt(0), 9);
    EXPECT_TRUE(EnemyRowShown(0));
    EXPECT_FALSE(EnemyRowShown(1));

    // A dead enemy is shown whatever its reveal value.
    heroes[7]->alive = 0;
    panel->Refresh();
    EXPECT_TRUE(EnemyRowShown(1));
    heroes[7]->alive = 1;

    // The player of slot 7 leaves: the hero goes first, under the cover.
    World().slotGone[7] = true;
    panel->Refresh();
    EXPECT_EQ(EnemyAt(0), 7);
    EXPECT_EQ(EnemyAt(1), 9);
    EXPECT_TRUE(EnemyRowShown(0));
    EXPECT_TRUE(EnemyRowShown(1));
    EXPECT_EQ(panel->enemyRows[0].face->ImageName(), std::string());
    EXPECT_NE(panel->enemyRows[0].face->Image(), nullptr);

    // Outside the normal mode the enemy rows stay as they are.
    World().matchKind = 1;
    heroes[9]->revealValue = 0.0f;
    panel->Refresh();
    EXPECT_TRUE(EnemyRowShown(1));
}

TEST_F(StatusPanelTest, GaugesFollowHitPointsAndTheThirdSkill) {
    Load();
    CUnit& own = *heroes[2];
    own.hitPoints = 150.0f;
    panel->Refresh();
    EXPECT_FLOAT_EQ(panel->allies[0].hp->Percent(), 150.0f / own.GetStat(5) * 100.0f);
    // Two skills: no third one, an empty gauge.
    ASSERT_GE(harness.GiveSkill(2, "Call"), 0);
    ASSERT_GE(harness.GiveSkill(2, "Call"), 0);
    panel->Refresh();
    EXPECT_FLOAT_EQ(panel->allies[0].cooldown->Percent(), 0.0f);
    ASSERT_GE(harness.GiveSkill(2, "Call"), 0);
    CSkillInstance& third = *own.skills[2];
    const float cooldown = third.Cooldown();
    ASSERT_GT(cooldown, 0.0f);
    struct Case {
        float elapsed;
        int level;
        float percent;
    } const cases[] = {
        {cooldown / 2, 1, 50.0f},
        {cooldown * 3, 1, 100.0f},
        {CSkillInstance::kReady, 1, 100.0f},
        {cooldown / 2, 0, 0.0f},  // not learned yet
    };
    for (const Case& c : cases) {
        third.cooldownElapsed = c.elapsed;
        third.level = c.level;
        EXPECT_FLOAT_EQ(CStatusPanel::CooldownPercent(own), c.percent) << c.elapsed << " " << c.level;
    }

    const struct {
        float hp, maximum, percent;
    } hpCases[] = {{150, 300, 50}, {450, 300, 100}, {10, 0, 0}, {-5, 300, 0}};
    for (const auto& c : hpCases) EXPECT_FLOAT_EQ(CStatusPanel::HitPointPercent(c.hp, c.maximum), c.percent) << c.hp;
}

TEST_F(StatusPanelTest, ALowFaceBlinksAndADeadHeroCountsItsRevival) {
    const struct {
        float hp, maximum, running;
        bool blinks;
    } cases[] = {
        {40, 300, 0.2f, true}, {40, 300, 0.7f, false}, {50, 300, 0.2f, false}, {10, 0, 0.2f, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CStatusPanel::FaceBlinks(c.hp, c.maximum, c.running), c.blinks) << c.hp << " " << c.running;

    Load();
    CUnit& mate = *heroes[0];
    mate.hitPoints = 0;
    mate.alive = 0;
    mate.order.kind = 4;
    mate.order.subKind = 7;
    mate.revivalTime = 12.7f;
    panel->Refresh();
    EXPECT_FLOAT_EQ(panel->allies[1].hp->Percent(), 0.0f);
    EXPECT_EQ(panel->allies[1].name->GetText(), "12");
    // Revived, the count goes.
    mate.alive = 1;
    mate.hitPoints = 100;
    mate.order.kind = 0;
    panel->Refresh();
    EXPECT_EQ(panel->allies[1].name->GetText(), "");
}

}  // namespace
