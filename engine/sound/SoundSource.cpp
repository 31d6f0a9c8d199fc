#include "engine/sound/SoundSource.h"

#include <algorithm>
#include <cstring>

int CSoundSource::Open(const char* path, uint32_t offset, uint32_t size) {
    Close();
    if (!path || !m_file.Open(path, platform::File::Mode::Read)) return 0;
    int64_t fileSize = m_file.Size();
    if (fileSize < 0 || fileSize > UINT32_MAX) {
        Close();
        return 0;
    }
    if (size == 0) {
        m_size = static_cast<uint32_t>(fileSize);
        m_filePos = 0;
        m_open = true;
        return 1;
    }
    // A package entry must lie inside its package, and all of it must arrive.
    if (static_cast<uint64_t>(offset) + size > static_cast<uint64_t>(fileSize) ||
        !m_file.Seek(offset, platform::File::Origin::Begin)) {
        Close();
        return 0;
    }
    m_memory.resize(size);
    size_t done = 0;
    bool ok = m_file.Read(m_memory.data(), size, &done) && done == size;
    m_file.Close();
    if (!ok) {
        Close();
        return 0;
    }
    m_size = size;
    m_open = true;
    return 1;
}

void CSoundSource::Close() {
    m_file.Close();
    m_memory.clear();
    m_memory.shrink_to_fit();
    m_size = 0;
    m_pos = 0;
    m_open = false;
}

uint32_t CSoundSource::Read(void* buffer, uint32_t bytes) {
    if (!m_open || !buffer) return 0;
    uint32_t n = std::min(bytes, m_size - m_pos);
    if (n == 0) return 0;
    if (!m_file.IsOpen()) {
        std::memcpy(buffer, m_memory.data() + m_pos, n);
        m_pos += n;
        return n;
    }
    if (m_filePos != m_pos) {
        if (!m_file.Seek(m_pos, platform::File::Origin::Begin)) return 0;
        m_filePos = m_pos;
    }
    size_t done = 0;
    if (!m_file.Read(buffer, n, &done)) return 0;
    m_pos += static_cast<uint32_t>(done);
    m_filePos = m_pos;
    return static_cast<uint32_t>(done);
}

uint32_t CSoundSource::Seek(int64_t pos) {
    m_pos = static_cast<uint32_t>(std::clamp<int64_t>(pos, 0, m_size));
    return m_pos;
}
