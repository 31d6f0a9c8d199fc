// Animated objects each frame. Target: update and draw of 200 objects of 30
// bones with two effects each, on the recording device, under 3 ms of
// processor time a frame.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <memory>
#include <string>
#include <vector>

#include "engine/render/AnimationResource.h"
#include "engine/effects/EffectManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/GameObject.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/resource/ResourceManager.h"
#include "engine/effects/RibbonManager.h"
#include "platform/File.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/AnimationWriter.h"
#include "tools/EffectFileWriter.h"
#include "tools/MeshWriter.h"
#include "tools/ModelWriter.h"

using namespace platform;

namespace {

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteWholeFile(path, bytes.data(), bytes.size());
}

void BM_UpdateAndDraw200Objects30Bones2Effects(benchmark::State& state) {
    std::string path = BenchFolder("gameobject");
    CreateFolders(path);
    MeshFile mesh;
    mesh.parts.push_back(MakeSkinnedGridPart("BODY", 4, 8, 2, {0, 29}));
    WriteFile(path + "/BODY.DRM", WriteMeshFile(mesh));
    AnimationFile anim;
    anim.keyCount = 30;
    anim.length = 1;
    for (int b = 0; b < 30; ++b) {
        AnimationTrack t;
        t.name = "Bone" + std::to_string(b);
        t.parent = b - 1;
        for (uint32_t k = 0; k < anim.keyCount; ++k)
            t.keys.push_back(MakeAnimationKey({0.1f * static_cast<float>(k), 1, 0}, 0.05f * static_cast<float>(k)));
        anim.tracks.push_back(t);
    }
    WriteFile(path + "/WALK.DRA", WriteAnimationFile(anim));
    WriteFile(path + "/GLOW.DRE", WriteEffectFile(MakeEffectFile({})));
    ModelFile model;
    model.meshName = "BODY.DRM";
    model.animationName = "WALK.DRA";
    ModelEffect glow;
    glow.name = "GLOW.DRE";
    glow.attached = 1;
    glow.boneIndex = 3;
    model.effects = {glow, glow};
    model.actions = {MakeModelAction("WALK", 0, 1)};
    model.boundsMax = {1, 2, 1};
    WriteFile(path + "/HERO.DRC", WriteModelFile(model));

    CGfxRecordingDevice device;
    CResourceManager rm(path);
    rm.SetDevice(&device);
    RegisterAnimationResources(rm);
    RegisterMeshResources(rm, nullptr);
    RegisterModelResources(rm);
    RegisterEffectResources(rm);
    CEffectManager effects;
    CRibbonManager ribbons;
    std::vector<std::unique_ptr<CGameObject>> objects;
    for (int i = 0; i < 200; ++i) {
        auto* hero = static_cast<CModelResource*>(rm.GetResource("HERO.DRC", RES_MODEL, nullptr, 1));
        if (!hero) {
            state.SkipWithError("the model did not load");
            return;
        }
        objects.push_back(std::make_unique<CGameObject>());
        objects.back()->Init(0, Vec3(static_cast<float>(i), 0, 0), nullptr, hero, 0, 0, 1.0f);
        objects.back()->flags |= SO_VISIBLE;
    }
    for (auto _ : state) {
        for (auto& object : objects) object->Update(0.016f);
        for (auto& object : objects) object->Render();
        effects.DrawEffects(0);
        device.ClearLog();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(objects.size()));
}
BENCHMARK(BM_UpdateAndDraw200Objects30Bones2Effects)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
