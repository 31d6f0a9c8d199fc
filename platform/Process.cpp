// POSIX process services. See Process.h.
#include "platform/Process.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/File.h"

extern char** environ;

namespace platform {
namespace {

std::mutex g_spawnMutex;
SpawnHook g_spawnHook;

const passwd* Account() { return ::getpwuid(::getuid()); }

bool IsAbsoluteFolder(const char* path) { return path && path[0] == '/'; }

}  // namespace

std::string InstanceLock::LockPath(std::string_view name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = IsAbsoluteFolder(runtime) ? runtime : "/tmp";
    path += "/qor-" + std::to_string(::getuid()) + "-";
    // Mutex names may hold any character; keep the file name plain.
    for (char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_' || c == '.';
        path += plain ? c : '_';
    }
    return path + ".lock";
}

InstanceLock::InstanceLock(std::string_view name) {
    // Close-on-exec: a program this one starts must not inherit the lock.
    m_fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return;
    int r;
    do {
        r = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        m_heldElsewhere = errno == EWOULDBLOCK;
        ::close(m_fd);
        m_fd = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) ::close(m_fd);  // the lock goes with the descriptor; the file may stay
}

bool Spawn(std::string_view program, const std::vector<std::string>& args, int* pid) {
    if (pid) *pid = -1;
    SpawnHook hook;
    {
        std::lock_guard<std::mutex> lock(g_spawnMutex);
        hook = g_spawnHook;
    }
    if (hook) return hook(std::string(program), args);
    if (program.empty()) return false;

    std::string path;
    bool search = false;
    if (program.find_first_of("/\\") != std::string_view::npos) {
        path = HostPath(program);
    } else if (FileExists(program)) {
        path = "./" + HostPath(program);
    } else {
        path = std::string(program);
        search = true;
    }

    std::vector<char*> argv;
    argv.push_back(path.data());
    std::vector<std::string> copies(args);
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t child = -1;
    int r = search ? ::posix_spawnp(&child, path.c_str(), nullptr, nullptr, argv.data(), environ)
                   : ::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ);
    if (r != 0) return false;
    if (pid) *pid = child;
    return true;
}

void SetSpawnHook(SpawnHook hook) {
    std::lock_guard<std::mutex> lock(g_spawnMutex);
    g_spawnHook = std::move(hook);
}

std::string PickUserName(const char* accountName, const char* userVariable) {
    if (accountName && *accountName) return accountName;
    if (userVariable && *userVariable) return userVariable;
    return "Unknown";
}

std::string UserName() {
    const passwd* pw = Account();
    return PickUserName(pw ? pw->pw_name : nullptr, std::getenv("USER"));
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsoluteFolder(home)) return home;
    const passwd* pw = Account();
    if (pw && IsAbsoluteFolder(pw->pw_dir)) return pw->pw_dir;
    return "/tmp";
}

std::string DocumentsFolder() {
    const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
    if (IsAbsoluteFolder(documents)) return documents;
    std::string home = HomeFolder();
    struct stat st;
    std::string candidate = home + "/Documents";
    if (::stat(candidate.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return candidate;
    return home;
}

}  // namespace platform
