#include "screens/game/UnitPortrait.h"

#include <algorithm>
#include <cmath>

#include "engine/render/ModelResource.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "world/GameDataRecord.h"
#include "world/WorldObject.h"

using platform::Vec3;

namespace {
constexpr uint32_t kHeroBit = 0x10;
// The share of the view's height the model fills.
constexpr float kFill = 0.85f;

int WantedAction(const CWorldObject& object) {
    return (object.unitFlags & kHeroBit) && object.deadFlag ? CUnitPortrait::kDeadAction : CUnitPortrait::kShowAction;
}
}  // namespace

CUnitPortrait::~CUnitPortrait() = default;

int CUnitPortrait::Restore() { return m_view.CreateTarget(GetDevice(), kSize, kSize); }

CResource* CUnitPortrait::Picture() const { return m_view.Target(); }

// One reference of the object's model: the one it plays, else its data
// record's (linked, or loaded by name).
CModelResource* CUnitPortrait::TakeModel(CWorldObject& object) {
    CResource* model = object.GetModel();
    if (!model && object.record) model = object.record->modelResource;
    if (model && model->Type() == RES_MODEL) {
        model->AddRef();
        return static_cast<CModelResource*>(model);
    }
    if (!object.record || object.record->model.empty() || !g_pResourceManager) return nullptr;
    CResource* loaded = g_pResourceManager->GetResource(object.record->model.c_str(), RES_MODEL, nullptr, 1);
    if (loaded && loaded->Type() == RES_MODEL) return static_cast<CModelResource*>(loaded);
    g_pResourceManager->ReleaseResource(loaded);
    return nullptr;
}

void CUnitPortrait::Show(CWorldObject& object, int action) {
    Clear();
    CModelResource* model = TakeModel(object);
    if (!model) return;
    m_model.Init(0, Vec3{}, nullptr, model, 0, 0, 1.0f);
    m_action = action;
    m_model.SetAction(model->GetAction(action), 1, 0);
    Frame(model->BoundsMin(), model->BoundsMax());
}

void CUnitPortrait::Clear() {
    m_model.ReleaseModel();
    m_action = -1;
}

void CUnitPortrait::Frame(const Vec3& boundsMin, const Vec3& boundsMax) {
    const Vec3 centre{(boundsMin.x + boundsMax.x) / 2, (boundsMin.y + boundsMax.y) / 2,
                      (boundsMin.z + boundsMax.z) / 2};
    const float extent = std::max({boundsMax.x - boundsMin.x, boundsMax.y - boundsMin.y, 1.0f});
    const float halfFov = std::max(m_view.Camera().fov, 0.1f) / 2;
    const float distance = std::isfinite(extent) ? extent / 2 / kFill / std::tan(halfFov) : 10.0f;
    // From the front of the model (its -z side), a little above its middle.
    m_view.Aim(Vec3{centre.x, centre.y + extent * 0.1f, centre.z - distance}, centre);
}

void CUnitPortrait::Step(float dt, const CWorldObject& object, bool keepInStep) {
    if (!HasModel()) return;
    if (keepInStep) {
        const int wanted = WantedAction(object);
        if (wanted != m_action) {
            m_action = wanted;
            m_model.SetAction(m_model.GetModel()->GetAction(wanted), 1, 0);
        }
    }
    m_model.Update(dt);
}

void CUnitPortrait::Render() {
    if (HasModel()) m_view.Render(nullptr, 0, &m_model, 0);
}
