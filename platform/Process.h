// Process services: the single-instance lock, starting another program, and
// the user's name and documents folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A lock named like the original's named mutex, held for the object's life.
// It is an flock on "qor-<uid>-<name>.lock" in $XDG_RUNTIME_DIR (or /tmp), so
// it is per user and vanishes with the process that held it, however it ended.
// When the lock file cannot be opened at all the lock counts as free: a broken
// runtime folder must not keep the player from starting the game.
class InstanceLock {
public:
    explicit InstanceLock(std::string_view name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another instance (another process, or another InstanceLock
    // of this one) already held the name when this one was made.
    bool HeldElsewhere() const { return m_heldElsewhere; }

    // The lock file used for a name.
    static std::string LockPath(std::string_view name);

private:
    int m_fd = -1;
    bool m_heldElsewhere = false;
};

// Starts program with the given arguments (argv[0] is the program), without a
// shell: every argument arrives exactly as given. A program named without a
// folder is looked for in the working folder first, then along $PATH, as the
// original's process calls did; a game path is found case-insensitively.
// True when the program started; *pid (if given) receives its process id so the
// caller can wait for it.
bool Spawn(std::string_view program, const std::vector<std::string>& args, int* pid = nullptr);

// Tests install a hook that receives every spawn instead of the system; its
// result is Spawn's result. An empty hook restores real spawning.
using SpawnHook = std::function<bool(const std::string& program, const std::vector<std::string>& args)>;
void SetSpawnHook(SpawnHook hook);

// The login name (the account database, then $USER), or "Unknown".
std::string UserName();
// The choice UserName makes, given the account name and $USER (either may be null or empty).
std::string PickUserName(const char* accountName, const char* userVariable);

// $HOME, else the account's home folder, else "/tmp".
std::string HomeFolder();
// $XDG_DOCUMENTS_DIR, else ~/Documents when it exists, else the home folder.
std::string DocumentsFolder();

}  // namespace platform
