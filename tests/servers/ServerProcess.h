// A real server program started by a test (nginx, pyftpdlib): its output goes
// to a log file, readiness is a bounded poll of its port, and it is stopped by
// its own process id, never by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A loopback port that was free a moment ago (the system's pick).
uint16_t FreeLoopbackPort();
// True when 127.0.0.1:port accepts a connection.
bool CanConnectLoopback(uint16_t port);

// A server's log file, and the number of its lines that hold text.
std::string ReadLogFile(const std::string& path);
int CountLinesWith(const std::string& log, const std::string& text);

class CServerProcess {
public:
    CServerProcess() = default;
    ~CServerProcess() { Stop(); }
    CServerProcess(const CServerProcess&) = delete;
    CServerProcess& operator=(const CServerProcess&) = delete;

    // argv[0] is the program's full path; standard output and error go to logPath.
    bool Start(const std::vector<std::string>& argv, const std::string& logPath);
    // Polls until the port accepts connections (true) or the program has ended
    // or timeoutMs has passed (false).
    bool WaitForPort(uint16_t port, int timeoutMs);
    // SIGTERM, then SIGKILL when it has not ended within a few seconds.
    void Stop();
    bool Running() const { return m_pid > 0; }

private:
    int m_pid = -1;
};
