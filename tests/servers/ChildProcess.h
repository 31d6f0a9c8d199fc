// A helper server run as a child process by the tests (aiosmtpd, dnsmasq):
// started without a shell, its output kept in a log file, stopped by its
// process id (SIGTERM, then SIGKILL when it does not end in time).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess() { Stop(); }
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // args[0] is the program's full path; standard output and error go to logPath.
    bool Start(const std::vector<std::string>& args, const std::string& logPath);
    // True while the child has not ended.
    bool Running();
    void Stop();
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

// A loopback port that is free for TCP and UDP right now. Another program may
// take it before the caller does, so callers retry with a new port when their
// server cannot bind.
uint16_t FreeLoopbackPort();

// The number of lines of a log that contain text.
int CountLinesWith(const std::string& log, const std::string& text);

// Polls (bounded) until something accepts TCP connections on 127.0.0.1:port
// and, when greeting is given, sends a first line that starts with it.
bool WaitForTcpServer(uint16_t port, CChildProcess& child, const std::string& greeting, int timeoutMs);
