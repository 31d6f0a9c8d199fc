#include "platform/DdsImage.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/GfxRecordingDevice.h"
#include "platform/PixelCodec.h"
#include "platform/TextureLoader.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/DdsWriter.h"

using namespace platform;

namespace {
// Four quadrants of saturated colours with different alphas, so that a swapped
// channel, a flipped row order or a wrong block order all show.
std::vector<uint32_t> Quadrants(uint32_t w, uint32_t h) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            bool right = x >= w / 2, bottom = y >= h / 2;
            px[y * w + x] = bottom ? (right ? 0xFFFFFFFFu : 0x800000FFu) : (right ? 0x4000FF00u : 0xFFFF0000u);
        }
    return px;
}

int MaxChannelDiff(uint32_t a, uint32_t b, bool withAlpha) {
    int worst = 0;
    for (int s = 0; s < (withAlpha ? 32 : 24); s += 8)
        worst = std::max(worst, std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)));
    return worst;
}

std::vector<uint32_t> ReadLevel(CGfxTexture* t, uint32_t level) {
    std::vector<uint32_t> px;
    GfxLockedRect lr;
    EXPECT_EQ(t->LockRect(level, &lr, nullptr, LOCK_READONLY), GFX_OK);
    UnpackLevel(t->GetFormat(), t->GetLevelWidth(level), t->GetLevelHeight(level), static_cast<uint8_t*>(lr.bits),
                t->LevelSize(level), &px);
    t->UnlockRect(level);
    return px;
}
}  // namespace

TEST(DdsImage, EveryFormatRoundTripsThroughWriterLoaderAndDevice) {
    struct Case {
        uint32_t format;
        int tolerance;
        bool alpha;     // whether the format keeps alpha
        uint32_t fill;  // 1: grey input, 2: only alpha survives, 3: opaque input (DXT1 cuts alpha below half)
    } cases[] = {{FMT_A8R8G8B8, 0, true, 0}, {FMT_X8R8G8B8, 0, false, 0}, {FMT_R5G6B5, 4, false, 0},
                 {FMT_A4R4G4B4, 9, true, 0}, {FMT_DXT1, 8, false, 3},     {FMT_DXT3, 9, true, 0},
                 {FMT_DXT5, 8, true, 0},     {FMT_L8, 0, false, 1},       {FMT_A8, 0, true, 2}};
    CGfxRecordingDevice device;
    const uint32_t w = 16, h = 8;
    std::vector<uint32_t> src = Quadrants(w, h);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        std::vector<uint32_t> want = src;
        for (auto& v : want) {
            if (c.fill == 1) v = 0xFFFFFFFFu;  // L8 of white stays white below
            if (c.fill == 2) v &= 0xFF000000u;
            if (c.fill == 3) v |= 0xFF000000u;
        }
        std::vector<uint32_t> input = c.fill == 1 || c.fill == 3 ? want : src;
        std::vector<uint8_t> file = CDdsWriter::FromArgb(c.format, w, h, input, 0);
        GfxImageInfo info;
        ASSERT_EQ(GetImageInfoFromFileInMemory(file.data(), file.size(), &info), GFX_OK);
        EXPECT_EQ(info.width, w);
        EXPECT_EQ(info.height, h);
        EXPECT_EQ(info.mipLevels, 5u);
        EXPECT_EQ(info.format, c.format);

        CGfxTexture* t = nullptr;
        ASSERT_EQ(
            CreateTextureFromFileInMemoryEx(&device, file.data(), file.size(), info.width, info.height, info.mipLevels,
                                            0, info.format, POOL_MANAGED, TEXF_LINEAR, TEXF_LINEAR, 0, nullptr, &t),
            GFX_OK);
        EXPECT_EQ(t->GetLevelCount(), 5u);
        std::vector<uint32_t> got = ReadLevel(t, 0);
        ASSERT_EQ(got.size(), want.size());
        int worst = 0;
        for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, MaxChannelDiff(got[i], want[i], c.alpha));
        EXPECT_LE(worst, c.tolerance);
        EXPECT_EQ(ReadLevel(t, 4).size(), 1u);
        GfxRelease(t);
    }
}

TEST(DdsImage, DxtBlocksDecodeToKnownColours) {
    // Red and blue ends; index rows 0, 1, 2, 3.
    const uint8_t four[8] = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x55, 0xAA, 0xFF};
    uint32_t px[16];
    DecodeDxtBlock(FMT_DXT1, four, px);
    EXPECT_EQ(px[0], 0xFFFF0000u);
    EXPECT_EQ(px[4], 0xFF0000FFu);
    EXPECT_EQ(px[8], 0xFFAA0055u);
    EXPECT_EQ(px[12], 0xFF5500AAu);
    // Ends in ascending order: three colours and transparent black.
    const uint8_t three[8] = {0x1F, 0x00, 0x00, 0xF8, 0x00, 0x00, 0xAA, 0xFF};
    DecodeDxtBlock(FMT_DXT1, three, px);
    EXPECT_EQ(px[8], 0xFF7F007Fu);
    EXPECT_EQ(px[12], 0x00000000u);
    // DXT5 alpha ends 255 and 0 with indices 0 and 1 alternating, white colour block.
    uint8_t dxt5[16] = {255, 0, 0x08, 0x82, 0x20, 0x08, 0x82, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    DecodeDxtBlock(FMT_DXT5, dxt5, px);
    EXPECT_EQ(px[0], 0xFFFFFFFFu);
    EXPECT_EQ(px[1], 0x00FFFFFFu);

    // The encoder keeps punch-through transparency in DXT1.
    uint32_t in[16];
    for (int i = 0; i < 16; ++i) in[i] = i < 8 ? 0xFF00FF00u : 0x00000000u;
    uint8_t block[8];
    EncodeDxtBlock(FMT_DXT1, in, block);
    DecodeDxtBlock(FMT_DXT1, block, px);
    EXPECT_EQ(px[0], 0xFF00FF00u);
    EXPECT_EQ(px[15] >> 24, 0u);
}

TEST(DdsImage, MalformedFilesFailCleanly) {
    std::vector<uint8_t> good = CDdsWriter::Solid(FMT_DXT5, 8, 8, 0xFF102030u, 0);
    auto patched = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> b = good;
        for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return b;
    };
    std::vector<uint8_t> oneShort(good.begin(), good.end() - 1);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 128)},
        {"magic", patched(0, 0x12345678)},
        {"header size", patched(4, 100)},
        {"pixel format size", patched(76, 0)},
        {"zero width", patched(16, 0)},
        {"huge height", patched(12, 0x7FFFFFFF)},
        {"unknown fourCC", patched(84, MakeFourCC('A', 'T', 'I', '2'))},
        {"cube map", patched(112, 0x200)},
        {"mips beyond the chain", patched(28, 9)},
        {"last level short", oneShort},
    };
    CGfxRecordingDevice device;
    for (const auto& c : cases) {
        GfxImageInfo info;
        EXPECT_EQ(GetImageInfoFromFileInMemory(c.bytes.data(), c.bytes.size(), &info), GFXERR_INVALIDDATA) << c.what;
        EXPECT_EQ(GetImageInfoFromFileInMemory(good.data(), 0, &info), GFXERR_INVALIDDATA);
        CGfxTexture* t = reinterpret_cast<CGfxTexture*>(&info);
        EXPECT_EQ(CreateTextureFromFileInMemoryEx(&device, c.bytes.data(), c.bytes.size(), kGfxDefault, kGfxDefault,
                                                  kGfxDefault, 0, FMT_UNKNOWN, POOL_MANAGED, 0, 0, 0, nullptr, &t),
                  GFXERR_INVALIDDATA)
            << c.what;
        EXPECT_EQ(t, nullptr) << c.what;
    }
    // Every cut of a good file fails; none reads past the end.
    for (size_t n = 0; n < good.size(); ++n) {
        GfxImageInfo info;
        EXPECT_EQ(GetImageInfoFromFileInMemory(good.data(), n, &info), GFXERR_INVALIDDATA) << n;
    }
    EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);
}

TEST(DdsImage, SizesAreChosenAsAsked) {
    CGfxRecordingDevice device;
    std::vector<uint32_t> src = Quadrants(64, 32);
    struct Case {
        const char* what;
        uint32_t format, fileMips, width, height, mips;
        uint32_t wantWidth, wantHeight, wantLevels;
    } cases[] = {
        // A quarter-size DXT5 texture from a file with mips and from one without.
        {"divided, file mips", FMT_DXT5, 0, 32, 16, 6, 32, 16, 6},
        {"divided, no file mips", FMT_DXT5, 1, 32, 16, 1, 32, 16, 1},
        {"defaults", FMT_A8R8G8B8, 1, kGfxDefault, kGfxDefault, kGfxDefault, 64, 32, 7},
        {"levels from the file", FMT_DXT1, 3, kGfxDefaultNonPow2, kGfxDefaultNonPow2, kGfxFromFile, 64, 32, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = CDdsWriter::FromArgb(c.format, 64, 32, src, c.fileMips);
        CGfxTexture* t = nullptr;
        ASSERT_EQ(CreateTextureFromFileInMemoryEx(&device, file.data(), file.size(), c.width, c.height, c.mips, 0,
                                                  c.format, POOL_MANAGED, 0, 0, 0, nullptr, &t),
                  GFX_OK);
        EXPECT_EQ(t->GetWidth(), c.wantWidth);
        EXPECT_EQ(t->GetHeight(), c.wantHeight);
        EXPECT_EQ(t->GetLevelCount(), c.wantLevels);
        std::vector<uint32_t> px = ReadLevel(t, 0);
        // Quadrant centres keep their colours at every size.
        uint32_t w = t->GetWidth(), h = t->GetHeight();
        EXPECT_LE(MaxChannelDiff(px[(h / 4) * w + w / 4], 0xFFFF0000u, true), 8);
        EXPECT_LE(MaxChannelDiff(px[(3 * h / 4) * w + 3 * w / 4], 0xFFFFFFFFu, true), 8);
        GfxRelease(t);
    }
    // An odd-sized image grows to powers of two by default and keeps its size when asked.
    std::vector<uint8_t> odd = CDdsWriter::Solid(FMT_A8R8G8B8, 3, 5, 0xFF00FF00u);
    CGfxTexture* t = nullptr;
    ASSERT_EQ(CreateTextureFromFileInMemoryEx(&device, odd.data(), odd.size(), 0, 0, 1, 0, FMT_UNKNOWN, POOL_MANAGED, 0,
                                              0, 0, nullptr, &t),
              GFX_OK);
    EXPECT_EQ(t->GetWidth(), 4u);
    EXPECT_EQ(t->GetHeight(), 8u);
    EXPECT_EQ(ReadLevel(t, 0)[31], 0xFF00FF00u);
    GfxRelease(t);
}

TEST(DdsImage, LoadsFromAGamePath) {
    TempFolder tmp;
    ASSERT_TRUE(CDdsWriter::Write(tmp.Path("Tex.dds"), CDdsWriter::Solid(FMT_R5G6B5, 4, 4, 0xFFFF0000u)));
    GfxImageInfo info;
    // The lookup is case-insensitive, as the game's file system was.
    ASSERT_EQ(GetImageInfoFromFile(tmp.Path("TEX.DDS"), &info), GFX_OK);
    EXPECT_EQ(info.format, FMT_R5G6B5);
    CGfxRecordingDevice device;
    CGfxTexture* t = nullptr;
    ASSERT_EQ(CreateTextureFromFileEx(&device, tmp.Path("TEX.DDS"), kGfxDefault, kGfxDefault, 1, 0, FMT_UNKNOWN,
                                      POOL_MANAGED, 0, 0, 0, &info, &t),
              GFX_OK);
    EXPECT_EQ(ReadLevel(t, 0)[0], 0xFFFF0000u);
    GfxRelease(t);
    EXPECT_EQ(GetImageInfoFromFile(tmp.Path("MISSING.DDS"), &info), GFXERR_NOTFOUND);
}
