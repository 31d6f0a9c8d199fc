// The effect resource (type 1, ".DRE") as models need it until the visual
// effects arrive: it checks the file's version and holds nothing else, so
// that a model's effect records load, count their references and fail on a
// missing or wrong file. The effects work registers the real resource in its
// place through the same factory hook.
#pragma once

#include "engine/resource/Resource.h"

class CResourceManager;

class CEffectStandIn : public CResource {
public:
    static constexpr float kVersion = 1.11f;

    CEffectStandIn() : CResource(RES_EFFECT) {}
    ~CEffectStandIn() override { Unload(); }

    int Load(const char* path, int flag) override;
};

void RegisterEffectStandIn(CResourceManager& manager);
