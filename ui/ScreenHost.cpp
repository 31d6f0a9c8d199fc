// The process-wide screen host.
#include "ui/ScreenHost.h"

namespace {
IScreenHost* g_screenHost = nullptr;
}  // namespace

IScreenHost* ScreenHost() { return g_screenHost; }

void RegisterScreenHost(IScreenHost* host) {
    if (!g_screenHost) g_screenHost = host;
}

void WithdrawScreenHost(IScreenHost* host) {
    if (g_screenHost == host) g_screenHost = nullptr;
}
