// The application's cameras, shader set and glow across the device's life:
// made with the device, re-projected and re-made on every restore, released
// when the device is lost.
#include "engine/render/Camera.h"
#include "engine/render/GfxShaderEffect.h"
#include "tests/app/AppFixture.h"

using namespace platform;

namespace {

bool SameMatrix(const Matrix& a, const Matrix& b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (a.m[r][c] != b.m[r][c]) return false;
    return true;
}

}  // namespace

class DeviceServices : public AppFixture {
protected:
    CScriptedScreen* Start() {
        MakeApp();
        CScriptedScreen* screen = nullptr;
        app->SetFirstScreenMaker([&screen] { return screen = new CScriptedScreen("A", nullptr, {}); });
        EXPECT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        return screen;
    }

    void ExpectGlowMade() {
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            ASSERT_NE(app->Glow().Target(i), nullptr);
            const CGfxTexture* target = app->Glow().Target(i);
            EXPECT_EQ(target->GetWidth() * 10000 + target->GetHeight(), 1024u * 10000 + 768);
        }
    }
};

TEST_F(DeviceServices, FourCamerasTheFirstPlayingEachProjectedForTheBackBuffer) {
    Start();
    CCameraRegistry& cameras = app->Cameras();
    ASSERT_EQ(cameras.Count(), 4u);
    auto* play = dynamic_cast<CPlayCamera*>(cameras.Get(0));
    ASSERT_NE(play, nullptr);
    EXPECT_FLOAT_EQ(play->pitchLimitHigh, 0.95f);
    EXPECT_FLOAT_EQ(play->pitchLimitLow, 0.05f);
    CCamera expected;
    expected.SetProjection(1024, 768);
    for (size_t i = 0; i < cameras.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cameras.Get(i)->index, static_cast<int32_t>(i));
        if (i > 0) {
            EXPECT_EQ(dynamic_cast<CPlayCamera*>(cameras.Get(i)), nullptr);
        }
        EXPECT_TRUE(SameMatrix(cameras.Get(i)->projection, expected.projection));
    }
    Matrix onDevice;
    ASSERT_EQ(Device()->GetTransform(TS_PROJECTION, &onDevice), GFX_OK);
    EXPECT_TRUE(SameMatrix(onDevice, expected.projection));
}

TEST_F(DeviceServices, ShaderSetReadyAndGlowMadeAfterRestore) {
    EXPECT_EQ(CZEMGauss::LiveCount(), 0u);
    Start();
    EXPECT_EQ(g_pShaderSet, &app->Shaders());
    EXPECT_TRUE(app->Shaders().IsReady());
    auto* glowEffect = dynamic_cast<CGfxShaderEffect*>(app->Shaders().GlowEffect());
    ASSERT_NE(glowEffect, nullptr);
    EXPECT_EQ(CZEMGauss::LiveCount(), 1u);
    EXPECT_FLOAT_EQ(app->Glow().Factor(), 0.25f);
    ExpectGlowMade();
    app.reset();
    EXPECT_EQ(CZEMGauss::LiveCount(), 0u);
    EXPECT_EQ(g_pShaderSet, nullptr);
}

TEST_F(DeviceServices, ALostDeviceReleasesTheGlowAndTheResetMakesItAgain) {
    CScriptedScreen* screen = Start();
    ASSERT_NE(screen, nullptr);
    screen->onUpdate = [&](CScriptedScreen& s) {
        if (s.updates == 2) Device()->LoseDevice();
        if (s.updates == 4) Device()->AllowReset();
        if (s.updates == 6) window->PostQuitMessage(0);
    };
    EXPECT_EQ(app->RunMessageLoop(), 1);
    // The device refuses a reset while default-pool targets are held: it took
    // place, so the glow let its targets go first.
    EXPECT_EQ(Device()->Count("Reset"), 2u);
    EXPECT_FALSE(app->IsDeviceLost());
    ExpectGlowMade();
    EXPECT_TRUE(app->Shaders().IsReady());
}

TEST_F(DeviceServices, WithoutShaderSupportNothingLoadsAndNoGlowIsMade) {
    MakeApp();
    configureSystem = [](CGfxRecordingSystem& made) { made.caps.vertexShaderVersion = 0xFFFE0101u; };
    ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
    EXPECT_FALSE(app->Shaders().IsReady());
    EXPECT_EQ(app->Shaders().GlowEffect(), nullptr);
    EXPECT_EQ(app->Glow().Target(0), nullptr);
}
