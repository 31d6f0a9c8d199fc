// Failures of the network turned into message-table texts in the error report.
// Both return 0 so a caller can end with `return ReportNetError(27);`.
#pragma once

#include <cstdint>

#include "engine/core/MessageTable.h"

// The code that leaves the choice to the platform's last socket error.
constexpr int kNetErrorFromSocket = 10000;

// Any code but 10000: that code and the message of the same number. 10000: the
// platform's last socket error picks the message; one the game does not tell
// apart gives the generic message with its number and the system's text.
int ReportNetError(int code);
// A server's result byte as code and text of the matching message; 48 stores
// nothing (its caller shows its own text).
int ReportServerResult(int resultCode);
// The message number a server result code maps to; 0 for 48 (none), -1 for
// the generic message.
int ServerResultMessage(int resultCode);
