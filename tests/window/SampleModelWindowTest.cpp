// The sample game folder's animated model, loaded from its package and drawn
// posed in a real SDL window (the test program runs under its own Xvfb).
#include <gtest/gtest.h>

#include "engine/render/AnimationResource.h"
#include "engine/core/ErrorReport.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/resource/ResourceManager.h"
#include "tests/window/RealWindowFixture.h"

using namespace platform;

class SampleModelWindow : public RealWindowFixture {};

TEST_F(SampleModelWindow, DrawsTheModelPosedInAWindow) {
    ASSERT_NO_FATAL_FAILURE(OpenDevice(128, 128, true));
    {
        CErrorReport report;
        CGfxDevice& d = Device();

        std::unique_ptr<CResourceManager> resources = SampleResources();
        ASSERT_NE(resources, nullptr);
        CResourceManager& rm = *resources;
        auto* model = static_cast<CModelResource*>(rm.GetResource("SAMPLE.DRC", RES_MODEL, nullptr, 1));
        ASSERT_NE(model, nullptr) << report.Text();

        Matrix view = MatrixLookAtLH({1.5f, 2, -8}, {1.5f, 2, 0}, {0, 1, 0});
        Matrix proj = MatrixPerspectiveFovLH(1.0f, 1.0f, 1.0f, 100.0f);
        Matrix world = Matrix::Identity();
        d.SetTransform(TS_WORLD, &world);
        d.SetTransform(TS_VIEW, &view);
        d.SetTransform(TS_PROJECTION, &proj);
        d.SetRenderState(RS_LIGHTING, 0);

        // Half way through the clip the top of the column leans one unit to the side.
        Matrix pose[2];
        model->Animation()->GetTrackMatrix(pose, 1.0f, 0);
        ASSERT_EQ(d.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), GFX_OK);
        ASSERT_EQ(d.BeginScene(), GFX_OK);
        model->Mesh()->DrawPart(0, nullptr, pose, 2);
        ASSERT_EQ(d.EndScene(), GFX_OK);

        const std::vector<uint32_t> px = ReadBack();
        ASSERT_EQ(d.Present(), GFX_OK);

        Viewport vp;
        d.GetViewport(&vp);
        auto at = [&](float x, float y) {
            Vec3 s = Vec3Project({x, y, 0}, vp, proj, view, world);
            return px[static_cast<size_t>(s.y) * vp.width + static_cast<size_t>(s.x)];
        };
        const uint32_t green = 0xFF40C040u;
        EXPECT_EQ(at(2.7f, 3.8f), green) << std::hex << at(2.7f, 3.8f);        // the leaning top
        EXPECT_EQ(at(0.3f, 3.8f), 0xFF000000u) << std::hex << at(0.3f, 3.8f);  // left behind by the lean
        EXPECT_EQ(at(0.3f, 0.2f), green) << std::hex << at(0.3f, 0.2f);        // the foot stays
        rm.ReleaseResource(model);
    }
}
