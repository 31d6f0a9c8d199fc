// The images of UI elements are texture resources (type 7) of the resource
// manager; this is the one place where the UI turns one into the device
// texture and its size.
#pragma once

#include <cstdint>

#include "engine/resource/Resource.h"
#include "platform/GfxTexture.h"

struct UiImageInfo {
    platform::CGfxTexture* texture = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
};

// Texture and size of an image resource; empty for null or a resource that is not a texture.
UiImageInfo UiImageOf(CResource* resource);
