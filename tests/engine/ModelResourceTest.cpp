#include "engine/render/ModelResource.h"

#include <gtest/gtest.h>

#include "engine/render/AnimationResource.h"
#include "engine/effects/EffectResource.h"
#include "engine/core/ErrorReport.h"
#include "engine/render/MeshResource.h"
#include "engine/core/NameHash.h"
#include "engine/render/ShaderSet.h"
#include "platform/CodePage.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/RecordingEffect.h"
#include "tests/fixtures/ModelFolder.h"
#include "tests/fixtures/ResourceFolder.h"
#include "tools/AnimationWriter.h"
#include "tools/MeshWriter.h"
#include "tools/ModelWriter.h"

using namespace platform;

namespace {

ModelFile FullModel() {
    ModelFile f;
    f.meshName = "BODY.DRM";
    f.animationName = "WALK.DRA";
    ModelSubModel sub;
    sub.field1 = 1;
    sub.field2 = 2;
    sub.field3 = 3;
    sub.name = "SUB.DRC";
    sub.position = {1, 2, 3};
    sub.rotation = {0, 90, 0};
    sub.scale = 2;
    f.subModels = {sub, sub};  // the same sub-model named twice
    ModelEffect fx;
    fx.boneIndex = 1;
    fx.name = "GLOW.DRE";
    fx.attached = 1;
    fx.position = {0, 5, 0};
    fx.rotation = {90, 0, 0};
    ModelEffect fx2 = fx;
    fx2.boneIndex = -1;
    fx2.attached = 0;
    f.effects = {fx, fx2};
    ModelSound snd;
    snd.field1 = 7;
    snd.name = "HIT.WAV";
    f.sounds = {snd};
    ModelAction walk = MakeModelAction("WALK", 0, 1);
    walk.id = 55;
    walk.events = {{1, 1, 3, 4}, {2, 9, 0, 0}};  // the second names no effect record
    walk.soundCues = {{10, 11, 12, 0}};
    walk.trail = {1, 2, 3, 4, 5, 6, 7};
    TrailPoint p{};
    p[0] = 0xAB;
    p[27] = 0xCD;
    walk.trailPointsA = {p};
    walk.trailPointsB = {p, p};
    f.actions = {walk, MakeModelAction("IDLE", 0.5f, 0.75f)};
    f.boundsMin = {-1, 0, -1};
    f.boundsMax = {1, 3, 1};
    f.halfDepthOverride = 0.75f;
    return f;
}

using ModelFixture = ModelFolder;

}  // namespace

TEST(ModelResource, RoundTripsEveryRecordAndLoadsWhatItNames) {
    ModelFixture fx;
    CModelResource* model = fx.Load(FullModel(), "HERO.DRC");
    ASSERT_NE(model, nullptr) << fx.folder.report.Text();
    ASSERT_NE(model->Mesh(), nullptr);
    ASSERT_NE(model->Animation(), nullptr);
    EXPECT_EQ(model->Animation()->TrackCount(), 2u);
    EXPECT_EQ(model->RibbonPart(0), 2);
    EXPECT_EQ(model->RibbonPart(1), 1);
    // With an animation the mesh was loaded for the skinning effect.
    EXPECT_EQ(model->Mesh()->Part(0)->Class(), CMeshPart::SHADER_SKIN);

    // One cached sub-model, held twice.
    ASSERT_EQ(model->SubModels().size(), 2u);
    EXPECT_EQ(model->SubModels()[0].model, model->SubModels()[1].model);
    EXPECT_EQ(model->SubModels()[0].model->RefCount(), 2);
    EXPECT_EQ(fx.Manager().Cache(RES_MODEL)->Count(), 2u);
    const ModelSubModel& sub = model->SubModels()[0];
    EXPECT_EQ(sub.field3, 3u);
    Matrix expect = MatrixScaling(2, 2, 2) * MatrixRotationY(3.14159265f / 2) * MatrixTranslation(1, 2, 3);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(sub.placement(r, c), expect(r, c), 1e-5);
    // A sub-model without an animation has its mesh loaded without skinning on the card.
    EXPECT_EQ(sub.model->Animation(), nullptr);

    ASSERT_EQ(model->Effects().size(), 2u);
    EXPECT_EQ(model->Effects()[0].effect, model->Effects()[1].effect);
    EXPECT_EQ(model->Effects()[0].effect->RefCount(), 2);
    EXPECT_EQ(model->Effects()[0].boneIndex, 1);
    EXPECT_EQ(model->Effects()[1].boneIndex, -1);
    EXPECT_EQ(model->Effects()[1].attached, 0u);
    Vec3 moved = Vec3TransformCoord({0, 0, 1}, model->Effects()[0].placement);
    EXPECT_NEAR(moved.y, 4.0f, 1e-5);  // pitch 90 degrees turns +z down, then up 5
    EXPECT_NEAR(moved.z, 0.0f, 1e-5);

    // The sound device is off: the record is kept without a sound, and the text says so.
    ASSERT_EQ(model->Sounds().size(), 1u);
    EXPECT_EQ(model->Sounds()[0].sound, nullptr);
    EXPECT_EQ(model->Sounds()[0].field1, 7u);
    EXPECT_EQ(fx.folder.report.Text(), "Sound load fail HIT.WAV\n");

    ASSERT_EQ(model->Actions().size(), 2u);
    const ModelAction& walk = model->Actions()[0];
    EXPECT_EQ(walk.id, 0u);  // its place in the list
    EXPECT_EQ(model->Actions()[1].id, 1u);
    EXPECT_EQ(walk.nameHash, NameHash("WALK"));
    ASSERT_EQ(walk.events.size(), 1u);  // the event naming no effect record is left out
    EXPECT_EQ(walk.events[0].c, 3u);
    EXPECT_EQ(walk.events[0].d, 4u);
    ASSERT_EQ(walk.soundCues.size(), 1u);
    EXPECT_EQ(walk.soundCues[0].c, 12u);
    EXPECT_EQ(walk.soundCues[0].pending, 1u);
    EXPECT_EQ(walk.trail[6], 7u);
    ASSERT_EQ(walk.trailPointsB.size(), 2u);
    EXPECT_EQ(walk.trailPointsB[1][27], 0xCD);
    EXPECT_EQ(model->BoundsMax().y, 3.0f);
    EXPECT_EQ(model->HalfDepthOverride(), 0.75f);

    // Releasing the model gives back everything it took.
    fx.Manager().ReleaseResource(model);
    fx.held.clear();
    for (int32_t type : {RES_MODEL, RES_MESH, RES_ANIMATION, RES_EFFECT})
        EXPECT_EQ(fx.Manager().Cache(type)->Count(), 0u) << type;
}

TEST(ModelResource, ModelWithoutAnimationLoadsItsMeshForTheProcessor) {
    ModelFixture fx;
    ModelFile f;
    f.meshName = "BODY.DRM";
    CModelResource* model = fx.Load(f, "STATUE.DRC");
    ASSERT_NE(model, nullptr) << fx.folder.report.Text();
    EXPECT_EQ(model->Mesh()->Part(0)->Class(), CMeshPart::SOFT_SKIN);
    EXPECT_EQ(model->GetAction(0), nullptr);
    EXPECT_EQ(model->FindAction(NameHash("WALK"), nullptr), nullptr);
}

TEST(ModelResource, ActionLookups) {
    ModelFixture fx;
    ModelFile f = SubModelFile();
    f.meshName = "BODY.DRM";
    f.actions = {MakeModelAction("STAND", 0, 1), MakeModelAction("RUN", 1, 2), MakeModelAction("HIT", 2, 3)};
    CModelResource* model = fx.Load(f, "A.DRC");
    ASSERT_NE(model, nullptr);
    const ModelAction* first = &model->Actions()[0];
    EXPECT_EQ(model->GetAction(1), &model->Actions()[1]);
    EXPECT_EQ(model->GetAction(3), first);
    EXPECT_EQ(model->GetAction(-1), first);
    int32_t index = -1;
    EXPECT_EQ(model->FindAction(NameHash("HIT"), &index), &model->Actions()[2]);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(model->FindAction(NameHash("RUN"), nullptr), &model->Actions()[1]);
    EXPECT_EQ(model->FindAction(NameHash("hit"), &index), nullptr);
}

TEST(ModelResource, EqualTimesAreRefusedWithTheActionIndex) {
    ModelFixture fx;
    ModelFile f = SubModelFile();
    f.actions = {MakeModelAction("STAND", 0, 1), MakeModelAction("STUCK", 2, 2)};
    EXPECT_EQ(fx.Load(f, "EQ.DRC"), nullptr);
    EXPECT_EQ(fx.folder.report.GetCode(), static_cast<uint32_t>(ERR_DATA));
    EXPECT_EQ(fx.folder.report.Text(), Utf8ToCp949("1번 액션의 시작시간과 끝시간이 같습니다."));
    EXPECT_EQ(fx.Manager().Cache(RES_MESH)->Count(), 0u);  // the failed model gave its mesh back
}

TEST(ModelResource, FailuresChainTheModelsName) {
    ModelFixture fx;
    struct Case {
        const char* name;
        void (*damage)(ModelFile&);
        const char* text;
    } cases[] = {
        {"M.DRC", [](ModelFile& f) { f.meshName = "NONE.DRM"; }, "NONE.DRM\n<- M.DRC"},
        {"A.DRC", [](ModelFile& f) { f.animationName = "NONE.DRA"; }, "NONE.DRA\n<- A.DRC"},
        {"S.DRC", [](ModelFile& f) { f.subModels[1].name = "NONE.DRC"; }, "NONE.DRC\n<- S.DRC"},
        {"E.DRC", [](ModelFile& f) { f.effects[0].name = "NONE.DRE"; }, "NONE.DRE\n<- E.DRC"},
        {"V.DRC", [](ModelFile& f) { f.version = 1.0f; }, "Wrong file version : V.DRC"},
        {"N.DRC", [](ModelFile& f) { f.subModels[0].name = std::string(260, 'n'); }, ""},
        {"SELF.DRC", [](ModelFile& f) { f.subModels[0].name = "SELF.DRC"; }, "nested too deep"},
    };
    for (const Case& c : cases) {
        ModelFile f = FullModel();
        c.damage(f);
        EXPECT_EQ(fx.Load(f, c.name), nullptr) << c.name;
        EXPECT_NE(fx.folder.report.Text().find(c.text), std::string::npos) << fx.folder.report.Text();
    }
    // A wrong effect file fails every time it is asked for, never cached as loaded.
    fx.folder.WriteLoose("BAD.DRE", {1, 2, 3, 4});
    for (int attempt = 0; attempt < 2; ++attempt) {
        ModelFile f = FullModel();
        f.effects[1].name = "BAD.DRE";
        EXPECT_EQ(fx.Load(f, "B" + std::to_string(attempt) + ".DRC"), nullptr);
        EXPECT_NE(fx.folder.report.Text().find("<- B" + std::to_string(attempt) + ".DRC"), std::string::npos);
    }
    // With the sound device on, a sound that cannot load fails the model.
    fx.Manager().SetSoundDeviceCheck([] { return true; });
    EXPECT_EQ(fx.Load(FullModel(), "SND.DRC"), nullptr);
    EXPECT_NE(fx.folder.report.Text().find("HIT.WAV\n<- SND.DRC"), std::string::npos) << fx.folder.report.Text();
    fx.Manager().SetSoundDeviceCheck([] { return false; });

    std::vector<uint8_t> good = WriteModelFile(FullModel());
    for (size_t cut = 0; cut < good.size(); cut += 9) {
        fx.folder.WriteLoose("CUT.DRC", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut)));
        fx.Manager().FileIndex().ClearFolders();
        fx.Manager().FileIndex().ScanFolder(".");
        EXPECT_EQ(fx.Manager().GetResource("CUT.DRC", RES_MODEL, nullptr, 1), nullptr) << cut;
    }
    for (int32_t type : {RES_MODEL, RES_MESH, RES_ANIMATION, RES_EFFECT})
        EXPECT_EQ(fx.Manager().Cache(type)->Count(), 0u) << type;
}
