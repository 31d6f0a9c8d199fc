#include "tests/patcher/PatchTestSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/MessageSink.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "tests/fixtures/ProgramOutput.h"

PatchTestEnvironment::PatchTestEnvironment() : m_runtimeEnv("XDG_RUNTIME_DIR", m_runtime.path().c_str()) {
    platform::SetRegistry(platform::CreateMemoryRegistry());
    platform::SetSpawnHook([this](const std::string& program, const std::vector<std::string>& args) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string line = program;
        for (const std::string& a : args) line += " " + a;
        spawns.push_back(line);
        return spawnResult;
    });
    platform::SetMessageHook([this](const std::string&, const std::string& text) {
        std::lock_guard<std::mutex> lock(m_mutex);
        messages.push_back(text);
    });
}

PatchTestEnvironment::~PatchTestEnvironment() {
    platform::SetSpawnHook(nullptr);
    platform::SetMessageHook(nullptr);
    platform::SetRegistry(platform::CreateMemoryRegistry());
}

void CRecordingPatchView::StatusChanged(const std::string& status) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_statuses.push_back(status);
}

void CRecordingPatchView::TotalProgress(uint32_t position, uint32_t range) {
    totalPosition = position;
    totalRange = range;
}

void CRecordingPatchView::FileProgress(uint32_t position, uint32_t range) {
    if (position > range) fileOverRange = true;
    filePosition = position;
    fileRange = range;
}

std::vector<std::string> CRecordingPatchView::Statuses() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_statuses;
}

int StartChild(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
               const std::string& logPath) {
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0) return -1;
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    const pid_t pid = SpawnProgram(all, log, true, folder);
    ::close(log);
    return pid;
}

int WaitChild(int pid, int timeoutMs) {
    if (pid <= 0) return -1;  // never any child but this one
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
