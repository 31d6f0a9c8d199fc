// SIGTERM and SIGINT (a terminal's Ctrl+C, a session's end) ask the program
// to end as a window close would: the main loop stops at its next frame and
// the normal clean-up runs. A second signal ends the process at once.
#pragma once

namespace platform {

// Installs the handlers and forgets an earlier request.
void InstallStopSignals();
// Puts the handlers found at installation back and forgets the request.
void RemoveStopSignals();
// Whether a stop signal came since the handlers were installed.
bool StopRequested();

}  // namespace platform
