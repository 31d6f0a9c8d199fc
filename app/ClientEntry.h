// The client's start: one copy only, started by the patcher with "go" (else
// the launcher is started instead), then the application's creation and main
// loop. The program's main hands in how the application is made, so tests run
// the same start with test windows and devices.
#pragma once

#include <functional>
#include <memory>
#include <string>

class CGameApp;

struct ClientEntryHooks {
    // Makes the application for the command line with its window, device and
    // input makers set. Tests return an application on test services.
    std::function<std::unique_ptr<CGameApp>(const std::string& commandLine)> makeApp;
    // Whether a fatal signal leaves a dump for the patcher (off in tests).
    bool installCrashHandler = true;
};

// argument: the program's first argument; wholeCommandLine is compared
// instead when it is empty. Returns the process's exit code (always 0).
int ClientMain(const std::string& argument, const std::string& wholeCommandLine, const ClientEntryHooks& hooks);
