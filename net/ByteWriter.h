// Bounds-checked little-endian writer into a fixed buffer: packets are built
// field by field through it. A write that does not fit writes nothing and sets
// a sticky failure flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class CByteWriter {
public:
    CByteWriter(uint8_t* data, size_t capacity) : m_data(data), m_capacity(capacity) {}
    explicit CByteWriter(std::span<uint8_t> bytes) : CByteWriter(bytes.data(), bytes.size()) {}

    bool WriteU8(uint8_t v);
    bool WriteU16(uint16_t v);
    bool WriteU32(uint32_t v);
    bool WriteI32(int32_t v) { return WriteU32(static_cast<uint32_t>(v)); }
    bool WriteU64(uint64_t v);
    bool WriteBytes(const void* data, size_t size);
    // A fixed-size text field: the text (cut to at most fieldSize - 1 bytes,
    // never inside a double-byte character) and NUL padding.
    bool WriteText(const char* text, size_t fieldSize);
    bool WriteZeros(size_t size);

    bool Ok() const { return !m_failed; }
    size_t Position() const { return m_pos; }

private:
    bool Room(size_t size);

    uint8_t* m_data;
    size_t m_capacity;
    size_t m_pos = 0;
    bool m_failed = false;
};
