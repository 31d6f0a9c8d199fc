#include "engine/core/BlockReader.h"

#include "engine/core/FileStream.h"

CBlockReader::CBlockReader(CFileStream& stream, uint64_t size) {
    if (size > stream.Remaining()) {
        stream.Skip(static_cast<uint32_t>(size > 0xFFFFFFFFu ? 0xFFFFFFFFu : size));  // sets the stream's failure
        m_failed = true;
        return;
    }
    m_bytes.resize(static_cast<size_t>(size));
    if (size && !stream.Read(m_bytes.data(), static_cast<uint32_t>(size))) m_failed = true;
}

bool CBlockReader::String(std::string& out, size_t capacity) {
    out.clear();
    const int32_t n = I32();
    if (m_failed) return false;
    if (n < 1) return true;
    if (static_cast<size_t>(n) > capacity || !Need(static_cast<size_t>(n))) {
        m_failed = true;
        return false;
    }
    const char* text = reinterpret_cast<const char*>(m_bytes.data() + m_pos);
    out.assign(text, strnlen(text, static_cast<size_t>(n)));
    m_pos += static_cast<size_t>(n);
    return true;
}
