#include "engine/effects/EffectInstance.h"

#include "engine/effects/EffectLayer.h"
#include "engine/effects/EffectManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"

using namespace platform;

CEffectInstance::CEffectInstance(CEffectManager& manager) : m_manager(&manager) {}

CEffectInstance::~CEffectInstance() { ReleaseLayers(); }

void CEffectInstance::Init(const Vec3& pos, CResource* resource, const Matrix* parentMatrix, int32_t bone,
                           const Matrix& offsetMatrix, uint32_t drawGroup, int keepOffset) {
    ReleaseLayers();
    m_resource = resource && resource->Type() == RES_EFFECT ? static_cast<CEffectResource*>(resource) : nullptr;
    // A resource of another kind is not ours to keep; its reference goes back at once.
    if (resource && !m_resource && g_pResourceManager) g_pResourceManager->ReleaseResource(resource);
    group = drawGroup;
    boneIndex = bone;
    offset = offsetMatrix;
    stopping = 0;
    depthTest = 1;
    if (!keepOffset && bone < 0) {
        offset = Matrix::Identity();
        hasOffset = 0;
    } else {
        hasOffset = 1;
    }
    world = Matrix::Identity();
    position = pos;
    parent = parentMatrix;
    elapsed = 0;
    BuildLayers();
    alive = 1;
}

void CEffectInstance::BuildLayers() {
    if (!m_resource) return;
    m_layers.reserve(m_resource->Layers().size());
    for (const auto& record : m_resource->Layers()) {
        CEffectLayer* layer = m_manager->LayerPool().Construct(*m_manager, *record);
        m_layers.push_back(layer);
    }
}

void CEffectInstance::ReleaseLayers() {
    for (CEffectLayer*& layer : m_layers) m_manager->LayerPool().Destroy(layer);
    m_layers.clear();
    if (m_resource && g_pResourceManager) g_pResourceManager->ReleaseResource(m_resource);
    m_resource = nullptr;
}

void CEffectInstance::Restart() {
    for (CEffectLayer*& layer : m_layers) m_manager->LayerPool().Destroy(layer);
    m_layers.clear();
    BuildLayers();
    elapsed = 0;
    stopping = 0;
    alive = 1;
}

int CEffectInstance::Update(float dt) {
    alive = 0;
    elapsed += dt;
    if (!m_resource) return 0;
    const uint32_t grade = m_manager->qualityGrade;
    for (size_t i = 0; i < m_layers.size(); ++i) {
        CEffectLayer*& layer = m_layers[i];
        if (!layer || !m_resource->LayerRuns(grade, i)) continue;
        if (layer->Update(position, Parent(), dt)) {
            alive = 1;
        } else {
            m_manager->LayerPool().Destroy(layer);
            layer = nullptr;
        }
    }
    return static_cast<int>(alive);
}

void CEffectInstance::Draw() {
    CGfxDevice* device = GetDevice();
    if (!device || !m_resource) return;
    if (!depthTest) SetRenderStateCached(*device, RS_ZENABLE, 0);
    const uint32_t grade = m_manager->qualityGrade;
    for (size_t i = 0; i < m_layers.size(); ++i)
        if (m_layers[i] && m_layers[i]->visible && m_resource->LayerRuns(grade, i)) m_layers[i]->Draw(Parent());
    SetRenderStateCached(*device, RS_ZENABLE, 1);
}

void CEffectInstance::Stop() {
    if (stopping) return;
    stopping = 1;
    for (CEffectLayer* layer : m_layers)
        if (layer) layer->stopped = 1;
}

uint32_t CEffectInstance::GetParticleCount() const {
    uint32_t n = 0;
    for (const CEffectLayer* layer : m_layers)
        if (layer && layer->visible) n += layer->count;
    return n;
}

int CEffectInstance::GetPrimitiveCount() const {
    uint32_t n = 0;
    for (const CEffectLayer* layer : m_layers)
        if (layer && layer->visible) n += layer->PrimitiveCount();
    return static_cast<int>(n);
}

void CEffectInstance::SetElapsed(float t) {
    elapsed = t;
    for (CEffectLayer* layer : m_layers)
        if (layer) layer->age = t;
}

void CEffectInstance::SetLayersVisible(uint32_t flag) {
    for (CEffectLayer* layer : m_layers)
        if (layer) layer->visible = flag;
}
