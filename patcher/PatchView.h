// What the patch engine shows while it runs. The patch dialog implements it;
// the text front end writes the status to standard error; tests record it.
// Every call comes from the worker thread.
#pragma once

#include <cstdint>
#include <string>

class IPatchView {
public:
    virtual ~IPatchView() = default;
    // The status line changed. Returns once the front end has copied the text
    // (or at once while it closes), so the worker never runs ahead of the screen.
    virtual void StatusChanged(const std::string& status) = 0;
    // The overall bar (files) and the per-file bar (thousands of bytes).
    virtual void TotalProgress(uint32_t position, uint32_t range) = 0;
    virtual void FileProgress(uint32_t position, uint32_t range) = 0;
    // Every file is up to date: Start now launches the client, re-patch is offered.
    virtual void PatchFinished() = 0;
    // The worker has ended (PATCH_FLAG_WORKER_DONE is set); the front end
    // then ends it and applies the hand-over (CPatchEngine::HandOver).
    virtual void WorkerEnded() {}
};

// A front end that shows nothing (benchmarks, the text front end's bars).
class CNullPatchView : public IPatchView {
public:
    void StatusChanged(const std::string&) override {}
    void TotalProgress(uint32_t, uint32_t) override {}
    void FileProgress(uint32_t, uint32_t) override {}
    void PatchFinished() override {}
};
