#include "tools/SampleModel.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "tools/AnimationWriter.h"
#include "tools/DdsWriter.h"
#include "tools/MeshWriter.h"
#include "tools/ModelWriter.h"
#include "tools/PackageWriter.h"
#include "platform/GfxDevice.h"

using platform::FloatBits;

namespace {

// The whole clip as a swing that leaves an orange ribbon trail: the top of
// the column sweeps a half circle, sampled twenty times.
ModelAction SwingAction() {
    ModelAction swing = MakeModelAction("SWING", 0, 2);
    swing.trail = {1, FloatBits(1.0f), FloatBits(0.5f), FloatBits(0.1f), FloatBits(0.8f), 0, 0};
    for (int i = 0; i < 20; ++i) {
        const float t = 0.1f * static_cast<float>(i + 1);
        const float a = 3.14159265f * t / 2.0f;
        const float sample[7] = {std::cos(a) * 2, 3, std::sin(a) * 2, std::cos(a) * 4, 4, std::sin(a) * 4, t};
        TrailPoint point{};
        std::memcpy(point.data(), sample, sizeof sample);
        swing.trailPointsA.push_back(point);
    }
    swing.trailPointsB = swing.trailPointsA;
    return swing;
}

}  // namespace

void AddSampleModel(CPackageWriter& package) {
    MeshFile mesh;
    mesh.boundsMin = {0, 0, -0.5f};
    mesh.boundsMax = {2, 4, 0.5f};
    mesh.textures = {"SAMPLE.DDS"};
    MeshFilePart body = MakeSkinnedGridPart("BODY", 2, 4, 2, {0, 1});
    body.textureIndex = 0;
    mesh.parts.push_back(body);
    // The two points a swing's ribbon trail runs between.
    mesh.parts.push_back(MakeGridPart("RIBBON_01", 1, 1));
    mesh.parts.push_back(MakeGridPart("RIBBON_02", 1, 1));
    package.Add("SAMPLE.DRM", WriteMeshFile(mesh));

    AnimationFile anim;
    anim.keyCount = 3;
    anim.length = 2;
    AnimationTrack root;
    root.name = "Bip01";
    root.keys = {MakeAnimationKey({0, 0, 0}), MakeAnimationKey({0, 0, 0}), MakeAnimationKey({0, 0, 0})};
    AnimationTrack spine;
    spine.name = "Bip01 Spine1";
    spine.parent = 0;
    // The upper bone leans to the side and back again.
    spine.keys = {MakeAnimationKey({0, 0, 0}), MakeAnimationKey({1, 0, 0}), MakeAnimationKey({0, 0, 0})};
    anim.tracks = {root, spine};
    package.Add("SAMPLE.DRA", WriteAnimationFile(anim));

    ModelFile model;
    model.meshName = "SAMPLE.DRM";
    model.animationName = "SAMPLE.DRA";
    model.actions = {MakeModelAction("STAND", 0, 2), SwingAction()};
    model.boundsMin = mesh.boundsMin;
    model.boundsMax = mesh.boundsMax;
    package.Add("SAMPLE.DRC", WriteModelFile(model));

    package.Add("SAMPLE.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 64, 64, 0xFF40C040u));
}
