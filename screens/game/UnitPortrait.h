// The live portrait of a world object in a HUD window: a copy of the
// object's model playing one of its actions at the origin, framed by the
// preview camera and drawn into a 128 x 128 target that a control of the
// window shows. The main panel and the unit information window have one
// each; the play screen draws them after the world.
#pragma once

#include <cstdint>

#include "engine/render/GameObject.h"
#include "engine/render/ModelPreview.h"

class CModelResource;
class CResource;
class CWorldObject;

class CUnitPortrait {
public:
    static constexpr uint32_t kSize = 128;
    static constexpr int kIdleAction = 0;
    static constexpr int kShowAction = 1;
    static constexpr int kDeadAction = 5;

    explicit CUnitPortrait(float fov) : m_view(fov) {}
    ~CUnitPortrait();
    CUnitPortrait(const CUnitPortrait&) = delete;
    CUnitPortrait& operator=(const CUnitPortrait&) = delete;

    // The target on the application's device (again after a reset). 0 with
    // the device error; the portrait then shows nothing.
    int Restore();
    void Invalidate() { m_view.ReleaseTarget(); }
    // What a control shows; null before the first Restore. A control must
    // drop it before the portrait goes.
    CResource* Picture() const;

    // Takes the object's model and plays that action; the camera frames the
    // model's bounds. An object without a model leaves the portrait empty.
    void Show(CWorldObject& object, int action);
    void Clear();
    // One frame: with keepInStep the action follows the object (a dead hero
    // plays kDeadAction, else kShowAction); the model advances.
    void Step(float dt, const CWorldObject& object, bool keepInStep);
    // Into the target; nothing without a model or a target.
    void Render();

    bool HasModel() const { return m_action >= 0; }
    int Action() const { return m_action; }
    const CModelPreview& View() const { return m_view; }

private:
    static CModelResource* TakeModel(CWorldObject& object);
    void Frame(const platform::Vec3& boundsMin, const platform::Vec3& boundsMax);

    CModelPreview m_view;
    CGameObject m_model;
    int m_action = -1;
};
