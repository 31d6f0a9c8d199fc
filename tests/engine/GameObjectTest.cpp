#include "engine/render/GameObject.h"

#include <gtest/gtest.h>

#include "engine/effects/EffectManager.h"
#include "engine/render/WalkGridView.h"
#include "engine/effects/RibbonManager.h"
#include "tests/fixtures/ModelFolder.h"
#include "tools/EffectFileWriter.h"

using namespace platform;

namespace {

// The hero's effect: one layer that emits for glowSeconds (0: for ever).
void WriteGlow(ModelFolder& models, float glowSeconds) {
    EffectFileLayer layer = BillboardLayer("");
    layer.values.emissionDuration = glowSeconds;
    layer.values.particleLife = 1.0f;
    layer.values.emissionInterval = 0.1f;
    models.folder.WriteLoose("GLOW.DRE", WriteEffectFile(MakeEffectFile({layer})));
}

struct HeroWorld {
    ModelFolder models;
    CEffectManager effects;
    CRibbonManager ribbons;
    float glowSeconds = 5;
    bool glowWritten = false;

    CModelResource* Hero() {
        if (!glowWritten) WriteGlow(models, glowSeconds);
        glowWritten = true;
        CModelResource* model = models.Load(HeroModelFile(), "HERO.DRC");
        EXPECT_NE(model, nullptr) << models.folder.report.Text();
        if (model) model->AddRef();  // the object's own reference
        return model;
    }
    // A hero whose action runs: the first update only clears the start.
    std::unique_ptr<CGameObject> RunningHero() {
        auto object = std::make_unique<CGameObject>();
        object->Init(7, Vec3(), nullptr, Hero(), 0, 0, 1.0f);
        object->Update(0.01f);
        return object;
    }
};

struct GameObjectFixture : ::testing::Test, HeroWorld {};

}  // namespace

TEST(GameObjectTime, HoldsOrWraps) {
    struct Case {
        uint32_t hold;
        float start, dt, expectTime;
        uint32_t finished, restarted;
    } cases[] = {
        {1, 0.5f, 0.7f, 1.0f - 0.000001f, 1, 0},
        {0, 0.5f, 0.7f, 0.2f, 0, 1},
        {0, 0.5f, 2.7f, 0.2f, 0, 1},
        {0, 0.5f, 0.5f, 1.0f, 0, 0},  // exactly the length is not past it
        {1, 0.2f, 0.3f, 0.5f, 0, 0},
    };
    for (const Case& c : cases) {
        CGameObject object;
        object.holdAtEnd = c.hold;
        object.time = c.start;
        object.restarted = 0;
        object.AdvanceTime(c.dt, 1.0f);
        EXPECT_NEAR(object.time, c.expectTime, 1e-5f) << c.start << "+" << c.dt;
        EXPECT_EQ(object.finished, c.finished);
        EXPECT_EQ(object.restarted, c.restarted);
    }
}

TEST_F(GameObjectFixture, InitBuildsChildrenAttachedEffectsAndTrail) {
    auto hero = RunningHero();
    EXPECT_EQ(hero->Children().size(), 1u);
    EXPECT_EQ(hero->AttachedEffects().size(), 1u);
    EXPECT_EQ(hero->bones.size(), 2u);
    ASSERT_NE(hero->ribbon, nullptr);
    EXPECT_EQ(ribbons.Count(), 2u);  // the sub-model's mesh has the ribbon frames too
    EXPECT_EQ(hero->Action().name, "WALK");
    hero.reset();
    EXPECT_EQ(ribbons.Count(), 0u);
    EXPECT_EQ(effects.LiveCount(), 0u);
}

TEST(GameObjectEvents, EventWindows) {
    struct Case {
        float layerDuration, at;
        bool oneShotStarted, attachedLit;
    } cases[] = {
        {5, 0.35f, false, true},  {5, 0.45f, true, true},  {5, 0.55f, true, false},
        {5, 0.65f, false, false}, {0, 0.65f, true, false},  // an endless effect has no window
    };
    for (const Case& c : cases) {
        HeroWorld f;
        f.glowSeconds = c.layerDuration;
        auto hero = f.RunningHero();
        hero->Update(c.at - hero->time);
        EXPECT_EQ(hero->ActionEffects().size(), c.oneShotStarted ? 1u : 0u) << c.at;
        EXPECT_EQ(hero->AttachedEnabled()[0], c.attachedLit ? 1u : 0u) << c.at;
        hero->Update(0.01f);  // still inside: started once only
        EXPECT_LE(hero->ActionEffects().size(), 1u);
    }
}

TEST_F(GameObjectFixture, WrapRestartsOneShotsAndStartsThemAgain) {
    auto hero = RunningHero();
    hero->Update(0.44f);
    ASSERT_EQ(hero->ActionEffects().size(), 1u);
    CEffectInstance* first = hero->ActionEffects().front();
    hero->Update(0.3f);
    float before = first->elapsed;
    hero->Update(0.3f);  // wraps to about 0.05
    EXPECT_EQ(hero->restarted, 1u);
    hero->Update(0.4f);  // restart handled, then into the window again
    EXPECT_LT(first->elapsed, before);
    EXPECT_EQ(hero->ActionEffects().size(), 2u);
}

TEST_F(GameObjectFixture, DetachedEffectsGoBackToTheirOwnPools) {
    auto hero = RunningHero();
    hero->Update(0.44f);
    hero->ExtraEffects().push_back(effects.CreateLinkEffect(-1, -1, nullptr, 0));
    ASSERT_EQ(effects.LiveCount(), 3u);
    CResource* glow = hero->GetModel()->Effects()[0].effect;
    int32_t refs = glow->RefCount();
    hero->DetachEffects();
    EXPECT_EQ(effects.LiveCount(), 0u);
    EXPECT_EQ(effects.FreeInstances(), effects.InstancePool().BlocksPerChunk());
    EXPECT_EQ(effects.FreeLinks(), 20u);
    EXPECT_EQ(glow->RefCount(), refs - 2);
    EXPECT_TRUE(hero->Children().empty());
}

TEST_F(GameObjectFixture, FrozenObjectEndsWithItsEffectsUnlessHeld) {
    auto hero = RunningHero();
    hero->DetachEffects();
    hero->flags |= SO_FROZEN;
    EXPECT_EQ(hero->Update(0.1f), 0);
    hero->refCount = 2;
    EXPECT_EQ(hero->Update(0.1f), 1);
}

TEST_F(GameObjectFixture, ModelWithoutActionsIsSkipped) {
    ModelFile f = HeroModelFile();
    f.actions.clear();
    f.subModels.clear();
    CModelResource* model = models.Load(f, "BARE.DRC");
    ASSERT_NE(model, nullptr);
    model->AddRef();
    CGameObject object;
    object.Init(0, Vec3(), nullptr, model, 0, 0, 1.0f);
    EXPECT_FALSE(object.HasAction());
    EXPECT_EQ(object.Update(0.5f), 1);
    object.Render();
}

TEST_F(GameObjectFixture, RenderDrawsTheModelAndItsChild) {
    auto hero = RunningHero();
    hero->flags |= SO_VISIBLE;
    models.device.ClearLog();
    hero->Render();
    EXPECT_GE(models.device.DrawCount(), 2u);
    Matrix set;
    models.device.GetTransform(TS_WORLD, &set);
    EXPECT_EQ(set(3, 0), hero->Children().front()->world(3, 0));
}

TEST(GridCellWord, MarkAndUnmarkKeepTheGridFlags) {
    struct Case {
        uint32_t before, marked, unmarked;
    } cases[] = {
        {0, 0x10, 0},
        {0x10, 0x30, 0},
        {0x30, 0x50, 0x10},
        {0x10000000, 0x10000010, 0x10000000},
        {0x10000030, 0x10000050, 0x10000010},  // a flagged cell keeps its other occupant
        {0x0FFFFFF0, 0x0FFFFFF0, 0x0FFFFFD0},  // a full count stays full
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MarkCellWord(c.before), c.marked) << std::hex << c.before;
        EXPECT_EQ(UnmarkCellWord(c.before), c.unmarked) << std::hex << c.before;
    }
    for (uint32_t word : {0u, 0x10u, 0x30u, 0x10000000u, 0x30000010u})
        EXPECT_EQ(UnmarkCellWord(UnmarkCellWord(MarkCellWord(MarkCellWord(word)))), word) << std::hex << word;
}

TEST(GridFootprint, MarksOnlyCellsInsideTheGrid) {
    uint32_t cells[4 * 3] = {};
    cells[0] = 0x10000000;
    CWalkGridView grid;
    grid.cells = cells;
    grid.width = 4;
    grid.height = 3;
    grid.cellSize = 10.9f;  // whole cells of 10
    g_pWalkGridView = &grid;
    CGameObject object;
    object.bounds.innerBox[3] = Vec3(-25, 0, -5);
    object.bounds.innerBox[1] = Vec3(15, 0, 45);
    object.OccupyGrid(1);
    EXPECT_EQ(cells[1], 0u) << "needs the occupying flag";
    object.flags |= SO_OCCUPIES_GRID;
    object.OccupyGrid(1);
    object.OccupyGrid(1);  // already marked: nothing
    EXPECT_EQ(object.gridRect[0], -2);
    EXPECT_EQ(object.gridRect[3], 4);
    uint32_t expected[4 * 3] = {0x10000010, 0x10, 0, 0, 0x10, 0x10, 0, 0, 0x10, 0x10, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(cells[i], expected[i]) << i;
    object.VacateGrid(1);
    object.VacateGrid(1);
    EXPECT_EQ(cells[0], 0x10000000u);
    for (int i = 1; i < 12; ++i) EXPECT_EQ(cells[i], 0u) << i;

    grid.cellSize = 0.5f;  // truncates to no cell at all
    object.OccupyGrid(1);
    for (int i = 1; i < 12; ++i) EXPECT_EQ(cells[i], 0u) << i;
    g_pWalkGridView = nullptr;
}
