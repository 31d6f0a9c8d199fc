// The ten scratch textures that every font draws its runs through: a run of
// text is written into the smallest one that holds it and drawn as one quad.
// They are created with the device's other objects and released with them.
#pragma once

#include <array>
#include <cstdint>

#include "platform/GfxDevice.h"

class CZEMFTFontTexture {
public:
    static constexpr int kTextureCount = 10;
    struct Size {
        int32_t width, height;
    };
    // In index order; the pick table below refers to these indexes.
    static constexpr std::array<Size, kTextureCount> kSizes = {{{1024, 256},
                                                                {1024, 32},
                                                                {512, 256},
                                                                {512, 128},
                                                                {512, 32},
                                                                {256, 128},
                                                                {256, 32},
                                                                {128, 64},
                                                                {128, 32},
                                                                {64, 64}}};

    CZEMFTFontTexture() = default;
    ~CZEMFTFontTexture() { ReleaseTextures(); }
    CZEMFTFontTexture(const CZEMFTFontTexture&) = delete;
    CZEMFTFontTexture& operator=(const CZEMFTFontTexture&) = delete;

    // Creates the ten textures on the device (any from an earlier call are
    // released first). 1, or 0 with error 10005 at the first failure.
    int CreateTextTextures(platform::CGfxDevice* device);
    // Releases every texture that exists.
    void ReleaseTextures();

    // The texture class for a run of w x h pixels: writes the class's size to
    // the outputs and returns its index, or -1 when the run is empty or does
    // not fit the class (the outputs are written all the same when w and h
    // are above 0).
    static int PickIndex(int32_t w, int32_t h, int32_t* outWidth, int32_t* outHeight);
    // The texture of that class (not add-referenced), or null.
    platform::CGfxTexture* PickTextTexture(int32_t w, int32_t h, int32_t* outWidth, int32_t* outHeight) const;

    platform::CGfxTexture* Texture(int index) const;
    // The device the textures were created on; null before.
    platform::CGfxDevice* Device() const { return m_device; }

private:
    platform::CGfxDevice* m_device = nullptr;
    std::array<platform::CGfxTexture*, kTextureCount> m_textures{};
};
