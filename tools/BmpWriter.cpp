#include "tools/BmpWriter.h"

#include "platform/File.h"
#include "tools/FormatWriter.h"

std::vector<uint8_t> CBmpWriter::FromRgb(int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) return {};
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    const uint32_t headerBytes = 14 + 40;
    CFormatWriter out;
    // BITMAPFILEHEADER
    out.U8('B');
    out.U8('M');
    out.U32(headerBytes + imageBytes);
    out.U16(0);
    out.U16(0);
    out.U32(headerBytes);
    // BITMAPINFOHEADER
    out.U32(40);
    out.I32(width);
    out.I32(height);  // positive: bottom-up rows
    out.U16(1);
    out.U16(24);
    out.U32(0);  // BI_RGB
    out.U32(imageBytes);
    out.I32(2835);  // 72 dots an inch
    out.I32(2835);
    out.U32(0);
    out.U32(0);
    for (int y = height - 1; y >= 0; --y) {
        size_t row = static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out.U8(rgb[row + x * 3 + 2]);
            out.U8(rgb[row + x * 3 + 1]);
            out.U8(rgb[row + x * 3]);
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) out.U8(0);
    }
    return out.Data();
}

bool CBmpWriter::Write(const std::string& gamePath, int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> bytes = FromRgb(width, height, rgb);
    return !bytes.empty() && platform::WriteWholeFile(gamePath, bytes.data(), bytes.size());
}
