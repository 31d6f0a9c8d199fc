// The field stream of a *.DUI layout: one object serializes its record part
// through Field() calls in order, and the same calls read or write by the
// stream's mode. A layout is read from its bytes in memory (the file, or the
// package entry it lies in, read once): a fixed field or a string that would
// pass the end fails the stream with the error report set, never reading on.
// Writing goes field by field to a file stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/FileStream.h"

class CLayoutStream {
public:
    // Reading the layout's bytes; fileName names it in error texts.
    CLayoutStream(const uint8_t* data, size_t size, float version, std::string fileName);
    // Writing to an open file stream.
    CLayoutStream(CFileStream& file, float version);

    bool Reading() const { return m_file == nullptr; }
    float Version() const { return m_version; }
    void SetVersion(float version) { m_version = version; }
    bool Failed() const { return m_failed; }
    size_t Position() const { return m_pos; }

    bool Field(uint32_t& v);
    bool Field(int32_t& v);
    bool Field(float& v);
    // The string form: an i32 length that counts the NUL, then the bytes; 0 or
    // less is the empty string. The bytes left bound the length.
    bool Field(std::string& v);
    bool Floats(float* v, int count);

    // Fails the stream with a data error naming the layout.
    bool FailData(const std::string& what);
    const std::string& FileName() const { return m_fileName; }

private:
    bool Need(size_t bytes);
    bool Word(uint32_t* v);
    bool WriteWord(uint32_t v);

    CFileStream* m_file = nullptr;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    float m_version;
    std::string m_fileName;
    bool m_failed = false;
};
