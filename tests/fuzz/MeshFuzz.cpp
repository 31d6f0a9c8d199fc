// Meshes (".DRM"): loaded onto the recording device, then every part drawn
// with and without bones and in the shadow pass.
#include <vector>

#include "engine/render/MeshResource.h"
#include "tests/fuzz/ModelRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto* mesh = static_cast<CMeshResource*>(fuzz::LoadModelInput("FUZZ.DRM", RES_MESH, data, size));
    if (!mesh) return 0;
    const std::vector<platform::Matrix> bones(64);
    const float time = 0.5f;
    for (uint32_t i = 0; i < mesh->PartCount() && i < 256; ++i) {
        mesh->DrawPart(i, &time, bones.data(), static_cast<uint32_t>(bones.size()));
        mesh->DrawPart(i, nullptr, nullptr, 0);
        mesh->DrawPartPosed(i, &time, bones.data(), 2, true);
    }
    mesh->Invalidate();
    mesh->Restore();
    fuzz::Models().Manager().ReleaseResource(mesh);
    return 0;
}
