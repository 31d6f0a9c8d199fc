// Shared pieces of the patcher's tests: an isolated environment (in-memory
// registry, recorded spawns and message boxes, a private runtime folder for
// the instance lock) and a view that records what the engine shows.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "patcher/PatchView.h"
#include "tests/fixtures/ScopedEnv.h"
#include "tests/fixtures/TempFolder.h"

class PatchTestEnvironment {
public:
    PatchTestEnvironment();
    ~PatchTestEnvironment();

    std::vector<std::string> spawns;    // "program arg1 arg2"
    std::vector<std::string> messages;  // message box texts
    bool spawnResult = true;

private:
    TempFolder m_runtime;
    ScopedEnv m_runtimeEnv;
    std::mutex m_mutex;
};

class CRecordingPatchView : public IPatchView {
public:
    void StatusChanged(const std::string& status) override;
    void TotalProgress(uint32_t position, uint32_t range) override;
    void FileProgress(uint32_t position, uint32_t range) override;
    void PatchFinished() override { finished = true; }

    std::vector<std::string> Statuses() const;
    bool finished = false;
    uint32_t totalPosition = 0, totalRange = 0;
    uint32_t filePosition = 0, fileRange = 0;
    bool fileOverRange = false;  // a position past its range was shown

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_statuses;
};

// Two versions of a game folder, the files a patch server publishes for one
// of them, and the player's folder, all in one test folder:
//   A: the sample game folder, stub key programs, NOTICE.TXT
//   B: A with a changed package, a new file two folders deep, a changed loose
//      file, files of 0, 9999, 10000, 10001 and 20000 bytes, a lower-case ".drp"
//      and a name that the URL must encode
class CPatchSite {
public:
    explicit CPatchSite(const std::string& root);

    std::string a, b, www, game, work;

    // Writes A and B with a VAZE.INI that points at the server.
    bool MakeVersions(const std::string& server, bool ftp);
    // Sets a [INFO] key of both versions' VAZE.INI.
    void SetIni(const std::string& key, const std::string& value);
    // The server's files for a version ("patch" below www).
    bool Publish(const std::string& version, uint32_t level);
    // The player's folder: a copy of the version.
    bool Install(const std::string& version);
    // Every file of the version has the same bytes in the player's folder.
    bool SameFiles(const std::string& version, std::string* diff) const;
    // Names of ".part" and ".DRZ" files left in the player's folder.
    std::vector<std::string> Leftovers() const;

    struct Result {
        uint32_t flags = 0;
        std::string error;
    };
    Result Run(bool repatch = false);
};

// Starts program with args in folder (standard input /dev/null, standard
// output and error appended to logPath); the child's process id, or -1.
int StartChild(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
               const std::string& logPath);
// Waits for the child (at most timeoutMs; then it is killed); its exit status, or -1.
int WaitChild(int pid, int timeoutMs);

// Polls until pred holds or the time is up.
template <typename Pred>
bool PollFor(int timeoutMs, Pred pred) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
