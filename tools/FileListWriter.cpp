#include "tools/FileListWriter.h"

#include "platform/File.h"
#include "platform/Md5.h"
#include "platform/NameHash.h"
#include "tools/FormatWriter.h"

void CFileListWriter::AddFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    uint8_t md5[16];
    platform::Md5(bytes.data(), bytes.size(), md5);
    AddRecord(platform::NameHash(name), md5, static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(name.size()),
              name);
}

void CFileListWriter::AddRecord(uint32_t key, const uint8_t md5[16], uint32_t size, uint32_t nameLength,
                                const std::string& name) {
    CFormatWriter w;
    w.U32(key);
    for (int i = 0; i < 16; ++i) w.U8(md5[i]);
    w.U32(size);
    w.U32(nameLength);
    w.Bytes(std::vector<uint8_t>(name.begin(), name.end()));
    m_records.insert(m_records.end(), w.Data().begin(), w.Data().end());
    ++m_recordCount;
}

std::vector<uint8_t> CFileListWriter::Bytes() const {
    CFormatWriter w;
    w.U32(m_countSet ? m_count : m_recordCount);
    w.U32(m_version);
    w.Bytes(m_records);
    w.U32(m_level);
    return w.Data();
}

bool CFileListWriter::Write(const std::string& gamePath) const {
    std::vector<uint8_t> bytes = Bytes();
    return platform::WriteWholeFile(gamePath, bytes.data(), bytes.size());
}
