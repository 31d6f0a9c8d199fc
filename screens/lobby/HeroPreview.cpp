#include "screens/lobby/HeroPreview.h"

#include <utility>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/render/ModelResource.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "platform/CrtRandom.h"
#include "platform/GfxDevice.h"
#include "ui/UiStatic.h"
#include "world/UnitData.h"

using platform::Vec3;

namespace {
// The backdrop stands this far beyond the camera's goal, across its view.
constexpr float kBackdropDistance = 60.0f;
constexpr int kRandomActions = 3;  // actions 1..3 follow the idle

CModelResource* LoadModelResource(const char* name) {
    if (!g_pResourceManager) return nullptr;
    CResource* resource = g_pResourceManager->GetResource(name, RES_MODEL, nullptr, 1);
    if (!resource) return nullptr;
    if (resource->Type() == RES_MODEL) return static_cast<CModelResource*>(resource);
    g_pResourceManager->ReleaseResource(resource);
    return nullptr;
}

int ModelNotRead(const char* name) {
    ErrorReport().SetError(10003, GetMessageText(MSG_ERROR_FILE_NOT_READ), name);
    return 0;
}
}  // namespace

CHeroPreview::CHeroPreview(const Vec3& eye, const Vec3& target) {
    m_glide.Place(eye, target);
    m_view.Aim(eye, target);
}

CHeroPreview::~CHeroPreview() = default;

int CHeroPreview::CreateTarget() {
    platform::CGfxDevice* device = GetDevice();
    if (!device) return m_view.CreateTarget(nullptr, 0, 0);
    const platform::GfxPresentParameters& pp = device->GetPresentParameters();
    if (!m_view.CreateTarget(device, pp.backBufferWidth, pp.backBufferHeight)) return 0;
    ApplyCamera();
    return 1;
}

int CHeroPreview::SetUp(const std::vector<std::string>& backdrops) {
    if (!CreateTarget()) return 0;
    m_backdrops.clear();
    m_drawList.clear();
    for (const std::string& name : backdrops) {
        CModelResource* model = LoadModelResource(name.c_str());
        if (!model) return ModelNotRead(name.c_str());
        auto backdrop = std::make_unique<CGameObject>();
        backdrop->Init(0, Vec3{}, nullptr, model, 0, 0, 1.0f);
        backdrop->SetAction(model->GetAction(0), 1, 0);
        m_drawList.push_back(backdrop.get());
        m_backdrops.push_back(std::move(backdrop));
    }
    return 1;
}

int CHeroPreview::LoadModel(const char* name, const Vec3& goalEye, const Vec3& goalTarget) {
    if (!name || m_modelName == name) return 1;
    m_hero.ReleaseModel();
    m_modelName.clear();
    m_action = -1;
    CModelResource* model = LoadModelResource(name);
    if (!model) return ModelNotRead(name);
    m_modelName = name;
    m_glide.Start(goalEye, goalTarget);
    ApplyCamera();
    FaceBackdrops();
    m_hero.Init(0, Vec3{}, nullptr, model, 0, 0, 1.0f);
    StartAction(kShowAction);
    m_hero.SetColor(CModelPreview::kModelShade, CModelPreview::kModelShade, CModelPreview::kModelShade, 1.0f);
    return 1;
}

int CHeroPreview::LoadHero(const CUnitData& hero) {
    if (hero.model.empty()) return 1;
    auto point = [](const std::array<uint32_t, 3>& bits) {
        return Vec3{BitsFloat(bits[0]), BitsFloat(bits[1]), BitsFloat(bits[2])};
    };
    return LoadModel(hero.model.c_str(), point(hero.vecC), point(hero.vecD));
}

void CHeroPreview::FaceBackdrops() {
    const Vec3 d = CHeroPreviewGlide::Direction(m_glide.GoalEye(), m_glide.GoalTarget());
    const Vec3 across = CHeroPreviewGlide::Direction(Vec3{}, Vec3{d.x, 0, d.z});
    const Vec3& eye = m_glide.GoalEye();
    for (auto& backdrop : m_backdrops) {
        backdrop->SetFacing(across);
        backdrop->position = Vec3{eye.x + kBackdropDistance * d.x, 0, eye.z + kBackdropDistance * d.z};
        backdrop->flags |= SO_POSITION_CHANGED | SO_PLACE_MARK;
    }
}

void CHeroPreview::ApplyCamera() { m_view.Aim(m_glide.Eye(), m_glide.Target()); }

void CHeroPreview::StartAction(int index) {
    CModelResource* model = m_hero.GetModel();
    if (!model) return;
    m_action = index;
    m_hero.SetAction(model->GetAction(index), 1, 0);
}

void CHeroPreview::Update(float dt, bool idleSwitching) {
    if (!m_glide.Settled()) {
        m_glide.Step(dt);
        ApplyCamera();
    }
    for (auto& backdrop : m_backdrops) backdrop->Update(dt);
    if (!HasModel()) return;
    const float before = m_hero.time;
    m_hero.Update(dt);
    // A looping action that wrapped around has run out.
    const bool ranOut = m_hero.HasAction() && m_hero.time < before;
    if (idleSwitching && ranOut)
        StartAction(m_action == kIdleAction ? platform::CrtRand() % kRandomActions + 1 : kIdleAction);
}

void CHeroPreview::Render(CUiStatic* detail) {
    const bool shown = HasModel() && m_view.HasTarget();
    if (detail) {
        if (shown) {
            if (detail->Image() != m_view.Target()) detail->SetImage(m_view.Target(), std::string());
            detail->ClearFlags(UI_HIDDEN);
        } else {
            detail->AddFlags(UI_HIDDEN);
        }
    }
    if (shown) m_view.Render(m_drawList.data(), m_drawList.size(), &m_hero, 0);
}

int CHeroPreview::Restore() { return CreateTarget(); }

void CHeroPreview::Invalidate() { m_view.ReleaseTarget(); }
