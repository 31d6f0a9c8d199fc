// The play screen's input: hot keys and modes on scripted key states, mouse
// orders and their records, picks over small scenes, map alerts, the unit
// label and the unit information window.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "commands/CommandRecords.h"
#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "screens/game/FloatingText.h"
#include "screens/game/MiniMap.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/UnitInfoWindow.h"
#include "screens/game/UnitTooltipWindow.h"
#include "tests/fixtures/SampleTexts.h"
#include "tools/PlayInputLayouts.h"
#include "tests/screens/game/PlayScreenFixture.h"
#include "ui/UiGauge.h"
#include "ui/UiStatic.h"
#include "world/SpatialTree.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

using namespace platform;

namespace {

class PlayInputTest : public PlayScreenTest {
protected:
    // A single-player match, loaded, the hero selected, the camera looking
    // down on the hero from the south.
    CPlayScreen& Start() {
        CPlayScreen& play = Make(1);
        Step();
        // Through the middle of the hero's small box.
        const Vec3 centre = Hero().bounds.center;
        camera.SetLookAt({centre.x, centre.y + 220, centre.z - 140}, centre, camera.fov);
        camera.view = MatrixLookAtLH(camera.eye, camera.target, camera.up);
        return play;
    }
    // Buttons for one input read at a cursor point.
    void Mouse(int32_t x, int32_t y, bool left, bool right = false) {
        input->SetCursor(x, y);
        input->SetButton(0, left);
        input->SetButton(1, right);
    }
    CUnit& Hero() { return *harness.Unit(0, hero); }
};

TEST_F(PlayInputTest, HotKeysByModeAndGameMode) {
    struct Case {
        const char* what;
        int gameMode;
        int mode;
        std::vector<uint8_t> keys;
        int result;
        int modeAfter;
    };
    const Case cases[] = {
        {"chat mode takes no hot key, F9 neither", 1, 5, {DIK_F9}, 1, 5},
        {"UI-only mode takes no hot key", 1, 10, {DIK_A}, 1, 10},
        {"F9 cancels and takes the frame", 1, 0, {DIK_F9}, 0, 0},
        {"A enters attack targeting", 1, 0, {DIK_A}, 0, 1},
        {"A in attack targeting lets the mode run", 1, 1, {DIK_A}, 1, 1},
        {"P patrol", 1, 0, {DIK_P}, 0, 6},
        {"M move", 1, 0, {DIK_M}, 0, 7},
        {"G map alert", 1, 0, {DIK_G}, 0, 9},
        {"D combination pick", 1, 0, {DIK_D}, 0, 8},
        {"no order keys in a replay", 3, 0, {DIK_A}, 1, 0},
        {"no order keys for an observer", 4, 0, {DIK_P}, 1, 0},
        {"F9 ends an item hold", 1, 3, {DIK_F9}, 0, 0},
        {"item keys are ignored with an item held", 1, 3, {DIK_1}, 1, 3},
    };
    CPlayScreen& play = Start();
    for (const Case& c : cases) {
        World().gameMode = c.gameMode;
        play.Selection().selected = {hero};
        play.SetInputMode(c.mode);
        Keys({});
        std::vector<uint8_t> keys = c.keys;
        for (uint8_t k : keys) input->SetKey(k, true);
        host.input.UpdateInput(0.033f, 1);
        EXPECT_EQ(play.HandleHotkeys(), c.result) << c.what;
        EXPECT_EQ(play.InputMode(), c.modeAfter) << c.what;
    }
    // F11 and T flip their flags and let the mode go on.
    World().gameMode = 1;
    play.SetInputMode(0);
    Keys({});
    Keys({DIK_F11});
    EXPECT_EQ(play.HandleHotkeys(), 1);
    EXPECT_TRUE(play.ShowStatistics());
    Keys({});
    Keys({DIK_T});
    EXPECT_EQ(play.HandleHotkeys(), 1);
    EXPECT_TRUE(play.FollowSelected());
}

TEST_F(PlayInputTest, ControlGroupsStoreRecallAndJumpOnADoublePress) {
    CPlayScreen& play = Start();
    Mouse(512, 700, false);
    Keys({DIK_LCONTROL, DIK_F3});
    play.InputModeNormal();
    EXPECT_EQ(play.UiHit(), nullptr);
    EXPECT_EQ(play.Waiting(), false);
    EXPECT_EQ(play.UnitGroup(0), std::vector<int32_t>{hero});

    play.Selection().selected.clear();
    Keys({});
    Keys({DIK_F3}, 0.3f);
    play.InputModeNormal();
    EXPECT_EQ(play.Selection().selected, std::vector<int32_t>{hero});
    EXPECT_EQ(play.RecalledGroup(), 0);

    // Away from the hero, a second press within 0.2 s brings the camera back.
    camera.SetTarget({300, 0, 300}, 1);
    Keys({});
    Keys({DIK_F3});
    play.InputModeNormal();
    EXPECT_FLOAT_EQ(camera.target.x, Hero().position.x);
    EXPECT_FLOAT_EQ(camera.target.z, Hero().position.z);

    // An empty group recalls nothing.
    Keys({});
    Keys({DIK_F4});
    play.InputModeNormal();
    EXPECT_EQ(play.Selection().selected, std::vector<int32_t>{hero});
}

TEST_F(PlayInputTest, StopSkipsStunnedUnitsAndClearsQueuedOrders) {
    CPlayScreen& play = Start();
    const int32_t other = harness.SpawnUnit("Creep", {140, 0, 100}, 0, 0);
    CUnit& second = *harness.Unit(0, other);
    for (CUnit* u : {&Hero(), &second}) {
        u->SetOrder(3, 1, {300, 0, 300}, -1, -1, 1);
        u->queuedOrders.Add(3, 1, {10, 0, 10}, -1, -1, false);
    }
    second.conditions[4] = 1;
    play.Selection().selected = {hero, other};
    Keys({});
    Keys({DIK_S});
    play.HandleHotkeys();
    EXPECT_EQ(Hero().queuedOrders.Count(), 0);
    EXPECT_EQ(second.queuedOrders.Count(), 1);
    ASSERT_EQ(Queued(CMD_UNIT_STOP).size(), 1u);
    EXPECT_EQ(Queued(CMD_UNIT_STOP)[0]->I16(2), hero);
}

TEST_F(PlayInputTest, AQueuedOrderIsRefusedAtTwelveAndAcceptedAtEleven) {
    CPlayScreen& play = Start();
    CUnit& unit = Hero();
    unit.SetOrder(3, 1, {300, 0, 300}, -1, -1, 1);
    for (int i = 0; i < 11; ++i) unit.queuedOrders.Add(3, 1, {10, 0, 10}, -1, -1, false);
    EXPECT_EQ(play.OrderUnit(unit, 3, 1, {50, 0, 50}, -1, 1), 1);
    EXPECT_EQ(unit.queuedOrders.Count(), 12);
    EXPECT_EQ(play.LastRefusal(), -1);
    EXPECT_EQ(play.OrderUnit(unit, 3, 1, {60, 0, 60}, -1, 1), 0);
    EXPECT_EQ(unit.queuedOrders.Count(), 12);
    EXPECT_EQ(play.LastRefusal(), MSG_GAMEPLAY_RESERVATION_ORDER);
    // A stunned unit takes nothing, queued or not.
    unit.conditions[4] = 1;
    EXPECT_EQ(play.OrderUnit(unit, 3, 1, {60, 0, 60}, -1, 0), 0);
}

TEST_F(PlayInputTest, RightClickMovesTheSelectionAndNeverChasesItself) {
    CPlayScreen& play = Start();
    // Nothing selected: nothing ordered.
    play.Selection().selected.clear();
    Mouse(800, 300, false, true);
    Step();
    Mouse(800, 300, false, false);
    Step();
    EXPECT_TRUE(Queued(CMD_UNIT_ORDER).empty());
    EXPECT_EQ(Hero().order.kind, 0);

    // The hero on the ground to the side: a move with the move marker.
    play.Selection().selected = {hero};
    Mouse(800, 300, false, true);
    Step();
    Mouse(800, 300, false, false);
    host.input.UpdateInput(0.033f, 1);
    play.SetInputMode(0);
    play.RunInputStep(0.033f);
    const std::vector<CGameCommand*> orders = Queued(CMD_UNIT_ORDER);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0]->U8(2), 3);
    EXPECT_EQ(orders[0]->U8(3), 1);
    EXPECT_EQ(orders[0]->I16(8), hero);
    EXPECT_EQ(play.ActiveClickMarker(), 0);
    EXPECT_GT(play.ClickMarkerPoint().x, Hero().position.x);
}

TEST_F(PlayInputTest, TargetModesGivePatrolLegsAndInRangeAttacks) {
    CPlayScreen& play = Start();
    const int32_t enemy = harness.SpawnUnit("Creep", {110, 0, 100}, 6, 1);
    ASSERT_GE(enemy, 0);
    Hero().attackRange = 30;
    play.Selection().selected = {hero};

    struct Case {
        int mode;
        bool shift;
        int returnLegs;
    };
    for (const Case c : {Case{CPlayScreen::INPUT_PATROL, false, 1}, Case{CPlayScreen::INPUT_PATROL, true, 0}}) {
        Hero().queuedOrders.Clear();
        Hero().orderRequested = 0;
        play.SetInputMode(c.mode);
        Keys(c.shift ? std::initializer_list<uint8_t>{DIK_LSHIFT} : std::initializer_list<uint8_t>{});
        Mouse(850, 250, true);
        host.input.UpdateInput(0.033f, 1);
        Mouse(850, 250, false);
        host.input.UpdateInput(0.033f, 1);
        play.RunInputStep(0.033f);
        EXPECT_EQ(play.InputMode(), 0) << c.shift;
        EXPECT_EQ(Hero().queuedOrders.Count(), c.returnLegs) << c.shift;
        EXPECT_EQ(play.ActiveClickMarker(), 2);
    }
}

// Objects in a row on a level ray through their middles, along z = 160 (the
// hero stands aside at (100, 100)).
class PlayPickTest : public PlayInputTest {
protected:
    void Line(CPlayScreen& play, int32_t near, int32_t far) {
        nearId = near;
        farId = far;
        const float y = Hero().bounds.center.y;
        camera.SetLookAt({40, y, 160}, {300, y, 160}, camera.fov);
        camera.view = MatrixLookAtLH(camera.eye, camera.target, camera.up);
        Mouse(512, 384, false);
        host.input.UpdateInput(0.033f, 1);
        // The UI-only mode only gathers the visible list and the pick ray.
        play.SetInputMode(CPlayScreen::INPUT_UI_ONLY);
        play.RunInputStep(0);
        play.SetInputMode(0);
    }
    int32_t nearId = -1, farId = -1;
};

TEST_F(PlayPickTest, NearerPassingTargetWinsAndAltPicksTheFarthest) {
    CPlayScreen& play = Start();
    const int32_t near = harness.SpawnUnit("Creep", {150, 0, 160}, 6, 1);
    const int32_t far = harness.SpawnUnit("Creep", {200, 0, 160}, 6, 1);
    Line(play, near, far);
    CWorldObject* hover = play.PickHoverObject(&Hero(), 0);
    ASSERT_NE(hover, nullptr);
    EXPECT_EQ(hover->id, near);
    EXPECT_EQ(play.HoveredObject(), near);
    hover = play.PickHoverObject(&Hero(), 1);
    ASSERT_NE(hover, nullptr);
    EXPECT_EQ(hover->id, far);

    // The nearer one cannot be targeted: the farther, passing one is the target.
    harness.Object(0, near)->stateFlags |= 0x80000;
    int32_t failure = -2;
    CWorldObject* target = play.PickOrderTarget(&Hero(), 0, 0, &failure, 1, 0);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->id, far);
    EXPECT_EQ(failure, -1);
    EXPECT_FLOAT_EQ(target->colorScale.x, 0.6f);
    // Its tint goes with the next pick.
    play.ClearHoverHighlight();
    EXPECT_FLOAT_EQ(target->colorScale.x, 1.0f);
    // With only the failing one on the ray, it comes back with its failure.
    harness.Object(0, far)->alive = 0;
    target = play.PickOrderTarget(&Hero(), 0, 0, &failure, 1, 0);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->id, near);
    EXPECT_GE(failure, 0);
}

TEST_F(PlayPickTest, AttackOnATargetInReachUsesTheInRangeKind) {
    CPlayScreen& play = Start();
    const int32_t enemy = harness.SpawnUnit("Creep", {150, 0, 160}, 6, 1);
    Line(play, enemy, -1);
    play.Selection().selected = {hero};
    struct Case {
        float range;
        int subKind;
    };
    // The enemy stands 78 away, less its radius.
    for (const Case c : {Case{30, 3}, Case{80, 5}}) {
        Commands().ClearQueue();
        Hero().orderRequested = 0;
        Hero().attackRange = c.range;
        play.SetInputMode(CPlayScreen::INPUT_ATTACK);
        Mouse(512, 384, true);
        host.input.UpdateInput(0.033f, 1);
        Mouse(512, 384, false);
        host.input.UpdateInput(0.033f, 1);
        play.HandleInput();
        const std::vector<CGameCommand*> orders = Queued(CMD_UNIT_ORDER);
        ASSERT_EQ(orders.size(), 1u) << c.range;
        EXPECT_EQ(orders[0]->U8(2), 2);
        EXPECT_EQ(orders[0]->U8(3), c.subKind) << c.range;
        EXPECT_EQ(orders[0]->I16(10), enemy);
        EXPECT_EQ(play.InputMode(), 0);
    }
    // The right button on the selected hero itself orders nothing.
    Commands().ClearQueue();
    Hero().orderRequested = 0;
    Hero().TeleportTo({60, 0, 230});
    camera.SetLookAt({60, Hero().bounds.center.y, 200}, Hero().bounds.center, camera.fov);
    camera.view = MatrixLookAtLH(camera.eye, camera.target, camera.up);
    Mouse(512, 384, false, true);
    host.input.UpdateInput(0.033f, 1);
    Mouse(512, 384, false, false);
    host.input.UpdateInput(0.033f, 1);
    play.RunInputStep(0.033f);
    EXPECT_EQ(play.HoveredObject(), hero);
    EXPECT_TRUE(Queued(CMD_UNIT_ORDER).empty());
}

TEST(PlayInputPicks, TheTargetSquareCountsItsEdges) {
    struct Case {
        int32_t low[2], high[2];
        bool touches;
    };
    // Pointer at (100, 100): the square spans 80..120 on both axes.
    const Case cases[] = {
        {{60, 90}, {80, 110}, true},    {{60, 90}, {79, 110}, false},  {{120, 90}, {140, 110}, true},
        {{121, 90}, {140, 110}, false}, {{90, 60}, {110, 80}, true},   {{90, 121}, {110, 130}, false},
        {{0, 0}, {1000, 1000}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPlayScreen::TouchesTargetSquare(c.low, c.high, 100, 100), c.touches) << c.low[0] << "," << c.low[1];
}

TEST_F(PlayInputTest, ADragFromAnOwnUnitIsDragSelectInTheSameFrame) {
    CPlayScreen& play = Start();
    play.Selection().selected.clear();
    // The camera looks at the hero: the screen centre is on it.
    Mouse(512, 384, true);
    Step();
    EXPECT_EQ(play.InputMode(), CPlayScreen::INPUT_DRAG);
    Mouse(512, 384, false);
    Step();
    EXPECT_EQ(play.InputMode(), 0);
    EXPECT_EQ(play.Selection().selected, std::vector<int32_t>{hero});
}

TEST(PlayInputEdges, EdgeCursorIsTheSumOfTheTouchedEdges) {
    struct Case {
        int32_t x, y, want;
    };
    const Case cases[] = {{500, 300, 0}, {0, 300, 1}, {500, 0, 2}, {0, 0, 3}, {1023, 300, 4}, {1023, 0, 6},
                          {500, 767, 8}, {0, 767, 9}, {1023, 767, 12}, {-5, -5, 3}};
    for (const Case& c : cases) EXPECT_EQ(CPlayScreen::EdgeCursorIndex(c.x, c.y, 1024, 768), c.want) << c.x << "," << c.y;
}

TEST(PlayInputMiniMap, ConversionsAtTheRectangleEdges) {
    CZEMMap::MinimapRect rect;
    rect.left = 10;
    rect.top = 500;
    rect.width = 200;
    rect.height = 100;
    rect.scaleX = 0.5f;
    rect.scaleZ = 0.25f;
    const CMiniMap map(rect);
    float x = -1, z = -1;
    ASSERT_EQ(map.ScreenToMap(10, 599, &x, &z), 1);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(z, 1.0f / 0.25f);
    x = z = -7;
    EXPECT_EQ(map.ScreenToMap(10, 600, &x, &z), 0);
    EXPECT_EQ(map.ScreenToMap(210, 550, &x, &z), 0);
    EXPECT_FLOAT_EQ(x, -7.0f);
    int32_t sx = 0, sy = 0;
    EXPECT_EQ(map.MapToScreen(100, 100, &sx, &sy), 1);
    EXPECT_EQ(sx, 60);
    EXPECT_EQ(sy, 575);
    // Left of the map: outside, the outputs written all the same.
    EXPECT_EQ(map.MapToScreen(-10, 100, &sx, &sy), 0);
    EXPECT_EQ(sx, 5);
    EXPECT_EQ(sy, 575);
    // A rectangle never fitted converts nothing.
    const CMiniMap empty{CZEMMap::MinimapRect{}};
    EXPECT_EQ(empty.ScreenToMap(0, 0, &x, &z), 0);
}

TEST(PlayInputMapAlert, PackedPointsKeepTheirSignAndStopAtTheRangeEnds) {
    struct Case {
        float x, z;
        int32_t wantX, wantZ;
    };
    const Case cases[] = {
        {100, 200, 100, 200}, {-30, -4000, -30, -4000}, {16383, -16384, 16383, -16384}, {50000, -50000, 16383, -16384},
    };
    for (const Case& c : cases) {
        const MapAlertFields f = UnpackMapAlert(PackMapAlert({c.x, 0, c.z}, 1));
        EXPECT_EQ(f.x, c.wantX) << c.x;
        EXPECT_EQ(f.z, c.wantZ) << c.z;
        EXPECT_EQ(f.kind, 1u);
    }
}

TEST_F(PlayInputTest, MapAlertModeSendsOneRecordPerPress) {
    CPlayScreen& play = Start();
    Keys({});
    Keys({DIK_G});
    play.HandleHotkeys();
    ASSERT_EQ(play.InputMode(), CPlayScreen::INPUT_MAP_ALERT);
    Keys({});
    Mouse(700, 300, true);
    host.input.UpdateInput(0.033f, 1);
    play.RunInputStep(0.033f);
    host.input.UpdateInput(0.033f, 1);  // held
    play.SetInputMode(CPlayScreen::INPUT_MAP_ALERT);
    play.RunInputStep(0.033f);
    const std::vector<CGameCommand*> alerts = Queued(CMD_MAP_ALERT);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->I16(2), World().localSlot);
    EXPECT_EQ(UnpackMapAlert(alerts[0]->U32(4)).kind, 1u);
}

TEST_F(PlayInputTest, MapAlertRecordsByKindAndSide) {
    CPlayScreen& play = Start();
    ASSERT_NE(g_pZEMMap, nullptr);
    g_pZEMMap->SetMinimapRect(800, 560, 200, 200);
    const int32_t foe = harness.SpawnUnit("Creep", {300, 0, 300}, 6, 1);
    struct Case {
        int32_t unit;
        uint32_t kind;
        size_t marks;
        float green;
    };
    const Case cases[] = {
        {foe, 0, 1, 0},    // another side's alert: red
        {hero, 0, 0, 0},   // kind 0 is for the other side only
        {hero, 1, 1, 0},   // own side: the ring and the sound
        {foe, 1, 0, 0},    //
        {hero, 2, 1, 1},   // own side, yellow
        {-1, 1, 0, 0},     // no unit: nothing
    };
    for (const Case& c : cases) {
        const size_t before = play.MapAlertMarks().size();
        Commands().BuildMapAlert(c.unit, {400, 0, 500}, c.kind, 0);
        play.DispatchGameCommands(0);
        ASSERT_EQ(play.MapAlertMarks().size() - before, c.marks) << c.unit << " kind " << c.kind;
        if (c.marks) {
            EXPECT_FLOAT_EQ(play.MapAlertMarks().back().color[1], c.green);
            // The ring floats over the minimap, drawn over the windows.
            const CFloatingText* ring = play.FloatingTexts().Items().back();
            ASSERT_EQ(ring->type, static_cast<uint32_t>(FT_MAP_ALERT));
            EXPECT_EQ(ring->Argb(), c.green ? 0xFFFFFF00u : 0xFFFF0000u);
        }
    }
}

TEST_F(PlayInputTest, ObjectAlertBlinksEveryPointEightSecondsAndEndsAfterTwoPointFour) {
    CPlayScreen& play = Start();
    g_pZEMMap->SetMinimapRect(800, 560, 200, 200);
    play.SetAlertObject(hero);
    const size_t before = play.MapAlertMarks().size();
    play.UpdateObjectAlert(0.1f);
    EXPECT_EQ(play.MapAlertMarks().size(), before + 1);
    play.UpdateObjectAlert(0.1f);  // still in the first half: no second ring
    EXPECT_EQ(play.MapAlertMarks().size(), before + 1);
    play.UpdateObjectAlert(0.3f);  // 0.5: the dark half
    play.UpdateObjectAlert(0.4f);  // 0.9: the next ring
    EXPECT_EQ(play.MapAlertMarks().size(), before + 2);
    play.UpdateObjectAlert(1.4f);
    EXPECT_EQ(play.AlertObject(), hero);
    play.UpdateObjectAlert(0.2f);
    EXPECT_EQ(play.AlertObject(), -1);
}

TEST_F(PlayInputTest, UnitLabelNamesLevelAndPlayer) {
    SampleTexts texts;
    Start();
    session.slots[0].nickname = "Rinn";
    CUnit& unit = Hero();
    unit.unitFlags |= 0x10;
    float lift = 0;
    const std::string own = CUnitTooltipWindow::BuildLabel(unit, World().localTeam, &lift);
    EXPECT_FLOAT_EQ(lift, CUnitTooltipWindow::kPlayerLift);
    EXPECT_EQ(own, FormatText(GetMessageText(MSG_GAMEPLAY_ID_PLAYER), unit.level, "</C=ffffff>", unit.record->text,
                              "</C=ffffff>", "Rinn"));
    EXPECT_NE(own.find("Rinn"), std::string::npos);

    const int32_t creep = harness.SpawnUnit("Creep", {300, 0, 300}, 24 + 1, 1);
    CUnit& other = *harness.Unit(0, creep);
    other.unitFlags |= 0x80;
    const std::string theirs = CUnitTooltipWindow::BuildLabel(other, World().localTeam, &lift);
    EXPECT_FLOAT_EQ(lift, CUnitTooltipWindow::kOtherLift);
    EXPECT_EQ(theirs, FormatText(GetMessageText(MSG_GAMEPLAY_ID_OTHER), other.level, "</C=ff8888>", other.record->text));

    // Neither a unit kind nor a levelled one: the plain name.
    other.unitFlags &= ~0x200000B0u;
    EXPECT_EQ(CUnitTooltipWindow::BuildLabel(other, World().localTeam, &lift), "</C=ff8888>" + other.record->text);
    EXPECT_FLOAT_EQ(lift, CUnitTooltipWindow::kOtherLift);

    float x = 0, y = 0;
    CUnitTooltipWindow::LabelPosition(100, 200, 120, 72, &x, &y);
    EXPECT_FLOAT_EQ(x, 82.0f);
    EXPECT_FLOAT_EQ(y, 121.0f);
}

TEST_F(PlayInputTest, UnitWindowShowsOnlyValidObjectsAndItsNumbers) {
    CPlayScreen& play = Start();
    CUnitInfoWindow* info = play.UnitInfo();
    ASSERT_NE(info, nullptr);
    struct Case {
        int32_t index;
        uint32_t flags;
        int32_t shown;
    };
    const Case cases[] = {{-1, 0, -1}, {9999, 0, -1}, {hero, 0x40, -1}, {hero, 0x40000000u, -1}, {hero, 0, hero}};
    for (const Case& c : cases) {
        Hero().stateFlags = c.flags;
        info->ShowObject(c.index);
        EXPECT_EQ(info->Shown(), c.shown) << c.index << " " << c.flags;
    }

    // Hit points 0: the gauge stays, the number reads 0 over the maximum.
    CUnit& unit = Hero();
    info->hpGauge->SetPercent(40);
    unit.hitPoints = 0;
    info->ShowObject(hero);
    EXPECT_FLOAT_EQ(info->hpGauge->Percent(), 40.0f);
    EXPECT_EQ(info->hpNumber->GetText(), FormatText("%d/%d", 0, static_cast<int32_t>(unit.GetStat(5))));
    // No "+" where a stat equals its base; one where it is above.
    unit.stats.final[0] = unit.stats.base[0];
    unit.stats.final[1] = unit.stats.base[1] + 4;
    info->ShowObject(hero);
    EXPECT_EQ(info->bonuses[0]->GetText(), "");
    EXPECT_EQ(info->bonuses[1]->GetText(), "+4");
    // A maximum of 0 shows nothing rather than an endless gauge.
    info->mpGauge->SetPercent(25);
    unit.stats.final[6] = 0;
    unit.mana = 10;
    info->ShowObject(hero);
    EXPECT_FLOAT_EQ(info->mpGauge->Percent(), 25.0f);
}

TEST(PlayInputEffects, BlinkThresholds) {
    struct Case {
        float remaining;
        float alpha;
        bool hidden;
    };
    const Case cases[] = {{6.0f, 1, false}, {5.0f, 1, false}, {4.9f, 1, false}, {4.7f, 1, true},
                          {1.0f, 1, false}, {0.5f, 0.5f, false}, {-1.0f, 0, false}};
    for (const Case& c : cases) {
        float alpha = -1;
        bool hidden = true;
        EffectBlink(c.remaining, &alpha, &hidden);
        EXPECT_FLOAT_EQ(alpha, c.alpha) << c.remaining;
        EXPECT_EQ(hidden, c.hidden) << c.remaining;
    }
}

}  // namespace

namespace {

// Every control name of the input windows' layouts once; the windows bind
// them when the match loads (a missing one fails the load).
TEST(PlayInputLayouts, ControlNamesAreUnique) {
    for (const LayoutFileSpec& spec : {UnitTooltipLayout(), UnitInfoLayout()}) {
        std::set<std::string> names;
        for (const LayoutRecordSpec& r : spec.children) EXPECT_TRUE(names.insert(r.name).second) << r.name;
    }
}

}  // namespace
