// The sample game folder's animated model, loaded from its package and drawn
// posed in a real SDL window (the test program runs under its own Xvfb).
#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/render/AnimationResource.h"
#include "engine/core/ErrorReport.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/resource/ResourceManager.h"
#include "platform/GfxSystem.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/SampleGameFolder.h"

using namespace platform;

TEST(SampleModelWindow, DrawsTheModelPosedInAWindow) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window =
        SDL_CreateWindow("QOR", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 128, 128, SDL_WINDOW_OPENGL);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    {
        CErrorReport report;
        TempFolder tmp;
        ASSERT_EQ(MakeSampleGameFolder(tmp.path()), 1);
        CGfxGlSystem system;
        GfxPresentParameters p;
        p.enableAutoDepthStencil = 1;
        p.autoDepthStencilFormat = FMT_D24S8;
        p.presentationInterval = PRESENT_INTERVAL_IMMEDIATE;
        std::unique_ptr<CGfxDevice> device;
        ASSERT_EQ(system.CreateDevice(0, DEVTYPE_HAL, window, CREATE_HARDWARE_VERTEXPROCESSING, &p, &device), GFX_OK);
        CGfxDevice& d = *device;

        CResourceManager rm(tmp.path());
        rm.SetDevice(&d);
        ASSERT_EQ(rm.FileIndex().LoadPackageList("PACKAGELIST.DRL"), 1);
        RegisterAnimationResources(rm);
        RegisterMeshResources(rm, nullptr);
        RegisterModelResources(rm);
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

        CGfxSurface* back = nullptr;
        ASSERT_EQ(d.GetBackBuffer(0, 0, &back), GFX_OK);
        std::vector<uint32_t> px;
        ASSERT_EQ(d.ReadSurface(back, &px), GFX_OK);
        GfxRelease(back);
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
    SDL_DestroyWindow(window);
}
