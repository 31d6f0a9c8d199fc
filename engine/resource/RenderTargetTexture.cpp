#include "engine/resource/RenderTargetTexture.h"

#include "engine/core/ErrorReport.h"

using namespace platform;

CRenderTargetTexture::~CRenderTargetTexture() { CRenderTargetTexture::Unload(); }

int CRenderTargetTexture::Create(uint32_t width, uint32_t height, uint32_t colorFormat, uint32_t depthFormat,
                                 uint32_t multiSample, uint32_t multiSampleQuality) {
    Unload();
    if (!m_device) {
        ErrorReport().SetError(ERR_DEVICE_CALL, "No render device for a render target");
        return 0;
    }
    CGfxTexture* texture = nullptr;
    GfxResult r = m_device->CreateTexture(width, height, 1, USAGE_RENDERTARGET, colorFormat, POOL_DEFAULT, &texture);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    SetTexture(texture);
    r = m_texture->GetSurfaceLevel(0, &m_colorSurface);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    r = m_device->CreateDepthStencilSurface(width, height, depthFormat, multiSample, multiSampleQuality, false,
                                            &m_depthSurface);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    SetState(1);
    return 1;
}

int CRenderTargetTexture::Fail(int line, GfxResult result) {
    // Nothing half-made is kept: a target without its depth surface cannot be drawn into.
    Unload();
    ErrorReport().SetDxError(ERR_DEVICE_CALL, "RenderTargetTexture", line, result);
    return 0;
}

int CRenderTargetTexture::BeginRender(uint32_t clearColor) {
    if (!m_device || !m_colorSurface || !m_depthSurface) return 0;
    EndRender();  // a begin without its end still puts the first saved targets back
    m_device->GetRenderTarget(0, &m_savedColor);
    m_device->GetDepthStencilSurface(&m_savedDepth);  // none (null) is a state to go back to as well
    m_rendering = true;
    GfxResult r = m_device->SetRenderTarget(0, m_colorSurface);
    if (GfxSucceeded(r)) r = m_device->SetDepthStencilSurface(m_depthSurface);
    if (GfxFailed(r)) {
        EndRender();
        return 0;
    }
    m_device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, clearColor, 1.0f, 0);
    return 1;
}

void CRenderTargetTexture::EndRender() {
    if (!m_rendering) return;
    m_rendering = false;
    if (m_savedColor) m_device->SetRenderTarget(0, m_savedColor);
    m_device->SetDepthStencilSurface(m_savedDepth);
    GfxRelease(m_savedColor);
    GfxRelease(m_savedDepth);
}

void CRenderTargetTexture::ReleaseSurfaces() {
    GfxRelease(m_colorSurface);
    GfxRelease(m_depthSurface);
    GfxRelease(m_savedColor);
    GfxRelease(m_savedDepth);
}

void CRenderTargetTexture::Unload() {
    EndRender();
    ReleaseSurfaces();
    CTextureResource::Unload();
}
