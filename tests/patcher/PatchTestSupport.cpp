#include "tests/patcher/PatchTestSupport.h"

#include "platform/MessageSink.h"
#include "platform/Process.h"
#include "platform/Registry.h"

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
