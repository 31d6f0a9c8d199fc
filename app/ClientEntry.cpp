// The client's start.
#include "app/ClientEntry.h"

#include "app/GameApp.h"
#include "platform/Crash.h"
#include "platform/File.h"
#include "platform/MessageSink.h"
#include "platform/Process.h"
#include "platform/StopSignals.h"

int ClientMain(const std::string& argument, const std::string& wholeCommandLine, const ClientEntryHooks& hooks) {
    // The lock is held for the whole run; a second copy ends before any window.
    platform::InstanceLock lock("-Morvane-");
    if (lock.HeldElsewhere()) return 0;

    const std::string& word = argument.empty() ? wholeCommandLine : argument;
    if (word != "go") {
        if (!platform::Spawn("QOR.exe", {"Morvane"})) platform::ShowMessage("Morvane", "Cannot execute the file.!");
        return 0;
    }

    std::unique_ptr<CGameApp> app = hooks.makeApp ? hooks.makeApp(word) : nullptr;
    if (!app) return 0;
    if (hooks.installCrashHandler) {
        // The folder the options recorded at start-up; the current one when they never loaded.
        const std::string& folder = app->Options().workingFolder;
        const std::string patcher = (folder.empty() ? platform::WorkingFolder() : folder) + "\\QORPatch.run";
        platform::InstallCrashHandler(platform::HostPath(patcher), CGameApp::kVersionValue);
    }
    // SIGTERM and SIGINT end the loop as a window close does; the clean-up
    // below (options saved, device released) runs either way.
    platform::InstallStopSignals();
    if (!app->CreateApp() || !app->RunMessageLoop()) app->ShowError();
    app.reset();
    platform::RemoveStopSignals();
    return 0;
}
