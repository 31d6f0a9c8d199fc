// The terrain's passes on the recording device, and the object sets: the
// decals registered objects get from the terrain and give back.
#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/world/TestWorldObject.h"
#include "world/MapLayerMesh.h"
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

namespace {

// On the GL device, seen from above: the fog of war over a terrain of two
// patches leaves the seen one clear and darkens the one nobody has seen.
TEST(TerrainFog, OnePatchClearOneDarkOnTheGlDevice) {
    using namespace platform;
    constexpr uint32_t kSize = 64;
    auto device = CreateHeadlessGl(kSize, true);
    ASSERT_NE(device, nullptr) << "no headless GL (EGL on Mesa) available";
    CGfxDevice& d = *device;
    CErrorReport report;
    CSpatialTree tree;
    CTerrainEngine engine(&d);
    ASSERT_EQ(engine.BuildTree(2, 1, 1, 0), 1);
    ASSERT_EQ(engine.SetupSight(0, 0, nullptr), 1);
    ASSERT_EQ(engine.CreateDeviceObjects(), 1) << report.GetText();
    SightSource seen;
    engine.SightGrid()->AddSight(&seen, Vec3(80, 0, 80), 120.0f, 0, CSightGrid::MODE_DISC);
    for (int32_t p = 0; p < 2; ++p) engine.Patch(p)->flags |= SO_VISIBLE;

    // Straight down onto the middle of the terrain, the 320 x 160 ground filling the width.
    const Matrix view = MatrixLookAtLH(Vec3(160, 500, 80), Vec3(160, 0, 80), Vec3(0, 0, 1));
    const Matrix projection = MatrixOrthoLH(320, 320, 1, 1000);
    d.SetTransform(TS_VIEW, &view);
    d.SetTransform(TS_PROJECTION, &projection);
    d.SetRenderState(RS_LIGHTING, 0);
    d.SetRenderState(RS_CULLMODE, CULL_NONE);
    ASSERT_EQ(d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFFFFFFFu, 1.0f, 0), GFX_OK);
    ASSERT_EQ(d.BeginScene(), GFX_OK);
    engine.RenderFogOfWar(0.016f);
    ASSERT_EQ(d.EndScene(), GFX_OK);
    const std::vector<uint32_t> px = ReadBackBuffer(d);
    ASSERT_EQ(px.size(), static_cast<size_t>(kSize) * kSize);

    // World x 0..320 spans the 64 columns; z 0..160 the middle 32 rows.
    auto red = [&](uint32_t x, uint32_t y) { return static_cast<int>((px[y * kSize + x] >> 16) & 0xFF); };
    for (uint32_t y = 24; y < 40; ++y) {
        for (uint32_t x = 8; x < 24; ++x) EXPECT_GE(red(x, y), 0xE0) << x << "," << y;   // seen
        for (uint32_t x = 50; x < 62; ++x) EXPECT_LE(red(x, y), 0x20) << x << "," << y;  // never seen
    }
}

}  // namespace

namespace {

TEST(MapLayerMesh, DrawsItsCellsWithTheLayerFormat) {
    platform::CGfxRecordingDevice device;
    CMapLayerMesh layer(&device);
    layer.Render();  // nothing to draw yet
    EXPECT_EQ(device.DrawCount(), 0u);
    layer.Mesh().Setup(4, 6, 0, 24, CMapLayerMesh::kFvf);
    for (uint16_t i = 0; i < 6; ++i) layer.Mesh().Indices()[i] = static_cast<uint16_t>(i % 4);
    ASSERT_EQ(layer.Mesh().CreateBuffers(), 1);
    layer.Render();
    EXPECT_EQ(device.DrawCount(), 1u);
    EXPECT_EQ(device.State().fvf, 0x142u);

    CMapMeshObject flat;
    flat.Set(Vec3(10, 4, 20), 7, nullptr, 2.0f, 3.0f, 4.0f);
    EXPECT_FLOAT_EQ(flat.world.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(flat.world.m[2][2], 3.0f);
    flat.SetPosition(Vec3(50, 99, 60));
    EXPECT_FLOAT_EQ(flat.world.m[3][1], 4.0f);
    EXPECT_FLOAT_EQ(flat.world.m[3][0], 50.0f);
    flat.Draw(device);  // no model: nothing
    EXPECT_EQ(device.DrawCount(), 1u);
}

}  // namespace
