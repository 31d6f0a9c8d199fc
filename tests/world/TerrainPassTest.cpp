// The terrain's passes on the recording device, and the object sets: the
// decals registered objects get from the terrain and give back.
#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/world/TestWorldObject.h"
#include "world/SpatialTree.h"
#include "world/TerrainEngine.h"

using platform::Vec3;

namespace {

struct TerrainPass : ::testing::Test {
    void SetUp() override {
        ASSERT_EQ(engine.BuildTree(2, 2, 1, 0), 1);
        ASSERT_EQ(engine.SetupSight(0, 0, nullptr), 1);
        ASSERT_EQ(engine.CreateDeviceObjects(), 1) << report.GetText();
        UseTestObjects(manager);
    }
    size_t Draws() {
        size_t n = 0;
        for (const std::string& line : device.Log())
            if (line.rfind("Draw", 0) == 0) ++n;
        return n;
    }
    CErrorReport report;
    platform::CGfxRecordingDevice device;
    CSpatialTree tree;
    CTerrainEngine engine{&device};
    CWorldObjectManager manager;
};

TEST_F(TerrainPass, FogAndProjectedPassesDrawTheVisiblePatches) {
    ASSERT_NE(engine.FogTexture(), nullptr);
    engine.Patch(0)->flags |= SO_VISIBLE;
    engine.Patch(3)->flags |= SO_VISIBLE;
    device.ClearLog();
    engine.RenderFogOfWar(0.016f);
    EXPECT_EQ(Draws(), 2u);
    EXPECT_EQ(device.GetTexture(0), engine.FogTexture());
    uint32_t blend = 0;
    device.GetRenderState(platform::RS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, 1u);

    device.ClearLog();
    engine.RenderProjectedPass(nullptr);
    EXPECT_EQ(Draws(), 2u);
    uint32_t op = 0;
    device.GetTextureStageState(1, platform::TSS_COLOROP, &op);
    EXPECT_EQ(op, uint32_t(platform::TOP_DISABLE));
    // A hidden patch is left out.
    engine.Patch(3)->flags |= SO_HIDDEN;
    device.ClearLog();
    engine.RenderFogOfWar(0.016f);
    EXPECT_EQ(Draws(), 1u);
}

TEST_F(TerrainPass, RegisteredObjectsTakeAndGiveBackTheirDecals) {
    CTestWorldObject* unit = NewTestObject(manager, 100, 100);
    ASSERT_EQ(manager.RegisterObject(unit, -1, 1, 1), 1);
    EXPECT_NE(unit->terrainHandles[0], nullptr);
    EXPECT_NE(unit->terrainHandles[1], nullptr);
    EXPECT_EQ(engine.Decals().size(), 2u);
    auto* inner = static_cast<CTerrainDecal*>(unit->terrainHandles[0]);
    EXPECT_FLOAT_EQ(inner->strength, 1.5f);
    EXPECT_FLOAT_EQ(inner->width, 3.0f * unit->bounds.radius);

    CTestWorldObject* tower = NewTestObject(manager, 200, 200);
    tower->flags = (tower->flags & ~WO_UNIT) | WO_BUILDING;
    ASSERT_EQ(manager.RegisterObject(tower, -1, 1, 0), 1);
    EXPECT_EQ(tower->terrainHandles[0], nullptr);
    EXPECT_EQ(tower->terrainHandles[1], nullptr);

    // Drawn where the object stands, rebuilt after it moves.
    unit->flags |= SO_VISIBLE;
    engine.drawDecals = 1;
    device.ClearLog();
    engine.RenderProjectedPass(nullptr);
    EXPECT_EQ(Draws(), 2u);
    unit->position = {250, 0, 250};
    engine.RenderProjectedPass(nullptr);
    EXPECT_FLOAT_EQ(inner->position.x, 250.0f);

    manager.UnregisterObject(unit);
    EXPECT_TRUE(engine.Decals().empty());
    CTestWorldObject* other = NewTestObject(manager, 50, 50);
    ASSERT_EQ(manager.RegisterObject(other, -1, 1, 1), 1);
    manager.Clear();
    EXPECT_TRUE(engine.Decals().empty());
}

TEST_F(TerrainPass, ObjectsGetTheirLightBeforeTheyAreDrawn) {
    static int lit = 0;
    lit = 0;
    manager.objectLightHook = [](CSceneObject&, platform::CGfxDevice&) { ++lit; };
    for (float x : {50.0f, 150.0f}) {
        CTestWorldObject* o = NewTestObject(manager, x, 50);
        ASSERT_EQ(manager.RegisterObject(o, -1, 1, 0), 1);
        o->material.Get().diffuse.a = 1.0f;
    }
    platform::Plane planes[6];
    // Planes that keep everything.
    for (auto& p : planes) p = platform::Plane(0, 0, 0, 1);
    tree.CollectVisible(planes, 1);
    tree.RenderVisible(&device);
    EXPECT_EQ(lit, 2);
    manager.objectLightHook = nullptr;
    tree.RenderVisible(&device);
    EXPECT_EQ(lit, 2);
}

}  // namespace
