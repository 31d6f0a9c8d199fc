#include "patcher/PatchApp.h"

#include "patcher/PatchEngine.h"
#include "patcher/PatchStrings.h"
#include "patcher/TextPatchView.h"
#include "platform/File.h"
#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/Process.h"

PatchAppMode ChooseMode(const std::string& commandLine, std::string* dumpName) {
    if (commandLine.find(".dmp") != std::string::npos) {
        if (dumpName) {
            size_t blank = commandLine.find(' ');
            *dumpName = blank == std::string::npos ? commandLine : commandLine.substr(blank + 1);
        }
        return PatchAppMode::CrashReport;
    }
    if (commandLine.empty() || commandLine == "QOR") return PatchAppMode::Patch;
    return PatchAppMode::Unknown;
}

uint16_t LanguageIdOf(const std::string& language, std::string* error) {
    if (language == "KOR") return kLanguageKorean;
    if (language == "ENG" || language == "USA" || language == "SG") return kLanguageEnglish;
    if (error) *error = language.empty() ? "Unknown LanguageID!" : "Unknown LanguageID!!";
    return 0;
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i) line += ' ';
        line += arguments[i];
    }
    return line;
}

namespace {

int RunPatch(uint16_t languageId, const std::string& commandLine, const std::string& folder) {
    CTextPatchView view;
    CPatchEngine engine(languageId, view);
    if (!engine.LoadPatchConfig(commandLine, folder)) return 0;
    // No window to paint: the worker may start at once.
    engine.SetReady();
    engine.StartWorker();
    engine.WaitWorker();
    PatchHandOverChoice choice = PatchHandOver(engine.Flags());
    if (choice.launcherArgument && !engine.StartLauncher(choice.launcherArgument))
        engine.SetErrorText(engine.LoadLocalString(107));
    if (!choice.close) return 0;
    std::string error = engine.ErrorText();
    if (!error.empty()) platform::ShowMessage("Patch Message", error);
    // A key-file update hands over to the launcher: that is no failure.
    return choice.launcherArgument && error.empty() ? 0 : 1;
}

}  // namespace

int RunPatchApp(const std::string& commandLine, const std::string& folder) {
    platform::InstanceLock lock("Morvane");
    if (lock.HeldElsewhere()) return 0;

    std::string error;
    uint16_t languageId =
        LanguageIdOf(platform::GetProfileString("INFO", "LANGUAGE", "", platform::HostPath(folder + "/VAZE.INI")),
                     &error);
    if (!languageId) {
        platform::ShowMessage("Patch Error", error);
        return 1;
    }

    std::string dumpName;
    switch (ChooseMode(commandLine, &dumpName)) {
        case PatchAppMode::Patch:
            return RunPatch(languageId, commandLine, folder);
        case PatchAppMode::CrashReport:
            // The crash report is not written yet: the dump stays for it.
            return 0;
        case PatchAppMode::Unknown:
            platform::ShowMessage("", commandLine);
            return 0;
    }
    return 0;
}
