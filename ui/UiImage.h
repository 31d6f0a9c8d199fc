// The images of UI elements are texture resources (type 7) of the resource
// manager. The UI reaches the device texture and its size through this one
// accessor, which the texture resource code installs; until one is installed
// an image draws as an untextured quad.
#pragma once

#include <cstdint>

#include "engine/Resource.h"
#include "platform/GfxTexture.h"

struct UiImageInfo {
    platform::CGfxTexture* texture = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
};

using UiImageAccessor = UiImageInfo (*)(CResource* resource);

void SetUiImageAccessor(UiImageAccessor accessor);
// Texture and size of an image resource; empty for null or while no accessor is installed.
UiImageInfo UiImageOf(CResource* resource);
