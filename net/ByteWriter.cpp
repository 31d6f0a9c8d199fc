#include "net/ByteWriter.h"

#include <cstring>

#include "platform/CodePage.h"

bool CByteWriter::Room(size_t size) {
    if (m_failed || size > m_capacity - m_pos) {
        m_failed = true;
        return false;
    }
    return true;
}

bool CByteWriter::WriteU8(uint8_t v) {
    if (!Room(1)) return false;
    m_data[m_pos++] = v;
    return true;
}

bool CByteWriter::WriteU16(uint16_t v) {
    if (!Room(2)) return false;
    m_data[m_pos++] = static_cast<uint8_t>(v);
    m_data[m_pos++] = static_cast<uint8_t>(v >> 8);
    return true;
}

bool CByteWriter::WriteU32(uint32_t v) {
    if (!Room(4)) return false;
    for (int i = 0; i < 4; ++i) m_data[m_pos++] = static_cast<uint8_t>(v >> (8 * i));
    return true;
}

bool CByteWriter::WriteU64(uint64_t v) {
    if (!Room(8)) return false;
    WriteU32(static_cast<uint32_t>(v));
    return WriteU32(static_cast<uint32_t>(v >> 32));
}

bool CByteWriter::WriteBytes(const void* data, size_t size) {
    if (!Room(size)) return false;
    if (size) std::memcpy(m_data + m_pos, data, size);
    m_pos += size;
    return true;
}

bool CByteWriter::WriteText(const char* text, size_t fieldSize) {
    if (!Room(fieldSize)) return false;
    size_t n = text && fieldSize ? platform::Cp949CutLength(text, fieldSize - 1) : 0;
    if (n) std::memcpy(m_data + m_pos, text, n);
    std::memset(m_data + m_pos + n, 0, fieldSize - n);
    m_pos += fieldSize;
    return true;
}

bool CByteWriter::WriteZeros(size_t size) {
    if (!Room(size)) return false;
    if (size) std::memset(m_data + m_pos, 0, size);
    m_pos += size;
    return true;
}
