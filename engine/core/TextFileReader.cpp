#include "engine/core/TextFileReader.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileIndex.h"
#include "engine/core/MessageTable.h"
#include "platform/CodePage.h"
#include "platform/File.h"

namespace {

// The range [offset, offset + size) of a file; unless exact, size 0 means to the end.
bool ReadRange(const std::string& path, uint32_t offset, uint32_t size, bool exact, std::string& out) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) return false;
    int64_t fileSize = file.Size();
    if (fileSize < 0 || static_cast<uint64_t>(offset) > static_cast<uint64_t>(fileSize)) return false;
    uint64_t range = (size || exact) ? size : static_cast<uint64_t>(fileSize) - offset;
    if (offset + range > static_cast<uint64_t>(fileSize) || range > CTextFileReader::kMaxFileSize) return false;
    if (!file.Seek(offset, platform::File::Origin::Begin)) return false;
    out.resize(static_cast<size_t>(range));
    size_t done = 0;
    return out.empty() || (file.Read(out.data(), out.size(), &done) && done == out.size());
}

}  // namespace

int CTextFileReader::Open(const char* fileName) {
    const char* name = fileName ? fileName : "";
    m_text.clear();
    m_pos = 0;
    m_lineNumber = 0;
    uint32_t offset = 0, size = 0;
    std::string path;
    bool packed = false;
    if (g_pFileIndex) {
        path = g_pFileIndex->ResolvePath(name, &offset, &size);
        // An empty package entry has size 0 too; it must not read the rest of its package.
        packed = g_pFileIndex->FindPackageEntry(name) != nullptr;
    } else if (*name && platform::FileExists(name)) {
        path = name;
    }
    if (path.empty() || !ReadRange(path, offset, size, packed, m_text)) {
        m_text.clear();
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, FileNotFoundFormat(), name);
        return 0;
    }
    return 1;
}

void CTextFileReader::OpenText(std::string text) {
    m_text = std::move(text);
    m_pos = 0;
    m_lineNumber = 0;
}

bool CTextFileReader::ReadLine(std::string& line, size_t maxLength, bool* tooLong) {
    if (tooLong) *tooLong = false;
    if (m_pos >= m_text.size()) return false;
    size_t end = m_text.find('\n', m_pos);
    size_t next = end == std::string::npos ? m_text.size() : end + 1;
    if (end == std::string::npos) end = m_text.size();
    line.assign(m_text, m_pos, end - m_pos);
    m_pos = next;
    ++m_lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A C string ends at its first NUL; so does a line.
    size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    if (line.size() > maxLength) {
        line.resize(platform::Cp949CutLength(line, maxLength));
        if (tooLong) *tooLong = true;
    }
    return true;
}
