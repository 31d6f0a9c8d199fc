#include "platform/StopSignals.h"

#include <csignal>

namespace platform {

namespace {

volatile sig_atomic_t g_stopRequested = 0;
struct sigaction g_oldTerm, g_oldInt;
bool g_installed = false;

void OnStopSignal(int) {
    g_stopRequested = 1;
    // The next one takes the default way out: a program stuck in its clean-up can still be ended.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    sigaction(SIGTERM, &plain, nullptr);
    sigaction(SIGINT, &plain, nullptr);
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    g_stopRequested = 0;
    sigaction(SIGTERM, &action, g_installed ? nullptr : &g_oldTerm);
    sigaction(SIGINT, &action, g_installed ? nullptr : &g_oldInt);
    g_installed = true;
}

void RemoveStopSignals() {
    if (g_installed) {
        sigaction(SIGTERM, &g_oldTerm, nullptr);
        sigaction(SIGINT, &g_oldInt, nullptr);
    }
    g_installed = false;
    g_stopRequested = 0;
}

bool StopRequested() { return g_stopRequested != 0; }

}  // namespace platform
