// The field stream of a *.DUI layout: one object serializes its record part
// through Field() calls in order, and the same calls read or write by the
// stream's mode. Reads are bounded by the end of the layout (the end of the
// file, or of the package entry it lies in): a fixed field or a string that
// would pass it fails the stream with the error report set, never reading on.
#pragma once

#include <cstdint>
#include <string>

#include "engine/FileStream.h"

class CLayoutStream {
public:
    // end: the byte position where the layout's data ends (reading only).
    CLayoutStream(CFileStream& file, float version, uint32_t end);

    bool Reading() const { return m_file.mode() == CFileStream::MODE_READ; }
    float Version() const { return m_version; }
    bool Failed() const { return m_failed; }

    bool Field(uint32_t& v);
    bool Field(int32_t& v);
    bool Field(float& v);
    // The string form: an i32 length that counts the NUL, then the bytes; 0 or
    // less is the empty string.
    bool Field(std::string& v);
    bool Floats(float* v, int count);

    // Fails the stream with a data error naming the layout.
    bool FailData(const std::string& what);
    const std::string& FileName() const { return m_fileName; }

private:
    bool Need(uint32_t bytes);

    CFileStream& m_file;
    float m_version;
    uint32_t m_end;
    std::string m_fileName;
    bool m_failed = false;
};
