// The main panel on the sample map, headless: the play screen loads it from
// the sample folder's "PLAY_MAIN.DUI", a Knight stands as the local hero and
// the records the panel makes are read back from the local queue.
#include "screens/game/PlayMainPanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/Random.h"
#include "engine/render/Camera.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/WalkGridView.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "platform/Clock.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/CrtRandom.h"
#include "platform/ScriptedInput.h"
#include "platform/Window.h"
#include "screens/game/ItemTooltip.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/UnitInfoWindow.h"
#include "tests/fixtures/CapturingGfxDevice.h"
#include "tests/fixtures/HeldTexture.h"
#include "tests/fixtures/StubTexture.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "tools/LayoutWriter.h"
#include "tools/MainPanelLayouts.h"
#include "ui/LayoutResource.h"
#include "ui/UiButton.h"
#include "ui/UiControls.h"
#include "ui/UiCursorHost.h"
#include "ui/UiGauge.h"
#include "world/GameDataRegistry.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/SightGrid.h"
#include "world/SkillInstance.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"
#include "world/TerrainEngine.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

uint32_t g_now = 1000;
uint32_t Now() { return g_now; }

// A record as it left the panel: its type and bytes.
struct SentRecord {
    uint8_t type;
    std::vector<uint8_t> bytes;
};

class PlayMainPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        harness.MakeCurrent(0);
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        RegisterStubTextures(*g_pResourceManager);
        platform::SetClockSource(&Now);
        g_pClientSession = &session;
        auto scripted = std::make_unique<platform::ScriptedInput>();
        input = scripted.get();
        host.input.CreateInput(std::move(scripted), 0);
        camera.distance = 300.0f;
        for (int line = 0; line < 30; ++line) resources.skillAttackMessages.push_back("line " + std::to_string(line));
        g_pPlayResources = &resources;
        hero = harness.SpawnUnit("Knight", {100, 0, 100}, 0, 0, 300, 30, 40, 20, 0);
        ASSERT_EQ(hero, 0);
        World().slotOccupied[0] = true;
        World().gameMode = 1;
        PlayContext context;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        screen = std::make_unique<CPlayScreen>(context);
        g_now += 33;
        screen->Update();
        ASSERT_EQ(screen->Phase(), CPlayScreen::PHASE_PLAY) << ErrorReport().GetText();
        panel = screen->MainPanel();
        ASSERT_NE(panel, nullptr);
        panel->SetInput(&host.input);
        Drain();
        panel->Refresh(-1);
    }
    void TearDown() override {
        screen.reset();
        host.ui.SetCursorHost(nullptr);
        host.window = nullptr;
        g_pPlayResources = nullptr;
        g_pClientSession = nullptr;
        platform::SetClockSource(nullptr);
    }

    CWorldObjectManager& World() { return harness.machine(0).map->objects; }
    CGameCommandManager& Commands() { return *harness.machine(0).commands; }
    CUnit& Hero() { return *harness.Unit(0, hero); }
    // Every queued record, in order; the queue is left empty.
    std::vector<SentRecord> Drain() {
        std::vector<SentRecord> out;
        while (CGameCommand* r = Commands().NextCommand()) {
            const uint8_t* b = r->Bytes();
            out.push_back({r->Type(), std::vector<uint8_t>(b, b + r->Size())});
            Commands().FreeCommand(r);
        }
        return out;
    }
    static std::vector<SentRecord> OfType(const std::vector<SentRecord>& all, uint8_t type) {
        std::vector<SentRecord> out;
        for (const SentRecord& r : all)
            if (r.type == type) out.push_back(r);
        return out;
    }
    // One frame in which the key went down.
    void Press(uint8_t key) {
        input->SetKey(key, false);
        host.input.UpdateInput(0.016f, 1);
        input->SetKey(key, true);
        host.input.UpdateInput(0.016f, 1);
    }
    void HoldShift(bool down) {
        input->SetKey(platform::DIK_LSHIFT, down);
        host.input.UpdateInput(0.016f, 1);
    }
    // A fresh item of the record into a storage place of the local player.
    CInventoryItem* Store(const char* record, int place, int32_t charges = 1) {
        CGameDataRecord* r = g_pGameDataRegistry->FindRecord(CAT_ITEM, NameHash(record));
        CInventoryItem* item = World().CreateInventoryItem(r, 0, charges);
        item->charges = charges;
        screen->SetArmyItem(0, 1, place, item);
        return item;
    }
    CSkillInstance& Skill(size_t i) { return *Hero().skills.at(i); }
    // A learned active skill of the hero's that waits for a target of the
    // kind, with mana for it.
    CSkillInstance& AimedSkill(size_t i, uint32_t targetKind) {
        Hero().stats.final[6] = 1000;
        Hero().mana = 1000;
        CSkillInstance& s = Skill(i);
        s.level = 1;
        s.record->flags = 0x10;
        s.record->skillWord2 = targetKind;
        return s;
    }
    // The cursors by index, for a test that reads which one a mode chose.
    struct IndexCursors : IUiCursorHost {
        uintptr_t LoadCursor(uint32_t id) override { return id + 1; }
        void SetCursor(uintptr_t) override {}
        void ShowCursor(bool) override {}
    };
    void LoadCursors() {
        host.ui.SetCursorHost(&cursors);
        for (uint32_t id = 0; id < 30; ++id) host.ui.LoadCursor(id);
    }
    // One input frame of the screen with the pointer at a place.
    void PointerFrame(int32_t x, int32_t y) {
        input->SetCursor(x, y);
        host.input.UpdateInput(0.016f, 1);
        screen->RunInputStep(0.016f);
    }

    CWorldHarness harness;
    CClientSession session;
    CRecordingScreenHost host;
    platform::ScriptedInput* input = nullptr;
    CPlayCamera camera;
    CPlayResources resources;
    platform::CTestWindow window{1024, 768, true};
    IndexCursors cursors;
    std::unique_ptr<CPlayScreen> screen;
    CPlayMainPanel* panel = nullptr;
    int32_t hero = -1;
};

TEST_F(PlayMainPanelTest, EmptySelectionHidesTheStatisticsAndShowsTheTitle) {
    ASSERT_EQ(panel->SelectedIndex(), hero);
    EXPECT_FALSE(panel->statics[CPlayMainPanel::ST_CHARNAME]->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(panel->statics[CPlayMainPanel::ST_TITLE]->HasFlags(UI_HIDDEN));
    EXPECT_EQ(panel->statics[CPlayMainPanel::ST_CHARNAME]->GetText(), "</C=ffff00>Lv1 </>Knight");

    screen->Selection().selected.clear();
    panel->Refresh(-1);
    EXPECT_EQ(panel->SelectedIndex(), -1);
    EXPECT_EQ(panel->GetSelectedObject(), nullptr);
    for (int i = 0; i < CPlayMainPanel::ST_COUNT; ++i) {
        if (i == CPlayMainPanel::ST_GOLD) continue;
        EXPECT_EQ(panel->statics[static_cast<size_t>(i)]->HasFlags(UI_HIDDEN), i != CPlayMainPanel::ST_TITLE)
            << CPlayMainPanel::kStaticNames[static_cast<size_t>(i)];
    }
    EXPECT_TRUE(panel->hpGauge->HasFlags(UI_HIDDEN));
    for (CUiButton* item : panel->item) EXPECT_EQ(item->StateImage(0), nullptr);
}

TEST_F(PlayMainPanelTest, StatisticsGaugesBonusesAndTheArmy) {
    CUnit& unit = Hero();
    unit.hitPoints = 150;
    unit.stats.final[5] = 300;
    unit.stats.final[6] = 0;  // no mana at all: the gauge is full
    unit.stats.final[9] = 0.1f;
    unit.stats.base[9] = 1.0f;
    unit.stats.base[3] = 30, unit.stats.final[3] = 42;  // attack +12 in green
    unit.stats.base[4] = 10, unit.stats.final[4] = 7;   // defence -3 in red
    unit.stats.base[10] = 40, unit.stats.final[10] = 40;
    panel->Refresh(hero);
    EXPECT_FLOAT_EQ(panel->hpGauge->Percent(), 50.0f);
    EXPECT_FLOAT_EQ(panel->mpGauge->Percent(), 100.0f);
    EXPECT_EQ(panel->statics[CPlayMainPanel::ST_HPBAR]->GetText(), "150/300");
    EXPECT_EQ(panel->statics[CPlayMainPanel::ST_ATTACKSPEED]->GetText(), "0.3");
    const struct {
        int bonus;
        const char* text;
        float green;
        bool shown;
    } bonuses[] = {
        {CPlayMainPanel::ST_ATTACK_PLUS, "+12", 1.0f, true},
        {CPlayMainPanel::ST_DEFENCE_PLUS, "-3", 0.0f, true},
        {CPlayMainPanel::ST_MOVE_PLUS, "0", 0.0f, false},
    };
    for (const auto& b : bonuses) {
        CUiStatic* s = panel->statics[static_cast<size_t>(b.bonus)];
        EXPECT_EQ(s->GetText(), b.text);
        EXPECT_FLOAT_EQ(s->TextColour().g, b.green) << b.text;
        EXPECT_FLOAT_EQ(s->TextColour().r, 1.0f - b.green) << b.text;
        EXPECT_EQ(!s->HasFlags(UI_HIDDEN), b.shown) << b.text;
    }
    // A hit-point maximum of 0 leaves the gauge where it was.
    unit.stats.final[5] = 0;
    panel->Refresh(hero);
    EXPECT_FLOAT_EQ(panel->hpGauge->Percent(), 50.0f);

    // Thirteen selected units: twelve army buttons, the statistics hidden.
    std::vector<int32_t> units{hero};
    for (int i = 1; i < 13; ++i) units.push_back(harness.SpawnUnit("Creep", {150.0f + 5.0f * i, 0, 150}, 0, 0));
    screen->Selection().selected = units;
    panel->Refresh(hero);
    for (CUiButton* army : panel->army) {
        EXPECT_FALSE(army->HasFlags(UI_HIDDEN));
    }
    EXPECT_EQ(panel->army[11]->Text(), "Creep");
    EXPECT_TRUE(panel->statics[CPlayMainPanel::ST_ATTACK]->HasFlags(UI_HIDDEN));
}

TEST_F(PlayMainPanelTest, ASummonsCountDownFillsTheThirdGaugeByWhatIsLeft) {
    const int32_t id = harness.SpawnUnit("Creep", {150, 0, 150}, 0, 0);
    CUnit& creep = *harness.Unit(0, id);
    CUiStatic* time = panel->statics[CPlayMainPanel::ST_TIME];
    struct Case {
        const char* what;
        float lifetime, total;
        bool timeShown;
        float percent;  // the gauge before the refresh is 77
    } cases[] = {
        {"a quarter left", 10.0f, 40.0f, true, 25.0f},
        {"just summoned", 40.0f, 40.0f, true, 100.0f},
        {"no whole time to measure against", 10.0f, 0.0f, true, 77.0f},
        {"no count-down at all", CCombatObject::kUnlimitedLife, 40.0f, false, 77.0f},
    };
    screen->Selection().selected = {id};
    for (const Case& c : cases) {
        creep.lifetime = c.lifetime;
        creep.lifetimeTotal = c.total;
        panel->expGauge->SetPercent(77.0f);
        time->AddFlags(UI_HIDDEN);
        panel->Refresh(id);
        EXPECT_FLOAT_EQ(panel->expGauge->Percent(), c.percent) << c.what;
        EXPECT_EQ(!time->HasFlags(UI_HIDDEN), c.timeShown) << c.what;
    }
}

TEST_F(PlayMainPanelTest, AStunDisablesTheSlotsInTheSameFrameAndItsEndEnablesThem) {
    panel->Update(0.016f);
    ASSERT_TRUE(panel->ControlsEnabled());
    Hero().conditions[3] = 1;
    panel->Update(0.016f);
    EXPECT_FALSE(panel->ControlsEnabled());
    for (CUiButton* b : panel->skill) EXPECT_TRUE(b->HasFlags(UI_DISABLED));
    for (CUiButton* b : panel->skillPoint) EXPECT_TRUE(b->HasFlags(UI_DISABLED));
    for (CUiButton* b : panel->item) EXPECT_TRUE(b->HasFlags(UI_DISABLED));
    Hero().conditions[3] = 0;
    panel->Update(0.016f);
    for (CUiButton* b : panel->skill) EXPECT_FALSE(b->HasFlags(UI_DISABLED));
    for (CUiButton* b : panel->item) EXPECT_FALSE(b->HasFlags(UI_DISABLED));
    // The mission script switches them off through the play screen.
    static_cast<IScriptHost&>(*screen).SetControlsEnabled(false);
    EXPECT_TRUE(panel->skill[0]->HasFlags(UI_DISABLED));
    EXPECT_TRUE(panel->item[7]->HasFlags(UI_DISABLED));
}

TEST_F(PlayMainPanelTest, SkillRefusalsShowTheirLinesAndChangeNothing) {
    CSkillInstance& skill = Skill(0);
    ASSERT_NE(skill.LevelRecord(), nullptr);
    const struct {
        const char* what;
        std::function<void()> arrange;
        const char* line;
    } cases[] = {
        {"no mana", [&] { Hero().mana = 0; }, "line 23"},
        {"stunned", [&] { Hero().conditions[4] = 1; }, "line 24"},
        {"not learned", [&] { skill.level = 0; }, "line 25"},
        {"cooling down", [&] { skill.cooldownElapsed = 0; }, "line 26"},
    };
    for (const auto& c : cases) {
        Hero().mana = 1000;
        Hero().conditions[4] = 0;
        skill.level = 1;
        skill.cooldownElapsed = CSkillInstance::kReady;
        c.arrange();
        panel->Refresh(hero);
        EXPECT_EQ(panel->UseSlot(0, 0), 0) << c.what;
        EXPECT_EQ(panel->LastNotice(), c.line) << c.what;
        EXPECT_TRUE(Drain().empty()) << c.what;
        EXPECT_EQ(screen->InputMode(), 0) << c.what;
    }
}

TEST_F(PlayMainPanelTest, CoolingSkillsShowTheSecondsLeft) {
    CSkillInstance& bolt = Skill(0);  // 5 s at level 1
    bolt.level = 1;
    bolt.cooldownElapsed = 0.5f;
    Skill(1).cooldownElapsed = CSkillInstance::kReady;
    panel->Render();
    EXPECT_FALSE(panel->skillCoolTime[0]->HasFlags(UI_HIDDEN));
    EXPECT_EQ(panel->skillCoolTime[0]->GetText(), "5");
    EXPECT_TRUE(panel->skillCoolTime[1]->HasFlags(UI_HIDDEN));
    bolt.cooldownElapsed = 5.0f;
    panel->Render();
    EXPECT_TRUE(panel->skillCoolTime[0]->HasFlags(UI_HIDDEN));
}

TEST_F(PlayMainPanelTest, SkillsCastToggleOrWaitForATarget) {
    Hero().stats.final[6] = 1000;
    Hero().mana = 1000;
    // Call: an active skill without a target kind casts at once.
    CSkillInstance& call = Skill(3);
    call.record->flags = 0x10;
    call.record->skillWord2 = 0;
    panel->Refresh(hero);
    ASSERT_EQ(panel->UseSlot(3, 0), 1) << panel->LastNotice();
    auto casts = OfType(Drain(), CMD_CAST_SKILL);
    ASSERT_EQ(casts.size(), 1u);
    const std::vector<uint8_t> expected = {CMD_CAST_SKILL, 16, static_cast<uint8_t>(call.id),
                                           static_cast<uint8_t>(call.id >> 8), 0, 0, 0xFF, 0xFF,
                                           0, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_EQ(casts[0].bytes, expected);

    // A toggle: on with flag 1, off with flag 0, and the tooltip follows.
    CSkillInstance& swap = Skill(2);
    swap.record->flags = 0x40;
    swap.active = 0;
    panel->Refresh(hero);
    ASSERT_EQ(panel->UseSlot(2, 0), 1) << panel->LastNotice();
    casts = OfType(Drain(), CMD_CAST_SKILL);
    ASSERT_EQ(casts.size(), 1u);
    EXPECT_EQ(casts[0].bytes[14], 1);
    swap.cooldownElapsed = CSkillInstance::kReady;
    ASSERT_EQ(panel->UseSlot(2, 0), 1) << panel->LastNotice();
    casts = OfType(Drain(), CMD_CAST_SKILL);
    ASSERT_EQ(casts.size(), 1u);
    EXPECT_EQ(casts[0].bytes[14], 0);
    EXPECT_EQ(swap.active, 0u);

    // An active skill with a target kind waits in the target mode.
    CSkillInstance& bolt = Skill(0);
    bolt.record->flags = 0x10;
    bolt.record->skillWord2 = 1;
    ASSERT_EQ(panel->UseSlot(0, 0), 1);
    EXPECT_EQ(screen->InputMode(), 4);
    EXPECT_EQ(panel->PendingSkill(), &bolt);
    EXPECT_EQ(panel->PendingIsItem(), 0);
    EXPECT_TRUE(OfType(Drain(), CMD_CAST_SKILL).empty());
}

TEST_F(PlayMainPanelTest, TheSampleHeroUsesEveryKindOfSlot) {
    const int32_t dawn = harness.SpawnUnit("Dawn Hunter", {120, 0, 100}, 0, 0);
    auto* unit = harness.Unit(0, dawn);
    ASSERT_EQ(unit->skills.size(), 5u);
    for (CSkillInstance* s : unit->skills) s->level = 1;
    unit->stats.final[6] = 500;
    unit->mana = 500;
    screen->Selection().selected = {dawn};
    panel->Refresh(dawn);
    EXPECT_EQ(panel->UseSlot(0, 0), 1);  // Smite, at once
    EXPECT_EQ(OfType(Drain(), CMD_CAST_SKILL).size(), 1u);
    EXPECT_EQ(panel->UseSlot(2, 0), 1);  // Guard, switched on
    EXPECT_EQ(OfType(Drain(), CMD_CAST_SKILL).size(), 1u);
    EXPECT_EQ(panel->UseSlot(3, 0), 0);  // Valor works by itself
    EXPECT_TRUE(panel->skill[3]->HasFlags(CPlayMainPanel::kUnusable));
    EXPECT_EQ(panel->UseSlot(1, 0), 1);  // Lance waits for its target
    EXPECT_EQ(screen->InputMode(), 4);
    panel->CancelSkillTarget();
    EXPECT_EQ(panel->UseSlot(4, 0), 1);  // Quake waits for a ground area, wider each level
    EXPECT_EQ(screen->InputMode(), 4);
    ASSERT_NE(panel->PendingSkill(), nullptr);
    EXPECT_EQ(panel->PendingSkill()->record->skillWord2, 3u);
    const CSkillRecord& quake = *unit->skills[4]->record;
    ASSERT_EQ(quake.LevelCount(), 3u);
    EXPECT_GT(quake.Level(0)->AreaRadius(), 0.0f);
    EXPECT_GT(quake.Level(2)->AreaRadius(), quake.Level(0)->AreaRadius());
    // Two certain ingredients in storage make a sword at once.
    Store("Elixir", 0);
    Store("Potion", 1);
    panel->AutoCombine();
    EXPECT_EQ(OfType(Drain(), CMD_BUY_ITEM).size(), 1u);
}

TEST_F(PlayMainPanelTest, SkillPointsLearnAtOnceOrWhenTheCooldownEnds) {
    CUnit& unit = Hero();
    for (CSkillInstance* s : unit.skills) s->level = 1;
    unit.levelUps = 2;
    Skill(0).cooldownElapsed = CSkillInstance::kReady;
    panel->Refresh(hero);
    ASSERT_FALSE(panel->skillPoint[0]->HasFlags(UI_HIDDEN));
    panel->OnLButtonClick(panel->skillPoint[0]);
    EXPECT_EQ(Skill(0).level, 2);
    EXPECT_EQ(unit.levelUps, 1);
    auto learned = OfType(Drain(), CMD_SKILL_SLOT_ACTION);
    ASSERT_EQ(learned.size(), 1u);

    // Swap (2 levels) is cooling down: the level waits.
    Skill(2).cooldownElapsed = 0;
    panel->Refresh(hero);
    panel->OnLButtonClick(panel->skillPoint[2]);
    EXPECT_EQ(Skill(2).level, 1);
    EXPECT_EQ(Skill(2).pendingLevels, 1);
    EXPECT_EQ(unit.levelUps, 0);
    for (CUiButton* b : panel->skillPoint) EXPECT_TRUE(b->HasFlags(UI_HIDDEN));
}

TEST_F(PlayMainPanelTest, InTheTutorialTheFifthSkillPointButtonDoesNothing) {
    // A fifth skill of three levels for the Knight.
    ASSERT_GE(harness.GiveSkill(hero, "Mirror"), 0);
    Hero().levelUps = 3;
    World().gameMode = 2;
    panel->Refresh(hero);
    panel->OnLButtonClick(panel->skillPoint[4]);
    EXPECT_EQ(Hero().levelUps, 3);
    EXPECT_TRUE(OfType(Drain(), CMD_SKILL_SLOT_ACTION).empty());
}

TEST_F(PlayMainPanelTest, ArmyButtonsShowOrWithShiftRemoveTheirUnit) {
    const int32_t creep = harness.SpawnUnit("Creep", {150, 0, 150}, 0, 0);
    screen->Selection().selected = {hero, creep};
    panel->Refresh(hero);
    panel->OnLButtonClick(panel->army[1]);
    EXPECT_EQ(panel->SelectedIndex(), creep);
    HoldShift(true);
    panel->OnLButtonClick(panel->army[1]);
    HoldShift(false);
    EXPECT_EQ(screen->Selection().selected, std::vector<int32_t>{hero});
    EXPECT_EQ(panel->SelectedIndex(), hero);
}

TEST_F(PlayMainPanelTest, StorageItemsAreFoundForTheScriptAndPickedForCombination) {
    Store("Potion", 2);
    Store("Sword", 5);
    panel->RefreshStorage();
    const uint32_t potion = NameHash("Potion");
    EXPECT_EQ(panel->GetStorageButton(potion), panel->storage[2]);
    EXPECT_TRUE(static_cast<IScriptHost&>(*screen).HasStorageItem(potion));
    EXPECT_FALSE(static_cast<IScriptHost&>(*screen).HasStorageItem(NameHash("Nothing")));
    EXPECT_NE(panel->storage[2]->StateImage(0), nullptr);

    // In the pick mode a second click takes the item out of the pick again.
    panel->OnLButtonClick(panel->combine);
    ASSERT_EQ(screen->InputMode(), 8);
    panel->OnLButtonClick(panel->storage[2]);
    panel->OnLButtonClick(panel->storage[5]);
    EXPECT_EQ(panel->PickedSlots(), (std::vector<int32_t>{2, 5}));
    panel->OnLButtonClick(panel->storage[2]);
    EXPECT_EQ(panel->PickedSlots(), std::vector<int32_t>{5});
    EXPECT_EQ(panel->PickedItems(), std::vector<int32_t>(1, static_cast<int32_t>(NameHash("Sword"))));
    // D with one item says so and stays in the mode.
    panel->Combine();
    EXPECT_EQ(panel->LastNotice(), GetMessageText(MSG_COMBINATION_NOT_2ITEM));
    EXPECT_EQ(screen->InputMode(), 8);
}

TEST_F(PlayMainPanelTest, CombinationsCertainRolledAndAmbiguous) {
    auto& recipe = *g_pGameDataRegistry->Combinations().front();  // Potion + Potion -> Sword
    Store("Potion", 0);
    EXPECT_FALSE(panel->HasIngredients(recipe));  // one potion cannot fill both places
    Store("Potion", 3);
    EXPECT_TRUE(panel->HasIngredients(recipe));

    // A certain recipe: both storage places freed with their records, then the buy.
    recipe.value = 0;
    panel->AutoCombine();
    const auto sent = Drain();
    const auto removed = OfType(sent, CMD_ITEM_SLOT_ACTION);
    ASSERT_EQ(removed.size(), 2u);
    const uint32_t expectedFirst = ((0u << 6 | 0u) << 6) | 6u;
    const uint32_t expectedSecond = ((3u << 6 | 0u) << 6) | 6u;
    EXPECT_EQ(LoadU32(removed[0].bytes.data() + 4), expectedFirst);
    EXPECT_EQ(LoadU32(removed[1].bytes.data() + 4), expectedSecond);
    const auto buys = OfType(sent, CMD_BUY_ITEM);
    ASSERT_EQ(buys.size(), 1u);
    EXPECT_EQ(buys[0].bytes, (std::vector<uint8_t>{CMD_BUY_ITEM, 12, 0, 0xFF, 0xFF, 0xFF, 1, 0,
                                                    static_cast<uint8_t>(recipe.resultItem->id),
                                                    static_cast<uint8_t>(recipe.resultItem->id >> 8),
                                                    static_cast<uint8_t>(recipe.resultItem->id >> 16),
                                                    static_cast<uint8_t>(recipe.resultItem->id >> 24)}));
    EXPECT_EQ(session.slots[0].itemCount, 0u);

    // Two different recipes possible: the player must choose.
    auto second = std::make_unique<ItemCombination>();
    second->members = recipe.members;
    second->resultItem = recipe.members[0];
    g_pGameDataRegistry->AddCombination(std::move(second));
    Store("Potion", 0);
    Store("Potion", 1);
    panel->AutoCombine();
    EXPECT_EQ(panel->LastNotice(), GetMessageText(MSG_COMBINATION_USE_SELECT));
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(session.slots[0].itemCount, 2u);
}

TEST_F(PlayMainPanelTest, FailedCombinationsLoseWhatTheRecipeSays) {
    auto& recipe = *g_pGameDataRegistry->Combinations().front();
    auto* potion = static_cast<CItemData*>(recipe.members[0]);
    recipe.value = 1;  // one chance in a hundred
    const struct {
        const char* what;
        CGameDataRecord* failure;
        bool lost;
        size_t removed;
        bool buy;
        uint32_t boughtId;
    } cases[] = {
        {"failure result", recipe.resultItem, false, 2, true, recipe.resultItem->id},
        {"items lost", nullptr, true, 2, true, 0},
        {"nothing lost", nullptr, false, 0, false, 0},
    };
    for (const auto& c : cases) {
        recipe.extraItem = c.failure;
        potion->itemWord[5] = c.lost ? 1 : 0;
        platform::CrtSrand(7);
        InitPercentTable();
        for (int p : {0, 1}) {
            screen->FreeContainerItem(0, 1, p);
            Store("Potion", p);
        }
        panel->OnLButtonClick(panel->combine);
        panel->OnLButtonClick(panel->storage[0]);
        panel->OnLButtonClick(panel->storage[1]);
        panel->OnLButtonClick(panel->combine);
        EXPECT_EQ(panel->LastNotice(), GetMessageText(MSG_COMBINATION_FAILED)) << c.what;
        const auto sent = Drain();
        EXPECT_EQ(OfType(sent, CMD_ITEM_SLOT_ACTION).size(), c.removed) << c.what;
        const auto buys = OfType(sent, CMD_BUY_ITEM);
        ASSERT_EQ(buys.size(), c.buy ? 1u : 0u) << c.what;
        if (c.buy) {
            EXPECT_EQ(LoadU32(buys[0].bytes.data() + 8), c.boughtId) << c.what;
        }
        EXPECT_TRUE(panel->PickedSlots().empty());
    }
}

TEST_F(PlayMainPanelTest, HeldItemsDropOnSlotsAsMoveRecords) {
    // Any hero may carry it.
    static_cast<CItemData*>(g_pGameDataRegistry->FindRecord(CAT_ITEM, NameHash("Potion")))->itemWord[1] = 0;
    CInventoryItem* potion = Store("Potion", 4);
    panel->RefreshStorage();
    panel->OnRButtonClick(panel->storage[4]);
    ASSERT_EQ(screen->InputMode(), 3);
    EXPECT_EQ(panel->Held().item, potion);
    panel->OnLButtonClick(panel->item[1]);
    const auto moves = OfType(Drain(), CMD_MOVE_ITEM);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].bytes, (std::vector<uint8_t>{CMD_MOVE_ITEM, 12, 0, 0, 0, 0, 0, 0, 1, 0, 4, 1}));
    EXPECT_EQ(Hero().Item(1), potion);
    EXPECT_EQ(session.slots[0].items[4], nullptr);
    EXPECT_EQ(panel->GetInventoryButton(NameHash("Potion")), panel->item[1]);
    // Shift on the hero's item sends it back to the first free storage place
    // (once the one frame of UI-only input has passed).
    EXPECT_EQ(screen->InputMode(), 10);
    screen->SetInputMode(0);
    HoldShift(true);
    panel->OnRButtonClick(panel->item[1]);
    HoldShift(false);
    EXPECT_EQ(session.slots[0].items[0], potion);
    EXPECT_EQ(Hero().Item(1), nullptr);
}

TEST_F(PlayMainPanelTest, ItemMovesStackSwapAndSkipTheirOwnEcho) {
    auto* potion = static_cast<CItemData*>(g_pGameDataRegistry->FindRecord(CAT_ITEM, NameHash("Potion")));
    potion->kind = 0;
    potion->itemWord[3] = 10;  // a stack holds 10
    CInventoryItem* three = Store("Potion", 0, 3);
    CInventoryItem* eight = Store("Potion", 1, 8);
    EXPECT_EQ(screen->MoveItem(0, 0, 1, 0, 1, 0, 1, 1), 0);  // only a part fits
    EXPECT_EQ(eight->charges, 10);
    EXPECT_EQ(three->charges, 1);
    eight->charges = 5;
    EXPECT_EQ(screen->MoveItem(0, 0, 1, 0, 1, 0, 1, 1), 1);
    EXPECT_EQ(eight->charges, 6);
    EXPECT_EQ(session.slots[0].items[0], nullptr);  // the source was freed
    Drain();

    // A storage item and a hero's item change places.
    CInventoryItem* sword = Store("Sword", 2);
    ASSERT_EQ(screen->MoveItem(0, 0, 1, hero, 0, 1, 5, 1), 1);
    ASSERT_EQ(screen->MoveItem(0, 0, 1, hero, 0, 2, 5, 1), 1);
    EXPECT_EQ(Hero().Item(5), sword);
    EXPECT_EQ(session.slots[0].items[2], eight);
    EXPECT_EQ(Hero().itemCount, 1);

    // The local slot's own record coming back changes nothing.
    const auto moves = OfType(Drain(), CMD_MOVE_ITEM);
    ASSERT_EQ(moves.size(), 2u);
    for (const SentRecord& m : moves) {
        CGameCommand* echo = Commands().CreateCommand(CMD_MOVE_ITEM);
        std::copy(m.bytes.begin(), m.bytes.end(), echo->Bytes());
        Commands().QueueCommand(echo);
    }
    screen->DispatchGameCommands(0.016f);
    EXPECT_EQ(Hero().Item(5), sword);
    EXPECT_EQ(session.slots[0].items[2], eight);
}

TEST_F(PlayMainPanelTest, MoveAndSlotRecordsOfOtherPlayersAreCheckedBeforeUse) {
    CInventoryItem* sword = Store("Sword", 0);
    session.slots[3].items[0] = World().CreateInventoryItem(sword->record, 0, 1);
    session.slots[3].itemCount = 1;
    const struct {
        const char* what;
        int slot, sourceId, sourceArmy, targetId, targetArmy, sourceIndex, targetIndex;
    } bad[] = {
        {"slot past 11", 20, 3, 1, 3, 1, 0, 1},    {"storage place past 11", 3, 3, 1, 3, 1, 0, 12},
        {"hero place past 7", 3, 3, 1, hero, 0, 0, 8}, {"hero id of nothing", 3, 3, 1, 4000, 0, 0, 1},
        {"empty source", 3, 3, 1, 3, 1, 5, 1},
    };
    for (const auto& b : bad) {
        Commands().BuildMoveItem(static_cast<uint32_t>(b.slot), 0, b.sourceId, b.targetId,
                                 static_cast<uint32_t>(b.sourceArmy), static_cast<uint32_t>(b.targetArmy),
                                 static_cast<uint32_t>(b.sourceIndex), static_cast<uint32_t>(b.targetIndex), 0);
        screen->DispatchGameCommands(0.016f);
        EXPECT_NE(session.slots[3].items[0], nullptr) << b.what;
    }
    // A good one of another player is applied.
    Commands().BuildMoveItem(3, 0, 3, 3, 1, 1, 0, 6, 0);
    screen->DispatchGameCommands(0.016f);
    EXPECT_EQ(session.slots[3].items[0], nullptr);
    EXPECT_NE(session.slots[3].items[6], nullptr);

    // Selling through the slot record: price 100 x 0.9 to the seller.
    static_cast<CItemData*>(sword->record)->kind = 1;
    static_cast<CItemData*>(sword->record)->itemWord[1] = 100;
    const int32_t gold = session.slots[3].gold;
    Commands().BuildItemSlotAction(3, {0, 1, 2, 3, 6}, 0);
    Commands().BuildItemSlotAction(3, {0, 1, 2, 3, 6}, 0);  // the place is empty now: nothing
    Commands().BuildItemSlotAction(3, {0, 1, 2, 40, 6}, 0);
    screen->DispatchGameCommands(0.016f);
    EXPECT_EQ(session.slots[3].gold, gold + 90);
    EXPECT_EQ(session.slots[3].items[6], nullptr);
    EXPECT_EQ(session.slots[3].itemCount, 0u);
}

TEST_F(PlayMainPanelTest, HeldItemsFollowTheirModeFrameByFrame) {
    static_cast<CItemData*>(g_pGameDataRegistry->FindRecord(CAT_ITEM, NameHash("Potion")))->itemWord[1] = 0;
    // Key 3 drops a storage item on the shown hero's third place.
    CInventoryItem* potion = Store("Potion", 1);
    panel->RefreshStorage();
    panel->OnRButtonClick(panel->storage[1]);
    ASSERT_EQ(screen->InputMode(), 3);
    Press(platform::DIK_3);
    panel->ItemHeldFrame(host.input, nullptr, false);
    EXPECT_EQ(Hero().Item(2), potion);
    EXPECT_EQ(screen->InputMode(), 0);
    EXPECT_EQ(panel->Held().item, nullptr);
    auto moves = OfType(Drain(), CMD_MOVE_ITEM);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].bytes, (std::vector<uint8_t>{CMD_MOVE_ITEM, 12, 0, 0, 0, 0, 0, 0, 1, 0, 1, 2}));

    // Released over another own unit: the hero walks there to hand it over.
    const int32_t creep = harness.SpawnUnit("Creep", {130, 0, 100}, 0, 0);
    panel->OnRButtonClick(panel->item[2]);
    ASSERT_EQ(screen->InputMode(), 3);
    panel->ItemHeldFrame(host.input, harness.Object(0, creep), true);
    EXPECT_EQ(screen->InputMode(), 0);
    const auto orders = OfType(Drain(), CMD_UNIT_ORDER);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].bytes[2], 1);   // chase
    EXPECT_EQ(orders[0].bytes[3], 11);  // to hand the item over
    EXPECT_EQ(LoadU16(orders[0].bytes.data() + 10), creep);

    // A held item whose hero dies is dropped the next frame.
    panel->OnRButtonClick(panel->item[2]);
    ASSERT_EQ(screen->InputMode(), 3);
    Hero().alive = 0;
    panel->ItemHeldFrame(host.input, nullptr, false);
    EXPECT_EQ(screen->InputMode(), 0);
    EXPECT_EQ(panel->Held().item, nullptr);
    EXPECT_EQ(Hero().Item(2), potion);
}

TEST_F(PlayMainPanelTest, TargetedSkillsRefuseBlockedOrUnseenGround) {
    ASSERT_NE(g_pWalkGridView, nullptr);
    Hero().stats.final[6] = 1000;
    Hero().mana = 1000;
    CSkillInstance& bolt = Skill(0);
    bolt.record->flags = 0x10;
    bolt.record->skillWord2 = 1;
    panel->Refresh(hero);
    ASSERT_EQ(panel->UseSlot(0, 0), 1);
    EXPECT_EQ(panel->ConfirmSkillTarget({-50, 0, -50}, -1), 0);
    EXPECT_EQ(panel->LastNotice(), GetMessageText(MSG_GAMEPLAY_PICKING_CANNOT));
    EXPECT_EQ(screen->InputMode(), 4);
    if (World().sightGrid) {
        // The far corner of the map is walkable somewhere and unseen.
        const CWalkGridView& grid = *g_pWalkGridView;
        platform::Vec3 far{};
        bool found = false;
        for (int32_t z = grid.height - 1; z >= 0 && !found; --z)
            for (int32_t x = grid.width - 1; x >= 0 && !found; --x) {
                far = {(x + 0.5f) * grid.cellSize, 0, (z + 0.5f) * grid.cellSize};
                found = !(grid.cells[static_cast<size_t>(grid.width * z + x)] & 0x11) &&
                        World().sightGrid->GetCell(far, -1) <= 0;
            }
        if (found) {
            EXPECT_EQ(panel->ConfirmSkillTarget(far, -1), 0);
            EXPECT_EQ(panel->LastNotice(), GetMessageText(MSG_GAMEPLAY_PICKING_MUST_GO));
        }
    }
    // Esc leaves the mode.
    Press(platform::DIK_ESCAPE);
    panel->SkillTargetFrame(host.input, false);
    EXPECT_EQ(screen->InputMode(), 0);
    EXPECT_EQ(panel->PendingSkill(), nullptr);
}

TEST_F(PlayMainPanelTest, DInTheCombinationPickNeedsTwoItems) {
    Store("Potion", 0);
    panel->OnLButtonClick(panel->combine);
    panel->OnLButtonClick(panel->storage[0]);
    Press(platform::DIK_D);
    panel->CombinationFrame(host.input, false);
    EXPECT_EQ(panel->LastNotice(), GetMessageText(MSG_COMBINATION_NOT_2ITEM));
    EXPECT_EQ(screen->InputMode(), 8);
    EXPECT_EQ(panel->PickedSlots(), std::vector<int32_t>{0});
    panel->CombinationFrame(host.input, true);
    EXPECT_EQ(screen->InputMode(), 0);
    EXPECT_TRUE(panel->PickedSlots().empty());
    EXPECT_EQ(panel->LastNotice(), GetMessageText(MSG_COMBINATION_CANCEL));
}

TEST_F(PlayMainPanelTest, MinimapPressesMoveTheCameraOrGiveTheTargetPoint) {
    ASSERT_NE(panel->minimap.map, nullptr);
    const CZEMMap::MinimapRect& rect = panel->minimap.map->minimapRect();
    ASSERT_GT(rect.width, 0);
    const int32_t px = rect.left + rect.width / 4, py = rect.top + rect.height / 4;
    float x = 0, z = 0;
    ASSERT_EQ(CMiniMap(rect).ScreenToMap(px, py, &x, &z), 1);
    auto pointAt = [&](int32_t sx, int32_t sy) {
        input->SetCursor(sx, sy);
        host.input.UpdateInput(0.016f, 1);
    };
    pointAt(px, py);
    panel->OnLButtonPress(&panel->minimap);
    EXPECT_NEAR(camera.target.x, x, 0.01f);
    EXPECT_NEAR(camera.target.z, z, 0.01f);

    // Dragging with Left Alt held leaves the camera where it is.
    pointAt(px + 10, py + 10);
    input->SetKey(platform::DIK_LMENU, true);
    host.input.UpdateInput(0.016f, 1);
    panel->OnLButtonHold(&panel->sight);
    EXPECT_NEAR(camera.target.x, x, 0.01f);
    input->SetKey(platform::DIK_LMENU, false);
    host.input.UpdateInput(0.016f, 1);
    panel->OnLButtonHold(&panel->sight);
    EXPECT_GT(camera.target.x, x);
    EXPECT_EQ(panel->cameraMovedByMinimap, 1);

    // In the attack mode the press is the order's point.
    const platform::Vec3 before = camera.target;
    screen->SetInputMode(1);
    pointAt(px, py);
    panel->OnLButtonPress(&panel->minimap);
    EXPECT_EQ(panel->minimapPointValid, 1);
    EXPECT_NEAR(panel->minimapPoint.x, x, 0.01f);
    EXPECT_NEAR(panel->minimapPoint.z, z, 0.01f);
    EXPECT_FLOAT_EQ(camera.target.x, before.x);
    pointAt(rect.left - 5, py);
    panel->OnLButtonPress(&panel->minimap);
    EXPECT_EQ(panel->minimapPointValid, 0);
}

TEST_F(PlayMainPanelTest, ALayoutWithoutAControlFailsWithItsName) {
    TempFolder folder;
    LayoutFileSpec spec = MainPanelLayout();
    std::erase_if(spec.children, [](const LayoutRecordSpec& r) { return r.name == "ID_BUTTON_ITEM_6"; });
    const std::string path = folder.Path("PLAY_MAIN.DUI");
    ASSERT_EQ(WriteLayoutFile(path.c_str(), spec), 1);
    auto* broken = new CPlayMainPanel(*screen);
    EXPECT_EQ(broken->LoadLayout(path.c_str(), 0), 0);
    EXPECT_NE(std::string(ErrorReport().GetText()).find("ID_BUTTON_ITEM_6"), std::string::npos) << ErrorReport().GetText();
    delete broken;
}

TEST_F(PlayMainPanelTest, AMissingKeyNumberTextureFailsTheLoadWithItsName) {
    TempFolder folder;
    const std::string path = folder.Path("PLAY_MAIN.DUI");
    ASSERT_EQ(WriteLayoutFile(path.c_str(), MainPanelLayout()), 1);
    {
        std::ofstream(folder.Path("KEYNUM1.DDS")) << "cells";  // the second strip is missing
    }
    CMessageTable local;
    (g_pMessageTable ? g_pMessageTable : &local)->SetMsg(MSG_ERROR_FILE_NOT_FOUND, "Cannot find the file %s.");
    CResourceManager* shared = g_pResourceManager;
    {
        CResourceManager bare(folder.Path(""));
        RegisterStubTextures(bare);
        g_pResourceManager = &bare;
        auto* panelWithoutKeys = new CPlayMainPanel(*screen);
        EXPECT_EQ(panelWithoutKeys->LoadLayout(path.c_str(), 0), 0);
        EXPECT_NE(std::string(ErrorReport().GetText()).find("KEYNUM2.DDS"), std::string::npos)
            << ErrorReport().GetText();
        delete panelWithoutKeys;
    }
    g_pResourceManager = shared;
}

TEST_F(PlayMainPanelTest, AnAreaSkillsGroundMarkerFollowsThePointerOverTheGround) {
    host.window = &window;
    LoadCursors();
    CTerrainEngine& terrain = *g_pTerrainEngine;
    auto* device = dynamic_cast<platform::CGfxRecordingDevice*>(terrain.Device());
    ASSERT_NE(device, nullptr);
    // The marker the screen made at its load, again with a picture in the play resources.
    ASSERT_NE(terrain.GroundMarker(), nullptr);
    EXPECT_FALSE(terrain.GroundMarkerShown());
    HeldTexture ring(device, 8, 8);
    resources.textures[CPlayResources::TEX_SKILL_REGION] = &ring;
    screen->CreateGroundMarker();
    resources.textures[CPlayResources::TEX_SKILL_REGION] = nullptr;
    ASSERT_NE(terrain.GroundMarker(), nullptr);
    EXPECT_EQ(terrain.GroundMarkerPicture(), &ring);
    const CTerrainDecal& marker = *terrain.GroundMarker();
    EXPECT_FLOAT_EQ(marker.width, CPlayScreen::kGroundMarkerSize);

    CSkillInstance& bolt = AimedSkill(0, 3);
    ASSERT_EQ(bolt.record->LevelCount(), 2u);
    for (size_t i = 0; i < 2; ++i) bolt.record->levels[i]->amount[3] = FloatBits(25.0f + 10.0f * static_cast<float>(i));
    panel->Refresh(hero);
    ASSERT_EQ(panel->UseSlot(0, 0), 1) << panel->LastNotice();
    ASSERT_EQ(screen->InputMode(), 4);
    // Looking down at the hero from the south.
    camera.SetLookAt(platform::Vec3(100, 300, -200), platform::Vec3(100, 0, 100), 0.785398f);
    camera.SetProjection(1024, 768);
    camera.view = platform::MatrixLookAtLH(camera.eye, camera.target, platform::Vec3(0, 1, 0));

    // Over the ground: where the pointer's ray meets it, as wide as the
    // level's area, in place of the system pointer.
    const int32_t groundX = 512, groundY = 300;
    PointerFrame(groundX, groundY);
    ASSERT_EQ(screen->UiHit(), nullptr);
    platform::Vec3 ground;
    ASSERT_EQ(terrain.PickTerrain(camera.rayOrigin, camera.rayDirection, &ground), 1);
    ASSERT_TRUE(terrain.GroundMarkerShown());
    EXPECT_FLOAT_EQ(marker.position.x, ground.x);
    EXPECT_FLOAT_EQ(marker.position.z, ground.z);
    EXPECT_FLOAT_EQ(marker.width, 50.0f);
    EXPECT_TRUE(screen->PointerHiddenByMarker());
    EXPECT_FALSE(window.CursorShown());
    const uint32_t draws = device->DrawCount();
    terrain.RenderGroundMarker();
    EXPECT_EQ(device->DrawCount(), draws + 1);
    EXPECT_FALSE(marker.moved);

    // The same radius at the same place: no rescale; a new level: one.
    PointerFrame(groundX, groundY);
    EXPECT_TRUE(terrain.GroundMarkerShown());
    EXPECT_FALSE(marker.moved);
    bolt.level = 2;
    PointerFrame(groundX, groundY);
    EXPECT_TRUE(marker.moved);
    EXPECT_FLOAT_EQ(marker.width, 70.0f);
    terrain.RenderGroundMarker();

    // A lost device takes the mesh; the map's return brings it back.
    screen->DeleteDeviceObjects();
    EXPECT_EQ(marker.mesh->VertexBuffer(), nullptr);
    ASSERT_EQ(screen->InitDeviceObjects(), 1) << ErrorReport().Text();
    EXPECT_NE(marker.mesh->VertexBuffer(), nullptr);

    // Over a control of the panel: the area cursor and the system pointer.
    const UiPoint at = panel->skill[1]->GetAbsolutePos();
    PointerFrame(at.x + 4, at.y + 4);
    ASSERT_NE(screen->UiHit(), nullptr);
    EXPECT_FALSE(terrain.GroundMarkerShown());
    EXPECT_EQ(g_pUiManager->CursorIndex(), 17);
    EXPECT_TRUE(window.CursorShown());
    PointerFrame(groundX, groundY);
    EXPECT_TRUE(terrain.GroundMarkerShown());
    EXPECT_FALSE(window.CursorShown());

    // A vote takes the frame: the marker goes and the pointer comes back.
    screen->SetVoteState(1, 3);
    PointerFrame(groundX, groundY);
    EXPECT_FALSE(terrain.GroundMarkerShown());
    EXPECT_TRUE(window.CursorShown());
    screen->SetVoteState(-1, -1);
    PointerFrame(groundX, groundY);
    EXPECT_TRUE(terrain.GroundMarkerShown());

    // Esc ends the mode; the next frame hides the marker.
    Press(platform::DIK_ESCAPE);
    screen->RunInputStep(0.016f);
    EXPECT_EQ(screen->InputMode(), 0);
    PointerFrame(groundX, groundY);
    EXPECT_FALSE(terrain.GroundMarkerShown());
    EXPECT_TRUE(window.CursorShown());
    EXPECT_FALSE(screen->PointerHiddenByMarker());

    // A skill aimed at an object or a point shows no marker.
    bolt.record->skillWord2 = 1;
    ASSERT_EQ(panel->UseSlot(0, 0), 1) << panel->LastNotice();
    PointerFrame(groundX, groundY);
    EXPECT_EQ(screen->InputMode(), 4);
    EXPECT_FALSE(terrain.GroundMarkerShown());
    EXPECT_TRUE(window.CursorShown());

    // The screen's end takes the marker from the map that stays.
    screen.reset();
    EXPECT_EQ(terrain.GroundMarker(), nullptr);
}

TEST_F(PlayMainPanelTest, PortraitsPlayTheShownObjectAndFollowTheDevice) {
    // The panel's portrait idles; the unit window's plays action 1, and 5 once its hero is dead.
    EXPECT_TRUE(panel->Portrait().HasModel());
    EXPECT_EQ(panel->Portrait().Action(), CUnitPortrait::kIdleAction);
    CUnitInfoWindow* info = screen->UnitInfo();
    ASSERT_NE(info, nullptr);
    info->ShowObject(hero);
    EXPECT_EQ(info->Portrait().Action(), CUnitPortrait::kShowAction);
    Hero().deadFlag = 1;
    info->ProcessInput(0.016f, host.input);
    EXPECT_EQ(info->Portrait().Action(), CUnitPortrait::kDeadAction);

    // On a device both get a 128 x 128 target, drawn into after the world and given back with the device.
    platform::GfxPresentParameters pp;
    pp.enableAutoDepthStencil = 1;
    pp.autoDepthStencilFormat = platform::FMT_D24S8;
    platform::CGfxRecordingDevice device(pp);
    CRenderStateCache own;
    CRenderStateCache* cache = g_pRenderStateCache;
    platform::CGfxDevice* before = cache->GetDevice();
    cache->SetDevice(&device);
    screen->RestorePortraits();
    CResource* picture = panel->Portrait().Picture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(panel->Portrait().View().Target()->Width(), CUnitPortrait::kSize);
    EXPECT_EQ(panel->viewer->StateImage(0), picture);
    device.ClearLog();
    screen->RenderPortraits();
    EXPECT_EQ(device.Count("RenderTarget"), 4u);  // into each target and back
    EXPECT_EQ(device.Count("Clear 3 " + std::to_string(CModelPreview::kClearColor)), 2u);

    screen->InvalidatePortraits();
    EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);
    device.ClearLog();
    screen->RenderPortraits();
    EXPECT_EQ(device.Count("RenderTarget"), 0u);
    screen->RestorePortraits();
    EXPECT_EQ(panel->Portrait().Picture(), picture);  // the viewer keeps showing the same picture

    // Nothing shown, nothing drawn.
    info->ShowObject(-1);
    EXPECT_FALSE(info->Portrait().HasModel());
    screen->Selection().selected.clear();
    panel->Refresh(-1);
    device.ClearLog();
    screen->RenderPortraits();
    EXPECT_EQ(device.Count("RenderTarget"), 0u);
    screen->InvalidatePortraits();
    cache->SetDevice(before);
}

}  // namespace

TEST_F(PlayMainPanelTest, SlotKeysActThroughThePanel) {
    CUnit& unit = Hero();
    for (CSkillInstance* s : unit.skills) s->level = 1;
    unit.stats.final[6] = 1000;
    unit.mana = 1000;
    unit.levelUps = 1;
    CSkillInstance& call = Skill(3);
    call.record->flags = 0x10;
    call.record->skillWord2 = 0;
    CSkillInstance& bolt = Skill(0);
    bolt.record->flags = 0x10;
    bolt.record->skillWord2 = 1;
    panel->Refresh(hero);

    // R casts slot 3 at once and takes the frame.
    Press(platform::DIK_R);
    EXPECT_EQ(screen->HandleHotkeys(), 0);
    EXPECT_EQ(OfType(Drain(), CMD_CAST_SKILL).size(), 1u);
    // Alt with W learns slot 1 and lets the mode run; W alone would use it.
    input->SetKey(platform::DIK_LMENU, true);
    Press(platform::DIK_W);
    EXPECT_EQ(screen->HandleHotkeys(), 1);
    input->SetKey(platform::DIK_LMENU, false);
    const auto learned = OfType(Drain(), CMD_SKILL_SLOT_ACTION);
    ASSERT_EQ(learned.size(), 1u);
    EXPECT_TRUE(OfType(Drain(), CMD_CAST_SKILL).empty());
    // Q waits for the target of slot 0.
    Press(platform::DIK_Q);
    EXPECT_EQ(screen->HandleHotkeys(), 0);
    EXPECT_EQ(screen->InputMode(), 4);
    EXPECT_EQ(panel->PendingSkill(), &bolt);
    // An empty item place does nothing and lets the mode run.
    panel->CancelSkillTarget();
    Press(platform::DIK_F2);
    EXPECT_EQ(screen->HandleHotkeys(), 1);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(PlayMainPanelTest, TheScreenRunsThePanelsModes) {
    AimedSkill(0, 1);
    const int32_t creep = harness.SpawnUnit("Creep", {130, 0, 100}, 0, 0);
    screen->Selection().selected = {hero, creep};
    panel->Refresh(hero);

    // Skill target: the second army button names the creep.
    ASSERT_EQ(panel->UseSlot(0, 0), 1) << panel->LastNotice();
    panel->OnLButtonClick(panel->army[1]);
    screen->HandleInput();
    EXPECT_EQ(screen->InputMode(), 0);
    EXPECT_EQ(panel->PendingSkill(), nullptr);
    const auto orders = OfType(Drain(), CMD_UNIT_ORDER);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].bytes[2], 6);
    EXPECT_EQ(LoadU16(orders[0].bytes.data() + 10), creep);

    // An item on the cursor: the icon shows it, the pick-up frame is no drop,
    // Esc puts it back; F9 does the same through the screen's cancel.
    static_cast<CItemData*>(g_pGameDataRegistry->FindRecord(CAT_ITEM, NameHash("Potion")))->itemWord[1] = 0;
    CInventoryItem* potion = Store("Potion", 2);
    panel->RefreshStorage();
    for (int hold = 0; hold < 2; ++hold) {
        panel->OnRButtonClick(panel->storage[2]);
        ASSERT_EQ(screen->InputMode(), 3);
        EXPECT_FALSE(panel->dragIcon.HasFlags(UI_HIDDEN));
        EXPECT_EQ(panel->dragIcon.Held().item, potion);
        screen->HandleInput();
        EXPECT_EQ(screen->InputMode(), 3);
        Press(hold == 0 ? platform::DIK_ESCAPE : platform::DIK_F9);
        screen->HandleInput();
        host.input.UpdateInput(0.016f, 1);  // the key is held, no longer pressed
        EXPECT_EQ(screen->InputMode(), 0);
        EXPECT_EQ(panel->Held().item, nullptr);
        EXPECT_TRUE(panel->dragIcon.HasFlags(UI_HIDDEN));
        EXPECT_EQ(session.slots[0].items[2], potion);
    }
    EXPECT_TRUE(OfType(Drain(), CMD_MOVE_ITEM).empty());

    // The combination pick: F searches the storage and ends the pick.
    panel->OnLButtonClick(panel->combine);
    panel->OnLButtonClick(panel->storage[2]);
    ASSERT_EQ(panel->PickedSlots(), std::vector<int32_t>{2});
    screen->HandleInput();
    EXPECT_EQ(screen->InputMode(), 8);
    Press(platform::DIK_F);
    screen->HandleInput();
    EXPECT_EQ(screen->InputMode(), 0);
    EXPECT_TRUE(panel->PickedSlots().empty());
}

TEST_F(PlayMainPanelTest, TheMinimapShowsTheMapPictureAndTheFogOfWar) {
    const struct {
        const char* file;
        const char* picture;
    } names[] = {{"VALLEY.DRM", "VALLEY.DDS"}, {"MAP\\VALLEY.DRM", "VALLEY.DDS"}, {"a.b/NODOT", "NODOT.DDS"}};
    for (const auto& n : names) EXPECT_EQ(CZEMMap::MinimapPictureName(n.file), n.picture) << n.file;
    ASSERT_NE(panel->minimap.Image(), nullptr) << "the sample map's picture";
    EXPECT_EQ(panel->minimap.ImageName(), "VALLEY.DDS");

    // The fog over the picture: drawn from the whole-grid sight texture only
    // while the match keeps a fog of war.
    CSightGrid* grid = panel->sight.sightGrid;
    ASSERT_NE(grid, nullptr);
    CapturingGfxDevice device;
    ASSERT_EQ(grid->CreateTexture(&device, grid->sizeX(), grid->sizeZ()), 1);
    ASSERT_NE(g_pUiManager, nullptr);
    g_pUiManager->SetDevice(&device);
    g_pUiManager->BeginDraw();
    World().fogOfWar = 0;
    panel->sight.Render();
    const size_t withoutFog = device.draws.size();
    World().fogOfWar = 1;
    device.draws.clear();
    panel->sight.Render();
    ASSERT_EQ(device.draws.size(), withoutFog + 1);
    const uint32_t side = grid->texture()->GetWidth();
    EXPECT_TRUE(std::any_of(device.draws.begin(), device.draws.end(),
                            [side](const CapturingGfxDevice::Draw& d) { return d.textureWidth == side; }));
    g_pUiManager->EndDraw();
    g_pUiManager->SetDevice(nullptr);
}

TEST_F(PlayMainPanelTest, SlotsPulseAndConsumablesShowTheirCount) {
    // The highlights pulse at 2.5 times the frame time, the fourth in gold.
    panel->Update(0.2f);
    EXPECT_FLOAT_EQ(panel->Highlight(0).colour.a, 0.5f);
    EXPECT_FLOAT_EQ(panel->Highlight(3).colour.g, 0.8f);
    panel->Update(1.0f);  // a long frame is one full step: up to 1, then down
    EXPECT_FLOAT_EQ(panel->Highlight(0).colour.a, 1.0f);
    panel->Update(0.2f);
    EXPECT_FLOAT_EQ(panel->Highlight(0).colour.a, 0.5f);

    // A potion of 3 in the hero's first place gets the black count badge.
    CGameDataRecord* record = g_pGameDataRegistry->FindRecord(CAT_ITEM, NameHash("Potion"));
    CInventoryItem* potion = World().CreateInventoryItem(record, 0, 3);
    potion->charges = 3;
    Hero().SetInventoryItem(0, potion);
    panel->Refresh(hero);
    CapturingGfxDevice device;
    g_pUiManager->SetDevice(&device);
    g_pUiManager->BeginDraw();
    panel->Render();
    g_pUiManager->EndDraw();
    g_pUiManager->SetDevice(nullptr);
    float x = 0, y = 0;
    const UiPoint at = panel->item[0]->GetAbsolutePos();
    CountBadgePlace(at.x, at.y, panel->item[0]->Size().x, panel->item[0]->Size().y, &x, &y);
    constexpr uint32_t kColour = 16;  // x, y, z, rhw, then the colour word
    const bool badge = std::any_of(device.draws.begin(), device.draws.end(), [&](const CapturingGfxDevice::Draw& d) {
        return d.At<uint32_t>(0, kColour) == 0xFF000000u && d.At<float>(0, 0) == x - 0.5f && d.At<float>(0, 4) == y - 0.5f;
    });
    EXPECT_TRUE(badge);
}
