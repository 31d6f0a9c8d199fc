#include "engine/render/ZEMShadow.h"

#include "engine/render/Camera.h"
#include "engine/render/DeviceStates.h"
#include "engine/core/ErrorReport.h"
#include "engine/render/SceneObject.h"
#include "engine/render/ShaderSet.h"

using namespace platform;

namespace {

// How far (in the light's clip units) the light's view is shifted, so that
// the image covers more of what lies in front of the camera than behind it.
constexpr float kLightShift = 60.0f;
// The light's zoom at a camera distance of one unit.
constexpr float kLightZoom = 380.0f;
constexpr float kLightHeight = 300.0f;

// Three bits of red and green and two of blue are all a grey silhouette
// needs; a device that cannot draw into them gets the common 32-bit format.
GfxResult CreateShadowTarget(CGfxDevice& device, uint32_t size, CGfxTexture** texture) {
    GfxResult r = device.CreateTexture(size, size, 0, USAGE_RENDERTARGET, FMT_R3G3B2, POOL_DEFAULT, texture);
    if (GfxFailed(r)) r = device.CreateTexture(size, size, 0, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT, texture);
    return r;
}

bool ShowsItself(const CSceneObject& object) { return object.IsVisible(); }

}  // namespace

int CZEMShadow::Fail(int line, GfxResult result) {
    ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMShadow", line, result);
    return 0;
}

int CZEMShadow::Create(CCamera* followed) {
    m_camera = followed;
    GfxResult r = CreateShadowTarget(*m_device, kLargeSize, &m_largeTarget);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    r = CreateShadowTarget(*m_device, kSmallSize, &m_smallTarget);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    r = m_largeTarget->GetSurfaceLevel(0, &m_largeSurface);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    r = m_smallTarget->GetSurfaceLevel(0, &m_smallSurface);
    if (GfxFailed(r)) return Fail(__LINE__, r);
    if (m_camera) m_lightProjection = m_camera->projection;
    m_lightProjection(3, 0) += kLightShift;
    m_lightProjection(3, 1) -= kLightShift;
    return 1;
}

void CZEMShadow::Release() {
    GfxRelease(m_largeSurface);
    GfxRelease(m_smallSurface);
    GfxRelease(m_largeTarget);
    GfxRelease(m_smallTarget);
    GfxRelease(m_savedTarget);
    GfxRelease(m_savedDepth);
}

void CZEMShadow::BeginShadowPass(bool setLight) {
    CGfxDevice& d = *m_device;
    GfxRelease(m_savedTarget);
    GfxRelease(m_savedDepth);
    d.GetRenderTarget(0, &m_savedTarget);
    d.GetDepthStencilSurface(&m_savedDepth);
    Vec3 target = m_camera ? m_camera->target : Vec3();
    m_world = MatrixTranslation(target.x, target.y, target.z);
    m_lightView = MatrixLookAtLH(Vec3(target.x - 0.01f, kLightHeight, target.z - 0.01f), target, Vec3(0, 1, 0));
    d.SetRenderTarget(0, useLarge ? m_largeSurface : m_smallSurface);
    // The whole image, whatever viewport the scene used.
    uint32_t size = useLarge ? kLargeSize : kSmallSize;
    Viewport whole{0, 0, size, size, 0.0f, 1.0f};
    d.SetViewport(&whole);
    d.Clear(0, nullptr, CLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    SetRenderStateCached(d, RS_ALPHABLENDENABLE, 0);
    SetRenderStateCached(d, RS_ZENABLE, 0);
    SetTextureCached(d, 0, nullptr);
    SetRenderStateCached(d, RS_TEXTUREFACTOR, kSilhouette);
    SetStageStateCached(d, 0, TSS_COLOROP, TOP_SELECTARG1);
    SetStageStateCached(d, 0, TSS_COLORARG1, TA_TFACTOR);
    SetStageStateCached(d, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(d, 0, TSS_ALPHAARG1, TA_TEXTURE);
    SetStageStateCached(d, 0, TSS_ALPHAARG0, TA_TFACTOR);
    d.SetTransform(TS_WORLD, &m_world);
    d.SetTransform(TS_VIEW, &m_lightView);
    d.SetTransform(TS_PROJECTION, &m_lightProjection);
    if (setLight && g_pShaderSet && g_pShaderSet->IsReady()) {
        GfxLight light;
        d.GetLight(0, &light);
        g_pShaderSet->SetViewProjLight(m_lightView, m_lightProjection,
                                       Vec4(light.direction.x, light.direction.y, light.direction.z, 0));
    }
}

void CZEMShadow::EndShadowPass() {
    CGfxDevice& d = *m_device;
    SetRenderStateCached(d, RS_TEXTUREFACTOR, 0xFFFFFFFF);
    SetStageStateCached(d, 0, TSS_COLOROP, TOP_MODULATE);
    SetStageStateCached(d, 0, TSS_COLORARG1, TA_TEXTURE);
    SetStageStateCached(d, 0, TSS_COLORARG2, TA_CURRENT);
    SetStageStateCached(d, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(d, 0, TSS_ALPHAARG1, TA_TEXTURE);
    SetStageStateCached(d, 0, TSS_ALPHAARG2, TA_CURRENT);
    SetRenderStateCached(d, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(d, RS_ZENABLE, 1);
    if (m_savedTarget) d.SetRenderTarget(0, m_savedTarget);
    if (m_savedDepth) d.SetDepthStencilSurface(m_savedDepth);
    GfxRelease(m_savedTarget);
    GfxRelease(m_savedDepth);
}

void CZEMShadow::BuildTextureMatrix() {
    if (!m_camera) return;
    float distance = m_camera->distance != 0 ? m_camera->distance : 1.0f;
    m_lightProjection(0, 0) = m_lightProjection(1, 1) = kLightZoom / distance;
    Matrix cameraView = MatrixLookAtLH(m_camera->eye, m_camera->target, Vec3(0, 1, 0));
    Matrix inverse = Matrix::Identity();
    MatrixInverse(cameraView, &inverse);
    Matrix toImage = MatrixScaling(0.5f, -0.5f, 1.0f);
    toImage(3, 0) = 0.5f;
    toImage(3, 1) = 0.5f;
    m_textureMatrix = inverse * m_lightView * m_lightProjection * toImage;
}

void CZEMShadow::RenderShadowMap(const Viewport* viewport, const std::vector<CSceneObject*>& casters,
                                 const std::vector<CSceneObject*>& receivers) {
    if (!m_camera || !m_smallSurface || !m_largeSurface) return;
    CGfxDevice& d = *m_device;
    BeginShadowPass(false);
    SetRenderStateCached(d, RS_COLORVERTEX, 0);
    uint32_t drawn = 0;
    for (CSceneObject* object : casters) {
        if (!object || (object->flags & 0x4c) || !ShowsItself(*object)) continue;
        if (object->material.Get().ambient.a != 1.0f) continue;
        object->RenderPose();
        ++drawn;
    }
    SetRenderStateCached(d, RS_COLORVERTEX, 1);
    EndShadowPass();
    BuildTextureMatrix();
    if (viewport) d.SetViewport(viewport);
    d.SetTransform(TS_VIEW, &m_camera->view);
    d.SetTransform(TS_PROJECTION, &m_camera->projection);
    if (!drawn) return;

    SetRenderStateCached(d, RS_LIGHTING, 0);
    SetStageStateCached(d, 0, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION);
    SetStageStateCached(d, 0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT3 | TTFF_PROJECTED);
    d.SetTransform(TS_TEXTURE0, &m_textureMatrix);
    SetRenderStateCached(d, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(d, RS_SRCBLEND, BLEND_INVSRCALPHA);
    SetRenderStateCached(d, RS_DESTBLEND, BLEND_SRCCOLOR);
    SetRenderStateCached(d, RS_ZENABLE, 0);
    SetTextureCached(d, 0, CurrentTarget());
    SetTextureCached(d, 1, nullptr);
    for (CSceneObject* object : receivers) {
        if (!object || (object->flags & SO_HIDDEN) || object->material.Get().ambient.a <= 0 || !ShowsItself(*object))
            continue;
        object->RenderPose();
    }
    SetTextureCached(d, 0, nullptr);
    SetRenderStateCached(d, RS_ALPHABLENDENABLE, 0);
    SetRenderStateCached(d, RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderStateCached(d, RS_DESTBLEND, BLEND_INVSRCALPHA);
    SetRenderStateCached(d, RS_ZENABLE, 1);
    SetStageStateCached(d, 0, TSS_COLOROP, TOP_MODULATE);
    SetStageStateCached(d, 0, TSS_COLORARG1, TA_TEXTURE);
    SetStageStateCached(d, 0, TSS_COLORARG2, TA_CURRENT);
    SetStageStateCached(d, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(d, 0, TSS_ALPHAARG1, TA_TEXTURE);
    SetStageStateCached(d, 0, TSS_ALPHAARG2, TA_CURRENT);
    SetStageStateCached(d, 0, TSS_TEXCOORDINDEX, 0);
    SetStageStateCached(d, 0, TSS_TEXTURETRANSFORMFLAGS, 0);
    SetRenderStateCached(d, RS_LIGHTING, 1);
}
