#include "engine/render/ZEMGauss.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "engine/core/ErrorReport.h"

using namespace platform;

namespace {

std::atomic<uint32_t> g_liveGlows{0};

// The screen quad: float2 corners, two triangles.
constexpr float kQuadCorners[8] = {-1, -1, -1, 1, 1, -1, 1, 1};
constexpr uint16_t kQuadIndices[6] = {0, 1, 2, 1, 3, 2};

// A side of 0 counts as one pixel so that the offsets stay finite.
float PixelsOf(uint32_t size) { return static_cast<float>(size ? size : 1); }

}  // namespace

void ComputeGaussWeights(float deviation, float scale, float out[CZEMGauss::kTaps]) {
    const float variance = deviation * deviation;
    const float norm = std::sqrt(2.0f * 3.14159265f * variance);
    for (int i = 0; i < CZEMGauss::kTaps; ++i)
        out[i] = scale * std::exp(-static_cast<float>(i * i) / (2.0f * variance)) / norm;
}

CZEMGauss::CZEMGauss(CGfxDevice* device) : m_device(device) { ++g_liveGlows; }

CZEMGauss::~CZEMGauss() {
    Release();
    --g_liveGlows;
}

uint32_t CZEMGauss::LiveCount() { return g_liveGlows; }

void CZEMGauss::SetSize(uint32_t targetWidth, uint32_t targetHeight, float glowFactor) {
    m_width = targetWidth;
    m_height = targetHeight;
    m_factor = glowFactor;
}

int CZEMGauss::Fail(int line, GfxResult result) {
    ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMGauss", line, result);
    return 0;
}

int CZEMGauss::CreateQuad() {
    GfxResult r = m_device->CreateVertexBuffer(sizeof(kQuadCorners), 0, 0, POOL_MANAGED, &m_quadVertices);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    void* data = nullptr;
    r = m_quadVertices->Lock(0, 0, &data, 0);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    std::memcpy(data, kQuadCorners, sizeof(kQuadCorners));
    m_quadVertices->Unlock();
    r = m_device->CreateIndexBuffer(sizeof(kQuadIndices), 0, FMT_INDEX16, POOL_MANAGED, &m_quadIndices);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    r = m_quadIndices->Lock(0, 0, &data, 0);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    std::memcpy(data, kQuadIndices, sizeof(kQuadIndices));
    m_quadIndices->Unlock();
    GfxVertexElement position;
    position.type = DECLTYPE_FLOAT2;
    position.usage = DECLUSAGE_POSITION;
    r = m_device->CreateVertexDeclaration(&position, 1, &m_quadDeclaration);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    return 1;
}

int CZEMGauss::Create(CGfxEffect* glowEffect, uint32_t format) {
    m_effect = glowEffect;
    for (int i = 0; i < 3; ++i) {
        GfxResult r =
            m_device->CreateTexture(m_width, m_height, 1, USAGE_RENDERTARGET, format, POOL_DEFAULT, &m_targets[i]);
        if (GfxFailed(r)) return Fail(__LINE__, r);
        r = m_targets[i]->GetSurfaceLevel(0, &m_surfaces[i]);
        if (GfxFailed(r)) return Fail(__LINE__, r);
    }
    if (!CreateQuad()) return 0;
    if (m_effect) {
        float w = PixelsOf(m_width), h = PixelsOf(m_height);
        m_effect->SetVector("vPixelSize", Vec4(-2.0f / w, 2.0f / h, 1, 1));
        float offsetX[2 * kTaps], offsetY[2 * kTaps], weights[kTaps];
        Vec4 weightVectors[kTaps];
        ComputeGaussWeights(7.0f, 1.5f, weights);
        for (int i = 0; i < kTaps; ++i) {
            offsetX[2 * i] = static_cast<float>(i) / w;
            offsetX[2 * i + 1] = 0;
            offsetY[2 * i] = 0;
            offsetY[2 * i + 1] = static_cast<float>(i) / h;
            weightVectors[i] = Vec4(weights[i], weights[i], weights[i], 1);
        }
        m_effect->SetFloatArray("vOffsetX", offsetX, 2 * kTaps);
        m_effect->SetFloatArray("vOffsetY", offsetY, 2 * kTaps);
        m_effect->SetVectorArray("vWeight", weightVectors, kTaps);
    }
    GfxResult r = m_device->GetBackBuffer(0, 0, &m_backBuffer);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    return 1;
}

void CZEMGauss::DrawPass(const char* technique) {
    if (!m_effect || !m_quadVertices || !m_quadIndices) return;
    m_effect->SetTechnique(technique);
    uint32_t passes = 0;
    if (GfxFailed(m_effect->Begin(&passes, 0))) return;
    m_device->SetVertexDeclaration(m_quadDeclaration);
    m_device->SetStreamSource(0, m_quadVertices, 0, 2 * sizeof(float));
    m_device->SetIndices(m_quadIndices);
    for (uint32_t pass = 0; pass < passes; ++pass) {
        m_effect->BeginPass(pass);
        m_device->DrawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, 4, 0, 2);
        m_effect->EndPass();
    }
    m_effect->End();
}

void CZEMGauss::Render() {
    if (!m_effect || !m_surfaces[0] || !m_surfaces[1] || !m_surfaces[2] || !m_backBuffer) return;
    const uint32_t clear = CLEAR_TARGET | CLEAR_ZBUFFER;
    m_device->SetRenderTarget(0, m_surfaces[1]);
    m_device->Clear(0, nullptr, clear, 0xFF000000, 1.0f, 0);
    m_effect->SetTexture("NormalTex", m_targets[0]);
    DrawPass("LUMINANCE");
    m_device->SetRenderTarget(0, m_surfaces[2]);
    m_device->Clear(0, nullptr, clear, 0xFF000000, 1.0f, 0);
    m_effect->SetTexture("SmallTex", m_targets[1]);
    DrawPass("GAUSSX");
    m_device->SetRenderTarget(0, m_surfaces[1]);
    m_effect->SetTexture("SmallTex", m_targets[2]);
    DrawPass("GAUSSY");
    m_device->SetRenderTarget(0, m_backBuffer);
    m_effect->SetTexture("NormalTex", m_targets[0]);
    m_effect->SetTexture("SmallTex", m_targets[1]);
    DrawPass("BLIT");
}

void CZEMGauss::Release() {
    GfxRelease(m_quadVertices);
    GfxRelease(m_quadIndices);
    GfxRelease(m_quadDeclaration);
    for (int i = 0; i < 3; ++i) {
        GfxRelease(m_surfaces[i]);
        GfxRelease(m_targets[i]);
    }
    GfxRelease(m_backBuffer);
}
