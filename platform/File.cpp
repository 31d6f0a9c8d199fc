// POSIX implementation of the game's file access. See File.h.
#include "platform/File.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

bool PathExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Finds the entry of a folder that equals name ignoring ASCII case; the
// smallest such name when several differ only in case.
bool FindNoCase(const std::string& folder, std::string_view name, std::string* found) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    bool ok = false;
    while (dirent* e = ::readdir(dir)) {
        if (EqualsNoCase(e->d_name, name)) {
            if (!ok || std::string_view(e->d_name) < *found) *found = e->d_name;
            ok = true;
        }
    }
    ::closedir(dir);
    return ok;
}

struct stat* StatOf(std::string_view gamePath, struct stat* st) {
    std::string p = HostPath(gamePath);
    return ::stat(p.c_str(), st) == 0 ? st : nullptr;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string HostPath(std::string_view gamePath) {
    std::string out;
    out.reserve(gamePath.size() + 2);
    size_t i = 0;
    if (!gamePath.empty() && (gamePath[0] == '/' || gamePath[0] == '\\')) {
        out.push_back('/');
        i = 1;
    }
    bool unresolved = false;  // once a component is missing, the rest cannot exist
    while (i <= gamePath.size()) {
        size_t j = i;
        while (j < gamePath.size() && gamePath[j] != '/' && gamePath[j] != '\\') ++j;
        std::string_view comp = gamePath.substr(i, j - i);
        if (!comp.empty()) {
            size_t baseLen = out.size();
            if (!out.empty() && out.back() != '/') out.push_back('/');
            size_t compAt = out.size();
            out.append(comp.data(), comp.size());
            if (!unresolved && comp != "." && comp != ".." && !PathExists(out)) {
                std::string folder = baseLen == 0 ? std::string(".") : out.substr(0, baseLen);
                std::string match;
                if (FindNoCase(folder, comp, &match)) {
                    out.resize(compAt);
                    out.append(match);
                } else {
                    unresolved = true;
                }
            }
        }
        i = j + 1;
    }
    if (out.empty() && !gamePath.empty()) out.push_back('.');
    return out;
}

bool FileExists(std::string_view gamePath) {
    struct stat st;
    return StatOf(gamePath, &st) && S_ISREG(st.st_mode);
}

bool FolderExists(std::string_view gamePath) {
    struct stat st;
    return StatOf(gamePath, &st) && S_ISDIR(st.st_mode);
}

int64_t FileSize(std::string_view gamePath) {
    struct stat st;
    if (!StatOf(gamePath, &st) || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool DeleteFile(std::string_view gamePath) {
    return ::unlink(HostPath(gamePath).c_str()) == 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
    return ::rename(HostPath(from).c_str(), HostPath(to).c_str()) == 0;
}

bool CreateFolder(std::string_view gamePath) {
    std::string p = HostPath(gamePath);
    if (::mkdir(p.c_str(), 0755) == 0) return true;
    return errno == EEXIST && FolderExists(gamePath);
}

bool CreateFolders(std::string_view gamePath) {
    std::string p = HostPath(gamePath);
    for (size_t i = 1; i <= p.size(); ++i) {
        if (i == p.size() || p[i] == '/') {
            std::string part = p.substr(0, i);
            if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
    }
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<FolderEntry> ListFolder(std::string_view gamePath) {
    std::vector<FolderEntry> entries;
    std::string folder = HostPath(gamePath);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return entries;
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        std::string full = folder + "/" + e->d_name;
        struct stat st;
        if (::stat(full.c_str(), &st) != 0) continue;  // dangling link or raced away
        FolderEntry fe;
        fe.name = e->d_name;
        fe.isFolder = S_ISDIR(st.st_mode);
        fe.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
        entries.push_back(std::move(fe));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

std::string ExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return std::string();
    return std::string(buf, static_cast<size_t>(n));
}

std::string ExecutableFolder() {
    std::string p = ExecutablePath();
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}

std::string WorkingFolder() {
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof(buf))) return std::string(".");
    return buf;
}

bool SetWorkingFolder(std::string_view gamePath) {
    return ::chdir(HostPath(gamePath).c_str()) == 0;
}

bool ReadWholeFile(std::string_view gamePath, std::vector<uint8_t>& out) {
    out.clear();
    File f;
    if (!f.Open(gamePath, File::Mode::Read)) return false;
    int64_t size = f.Size();
    if (size < 0) return false;
    out.resize(static_cast<size_t>(size));
    size_t got = 0;
    while (got < out.size()) {
        size_t done = 0;
        if (!f.Read(out.data() + got, out.size() - got, &done)) return false;
        if (done == 0) break;
        got += done;
    }
    out.resize(got);
    return true;
}

bool WriteWholeFile(std::string_view gamePath, const void* data, size_t size) {
    File f;
    if (!f.Open(gamePath, File::Mode::Write)) return false;
    size_t done = 0;
    return f.Write(data, size, &done) && done == size;
}

bool ReplaceWholeFile(std::string_view gamePath, const void* data, size_t size) {
    std::string path = HostPath(gamePath);
    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0644) == 0;
    size_t put = 0;
    while (ok && put < size) {
        ssize_t n = ::write(fd, static_cast<const char*>(data) + put, size - put);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        put += static_cast<size_t>(n);
    }
    ok = ok && put == size && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

File::~File() { Close(); }

File::File(File&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool File::Open(std::string_view gamePath, Mode mode) {
    Close();
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read: flags |= O_RDONLY; break;
        case Mode::Write: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
        case Mode::ReadWrite: flags |= O_RDWR; break;
        case Mode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
    }
    std::string p = HostPath(gamePath);
    int fd = ::open(p.c_str(), flags, 0644);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void File::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool File::Read(void* buffer, size_t size, size_t* done) {
    size_t got = 0;
    while (m_fd >= 0 && got < size) {
        ssize_t n = ::read(m_fd, static_cast<char*>(buffer) + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (done) *done = got;
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (done) *done = got;
    return m_fd >= 0;
}

bool File::Write(const void* data, size_t size, size_t* done) {
    size_t put = 0;
    while (m_fd >= 0 && put < size) {
        ssize_t n = ::write(m_fd, static_cast<const char*>(data) + put, size - put);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        put += static_cast<size_t>(n);
    }
    if (done) *done = put;
    return m_fd >= 0 && put == size;
}

bool File::Seek(int64_t offset, Origin origin) {
    if (m_fd < 0) return false;
    int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
    return ::lseek(m_fd, static_cast<off_t>(offset), whence) >= 0;
}

int64_t File::Tell() const {
    if (m_fd < 0) return -1;
    return static_cast<int64_t>(::lseek(m_fd, 0, SEEK_CUR));
}

int64_t File::Size() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool File::Flush() { return m_fd >= 0 && ::fsync(m_fd) == 0; }

}  // namespace platform
