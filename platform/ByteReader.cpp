#include "platform/ByteReader.h"

#include <cstring>

namespace platform {

bool CByteReader::Take(size_t size) {
    if (m_failed || size > m_size - m_pos) {
        m_failed = true;
        return false;
    }
    return true;
}

uint8_t CByteReader::ReadU8() {
    if (!Take(1)) return 0;
    return m_data[m_pos++];
}

uint16_t CByteReader::ReadU16() {
    if (!Take(2)) return 0;
    uint16_t v = static_cast<uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

uint32_t CByteReader::ReadU32() {
    if (!Take(4)) return 0;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | m_data[m_pos + static_cast<size_t>(i)];
    m_pos += 4;
    return v;
}

uint64_t CByteReader::ReadU64() {
    uint64_t lo = ReadU32();
    uint64_t hi = ReadU32();
    return m_failed ? 0 : (hi << 32) | lo;
}

bool CByteReader::ReadBytes(void* out, size_t size) {
    if (!Take(size)) {
        if (size) std::memset(out, 0, size);
        return false;
    }
    if (size) std::memcpy(out, m_data + m_pos, size);
    m_pos += size;
    return true;
}

bool CByteReader::ReadText(char* out, size_t capacity, size_t fieldSize) {
    if (capacity) out[0] = '\0';
    if (!Take(fieldSize)) return false;
    const uint8_t* field = m_data + m_pos;
    m_pos += fieldSize;
    if (!capacity) return true;
    size_t n = 0;
    while (n < fieldSize && n + 1 < capacity && field[n] != 0) ++n;
    std::memcpy(out, field, n);
    out[n] = '\0';
    return true;
}

bool CByteReader::Skip(size_t size) {
    if (!Take(size)) return false;
    m_pos += size;
    return true;
}

bool CByteReader::Seek(size_t offset) {
    if (m_failed || offset > m_size) {
        m_failed = true;
        return false;
    }
    m_pos = offset;
    return true;
}

}  // namespace platform
