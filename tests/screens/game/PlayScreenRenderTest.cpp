// The play screen's frame on the recording device: the order of the passes
// with and without the glow and the skinning effect, the fog, the layers of
// the floating texts around the windows, the centre notice, the replay keys,
// the unit bars by their vertices and a lost device in the middle of a match.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/effects/EffectManager.h"
#include "engine/render/Camera.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/ShaderSet.h"
#include "engine/render/ZEMGauss.h"
#include "engine/render/ZEMShadow.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "platform/GfxEffect.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/Input.h"
#include "platform/ScriptedInput.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/HeldTexture.h"
#include "tools/RecordingEffect.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "tests/ui/UiFixture.h"
#include "tools/StandardEffects.h"
#include "ui/UiWindow.h"
#include "world/SpatialTree.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

using namespace platform;

namespace {

// One line of what the frame did, in order: texts drawn, windows drawn and
// pre-transformed quads with their vertices.
struct FrameEvents {
    std::vector<std::string> lines;
    struct Quad {
        float left, top, right, bottom;
        uint32_t colour;
    };
    std::vector<std::vector<Quad>> draws;  // one entry per pre-transformed draw
};

// The fixed-width font that also notes each text in the frame's events.
class EventFont : public FixedFont {
public:
    explicit EventFont(FrameEvents* events) : m_events(events) {}
    void Draw(int32_t x, int32_t y, std::string_view text, uint32_t argb) override {
        m_events->lines.push_back("text " + std::string(text));
        FixedFont::Draw(x, y, text, argb);
    }

private:
    FrameEvents* m_events;
};

// Keeps the quads of every draw of pre-transformed vertices; its texture
// sizes can be limited to make render targets fail.
class EventDevice : public CGfxRecordingDevice {
public:
    explicit EventDevice(FrameEvents* events) : CGfxRecordingDevice(WithDepth()), m_events(events) {}
    void LimitTextures(uint32_t side) { m_caps.maxTextureWidth = m_caps.maxTextureHeight = side; }

protected:
    GfxResult DoDraw(const GfxDrawCall& call) override {
        if (call.vertices && call.stride == sizeof(UiVertex)) {
            const auto* v = static_cast<const UiVertex*>(call.vertices);
            std::vector<FrameEvents::Quad> quads;
            if (call.type == PT_TRIANGLELIST) {
                // Six corners a quad: top-left first, bottom-right fifth.
                for (uint32_t q = 0; q < call.primitiveCount / 2; ++q)
                    quads.push_back({v[q * 6].x, v[q * 6].y, v[q * 6 + 4].x, v[q * 6 + 4].y, v[q * 6].color});
            } else {
                quads.push_back({v[0].x, v[0].y, v[3].x, v[3].y, v[0].color});
            }
            m_events->lines.push_back("quad " + std::to_string(quads.empty() ? 0 : quads[0].colour));
            m_events->draws.push_back(std::move(quads));
        }
        return CGfxRecordingDevice::DoDraw(call);
    }

private:
    static GfxPresentParameters WithDepth() {
        GfxPresentParameters p;
        p.enableAutoDepthStencil = 1;
        p.autoDepthStencilFormat = FMT_D24S8;
        return p;
    }
    FrameEvents* m_events;
};

class EventWindow : public CUiWindow {
public:
    explicit EventWindow(FrameEvents* events) : m_events(events) {}
    void Render() override { m_events->lines.push_back("window"); }

private:
    FrameEvents* m_events;
};

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

class PlayScreenRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        harness.MakeCurrent(0);
        cache.SetDevice(&device);
        ASSERT_EQ(g_pRenderStateCache, &cache);
        host.ui.SetDevice(&device);
        for (auto& f : fonts) host.ui.AddFont(f.get());
        auto scripted = std::make_unique<ScriptedInput>();
        input = scripted.get();
        host.input.CreateInput(std::move(scripted), 0);
        camera.distance = 300.0f;
        camera.SetLookAt(Vec3(100, 300, -200), Vec3(100, 0, 100), 0.785398f);
        camera.SetProjection(1024, 768);
        camera.view = MatrixLookAtLH(camera.eye, camera.target, Vec3(0, 1, 0));
    }
    void TearDown() override {
        screen.reset();
        host.ui.ClearFonts();
    }
    CWorldObjectManager& World() { return harness.machine(0).map->objects; }
    CPlayScreen& Make(int gameMode, CZEMGauss* glow = nullptr) {
        World().gameMode = gameMode;
        PlayContext context;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        context.glow = glow;
        screen = std::make_unique<CPlayScreen>(context);
        return *screen;
    }
    void Frame() {
        events.lines.clear();
        events.draws.clear();
        device.ClearLog();
        screen->CullView();
        screen->Render();
    }
    CUnit* Spawn(const Vec3& at, int32_t owner, int32_t team, float hp, float maxHp) {
        const int32_t id = harness.SpawnUnit("Creep", at, owner, team, maxHp);
        CUnit* unit = harness.Unit(0, id);
        unit->hitPoints = hp;
        return unit;
    }
    // The fill quads of the frame's bar batch (the second batched draw).
    std::vector<FrameEvents::Quad> Fills() const {
        for (size_t i = 0; i + 1 < events.draws.size(); ++i)
            if (events.draws[i].size() == events.draws[i + 1].size() && !events.draws[i].empty() &&
                events.draws[i][0].colour == 0xFFFFFFFFu)
                return events.draws[i + 1];
        return {};
    }

    CWorldHarness harness;
    FrameEvents events;
    EventDevice device{&events};
    CRenderStateCache cache;
    CRecordingScreenHost host;
    std::array<std::unique_ptr<EventFont>, 3> fonts{std::make_unique<EventFont>(&events),
                                                    std::make_unique<EventFont>(&events),
                                                    std::make_unique<EventFont>(&events)};
    ScriptedInput* input = nullptr;
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
};

TEST_F(PlayScreenRenderTest, WithoutGlowOrSkinningTheSceneGoesStraightToTheBackBuffer) {
    CPlayScreen& play = Make(1);
    play.ToggleStatistics();
    Frame();
    const auto& log = device.Log();
    EXPECT_EQ(device.Count("RenderTarget"), 0u);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().rfind("Clear 3 4278190080 1", 0), 0u) << log.front();
    EXPECT_NE(IndexOf(log, "Scene 1 0"), log.size());
    EXPECT_EQ(log.back(), "Scene 0 0");
    const auto& drawn = fonts[2]->drawn;
    ASSERT_FALSE(drawn.empty());
    EXPECT_NE(drawn.back().text.find("No SkinShader"), std::string::npos) << drawn.back().text;
    EXPECT_EQ(drawn.back().text.rfind("1024 X 768 X 32Bit", 0), 0u) << drawn.back().text;
}

TEST_F(PlayScreenRenderTest, TheGlowTakesTheSceneAndTheSkinEffectItsMatrices) {
    std::vector<std::string> effectLog;
    CShaderSet shaders(&device);
    // The sample folder's effect files, read as recording effects.
    shaders.SetEffectLoader([&effectLog](CGfxDevice&, const std::vector<uint8_t>&) -> CShaderEffect* {
        return new CRecordingEffect(&effectLog);
    });
    CShaderSet* const before = g_pShaderSet;
    g_pShaderSet = &shaders;
    ASSERT_EQ(shaders.LoadShaders(1), 1) << ErrorReport().Text();
    ASSERT_TRUE(shaders.IsReady());
    CGfxEffect* glowEffect = nullptr;
    std::vector<uint8_t> bytes = GaussEffectFile();
    ASSERT_EQ(CreateEffect(&device, bytes.data(), bytes.size(), &glowEffect), GFX_OK);
    CZEMGauss glow(&device);
    glow.SetSize(1024, 768, 0.25f);
    ASSERT_EQ(glow.Create(glowEffect, FMT_A8R8G8B8), 1) << ErrorReport().Text();

    CPlayScreen& play = Make(1, &glow);
    play.ToggleStatistics();
    effectLog.clear();
    Frame();
    EXPECT_GE(device.Count("RenderTarget"), 2u);  // the glow's scene target, then back
    EXPECT_NE(IndexOf(effectLog, "SetMatrix mView"), effectLog.size());
    EXPECT_NE(IndexOf(effectLog, "SetMatrix mProj"), effectLog.size());
    EXPECT_NE(IndexOf(effectLog, "SetVector lightDir"), effectLog.size());
    EXPECT_NE(fonts[2]->drawn.back().text.find("Use SkinShader"), std::string::npos);
    glow.Release();
    GfxRelease(glowEffect);
    g_pShaderSet = before;
}

TEST_F(PlayScreenRenderTest, FogFollowsTheMapExceptInThePlainestEffectGrade) {
    ASSERT_NE(g_pZEMMap, nullptr);
    g_pZEMMap->fogOn = 1;
    CEffectManager effects;
    Make(1);
    Frame();
    EXPECT_EQ(device.Count("RenderState 28 1"), 1u);
    device.SetRenderState(RS_FOGENABLE, 0);
    effects.qualityGrade = 2;
    Frame();
    EXPECT_EQ(device.Count("RenderState 28 1"), 0u);
}

TEST_F(PlayScreenRenderTest, UnderLayerTextsComeBeforeTheWindowsAndTheRingsAfter) {
    CPlayScreen& play = Make(1);
    EventWindow window(&events);
    host.ui.AddLowerWindow(&window);
    play.ShowNotice("under", 0xFFFFFFFFu);
    auto* ring = static_cast<CMapAlertMarker*>(play.FloatingTexts().CreateItem(FT_MAP_ALERT));
    ring->Setup(nullptr, nullptr, 0xFF123456u, 10, 10, 5, 5, 0);
    play.FloatingTexts().Add(ring);
    Frame();
    host.ui.RemoveWindow(&window);
    const auto& lines = events.lines;
    const size_t under = IndexOf(lines, "text under"), windows = IndexOf(lines, "window"),
                 over = IndexOf(lines, "quad " + std::to_string(0xFF123456u));
    ASSERT_LT(under, lines.size());
    ASSERT_LT(windows, lines.size());
    ASSERT_LT(over, lines.size());
    EXPECT_LT(under, windows);
    EXPECT_LT(windows, over);
}

TEST_F(PlayScreenRenderTest, TheCentreNoticeFadesInItsLastSecond) {
    CPlayScreen& play = Make(1);
    const struct {
        float left;
        uint32_t alpha;
    } cases[] = {{3.0f, 255}, {1.0f, 255}, {0.5f, 128}, {-1.0f, 255}};
    for (const auto& c : cases) {
        play.SetCentreNotice("revive", 300, 200, c.left);
        fonts[2]->drawn.clear();
        Frame();
        ASSERT_EQ(fonts[2]->drawn.size(), 1u) << c.left;
        EXPECT_EQ(fonts[2]->drawn[0].argb, c.alpha << 24 | 0xFFFF00u) << c.left;
        EXPECT_EQ(fonts[2]->drawn[0].x, 300);
    }
    play.SetCentreNotice("revive", 300, 200, 0.0f);
    fonts[2]->drawn.clear();
    Frame();
    EXPECT_TRUE(fonts[2]->drawn.empty());
    // The time runs down with the frames and stops at 0.
    play.SetCentreNotice("revive", 300, 200, 0.3f);
    play.AdvanceOverlays(0.5f);
    EXPECT_EQ(play.CentreNoticeTime(), 0.0f);
}

TEST_F(PlayScreenRenderTest, TheGameOverPictureStandsCentredAboveThePanel) {
    CPlayResources resources;
    HeldTexture victory(&device, 400, 100), defeat(&device, 300, 80);
    resources.textures[CPlayResources::TEX_VICTORY] = &victory;
    resources.textures[CPlayResources::TEX_DEFEAT] = &defeat;
    CPlayScreen& play = Make(1);
    play.SetMainPanelHeight(150);
    const struct {
        int32_t winner;
        float width, height;
    } cases[] = {{World().localTeam, 400, 100}, {World().localTeam + 1, 300, 80}};
    for (const auto& c : cases) {
        play.SetGameOver(c.winner, 1);
        Frame();
        const float x = (1024 - c.width) / 2, y = std::trunc((768 - 150 - c.height + 20) / 2);
        bool found = false;
        for (const auto& draw : events.draws)
            for (const auto& q : draw)
                found = found || (q.colour == 0xFFFFFFFFu && q.left == x - 0.5f && q.top == y - 0.5f &&
                                  q.right - q.left == c.width && q.bottom - q.top == c.height);
        EXPECT_TRUE(found) << c.winner;
    }
    resources.textures[CPlayResources::TEX_VICTORY] = nullptr;
    resources.textures[CPlayResources::TEX_DEFEAT] = nullptr;
}

TEST_F(PlayScreenRenderTest, ReplayKeysDimAndKeepTheSpeedWithinItsRange) {
    CPlayScreen& play = Make(3);
    auto press = [&](uint8_t key) {
        input->SetKey(key, true);
        host.input.UpdateInput(0.016f, 1);
        Frame();
        input->SetKey(key, false);
        host.input.UpdateInput(0.016f, 1);
        Frame();
    };
    press(DIK_SPACE);
    EXPECT_TRUE(play.Dimmed());
    for (int i = 0; i < 25; ++i) press(DIK_PRIOR);
    EXPECT_FLOAT_EQ(play.ReplaySpeed(), 10.0f);
    for (int i = 0; i < 30; ++i) press(DIK_NEXT);
    EXPECT_FLOAT_EQ(play.ReplaySpeed(), 0.5f);
    press(DIK_SPACE);
    EXPECT_FALSE(play.Dimmed());
    // Outside a replay the keys do nothing.
    CPlayScreen& live = Make(1);
    press(DIK_SPACE);
    EXPECT_FALSE(live.Dimmed());
}

TEST_F(PlayScreenRenderTest, UnitBarsFillByHealthAndMoveTheWideLevelLabel) {
    host.options.showUnitHP = 1;
    World().SetLocalSlot(0);
    CUnit* full = Spawn({60, 0, 100}, 0, 0, 100, 100);
    CUnit* half = Spawn({100, 0, 100}, 13, 0, 50, 100);
    CUnit* dead = Spawn({140, 0, 100}, 20, 1, 0, 100);
    CUnit* over = Spawn({180, 0, 100}, 21, 1, 500, 100);
    (void)dead;
    Make(1);
    Frame();
    std::vector<FrameEvents::Quad> fills = Fills();
    ASSERT_EQ(fills.size(), 3u);
    std::sort(fills.begin(), fills.end(), [](auto& a, auto& b) { return a.left < b.left; });
    EXPECT_FLOAT_EQ(fills[0].right - fills[0].left, 56.0f);
    EXPECT_EQ(fills[0].colour, 0xFFFFCC00u);  // the local player's own
    EXPECT_FLOAT_EQ(fills[1].right - fills[1].left, 28.0f);
    EXPECT_EQ(fills[1].colour, 0xFF00FF00u);  // the local team's
    EXPECT_FLOAT_EQ(fills[2].right - fills[2].left, 56.0f);  // more than the maximum fills no further
    EXPECT_EQ(fills[2].colour, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(fills[0].bottom - fills[0].top, 3.0f);

    // A hero's label is its level; from 10 on it starts 3 pixels further left.
    full->stateFlags |= 0x10;
    half->stateFlags |= 0x10;
    full->level = 9;
    half->level = 10;
    fonts[1]->drawn.clear();
    Frame();
    fills = Fills();
    int32_t nineX = 0, tenX = 0;
    float nineBar = 0, tenBar = 0;
    for (const auto& d : fonts[1]->drawn) {
        if (d.text == "9") nineX = d.x;
        if (d.text == "10") tenX = d.x;
    }
    for (const auto& f : fills) {
        if (f.colour == 0xFFFFCC00u) nineBar = f.left;
        if (f.colour == 0xFF00FF00u) tenBar = f.left;
    }
    ASSERT_NE(nineX, 0);
    ASSERT_NE(tenX, 0);
    EXPECT_EQ(nineX - static_cast<int32_t>(nineBar + 0.5f), 61);
    EXPECT_EQ(tenX - static_cast<int32_t>(tenBar + 0.5f), 58);

    // A maximum of 0 gives no bar.
    over->stats.final[5] = 0;
    Frame();
    EXPECT_EQ(Fills().size(), 2u);

    // With the option off only the hovered object has a bar, and none without one.
    host.options.showUnitHP = 0;
    screen->SetHoveredObject(half->id);
    Frame();
    ASSERT_EQ(Fills().size(), 1u);
    EXPECT_FLOAT_EQ(Fills()[0].right - Fills()[0].left, 28.0f);
    screen->SetHoveredObject(-1);
    Frame();
    EXPECT_TRUE(Fills().empty());
}

TEST_F(PlayScreenRenderTest, ALostDeviceBringsTheShadowBackAndThePickingViewportFollows) {
    host.options.shadowType = 3;
    CPlayScreen& play = Make(1);
    Frame();
    ASSERT_NE(play.Shadow(), nullptr);
    EXPECT_EQ(play.Shadow()->useLarge, 1u);

    device.LoseDevice();
    play.InvalidateDeviceObjects();
    EXPECT_EQ(play.Shadow(), nullptr);
    device.AllowReset();
    GfxPresentParameters params;
    params.backBufferWidth = 800;
    params.backBufferHeight = 600;
    ASSERT_EQ(device.Reset(&params), GFX_OK);
    EXPECT_EQ(play.RestoreDeviceObjects(), 1) << ErrorReport().Text();
    ASSERT_NE(play.Shadow(), nullptr);
    EXPECT_NE(play.Shadow()->CurrentTarget(), nullptr);
    EXPECT_EQ(play.PickViewport().width, 800u);
    EXPECT_EQ(play.PickViewport().height, 600u);

    // Targets the device cannot make end the restore with 0.
    play.InvalidateDeviceObjects();
    device.LimitTextures(512);
    EXPECT_EQ(play.RestoreDeviceObjects(), 0);
    EXPECT_EQ(play.Shadow(), nullptr);
    // The match draws on without shadows.
    Frame();
    EXPECT_EQ(device.Log().back(), "Scene 0 0");
}

}  // namespace
