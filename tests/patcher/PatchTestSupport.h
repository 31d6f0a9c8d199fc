// Shared pieces of the patcher's tests: an isolated environment (in-memory
// registry, recorded spawns and message boxes, a private runtime folder for
// the instance lock) and a view that records what the engine shows.
#pragma once

#include <mutex>
#include <string>
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
