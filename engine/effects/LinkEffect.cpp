#include "engine/effects/LinkEffect.h"

#include <cmath>
#include <cstring>

#include "engine/effects/EffectManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/effects/ObjectLookup.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/SceneObject.h"
#include "engine/resource/TextureResource.h"
#include "platform/GfxBuffer.h"
#include "platform/GfxDevice.h"

using namespace platform;

IObjectLookup* g_pObjectLookup = nullptr;

CLinkEffect::CLinkEffect(CEffectManager& manager) : CEffectInstance(manager) { alive = 1; }

bool CLinkEffect::Ends(CSceneObject** source, CSceneObject** target) const {
    *source = LookUpObject(sourceId);
    *target = LookUpObject(targetId);
    return *source && *target;
}

int CLinkEffect::Update(float dt) {
    CSceneObject *source = nullptr, *target = nullptr;
    if (!Ends(&source, &target)) {
        alive = 0;
        return 0;
    }
    if (!m_resource || m_resource->Layers().empty()) return static_cast<int>(alive);
    elapsed += dt;
    reaimTimer += dt;
    if (!started && elapsed > m_resource->Layers()[0]->startDelay) {
        elapsed = 0;
        started = 1;
    }
    const bool unaimed = facing.x == 0 && facing.z == 0;
    if (reaimTimer > kReaimSeconds || unaimed) {
        Vec3 d = target->position - source->position;
        d.y = 0;
        facing = Vec3Normalize(d);
        reaimTimer = 0;
        ++reaims;
    }
    return static_cast<int>(alive);
}

void CLinkEffect::Draw() {
    CSceneObject *source = nullptr, *target = nullptr;
    CGfxDevice* device = GetDevice();
    CGfxVertexBuffer* buffer = m_manager->VertexBuffer();
    if (!started || !m_resource || m_resource->Layers().empty() || !device || !buffer || !Ends(&source, &target))
        return;
    const EffectLayer& r = *m_resource->Layers()[0];
    m_manager->SetBlendModes(r.sourceBlend, r.destBlend);
    const Matrix identity = Matrix::Identity();
    device->SetTransform(TS_WORLD, &identity);
    const uint32_t rows = r.sheetRows ? r.sheetRows : 1;
    double frame = std::trunc(static_cast<double>(elapsed) * r.sheetFps);
    if (frame > rows - 1) {
        elapsed = 0;
        frame = 0;
    }
    sheetFrame = static_cast<int32_t>(frame);
    void* data = nullptr;
    if (buffer->Lock(0, 8 * CEffectManager::kVertexStride, &data, 0) != GFX_OK || !data) return;
    const Vec3 ends[2] = {source->bounds.center, target->bounds.center};
    const Vec3 up(0, 1, 0), across(-facing.z, 0, facing.x);
    const uint32_t colour = ArgbFromColor(ColorValue(r.colours[0].x, r.colours[0].y, r.colours[0].z, r.colours[0].w));
    const float v0 = static_cast<float>(sheetFrame) / rows, v1 = static_cast<float>(sheetFrame + 1) / rows;
    auto* out = static_cast<uint8_t*>(data);
    for (int q = 0; q < 2; ++q) {
        for (int k = 0; k < 4; ++k, out += CEffectManager::kVertexStride) {
            const Vec3& c = r.corners[k];
            // The corners give the beam's cross-section; its length is the distance between the ends.
            const float height = q == 0 ? c.y : c.z, width = q == 0 ? c.z : c.y;
            const Vec3 p = ends[k & 1] + up * height + across * width;
            const float xyz[3] = {p.x, p.y, p.z};
            const float uv[2] = {static_cast<float>(k & 1), k < 2 ? v0 : v1};
            std::memcpy(out, xyz, 12);
            std::memcpy(out + 12, &colour, 4);
            std::memcpy(out + 16, uv, 8);
        }
    }
    buffer->Unlock();
    auto* texture = static_cast<CTextureResource*>(r.texture);
    device->SetTexture(0, texture ? texture->Texture() : nullptr);
    SetRenderStateCached(*device, RS_CULLMODE, CULL_NONE);
    m_manager->DrawLayerPrimitives(1, 2);
}
