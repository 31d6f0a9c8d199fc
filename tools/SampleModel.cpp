#include "tools/SampleModel.h"

#include "tools/AnimationWriter.h"
#include "tools/DdsWriter.h"
#include "tools/MeshWriter.h"
#include "tools/ModelWriter.h"
#include "tools/PackageWriter.h"

void AddSampleModel(CPackageWriter& package) {
    MeshFile mesh;
    mesh.boundsMin = {0, 0, -0.5f};
    mesh.boundsMax = {2, 4, 0.5f};
    mesh.textures = {"SAMPLE.DDS"};
    MeshFilePart body = MakeSkinnedGridPart("BODY", 2, 4, 2, {0, 1});
    body.textureIndex = 0;
    mesh.parts.push_back(body);
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
    model.actions = {MakeModelAction("STAND", 0, 2)};
    model.boundsMin = mesh.boundsMin;
    model.boundsMax = mesh.boundsMax;
    package.Add("SAMPLE.DRC", WriteModelFile(model));

    package.Add("SAMPLE.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 64, 64, 0xFF40C040u));
}
