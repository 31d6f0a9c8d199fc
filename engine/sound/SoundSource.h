// The bytes of one sound file for its reader: a loose file read where it lies,
// or a package entry copied whole into memory when it is opened (so decoding
// never touches the package file again). Positions are relative to the start
// of the sound; every read and seek stays inside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"

class CSoundSource {
public:
    // size 0: the whole file at path; otherwise size bytes from offset. 0 when
    // the file cannot be opened or the range does not lie inside it.
    int Open(const char* path, uint32_t offset, uint32_t size);
    void Close();
    bool IsOpen() const { return m_open; }

    // Up to bytes bytes from the position; the count that came.
    uint32_t Read(void* buffer, uint32_t bytes);
    // Moves to pos, clamped to [0, Size()]; the position reached.
    uint32_t Seek(int64_t pos);
    uint32_t Tell() const { return m_pos; }
    uint32_t Size() const { return m_size; }
    bool InMemory() const { return !m_file.IsOpen() && m_open; }

private:
    platform::File m_file;
    std::vector<uint8_t> m_memory;
    uint32_t m_size = 0;
    uint32_t m_pos = 0;
    uint32_t m_filePos = 0;  // where the open file stands
    bool m_open = false;
};
