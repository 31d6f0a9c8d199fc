#include "engine/render/ModelPreview.h"

#include <cmath>

#include "engine/core/ErrorReport.h"
#include "engine/effects/EffectManager.h"
#include "engine/render/GameObject.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/ShaderSet.h"
#include "platform/GfxDevice.h"

using namespace platform;

namespace {
constexpr float kDegenerate = 1e-6f;

bool Finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The colour format of the back buffer; windowed presentations leave it unknown in their parameters.
uint32_t BackBufferFormat(CGfxDevice& device) {
    uint32_t format = device.GetPresentParameters().backBufferFormat;
    CGfxSurface* back = nullptr;
    if (device.GetBackBuffer(0, 0, &back) == GFX_OK && back) {
        format = back->GetFormat();
        GfxRelease(back);
    }
    return format == FMT_UNKNOWN ? static_cast<uint32_t>(FMT_A8R8G8B8) : format;
}

CShaderEffect* ReadySkin() { return g_pShaderSet && g_pShaderSet->IsReady() ? g_pShaderSet->SkinEffect() : nullptr; }
}  // namespace

CModelPreview::CModelPreview(float fov) { m_camera.fov = fov; }

CModelPreview::~CModelPreview() = default;

int CModelPreview::CreateTarget(CGfxDevice* device, uint32_t width, uint32_t height) {
    if (m_target) m_target->Unload();
    if (!device) {
        ErrorReport().SetError(ERR_DEVICE_CALL, "No render device for a model preview");
        return 0;
    }
    // The target object stays for the preview's life: controls keep showing it across device resets.
    if (!m_target || m_target->Device() != device) m_target = std::make_unique<CRenderTargetTexture>(device);
    const GfxPresentParameters& pp = device->GetPresentParameters();
    // Without an automatic depth surface the presentation names no format; the preview still needs depth.
    const uint32_t depth =
        pp.autoDepthStencilFormat != FMT_UNKNOWN ? pp.autoDepthStencilFormat : static_cast<uint32_t>(FMT_D24S8);
    if (!m_target->Create(width, height, BackBufferFormat(*device), depth, pp.multiSampleType, pp.multiSampleQuality))
        return 0;
    m_camera.SetProjection(width, height);
    return 1;
}

void CModelPreview::ReleaseTarget() {
    if (m_target) m_target->Unload();
}

void CModelPreview::Aim(const Vec3& eye, const Vec3& target) { m_camera.SetLookAt(eye, target, m_camera.fov); }

void CModelPreview::SetFov(float fov) {
    m_camera.fov = fov;
    m_camera.SetProjection(m_camera.viewportWidth, m_camera.viewportHeight);
}

Matrix CModelPreview::ViewMatrix() const {
    const Vec3 eye = m_camera.eye;
    Vec3 at = m_camera.target;
    if (!Finite(eye) || !Finite(at)) return Matrix::Identity();
    if (!(Vec3Length(at - eye) > kDegenerate)) at = eye + Vec3(0, 0, 1.0f);
    const Vec3 dir = Vec3Normalize(at - eye);
    Vec3 up = m_camera.up;
    // The camera's own up vanishes when it looks straight up or down.
    if (!Finite(up) || !(Vec3Length(Vec3Cross(up, dir)) > kDegenerate))
        up = std::fabs(dir.y) < 0.99f ? Vec3(0, 1.0f, 0) : Vec3(0, 0, 1.0f);
    return MatrixLookAtLH(eye, at, up);
}

int CModelPreview::Render(CGameObject* const* backgrounds, size_t backgroundCount, CGameObject* model,
                          int effectGroup) {
    if (!HasTarget()) return 0;
    CGfxDevice& device = *m_target->Device();
    Matrix savedView = Matrix::Identity(), savedProjection = Matrix::Identity();
    device.GetTransform(TS_VIEW, &savedView);
    device.GetTransform(TS_PROJECTION, &savedProjection);
    if (!m_target->BeginRender(kClearColor)) return 0;
    const Matrix view = ViewMatrix();
    device.SetTransform(TS_VIEW, &view);
    device.SetTransform(TS_PROJECTION, &m_camera.projection);
    SetRenderStateCached(device, RS_LIGHTING, 0);
    CShaderEffect* skin = ReadySkin();
    if (skin) skin->SetBool("bLightEnable", false);
    if (g_pShaderSet) g_pShaderSet->SetViewProjLight(view, m_camera.projection, Vec4(0, 0, -1.0f, 1.0f));

    // The backdrop stays behind the model whatever its depth.
    SetRenderStateCached(device, RS_ZENABLE, 0);
    SetRenderStateCached(device, RS_ZWRITEENABLE, 0);
    for (size_t i = 0; i < backgroundCount; ++i)
        if (backgrounds[i]) backgrounds[i]->Render();
    SetRenderStateCached(device, RS_ZENABLE, 1);
    SetRenderStateCached(device, RS_ZWRITEENABLE, 1);
    if (model) {
        model->SetColor(kModelShade, kModelShade, kModelShade, 1.0f);
        model->Render();
    }
    if (effectGroup != kNoEffects && g_pEffectManager)
        g_pEffectManager->DrawEffects(static_cast<uint32_t>(effectGroup));
    m_target->EndRender();

    SetRenderStateCached(device, RS_LIGHTING, 1);
    if (skin) skin->SetBool("bLightEnable", true);
    device.SetTransform(TS_VIEW, &savedView);
    device.SetTransform(TS_PROJECTION, &savedProjection);
    return 1;
}
