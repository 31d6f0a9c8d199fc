#include "world/Trigger.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

#include "platform/CrtRandom.h"
#include "tests/world/TriggerFixture.h"

namespace {

std::vector<uint8_t> Write(CTrigger& trigger) {
    return WriteWith([&](CFileStream& s) { return trigger.Serialize(s); });
}

int Read(CTrigger& trigger, std::vector<uint8_t> bytes) {
    return ReadWith(std::move(bytes), [&](CFileStream& s) { return trigger.Serialize(s); });
}

// Every kind with fields that differ from their defaults.
void FillEveryKind(CTrigger& t) {
    t.SetName("every kind");
    for (uint32_t k = 0; k < CTriggerCondition::kKinds; ++k) t.AddCondition(CTriggerCondition::Create(k));
    auto& timer = static_cast<CTimerCondition&>(*t.conditions[0]);
    timer.firstDelay = 1.5f, timer.interval = 2.5f, timer.repeatCount = 3;
    static_cast<CAreaAlertCondition&>(*t.conditions[2]).filter = 7;
    auto& bound = static_cast<CBoundUnitCondition&>(*t.conditions[6]);
    bound.objectId = 44, bound.cooldown = 9, bound.areaHashes = {1, 2, 3};
    for (uint32_t k = 0; k < CTriggerAction::kKinds; ++k) t.AddAction(CTriggerAction::Create(k));
    auto& spawn = static_cast<CTriggerSpawnAction&>(*t.actions[0]);
    spawn.areaHash = NameHash("Camp"), spawn.unitId = 77, spawn.count = 4, spawn.owner = 37;
    spawn.drops = {{11, 50, nullptr, 0}, {12, 25, nullptr, 0}};
    static_cast<CTriggerSpawnAction&>(*t.actions[6]).lordFlag = 1;
    static_cast<CAreaMarkerAction&>(*t.actions[8]).value = 2;
    static_cast<CObjectMarkerAction&>(*t.actions[3]).values[2] = 9;
    static_cast<CTeamRewardAction&>(*t.actions[7]).amount = 300;
    static_cast<CSystemMessageAction&>(*t.actions[9]).text = "hello";
    static_cast<CMapAlertAction&>(*t.actions[10]).x = 12.5f;
    static_cast<CObjectAction&>(*t.actions[14]).value = 6;
    static_cast<CTriggerControlAction&>(*t.actions[16]).targetHash = 0xABCDEF;
}

}  // namespace

TEST_F(TriggerFixture, EveryKindRoundTripsAndKeepsItsOrder) {
    CTrigger written;
    FillEveryKind(written);
    const std::vector<uint8_t> bytes = Write(written);
    CTrigger read;
    ASSERT_EQ(Read(read, bytes), 1) << errors.Text();
    EXPECT_EQ(read.name, "every kind");
    EXPECT_EQ(read.hash, NameHash("every kind"));
    ASSERT_EQ(read.conditions.size(), 9u);
    ASSERT_EQ(read.actions.size(), 17u);
    for (uint32_t k = 0; k < 9; ++k) EXPECT_EQ(read.conditions[k]->Kind(), k);
    for (uint32_t k = 0; k < 17; ++k) EXPECT_EQ(read.actions[k]->Kind(), k);
    EXPECT_EQ(static_cast<CBoundUnitCondition&>(*read.conditions[6]).areaHashes, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(static_cast<CTriggerSpawnAction&>(*read.actions[0]).drops.size(), 2u);
    EXPECT_EQ(read.actions[0]->trigger, &read);
    EXPECT_EQ(Write(read), bytes);
}

TEST_F(TriggerFixture, SharedClassesWriteTheKindTheirFieldsGive) {
    struct Case {
        uint32_t readKind;
        uint32_t field;  // lordFlag or value
        uint32_t written;
    };
    for (const Case& c : {Case{0, 1, 6}, Case{6, 0, 0}, Case{1, 3, 8}, Case{8, 0, 1}, Case{1, 0xFFFFFFFF, 1}}) {
        CTrigger t;
        t.SetName("t");
        auto action = CTriggerAction::Create(c.readKind);
        if (auto* spawn = dynamic_cast<CTriggerSpawnAction*>(action.get())) spawn->lordFlag = c.field;
        if (auto* marker = dynamic_cast<CAreaMarkerAction*>(action.get())) marker->value = c.field;
        t.AddAction(std::move(action));
        std::vector<uint8_t> bytes = Write(t);
        // name (4 + 2), condition count, action count, then the action's kind
        EXPECT_EQ(LoadU32(bytes.data() + 14), c.written) << c.readKind;
    }
}

TEST_F(TriggerFixture, DamagedRecordsFailWithoutReadingPastTheirEnd) {
    CTrigger good;
    FillEveryKind(good);
    const std::vector<uint8_t> bytes = Write(good);
    for (size_t cut = 0; cut < bytes.size(); cut += 7) {
        CTrigger t;
        EXPECT_EQ(Read(t, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut))), 0) << cut;
    }
    // An unknown kind: its body's size is unknown, so the record fails.
    for (uint32_t kind : {9u, 17u}) {
        CTrigger t;
        t.SetName("bad");
        std::vector<uint8_t> b = Write(t);
        if (kind == 9) {
            b[10] = 1;  // one condition of kind 9
            b.insert(b.begin() + 14, {9, 0, 0, 0});
        } else {
            b[14] = 1;  // one action of kind 17
            b.insert(b.end(), {17, 0, 0, 0});
        }
        errors.Set(0, "");
        EXPECT_EQ(Read(t, b), 0);
        EXPECT_EQ(errors.GetCode(), 10000u);
    }
    // Counts beyond reason fail before anything is allocated.
    CTrigger t;
    std::vector<uint8_t> b = {2, 0, 0, 0, 'x', 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Read(t, b), 0);
}

namespace {

// A condition whose answers and seen times the test sets.
class ScriptedCondition : public CTriggerElementOf<ScriptedCondition, CTriggerCondition> {
public:
    uint32_t Test(float elapsed) override {
        seen += elapsed;
        ++tests;
        return holds;
    }
    uint32_t Kind() const override { return 5; }
    uint32_t Serialize(CFileStream&, CTrigger*) override { return 1; }
    uint32_t holds = 1;
    float seen = 0;
    int tests = 0;
};

class CountingAction : public CTriggerElementOf<CountingAction, CTriggerAction> {
public:
    uint32_t Execute() override {
        ++runs;
        return result;
    }
    uint32_t Serialize(CFileStream&, CTrigger*) override { return 1; }
    uint32_t Kind() const override { return 3; }
    uint32_t result = 1;
    int runs = 0;
};

}  // namespace

TEST_F(TriggerFixture, EvaluationRules) {
    CTrigger t;
    auto& first = Add(t, std::make_unique<ScriptedCondition>());
    auto& second = Add(t, std::make_unique<ScriptedCondition>());
    // No actions: never ends.
    EXPECT_EQ(t.Evaluate(0.5f), 1);
    auto& a = Add(t, std::make_unique<CountingAction>());
    auto& b = Add(t, std::make_unique<CountingAction>());
    // Disabled: kept and not tested.
    t.enabled = 0;
    EXPECT_EQ(t.Evaluate(0.5f), 1);
    EXPECT_EQ(first.tests, 1);
    t.enabled = 1;
    // A false condition hides the frame from the ones after it.
    first.holds = 0;
    EXPECT_EQ(t.Evaluate(0.25f), 1);
    EXPECT_FLOAT_EQ(second.seen, 0.5f);
    EXPECT_EQ(a.runs, 0);
    first.holds = 1;
    EXPECT_EQ(t.Evaluate(0.25f), 1);
    EXPECT_EQ(a.runs + b.runs, 2);
    // One spent action still lets every action run, then the trigger goes.
    a.result = 0;
    EXPECT_EQ(t.Evaluate(0.25f), 0);
    EXPECT_EQ(b.runs, 2);
}

TEST_F(TriggerFixture, TimerWithRepeatCountTwoFiresTwiceThenRests) {
    CTimerCondition timer;
    timer.firstDelay = 1, timer.interval = 2, timer.repeatCount = 2;
    EXPECT_EQ(timer.Test(1.5f), 0u);  // delay over: the next test fires
    std::vector<uint32_t> fired;
    for (int i = 0; i < 7; ++i) fired.push_back(timer.Test(i == 0 ? 0.0f : 2.5f));
    EXPECT_EQ(fired, (std::vector<uint32_t>{1, 1, 0, 1, 1, 0, 1}));
}

TEST_F(TriggerFixture, IntervalAndGameTimeAndWorldFlags) {
    CIntervalCondition interval;
    interval.interval = 1;
    EXPECT_EQ(interval.Test(0.6f), 0u);
    EXPECT_EQ(interval.Test(0.6f), 1u);
    EXPECT_EQ(interval.Test(0.6f), 0u);
    CGameTimeCondition time;
    time.gameTime = 30;
    objects.gameClock = 29.9f;
    EXPECT_EQ(time.Test(0), 0u);
    objects.gameClock = 30;
    EXPECT_EQ(time.Test(0), 1u);
    CWorldFlagCondition seven(7), eight(8);
    objects.worldFlagB = 1;
    EXPECT_EQ(seven.Test(0) * 10 + eight.Test(0), 10u);
    objects.worldFlagA = 1;
    EXPECT_EQ(seven.Test(0) * 10 + eight.Test(0), 1u);
}

TEST_F(TriggerFixture, ObjectDeadFollowsItsObject) {
    CObjectDeadCondition dead;
    dead.objectId = 500;
    EXPECT_EQ(dead.Test(0), 0u);  // no object
    CTestWorldObject* o = AddObject(500);
    EXPECT_EQ(dead.Test(0), 0u);
    o->Die();
    EXPECT_EQ(dead.Test(0), 1u);
}

TEST_F(TriggerFixture, AreaClearedAsksTheSpawnOwnersOnlyWithAuthority) {
    CTrigger& t = AddTrigger("respawn");
    auto& cleared = Add(t, std::make_unique<CAreaClearedCondition>());
    cleared.owner = &t;
    cleared.firstDelay = 0, cleared.interval = 1;
    auto& spawn = Add(t, std::make_unique<CTriggerSpawnAction>());
    spawn.areaHash = NameHash("Camp"), spawn.owner = 37;
    EXPECT_EQ(cleared.Test(0.1f), 0u);  // started
    Client();
    EXPECT_EQ(cleared.Test(0.1f), 0u);  // interval passed, no authority
    Host();
    cleared.clock = 5;
    EXPECT_EQ(cleared.Test(0.1f), 1u);  // nobody of owner 37 there (no tree: nothing stands anywhere)
}

TEST_F(TriggerFixture, AuthorityDecidesWhatGoesThroughTheManager) {
    CUnitData& unit = AddUnitRecord("creep");
    CTrigger& other = AddTrigger("other");
    (void)other;
    CTrigger& t = AddTrigger("actions");
    auto& spawn = Add(t, std::make_unique<CTriggerSpawnAction>());
    spawn.unit = &unit, spawn.areaHash = NameHash("Camp"), spawn.count = 2;
    for (uint32_t kind : {4u, 15u, 16u}) {
        auto control = std::make_unique<CTriggerControlAction>(kind);
        control->targetHash = NameHash("other");
        t.AddAction(std::move(control));
    }
    Add(t, std::make_unique<CTeamRewardAction>()).amount = 10;
    Add(t, std::make_unique<CSendUnitToAreaAction>()).objectId = 3;
    Add(t, std::make_unique<CPlayerEventAction>()).slot = 4;
    Add(t, std::make_unique<CSystemMessageAction>()).text = "note";
    Add(t, std::make_unique<CMapAlertAction>()).value = 9;
    Add(t, std::make_unique<CMakeTargetableAction>()).objectId = 3;
    AddObject(0, 0);

    Client();
    for (auto& a : t.actions) a->Execute();
    EXPECT_EQ(Types(Take()), (std::vector<uint8_t>{CMD_CHAT, CMD_MAP_ALERT, CMD_UNIT_FLAGS}));
    EXPECT_EQ(t.enabled, 1u);

    Offline();
    for (auto& a : t.actions) a->Execute();
    const auto records = Take();
    EXPECT_EQ(Types(records),
              (std::vector<uint8_t>{CMD_SPAWN_UNIT, CMD_TRIGGER_CONTROL, CMD_TRIGGER_CONTROL, CMD_TRIGGER_CONTROL,
                                    CMD_GRANT_REWARD, CMD_UNIT_TO_AREA, CMD_PLAYER_EVENT, CMD_CHAT, CMD_MAP_ALERT}));
    EXPECT_EQ(records[1].U8(2), 0u);  // remove
    EXPECT_EQ(records[2].U8(2), 1u);  // enable
    EXPECT_EQ(records[3].U8(2), 2u);  // disable
    EXPECT_EQ(records[1].U32(4), NameHash("other"));
    EXPECT_EQ(scenario.FindTrigger(NameHash("other"))->enabled, 0u);
    EXPECT_EQ(records[5].U32(4), t.hash);
    EXPECT_EQ(t.enabled, 0u);  // the send-to-area trigger stops itself
    EXPECT_EQ(records[7].U8(2), 200u);
    // Once-only actions stay quiet on a second run.
    for (auto& a : t.actions) a->Execute();
    EXPECT_EQ(Types(Take()), (std::vector<uint8_t>{CMD_SPAWN_UNIT, CMD_TRIGGER_CONTROL, CMD_TRIGGER_CONTROL,
                                                   CMD_GRANT_REWARD, CMD_UNIT_TO_AREA, CMD_CHAT, CMD_MAP_ALERT}));
}

TEST_F(TriggerFixture, SpawnOwnerCodesCounterAndGroupPick) {
    CUnitData& unit = AddUnitRecord("creep");
    CTrigger& t = AddTrigger("spawner");
    Add(t, std::make_unique<CMapAlertAction>());
    auto& spawn = Add(t, std::make_unique<CTriggerSpawnAction>());
    spawn.unit = &unit, spawn.areaHash = NameHash("Camp"), spawn.count = 300;
    objects.spawnCounter = 20000;
    spawn.Execute();
    spawn.count = 3;
    spawn.Execute();
    spawn.fixedOwnerFlag = 1, spawn.owner = 24;
    spawn.Execute();
    spawn.owner = 25;
    spawn.Execute();
    auto r = Take();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].U8(2), 255u);  // the count travels in one byte
    EXPECT_EQ(r[0].U8(3), 1u);    // the action's index
    EXPECT_EQ(r[0].U16(4), 100u);
    EXPECT_EQ(r[0].U16(6), 200u);
    EXPECT_EQ(r[0].U32(8), t.hash);
    EXPECT_EQ(r[0].U32(16), 20000u);
    EXPECT_EQ(r[1].U32(16), 20255u);
    EXPECT_EQ(r[2].U32(16), 13u);
    EXPECT_EQ(r[3].U32(16), 14u);
    EXPECT_EQ(objects.spawnCounter, 20258u);
    // The counter wraps before spawned ids would reach 32768.
    spawn.fixedOwnerFlag = 0;
    objects.spawnCounter = 32766;
    spawn.Execute();
    EXPECT_EQ(Take()[0].U32(16), 20000u);

    // A group spawn picks one record of its group; an empty group picks none.
    CUnitData& other = AddUnitRecord("other creep");
    scenario.SpawnGroups() = {{}, {&unit, &other}};
    spawn.lordFlag = 1, spawn.lordIndex = 1;
    platform::CrtSrand(1);
    spawn.Execute();
    const uint32_t picked = Take()[0].U32(12);
    EXPECT_TRUE(picked == unit.id || picked == other.id);
    spawn.lordIndex = 0;
    spawn.Execute();
    EXPECT_EQ(Take()[0].U32(12), 0u);
}

TEST_F(TriggerFixture, SharedRewardIsDividedByActivePlayers) {
    AddObject(0, 1);
    AddObject(1, 1);
    AddObject(2, 0);
    CTeamRewardAction reward;
    reward.team = 1, reward.amount = 100, reward.rewardKind = 1, reward.shareFlag = 1;
    Offline();  // not a networked match: a shared reward goes nowhere
    EXPECT_EQ(reward.Execute(), 1u);
    EXPECT_TRUE(Take().empty());
    Host();
    objects.gameMode = 0;
    objects.slotOccupied[0] = objects.slotOccupied[1] = objects.slotOccupied[2] = true;
    reward.onceFlag = 1;
    EXPECT_EQ(reward.Execute(), 0u);
    auto r = Take();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].type, CMD_GRANT_REWARD);
    EXPECT_EQ(r[0].U8(2), 1u);
    EXPECT_EQ(static_cast<int16_t>(r[0].U16(6)), 33);
    EXPECT_EQ(r[1].U16(4), 1u);
}

TEST_F(TriggerFixture, BoundUnitNotifications) {
    CTrigger& t = AddTrigger("bound");
    CTestWorldObject* guard = AddObject(600, 2, 37);
    CTestWorldObject* hero = AddObject(3, 0, 3);
    areas.Add("Home", 10, 20);
    auto& bound = Add(t, std::make_unique<CBoundUnitCondition>());
    bound.objectId = 600, bound.cooldown = 5, bound.areaHashes = {NameHash("Home")};
    bound.triggerHash = t.hash;
    (void)guard;
    EXPECT_EQ(t.Evaluate(1.0f), 1);  // never holds
    // Kind 0: a run-trigger record, value 1 once the cooldown has passed, else 2.
    bound.Notify(0, 3);
    bound.Notify(0, 3);
    auto r = Take();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].type, CMD_RUN_TRIGGER);
    EXPECT_EQ(r[0].U16(2), 3u);
    EXPECT_EQ(r[0].U32(4), t.hash);
    EXPECT_EQ(r[0].U32(8), 1u);
    EXPECT_EQ(r[1].U32(8), 2u);
    Client();
    bound.Notify(0, 3);
    EXPECT_TRUE(Take().empty());
    // Kind 1: the unit is marked; with authority it is restored at one of the areas.
    bound.Notify(1, 3);
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(hero->stateFlags & 0x80u, 0x80u);
    Offline();
    bound.Notify(1, 3);
    r = Take();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].type, CMD_RESTORE_UNIT);
    EXPECT_EQ(r[0].U16(4), 10u);
    // Kind 2 counts a restore down, never below 0, then acts as kind 1.
    hero->restoreCounter = 1;
    bound.Notify(2, 3);
    bound.Notify(2, 3);
    EXPECT_EQ(hero->restoreCounter, 0);
    EXPECT_EQ(Take().size(), 2u);
    bound.Notify(7, 3);
    EXPECT_TRUE(Take().empty());
}

TEST_F(TriggerFixture, LinkAndReferenceErrors) {
    AddObject(700);
    CTrigger& t = AddTrigger("links");
    Add(t, std::make_unique<CObjectDeadCondition>()).objectId = 701;
    EXPECT_EQ(t.CheckReferences(), 0);
    EXPECT_EQ(errors.GetCode(), 10003u);
    EXPECT_EQ(errors.Text(), "no object 701");
    static_cast<CObjectDeadCondition&>(*t.conditions[0]).objectId = 700;
    EXPECT_EQ(t.CheckReferences(), 1);

    struct Case {
        std::function<std::unique_ptr<CTriggerAction>()> make;
        std::string text;
    };
    const Case cases[] = {
        {[] {
             auto m = std::make_unique<CAreaMarkerAction>();
             m->areaHash = 1;
             return m;
         },
         "no data Area"},
        {[] {
             auto c = std::make_unique<CTriggerControlAction>(15);
             c->targetHash = 2;
             return c;
         },
         "no data Trigger"},
        {[] {
             auto s = std::make_unique<CTriggerSpawnAction>();
             s->unitId = 1234;
             return s;
         },
         "no data 1234"},
        {[this] {
             auto s = std::make_unique<CTriggerSpawnAction>();
             s->unit = &AddUnitRecord("u");
             s->areaHash = NameHash("Camp");
             s->drops.push_back({});
             return s;
         },
         platform::Utf8ToCp949("no data 드롭 아이템")},
        {[this] {
             auto s = std::make_unique<CTriggerSpawnAction>();
             s->unit = &AddUnitRecord("u");
             s->areaHash = 5;
             return s;
         },
         platform::Utf8ToCp949("no data 지역정보")},
    };
    for (const Case& c : cases) {
        CTrigger one;
        one.AddAction(c.make());
        EXPECT_EQ(one.CheckReferences(), 0);
        EXPECT_EQ(errors.Text(), c.text);
    }
    // A group spawn must name an existing, non-empty group.
    CTrigger group;
    group.SetName("group spawn");
    Add(group, std::make_unique<CTriggerSpawnAction>()).lordFlag = 1;
    errors.Set(77, "");
    EXPECT_EQ(group.AreActionsReady(), 0);
    EXPECT_EQ(errors.Text(), "error create monster Index<-Trigger Name : group spawn");
    EXPECT_EQ(errors.GetCode(), 77u);
    scenario.SpawnGroups() = {{&AddUnitRecord("u2")}};
    EXPECT_EQ(group.AreActionsReady(), 1);
}

TEST_F(TriggerFixture, AreaAlertQueuesLocallyEveryHalfSecond) {
    Host();
    objects.gameMode = 0;
    CAreaAlertCondition written;
    written.areaHash = NameHash("Camp");
    const auto bytes = WriteWith([&](CFileStream& s) { return written.Serialize(s, nullptr); });
    CAreaAlertCondition alert;
    ASSERT_EQ(ReadWith(bytes, [&](CFileStream& s) { return alert.Serialize(s, nullptr); }), 1);
    // Sized for every player slot in a networked match.
    EXPECT_EQ(areas.areas[NameHash("Camp")].heroIds, std::vector<int32_t>(12, -1));
    EXPECT_EQ(alert.Test(0.3f), 1u);
    EXPECT_EQ(alert.Test(0.3f), 1u);
    EXPECT_EQ(alert.clock, 0.0f);
}
