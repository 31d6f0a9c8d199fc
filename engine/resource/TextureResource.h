// Texture resources: a ".DDS" texture read from a loose file or from bytes
// inside a package, created in the managed pool so that its texels survive a
// lost device. The manager still invalidates and restores every texture
// around a device reset; Restore reads the file again.
#pragma once

#include <cstdint>
#include <string>

#include "engine/resource/Resource.h"
#include "platform/GfxDevice.h"

class CTextureResource : public CResource {
public:
    explicit CTextureResource(platform::CGfxDevice* device);
    ~CTextureResource() override;

    // Keeps the package place the manager set, remembers the resolved path and
    // creates the texture. The flag is not used.
    int Load(const char* path, int flag) override;
    // Creates the device texture when there is none (state 0).
    int Restore() override;
    void Invalidate() override;
    void Unload() override;

    // Binds the texture to a sampler stage; the device is called only when the
    // stage holds another texture.
    void SetToStage(uint32_t stage);

    platform::CGfxTexture* Texture() const { return m_texture; }
    platform::CGfxDevice* Device() const { return m_device; }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    uint32_t Format() const { return m_format; }

protected:
    // The name for error texts (before a first load succeeds only the path is known).
    std::string ReportName() const;
    void SetTexture(platform::CGfxTexture* texture);

    platform::CGfxDevice* m_device;
    platform::CGfxTexture* m_texture = nullptr;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_format = platform::FMT_DXT5;

private:
    int CreateFromLooseFile(platform::CGfxTexture** texture, platform::GfxResult* result);
    int CreateFromPackage(platform::CGfxTexture** texture, platform::GfxResult* result);
    void ReleaseTexture();
};

// The one checked conversion from a resource to a texture: null unless the
// resource is a texture.
CTextureResource* AsTexture(CResource* resource);

// Large DXT5 textures from loose files are created at 1/divisor of their size
// while a match loads with a lower texture grade (1 to 4); 1 otherwise.
void SetTextureDivisor(uint32_t divisor);
uint32_t TextureDivisor();
