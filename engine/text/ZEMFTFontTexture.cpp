#include "engine/text/ZEMFTFontTexture.h"

#include "engine/core/ErrorReport.h"

int CZEMFTFontTexture::CreateTextTextures(platform::CGfxDevice* device) {
    ReleaseTextures();
    m_device = device;
    if (!device) {
        ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMFTFontTexture", __LINE__, platform::GFXERR_INVALIDCALL);
        return 0;
    }
    for (int i = 0; i < kTextureCount; ++i) {
        const Size& s = kSizes[static_cast<size_t>(i)];
        platform::GfxResult hr =
            device->CreateTexture(static_cast<uint32_t>(s.width), static_cast<uint32_t>(s.height), 1, 0,
                                  platform::FMT_A8R8G8B8, platform::POOL_MANAGED, &m_textures[static_cast<size_t>(i)]);
        if (platform::GfxFailed(hr)) {
            m_textures[static_cast<size_t>(i)] = nullptr;
            ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMFTFontTexture", __LINE__, hr);
            return 0;
        }
    }
    return 1;
}

void CZEMFTFontTexture::ReleaseTextures() {
    for (platform::CGfxTexture*& texture : m_textures) platform::GfxRelease(texture);
}

int CZEMFTFontTexture::PickIndex(int32_t w, int32_t h, int32_t* outWidth, int32_t* outHeight) {
    if (w <= 0 || h <= 0) return -1;
    // Each width class offers a short texture for one line and taller ones for
    // more; the tests are strict, so a run exactly as wide or as tall as a
    // class's limit takes the next larger texture.
    int index;
    if (w >= 512) {
        index = h < 32 ? 1 : 0;
    } else if (w >= 256) {
        index = h < 32 ? 4 : (h < 128 ? 3 : 2);
    } else if (w >= 128) {
        index = h < 32 ? 6 : 5;
    } else if (w >= 64) {
        index = h < 32 ? 8 : 7;
    } else {
        index = 9;
    }
    const Size& s = kSizes[static_cast<size_t>(index)];
    if (outWidth) *outWidth = s.width;
    if (outHeight) *outHeight = s.height;
    return (w <= s.width && h <= s.height) ? index : -1;
}

platform::CGfxTexture* CZEMFTFontTexture::PickTextTexture(int32_t w, int32_t h, int32_t* outWidth,
                                                          int32_t* outHeight) const {
    int index = PickIndex(w, h, outWidth, outHeight);
    return index < 0 ? nullptr : m_textures[static_cast<size_t>(index)];
}

platform::CGfxTexture* CZEMFTFontTexture::Texture(int index) const {
    return (index >= 0 && index < kTextureCount) ? m_textures[static_cast<size_t>(index)] : nullptr;
}
