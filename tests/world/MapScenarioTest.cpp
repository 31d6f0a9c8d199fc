#include "world/MapScenario.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

#include "engine/resource/Resource.h"
#include "engine/resource/ResourceManager.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/world/TriggerFixture.h"
#include "world/CombatObject.h"

namespace {

struct ScenarioFixture : TriggerFixture {
    // Two marker triggers (object-dead first, group spawn naming lord 0 and 1)
    // and a lord timer at 60 s spawning for teams 0 and 1.
    void AddLordTriggers(uint32_t firstIndex = 0) {
        for (uint32_t index : {firstIndex, 1u}) {
            CTrigger& marker = AddTrigger(index == 1 ? "marker b" : "marker a");
            Add(marker, std::make_unique<CObjectDeadCondition>()).objectId = index == 1 ? 901 : 900;
            auto& spawn = Add(marker, std::make_unique<CTriggerSpawnAction>());
            spawn.lordFlag = 1, spawn.lordIndex = index;
        }
        CTrigger& timer = AddTrigger("lord timer");
        Add(timer, std::make_unique<CGameTimeCondition>()).gameTime = 60;
        for (uint32_t owner : {24u, 25u}) {
            auto& spawn = Add(timer, std::make_unique<CTriggerSpawnAction>());
            spawn.fixedOwnerFlag = 1, spawn.owner = owner;
        }
    }
    void AddLordRecords() {
        AddUnitRecord(platform::Utf8ToCp949("로드 뱀파이어").c_str());
        AddUnitRecord(platform::Utf8ToCp949("로드 헌터").c_str());
    }
    std::vector<uint8_t> WriteScenario(CMapScenario& s) {
        return WriteWith([&](CFileStream& out) { return s.LoadTriggers(out); });
    }
    int ReadScenario(CMapScenario& s, std::vector<uint8_t> bytes) {
        return ReadWith(std::move(bytes), [&](CFileStream& in) { return s.LoadTriggers(in); });
    }
};

}  // namespace

TEST_F(ScenarioFixture, TriggersAndGroupsRoundTripSkippingUnknownRecords) {
    CUnitData& creep = AddUnitRecord("creep");
    AddLordTriggers();
    AddLordRecords();
    scenario.Lords().lordTime = 0;
    std::vector<uint8_t> bytes = WriteScenario(scenario);
    // Two groups; the second names a record the game data lacks.
    bytes.erase(bytes.end() - 4, bytes.end());
    for (uint32_t v : {2u, 1u, creep.id, 2u, 12345u, creep.id})
        bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    scenario.Reset();
    ASSERT_EQ(ReadScenario(scenario, bytes), 1) << errors.Text();
    ASSERT_EQ(scenario.Triggers().size(), 3u);
    EXPECT_EQ(scenario.SpawnGroups(), (std::vector<std::vector<CGameDataRecord*>>{{&creep}, {&creep}}));
    EXPECT_EQ(scenario.Lords().lordTime, 60.0f);
    EXPECT_EQ(scenario.Lords().lordRecords[0]->name, platform::Utf8ToCp949("로드 뱀파이어"));
    EXPECT_EQ(scenario.Lords().lordRecords[1]->name, platform::Utf8ToCp949("로드 헌터"));
    // Short and oversized sections fail.
    for (size_t cut : {size_t{2}, bytes.size() - 2}) {
        scenario.Reset();
        EXPECT_EQ(ReadScenario(scenario, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut))), 0);
    }
    scenario.Reset();
    EXPECT_EQ(ReadScenario(scenario, {0xFF, 0xFF, 0xFF, 0xFF}), 0);
}

TEST_F(ScenarioFixture, LordScanFillsTheEntries) {
    AddLordRecords();
    AddLordTriggers();
    ASSERT_EQ(scenario.FindLordRecords(), 1);
    const LordBlock& lords = scenario.Lords();
    EXPECT_EQ(lords.lordTime, 60.0f);
    // Index 0 names entry 1, index 1 entry 0.
    EXPECT_EQ(lords.entries[1].triggerHash, NameHash("marker a"));
    EXPECT_EQ(lords.entries[1].markerObjectId, 900);
    EXPECT_EQ(lords.entries[0].markerObjectId, 901);
    EXPECT_EQ(lords.entries[0].lordObjectId, 13);
    EXPECT_EQ(lords.entries[1].lordObjectId, 14);

    // A lord index of 2 is passed over: entry 1 then has no marker, so no lords.
    scenario.Reset();
    AddLordTriggers(2);
    ASSERT_EQ(scenario.FindLordRecords(), 1);
    EXPECT_EQ(scenario.Lords().entries[1].markerObjectId, -1);
    EXPECT_EQ(scenario.Lords().lordTime, 0.0f);

    // Missing lord records fail the load.
    scenario.Reset();
    registry.Clear();
    AddLordTriggers();
    EXPECT_EQ(scenario.FindLordRecords(), 0);
    EXPECT_EQ(errors.GetCode(), 10003u);
}

TEST_F(ScenarioFixture, LordsOffSkipsTheRecordsAndSpawnsNothing) {
    objects.lordsOff = 1;
    AddLordTriggers();  // no lord records in the game data: not needed
    ASSERT_EQ(scenario.FindLordRecords(), 1);
    EXPECT_EQ(scenario.Lords().lordRecords[0], nullptr);
    EXPECT_EQ(scenario.Lords().entries[0].lordObjectId, 13);  // the timer's teams still count
    scenario.SpawnLords(0, 0);
    EXPECT_EQ(scenario.Lords().phase, LordBlock::PHASE_MARCHING);
    EXPECT_EQ(objects.GetObjectById(13), nullptr);
}

TEST_F(ScenarioFixture, SameHashTwiceAffectsOnlyTheFirst) {
    CTrigger& a = AddTrigger("twin");
    CTrigger& b = AddTrigger("twin");
    scenario.SetTriggerEnabled(NameHash("twin"), 0);
    EXPECT_EQ(a.enabled, 0u);
    EXPECT_EQ(b.enabled, 1u);
    scenario.RemoveTrigger(NameHash("twin"));
    ASSERT_EQ(scenario.Triggers().size(), 1u);
    EXPECT_EQ(scenario.Triggers().front().get(), &b);
    scenario.RemoveTrigger(NameHash("none"));
    EXPECT_EQ(scenario.Triggers().size(), 1u);
}

TEST_F(ScenarioFixture, UpdateTriggersDropsSpentOnes) {
    CTrigger& t = AddTrigger("once");
    Add(t, std::make_unique<CMapAlertAction>());
    AddTrigger("idle");
    scenario.UpdateTriggers(0.1f);
    ASSERT_EQ(scenario.Triggers().size(), 1u);
    EXPECT_EQ(scenario.Triggers().front()->name, "idle");
}

TEST_F(ScenarioFixture, EndedSpawningTriggersStayFindableForTheirSpawnRecords) {
    CTrigger& spent = AddTrigger("spawn and alert");
    Add(spent, std::make_unique<CTriggerSpawnAction>());
    Add(spent, std::make_unique<CMapAlertAction>());
    Add(AddTrigger("alert only"), std::make_unique<CMapAlertAction>());
    Add(AddTrigger("removed spawn"), std::make_unique<CTriggerSpawnAction>());
    scenario.UpdateTriggers(0.1f);
    scenario.RemoveTrigger(NameHash("removed spawn"));
    EXPECT_TRUE(scenario.Triggers().empty());
    for (const char* name : {"spawn and alert", "removed spawn"}) {
        EXPECT_EQ(scenario.FindTrigger(NameHash(name)), nullptr) << name;
        ASSERT_NE(scenario.FindSpawnTrigger(NameHash(name)), nullptr) << name;
        EXPECT_EQ(scenario.FindSpawnTrigger(NameHash(name))->name, name);
    }
    EXPECT_EQ(scenario.FindSpawnTrigger(NameHash("alert only")), nullptr) << "nothing to spawn: not kept";
    scenario.Reset();
    EXPECT_EQ(scenario.FindSpawnTrigger(NameHash("spawn and alert")), nullptr);
}

TEST_F(ScenarioFixture, LordsAnnounceAtTheirTimeOnlyOnTheHost) {
    AddLordRecords();
    AddLordTriggers();
    ASSERT_EQ(scenario.FindLordRecords(), 1);
    objects.gameClock = 59.9f;
    scenario.UpdateLords(0.1f);
    EXPECT_TRUE(Take().empty());
    objects.gameClock = 60;
    scenario.UpdateLords(0.1f);
    auto r = Take();
    EXPECT_EQ(Types(r), (std::vector<uint8_t>{CMD_TRIGGER_CONTROL, CMD_GAME_EVENT, CMD_TRIGGER_CONTROL,
                                              CMD_GAME_EVENT, CMD_GAME_EVENT}));
    EXPECT_EQ(r[0].U32(4), NameHash("marker b"));
    EXPECT_EQ(r[1].U8(2), 5u);
    EXPECT_EQ(static_cast<int16_t>(r[1].U16(4)), 901);
    EXPECT_EQ(static_cast<int16_t>(r[1].U16(6)), -1);
    EXPECT_EQ(r[4].U8(2), 6u);
    EXPECT_EQ(scenario.Lords().phase, LordBlock::PHASE_ANNOUNCED);

    scenario.Lords().phase = LordBlock::PHASE_WAITING;
    Client();
    scenario.UpdateLords(0.1f);
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(scenario.Lords().phase, LordBlock::PHASE_ANNOUNCED);
}

TEST_F(ScenarioFixture, TrackSpawnAndTheFallOfALord) {
    AddLordRecords();
    AddLordTriggers();
    ASSERT_EQ(scenario.FindLordRecords(), 1);
    areas.Add("Team1", 0, 0);
    areas.Add("Team2", 1000, 0);
    CTestWorldObject* markerA = AddObject(900, 0, 25);
    markerA->position = {500, 0, 300};
    CTestWorldObject* markerB = AddObject(901, 0, 24);
    markerB->position = {200, 0, 100};
    objects.ownerTeam[24] = 0, objects.ownerTeam[25] = 1;
    scenario.TrackLords();
    EXPECT_EQ(scenario.Lords().entries[0].owner, 24);
    EXPECT_EQ(scenario.Lords().entries[1].spawnPosition[0], 500.0f);
    scenario.SpawnLords(0, 3);
    CWorldObject* lord0 = objects.GetObjectById(13);
    CWorldObject* lord1 = objects.GetObjectById(14);
    ASSERT_NE(lord0, nullptr);
    ASSERT_NE(lord1, nullptr);
    EXPECT_EQ(lord0->team, 0);
    EXPECT_EQ(lord1->team, 1);
    EXPECT_EQ(lord0->recordName, platform::Utf8ToCp949("로드 뱀파이어"));
    auto r = Take();
    ASSERT_EQ(Types(r), (std::vector<uint8_t>{CMD_UNIT_ORDER, CMD_UNIT_ORDER}));
    EXPECT_EQ(scenario.Lords().phase, LordBlock::PHASE_MARCHING);

    scenario.UpdateLords(0.1f);
    EXPECT_TRUE(Take().empty());
    lord1->Die();
    scenario.UpdateLords(0.1f);
    r = Take();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].type, CMD_PLAYER_EVENT);
    EXPECT_EQ(r[0].U8(3), 0u);  // entry 1 fell: slot byte 0
    EXPECT_EQ(scenario.Lords().phase, LordBlock::PHASE_ENDED);

    // A marker that names no object takes the lords away.
    scenario.Lords().lordTime = 60;
    scenario.Lords().entries[1].markerObjectId = 4321;
    scenario.TrackLords();
    EXPECT_EQ(scenario.Lords().lordTime, 0.0f);
}

TEST_F(ScenarioFixture, ResetReleasesTheLordRecords) {
    AddLordRecords();
    AddLordTriggers();
    ASSERT_EQ(scenario.FindLordRecords(), 1);
    CGameDataRecord* record = scenario.Lords().lordRecords[0];
    EXPECT_EQ(record->linked, 1u);
    scenario.Reset();
    EXPECT_EQ(record->linked, 0u);
    EXPECT_TRUE(scenario.Triggers().empty());
    EXPECT_EQ(scenario.Lords().lordTime, 0.0f);
}

namespace {

class CCountedSound : public CResource {
public:
    CCountedSound() : CResource(RES_SOUND_EFFECT) { ++live; }
    ~CCountedSound() override { --live; }
    int Load(const char*, int) override {
        SetState(1);
        return 1;
    }
    static inline int live = 0;
};

}  // namespace

TEST_F(ScenarioFixture, ResetDropsTheSoundsTheTriggersHold) {
    TempFolder folder;
    folder.Write("SOUND/BELL.WAV", "wave");
    CResourceManager resources(folder.path());
    resources.SetFactory(RES_SOUND_EFFECT, [](CUiWindow*) -> CResource* { return new CCountedSound; });
    CTrigger& t = AddTrigger("bells");
    Add(t, std::make_unique<CPlaySoundAction>()).soundName = "BELL.WAV";
    Add(t, std::make_unique<CBoundUnitCondition>()).soundName = "BELL.WAV";
    std::vector<uint8_t> bytes = WriteScenario(scenario);
    scenario.Reset();
    ASSERT_EQ(ReadScenario(scenario, bytes), 1) << errors.Text();
    ASSERT_EQ(scenario.HeldResources().size(), 1u);
    CResource* bell = scenario.HeldResources().front();
    EXPECT_EQ(bell->RefCount(), 2);  // the play action's and the bound unit's
    resources.GetResource("BELL.WAV", RES_SOUND_EFFECT, nullptr, 1);
    scenario.Reset();
    EXPECT_TRUE(scenario.HeldResources().empty());
    EXPECT_EQ(bell->RefCount(), 1);
    resources.ReleaseResource(bell);
    EXPECT_EQ(CCountedSound::live, 0);
}

namespace {

// A marching unit: only its order matters here.
class CMarcher : public CCombatObject {
public:
    CMarcher() { flags |= WO_KIND_UNIT; }
    int InitFromRecord(const platform::Vec3& p, CGameDataRecord*, int32_t, float, float) override {
        position = p;
        return 1;
    }
    void RecalcStats(int32_t) override {}
    float GetAcquireRange() override { return 0; }
    void Regenerate(float) override {}
};

}  // namespace

TEST_F(ScenarioFixture, MarchingLordsTurnTowardEachOtherOnce) {
    objects.SetObjectFactory(
        0, [](void* storage) -> CWorldObject* { return new (storage) CMarcher; }, sizeof(CMarcher));
    AddLordRecords();
    AddLordTriggers();
    ASSERT_EQ(scenario.FindLordRecords(), 1);
    areas.Add("Team1", 0, 0);
    areas.Add("Team2", 1000, 0);
    scenario.SpawnLords(1, 1);
    auto* lord0 = static_cast<CMarcher*>(objects.GetObjectById(13));
    auto* lord1 = static_cast<CMarcher*>(objects.GetObjectById(14));
    ASSERT_NE(lord0, nullptr);
    ASSERT_NE(lord1, nullptr);
    Take();
    lord1->position = {500, 0, 500};
    lord1->bounds.horizontalRadius = 20;
    lord0->SetOrder(3, 2, {1000, 0, 0}, -1, -1);  // toward the enemy base, far from lord 1
    lord0->position = {505, 0, 490};
    lord0->bounds.horizontalRadius = 30;
    lord1->SetOrder(3, 2, {500, 0, 510}, -1, -1);  // within lord 0's reach
    scenario.UpdateLords(4.0f);
    EXPECT_TRUE(Take().empty());  // not a check frame yet
    scenario.UpdateLords(1.5f);
    auto r = Take();
    ASSERT_EQ(r.size(), 1u);  // lord 1's goal lies within lord 0's reach: only lord 0 turns
    EXPECT_EQ(r[0].type, CMD_UNIT_ORDER);
    EXPECT_EQ(r[0].U16(8), 13u);
    EXPECT_EQ(r[0].U16(12), 500u);  // toward lord 1
    scenario.UpdateLords(5.5f);
    EXPECT_TRUE(Take().empty());  // once only
}
