// The terrain's passes on the recording device, and the object sets: the
// decals registered objects get from the terrain and give back; the ground
// marker of aimed area skills, on the recording device and on the GL device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/core/ErrorReport.h"
#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/CapturingGfxDevice.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/fixtures/HeldTexture.h"
#include "tests/world/TestWorldObject.h"
#include "tools/SamplePlayResources.h"
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
    CapturingGfxDevice device;
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

// The states a draw must leave as it found them.
bool SameStates(const platform::GfxState& a, const platform::GfxState& b) {
    return a.render == b.render && a.stage == b.stage && a.sampler == b.sampler &&
           std::memcmp(&a.world, &b.world, sizeof a.world) == 0 &&
           std::memcmp(&a.texture[0], &b.texture[0], sizeof a.texture[0]) == 0;
}

TEST_F(TerrainPass, TheGroundMarkerDrawsItsOwnPictureWhereItIsPutWhileShown) {
    using namespace platform;
    HeldTexture picture(&device, 8, 8);
    ASSERT_EQ(engine.CreateGroundMarker(&picture, 10.0f, Vec3(-10, 0, -10)), 1);
    const CTerrainDecal* marker = engine.GroundMarker();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->owner, nullptr);
    EXPECT_FLOAT_EQ(marker->width, 10.0f);
    EXPECT_TRUE(engine.Decals().empty()) << "the shadow pass never draws it with its own texture";
    EXPECT_FALSE(engine.GroundMarkerShown()) << "hidden until a mode shows it";
    engine.RenderGroundMarker();
    EXPECT_TRUE(device.drawTextures.empty());

    engine.ShowGroundMarker(true);
    engine.MoveGroundMarker(Vec3(100, 0, 100));
    engine.SizeGroundMarker(40.0f);
    // Whatever the passes before it left, the states come back as they were.
    HeldTexture other(&device, 4, 4);
    device.SetTexture(0, other.Texture());
    device.SetRenderState(RS_LIGHTING, 1);
    device.SetTextureStageState(0, TSS_COLOROP, TOP_MODULATE);
    device.SetTextureStageState(1, TSS_COLOROP, TOP_MODULATE);
    device.SetSamplerState(0, SAMP_ADDRESSU, TADDRESS_WRAP);
    const Matrix moved = MatrixTranslation(1, 2, 3);
    device.SetTransform(TS_WORLD, &moved);
    const GfxState before = device.State();
    engine.RenderGroundMarker();
    ASSERT_EQ(device.drawTextures.size(), 1u);
    EXPECT_EQ(device.drawTextures[0], picture.Texture());
    EXPECT_TRUE(SameStates(before, device.State()));
    EXPECT_EQ(device.GetTexture(0), other.Texture());
    // Its mesh: the terrain vertices of the 20-unit cells under its box.
    EXPECT_FALSE(marker->moved);
    const auto& vertices = marker->mesh->Vertices();
    ASSERT_FALSE(vertices.empty());
    const auto [low, high] = std::minmax_element(vertices.begin(), vertices.end(),
                                                 [](auto& a, auto& b) { return a.position.x < b.position.x; });
    EXPECT_FLOAT_EQ(low->position.x, 80.0f);
    EXPECT_FLOAT_EQ(high->position.x, 120.0f);

    // Rebuilt only for a change of place or size.
    const struct {
        Vec3 at;
        float size;
        bool rebuilt;
    } steps[] = {{{100, 0, 100}, 40, false},
                 {{100, 7, 100}, 40, false},
                 {{140, 0, 100}, 40, true},
                 {{140, 0, 100}, 60, true},
                 {{140, 0, 100}, 60, false}};
    for (const auto& step : steps) {
        engine.MoveGroundMarker(step.at);
        engine.SizeGroundMarker(step.size);
        EXPECT_EQ(marker->moved, step.rebuilt) << step.at.x << " " << step.size;
        engine.RenderGroundMarker();
    }
    EXPECT_FLOAT_EQ(marker->position.x, 140.0f);
    EXPECT_FLOAT_EQ(marker->width, 60.0f);

    // Hidden: nothing drawn, where it stood kept.
    engine.ShowGroundMarker(false);
    device.drawTextures.clear();
    engine.RenderGroundMarker();
    EXPECT_TRUE(device.drawTextures.empty());
}

TEST_F(TerrainPass, TheGroundMarkerComesBackAfterADeviceResetAndGoesWithTheTerrain) {
    using namespace platform;
    HeldTexture picture(&device, 8, 8);
    ASSERT_EQ(engine.CreateGroundMarker(&picture, 30.0f, Vec3(60, 0, 60)), 1);
    engine.ShowGroundMarker(true);
    engine.RenderGroundMarker();
    ASSERT_EQ(device.drawTextures.size(), 1u);

    device.LoseDevice();
    engine.InvalidateDeviceObjects();
    EXPECT_EQ(engine.GroundMarker()->mesh->VertexBuffer(), nullptr);
    device.AllowReset();
    GfxPresentParameters params;
    ASSERT_EQ(device.Reset(&params), GFX_OK);
    ASSERT_EQ(engine.CreateDeviceObjects(), 1) << report.GetText();
    EXPECT_NE(engine.GroundMarker()->mesh->VertexBuffer(), nullptr) << "restored, not waiting for a move";
    device.drawTextures.clear();
    engine.RenderGroundMarker();
    ASSERT_EQ(device.drawTextures.size(), 1u);
    EXPECT_EQ(device.drawTextures[0], picture.Texture());

    // A second marker replaces the first, hidden; the terrain's end takes it.
    ASSERT_EQ(engine.CreateGroundMarker(&picture, 10.0f, Vec3(-10, 0, -10)), 1);
    EXPECT_FALSE(engine.GroundMarkerShown());
    engine.Clear();
    EXPECT_EQ(engine.GroundMarker(), nullptr);
    EXPECT_FALSE(engine.GroundMarkerShown());
    engine.RenderGroundMarker();  // nothing left to draw
    engine.RemoveGroundMarker();  // nor to remove
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

// A terrain of 2 x 1 patches on the headless GL device, seen straight down
// onto its middle with the 320 x 160 ground filling the width of a square
// back buffer; Shoot draws a pass on a white ground and reads the pixels back.
struct GlGround {
    explicit GlGround(uint32_t side) : side(side), device(CreateHeadlessGl(side, true)) {
        using namespace platform;
        if (!device) return;
        engine = std::make_unique<CTerrainEngine>(device.get());
        built = engine->BuildTree(2, 1, 1, 0) == 1;
        const Matrix view = MatrixLookAtLH(Vec3(160, 500, 80), Vec3(160, 0, 80), Vec3(0, 0, 1));
        const Matrix projection = MatrixOrthoLH(320, 320, 1, 1000);
        device->SetTransform(TS_VIEW, &view);
        device->SetTransform(TS_PROJECTION, &projection);
    }
    template <class Pass>
    std::vector<uint32_t> Shoot(Pass pass) {
        using namespace platform;
        if (device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFFFFFFFu, 1.0f, 0) != GFX_OK ||
            device->BeginScene() != GFX_OK)
            return {};
        pass();
        device->EndScene();
        return ReadBackBuffer(*device);
    }

    uint32_t side;
    std::unique_ptr<platform::CGfxGlDevice> device;
    CErrorReport report;
    CSpatialTree tree;
    std::unique_ptr<CTerrainEngine> engine;
    bool built = false;
};

// The fog of war over the two patches leaves the seen one clear and darkens
// the one nobody has seen.
TEST(TerrainFog, OnePatchClearOneDarkOnTheGlDevice) {
    using namespace platform;
    constexpr uint32_t kSize = 64;
    GlGround ground(kSize);
    ASSERT_NE(ground.device, nullptr) << "no headless GL (EGL on Mesa) available";
    ASSERT_TRUE(ground.built);
    CTerrainEngine& engine = *ground.engine;
    ASSERT_EQ(engine.SetupSight(0, 0, nullptr), 1);
    ASSERT_EQ(engine.CreateDeviceObjects(), 1) << ground.report.GetText();
    SightSource seen;
    engine.SightGrid()->AddSight(&seen, Vec3(80, 0, 80), 120.0f, 0, CSightGrid::MODE_DISC);
    for (int32_t p = 0; p < 2; ++p) engine.Patch(p)->flags |= SO_VISIBLE;
    ground.device->SetRenderState(RS_LIGHTING, 0);
    ground.device->SetRenderState(RS_CULLMODE, CULL_NONE);
    const std::vector<uint32_t> px = ground.Shoot([&] { engine.RenderFogOfWar(0.016f); });
    ASSERT_EQ(px.size(), static_cast<size_t>(kSize) * kSize);

    // World x 0..320 spans the 64 columns; z 0..160 the middle 32 rows.
    auto red = [&](uint32_t x, uint32_t y) { return static_cast<int>((px[y * kSize + x] >> 16) & 0xFF); };
    for (uint32_t y = 24; y < 40; ++y) {
        for (uint32_t x = 8; x < 24; ++x) EXPECT_GE(red(x, y), 0xE0) << x << "," << y;   // seen
        for (uint32_t x = 50; x < 62; ++x) EXPECT_LE(red(x, y), 0x20) << x << "," << y;  // never seen
    }
}

// The sample's ring lies on the ground around the marker's point, clear
// inside and outside, in the cull mode the device starts with.
TEST(TerrainGroundMarker, TheRingLiesAroundItsPointOnTheGlDevice) {
    using namespace platform;
    constexpr uint32_t kSize = 128;
    constexpr uint32_t kRing = 0xFF20C040u;
    GlGround ground(kSize);
    ASSERT_NE(ground.device, nullptr) << "no headless GL (EGL on Mesa) available";
    ASSERT_TRUE(ground.built);
    CTerrainEngine& engine = *ground.engine;
    ASSERT_EQ(engine.CreateDeviceObjects(), 1) << ground.report.GetText();
    HeldTexture picture(ground.device.get(), 64, 64, RingPicture(64, kRing));
    // 160 units wide at the middle of the 320 x 160 ground.
    ASSERT_EQ(engine.CreateGroundMarker(&picture, 160.0f, Vec3(160, 0, 80)), 1);
    engine.ShowGroundMarker(true);
    const std::vector<uint32_t> px = ground.Shoot([&] { engine.RenderGroundMarker(); });
    ASSERT_EQ(px.size(), static_cast<size_t>(kSize) * kSize);

    // 2.5 units a pixel: the band (0.78 to 0.94 of the 80-unit radius) lies
    // 25 to 30 pixels from the centre.
    auto near = [&](int32_t x, int32_t y, uint32_t colour) {
        const uint32_t p = px[static_cast<size_t>(y) * kSize + static_cast<size_t>(x)];
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) > 0x30)
                return false;
        return true;
    };
    constexpr int32_t c = kSize / 2;
    for (int32_t along = -1; along <= 1; ++along) {
        for (int32_t r : {27, 28}) {
            EXPECT_TRUE(near(c + r, c + along, kRing)) << "east " << r;
            EXPECT_TRUE(near(c - r, c + along, kRing)) << "west " << r;
            EXPECT_TRUE(near(c + along, c + r, kRing)) << "south " << r;
            EXPECT_TRUE(near(c + along, c - r, kRing)) << "north " << r;
        }
        for (int32_t r : {0, 10, 18, 40, 50}) {
            EXPECT_TRUE(near(c + r, c + along, 0xFFFFFFFFu)) << "clear east " << r;
            EXPECT_TRUE(near(c + along, c - r, 0xFFFFFFFFu)) << "clear north " << r;
        }
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
