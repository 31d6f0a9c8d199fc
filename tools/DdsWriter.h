// Writes DDS images (2D, with mip levels) in the formats the game's textures
// use, for tests, benchmarks and the sample game folder maker.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDdsWriter {
public:
    // From colours (0xAARRGGBB, width x height): converted to format; levels
    // below the first are made by halving (mipLevels 0 = down to 1x1).
    static std::vector<uint8_t> FromArgb(uint32_t format, uint32_t width, uint32_t height,
                                         const std::vector<uint32_t>& argb, uint32_t mipLevels = 1);
    // From level data already in the format, largest first.
    static std::vector<uint8_t> FromLevels(uint32_t format, uint32_t width, uint32_t height,
                                           const std::vector<std::vector<uint8_t>>& levels);
    // A width x height image of one colour.
    static std::vector<uint8_t> Solid(uint32_t format, uint32_t width, uint32_t height, uint32_t argb,
                                      uint32_t mipLevels = 1);
    // Writes bytes to a game path; 0 on failure.
    static int Write(const std::string& gamePath, const std::vector<uint8_t>& bytes);
};
