#include "engine/effects/EffectLayer.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/effects/EffectManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/AnimationResource.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/MeshResource.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/ShaderSet.h"
#include "engine/resource/TextureResource.h"
#include "platform/CrtRandom.h"
#include "platform/GfxBuffer.h"
#include "platform/GfxDevice.h"

using namespace platform;

namespace {

constexpr float kRandScale = 3.051851e-5f;  // 1 / 32767

float RowLength(const Matrix& m) { return std::sqrt(m(0, 0) * m(0, 0) + m(0, 1) * m(0, 1) + m(0, 2) * m(0, 2)); }

Vec3 Translation(const Matrix& m) { return {m(3, 0), m(3, 1), m(3, 2)}; }

Vec3 RandomVec(const Vec3& a, const Vec3& b) {
    float x = EffectRandom(a.x, b.x);
    float y = EffectRandom(a.y, b.y);
    float z = EffectRandom(a.z, b.z);
    return {x, y, z};
}

bool IsZero(const Vec3& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

void WriteVertex(uint8_t* out, const Vec3& p, uint32_t colour, float u, float v) {
    const float xyz[3] = {p.x, p.y, p.z};
    std::memcpy(out, xyz, 12);
    std::memcpy(out + 12, &colour, 4);
    const float uv[2] = {u, v};
    std::memcpy(out + 16, uv, 8);
}

}  // namespace

float EffectRandom(float a, float b) {
    if (a == b) return a;
    return a + static_cast<float>(CrtRand()) * kRandScale * std::fabs(b - a);
}

CEffectLayer::CEffectLayer(CEffectManager& manager, EffectLayer& record) : m_manager(&manager), m_record(&record) {
    localSpace = record.localSpace == 1 ? 1 : 0;
    // A billboard without a texture is run as a mesh layer without a mesh: it draws nothing.
    meshKind = record.meshFlag || !record.texture ? 1 : 0;
    quad = (record.sheetColumns > 1 || record.sheetRows > 1) && record.sheetFps > 0 ? 1 : 0;
}

CEffectLayer::~CEffectLayer() { FreeParticles(); }

void CEffectLayer::FreeParticles() {
    while (m_head) {
        CEffectParticle* next = m_head->next;
        m_manager->ParticlePool().Destroy(m_head);
        m_head = next;
    }
    count = 0;
}

int CEffectLayer::Update(const Vec3& instancePosition, const Matrix& parent, float elapsed) {
    const EffectLayer& r = *m_record;
    if (stopped && !m_head) return 0;
    if (!stopped) {
        const float scale = RowLength(parent);
        emitterRotation = parent;
        if (scale > 0)
            for (int row = 0; row < 3; ++row)
                for (int col = 0; col < 3; ++col) emitterRotation(row, col) /= scale;
        emitterRotation(3, 0) = emitterRotation(3, 1) = emitterRotation(3, 2) = 0;
        if (age >= r.startDelay) {
            const float interval = r.emissionInterval;
            if (!firstEmissionDone || (count < kMaxParticles && emissionTimer >= interval)) {
                // An interval of 0 emits one particle per update (up to the cap).
                const double due = interval > 0 ? std::trunc(static_cast<double>(emissionTimer) / interval) : 1.0;
                for (uint32_t i = 0; count < kMaxParticles && (i == 0 || i < due); ++i) {
                    CEffectParticle* p = Emit(instancePosition, parent, scale);
                    if (!p) break;
                    if (i > 0) p->age = emissionTimer - static_cast<float>(i) * interval;
                    p->next = m_head;
                    m_head = p;
                    ++count;
                }
                firstEmissionDone = 1;
                emissionTimer = 0;
            }
            if (r.particleLife != 0) emissionTimer += elapsed;
        }
        age += elapsed;
        if (r.emissionDuration != 0 && age >= r.emissionDuration && r.particleLife != 0) stopped = 1;
    }
    CEffectParticle** link = &m_head;
    while (CEffectParticle* p = *link) {
        p->age += elapsed;
        p->frameTime += elapsed;
        if (p->age <= r.particleLife || (r.particleLife == 0 && !stopped)) {
            link = &p->next;
        } else {
            *link = p->next;
            m_manager->ParticlePool().Destroy(p);
            --count;
        }
    }
    return 1;
}

CEffectParticle* CEffectLayer::Emit(const Vec3& instancePosition, const Matrix& parent, float s) {
    EffectLayer& r = *m_record;
    const bool linear = r.orbitMode == 0;
    if (!localSpace) {
        r.scaledSpawnMin = r.spawnMin * s;
        r.scaledSpawnMax = r.spawnMax * s;
        r.scaledGravity = r.gravity * s;
        r.scaledSizeMin = r.sizeMin * s;
        r.scaledSizeMax = r.sizeMax * s;
        r.scaledSizeGrowth = r.sizeGrowth * s;
        if (linear) {
            r.scaledSpeedMin = r.speedMin * s;
            r.scaledSpeedMax = r.speedMax * s;
            r.scaledAcceleration = r.acceleration * s;
        }
    }
    CEffectParticle* p = m_manager->ParticlePool().Construct();
    if (!p) return nullptr;
    p->start = RandomVec(r.scaledSpawnMin, r.scaledSpawnMax) + instancePosition;
    p->origin = Translation(parent);
    p->speed = EffectRandom(r.scaledSpeedMin, r.scaledSpeedMax);
    Vec3 direction;
    if (linear) direction = RandomVec(r.directionMin, r.directionMax);
    if (!localSpace) {
        if (linear) direction = Vec3TransformCoord(direction, emitterRotation);
        p->start = Vec3TransformCoord(p->start, emitterRotation);
    }
    p->birthRotation = emitterRotation;
    direction = Vec3Normalize(direction);
    p->velocity = direction * p->speed;
    p->acceleration = direction * r.scaledAcceleration;
    p->startSize = EffectRandom(r.scaledSizeMin, r.scaledSizeMax);
    const Vec4& s0 = r.colours[0];
    const Vec4& s1 = r.colours[1];
    const Vec4& e0 = r.colours[2];
    const Vec4& e1 = r.colours[3];
    p->a = EffectRandom(s0.w, s1.w);
    p->r = EffectRandom(s0.x, s1.x);
    p->g = EffectRandom(s0.y, s1.y);
    p->b = EffectRandom(s0.z, s1.z);
    const float endA = EffectRandom(e0.w, e1.w);
    const float endR = EffectRandom(e0.x, e1.x);
    const float endG = EffectRandom(e0.y, e1.y);
    const float endB = EffectRandom(e0.z, e1.z);
    if (endA != p->a || endR != p->r || endG != p->g || endB != p->b) {
        const float life = r.particleLife != 0 ? r.particleLife : 1.0f;
        p->rateA = (endA - p->a) / life;
        p->rateR = (endR - p->r) / life;
        p->rateG = (endG - p->g) / life;
        p->rateB = (endB - p->b) / life;
    }
    return p;
}

float CEffectLayer::SizeAt(const CEffectParticle& p, float t) const {
    const EffectLayer& r = *m_record;
    const float rate = r.scaledSizeGrowth, period = r.sizePeriod;
    float growth = 0;
    if (rate != 0 && period != 0) {
        if (t < period || r.sizeLoop) {
            const double k = std::trunc(static_cast<double>(t) / period);
            const float m = std::fmod(t, period);
            growth = std::fmod(k, 2.0) == 0 ? m * rate : (period - m) * rate;
        } else {
            growth = period * rate;
        }
    }
    const float size = p.startSize + growth;
    return size > 0 ? size : 0;
}

Matrix CEffectLayer::ParticleMatrix(const CEffectParticle& p, const Matrix& parent) const {
    const EffectLayer& r = *m_record;
    const float t = p.age;
    const float size = SizeAt(p, t);
    Matrix m = MatrixScaling(size, size, size);
    Matrix spin = IsZero(r.rotationSpeed)
                      ? Matrix::Identity()
                      : MatrixRotationYawPitchRoll(t * r.rotationSpeed.y, t * r.rotationSpeed.x, t * r.rotationSpeed.z);
    if (!localSpace && (meshKind || r.billboard == 0)) spin = spin * p.birthRotation;
    if (r.billboard) spin = spin * m_manager->BillboardMatrix(r.billboard);
    m = m * spin;
    Vec3 at;
    if (r.orbitMode != 0) {
        at = Vec3TransformCoord(p.start, MatrixRotationY(t * p.speed)) * (r.orbitRadiusGrowth * t + 1.0f);
    } else {
        at = p.start + p.velocity * t + p.acceleration * (0.5f * t * t);
    }
    at += r.scaledGravity * (0.5f * t * t);
    if (!localSpace) {
        at += p.origin;
        m(3, 0) = at.x;
        m(3, 1) = at.y;
        m(3, 2) = at.z;
        return m;
    }
    if (!meshKind && !r.keepUpright && r.billboard) at = Vec3TransformCoord(at, emitterRotation);
    m(3, 0) = at.x;
    m(3, 1) = at.y;
    m(3, 2) = at.z;
    if ((!meshKind && r.billboard) || (meshKind && r.keepUpright)) {
        const float s = RowLength(parent);
        Matrix scaleMove = MatrixScaling(s, s, s);
        scaleMove(3, 0) = parent(3, 0);
        scaleMove(3, 1) = parent(3, 1);
        scaleMove(3, 2) = parent(3, 2);
        return m * scaleMove;
    }
    return m * parent;
}

void CEffectLayer::AdvanceColour(CEffectParticle& p) const {
    const EffectLayer& r = *m_record;
    const float dt = p.frameTime;
    p.r += dt * p.rateR;
    p.g += dt * p.rateG;
    p.b += dt * p.rateB;
    p.a += dt * p.rateA;
    if (!(meshKind && r.animation)) {
        if (p.age < r.fadeInEnd && p.a < r.peakAlpha)
            p.a += r.fadeInRate * dt;
        else if (p.age > r.fadeOutStart && r.particleLife != 0)
            p.a += r.fadeOutRate * dt;
        else
            p.a = r.peakAlpha;
    }
    if (!(p.a > 0)) p.a = 0;
    if (p.a > 1) p.a = 1;
}

uint32_t CEffectLayer::PrimitiveCount() const {
    if (!meshKind) return quad ? count * 2 : count;
    auto* mesh = static_cast<CMeshResource*>(m_record->mesh);
    return mesh ? count * mesh->TotalPrimitives() : 0;
}

void CEffectLayer::Draw(const Matrix& parent) {
    if (meshKind)
        DrawMeshes(parent);
    else
        DrawBillboards(parent);
}

void CEffectLayer::DrawBillboards(const Matrix& parent) {
    CGfxDevice* device = GetDevice();
    CGfxVertexBuffer* buffer = m_manager->VertexBuffer();
    if (!device || !buffer) return;
    const EffectLayer& r = *m_record;
    m_manager->SetBlendModes(r.sourceBlend, r.destBlend);
    const Matrix identity = Matrix::Identity();
    device->SetTransform(TS_WORLD, &identity);
    if (!m_head) return;
    const uint32_t perParticle = quad ? 4 : 3;
    void* data = nullptr;
    if (buffer->Lock(0, count * perParticle * CEffectManager::kVertexStride, &data, 0) != GFX_OK || !data) return;
    auto* out = static_cast<uint8_t*>(data);
    const uint32_t columns = r.sheetColumns ? r.sheetColumns : 1;
    const uint32_t rows = r.sheetRows ? r.sheetRows : 1;
    uint32_t written = 0;
    for (CEffectParticle* p = m_head; p && written < count; p = p->next, ++written) {
        AdvanceColour(*p);
        const Matrix m = ParticleMatrix(*p, parent);
        p->current = Vec3(m(3, 0), m(3, 1), m(3, 2));
        const uint32_t colour = ArgbFromColor(ColorValue(p->r, p->g, p->b, p->a));
        if (quad) {
            p->sheetTime += p->frameTime;
            const uint32_t last = columns * rows - 1;
            double frame = std::trunc(static_cast<double>(p->sheetTime) * r.sheetFps);
            if (frame > last) {
                if (r.sheetLoop == 1) {
                    p->sheetTime = 0;
                    frame = 0;
                } else {
                    frame = last;
                }
            }
            p->sheetFrame = static_cast<float>(frame);
            const uint32_t f = static_cast<uint32_t>(frame);
            const float u = static_cast<float>(f % columns) / columns, v = static_cast<float>(f / columns) / rows;
            const float du = 1.0f / columns, dv = 1.0f / rows;
            const float uv[4][2] = {{u, v}, {u + du, v}, {u, v + dv}, {u + du, v + dv}};
            for (int k = 0; k < 4; ++k, out += CEffectManager::kVertexStride)
                WriteVertex(out, Vec3TransformCoord(r.corners[k], m), colour, uv[k][0], uv[k][1]);
        } else {
            const float uv[3][2] = {{0, 0}, {2.0f, 0}, {0, 2.0f}};
            for (int k = 0; k < 3; ++k, out += CEffectManager::kVertexStride)
                WriteVertex(out, Vec3TransformCoord(r.corners[k], m), colour, uv[k][0], uv[k][1]);
        }
        p->frameTime = 0;
    }
    buffer->Unlock();
    auto* texture = static_cast<CTextureResource*>(r.texture);
    device->SetTexture(0, texture ? texture->Texture() : nullptr);
    SetCullMode(*device, r.twoSided != 0);
    m_manager->DrawLayerPrimitives(quad, written);
}

void CEffectLayer::DrawMeshes(const Matrix& parent) {
    const EffectLayer& r = *m_record;
    auto* mesh = static_cast<CMeshResource*>(r.mesh);
    CGfxDevice* device = GetDevice();
    if (!mesh || !device || r.meshFlag == 0) return;
    auto* animation = static_cast<CAnimationResource*>(r.animation);
    SetRenderStateCached(*device, RS_ZWRITEENABLE, 1);
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 0);
    const bool skin = animation && g_pShaderSet && g_pShaderSet->IsReady();
    std::vector<Matrix>& palette = m_manager->Palette();
    if (animation) palette.assign(animation->TrackCount(), Matrix::Identity());
    for (CEffectParticle* p = m_head; p; p = p->next) {
        AdvanceColour(*p);
        const Matrix m = ParticleMatrix(*p, parent);
        device->SetTransform(TS_WORLD, &m);
        if (skin) g_pShaderSet->SkinEffect()->SetMatrix("mWorld", m);
        float at = p->age;
        if (!animation) {
            if (p->a < 1.0f) mesh->SetAlpha(static_cast<int32_t>(p->a * 255.0f));
            for (uint32_t i = 0; i < mesh->PartCount(); ++i) mesh->DrawPart(i, nullptr, nullptr, 0);
        } else {
            animation->GetTrackMatrix(palette.data(), at, 0);
            for (uint32_t i = 0; i < mesh->PartCount(); ++i)
                mesh->DrawPart(i, &at, palette.data(), static_cast<uint32_t>(palette.size()));
        }
        p->frameTime = 0;
    }
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(*device, RS_ZWRITEENABLE, 0);
    SetStageStateCached(*device, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(*device, 0, TSS_ALPHAARG1, TA_DIFFUSE);
    SetStageStateCached(*device, 0, TSS_ALPHAARG2, TA_TEXTURE);
}
