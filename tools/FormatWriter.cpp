#include "tools/FormatWriter.h"

#include <cstring>

void CFormatWriter::U16(uint16_t v) {
    U8(static_cast<uint8_t>(v & 0xFF));
    U8(static_cast<uint8_t>(v >> 8));
}

void CFormatWriter::U32(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) U8(static_cast<uint8_t>((v >> shift) & 0xFF));
}

void CFormatWriter::Float(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    U32(bits);
}

void CFormatWriter::Vec3(const platform::Vec3& v) {
    Float(v.x);
    Float(v.y);
    Float(v.z);
}

void CFormatWriter::Matrix(const platform::Matrix& m) {
    for (const auto& row : m.m)
        for (float f : row) Float(f);
}

void CFormatWriter::String(const std::string& text) {
    if (text.empty()) {
        U32(0);
        return;
    }
    U32(static_cast<uint32_t>(text.size() + 1));
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    U8(0);
}
