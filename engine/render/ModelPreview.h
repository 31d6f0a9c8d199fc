// A model shown in a picture of its own: a render target with its own depth
// surface, the camera that looks at the model, and the pass that draws
// background objects (without depth) and then the model into the target.
// The hero previews of the lobby screens and the portraits of the match HUD
// use it; a UI control shows Target() as its image.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/render/Camera.h"
#include "engine/resource/RenderTargetTexture.h"
#include "platform/Math.h"

class CGameObject;

class CModelPreview {
public:
    static constexpr uint32_t kClearColor = 0xff000000u;
    // Every previewed model is drawn a little darker than in the world.
    static constexpr float kModelShade = 0.8f;
    static constexpr int kNoEffects = -1;

    explicit CModelPreview(float fov);
    ~CModelPreview();
    CModelPreview(const CModelPreview&) = delete;
    CModelPreview& operator=(const CModelPreview&) = delete;

    // (Re)creates the target: the back buffer's colour format, a depth
    // surface in the presentation's depth format and multisampling. The
    // camera's projection takes the target's size. 0 with the device error;
    // nothing is kept then.
    int CreateTarget(platform::CGfxDevice* device, uint32_t width, uint32_t height);
    // Gives the video memory back (device loss); CreateTarget makes it again
    // in the same texture object.
    void ReleaseTarget();
    bool HasTarget() const { return m_target && m_target->ColorSurface(); }
    // The picture for a UI control, null before the first CreateTarget. It is
    // no cached resource, so a control never frees it; it lives as long as
    // the preview, and a control that outlives the preview must drop it first.
    CRenderTargetTexture* Target() const { return m_target.get(); }

    CCamera& Camera() { return m_camera; }
    const CCamera& Camera() const { return m_camera; }
    // Eye and look-at point at once; the field of view stays.
    void Aim(const platform::Vec3& eye, const platform::Vec3& target);
    void SetFov(float fov);
    // The camera's view: a look-at from eye to target that stays finite when
    // they meet or the camera looks straight down.
    platform::Matrix ViewMatrix() const;

    // One pass into the target: backgrounds without depth test or writes,
    // then the model with them, lit by the skin shader from the front,
    // then the queued effects of effectGroup (kNoEffects: none). The
    // device's view and projection are put back as they were, so the scene
    // around the pass goes on with its own camera. 0 when there is no target
    // or the device refuses it (nothing is drawn then).
    int Render(CGameObject* const* backgrounds, size_t backgroundCount, CGameObject* model, int effectGroup);

private:
    CCamera m_camera;
    std::unique_ptr<CRenderTargetTexture> m_target;
};
