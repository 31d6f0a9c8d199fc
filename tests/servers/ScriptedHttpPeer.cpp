#include "tests/servers/ScriptedHttpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Waits up to 50 ms for fd to become readable.
bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 50) > 0;
}

}  // namespace

bool CScriptedHttpPeer::Start() {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 || ::listen(m_listen, 8) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(m_listen);
        m_listen = -1;
        return false;
    }
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void CScriptedHttpPeer::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_listen >= 0) ::close(m_listen);
    m_listen = -1;
}

void CScriptedHttpPeer::Serve() {
    while (!m_stop) {
        if (!Readable(m_listen)) continue;
        int c = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        std::string request;
        char buf[1024];
        while (!m_stop && request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            if (!Readable(c)) continue;
            ssize_t n = ::recv(c, buf, sizeof(buf), 0);
            if (n <= 0) break;
            request.append(buf, static_cast<size_t>(n));
        }
        if (request.find("\r\n\r\n") != std::string::npos) {
            ++m_requests;
            ::send(c, m_response.data(), m_response.size(), MSG_NOSIGNAL);
            // Holds the connection open and silent until the client leaves or the test stops.
            while (m_stall && !m_stop) {
                if (Readable(c) && ::recv(c, buf, sizeof(buf), 0) <= 0) break;
            }
        }
        ::close(c);
    }
}
