// Failures of the network turned into message-table texts in the error report.
// Both return 0 so a caller can end with `return ReportNetError(27);`.
#pragma once

#include <cstdint>

// Message-table numbers of the network's own texts.
enum NetMessage : int {
    NETMSG_NORMAL = 25,           // generic: takes the error number and the system's text
    NETMSG_CONNECT_REFUSED = 26,  // the server refused the connection
    NETMSG_CONNECT_TIMEOUT = 27,  // no answer in time
    NETMSG_DISCONNECT = 28,       // the connection was closed or broken
    NETMSG_NOT_ADDRESS = 29,      // no such address
    NETMSG_NOT_CABLE = 32,        // the host or the network cannot be reached
};

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
