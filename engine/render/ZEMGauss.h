// The glow of the play view: the scene, drawn by the caller into the first
// of three full-size targets, has its bright parts extracted into the second,
// blurred across into the third and down again into the second with a
// 7-tap-per-side Gaussian kernel, and is added back over the scene on the
// back buffer. The passes are the techniques of the glow effect file.
#pragma once

#include <array>
#include <cstdint>

#include "platform/GfxDevice.h"
#include "platform/GfxEffect.h"

class CZEMGauss {
public:
    static constexpr int kTaps = 7;

    explicit CZEMGauss(platform::CGfxDevice* device);
    ~CZEMGauss();
    CZEMGauss(const CZEMGauss&) = delete;
    CZEMGauss& operator=(const CZEMGauss&) = delete;

    // The application's glow exists before its device does; Release first when it changes.
    void SetDevice(platform::CGfxDevice* device) { m_device = device; }
    void SetSize(uint32_t targetWidth, uint32_t targetHeight, float glowFactor);
    // The targets in the back buffer's format, the quad, the effect's
    // parameters and the back buffer. 0 with error 10005 on a failing device
    // call; what was made stays until Release.
    int Create(platform::CGfxEffect* glowEffect, uint32_t format);
    // The four passes; the caller has drawn the scene into Target(0).
    void Render();
    void DrawPass(const char* technique);
    // Harmless when nothing was made or twice.
    void Release();

    platform::CGfxSurface* Surface(int i) const { return i >= 0 && i < 3 ? m_surfaces[i] : nullptr; }
    platform::CGfxTexture* Target(int i) const { return i >= 0 && i < 3 ? m_targets[i] : nullptr; }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    float Factor() const { return m_factor; }

    static uint32_t LiveCount();

private:
    int Fail(int line, platform::GfxResult result);
    int CreateQuad();

    platform::CGfxDevice* m_device;
    platform::CGfxEffect* m_effect = nullptr;
    platform::CGfxVertexBuffer* m_quadVertices = nullptr;
    platform::CGfxIndexBuffer* m_quadIndices = nullptr;
    platform::CGfxVertexDeclaration* m_quadDeclaration = nullptr;
    std::array<platform::CGfxTexture*, 3> m_targets{};
    std::array<platform::CGfxSurface*, 3> m_surfaces{};
    platform::CGfxSurface* m_backBuffer = nullptr;
    float m_factor = 0;
    uint32_t m_width = 0, m_height = 0;
};

// w(i) = scale exp(-i^2 / (2 d^2)) / sqrt(2 pi d^2) for i = 0 .. kTaps - 1.
void ComputeGaussWeights(float deviation, float scale, float out[CZEMGauss::kTaps]);
