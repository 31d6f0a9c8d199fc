#include "tests/servers/ChildProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "tests/fixtures/ProgramOutput.h"

bool CChildProcess::Start(const std::vector<std::string>& args, const std::string& logPath) {
    Stop();
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0) return false;
    m_pid = SpawnProgram(args, log, true);
    close(log);
    return m_pid > 0;
}

bool CChildProcess::Running() {
    if (m_pid <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == 0) return true;
    if (r == m_pid || (r < 0 && errno == ECHILD)) m_pid = -1;
    return m_pid > 0;
}

void CChildProcess::Stop() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (!Running()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

uint16_t FreeLoopbackPort() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int tcp = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(addr);
        uint16_t port = 0;
        if (tcp >= 0 && bind(tcp, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
            getsockname(tcp, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            port = ntohs(addr.sin_port);
        // The same number must be free for UDP too (a name server listens on both).
        const int udp = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const bool udpFree = port && udp >= 0 && bind(udp, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
        if (udp >= 0) close(udp);
        if (tcp >= 0) close(tcp);
        if (udpFree) return port;
    }
    return 0;
}

int CountLinesWith(const std::string& log, const std::string& text) {
    int n = 0;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        if (log.substr(start, end - start).find(text) != std::string::npos) ++n;
        start = end + 1;
    }
    return n;
}

bool WaitForTcpServer(uint16_t port, CChildProcess& child, const std::string& greeting, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        if (!child.Running()) return false;
        const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool ready = s >= 0 && connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
        if (ready && !greeting.empty()) {
            std::string line;
            char c = 0;
            pollfd p{s, POLLIN, 0};
            while (line.size() < 512 && poll(&p, 1, 2000) > 0 && recv(s, &c, 1, 0) == 1 && c != '\n') line += c;
            ready = line.compare(0, greeting.size(), greeting) == 0;
        }
        if (s >= 0) close(s);
        if (ready) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}
