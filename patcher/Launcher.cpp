#include "patcher/Launcher.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/File.h"
#include "platform/Process.h"

namespace {

bool StartPatcher(const std::string& folder) {
    return platform::Spawn(platform::HostPath(folder + "/QORPatch.run"), {"QOR"});
}

}  // namespace

int RunLauncher(const std::string& argument, const std::string& folder, int waitMilliseconds) {
    if (argument == "Morvane" || argument == "QOR") return StartPatcher(folder) ? 0 : 1;
    if (argument != "QORPatchTemp.tmp") {
        std::fprintf(stderr, "QOR: start QORPatch.run QOR to play\n");
        return 1;
    }
    // The old patcher still holds its lock while it ends.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    while (true) {
        bool busy = platform::InstanceLock("Morvane").HeldElsewhere();
        if (!busy) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "QOR: the patcher did not end\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string temp = platform::HostPath(folder + "/QORPatchTemp.tmp");
    std::string patcher = platform::HostPath(folder + "/QORPatch.run");
    if (::chmod(temp.c_str(), 0755) != 0 || !platform::RenameFile(temp, patcher)) {
        std::fprintf(stderr, "QOR: cannot put the new patcher in place\n");
        return 1;
    }
    return StartPatcher(folder) ? 0 : 1;
}
