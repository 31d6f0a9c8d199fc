// A game folder and the effect services the effect tests share: a recording
// device held by the render-state holder, the effect manager, and effects
// written by the project's effect writer and loaded through the resource manager.
#pragma once

#include <string>
#include <vector>

#include "engine/effects/EffectManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/RenderStateCache.h"
#include "tests/fixtures/ModelFolder.h"
#include "tools/DdsWriter.h"
#include "tools/EffectFileWriter.h"

struct EffectWorld {
    ModelFolder models;
    CRenderStateCache states;
    CEffectManager effects;
    int files = 0;

    EffectWorld() {
        states.SetDevice(&models.device);
        models.folder.WriteLoose("SPARK.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 4, 4, 0xFFFFFFFFu));
        effects.CreateDeviceObjects();
    }

    // The loaded effect with one reference for the caller (each call writes a new file).
    CEffectResource* Load(const EffectFile& file) {
        const std::string name = "FX" + std::to_string(files++) + ".DRE";
        models.folder.WriteLoose(name, WriteEffectFile(file));
        CResourceManager& rm = models.Manager();
        rm.FileIndex().ClearFolders();
        rm.FileIndex().ScanFolder(".");
        return static_cast<CEffectResource*>(rm.GetResource(name.c_str(), RES_EFFECT, nullptr, 1));
    }
    CEffectResource* Load(std::vector<EffectFileLayer> layers) { return Load(MakeEffectFile(std::move(layers))); }

    // A still, white, one-unit billboard layer that emits every interval for ever.
    static EffectFileLayer StillLayer(float interval, float life, const std::string& texture = "SPARK.DDS") {
        EffectFileLayer layer = BillboardLayer(texture);
        EffectLayer& l = layer.values;
        l.emissionInterval = interval;
        l.particleLife = life;
        l.emissionDuration = 0;
        l.speedMin = l.speedMax = 0;
        l.gravity = {};
        l.billboard = 0;
        l.directionMin = l.directionMax = {0, 1, 0};
        return layer;
    }

    CEffectInstance* Start(CResource* fx, CGameObject* owner = nullptr) {
        return effects.CreateEffect(platform::Vec3(), fx, owner, -1, platform::Matrix::Identity(), 0, 0);
    }
};
