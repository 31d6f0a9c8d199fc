// The sample game folder with a headless resource manager on it (recording
// device, no sound) and a registry, for the link tests of the game data.
#pragma once

#include <memory>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/AnimationResource.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/render/ShaderSet.h"
#include "engine/resource/ResourceManager.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/RecordingEffect.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/SampleGameFolder.h"
#include "world/GameDataRegistry.h"

struct GameDataFolder {
    GameDataFolder() {
        made = MakeSampleGameFolder(tmp.path()) != 0;
        manager = std::make_unique<CResourceManager>(tmp.path());
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
    // Cached resources of a type (all released: 0).
    size_t Cached(int32_t type) { return manager->Cache(type)->Count(); }

    CErrorReport report;
    CMessageTable messages;
    TempFolder tmp;
    bool made = false;
    platform::CGfxRecordingDevice device;
    CShaderSet shaders{&device};
    std::unique_ptr<CResourceManager> manager;
    CGameDataRegistry registry;
};
