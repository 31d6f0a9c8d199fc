#include "patcher/FileList.h"

#include "platform/ByteReader.h"

namespace {
constexpr size_t kRecordHeader = 28;  // key, digest, size, name length
}

bool CFileList::IsSafeName(const std::string& name) {
    if (name.size() < 3 || name[0] != '.' || name[1] != '\\') return false;
    size_t start = 2;
    while (true) {
        size_t end = name.find('\\', start);
        std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (part.find_first_of(std::string("/:\0", 3)) != std::string::npos) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

CFileList::ParseError CFileList::Parse(const uint8_t* data, size_t size, std::string* badName) {
    Clear();
    if (badName) badName->clear();
    platform::CByteReader in(data, size);
    uint32_t count = in.ReadU32();
    uint32_t version = in.ReadU32();
    if (!in.Ok()) return ParseError::Damaged;
    // The version first: a list of another layout is a new set-up, not damage.
    if (version != kVersion) return ParseError::Version;
    // Every record takes at least its header, and the level follows them.
    if (in.Remaining() < 4 || count > (in.Remaining() - 4) / kRecordHeader) return ParseError::Damaged;

    std::map<uint32_t, PatchFileEntry> files;
    for (uint32_t i = 0; i < count; ++i) {
        PatchFileEntry e;
        e.key = in.ReadU32();
        in.ReadBytes(e.md5, sizeof(e.md5));
        e.size = in.ReadU32();
        uint32_t nameLength = in.ReadU32();
        if (!in.Ok() || nameLength > kMaxNameLength || nameLength > in.Remaining()) return ParseError::Damaged;
        e.name.assign(reinterpret_cast<const char*>(data + in.Position()), nameLength);
        in.Skip(nameLength);
        if (in.Remaining() < 4) return ParseError::Damaged;
        if (!IsSafeName(e.name)) {
            if (badName) *badName = e.name;
            return ParseError::BadName;
        }
        files[e.key] = std::move(e);  // a later record with the same key wins
    }
    uint32_t level = in.ReadU32();
    if (!in.Ok() || in.Remaining() != 0) return ParseError::Damaged;
    m_files = std::move(files);
    m_count = count;
    m_level = level;
    return ParseError::None;
}

const PatchFileEntry* CFileList::Find(uint32_t key) const {
    auto it = m_files.find(key);
    return it == m_files.end() ? nullptr : &it->second;
}

void CFileList::Clear() {
    m_files.clear();
    m_count = 0;
    m_level = 0;
}
