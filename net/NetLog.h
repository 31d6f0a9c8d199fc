// One line of the network's log: what the client dropped or refused from the
// server, for whoever reads standard error. Tests catch the lines with a hook.
#pragma once

#include <functional>
#include <string>

void NetLog(const std::string& line);
// Null restores standard error.
void SetNetLogHook(std::function<void(const std::string&)> hook);
