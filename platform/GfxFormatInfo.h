// Sizes of pixels, block-compressed rows and vertex records, and the vertex
// layout a flexible vertex format stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/GfxTypes.h"

namespace platform {

bool IsBlockFormat(uint32_t format);
// Bytes of one pixel, or of one 4x4 block for DXT formats; 0 for formats that hold no pixels here.
uint32_t FormatUnitBytes(uint32_t format);
bool IsDepthFormat(uint32_t format);
// Formats a texture may be created with.
bool IsTextureFormat(uint32_t format);
// Bytes per row of a level (a row of blocks for DXT) and the number of such rows.
uint32_t LevelPitch(uint32_t format, uint32_t width);
uint32_t LevelRows(uint32_t format, uint32_t height);
size_t LevelBytes(uint32_t format, uint32_t width, uint32_t height);
// Levels of a full chain down to 1x1.
uint32_t FullMipCount(uint32_t width, uint32_t height);
uint32_t MipExtent(uint32_t size, uint32_t level);
// Colour bits of a back-buffer format (0 for unknown formats).
uint32_t FormatColorBits(uint32_t format);

// Bytes of one vertex of the format; 0 when the format has no position.
uint32_t FvfVertexSize(uint32_t fvf);
// Vertex elements of the format in stream 0, in field order.
bool DeclarationFromFvf(uint32_t fvf, std::vector<GfxVertexElement>* elements);

}  // namespace platform
