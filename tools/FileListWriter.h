// Writer of the patch server's "FILELIST.DAT": one record per file of a game
// folder (name, digest, size) and the patch level. Raw records and header
// overrides make the damaged lists the patcher must refuse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CFileListWriter {
public:
    explicit CFileListWriter(uint32_t level) : m_level(level) {}

    // A file of the game folder: name ".\" and the backslash path.
    void AddFile(const std::string& name, const std::vector<uint8_t>& bytes);
    // A record as given; nameLength is written as given, followed by the name's bytes.
    void AddRecord(uint32_t key, const uint8_t md5[16], uint32_t size, uint32_t nameLength, const std::string& name);
    void SetCount(uint32_t count) { m_count = count; m_countSet = true; }
    void SetVersion(uint32_t version) { m_version = version; }

    std::vector<uint8_t> Bytes() const;
    bool Write(const std::string& gamePath) const;

private:
    std::vector<uint8_t> m_records;
    uint32_t m_recordCount = 0;
    uint32_t m_count = 0;
    bool m_countSet = false;
    uint32_t m_version = 2;
    uint32_t m_level;
};
