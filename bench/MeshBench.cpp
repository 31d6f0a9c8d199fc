// Hot paths of animated models. Targets: processor skinning of 10,000
// vertices with 4 influences under 0.3 ms; sampling 60 tracks under 10
// microseconds, 200 objects of 60 tracks under 2 ms; loading a 50,000-vertex
// mesh from a package under 10 ms.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <string>
#include <vector>

#include "engine/render/AnimationResource.h"
#include "engine/render/MeshResource.h"
#include "engine/resource/ResourceManager.h"
#include "platform/File.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/AnimationWriter.h"
#include "tools/MeshWriter.h"
#include "tools/PackageWriter.h"

using namespace platform;

namespace {

void BM_ProcessorSkinning10kVertices4Influences(benchmark::State& state) {
    CGfxRecordingDevice device;
    MeshFilePart data = MakeSkinnedGridPart("SKIN", 99, 99, 4, {0, 1});  // 100 x 100 vertices
    CSoftSkinMeshPart part(&device);
    uint32_t n = static_cast<uint32_t>(data.vertices.size());
    part.Setup(n, data.triangleCount * 3, 0, sizeof(MeshVertex32), kFvfMesh32);
    part.source.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        part.source[i].position = data.vertices[i].position;
        part.source[i].normal = data.vertices[i].normal;
        for (int k = 0; k < 4; ++k) {
            part.source[i].indices[k] = static_cast<float>(data.vertices[i].influences[k].boneIndex);
            part.source[i].weights[k] = data.vertices[i].influences[k].weight;
        }
    }
    part.PrepareVertices();
    part.Indices() = data.indices;
    part.SetPrimitiveCount(data.triangleCount);
    if (!part.CreateBuffers()) state.SkipWithError("no buffers");
    Matrix bones[2] = {MatrixRotationY(0.3f) * MatrixTranslation(1, 2, 3), MatrixTranslation(0, 1, 0)};
    for (auto _ : state) {
        part.ApplyBones(bones, 2);  // blend and refill the vertex buffer
        benchmark::DoNotOptimize(part.output.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ProcessorSkinning10kVertices4Influences)->Unit(benchmark::kMicrosecond);

// A 60-bone skeleton in a chain, 30 keys over 1 second, loaded from a loose file.
struct Skeleton {
    std::string path = BenchFolder("mesh-anim");
    CResourceManager* rm;
    CAnimationResource* anim = nullptr;

    Skeleton() {
        CreateFolders(path);
        AnimationFile f;
        f.keyCount = 30;
        f.length = 1;
        for (int b = 0; b < 60; ++b) {
            AnimationTrack t;
            t.name = "Bone" + std::to_string(b);
            t.parent = b - 1;
            t.mode = b % 2;
            for (uint32_t k = 0; k < f.keyCount; ++k)
                t.keys.push_back(MakeAnimationKey({0.1f * static_cast<float>(k), 1, 0}, 0.05f * static_cast<float>(k)));
            f.tracks.push_back(t);
        }
        std::vector<uint8_t> bytes = WriteAnimationFile(f);
        WriteWholeFile(path + "/BENCH.DRA", bytes.data(), bytes.size());
        rm = new CResourceManager(path);
        RegisterAnimationResources(*rm);
        anim = static_cast<CAnimationResource*>(rm->GetResource("BENCH.DRA", RES_ANIMATION, nullptr, 1));
    }
};

Skeleton& TheSkeleton() {
    static Skeleton s;
    return s;
}

void BM_Sample60Tracks(benchmark::State& state) {
    CAnimationResource* anim = TheSkeleton().anim;
    if (!anim) {
        state.SkipWithError("the animation did not load");
        return;
    }
    std::vector<Matrix> out(anim->TrackCount());
    float t = 0;
    for (auto _ : state) {
        anim->GetTrackMatrix(out.data(), t, 0);
        benchmark::DoNotOptimize(out.data());
        t += 0.013f;
    }
}
BENCHMARK(BM_Sample60Tracks)->Unit(benchmark::kMicrosecond);

void BM_Sample200ObjectsOf60Tracks(benchmark::State& state) {
    CAnimationResource* anim = TheSkeleton().anim;
    if (!anim) {
        state.SkipWithError("the animation did not load");
        return;
    }
    std::vector<std::vector<Matrix>> poses(200, std::vector<Matrix>(anim->TrackCount()));
    float t = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < poses.size(); ++i)
            anim->GetTrackMatrix(poses[i].data(), t + 0.01f * static_cast<float>(i), 0);
        benchmark::DoNotOptimize(poses.data());
        t += 0.013f;
    }
}
BENCHMARK(BM_Sample200ObjectsOf60Tracks)->Unit(benchmark::kMillisecond);

void BM_PackagedMeshLoad50kVertices(benchmark::State& state) {
    std::string path = BenchFolder("mesh-load");
    CreateFolders(path);
    MeshFile mesh;
    mesh.parts.push_back(MakeGridPart("BIG", 249, 199));  // 250 x 200 vertices
    CPackageWriter package("MESHBENCH.DRP");
    package.Add("BIG.DRM", WriteMeshFile(mesh));
    package.WritePackage(path);
    CPackageWriter::WriteList(path + "/PACKAGELIST.DRL", {&package});
    CGfxRecordingDevice device;
    CResourceManager rm(path);
    rm.SetDevice(&device);
    RegisterMeshResources(rm, nullptr);
    rm.FileIndex().LoadPackageList("PACKAGELIST.DRL");
    for (auto _ : state) {
        CResource* r = rm.GetResource("BIG.DRM", RES_MESH, nullptr, 0);
        if (!r) {
            state.SkipWithError("the mesh did not load");
            break;
        }
        rm.ReleaseResource(r);  // the last reference: the next request reads the package again
    }
}
BENCHMARK(BM_PackagedMeshLoad50kVertices)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
