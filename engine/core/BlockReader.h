// Decodes little-endian fields from a block of bytes that a loader read with
// one call (large vertex, index and key arrays read field by field from the
// file would cost a read call each). Reading past the block gives zeros and
// marks the reader failed; loaders bound the block by the file first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

class CFileStream;

class CBlockReader {
public:
    // Reads size bytes from the stream; Failed() when they are not there.
    CBlockReader(CFileStream& stream, uint64_t size);
    // Bytes already in memory.
    explicit CBlockReader(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    uint8_t U8() {
        if (!Need(1)) return 0;
        return m_bytes[m_pos++];
    }

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
    // Copies size bytes; on a short block out is zero-filled and the reader fails.
    bool Bytes(void* out, size_t size) {
        if (!Need(size)) {
            if (size) std::memset(out, 0, size);
            return false;
        }
        if (size) std::memcpy(out, m_bytes.data() + m_pos, size);
        m_pos += size;
        return true;
    }
    bool Skip(size_t size) {
        if (!Need(size)) return false;
        m_pos += size;
        return true;
    }
    // The file stream's string form (i32 length counting the NUL, then the
    // bytes): a length below 1 is the empty string; one above capacity or
    // past the block fails. The text ends at its first NUL.
    bool String(std::string& out, size_t capacity);

    bool Failed() const { return m_failed; }
    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_bytes.size() - m_pos; }
    const uint8_t* Data() const { return m_bytes.data(); }
    size_t Size() const { return m_bytes.size(); }

private:
    bool Need(size_t n) {
        if (n <= m_bytes.size() - m_pos) return true;
        m_failed = true;
        return false;
    }

    std::vector<uint8_t> m_bytes;
    size_t m_pos = 0;
    bool m_failed = false;
};
