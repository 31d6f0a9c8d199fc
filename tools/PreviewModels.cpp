#include "tools/PreviewModels.h"

#include <string>

#include "platform/GfxDevice.h"
#include "tools/DdsWriter.h"
#include "tools/MeshWriter.h"
#include "tools/ModelWriter.h"
#include "tools/PackageWriter.h"

namespace {

constexpr float kWallCell = 25.0f;
constexpr uint32_t kWallColumns = 4, kWallRows = 4;
constexpr float kWallBottom = -40.0f;

void AddBackdrop(CPackageWriter& package, const std::string& stem, uint32_t colour) {
    MeshFile mesh;
    mesh.twoSided = 1;
    const float halfWidth = kWallCell * static_cast<float>(kWallColumns) / 2.0f;
    const float bottom = kWallBottom;
    mesh.boundsMin = {-halfWidth, bottom, -0.5f};
    mesh.boundsMax = {halfWidth, bottom + kWallCell * static_cast<float>(kWallRows), 0.5f};
    mesh.textures = {stem + ".DDS"};
    MeshFilePart wall = MakeGridPart("WALL", kWallColumns, kWallRows);
    wall.textureIndex = 0;
    for (MeshFileVertex& v : wall.vertices) {
        v.position.x = v.position.x * kWallCell - halfWidth;
        v.position.y = v.position.y * kWallCell + bottom;
    }
    mesh.parts.push_back(wall);
    package.Add(stem + ".DRM", WriteMeshFile(mesh));
    package.Add(stem + ".DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 16, 16, colour));
}

void AddBackdropModel(CPackageWriter& package, const std::string& name, const std::string& stem) {
    ModelFile model;
    model.meshName = stem + ".DRM";
    const float halfWidth = kWallCell * static_cast<float>(kWallColumns) / 2.0f;
    model.boundsMin = {-halfWidth, kWallBottom, -0.5f};
    model.boundsMax = {halfWidth, kWallBottom + kWallCell * static_cast<float>(kWallRows), 0.5f};
    package.Add(name, WriteModelFile(model));
}

}  // namespace

void AddPreviewModels(CPackageWriter& package) {
    // The sample column seen from both sides: the preview looks at a random
    // pick from +z, where the sample mesh shows its back.
    MeshFile mesh;
    mesh.twoSided = 1;
    mesh.boundsMin = {0, 0, -0.5f};
    mesh.boundsMax = {2, 4, 0.5f};
    mesh.textures = {"SAMPLE.DDS"};
    MeshFilePart body = MakeSkinnedGridPart("BODY", 2, 4, 2, {0, 1});
    body.textureIndex = 0;
    mesh.parts.push_back(body);
    package.Add("CHA_SELECT_RANDOM.DRM", WriteMeshFile(mesh));

    ModelFile figure;
    figure.meshName = "CHA_SELECT_RANDOM.DRM";
    figure.animationName = "SAMPLE.DRA";
    figure.actions = {MakeModelAction("IDLE", 0, 2), MakeModelAction("POSE", 0, 1), MakeModelAction("SWING", 0, 2),
                      MakeModelAction("TURN", 1, 2)};
    figure.boundsMin = {0, 0, -0.5f};
    figure.boundsMax = {2, 4, 0.5f};
    package.Add("CHA_SELECT_RANDOM.DRC", WriteModelFile(figure));

    AddBackdrop(package, "BACKDROP_H", kPreviewBackdropH);
    AddBackdrop(package, "BACKDROP_V", kPreviewBackdropV);
    AddBackdropModel(package, "UI_CHA_SELECT_H_BG.DRC", "BACKDROP_H");
    AddBackdropModel(package, "UI_CHA_SELECT_V_BG.DRC", "BACKDROP_V");
}
