#include "platform/JpegWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform/File.h"
#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/JpegDecode.h"
#include "tests/fixtures/TempFolder.h"

using namespace platform;

namespace {

void ScreenshotOf(CGfxDevice& device, const std::string& path) {
    // Top half red, bottom half blue: a flipped image would show.
    device.Clear(0, nullptr, CLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    GfxRect top{0, 0, 64, 16};
    device.Clear(1, &top, CLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
    CGfxSurface* back = nullptr;
    ASSERT_EQ(device.GetBackBuffer(0, 0, &back), GFX_OK);
    ASSERT_EQ(SaveSurfaceToJpeg(&device, back, path), GFX_OK);
    GfxRelease(back);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    Decoded d;
    ASSERT_TRUE(Decode(bytes, &d));
    EXPECT_EQ(d.width, 64u);
    EXPECT_EQ(d.height, 32u);
    ExpectColourAt(d, 32, 4, 0xFFFF0000u);
    ExpectColourAt(d, 32, 28, 0xFF0000FFu);
}
}  // namespace

TEST(JpegWriter, ScreenshotsOfBothDevicesReadBackTheRightWayUp) {
    TempFolder tmp;
    GfxPresentParameters p;
    p.backBufferWidth = 64;
    p.backBufferHeight = 32;
    CGfxRecordingDevice recording(p);
    ScreenshotOf(recording, tmp.Path("SHOT0.JPG"));
    auto gl = CGfxGlDevice::CreateHeadless(p);
    ASSERT_NE(gl, nullptr);
    ScreenshotOf(*gl, tmp.Path("SHOT1.JPG"));
}

TEST(JpegWriter, BadInputFails) {
    std::vector<uint8_t> out;
    EXPECT_FALSE(EncodeJpeg({}, 0, 0, 90, &out));
    EXPECT_FALSE(EncodeJpeg(std::vector<uint32_t>(3), 2, 2, 90, &out));  // fewer pixels than the size
    TempFolder tmp;
    CGfxRecordingDevice device;
    CGfxSurface* back = nullptr;
    device.GetBackBuffer(0, 0, &back);
    EXPECT_EQ(SaveSurfaceToJpeg(&device, back, tmp.Path("NO/SUCH/FOLDER/X.JPG")), GFXERR_FAIL);
    EXPECT_EQ(SaveSurfaceToJpeg(&device, nullptr, tmp.Path("X.JPG")), GFXERR_INVALIDCALL);
    GfxRelease(back);
}
