#include "tests/servers/ScriptedSmtpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {

// Waits for fd to become readable, a little at a time so a stop is noticed.
bool WaitReadable(int fd, const std::atomic<bool>& stop, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs && !stop; waited += 50) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) > 0) return true;
    }
    return false;
}

}  // namespace

CScriptedSmtpPeer::CScriptedSmtpPeer() {
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    if (m_listen >= 0 && bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
        listen(m_listen, 4) == 0 && getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        m_port = ntohs(addr.sin_port);
}

CScriptedSmtpPeer::~CScriptedSmtpPeer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_client >= 0) close(m_client);
    if (m_listen >= 0) close(m_listen);
}

CScriptedSmtpPeer& CScriptedSmtpPeer::Accept() {
    m_steps.push_back({Step::ACCEPT, {}, 0});
    return *this;
}
CScriptedSmtpPeer& CScriptedSmtpPeer::Send(std::string bytes) {
    m_steps.push_back({Step::SEND, std::move(bytes), 0});
    return *this;
}
CScriptedSmtpPeer& CScriptedSmtpPeer::Pause(int ms) {
    m_steps.push_back({Step::PAUSE, {}, ms});
    return *this;
}
CScriptedSmtpPeer& CScriptedSmtpPeer::Expect(std::string prefix) {
    m_steps.push_back({Step::EXPECT, std::move(prefix), 0});
    return *this;
}
CScriptedSmtpPeer& CScriptedSmtpPeer::ExpectData() {
    m_steps.push_back({Step::DATA, {}, 0});
    return *this;
}
CScriptedSmtpPeer& CScriptedSmtpPeer::Close() {
    m_steps.push_back({Step::CLOSE, {}, 0});
    return *this;
}

void CScriptedSmtpPeer::Start() {
    m_thread = std::thread([this] { Run(); });
}

bool CScriptedSmtpPeer::WaitDone(int timeoutMs) {
    for (int waited = 0; waited < timeoutMs && !m_done; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return m_done;
}

std::vector<std::string> CScriptedSmtpPeer::Failures() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failures;
}
std::vector<std::string> CScriptedSmtpPeer::Lines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}
std::string CScriptedSmtpPeer::Data() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_data;
}

bool CScriptedSmtpPeer::Fail(std::string text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failures.push_back(std::move(text));
    return false;
}

bool CScriptedSmtpPeer::ReadLine(std::string* line) {
    for (;;) {
        const size_t end = m_buffered.find('\n');
        if (end != std::string::npos) {
            *line = m_buffered.substr(0, end);
            if (!line->empty() && line->back() == '\r') line->pop_back();
            m_buffered.erase(0, end + 1);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lines.push_back(*line);
            return true;
        }
        if (!WaitReadable(m_client, m_stop, 10000)) return false;
        char buffer[4096];
        const ssize_t n = recv(m_client, buffer, sizeof(buffer), 0);
        if (n <= 0) return false;
        m_buffered.append(buffer, static_cast<size_t>(n));
    }
}

void CScriptedSmtpPeer::Run() {
    for (const Step& step : m_steps) {
        if (m_stop) break;
        bool ok = true;
        std::string line;
        switch (step.kind) {
            case Step::ACCEPT:
                ok = WaitReadable(m_listen, m_stop, 10000) &&
                     (m_client = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;
                if (ok) {
                    int on = 1;
                    setsockopt(m_client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
                } else {
                    Fail("no client");
                }
                break;
            case Step::SEND:
                ok = send(m_client, step.text.data(), step.text.size(), MSG_NOSIGNAL) ==
                         static_cast<ssize_t>(step.text.size()) ||
                     Fail("send failed");
                break;
            case Step::PAUSE:
                std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
                break;
            case Step::EXPECT:
                if (!ReadLine(&line))
                    ok = Fail("expected " + step.text + ", got nothing");
                else if (line.compare(0, step.text.size(), step.text) != 0)
                    ok = Fail("expected " + step.text + ", got " + line);
                break;
            case Step::DATA: {
                std::string data;
                while ((ok = ReadLine(&line)) && line != ".") data += line + "\r\n";
                if (!ok) Fail("the data did not end");
                std::lock_guard<std::mutex> lock(m_mutex);
                m_data = data;
                break;
            }
            case Step::CLOSE:
                if (m_client >= 0) close(m_client);
                m_client = -1;
                break;
        }
        if (!ok) break;
    }
    m_done = true;
}
