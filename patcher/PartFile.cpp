#include "patcher/PartFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>


CPartFile::CPartFile(std::string targetHostPath) : m_target(std::move(targetHostPath)), m_partPath(m_target + ".part") {}

CPartFile::~CPartFile() { Discard(); }

bool CPartFile::Open() {
    Discard();
    m_written = 0;
    m_md5 = std::make_unique<CBackgroundMd5>();
    m_open = m_file.Open(m_partPath, platform::File::Mode::Write);
    return m_open;
}

bool CPartFile::Write(const void* data, size_t size) {
    if (!m_open) return false;
    if (m_written < sizeof(m_head)) {
        size_t n = std::min(size, sizeof(m_head) - static_cast<size_t>(m_written));
        std::memcpy(m_head + m_written, data, n);
    }
    size_t done = 0;
    if (!m_file.Write(data, size, &done) || done != size) return false;
    m_md5->Update(data, size);
    m_written += size;
    return true;
}

CPartFile::CommitResult CPartFile::Commit(uint64_t size, const uint8_t* md5, int forcedMode) {
    if (!m_open) return CommitResult::IoError;
    // Closed, not synced: a killed run cannot leave half a file, since the
    // rename comes only after the last write; and a rename over an existing
    // file makes ext4 (auto_da_alloc) write the data first. A sync per file
    // would halve the download rate.
    m_file.Close();
    m_open = false;
    uint8_t digest[16];
    m_md5->Final(digest);
    m_md5.reset();
    if (m_written != size || (md5 && std::memcmp(digest, md5, 16) != 0)) {
        ::unlink(m_partPath.c_str());
        return CommitResult::Mismatch;
    }
    struct stat st;
    mode_t mode;
    if (forcedMode >= 0) {
        mode = static_cast<mode_t>(forcedMode);
    } else if (::stat(m_target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        bool program = (m_written >= 4 && std::memcmp(m_head, "\x7f" "ELF", 4) == 0) ||
                       (m_written >= 2 && m_head[0] == '#' && m_head[1] == '!');
        mode = program ? 0755 : 0644;
    }
    if (::chmod(m_partPath.c_str(), mode) != 0 || ::rename(m_partPath.c_str(), m_target.c_str()) != 0) {
        ::unlink(m_partPath.c_str());
        return CommitResult::IoError;
    }
    return CommitResult::Ok;
}

void CPartFile::Discard() {
    if (m_open) {
        m_file.Close();
        m_open = false;
        m_md5.reset();
        ::unlink(m_partPath.c_str());
    }
}
