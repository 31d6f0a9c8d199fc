#include "tools/HeadlessGameData.h"

#include "engine/effects/EffectResource.h"
#include "engine/render/AnimationResource.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "tools/RecordingEffect.h"

CHeadlessGameData::CHeadlessGameData(const std::string& folder) {
    manager = std::make_unique<CResourceManager>(folder);
    manager->FileIndex().LoadPackageList("PACKAGELIST.DRL");
    manager->SetDevice(&device);
    shaders.SetEffectLoader(RecordingEffectLoader(nullptr));
    shaders.LoadShaders(1);
    RegisterAnimationResources(*manager);
    RegisterMeshResources(*manager, &shaders);
    RegisterModelResources(*manager);
    RegisterEffectResources(*manager);
    manager->SetSoundDeviceCheck([] { return false; });
}
