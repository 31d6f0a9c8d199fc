#include "ui/LayoutStream.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"

namespace {

std::string BaseName(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

CLayoutStream::CLayoutStream(const uint8_t* data, size_t size, float version, std::string fileName)
    : m_data(data), m_size(data ? size : 0), m_version(version), m_fileName(std::move(fileName)) {}

CLayoutStream::CLayoutStream(CFileStream& file, float version)
    : m_file(&file), m_version(version), m_fileName(BaseName(file.path())) {}

bool CLayoutStream::Need(size_t bytes) {
    if (m_failed) return false;
    if (m_size - m_pos >= bytes) return true;
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

bool CLayoutStream::Word(uint32_t* v) {
    if (!Need(4)) return false;
    const uint8_t* p = m_data + m_pos;
    *v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
    m_pos += 4;
    return true;
}

bool CLayoutStream::WriteWord(uint32_t v) {
    if (m_failed) return false;
    if (!m_file->WriteU32(v)) m_failed = true;
    return !m_failed;
}

bool CLayoutStream::Field(uint32_t& v) { return Reading() ? Word(&v) : WriteWord(v); }

bool CLayoutStream::Field(int32_t& v) {
    uint32_t u = static_cast<uint32_t>(v);
    if (!Field(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool CLayoutStream::Field(float& v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    if (!Field(u)) return false;
    std::memcpy(&v, &u, 4);
    return true;
}

bool CLayoutStream::Floats(float* v, int count) {
    for (int i = 0; i < count; ++i)
        if (!Field(v[i])) return false;
    return true;
}

bool CLayoutStream::Field(std::string& v) {
    if (!Reading()) {
        if (m_failed) return false;
        if (m_file->WriteString(v.c_str()) == 0) m_failed = true;
        return !m_failed;
    }
    int32_t length = 0;
    if (!Field(length)) return false;
    v.clear();
    if (length <= 0) return true;
    if (!Need(static_cast<size_t>(length))) return false;
    const char* text = reinterpret_cast<const char*>(m_data + m_pos);
    v.assign(text, strnlen(text, static_cast<size_t>(length)));
    m_pos += static_cast<size_t>(length);
    return true;
}
