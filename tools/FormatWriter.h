// Little-endian byte building for the writers of the game's data files (the
// network's packets have their own fixed-buffer writer in net/): fixed
// fields are 4-byte integers or floats, a string is an int32 length that
// counts the terminating NUL followed by the bytes and the NUL (the empty
// string is the int32 0 alone), as CFileStream reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Math.h"

class CFormatWriter {
public:
    void U8(uint8_t v) { m_bytes.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Float(float v);
    void Vec3(const platform::Vec3& v);
    void Matrix(const platform::Matrix& m);
    void String(const std::string& text);
    void Bytes(const std::vector<uint8_t>& bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

    const std::vector<uint8_t>& Data() const { return m_bytes; }
    size_t Size() const { return m_bytes.size(); }

private:
    std::vector<uint8_t> m_bytes;
};
