// The sample game folder's rain and spark effects drawn by the effect manager
// in a real SDL window (the test program runs under its own Xvfb): the rain's
// pale blue drops over the whole view, the spark's yellow burst at its point.
// The screenshot is checked by counting pixels of each colour.
#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "engine/effects/EffectManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/AnimationResource.h"
#include "engine/render/Camera.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "platform/CrtRandom.h"
#include "tests/window/RealWindowFixture.h"

using namespace platform;

namespace {

constexpr uint32_t kSize = 128;

int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// Drops: blue clearly above red and above the black ground.
bool IsRain(uint32_t p) { return Channel(p, 0) > 40 && Channel(p, 0) > Channel(p, 16) + 10; }
// Sparks: red and green well up, blue below them.
bool IsSpark(uint32_t p) { return Channel(p, 16) > 80 && Channel(p, 8) > 50 && Channel(p, 0) + 20 < Channel(p, 16); }

}  // namespace

class EffectWindow : public RealWindowFixture {};

TEST_F(EffectWindow, RainAndSparkFromTheSampleFolder) {
    // The drops fall where the shared random stream puts them: the tests
    // that ran before must not decide how many land in view.
    platform::CrtSrand(1);
    ASSERT_NO_FATAL_FAILURE(OpenDevice(kSize, kSize, true));
    {
        CErrorReport report;
        CGfxDevice& d = Device();
        CRenderStateCache states;
        states.SetDevice(&d);
        std::unique_ptr<CResourceManager> resources = SampleResources();
        ASSERT_NE(resources, nullptr);
        CResourceManager& rm = *resources;
        CEffectManager effects;
        ASSERT_EQ(effects.CreateDeviceObjects(), 1);

        CCamera camera;
        effects.SetCamera(&camera);

        // The effect at a point, seen from eye toward target.
        auto frame = [&](const char* effectName, const Vec3& at, const Vec3& eye, const Vec3& target) {
            camera.SetLookAt(eye, target, 0.785398f);
            camera.SetProjection(kSize, kSize);
            camera.view = MatrixLookAtLH(camera.eye, camera.target, Vec3(0, 1, 0));
            CResource* fx = rm.GetResource(effectName, RES_EFFECT, nullptr, 1);
            EXPECT_NE(fx, nullptr) << report.Text();
            CEffectInstance* instance = effects.CreateEffect(at, fx, nullptr, -1, Matrix::Identity(), 0, 0);
            for (int i = 0; i < 8; ++i) instance->Update(0.05f);
            d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
            d.BeginScene();
            d.SetTransform(TS_VIEW, &camera.view);
            d.SetTransform(TS_PROJECTION, &camera.projection);
            effects.QueueForDraw(instance);
            effects.DrawEffects(0);
            d.EndScene();
            effects.ReleaseEffect(instance);
            return ReadBack();
        };

        std::vector<uint32_t> rain = frame("EFF_COM_ENV_RAIN01.DRE", Vec3(), Vec3(0, 6, -30), Vec3(0, 6, 0));
        int drops = 0, sparksInRain = 0;
        for (uint32_t p : rain) {
            drops += IsRain(p) ? 1 : 0;
            sparksInRain += IsSpark(p) ? 1 : 0;
        }
        EXPECT_GE(drops, 30) << "the rain's drops";
        EXPECT_EQ(sparksInRain, 0);

        std::vector<uint32_t> spark = frame("SPARK.DRE", Vec3(0, 4, 0), Vec3(0, 4, -8), Vec3(0, 4, 0));
        int sparks = 0, dropsInSpark = 0, centre = 0;
        for (uint32_t y = 0; y < kSize; ++y) {
            for (uint32_t x = 0; x < kSize; ++x) {
                const uint32_t p = spark[y * kSize + x];
                sparks += IsSpark(p) ? 1 : 0;
                dropsInSpark += IsRain(p) ? 1 : 0;
                // The burst stays near the middle of the view.
                if (IsSpark(p) && x > kSize / 4 && x < 3 * kSize / 4) ++centre;
            }
        }
        EXPECT_GE(sparks, 20) << "the spark's burst";
        EXPECT_EQ(dropsInSpark, 0);
        EXPECT_EQ(centre, sparks);
        EXPECT_EQ(effects.LiveCount(), 0u);
    }
}
