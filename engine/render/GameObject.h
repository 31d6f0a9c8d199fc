// The animated model object, base of every world object and effect object:
// it binds a model, plays one of its actions, samples the pose into a bone
// palette, draws the mesh with that pose, owns one child per sub-model of the
// model, runs the model's effects (attached for the object's life, or
// started by the action's events) and its ribbon trail, and can mark its
// footprint in the walk grid.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "engine/render/ModelResource.h"
#include "engine/render/SceneObject.h"
#include "platform/Math.h"

class CEffectInstance;
class CRibbonTrail;

class CGameObject : public CSceneObject {
public:
    // Events start their one-shot effect only this long after their time.
    static constexpr float kEventWindow = 0.2f;

    CGameObject();
    ~CGameObject() override;

    // 0 means the object may be removed.
    int Update(float dt) override;
    void Render() override;
    // The pose as it stands, for the shadow pass.
    void RenderPose() override;
    int CountPrimitives() override;
    int CountEffectPrimitives() override;
    // Only the ambient alpha: the diffuse alpha keeps its value.
    void SetAlpha(float a) override;
    void SetColorScale(float r, float g, float b) override;
    void SetColorScale2(float r, float g, float b) override;
    void SetColor(float r, float g, float b, float a) override;
    CModelResource* GetModel() override { return model; }
    // 1 while any effect still runs.
    virtual int UpdateEffects(float dt, int restart);
    virtual void QueueEffects();
    virtual void ResetColor();

    // The model reference passes to the object. startAction is the name hash
    // of the first action (0: the model's first).
    void Init(uint32_t kind, const platform::Vec3& pos, CGameObject* parentObject, CModelResource* modelResource,
              uint32_t startAction, float yaw, float scale);
    void SetModel(CModelResource* modelResource);
    // The model with a fresh child per sub-model, recursively.
    void SetModelTree(CModelResource* modelResource);
    void CreateChildren();
    // Null means the model's action 0; holdAtEnd stops at the end instead of wrapping.
    void SetAction(const ModelAction* newAction, int recurse, int hold);
    void ReleaseModel();
    void DetachEffects();
    void OccupyGrid(int recompute);
    void VacateGrid(int forget);
    void MarkGridCells(int recompute);
    void UnmarkGridCells();
    void PlaceChildren();
    void AdvanceTime(float dt, float length);
    // Moves the tint (ambient red, green, blue) by step towards tintTarget.
    void FadeTint(float step);

    const std::list<CGameObject*>& Children() const { return children; }
    const std::vector<CEffectInstance*>& AttachedEffects() const { return attachedEffects; }
    const std::list<CEffectInstance*>& ActionEffects() const { return actionEffects; }
    std::list<CEffectInstance*>& ExtraEffects() { return extraEffects; }
    const std::vector<uint32_t>& AttachedEnabled() const { return attachedEnabled; }
    const ModelAction& Action() const { return action; }
    bool HasAction() const { return hasAction; }

    int32_t gridRect[4] = {0, 0, 0, 0};  // x0, x1, z0, z1, inclusive
    uint32_t restarted = 1;
    uint32_t finished = 0;
    uint32_t justStarted = 1;
    uint32_t kind = 0;
    float time = 0;
    float speed = 1.0f;
    uint32_t holdAtEnd = 0;
    std::vector<platform::Matrix> bones;
    CRibbonTrail* ribbon = nullptr;

private:
    void PlaceEffect(CEffectInstance& instance) const;
    void RunEvents();
    void UpdateTrails();
    void ApplyGrid(bool mark) const;
    void DrawParts(bool shadowPass);
    void PlayDueSounds();
    CGameObject* ParentObject() const;

    std::list<CGameObject*> children;
    std::vector<CEffectInstance*> attachedEffects;
    std::list<CEffectInstance*> actionEffects;
    std::list<CEffectInstance*> extraEffects;
    std::vector<uint32_t> attachedEnabled;
    std::vector<uint32_t> eventStarted;
    CModelResource* model = nullptr;
    ModelAction action;
    ModelAction previousAction;
    bool hasAction = false;
};

// Cell-word arithmetic of the walk grid: bit 4 occupied, bits 5-27 the
// further occupants, bits 28 and above the grid's flags, which are kept.
uint32_t MarkCellWord(uint32_t word);
uint32_t UnmarkCellWord(uint32_t word);
