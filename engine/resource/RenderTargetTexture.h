// A texture the renderer draws into (the glow pass, off-screen views). Between
// BeginRender and EndRender it is the device's colour target with its own
// depth surface; EndRender puts the previous targets back.
#pragma once

#include <cstdint>

#include "engine/resource/TextureResource.h"

class CRenderTargetTexture : public CTextureResource {
public:
    explicit CRenderTargetTexture(platform::CGfxDevice* device) : CTextureResource(device) {}
    ~CRenderTargetTexture() override;

    // Creates the colour texture (one level, default pool), its level-0
    // surface and a depth surface. 1 on success; on any failure nothing is
    // kept and 0 is returned with the device error reported.
    int Create(uint32_t width, uint32_t height, uint32_t colorFormat, uint32_t depthFormat, uint32_t multiSample,
               uint32_t multiSampleQuality);
    // Saves the device's colour and depth targets, sets this one's and clears
    // it with the colour, depth 1 and stencil 0. 0 when not created or the
    // device refuses (the previous targets are then left in place).
    int BeginRender(uint32_t clearColor);
    // Puts the saved targets back.
    void EndRender();

    void Unload() override;

    platform::CGfxSurface* ColorSurface() const { return m_colorSurface; }
    platform::CGfxSurface* DepthSurface() const { return m_depthSurface; }

private:
    int Fail(int line, platform::GfxResult result);
    void ReleaseSurfaces();

    platform::CGfxSurface* m_colorSurface = nullptr;
    platform::CGfxSurface* m_depthSurface = nullptr;
    platform::CGfxSurface* m_savedColor = nullptr;
    platform::CGfxSurface* m_savedDepth = nullptr;
    bool m_rendering = false;  // between BeginRender and EndRender
};
