// Writes model files exactly as CModelResource reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/ModelResource.h"

struct ModelFile {
    float version = CModelResource::kVersion;
    std::string meshName;
    std::string animationName;
    std::vector<ModelSubModel> subModels;  // the placement and model are not written
    std::vector<ModelEffect> effects;      // nor the placement and effect
    std::vector<ModelSound> sounds;
    std::vector<ModelAction> actions;  // the name hash and pending flags are not written
    platform::Vec3 boundsMin, boundsMax;
    float halfDepthOverride = 0;
};

std::vector<uint8_t> WriteModelFile(const ModelFile& file);

// An action of the whole clip from start to end.
ModelAction MakeModelAction(const std::string& name, float start, float end);
