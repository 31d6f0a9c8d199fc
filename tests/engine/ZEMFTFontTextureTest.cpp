#include "engine/text/ZEMFTFontTexture.h"

#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "platform/GfxRecordingDevice.h"

TEST(ZEMFTFontTexture, PickTable) {
    struct Case {
        int32_t w, h;
        int index;
        int32_t outW, outH;  // -1: outputs untouched
    } cases[] = {
        {64, 64, 7, 128, 64},      {300, 32, 3, 512, 128},   {40, 70, -1, 64, 64},       {63, 64, 9, 64, 64},
        {1, 1, 9, 64, 64},         {512, 31, 1, 1024, 32},   {511, 31, 4, 512, 32},      {511, 127, 3, 512, 128},
        {511, 128, 2, 512, 256},   {256, 31, 4, 512, 32},    {255, 31, 6, 256, 32},      {255, 128, 5, 256, 128},
        {255, 129, -1, 256, 128},  {128, 31, 6, 256, 32},    {127, 31, 8, 128, 32},      {100, 65, -1, 128, 64},
        {1024, 256, 0, 1024, 256}, {1025, 10, -1, 1024, 32}, {1000, 257, -1, 1024, 256}, {0, 10, -1, -1, -1},
        {10, 0, -1, -1, -1},       {-5, 10, -1, -1, -1},
    };
    for (const auto& c : cases) {
        int32_t w = -1, h = -1;
        EXPECT_EQ(CZEMFTFontTexture::PickIndex(c.w, c.h, &w, &h), c.index) << c.w << "x" << c.h;
        EXPECT_EQ(w, c.outW) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.outH) << c.w << "x" << c.h;
    }
}

TEST(ZEMFTFontTexture, CreatesTenManagedTexturesAndReleasesEveryOne) {
    CErrorReport report;
    platform::CGfxRecordingDevice device;
    CZEMFTFontTexture textures;
    int32_t w, h;
    EXPECT_EQ(textures.PickTextTexture(10, 10, &w, &h), nullptr);  // none yet
    ASSERT_EQ(textures.CreateTextTextures(&device), 1);
    for (int i = 0; i < CZEMFTFontTexture::kTextureCount; ++i) {
        platform::CGfxTexture* t = textures.Texture(i);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->GetWidth(), static_cast<uint32_t>(CZEMFTFontTexture::kSizes[static_cast<size_t>(i)].width));
        EXPECT_EQ(t->GetHeight(), static_cast<uint32_t>(CZEMFTFontTexture::kSizes[static_cast<size_t>(i)].height));
        EXPECT_EQ(t->GetFormat(), platform::FMT_A8R8G8B8);
        EXPECT_EQ(t->GetPool(), platform::POOL_MANAGED);
    }
    EXPECT_EQ(textures.PickTextTexture(300, 32, &w, &h), textures.Texture(3));
    // Creating again replaces the set; releasing leaves none behind, whichever exist.
    ASSERT_EQ(textures.CreateTextTextures(&device), 1);
    textures.ReleaseTextures();
    for (int i = 0; i < CZEMFTFontTexture::kTextureCount; ++i) EXPECT_EQ(textures.Texture(i), nullptr);
    textures.ReleaseTextures();

    EXPECT_EQ(textures.CreateTextTextures(nullptr), 0);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_DEVICE_CALL));
}
