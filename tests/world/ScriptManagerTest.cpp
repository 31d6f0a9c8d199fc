#include "world/ScriptManager.h"

#include <gtest/gtest.h>

#include "engine/core/MessageBoxHost.h"
#include "engine/render/Camera.h"
#include "engine/render/Draw2D.h"
#include "platform/GfxRecordingDevice.h"
#include "ui/UiManager.h"
#include "ui/UiWindow.h"
#include "tests/world/TestScriptHost.h"
#include "tests/world/TriggerFixture.h"
#include "tools/SampleTutorial.h"
#include "world/SpatialTree.h"
#include "world/ScriptHost.h"

namespace {

struct ScriptFixture : TriggerFixture {
    int Load(const std::string& text) { return scripts.OpenText("TEST.DAT", text); }
    // Loads and starts a script with the map and hero lines in front.
    void Run(const std::string& body) {
        ASSERT_EQ(Load("MAPFILE map.ZEM\nHERO hero\n" + body), 1) << errors.Text();
        ASSERT_EQ(scripts.Start(), 1);
    }
    CTestScriptHost host;
    CScriptManager scripts;
};

}  // namespace

TEST_F(ScriptFixture, ParsesEveryKeywordIntoItsCommand) {
    AddUnitRecord("creep");
    Run(R"(; a comment
MISSION
{
    OBJECT_START gate
    CHECK_AREA Camp hero
    START
    {
        CREATE_OBJECT creep guard Camp 37 TRUE
        DIE_OBJECT guard
        MOVE_OBJECT hero Camp TRUE
        MOVE_CAMERA Camp 2.5 1.5 TRUE
        CONTROL_LOCK
        CONTROL_UNLOCK
        ALERT_AREA Camp
        RUN_TIMER 1
        STOP_TIMER 2
        DISPLAY_MSGBOX 3 "Hello\nthere"
        MESSAGE note
        FINISH_ITEM_COOLTIME potion
        GAME_PAUSE
        GAME_PLAY
        FLICKER_ON main ok
        FLICKER_OFF main ok
        ENABLE_TOWNPORTAL
        JUMP_OBJECT hero Camp
        STOP_EVENT 0
        LEVEL_UP hero 5
        SCREEN_FADE IN
        AGAIN_MISSION
        NEXT_MISSION
    }
    EVENT
    {
        RUN LOOP
        CONDITION
        {
            OP OR
            CHECK_AREA Camp hero
            CHECK_DIE_OBJECT guard
            CHECK_TIMER 1 10 IN
            CHECK_CLICK_MSGBOX 3
            CHECK_HP hero 50 IN
            CHECK_MP hero 20 OUT
            CHECK_CLICK_UI main ok RIGHT
            CHECK_INVENTORY_ITEM potion
            CHECK_SLOT_ITEM potion
            CHECK_ITEM_COUNT potion 3
        }
        EXECUTE
        {
            MESSAGE done
        }
    }
}
)");
    EXPECT_EQ(scripts.MapFile(), "map.ZEM");
    EXPECT_EQ(scripts.HeroName(), "hero");
    ASSERT_EQ(scripts.Missions().size(), 1u);
    const CScriptMission& m = *scripts.Missions()[0];
    EXPECT_EQ(m.objectStart, NameHash("gate"));
    std::vector<int> ids;
    for (auto& c : m.start->commands) ids.push_back(c->KeywordId());
    EXPECT_EQ(ids, (std::vector<int>{300, 301, 302, 303, 304, 305, 306, 307, 311, 308, 309, 312, 313, 314, 0, 0, 317,
                                     318, 319, 320, 321, 310, 108}));
    auto& create = static_cast<CScriptCreateObject&>(*m.start->commands[0]);
    EXPECT_EQ(create.record, NameHash("creep"));
    EXPECT_EQ(create.owner, 37);
    EXPECT_EQ(create.flag, 1u);
    auto& camera = static_cast<CScriptMoveCamera&>(*m.start->commands[3]);
    EXPECT_FLOAT_EQ(camera.speed, 2.5f);
    auto& box = static_cast<CScriptMessage&>(*m.start->commands[9]);
    EXPECT_EQ(box.number, 3);
    EXPECT_EQ(box.text, "Hello\r\nthere");
    ASSERT_EQ(m.events.size(), 1u);
    const CScriptEvent& e = *m.events[0];
    EXPECT_EQ(e.loop, 1u);
    EXPECT_EQ(e.condition->mode, 1);
    ids.clear();
    for (auto& c : e.condition->commands) ids.push_back(c->KeywordId());
    EXPECT_EQ(ids, (std::vector<int>{200, 201, 202, 203, 204, 205, 206, 207, 208, 209}));
    auto& timer = static_cast<CScriptCheckTimer&>(*e.condition->commands[2]);
    EXPECT_EQ(timer.number, 1);
    EXPECT_EQ(timer.in, 1u);
    auto& click = static_cast<CScriptCheckClickUi&>(*e.condition->commands[6]);
    EXPECT_EQ(click.button, 1);
    EXPECT_EQ(static_cast<CScriptCheckItem&>(*e.condition->commands[9]).count, 3);
    // Numbered commands of the mission: RUN_TIMER 1, STOP_TIMER 2, DISPLAY_MSGBOX 3, CHECK_TIMER 1, CHECK_CLICK_MSGBOX 3.
    EXPECT_EQ(m.registry.size(), 5u);
    EXPECT_EQ(m.FindNumbered(SCR_CHECK_TIMER, 1).size(), 1u);
    // CREATE_OBJECT needs its UNIT record.
    registry.Clear();
    EXPECT_EQ(scripts.Start(), 0);
}

TEST_F(ScriptFixture, ParseErrors) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"HERO hero\n", "Not found map file : SCR_MAPFILE"},
        {"MAPFILE m\n", "Not found Hero info : SCR_HERO"},
        {"MAPFILE m\nHERO h\nMISSION\n{\nSTART\n{\nJUMP hero\n}\n}\n", "Invalid token found(JUMP) : 7"},
        {"MAPFILE m\nBOGUS\nHERO h\n", "Invalid token found(BOGUS) : 2"},
    };
    for (const Case& c : cases) {
        scripts.Clear();
        EXPECT_EQ(Load(c.script), 0) << c.script;
        EXPECT_EQ(errors.Text(), c.error);
        EXPECT_EQ(errors.GetCode(), 10000u);
    }
    // Nesting without end is refused, not followed down the stack.
    std::string deep = "MAPFILE m\nHERO h\n";
    for (int i = 0; i < 200; ++i) deep += "MISSION\n";
    scripts.Clear();
    EXPECT_EQ(Load(deep), 0);
}

TEST_F(ScriptFixture, MisplacedStatementsAreIgnoredAndFreed) {
    Run(R"(OP AND
RUN LOOP
MISSION
{
    OP AND
    RUN LOOP
    MESSAGE dropped
    DIE_OBJECT hero
    EVENT
    {
        OP AND
        MESSAGE dropped
    }
}
)");
    const CScriptMission& m = *scripts.Missions()[0];
    ASSERT_NE(m.start, nullptr);  // a mission without START runs an empty one
    EXPECT_TRUE(m.start->commands.empty());
    EXPECT_EQ(m.events[0]->loop, 0u);
    EXPECT_EQ(m.events[0]->condition, nullptr);
}

TEST_F(ScriptFixture, EventsWithoutBlocks) {
    Run("MISSION\n{\nEVENT\n{\nEXECUTE\n{\nMESSAGE never\n}\n}\nEVENT\n{\nCONDITION\n{\n}\n}\n}\n");
    CScriptMission& m = *scripts.Missions()[0];
    for (int i = 0; i < 3; ++i) EXPECT_EQ(scripts.Update(0.1f), 1);
    EXPECT_EQ(m.events[0]->fired, 0u);
    EXPECT_EQ(m.events[1]->fired, 1u);
    EXPECT_EQ(m.events[1]->Update(0.1f), 1u);
    EXPECT_TRUE(Take().empty());
}

TEST_F(ScriptFixture, MessageBoxClicksAndTheStoppedScan) {
    Run(R"(MISSION
{
    START
    {
        DISPLAY_MSGBOX 1 first
    }
    EVENT
    {
        CONDITION
        {
            CHECK_CLICK_MSGBOX 1
            CHECK_TIMER 5 100 IN
        }
        EXECUTE
        {
            MESSAGE clicked
        }
    }
}
)");
    CScriptMission& m = *scripts.Missions()[0];
    auto& timer = static_cast<CScriptCheckTimer&>(*m.events[0]->condition->commands[1]);
    timer.running = 1;
    scripts.Update(0.1f);  // start block
    EXPECT_EQ(host.box.text, "first");
    EXPECT_FLOAT_EQ(host.box.dim, 0.4f);
    scripts.Update(0.5f);
    EXPECT_EQ(timer.clock, 0.0f);  // the false click check stopped the scan
    host.box.result = 1;
    scripts.Update(0.5f);  // the click is seen and taken away
    EXPECT_EQ(host.box.result, -1);
    EXPECT_TRUE(Take().empty());
    scripts.Update(0.5f);
    EXPECT_EQ(Types(Take()), (std::vector<uint8_t>{CMD_CHAT}));
}

TEST_F(ScriptFixture, NumberedCommandsReachOnlyTheCurrentMission) {
    Run(R"(MISSION
{
    START
    {
        RUN_TIMER 1
        DISPLAY_MSGBOX 1 hello
    }
    EVENT
    {
        CONDITION
        {
            CHECK_TIMER 1 2
        }
        EXECUTE
        {
            STOP_TIMER 1
            NEXT_MISSION
        }
    }
}
MISSION
{
    EVENT
    {
        CONDITION
        {
            CHECK_TIMER 1 2
            CHECK_CLICK_MSGBOX 1
        }
    }
}
)");
    auto& first = static_cast<CScriptCheckTimer&>(*scripts.Missions()[0]->events[0]->condition->commands[0]);
    auto& second = static_cast<CScriptCheckTimer&>(*scripts.Missions()[1]->events[0]->condition->commands[0]);
    scripts.Update(0.1f);
    EXPECT_EQ(first.running, 1u);
    EXPECT_EQ(second.running, 0u);
    EXPECT_EQ(static_cast<CScriptCheckClickMsgBox&>(*scripts.Missions()[1]->events[0]->condition->commands[1]).armed,
              0u);
    scripts.Update(1.5f);
    EXPECT_EQ(scripts.CurrentIndex(), 0);
    scripts.Update(1.0f);  // past the limit: the event stops its timer and moves on after the loop
    EXPECT_EQ(first.running, 0u);
    EXPECT_EQ(scripts.CurrentIndex(), 1);
    scripts.Missions()[1]->Update(0);
    // The last mission's NEXT_MISSION ends the script.
    auto next = std::make_unique<CScriptSimpleAction>(SCR_NEXT_MISSION);
    next->manager = &scripts;
    next->Execute();
    EXPECT_EQ(scripts.Update(0.1f), 0);
    EXPECT_EQ(scripts.Update(0.1f), 0);
}

TEST_F(ScriptFixture, AgainMissionRunsTheStartBlockAgain) {
    Run(R"(MISSION
{
    START
    {
        MESSAGE begin
        FLICKER_ON main ok
    }
    EVENT
    {
        CONDITION
        {
        }
        EXECUTE
        {
            AGAIN_MISSION
        }
    }
}
)");
    scripts.Update(0.1f);
    EXPECT_EQ(scripts.Flickers().size(), 1u);
    EXPECT_EQ(Types(Take()), (std::vector<uint8_t>{CMD_CHAT}));
    scripts.Update(0.1f);  // the event fires; the reset waits for the end of the loop
    EXPECT_TRUE(scripts.Flickers().empty());
    EXPECT_EQ(scripts.Missions()[0]->started, 0u);
    EXPECT_EQ(scripts.Missions()[0]->events[0]->fired, 0u);
    scripts.Update(0.1f);
    EXPECT_EQ(Types(Take()), (std::vector<uint8_t>{CMD_CHAT}));
}

TEST_F(ScriptFixture, TimerAndHpChecks) {
    CScriptCheckTimer timer;
    timer.limit = 2;
    EXPECT_EQ(timer.Check(5), 0u);  // not running
    timer.running = 1;
    EXPECT_EQ(timer.Check(1.5f), 0u);
    EXPECT_EQ(timer.Check(1.0f), 1u);
    timer.in = 1;
    timer.clock = 0;
    EXPECT_EQ(timer.Check(1.5f), 1u);
    EXPECT_EQ(timer.Check(1.0f), 0u);

    Run("MISSION\n{\n}\n");
    CTestWorldObject* hero = AddObject(0);
    hero->maxHp = 200;
    CScriptCheckStat hp(SCR_CHECK_HP);
    hp.manager = &scripts;
    hp.object = NameHash("hero");
    hp.percent = 50;
    for (float value : {99.0f, 100.0f, 101.0f}) {
        hero->hitPoints = value;
        hp.in = 0;
        const uint32_t atLeast = hp.Check(0);
        hp.in = 1;
        const uint32_t atMost = hp.Check(0);
        EXPECT_EQ(atLeast, value >= 100 ? 1u : 0u) << value;
        EXPECT_EQ(atMost, value <= 100 ? 1u : 0u) << value;
    }
    hp.object = NameHash("nobody");
    EXPECT_EQ(hp.Check(0), 0u);
}

TEST_F(ScriptFixture, HostCallsAndRecords) {
    AddObject(0);
    areas.Add("Gate", 300, 400);
    host.stored = NameHash("potion");
    host.counted = NameHash("potion");
    host.itemCount = 3;
    Run(R"(MISSION
{
    START
    {
        MOVE_OBJECT hero Gate TRUE
        MOVE_CAMERA Gate 2 1 TRUE
        CONTROL_LOCK
        GAME_PAUSE
        FINISH_ITEM_COOLTIME potion
        SCREEN_FADE IN
        ALERT_AREA Gate
        STOP_EVENT 7
    }
    EVENT
    {
        CONDITION
        {
            CHECK_INVENTORY_ITEM potion
            CHECK_ITEM_COUNT potion 3
        }
        EXECUTE
        {
            CONTROL_UNLOCK
            GAME_PLAY
        }
    }
}
)");
    scripts.Update(0.1f);
    EXPECT_TRUE(host.scriptedMove);
    EXPECT_EQ(host.heroSelected, 1);
    EXPECT_EQ(host.camera.travelDone, 0u);
    EXPECT_EQ(host.camera.travelA.x, 300.0f);
    EXPECT_TRUE(host.inputLocked);
    EXPECT_EQ(objects.GetObjectById(0)->controlFlags, 0x80000u);
    EXPECT_TRUE(host.paused);
    EXPECT_FALSE(host.controls);
    EXPECT_EQ(host.restocked, (std::vector<uint32_t>{NameHash("potion")}));
    EXPECT_EQ(host.fades, (std::vector<bool>{true}));
    auto r = Take();
    ASSERT_EQ(Types(r), (std::vector<uint8_t>{CMD_UNIT_ORDER, CMD_MAP_ALERT}));
    scripts.Update(0.1f);
    EXPECT_FALSE(host.inputLocked);
    EXPECT_FALSE(host.paused);
    EXPECT_EQ(objects.GetObjectById(0)->controlFlags, 0u);
}

TEST_F(ScriptFixture, FlickerPhaseBounces) {
    scripts.AddFlicker(1, 2);
    scripts.AddFlicker(1, 2);
    EXPECT_EQ(scripts.Flickers().size(), 1u);
    Run("MISSION\n{\n}\n");
    scripts.AddFlicker(1, 2);
    scripts.Update(0.7f);
    scripts.Update(0.7f);
    scripts.DrawFlicker();
    EXPECT_EQ(scripts.FlickerPhase(), 1.0f);
    EXPECT_TRUE(scripts.FlickerFalling());
    scripts.Update(0.6f);
    scripts.Update(0.6f);
    scripts.DrawFlicker();
    EXPECT_EQ(scripts.FlickerPhase(), 0.0f);
    EXPECT_FALSE(scripts.FlickerFalling());
    scripts.FinishFlicker(1, 2);
    EXPECT_TRUE(scripts.Flickers()[0].finished);
}

TEST_F(ScriptFixture, SampleTutorialRunsToItsEnd) {
    CSpatialTree tree;
    ASSERT_EQ(tree.Build(3, 1000, 1000, -100, 100), 1);
    areas.Add("Team1", 100, 100);
    areas.Add("Team2", 800, 800);
    AddUnitRecord("Creep");
    CTestWorldObject* knight = NewTestObject(objects, 100, 100, 0);
    knight->owner = 0;
    ASSERT_EQ(objects.RegisterObject(knight, 0, 1, 0), 1);
    ASSERT_EQ(Load(SampleTutorialScript("SAMPLE.ZEM")), 1) << errors.Text();
    EXPECT_EQ(scripts.MapFile(), "SAMPLE.ZEM");
    ASSERT_EQ(scripts.Start(), 1) << errors.Text();

    auto frames = [&](int n, float dt = 0.25f) {
        for (int i = 0; i < n; ++i) scripts.Update(dt);
    };
    frames(1);
    EXPECT_EQ(host.box.text, "Walk to the marked area.");
    // The reminder loops every 30 s while the hero has not arrived.
    frames(130);
    size_t alerts = 0;
    for (const Emitted& e : Take()) alerts += e.type == CMD_MAP_ALERT;
    EXPECT_EQ(alerts, 2u);  // the start block's and one reminder
    host.box.result = 1;
    frames(2);
    EXPECT_EQ(scripts.CurrentIndex(), 0);
    tree.Remove(knight);
    knight->PlaceAt(800, 800);
    tree.Insert(knight);
    frames(3);
    ASSERT_EQ(scripts.CurrentIndex(), 1);
    frames(1);
    CWorldObject* guard = scripts.FindObject(NameHash("Guard"));
    ASSERT_NE(guard, nullptr);
    EXPECT_EQ(guard->owner, 37);
    EXPECT_EQ(host.box.text, "Defeat the guard.");
    host.box.result = 1;
    frames(2);
    guard->Die();
    frames(8);
    EXPECT_EQ(scripts.Update(0.25f), 0);  // the last mission moved on: the tutorial is over
}

TEST_F(ScriptFixture, FlickerQuadsCoverShownControlsBlended) {
    platform::CGfxRecordingDevice device;
    ASSERT_TRUE(CreateDraw2DBuffers(&device));
    CUiManager ui;
    ui.SetDevice(&device);
    auto* window = new CUiWindow;
    window->SetName("MAIN");
    auto* shown = new CUiObject;
    shown->SetName("OK");
    shown->SetPosition(10, 20);
    shown->SetSize(30, 40);
    auto* hidden = new CUiObject;
    hidden->SetName("HIDDEN");
    hidden->AddFlags(UI_HIDDEN);
    window->AddChild(shown);
    window->AddChild(hidden);
    ui.AddLowerWindow(window);
    scripts.AddFlicker(NameHash("MAIN"), NameHash("OK"));
    scripts.AddFlicker(NameHash("MAIN"), NameHash("HIDDEN"));
    scripts.AddFlicker(NameHash("GONE"), NameHash("OK"));
    Run("MISSION\n{\n}\n");
    scripts.Update(0.5f);
    const uint32_t before = device.DrawCount();
    scripts.DrawFlicker();
    EXPECT_EQ(device.DrawCount() - before, 1u);  // the shown control only
    uint32_t blend = 1, lighting = 0;
    device.GetRenderState(platform::RS_ALPHABLENDENABLE, &blend);
    device.GetRenderState(platform::RS_LIGHTING, &lighting);
    EXPECT_EQ(blend, 0u);  // switched off again afterwards
    EXPECT_EQ(lighting, 1u);
    scripts.FinishFlicker(NameHash("MAIN"), NameHash("OK"));
    scripts.DrawFlicker();
    EXPECT_EQ(device.DrawCount() - before, 1u);
    ui.DeleteAllWindows();  // with its controls
    ReleaseDraw2DBuffers();
}
