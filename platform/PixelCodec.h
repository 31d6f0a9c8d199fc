// Conversion of texture levels between their stored formats and 0xAARRGGBB
// words, block-compressed formats included, and resampling. Loaders use it to
// resize and convert images; the GL device uses it for formats GL lacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// False for a format this codec does not know or data shorter than the level.
bool UnpackLevel(uint32_t format, uint32_t width, uint32_t height, const uint8_t* data, size_t size,
                 std::vector<uint32_t>* argb);
// argb holds width x height words; the result is the level in the format.
bool PackLevel(uint32_t format, uint32_t width, uint32_t height, const std::vector<uint32_t>& argb,
               std::vector<uint8_t>* data);
// Bilinear resampling at pixel centres; halving a size averages 2x2 pixels.
std::vector<uint32_t> ResampleArgb(const std::vector<uint32_t>& src, uint32_t srcWidth, uint32_t srcHeight,
                                   uint32_t dstWidth, uint32_t dstHeight);

// One 4x4 block to 16 words (row-major).
void DecodeDxtBlock(uint32_t format, const uint8_t* block, uint32_t out[16]);
// 16 words to one block; a simple endpoint-range encoder, enough for data made by tools and tests.
void EncodeDxtBlock(uint32_t format, const uint32_t in[16], uint8_t* block);

}  // namespace platform
