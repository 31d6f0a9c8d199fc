#include "patcher/PatchApp.h"

#include <cstdio>

#include "patcher/PatchEngine.h"
#include "patcher/PatchStrings.h"
#include "patcher/TextPatchView.h"
#include "patcher/ZEMPatchDlg.h"
#include "patcher/mail/ZEMErrorDlg.h"
#include "platform/Dialog.h"
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

int RunPatchDialog(uint16_t languageId, const std::string& commandLine, const std::string& folder) {
    CZEMPatchDlg dialog(languageId);
    if (!dialog.LoadPatchConfig(commandLine, folder)) return 0;
    dialog.OnInitDialog();
    return dialog.RunModal();
}

int RunPatch(uint16_t languageId, const std::string& commandLine, const std::string& folder) {
    // The display is checked before FLTK touches it: FLTK's own failure ends the process.
    if (platform::StartDialogs()) return RunPatchDialog(languageId, commandLine, folder);
    // Without a display the patch still runs, reporting on standard error.
    CTextPatchView view;
    CPatchEngine engine(languageId, view);
    if (!engine.LoadPatchConfig(commandLine, folder)) return 0;
    // No window to paint: the worker may start at once.
    engine.SetReady();
    engine.StartWorker();
    PatchHandOverChoice choice = engine.HandOver();
    if (!choice.close) return 0;
    std::string error = engine.ErrorText();
    if (!error.empty()) platform::ShowMessage("Patch Message", error);
    // A key-file update hands over to the launcher: that is no failure.
    return choice.launcherArgument && error.empty() ? 0 : 1;
}

int RunCrashReport(uint16_t languageId, const std::string& commandLine, const std::string& dumpName,
                   const std::string& folder) {
    if (!platform::StartDialogs()) {
        std::fprintf(stderr, "QORPatch: no display for the crash report; the dump %s is kept.\n", dumpName.c_str());
        return 1;
    }
    CZEMErrorDlg dialog(languageId);
    dialog.SetDumpName(dumpName, folder);
    dialog.SetCommandLine("QORPatch.run " + commandLine);
    dialog.OnInitDialog();
    return dialog.RunModal();
}

}  // namespace

int RunPatchApp(const std::string& commandLine, const std::string& folder) {
    platform::InstanceLock lock("Morvane");
    if (lock.HeldElsewhere()) return 0;

    std::string error;
    uint16_t languageId = LanguageIdOf(
        platform::GetProfileString("INFO", "LANGUAGE", "", platform::HostPath(folder + "/VAZE.INI")), &error);
    if (!languageId) {
        platform::ShowMessage("Patch Error", error);
        return 1;
    }

    std::string dumpName;
    switch (ChooseMode(commandLine, &dumpName)) {
        case PatchAppMode::Patch:
            return RunPatch(languageId, commandLine, folder);
        case PatchAppMode::CrashReport:
            return RunCrashReport(languageId, commandLine, dumpName, folder);
        case PatchAppMode::Unknown:
            platform::ShowMessage("", commandLine);
            return 0;
    }
    return 0;
}
