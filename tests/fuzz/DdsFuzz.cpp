// DDS textures: parsed from memory, made into a texture on the recording
// device, every level locked and read, then drawn on a quad.
#include <cstddef>
#include <cstdint>

#include "platform/GfxRecordingDevice.h"
#include "platform/GfxTexture.h"
#include "platform/TextureLoader.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GfxImageInfo info;
    if (GetImageInfoFromFileInMemory(data, size, &info) != GFX_OK) return 0;
    static CGfxRecordingDevice device;
    CGfxTexture* texture = nullptr;
    if (CreateTextureFromFileInMemoryEx(&device, data, size, kGfxDefault, kGfxDefault, kGfxDefault, 0, FMT_UNKNOWN,
                                        POOL_MANAGED, TEXF_LINEAR, TEXF_LINEAR, 0, &info, &texture) != GFX_OK ||
        !texture)
        return 0;
    volatile uint8_t sink = 0;
    for (uint32_t level = 0; level < texture->GetLevelCount(); ++level) {
        GfxLockedRect locked;
        if (texture->LockRect(level, &locked, nullptr, 0) != GFX_OK) continue;
        if (locked.bits) sink = sink + *static_cast<const uint8_t*>(locked.bits);
        texture->UnlockRect(level);
    }
    struct Vertex {
        float x, y, z, rhw, u, v;
    } quad[4] = {{0, 0, 0, 1, 0, 0}, {64, 0, 0, 1, 1, 0}, {0, 64, 0, 1, 0, 1}, {64, 64, 0, 1, 1, 1}};
    device.SetTexture(0, texture);
    device.SetFVF(FVF_XYZRHW | FVF_TEX1);
    device.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    device.SetTexture(0, nullptr);
    texture->Release();
    return 0;
}
