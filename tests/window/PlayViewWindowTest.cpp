// The play view's lighting and post effects together in a real SDL window
// (the test program runs under its own Xvfb): the sample game folder's
// animated model, lit by a directional light, lies above a grey ground quad
// that its projected shadow darkens, beside a white lamp whose glow spills
// onto the ground. The screenshot is checked in regions with tolerances.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/render/AnimationResource.h"
#include "engine/render/Camera.h"
#include "engine/render/DayNightAmbient.h"
#include "engine/effects/EffectManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/render/GameObject.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/resource/ResourceManager.h"
#include "engine/effects/RibbonManager.h"
#include "engine/render/ZEMGauss.h"
#include "engine/render/ZEMShadow.h"
#include "platform/GfxSystem.h"
#include "tests/fixtures/FlatSquare.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/StandardEffects.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 128;
// The ground passes through the shadow image multiplied by its own colour
// (where no silhouette lies the image is white): 0xA9 is seen as 0x70, under
// the glow's brightness threshold.
constexpr uint32_t kGround = 0xFFA9A9A9u;
constexpr uint32_t kGroundSeen = 0xFF707070u;
constexpr float kModelHeight = 1.5f;

struct Box {
    uint32_t l, t, r, b;
};

// The mean of one channel (shift 16 red, 8 green, 0 blue) over a box.
double Mean(const std::vector<uint32_t>& px, Box box, int shift) {
    double sum = 0;
    for (uint32_t y = box.t; y < box.b; ++y)
        for (uint32_t x = box.l; x < box.r; ++x) sum += (px[y * kSize + x] >> shift) & 0xFF;
    return sum / ((box.r - box.l) * (box.b - box.t));
}

// The largest distance of any pixel's channel in the box from want's.
int Spread(const std::vector<uint32_t>& px, Box box, uint32_t want) {
    int worst = 0;
    for (uint32_t y = box.t; y < box.b; ++y)
        for (uint32_t x = box.l; x < box.r; ++x)
            for (int s = 0; s < 24; s += 8)
                worst = std::max(worst, std::abs(static_cast<int>((px[y * kSize + x] >> s) & 0xFF) -
                                                 static_cast<int>((want >> s) & 0xFF)));
    return worst;
}

}  // namespace

class PlayViewWindow : public RealWindowFixture {};

TEST_F(PlayViewWindow, ALitShadowedGlowingModelOnTheGround) {
    ASSERT_NO_FATAL_FAILURE(OpenDevice(kSize, kSize, true));
    {
        CErrorReport report;
        CGfxDevice& d = Device();

        std::unique_ptr<CResourceManager> resources = SampleResources();
        ASSERT_NE(resources, nullptr);
        CResourceManager& rm = *resources;
        CEffectManager effects;
        CRibbonManager ribbons;
        auto* model = static_cast<CModelResource*>(rm.GetResource("SAMPLE.DRC", RES_MODEL, nullptr, 1));
        ASSERT_NE(model, nullptr) << report.Text();
        model->AddRef();  // the object's own reference
        auto hero = std::make_unique<CGameObject>();
        hero->Init(1, Vec3(), nullptr, model, 0, 0, 1.0f);
        hero->flags |= SO_VISIBLE;

        // The camera looks down at 45 degrees from the near side.
        CCamera camera;
        camera.SetLookAt(Vec3(1, 9, -8), Vec3(1, 0, 1), 0.785398f);
        camera.SetProjection(kSize, kSize);
        camera.view = MatrixLookAtLH(camera.eye, camera.target, Vec3(0, 1, 0));
        Viewport full{0, 0, kSize, kSize, 0, 1};

        FlatSquare ground(d, 7, 0, kGround, 1, 1);
        FlatSquare lamp(d, 0.75f, 0.05f, 0xFFFFFFFFu, -3.0f, 0.5f);
        CZEMShadow shadow(&d);
        ASSERT_EQ(shadow.Create(&camera), 1) << report.Text();
        shadow.useLarge = 1;  // an image much larger than the window
        CGfxEffect* glowEffect = nullptr;
        std::vector<uint8_t> glowFile = GaussEffectFile();
        std::string errors;
        ASSERT_EQ(CreateEffect(&d, glowFile.data(), glowFile.size(), &glowEffect, &errors), GFX_OK) << errors;
        CZEMGauss glow(&d);
        glow.SetSize(kSize, kSize, 0.25f);
        ASSERT_EQ(glow.Create(glowEffect, FMT_A8R8G8B8), 1) << report.Text();

        // A dim grey ambient and a grey light from straight above: the model's
        // upward face gets 0.2 + 0.6 of its texture, times the object's tint.
        GfxLight light;
        MakeDirectionalLight(&light, ColorValue{0.6f, 0.6f, 0.6f, 1}, ColorValue{0, 0, 0, 1}, ColorValue{0, 0, 0, 1},
                             Vec3(0, -1, 0));
        d.SetLight(0, &light);
        d.LightEnable(0, 1);
        d.SetRenderState(RS_AMBIENT, 0xFF333333u);

        // The column lies on its back, face up, held above the ground.
        Matrix lying = MatrixRotationX(1.5707963f) * MatrixTranslation(0, kModelHeight, 0);
        std::vector<uint32_t> px;
        for (int frame = 0; frame < 3; ++frame) {
            hero->Update(0.5f);  // half way through the clip the column's top leans sideways
            hero->world = lying;
            d.SetRenderTarget(0, glow.Surface(0));
            ASSERT_EQ(d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), GFX_OK);
            ASSERT_EQ(d.BeginScene(), GFX_OK);
            d.SetTransform(TS_VIEW, &camera.view);
            d.SetTransform(TS_PROJECTION, &camera.projection);
            // The ground and the lamp are plain colours: the model's texture stays bound after it.
            d.SetTexture(0, nullptr);
            d.SetRenderState(RS_LIGHTING, 0);
            ground.Render();
            shadow.RenderShadowMap(&full, {hero.get()}, {&ground});
            d.SetRenderState(RS_LIGHTING, 1);
            hero->Render();
            d.SetTexture(0, nullptr);
            d.SetRenderState(RS_LIGHTING, 0);
            lamp.Render();
            glow.Render();
            ASSERT_EQ(d.EndScene(), GFX_OK);
            px = ReadBack();
            ASSERT_EQ(d.Present(), GFX_OK);
        }

        // Boxes on the screen around points of the world.
        Matrix identity = Matrix::Identity();
        auto around = [&](Vec3 point, uint32_t half) {
            Vec3 s = Vec3Project(point, full, camera.projection, camera.view, identity);
            uint32_t x = static_cast<uint32_t>(std::clamp(s.x, 0.0f, static_cast<float>(kSize))),
                     y = static_cast<uint32_t>(std::clamp(s.y, 0.0f, static_cast<float>(kSize)));
            return Box{x > half ? x - half : 0, y > half ? y - half : 0, std::min(x + half, kSize),
                       std::min(y + half, kSize)};
        };
        // The model's face: its texture (0x40C040) lit to 0.8 of its colour and
        // tinted as every world object is (diffuse and ambient alike).
        const float tint = hero->material.Get().diffuse.r;
        ASSERT_FLOAT_EQ(hero->material.Get().ambient.r, tint);
        auto lit = [&](uint32_t channel) {
            return static_cast<uint32_t>(static_cast<float>(channel) * 0.8f * tint + 0.5f);
        };
        const uint32_t face = 0xFF000000u | lit(0x40) << 16 | lit(0xC0) << 8 | lit(0x40);
        EXPECT_LE(Spread(px, around(Vec3(1, kModelHeight, 1.5f), 3), face), 8) << "lit model";
        // The shadow shows on the ground just in front of the model (nearer the
        // camera than its front edge, as the model is held above the ground);
        // the same ground further to the side keeps its grey.
        Box shaded = around(Vec3(1, 0, 0.6f), 2);
        Box open = around(Vec3(4.5f, 0, 0.6f), 2);
        EXPECT_LE(Spread(px, open, kGroundSeen), 8) << "open ground";
        EXPECT_LT(Mean(px, shaded, 8), 0.6 * Mean(px, open, 8)) << "shadow";
        // The lamp glows: the ground just beyond its edge is brighter than open ground.
        Box lampBox = around(Vec3(-3.0f, 0.05f, 0.5f), 2);
        EXPECT_LE(Spread(px, lampBox, 0xFFFFFFFFu), 8) << "lamp";
        Box halo = around(Vec3(-3.0f, 0, -0.55f), 1);
        EXPECT_GT(Mean(px, halo, 8), Mean(px, open, 8) + 24) << "glow";

        hero.reset();
        glow.Release();
        shadow.Release();
        GfxRelease(glowEffect);
        rm.ReleaseResource(model);
    }
}
