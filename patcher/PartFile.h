// A file that replaces a game file whole or not at all: the bytes go to
// "<target>.part" beside it, and only a complete, checked file is renamed over
// the target. A killed run leaves at most a stray ".part", never half a file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "patcher/BackgroundMd5.h"
#include "platform/File.h"

class CPartFile {
public:
    explicit CPartFile(std::string targetHostPath);
    ~CPartFile();  // removes an uncommitted part
    CPartFile(const CPartFile&) = delete;
    CPartFile& operator=(const CPartFile&) = delete;

    bool Open();
    bool Write(const void* data, size_t size);
    uint64_t Written() const { return m_written; }
    const std::string& PartPath() const { return m_partPath; }
    const std::string& TargetPath() const { return m_target; }

    // Closes the part, checks its size and digest (md5 may be null:
    // size only), and renames it over the target. The target keeps its mode, or
    // gets forcedMode when that is not -1; a new program (ELF or "#!") becomes
    // executable. Anything but Ok removes the part.
    enum class CommitResult { Ok, Mismatch, IoError };
    CommitResult Commit(uint64_t size, const uint8_t* md5, int forcedMode = -1);
    void Discard();

private:
    std::string m_target;
    std::string m_partPath;
    platform::File m_file;
    uint64_t m_written = 0;
    uint8_t m_head[4] = {};
    std::unique_ptr<CBackgroundMd5> m_md5;  // digested as the bytes pass, so the check reads nothing twice
    bool m_open = false;
};
