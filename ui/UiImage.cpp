#include "ui/UiImage.h"

namespace {
UiImageAccessor g_accessor = nullptr;
}

void SetUiImageAccessor(UiImageAccessor accessor) { g_accessor = accessor; }

UiImageInfo UiImageOf(CResource* resource) {
    if (!resource || !g_accessor) return {};
    return g_accessor(resource);
}
