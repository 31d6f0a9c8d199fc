// A small INI file of boolean settings: read through the profile-string
// reader, written anew line by line as "key = TRUE" / "key = FALSE".
#pragma once

#include <string>

#include "engine/core/FileStream.h"

class CIniFile {
public:
    CIniFile() = default;
    ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    void SetPath(std::string path) { m_path = std::move(path); }
    const std::string& Path() const { return m_path; }

    // 1 exactly when [section] key reads "TRUE" (case matters); 0 otherwise,
    // also when the key or the file is missing.
    int ReadIniBool(const char* section, const char* key);

    // Creates the file anew for writing; 0 with the error report set on failure.
    int OpenWrite();
    // "[section]\r\n"
    int WriteSection(const char* section);
    // "key = TRUE\r\n" or "key = FALSE\r\n"
    int WriteIniBool(const char* key, int value);
    void Close() { m_stream.Close(); }

private:
    int WriteText(const std::string& text);

    std::string m_path;
    std::string m_value;  // the last value read (at most 1023 bytes)
    CFileStream m_stream;
};
