// "FILELIST.DAT": every file of a complete installation with its digest and
// size, and the patch level the list describes. A list that is damaged in any
// way is refused whole, before a single file is fetched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

struct PatchFileEntry {
    uint32_t key = 0;
    uint32_t size = 0;
    std::string name;  // ".\" and the backslash path, code-page-949 bytes
    uint8_t md5[16] = {};
};

class CFileList {
public:
    static constexpr uint32_t kVersion = 2;
    static constexpr uint32_t kMaxNameLength = 259;

    enum class ParseError { None, Version, Damaged, BadName };

    // Reads the list; on failure the map is empty and *badName (if given)
    // holds the offending name for ParseError::BadName.
    ParseError Parse(const uint8_t* data, size_t size, std::string* badName = nullptr);

    const std::map<uint32_t, PatchFileEntry>& Files() const { return m_files; }
    uint32_t Count() const { return m_count; }
    uint32_t Level() const { return m_level; }
    const PatchFileEntry* Find(uint32_t key) const;
    void Clear();

    // A name the patcher may write: ".\" and parts that are neither empty, "."
    // nor "..", with no "/", ":" or NUL, so it stays inside the game folder.
    static bool IsSafeName(const std::string& name);

private:
    std::map<uint32_t, PatchFileEntry> m_files;
    uint32_t m_count = 0;
    uint32_t m_level = 0;
};
