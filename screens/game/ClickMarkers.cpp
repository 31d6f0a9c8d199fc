#include "screens/game/ClickMarkers.h"

#include "engine/render/GameObject.h"
#include "engine/render/ModelResource.h"
#include "screens/game/PlayResources.h"
#include "world/WorldObjectManager.h"

namespace {
// The models of the play resources, by marker; the fifth marker has none.
constexpr int kModelled = 4;

float GroundHeight(IWorldGround* ground, const platform::Vec3& point) {
    return ground ? ground->GetHeightAt(point) : point.y;
}
}  // namespace

CClickMarkers::CClickMarkers() = default;
CClickMarkers::~CClickMarkers() = default;

void CClickMarkers::Init() {
    m_active = nullptr;
    for (int i = 0; i < kCount; ++i) {
        auto marker = std::make_unique<CGameObject>();
        CResource* resource = g_pPlayResources && i < kModelled ? g_pPlayResources->clickMarkers[i] : nullptr;
        auto* model = dynamic_cast<CModelResource*>(resource);
        // The object keeps a reference of its own, given back when it goes.
        if (model) model->AddRef();
        marker->Init(0, {}, nullptr, model, 0, 0.0f, 1.0f);
        m_markers[static_cast<size_t>(i)] = std::move(marker);
    }
}

CGameObject* CClickMarkers::Marker(int index) const {
    return index >= 0 && index < kCount ? m_markers[static_cast<size_t>(index)].get() : nullptr;
}

void CClickMarkers::Show(int index, const platform::Vec3& point, IWorldGround* ground) {
    CGameObject* marker = Marker(index);
    if (!marker || !marker->GetModel()) return;
    CModelResource* model = marker->GetModel();
    const ModelAction* action = model->GetAction(0);
    marker->Place({point.x, GroundHeight(ground, point), point.z}, 0.0f, 1.0f);
    marker->SetAction(action, 1, 1);
    m_active = marker;
    // A still model has nothing to play: it shows for one frame.
    m_animated = action && action->endTime > action->startTime && model->Animation();
}

void CClickMarkers::Update(float dt, IWorldGround* ground) {
    if (!m_active) return;
    const platform::Vec3 at = m_active->position;
    m_active->Place({at.x, GroundHeight(ground, at), at.z}, 0.0f, 1.0f);
    m_active->Update(dt);
    if (m_active->finished || !m_animated) m_active = nullptr;
}
