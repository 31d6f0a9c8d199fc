#include "ui/LayoutStream.h"

#include <vector>

#include "engine/ErrorReport.h"
#include "engine/MessageTable.h"
#include "engine/NameHash.h"

namespace {

std::string BaseName(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

CLayoutStream::CLayoutStream(CFileStream& file, float version, uint32_t end)
    : m_file(file), m_version(version), m_end(end), m_fileName(BaseName(file.path())) {}

bool CLayoutStream::Need(uint32_t bytes) {
    if (m_failed) return false;
    if (!Reading()) return true;
    uint32_t at = m_file.Tell();
    if (at <= m_end && m_end - at >= bytes) return true;
    const char* format = GetMessageText(MSG_ERROR_STREAM_TOO_SHORT);
    ErrorReport().SetError(ERR_FILE_NOT_FOUND, *format ? format : "The file %s is shorter than its contents.",
                           m_fileName);
    m_failed = true;
    return false;
}

bool CLayoutStream::FailData(const std::string& what) {
    ErrorReport().SetError(ERR_DATA, "%s : %s", what, m_fileName);
    m_failed = true;
    return false;
}

bool CLayoutStream::Field(uint32_t& v) {
    if (!Need(4)) return false;
    if (!m_file.Serialize(v)) m_failed = true;
    return !m_failed;
}

bool CLayoutStream::Field(int32_t& v) {
    if (!Need(4)) return false;
    if (!m_file.Serialize(v)) m_failed = true;
    return !m_failed;
}

bool CLayoutStream::Field(float& v) {
    if (!Need(4)) return false;
    if (!m_file.Serialize(v)) m_failed = true;
    return !m_failed;
}

bool CLayoutStream::Floats(float* v, int count) {
    for (int i = 0; i < count; ++i)
        if (!Field(v[i])) return false;
    return true;
}

bool CLayoutStream::Field(std::string& v) {
    if (!Reading()) {
        if (m_failed) return false;
        if (m_file.WriteString(v.c_str()) == 0) m_failed = true;
        return !m_failed;
    }
    int32_t length = 0;
    if (!Field(length)) return false;
    v.clear();
    if (length <= 0) return true;
    // The bytes left bound the length, so a damaged length never allocates past the file.
    if (!Need(static_cast<uint32_t>(length))) return false;
    std::vector<char> bytes(static_cast<size_t>(length));
    if (!m_file.Read(bytes.data(), static_cast<uint32_t>(length))) {
        m_failed = true;
        return false;
    }
    size_t n = 0;
    while (n < bytes.size() && bytes[n] != '\0') ++n;
    v.assign(bytes.data(), n);
    return true;
}
