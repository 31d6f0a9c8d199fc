// Decodes little-endian fields from a block of bytes that a loader read with
// one call (large vertex, index and key arrays read field by field from the
// file would cost a read call each). Reading past the block gives zeros and
// marks the reader failed; loaders bound the block by the file first.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

class CFileStream;

class CBlockReader {
public:
    // Reads size bytes from the stream; Failed() when they are not there.
    CBlockReader(CFileStream& stream, uint64_t size);

    uint32_t U32() {
        if (!Need(4)) return 0;
        const uint8_t* b = m_bytes.data() + m_pos;
        m_pos += 4;
        return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float Float() {
        uint32_t u = U32();
        float f;
        std::memcpy(&f, &u, 4);
        return f;
    }
    uint16_t U16() {
        if (!Need(2)) return 0;
        const uint8_t* b = m_bytes.data() + m_pos;
        m_pos += 2;
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    bool Failed() const { return m_failed; }

private:
    bool Need(size_t n) {
        if (m_pos + n <= m_bytes.size()) return true;
        m_failed = true;
        return false;
    }

    std::vector<uint8_t> m_bytes;
    size_t m_pos = 0;
    bool m_failed = false;
};
