// The projected shadow of the play view: the objects are drawn as a flat
// grey silhouette on white into a render target seen from high above the
// camera's target, and a texture matrix maps the ground's camera-space
// positions onto that image so that the ground drawn through it darkens
// under the silhouettes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/GfxDevice.h"
#include "platform/Math.h"

class CCamera;
class CSceneObject;

class CZEMShadow {
public:
    static constexpr uint32_t kLargeSize = 768;
    static constexpr uint32_t kSmallSize = 256;
    // What a silhouette is drawn with: grey 0x64 on white.
    static constexpr uint32_t kSilhouette = 0xFF646464;

    explicit CZEMShadow(platform::CGfxDevice* device) : m_device(device) {}
    ~CZEMShadow() { Release(); }
    CZEMShadow(const CZEMShadow&) = delete;
    CZEMShadow& operator=(const CZEMShadow&) = delete;

    // Both targets and the light's projection, shifted off the camera's
    // target. 0 with error 10005 on a failing device call.
    int Create(CCamera* followed);
    void Release();
    // Targets saved, the silhouette target set and cleared, the silhouette
    // states and the light's transforms set (also on the skinning effect with setLight).
    void BeginShadowPass(bool setLight);
    // Draws the casters into the shadow image and, when any was drawn, the
    // receivers through it. The viewport, when given, is restored afterwards.
    void RenderShadowMap(const platform::Viewport* viewport, const std::vector<CSceneObject*>& casters,
                         const std::vector<CSceneObject*>& receivers);
    void EndShadowPass();
    // Camera space to shadow-image coordinates.
    void BuildTextureMatrix();

    const platform::Matrix& TextureMatrix() const { return m_textureMatrix; }
    const platform::Matrix& LightView() const { return m_lightView; }
    const platform::Matrix& LightProjection() const { return m_lightProjection; }
    platform::CGfxTexture* CurrentTarget() const { return useLarge ? m_largeTarget : m_smallTarget; }

    // The large (soft) image instead of the small one.
    uint32_t useLarge = 0;

private:
    int Fail(int line, platform::GfxResult result);

    platform::CGfxDevice* m_device;
    platform::CGfxSurface* m_largeSurface = nullptr;
    platform::CGfxSurface* m_smallSurface = nullptr;
    platform::CGfxSurface* m_savedTarget = nullptr;
    platform::CGfxSurface* m_savedDepth = nullptr;
    platform::CGfxTexture* m_largeTarget = nullptr;
    platform::CGfxTexture* m_smallTarget = nullptr;
    platform::Matrix m_textureMatrix = platform::Matrix::Identity();
    platform::Matrix m_world = platform::Matrix::Identity();
    platform::Matrix m_lightView = platform::Matrix::Identity();
    platform::Matrix m_lightProjection = platform::Matrix::Identity();
    CCamera* m_camera = nullptr;
};
