// One particle of an effect layer. Particles are pooled blocks taken zero-
// filled; a particle's place is computed from its age in closed form at each
// draw, so only the birth values and the colour are kept.
#pragma once

#include "platform/Math.h"

struct CEffectParticle {
    float age = 0;
    platform::Vec3 current;   // computed at draw
    platform::Vec3 start;     // spawn position (world space layers: already turned by the emitter)
    platform::Vec3 origin;    // the parent's translation at birth
    platform::Vec3 velocity;
    platform::Vec3 acceleration;
    float r = 0, g = 0, b = 0, a = 0;
    float rateR = 0, rateG = 0, rateB = 0, rateA = 0;  // per second
    float growth = 0;
    float startSize = 0;
    float speed = 0;
    float frameTime = 0;  // seconds since the particle was last drawn
    float sheetTime = 0;
    float sheetFrame = 0;
    platform::Matrix birthRotation;
    CEffectParticle* next = nullptr;
};
