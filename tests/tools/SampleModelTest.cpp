#include "tools/SampleModel.h"

#include <gtest/gtest.h>

#include "engine/render/AnimationResource.h"
#include "engine/core/ErrorReport.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/core/NameHash.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/SampleGameFolder.h"

using namespace platform;

TEST(SampleModel, LoadsFromTheSampleFolderAndDrawsPosed) {
    CErrorReport report;
    TempFolder tmp;
    ASSERT_EQ(MakeSampleGameFolder(tmp.path()), 1);
    CGfxRecordingDevice device;
    CResourceManager rm(tmp.path());
    rm.SetDevice(&device);
    ASSERT_EQ(rm.FileIndex().LoadPackageList("PACKAGELIST.DRL"), 1);
    RegisterAnimationResources(rm);
    RegisterMeshResources(rm, nullptr);
    RegisterModelResources(rm);

    auto* model = static_cast<CModelResource*>(rm.GetResource("SAMPLE.DRC", RES_MODEL, nullptr, 1));
    ASSERT_NE(model, nullptr) << report.Text();
    CAnimationResource* anim = model->Animation();
    CMeshResource* mesh = model->Mesh();
    ASSERT_NE(anim, nullptr);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(anim->BoneSlotTrack(CAnimationResource::BONE_SPINE), 1);
    ASSERT_NE(model->FindAction(NameHash("STAND"), nullptr), nullptr);

    // Half way through the clip the upper bone has leaned one unit to the side.
    Matrix pose[2];
    anim->GetTrackMatrix(pose, 1.0f, 0);
    mesh->DrawPart(0, nullptr, pose, 2);
    auto* body = static_cast<CSoftSkinMeshPart*>(mesh->Part(0));
    ASSERT_EQ(body->Class(), CMeshPart::SOFT_SKIN);
    const MeshVertex32& top = body->output.back();
    EXPECT_NEAR(top.position.x, 2 + 1, 1e-5);
    EXPECT_NEAR(top.position.y, 4, 1e-5);
    EXPECT_NEAR(body->output.front().position.x, 0, 1e-5);  // the bottom stays with the root
    EXPECT_EQ(device.GetTexture(0), AsTexture(mesh->TextureSlot(0))->Texture());
    EXPECT_EQ(device.Count("Draw 4 prims 16 indexed stream stride 32"), 1u);
    rm.ReleaseResource(model);
}
