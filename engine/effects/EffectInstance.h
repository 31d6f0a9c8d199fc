// A running visual effect as the game object drives it: created by the
// effect manager, placed by its owner before each update, updated until it
// reports that nothing runs any more, queued for drawing, then handed back.
// This small version runs for a fixed time instead of emitting particle
// layers; the effects work replaces it with the layered one under the same
// operations.
#pragma once

#include <cstdint>

#include "platform/Math.h"

class CResource;

class CEffectInstance {
public:
    // The manager's two pools: plain instances and link effects.
    static constexpr uint32_t kPlain = 2;
    static constexpr uint32_t kLink = 3;

    virtual ~CEffectInstance() = default;
    virtual uint32_t Kind() const { return kPlain; }

    // Without keepOffset a negative bone index drops the offset.
    void Init(const platform::Vec3& position, CResource* resource, const platform::Matrix* parentMatrix,
              int32_t boneIndex, const platform::Matrix& offset, uint32_t group, int keepOffset);
    // 1 while the effect still runs.
    int Update(float elapsed);
    void Draw();
    // Emits no more; finishes on its own.
    void Stop() { stopping = 1; }
    // Starts over from its beginning (an action's one-shot effect when the action wraps).
    void Restart();
    int GetPrimitiveCount() const { return alive ? 2 : 0; }
    void SetElapsed(float t) { elapsed = t; }

    CResource* resource = nullptr;
    platform::Vec3 position;
    platform::Matrix world = platform::Matrix::Identity();  // placed by the owner
    const platform::Matrix* parent = nullptr;
    platform::Matrix offset = platform::Matrix::Identity();
    uint32_t hasOffset = 0;
    int32_t boneIndex = -1;
    uint32_t group = 0;
    uint32_t stopping = 0;
    uint32_t alive = 0;
    float elapsed = 0;
    // How long the first layer emits; 0 runs until stopped.
    float duration = 0;
    uint32_t draws = 0;
};

// An effect stretched between two objects.
class CLinkEffect : public CEffectInstance {
public:
    uint32_t Kind() const override { return kLink; }
    void* source = nullptr;
    void* target = nullptr;
};
