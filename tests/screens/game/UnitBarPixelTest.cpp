// The unit bars drawn by the GL device, headless, and read back: the fill of
// each bar measured in pixels by its colour (the local player's yellow, the
// team's green, the enemy's red).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/render/Camera.h"
#include "engine/render/RenderStateCache.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 1024;

// Where the pixels of one colour lie: their count and bounding box.
struct ColourArea {
    int count = 0;
    uint32_t left = kSize, top = kSize, right = 0, bottom = 0;
    uint32_t Width() const { return count ? right - left + 1 : 0; }
    uint32_t Height() const { return count ? bottom - top + 1 : 0; }
};

// Channels within a tolerance of the colour's.
ColourArea AreaOf(const std::vector<uint32_t>& px, uint32_t argb) {
    ColourArea area;
    auto near = [](uint32_t a, uint32_t b, int shift) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        return d > -24 && d < 24;
    };
    for (uint32_t y = 0; y < kSize; ++y)
        for (uint32_t x = 0; x < kSize; ++x) {
            const uint32_t p = px[y * kSize + x];
            if (!near(p, argb, 16) || !near(p, argb, 8) || !near(p, argb, 0)) continue;
            ++area.count;
            area.left = std::min(area.left, x), area.right = std::max(area.right, x);
            area.top = std::min(area.top, y), area.bottom = std::max(area.bottom, y);
        }
    return area;
}

class UnitBarPixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        gl = CreateHeadlessGl(kSize, true);
        ASSERT_NE(gl, nullptr);
        harness.MakeCurrent(0);
        cache.SetDevice(gl.get());
        host.ui.SetDevice(gl.get());
        camera.SetLookAt(Vec3(100, 300, -200), Vec3(100, 0, 100), 0.785398f);
        camera.SetProjection(1024, 768);
        camera.view = MatrixLookAtLH(camera.eye, camera.target, Vec3(0, 1, 0));
        World().gameMode = 1;
        World().SetLocalSlot(0);
    }
    void TearDown() override {
        screen.reset();
        cache.SetDevice(nullptr);
    }
    CWorldObjectManager& World() { return harness.machine(0).map->objects; }
    CUnit* Spawn(const Vec3& at, int32_t owner, int32_t team, float hp) {
        CUnit* unit = harness.Unit(0, harness.SpawnUnit("Creep", at, owner, team, 100));
        unit->hitPoints = hp;
        return unit;
    }
    std::vector<uint32_t> DrawBars() {
        if (!screen) {
            PlayContext context;
            context.ground = harness.machine(0).map.get();
            context.camera = &camera;
            screen = std::make_unique<CPlayScreen>(context);
        }
        screen->CullView();
        gl->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        gl->BeginScene();
        screen->DrawUnitBars();
        gl->EndScene();
        return ReadBackBuffer(*gl);
    }

    CWorldHarness harness;
    std::unique_ptr<CGfxGlDevice> gl;
    CRenderStateCache cache;
    CRecordingScreenHost host;
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
};

TEST_F(UnitBarPixelTest, FillsAreFiftySixPixelsAtFullHealthTwentyEightAtHalfAndNoneAtZero) {
    host.options.showUnitHP = 1;
    Spawn({60, 0, 100}, 0, 0, 100);    // the local player's, full
    CUnit* half = Spawn({100, 0, 100}, 13, 0, 50);  // the team's, half
    Spawn({140, 0, 100}, 20, 1, 0);    // the enemy's, at 0
    std::vector<uint32_t> px = DrawBars();
    ASSERT_EQ(px.size(), static_cast<size_t>(kSize) * kSize);

    const ColourArea own = AreaOf(px, 0xFFFFCC00u), team = AreaOf(px, 0xFF00FF00u), enemy = AreaOf(px, 0xFFFF0000u);
    EXPECT_EQ(own.Width(), 56u);
    EXPECT_EQ(own.Height(), 3u);
    EXPECT_EQ(own.count, 56 * 3);
    EXPECT_EQ(team.Width(), 28u);
    EXPECT_EQ(team.count, 28 * 3);
    EXPECT_EQ(enemy.count, 0);
    // Each fill sits inside its frame: white above and below it.
    ASSERT_GT(own.top, 0u);
    EXPECT_EQ(px[(own.top - 1) * kSize + own.left], 0xFFFFFFFFu);
    EXPECT_EQ(px[(own.bottom + 1) * kSize + own.left], 0xFFFFFFFFu);

    // With the option off only the hovered unit has a bar.
    host.options.showUnitHP = 0;
    screen->SetHoveredObject(half->id);
    px = DrawBars();
    EXPECT_EQ(AreaOf(px, 0xFFFFCC00u).count, 0);
    EXPECT_EQ(AreaOf(px, 0xFF00FF00u).count, 28 * 3);
}

}  // namespace
