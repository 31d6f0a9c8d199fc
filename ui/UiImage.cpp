#include "ui/UiImage.h"

#include "engine/TextureResource.h"

UiImageInfo UiImageOf(CResource* resource) {
    CTextureResource* texture = AsTexture(resource);
    if (!texture) return {};
    return {texture->Texture(), texture->Width(), texture->Height()};
}
