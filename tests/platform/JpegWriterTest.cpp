#include "platform/JpegWriter.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "platform/File.h"
#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/TempFolder.h"

using namespace platform;

namespace {
struct Decoded {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

struct JumpError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// The test's own reader, so that what is checked is what any JPEG reader sees.
bool Decode(const std::vector<uint8_t>& bytes, Decoded* out) {
    jpeg_decompress_struct info;
    JumpError errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = [](j_common_ptr i) { std::longjmp(reinterpret_cast<JumpError*>(i->err)->jump, 1); };
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out->width = info.output_width;
    out->height = info.output_height;
    out->rgb.resize(static_cast<size_t>(out->width) * out->height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->rgb.data() + static_cast<size_t>(info.output_scanline) * out->width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void ExpectColourAt(const Decoded& d, uint32_t x, uint32_t y, uint32_t argb) {
    const uint8_t* p = &d.rgb[(static_cast<size_t>(y) * d.width + x) * 3];
    EXPECT_NEAR(p[0], (argb >> 16) & 0xFF, 12) << x << "," << y;
    EXPECT_NEAR(p[1], (argb >> 8) & 0xFF, 12) << x << "," << y;
    EXPECT_NEAR(p[2], argb & 0xFF, 12) << x << "," << y;
}

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
