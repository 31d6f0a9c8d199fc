#include "engine/effects/EffectManager.h"

#include <algorithm>
#include <cstring>

#include "engine/effects/EffectResource.h"
#include "engine/render/AnimationResource.h"
#include "engine/render/CameraRegistry.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/GameObject.h"
#include "engine/render/ModelResource.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/ShaderSet.h"
#include "engine/resource/Resource.h"
#include "engine/resource/ResourceManager.h"
#include "platform/GfxBuffer.h"
#include "platform/GfxDevice.h"

using namespace platform;

CEffectManager* g_pEffectManager = nullptr;

CEffectManager::CEffectManager() {
    if (!g_pEffectManager) g_pEffectManager = this;
    m_particles.Grow();
    m_layers.Grow();
    m_instances.Grow();
    m_links.Grow();
    m_queue.reserve(100);
}

CEffectManager::~CEffectManager() {
    m_queue.clear();
    DeleteDeviceObjects();
    if (g_pEffectManager == this) g_pEffectManager = nullptr;
}

int CEffectManager::CreateDeviceObjects() {
    DeleteDeviceObjects();
    CGfxDevice* device = GetDevice();
    if (!device) return 0;
    if (device->CreateVertexBuffer(kVertexBytes, 0, kFvf, POOL_MANAGED, &m_vertices) != GFX_OK ||
        device->CreateIndexBuffer(kIndexBytes, 0, FMT_INDEX16, POOL_MANAGED, &m_indices) != GFX_OK) {
        DeleteDeviceObjects();
        return 0;
    }
    void* data = nullptr;
    if (m_indices->Lock(0, 0, &data, 0) != GFX_OK || !data) {
        DeleteDeviceObjects();
        return 0;
    }
    std::vector<uint16_t> indices;
    indices.reserve(kQuads * 6);
    for (uint32_t q = 0; q < kQuads; ++q) {
        const uint16_t v = static_cast<uint16_t>(q * 4);
        for (uint16_t i : {v, uint16_t(v + 1), uint16_t(v + 3), v, uint16_t(v + 3), uint16_t(v + 2)})
            indices.push_back(i);
    }
    std::memcpy(data, indices.data(), kIndexBytes);
    m_indices->Unlock();
    return 1;
}

void CEffectManager::DeleteDeviceObjects() {
    if (m_vertices) m_vertices->Release();
    if (m_indices) m_indices->Release();
    m_vertices = nullptr;
    m_indices = nullptr;
}

CEffectInstance* CEffectManager::CreateEffect(const Vec3& position, CResource* resource, CGameObject* owner,
                                              int32_t boneIndex, const Matrix& offset, uint32_t group,
                                              int keepOffset) {
    CEffectInstance* instance = m_instances.Construct(*this);
    if (!instance) return nullptr;
    instance->Init(position, resource, owner ? &owner->world : nullptr, boneIndex, offset, group, keepOffset);
    ++m_live;
    return instance;
}

CLinkEffect* CEffectManager::CreateLinkEffect(int32_t sourceId, int32_t targetId, CResource* resource,
                                              uint32_t group) {
    CLinkEffect* link = m_links.Construct(*this);
    if (!link) return nullptr;
    link->Init(Vec3(), resource, nullptr, -1, Matrix::Identity(), group, 0);
    link->alive = 1;
    link->sourceId = sourceId;
    link->targetId = targetId;
    ++m_live;
    return link;
}

void CEffectManager::ReleaseEffect(CEffectInstance* instance) {
    if (!instance) return;
    // An instance released after it was queued must not be drawn this frame.
    std::erase(m_queue, instance);
    if (instance->GetKind() == CEffectInstance::kPlain)
        m_instances.Destroy(instance);
    else
        m_links.Destroy(static_cast<CLinkEffect*>(instance));
    if (m_live) --m_live;
}

void CEffectManager::SetBlendModes(uint32_t source, uint32_t destination) {
    if (CGfxDevice* device = GetDevice()) {
        SetRenderStateCached(*device, RS_SRCBLEND, source);
        SetRenderStateCached(*device, RS_DESTBLEND, destination);
    }
}

void CEffectManager::DrawEffects(uint32_t group) {
    if (m_queue.empty()) return;
    CGfxDevice* device = GetDevice();
    if (!effectsEnabled || !device) {
        m_queue.clear();
        return;
    }
    CShaderEffect* skin = g_pShaderSet && g_pShaderSet->IsReady() ? g_pShaderSet->SkinEffect() : nullptr;
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(*device, RS_LIGHTING, 0);
    SetRenderStateCached(*device, RS_ZWRITEENABLE, 0);
    SetRenderStateCached(*device, RS_CULLMODE, CULL_NONE);
    if (skin) skin->SetBool("bLightEnable", false);
    SetStageStateCached(*device, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(*device, 0, TSS_ALPHAARG1, TA_DIFFUSE);
    SetStageStateCached(*device, 0, TSS_ALPHAARG2, TA_TEXTURE);
    for (size_t i = 0; i < m_queue.size(); ++i)
        if (m_queue[i]->group == group) m_queue[i]->Draw();
    m_queue.clear();
    SetRenderStateCached(*device, RS_LIGHTING, 1);
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 0);
    SetRenderStateCached(*device, RS_ZWRITEENABLE, 1);
    SetRenderStateCached(*device, RS_CULLMODE, CULL_CCW);
    if (skin) skin->SetBool("bLightEnable", true);
    SetStageStateCached(*device, 0, TSS_ALPHAARG1, TA_CURRENT);
    SetStageStateCached(*device, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(*device, 0, TSS_ALPHAARG2, TA_TEXTURE);
}

void CEffectManager::DrawLayerPrimitives(uint32_t quad, uint32_t count) {
    CGfxDevice* device = GetDevice();
    if (!device || !m_vertices || count == 0) return;
    device->SetStreamSource(0, m_vertices, 0, kVertexStride);
    SetFvfCached(*device, kFvf);
    if (quad) {
        device->SetIndices(m_indices);
        device->DrawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, count * 4, 0, count * 2);
        return;
    }
    // The texture lies inside each triangle; clamping keeps it from repeating across the rest.
    SetSamplerStateCached(*device, 0, SAMP_ADDRESSU, TADDRESS_CLAMP);
    SetSamplerStateCached(*device, 0, SAMP_ADDRESSV, TADDRESS_CLAMP);
    SetSamplerStateCached(*device, 0, SAMP_BORDERCOLOR, 0);
    device->DrawPrimitive(PT_TRIANGLELIST, 0, count);
    SetSamplerStateCached(*device, 0, SAMP_ADDRESSU, TADDRESS_WRAP);
    SetSamplerStateCached(*device, 0, SAMP_ADDRESSV, TADDRESS_WRAP);
}

const Matrix& CEffectManager::BillboardMatrix(uint32_t kind) {
    CCamera* camera = m_camera ? m_camera : (g_pCameraRegistry ? g_pCameraRegistry->Get(0) : nullptr);
    return camera ? camera->GetBillboardMatrix(kind) : m_identity;
}

CEffectInstance* CEffectManager::CreateMarkerEffect(CResource* resource, CGameObject* unit) {
    if (!unit) {
        if (resource && g_pResourceManager) g_pResourceManager->ReleaseResource(resource);
        return nullptr;
    }
    CEffectInstance* marker = CreateEffect(Vec3(), resource, unit, -1, m_identity, unit->kind, 0);
    if (marker) unit->ExtraEffects().push_back(marker);
    return marker;
}

void CEffectManager::AttachEffectsToUnit(CGameObject* object, int slot, CResource* resource, CEffectInstance** out1,
                                         CEffectInstance** out2) {
    if (!object || (out1 && *out1)) return;
    CModelResource* model = object->GetModel();
    CAnimationResource* animation = model ? model->Animation() : nullptr;
    auto boneOf = [animation](int s) { return animation ? animation->BoneSlotTrack(s) : -1; };
    const bool endless =
        resource && resource->Type() == RES_EFFECT && static_cast<CEffectResource*>(resource)->InfiniteEmission();
    auto attach = [&](int s, CEffectInstance** out) {
        const int32_t bone = boneOf(s);
        CEffectInstance* instance = nullptr;
        if (resource) resource->AddRef();
        if (bone >= 0)
            instance = CreateEffect(Vec3(), resource, nullptr, bone, m_identity, object->kind, 0);
        else if (s == 6)
            instance = CreateEffect(Vec3(), resource, object, -1, m_identity, object->kind, 0);
        else if (resource && g_pResourceManager)
            g_pResourceManager->ReleaseResource(resource);
        if (!instance) return;
        object->ExtraEffects().push_back(instance);
        if (out && endless) *out = instance;
    };
    attach(slot, out1);
    if (slot == 1 || slot == 3) attach(slot + 1, out2);
}
