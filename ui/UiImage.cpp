#include "ui/UiImage.h"

#include "engine/resource/TextureResource.h"

UiImageInfo UiImageOf(CResource* resource) {
    CTextureResource* texture = AsTexture(resource);
    if (!texture) return {};
    return {texture->Texture(), texture->Width(), texture->Height()};
}
