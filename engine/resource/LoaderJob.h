// Work that runs on the loader thread. The screens are jobs: their background
// job is the long load they run beside the main loop.
#pragma once

class CLoaderJob {
public:
    virtual ~CLoaderJob() = default;
    // Runs on the loader thread; its result becomes the thread's exit code.
    virtual int Job() = 0;
};
