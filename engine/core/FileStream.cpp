#include "engine/core/FileStream.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"

namespace {
constexpr int kMsgStreamTooShort = 17;  // MSG_ERROR_STREAM_TOO_SHORT
}

CFileStream::~CFileStream() = default;

int CFileStream::OpenRead(const char* path) {
    Close();
    m_path = path ? path : "";
    m_failed = false;
    m_bytesDone = 0;
    if (!m_file.Open(m_path, platform::File::Mode::Read)) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_FILE_NOT_FOUND), FileNamePart(m_path));
        return 0;
    }
    int64_t size = m_file.Size();
    m_fileSize = size < 0 ? 0 : size > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
    m_mode = MODE_READ;
    return 1;
}

int CFileStream::OpenWrite(const char* path) {
    Close();
    m_path = path ? path : "";
    m_failed = false;
    m_bytesDone = 0;
    if (!m_file.Open(m_path, platform::File::Mode::Write)) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_FILE_NOT_FOUND), FileNamePart(m_path));
        return 0;
    }
    m_mode = MODE_WRITE;
    return 1;
}

void CFileStream::OpenMemory(std::vector<uint8_t> bytes, std::string name) {
    Close();
    m_path = std::move(name);
    m_failed = false;
    m_bytesDone = 0;
    m_memory = std::move(bytes);
    m_memoryPos = 0;
    m_inMemory = true;
    m_fileSize = m_memory.size() > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(m_memory.size());
    m_mode = MODE_READ;
}

void CFileStream::OpenMemoryWrite(std::string name) {
    OpenMemory({}, std::move(name));
    m_mode = MODE_WRITE;
}

int CFileStream::OpenReadBuffered(const char* path, uint32_t offset, uint32_t size) {
    if (!OpenRead(path)) return 0;
    if (offset > m_fileSize || (size != 0 && size > m_fileSize - offset)) {
        Fail("entry outside its file");
        Close();
        return 0;
    }
    const uint32_t length = size != 0 ? size : m_fileSize - offset;
    std::vector<uint8_t> bytes(length);
    if (!Seek(offset) || !Read(bytes.data(), length)) {
        Close();
        return 0;
    }
    OpenMemory(std::move(bytes), m_path);
    return 1;
}

void CFileStream::Close() {
    m_file.Close();
    m_inMemory = false;
    m_memory.clear();
    m_memory.shrink_to_fit();
    m_memoryPos = 0;
}

void CFileStream::Fail(const char* what) {
    if (!m_failed) {
        const char* text = GetMessageText(kMsgStreamTooShort);
        if (*text)
            ErrorReport().SetError(ERR_DATA, text, FileNamePart(m_path));
        else
            ErrorReport().SetError(ERR_DATA, "%s : %s", what, FileNamePart(m_path));
    }
    m_failed = true;
}

bool CFileStream::Seek(uint32_t offset) {
    if (m_inMemory) {
        if (offset > m_memory.size()) {
            Fail("seek failed");
            return false;
        }
        m_memoryPos = offset;
        return true;
    }
    if (!m_file.Seek(offset, platform::File::Origin::Begin)) {
        Fail("seek failed");
        return false;
    }
    return true;
}

bool CFileStream::Skip(uint32_t bytes) {
    if (m_mode == MODE_READ && bytes > Remaining()) {
        Fail("stream too short");
        return false;
    }
    if (m_inMemory) {
        m_memoryPos += bytes;
        return true;
    }
    return m_file.Seek(bytes, platform::File::Origin::Current);
}

uint32_t CFileStream::Tell() const {
    if (m_inMemory) return m_memoryPos;
    int64_t t = m_file.Tell();
    return t < 0 ? 0 : static_cast<uint32_t>(t);
}

uint32_t CFileStream::Remaining() const {
    if (m_inMemory) return m_memoryPos >= m_memory.size() ? 0 : static_cast<uint32_t>(m_memory.size() - m_memoryPos);
    int64_t size = m_file.Size();
    int64_t pos = m_file.Tell();
    if (size < 0 || pos < 0 || pos >= size) return 0;
    int64_t left = size - pos;
    return left > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(left);
}

bool CFileStream::Read(void* buffer, uint32_t size) {
    size_t done = 0;
    bool ok = true;
    if (m_inMemory) {
        done = size < Remaining() ? size : Remaining();
        if (done) std::memcpy(buffer, m_memory.data() + m_memoryPos, done);
        m_memoryPos += static_cast<uint32_t>(done);
    } else {
        ok = m_file.Read(buffer, size, &done);
    }
    m_bytesDone = static_cast<uint32_t>(done);
    if (!ok || done != size) {
        // Leave no stale bytes behind a short read.
        std::memset(static_cast<char*>(buffer) + done, 0, size - done);
        Fail("stream too short");
        return false;
    }
    return true;
}

bool CFileStream::Write(const void* data, uint32_t size) {
    if (m_inMemory) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_memory.insert(m_memory.end(), bytes, bytes + size);
        m_memoryPos = static_cast<uint32_t>(m_memory.size());
        m_bytesDone = size;
        return true;
    }
    size_t done = 0;
    bool ok = m_file.Write(data, size, &done);
    m_bytesDone = static_cast<uint32_t>(done);
    if (!ok || done != size) {
        m_failed = true;
        ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_FILE_NOT_READ), FileNamePart(m_path));
        return false;
    }
    return true;
}

bool CFileStream::ReadU8(uint8_t& v) { return Read(&v, 1); }

bool CFileStream::ReadU16(uint16_t& v) {
    uint8_t b[2];
    bool ok = Read(b, 2);
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return ok;
}

bool CFileStream::ReadU32(uint32_t& v) {
    uint8_t b[4];
    bool ok = Read(b, 4);
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
        (static_cast<uint32_t>(b[3]) << 24);
    return ok;
}

bool CFileStream::ReadI32(int32_t& v) {
    uint32_t u = 0;
    bool ok = ReadU32(u);
    v = static_cast<int32_t>(u);
    return ok;
}

bool CFileStream::ReadFloat(float& v) {
    uint32_t u = 0;
    bool ok = ReadU32(u);
    std::memcpy(&v, &u, 4);
    return ok;
}

bool CFileStream::WriteU8(uint8_t v) { return Write(&v, 1); }

bool CFileStream::WriteU16(uint16_t v) {
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    return Write(b, 2);
}

bool CFileStream::WriteU32(uint32_t v) {
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
    return Write(b, 4);
}

bool CFileStream::WriteI32(int32_t v) { return WriteU32(static_cast<uint32_t>(v)); }

bool CFileStream::WriteFloat(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return WriteU32(u);
}

int CFileStream::WriteString(const char* text) {
    size_t n = text ? std::strlen(text) : 0;
    if (n == 0) return WriteI32(0) ? 1 : 0;
    if (!WriteI32(static_cast<int32_t>(n + 1))) return 0;
    return Write(text, static_cast<uint32_t>(n + 1)) ? 1 : 0;
}

int CFileStream::ReadString(char* buffer, size_t capacity) {
    if (buffer && capacity) buffer[0] = '\0';
    int32_t n = 0;
    if (!ReadI32(n)) return 0;
    if (n < 1) return 0;
    if (!buffer || static_cast<size_t>(n) > capacity || static_cast<uint32_t>(n) > Remaining()) {
        Fail("string too long");
        return 0;
    }
    if (!Read(buffer, static_cast<uint32_t>(n))) {
        buffer[0] = '\0';
        return 0;
    }
    buffer[n - 1] = '\0';  // a stored string without its NUL must not run on
    return 1;
}

int CFileStream::ReadString(std::string& out, size_t capacity) {
    out.clear();
    int32_t n = 0;
    if (!ReadI32(n)) return 0;
    if (n < 1) return 0;
    if (static_cast<size_t>(n) > capacity || static_cast<uint32_t>(n) > Remaining()) {
        Fail("string too long");
        return 0;
    }
    out.resize(static_cast<size_t>(n));
    if (!Read(out.data(), static_cast<uint32_t>(n))) {
        out.clear();
        return 0;
    }
    // Up to the stored NUL, and never the last byte: both overloads keep at
    // most n - 1 characters, as the char buffer must.
    out[static_cast<size_t>(n) - 1] = '\0';
    out.resize(std::strlen(out.c_str()));
    return 1;
}

bool CFileStream::Serialize(std::string& v, size_t capacity) {
    if (m_mode == MODE_READ) {
        ReadString(v, capacity);
    } else {
        WriteString(v.c_str());
    }
    return !m_failed;
}
