// The patcher program's start: one instance at a time, the language of the
// game folder, and the choice between the patch and the crash report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class PatchAppMode { Patch, CrashReport, Unknown };

// The job a command line asks for; for a crash report *dumpName receives the
// text after the first blank (the whole line when there is none).
PatchAppMode ChooseMode(const std::string& commandLine, std::string* dumpName);

// The language id of a LANGUAGE value, or 0 with *error set to the box text.
uint16_t LanguageIdOf(const std::string& language, std::string* error);

// The program's command line: the arguments after the program, joined by one blank.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// The whole start-up of "QORPatch.run <command line>" in a game folder; the
// process exit status (0 when nothing failed).
int RunPatchApp(const std::string& commandLine, const std::string& folder);
