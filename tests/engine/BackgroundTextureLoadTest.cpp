#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/resource/LoaderJob.h"
#include "engine/core/MessageTable.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/SampleGameFolder.h"

using namespace platform;

namespace {

// The start-up job's shape: load on the loader thread, publish a phase word.
class CTextureJob : public CLoaderJob {
public:
    explicit CTextureJob(CResourceManager& rm) : m_rm(rm) {}
    int Job() override {
        texture = AsTexture(m_rm.GetResource("LOGO1.DDS", RES_TEXTURE, nullptr, 1));
        phase.store(texture ? 1 : 2, std::memory_order_release);
        return texture ? 1 : 0;
    }
    std::atomic<int> phase{0};
    CTextureResource* texture = nullptr;

private:
    CResourceManager& m_rm;
};

struct Vertex {
    float x, y, z, rhw;
    uint32_t color;
};

TEST(BackgroundTextureLoad, TheSampleFolderLogoLoadsOnTheLoaderThreadWhileTheMainThreadDraws) {
    TempFolder tmp;
    CErrorReport report;
    CMessageTable messages;
    ASSERT_EQ(MakeSampleGameFolder(tmp.path()), 1);
    CGfxRecordingDevice device;
    CResourceManager rm(tmp.path());
    rm.SetDevice(&device);
    ASSERT_EQ(rm.FileIndex().LoadPackageList("PACKAGELIST.DRL"), 1) << report.GetText();

    CTextureJob job(rm);
    ASSERT_EQ(rm.StartLoaderThread(&job, 1), 1);
    // The main loop keeps drawing and only polls the job's phase.
    const Vertex quad[4] = {{0, 0, 0, 1, 0xFF000000u},
                            {1024, 0, 0, 1, 0xFF000000u},
                            {0, 768, 0, 1, 0xFF000000u},
                            {1024, 768, 0, 1, 0xFF000000u}};
    uint32_t frames = 0;
    while (job.phase.load(std::memory_order_acquire) == 0 || frames < 3) {
        device.BeginScene();
        device.SetFVF(FVF_XYZRHW | FVF_DIFFUSE);
        device.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        device.EndScene();
        device.Present();
        ++frames;
    }
    ASSERT_EQ(rm.WaitLoaderThread(CResourceManager::kInfinite), 1);
    EXPECT_EQ(rm.LoaderExitCode(), 1) << report.GetText();
    ASSERT_NE(job.texture, nullptr);
    EXPECT_EQ(job.texture->Width(), 256u);
    EXPECT_EQ(job.texture->Height(), 256u);
    EXPECT_EQ(job.texture->Format(), static_cast<uint32_t>(FMT_DXT5));
    EXPECT_EQ(job.texture->Texture()->GetLevelCount(), 9u);
    EXPECT_TRUE(job.texture->IsPackageEntry());

    // Back on the main thread the logo is drawn with the texture bound.
    job.texture->SetToStage(0);
    EXPECT_EQ(device.GetTexture(0), job.texture->Texture());
    EXPECT_EQ(device.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), GFX_OK);
    EXPECT_EQ(device.DrawCount(), frames + 1);
    rm.ReleaseResource(job.texture);
}

}  // namespace
