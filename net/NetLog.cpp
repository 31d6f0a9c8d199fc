#include "net/NetLog.h"

#include <cstdio>

namespace {
std::function<void(const std::string&)>& Hook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}
}  // namespace

void NetLog(const std::string& line) {
    if (Hook()) {
        Hook()(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

void SetNetLogHook(std::function<void(const std::string&)> hook) { Hook() = std::move(hook); }
