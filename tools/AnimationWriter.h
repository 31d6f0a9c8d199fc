// Writes animation files exactly as CAnimationResource reads them.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/AnimationResource.h"

struct AnimationFile {
    float version = CAnimationResource::kVersion;
    uint32_t keyCount = 0;  // written as is; every track should hold that many keys
    uint32_t reserved = 0;
    float length = 0;
    uint32_t extraCount = 0;
    std::vector<AnimationTrack> tracks;
};

std::vector<uint8_t> WriteAnimationFile(const AnimationFile& file);

// A key of a rotation about y by angle (radians) at a position, unit scale.
AnimationKey MakeAnimationKey(const platform::Vec3& translation, float yaw = 0, float scale = 1);
