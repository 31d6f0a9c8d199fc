// Bounds-checked little-endian reader over a byte range: packets are taken
// apart field by field through it. A read past the end gives zeroes and sets a
// sticky failure flag, so a handler reads its fields and checks Ok() once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

class CByteReader {
public:
    CByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    explicit CByteReader(std::span<const uint8_t> bytes) : CByteReader(bytes.data(), bytes.size()) {}

    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    uint64_t ReadU64();
    // Copies size bytes; on a short range the output is zero-filled.
    bool ReadBytes(void* out, size_t size);
    // A fixed-size text field: copies at most capacity - 1 bytes up to the
    // field's first NUL and always terminates out.
    bool ReadText(char* out, size_t capacity, size_t fieldSize);
    bool Skip(size_t size);
    bool Seek(size_t offset);

    bool Ok() const { return !m_failed; }
    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_size - m_pos; }

private:
    bool Take(size_t size);

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_failed = false;
};

}  // namespace platform
