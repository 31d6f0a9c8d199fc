// The launcher "QOR.exe": starts the patcher, and completes a patcher's
// self-update by putting the new patcher in place once the old one has ended.
#pragma once

#include <string>

// "Morvane" or "QOR": start "QORPatch.run QOR". "QORPatchTemp.tmp": wait (at
// most waitMilliseconds) until no patcher runs, rename the new patcher over
// "QORPatch.run" and start it. Works in the game folder; 0 on success.
int RunLauncher(const std::string& argument, const std::string& folder, int waitMilliseconds = 30000);
