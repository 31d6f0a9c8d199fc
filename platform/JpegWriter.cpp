// JPEG encoding with libjpeg. Its errors end in a long jump back here
// instead of the library's default exit(); nothing with a destructor lives
// between the setjmp and the library calls.
#include "platform/JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "platform/File.h"

namespace platform {

namespace {
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }
void OnMessage(j_common_ptr) {}

// Plain C-style body so that the long jump skips no destructors.
bool Compress(const uint8_t* rgb, uint32_t width, uint32_t height, int quality, unsigned char** buffer,
              unsigned long* size) {
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.output_message = OnMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<size_t>(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}
}  // namespace

bool EncodeJpeg(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height, int quality,
                std::vector<uint8_t>* out) {
    if (!out || width == 0 || height == 0 || argb.size() < static_cast<size_t>(width) * height) return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(argb[i] >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(argb[i] >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(argb[i]);
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = Compress(rgb.data(), width, height, quality < 1 ? 1 : quality > 100 ? 100 : quality, &buffer, &size);
    if (ok) out->assign(buffer, buffer + size);
    std::free(buffer);
    return ok;
}

GfxResult SaveSurfaceToJpeg(CGfxDevice* device, CGfxSurface* surface, std::string_view gamePath, int quality) {
    if (!device || !surface) return GFXERR_INVALIDCALL;
    std::vector<uint32_t> pixels;
    GfxResult r = device->ReadSurface(surface, &pixels);
    if (GfxFailed(r)) return r;
    std::vector<uint8_t> jpeg;
    if (!EncodeJpeg(pixels, surface->GetWidth(), surface->GetHeight(), quality, &jpeg)) return GFXERR_FAIL;
    if (!WriteWholeFile(gamePath, jpeg.data(), jpeg.size())) return GFXERR_FAIL;
    return GFX_OK;
}

}  // namespace platform
