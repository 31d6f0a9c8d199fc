// Writes ".DRE" visual effect files exactly as CEffectResource reads them,
// from a description of the effect; helpers make the usual layer shapes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/effects/EffectResource.h"

struct EffectFileLayer {
    std::string meshName;       // mesh layers
    std::string animationName;  // mesh layers; may be empty
    std::string textureName;    // billboard layers; may be empty
    EffectLayer values;         // the numbers (its resource pointers and scaled copies are not written)
};

struct EffectFile {
    float version = CEffectResource::kVersion;
    platform::Vec3 boundsMin{-5.0f, -5.0f, -5.0f};
    platform::Vec3 boundsMax{5.0f, 5.0f, 5.0f};
    float headerA = 5.0f;
    uint32_t effectType = 2;  // the file's header value B
    // One word per layer and quality grade; MakeEffectFile turns every layer on.
    std::array<std::vector<uint32_t>, 3> options;
    std::vector<EffectFileLayer> layers;
};

std::vector<uint8_t> WriteEffectFile(const EffectFile& file);

// An effect of these layers, each running at every quality grade. With no
// layer each option group holds one word 1, so that the file still loads.
EffectFile MakeEffectFile(std::vector<EffectFileLayer> layers);

// A textured spark: camera-facing quads thrown up and falling, 0.5 s of emission.
EffectFileLayer BillboardLayer(const std::string& texture);
// Each particle a mesh (optionally animated), emitted once.
EffectFileLayer MeshLayer(const std::string& mesh, const std::string& animation = "");
// Particles circling the vertical axis and spreading out; emits for ever.
EffectFileLayer OrbitLayer(const std::string& texture);
// Particles moving along a direction range at a speed range.
EffectFileLayer LinearLayer(const std::string& texture);
