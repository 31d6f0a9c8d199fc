// Windows bitmap files (".BMP"): 24 bits a pixel, uncompressed, rows bottom
// up and padded to four bytes, as the patcher's skin "PATCHLOGO.BMP" is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CBmpWriter {
public:
    // rgb: width * height pixels, rows top to bottom, three bytes each.
    static std::vector<uint8_t> FromRgb(int width, int height, const std::vector<uint8_t>& rgb);
    static bool Write(const std::string& gamePath, int width, int height, const std::vector<uint8_t>& rgb);
};
