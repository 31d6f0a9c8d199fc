// A running visual effect: one use of an effect resource, taken from the
// effect manager's pool, with one emitter layer per layer record. Its owner
// places it before each update, updates it until it reports that nothing runs
// any more, queues it for drawing and hands it back to the manager.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math.h"

class CResource;
class CEffectResource;
class CEffectLayer;
class CEffectManager;

class CEffectInstance {
public:
    // The manager's two pools: plain instances and link effects.
    static constexpr uint32_t kPlain = 2;
    static constexpr uint32_t kLink = 3;

    explicit CEffectInstance(CEffectManager& manager);
    // The layers and the resource reference go back.
    virtual ~CEffectInstance();
    CEffectInstance(const CEffectInstance&) = delete;
    CEffectInstance& operator=(const CEffectInstance&) = delete;

    // 1 while a mask-selected layer still runs.
    virtual int Update(float elapsed);
    virtual void Draw();
    // Layers emit no more and finish when their last particle dies.
    virtual void Stop();
    virtual uint32_t GetParticleCount() const;
    CEffectResource* GetResource() const { return m_resource; }
    virtual int GetPrimitiveCount() const;
    virtual uint32_t GetKind() const { return kPlain; }
    uint32_t Kind() const { return GetKind(); }

    // The resource's reference passes to the instance. Without keepOffset a
    // negative bone index drops the offset. A null parent follows the own matrix.
    void Init(const platform::Vec3& position, CResource* resource, const platform::Matrix* parentMatrix,
              int32_t boneIndex, const platform::Matrix& offset, uint32_t group, int keepOffset);
    // Starts over from the resource: elapsed 0, fresh layers, not stopping.
    void Restart();
    // Elapsed time and every layer's age.
    void SetElapsed(float t);
    void SetLayersVisible(uint32_t flag);
    // Every layer and the resource reference back.
    void ReleaseLayers();

    const std::vector<CEffectLayer*>& Layers() const { return m_layers; }
    // The matrix the layers emit into (the owner's world matrix or the own one).
    const platform::Matrix& Parent() const { return parent ? *parent : world; }

    platform::Vec3 position;
    // The own matrix: placed by the owner (offset x bone x owner world) when
    // the instance has no parent of its own.
    platform::Matrix world = platform::Matrix::Identity();
    int32_t boneIndex = -1;
    const platform::Matrix* parent = nullptr;
    platform::Matrix offset = platform::Matrix::Identity();
    uint32_t group = 0;
    uint32_t stopping = 0;
    uint32_t alive = 0;
    uint32_t hasOffset = 0;
    uint32_t depthTest = 1;
    float elapsed = 0;

protected:
    void BuildLayers();

    CEffectManager* m_manager;
    CEffectResource* m_resource = nullptr;
    std::vector<CEffectLayer*> m_layers;
};
