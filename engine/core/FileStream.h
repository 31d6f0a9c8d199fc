// The binary file stream every data file of the client goes through.
//
// Encoding: fixed fields are 4-byte little-endian integers or floats in member
// order; a string is an int32 length that counts the terminating NUL, then the
// bytes with the NUL (the empty string is the int32 0 alone).
//
// Every read is bounded: a read past the end of the file, or a stored string
// longer than the caller's buffer, sets a sticky failure flag and the error
// report instead of leaving garbage behind. Loaders check Failed() once after
// a block of fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/File.h"

class CFileStream {
public:
    enum Mode : int32_t { MODE_READ = 0, MODE_WRITE = 1 };

    CFileStream() = default;
    virtual ~CFileStream();
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    // Opens an existing file for reading; 0 with error 10001 when it cannot.
    int OpenRead(const char* path);
    // Creates or truncates a file for writing; 0 with error 10001 when it cannot.
    int OpenWrite(const char* path);
    // Reads from bytes held in memory instead of a file (a package entry read
    // with one call, or a buffer). name stands for the path in error texts.
    void OpenMemory(std::vector<uint8_t> bytes, std::string name);
    // Reads size bytes at offset of the file at path (0: up to its end) and
    // serves further reads from memory: many small fields cost one read call.
    // 0 with the error report set when the file or range cannot be read.
    int OpenReadBuffered(const char* path, uint32_t offset, uint32_t size);
    // Writes into memory (Bytes() holds what was written).
    void OpenMemoryWrite(std::string name);
    const std::vector<uint8_t>& Bytes() const { return m_memory; }
    void Close();
    bool IsOpen() const { return m_inMemory || m_file.IsOpen(); }

    bool Seek(uint32_t offset);
    bool Skip(uint32_t bytes);
    uint32_t Tell() const;
    // Bytes left between the position and the end of the file (read mode).
    uint32_t Remaining() const;

    // Raw bytes. A short read fails (and sets the flag); bytesDone tells how many came.
    bool Read(void* buffer, uint32_t size);
    bool Write(const void* data, uint32_t size);

    bool ReadU8(uint8_t& v);
    bool ReadU16(uint16_t& v);
    bool ReadU32(uint32_t& v);
    bool ReadI32(int32_t& v);
    bool ReadFloat(float& v);
    bool WriteU8(uint8_t v);
    bool WriteU16(uint16_t v);
    bool WriteU32(uint32_t v);
    bool WriteI32(int32_t v);
    bool WriteFloat(float v);

    // Reads or writes by the stream's mode: the one serialize operation of a
    // record calls these for each field in order.
    bool Serialize(uint8_t& v) { return m_mode == MODE_READ ? ReadU8(v) : WriteU8(v); }
    bool Serialize(uint16_t& v) { return m_mode == MODE_READ ? ReadU16(v) : WriteU16(v); }
    bool Serialize(uint32_t& v) { return m_mode == MODE_READ ? ReadU32(v) : WriteU32(v); }
    bool Serialize(int32_t& v) { return m_mode == MODE_READ ? ReadI32(v) : WriteI32(v); }
    bool Serialize(float& v) { return m_mode == MODE_READ ? ReadFloat(v) : WriteFloat(v); }
    // A stored empty string is a valid field here; only a failure returns false.
    bool Serialize(std::string& v, size_t capacity = kMaxString);

    // Writes the string form; returns the result of the last write.
    int WriteString(const char* text);
    // Reads the string form into a buffer of capacity bytes. 1 for a text, 0 for
    // a stored empty string (not an error) or a failure (Failed() tells). A
    // stored string that does not fit the buffer is a failure, never an overflow.
    int ReadString(char* buffer, size_t capacity);
    int ReadString(std::string& out, size_t capacity = kMaxString);

    // True once any read or write came short; stays set until the stream is reopened.
    bool Failed() const { return m_failed; }

    uint32_t bytesDone() const { return m_bytesDone; }
    int32_t mode() const { return m_mode; }
    const std::string& path() const { return m_path; }
    uint32_t fileSize() const { return m_fileSize; }

    // Longest string any format of the client stores.
    static constexpr size_t kMaxString = 4096;

private:
    void Fail(const char* what);

    platform::File m_file;
    std::vector<uint8_t> m_memory;
    uint32_t m_memoryPos = 0;
    bool m_inMemory = false;
    uint32_t m_bytesDone = 0;
    int32_t m_mode = MODE_READ;
    std::string m_path;
    uint32_t m_fileSize = 0;
    bool m_failed = false;
};
