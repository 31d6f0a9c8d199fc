// The animated hero of the hero select and my-info screens: the hero's model
// on a backdrop, drawn off-screen at the presentation's size and shown by the
// window's detail static, with the camera gliding to the viewpoint each hero
// record names. Hero select also lets the hero switch between its idle and a
// random other action.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/GameObject.h"
#include "engine/render/ModelPreview.h"
#include "screens/lobby/HeroPreviewGlide.h"

class CUiStatic;
class CUnitData;

class CHeroPreview {
public:
    static constexpr float kFov = 0.7853982f;  // pi / 4
    static constexpr const char* kRandomModel = "CHA_SELECT_RANDOM.DRC";
    static constexpr int kIdleAction = 0;
    static constexpr int kShowAction = 1;

    // Where the camera stands before the first hero.
    CHeroPreview(const platform::Vec3& eye, const platform::Vec3& target);
    ~CHeroPreview();
    CHeroPreview(const CHeroPreview&) = delete;
    CHeroPreview& operator=(const CHeroPreview&) = delete;

    // The target and the backdrop models, each at the origin with its
    // action 0. 0 with the error report of what failed.
    int SetUp(const std::vector<std::string>& backdrops);
    // Shows the model by name with the camera gliding to the goal. A null
    // name or the model already shown changes nothing (1). 0 when the model
    // cannot be loaded (10003); nothing is shown then.
    int LoadModel(const char* name, const platform::Vec3& goalEye, const platform::Vec3& goalTarget);
    // A hero record's own model, gliding to the record's preview eye and
    // look-at point; a hero without a model leaves the last one on show (1).
    int LoadHero(const CUnitData& hero);
    // One frame: the glide and the objects' animation; with idleSwitching an
    // action that ran out is followed by the idle, the idle by a random
    // action 1..3.
    void Update(float dt, bool idleSwitching);
    // Inside the screen's scene, before its windows: with a model and a
    // target the detail static shows the target and the pass runs; else the
    // static is hidden.
    void Render(CUiStatic* detail);
    // Device events: the target goes with the device and comes back at the
    // presentation's new size, the camera as it stood.
    int Restore();
    void Invalidate();

    bool HasModel() const { return !m_modelName.empty(); }
    const std::string& ModelName() const { return m_modelName; }
    int CurrentAction() const { return m_action; }
    const CHeroPreviewGlide& Glide() const { return m_glide; }
    const CModelPreview& View() const { return m_view; }
    CGameObject& Hero() { return m_hero; }
    size_t BackdropCount() const { return m_backdrops.size(); }
    CGameObject& Backdrop(size_t i) { return *m_backdrops[i]; }

private:
    int CreateTarget();
    void FaceBackdrops();
    void ApplyCamera();
    void StartAction(int index);

    std::vector<std::unique_ptr<CGameObject>> m_backdrops;
    std::vector<CGameObject*> m_drawList;
    CGameObject m_hero;
    std::string m_modelName;
    CModelPreview m_view{kFov};
    CHeroPreviewGlide m_glide;
    int m_action = -1;
};
