#include "platform/Socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {
namespace {

thread_local int t_lastError = 0;

struct ErrnoMapping {
    int err;
    int code;
};

// errno values and the socket error numbers the game knows them by. EPIPE is
// a send to a peer that has gone, which the classic layer calls a reset.
constexpr ErrnoMapping kErrnoMap[] = {
    {EINTR, SOCKERR_INTR},
    {EBADF, SOCKERR_BADF},
    {EACCES, SOCKERR_ACCES},
    {EFAULT, SOCKERR_FAULT},
    {EINVAL, SOCKERR_INVAL},
    {EMFILE, SOCKERR_MFILE},
    {EWOULDBLOCK, SOCKERR_WOULDBLOCK},
    {EINPROGRESS, SOCKERR_INPROGRESS},
    {EALREADY, SOCKERR_ALREADY},
    {ENOTSOCK, SOCKERR_NOTSOCK},
    {EMSGSIZE, SOCKERR_MSGSIZE},
    {EPROTONOSUPPORT, SOCKERR_PROTONOSUPPORT},
    {EOPNOTSUPP, SOCKERR_OPNOTSUPP},
    {EAFNOSUPPORT, SOCKERR_AFNOSUPPORT},
    {EADDRINUSE, SOCKERR_ADDRINUSE},
    {EADDRNOTAVAIL, SOCKERR_ADDRNOTAVAIL},
    {ENETDOWN, SOCKERR_NETDOWN},
    {ENETUNREACH, SOCKERR_NETUNREACH},
    {ECONNABORTED, SOCKERR_CONNABORTED},
    {ECONNRESET, SOCKERR_CONNRESET},
    {EPIPE, SOCKERR_CONNRESET},
    {ENOBUFS, SOCKERR_NOBUFS},
    {EISCONN, SOCKERR_ISCONN},
    {ENOTCONN, SOCKERR_NOTCONN},
    {ESHUTDOWN, SOCKERR_SHUTDOWN},
    {ETIMEDOUT, SOCKERR_TIMEDOUT},
    {ECONNREFUSED, SOCKERR_CONNREFUSED},
    {EHOSTDOWN, SOCKERR_HOSTDOWN},
    {EHOSTUNREACH, SOCKERR_HOSTUNREACH},
};

void SetFromErrno() { t_lastError = SocketErrorFromErrno(errno); }

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool SocketStartup() { return true; }
void SocketCleanup() {}

int SocketErrorFromErrno(int err) {
    for (const ErrnoMapping& m : kErrnoMap)
        if (m.err == err) return m.code;
    // Not one the game tells apart: the system's own number still reaches the
    // generic message, with the system's text.
    return err;
}

std::string SocketErrorText(int error) {
    int err = 0;
    for (const ErrnoMapping& m : kErrnoMap) {
        if (m.code == error) {
            err = m.err;
            break;
        }
    }
    if (err == 0 && error > 0 && error < 4096) err = error;
    if (err == 0) return {};
    char buf[256];
    // The GNU strerror_r returns the text, which may or may not be buf.
    const char* text = strerror_r(err, buf, sizeof(buf));
    if (!text || std::strncmp(text, "Unknown error", 13) == 0) return {};
    return text;
}

int SocketLastError() { return t_lastError; }
void SocketSetLastError(int error) { t_lastError = error; }

SocketHandle SocketOpen(SocketKind kind) {
    int type = kind == SOCKET_STREAM ? SOCK_STREAM : kind == SOCKET_DATAGRAM ? SOCK_DGRAM : -1;
    if (type < 0) {
        t_lastError = SOCKERR_INVAL;
        return kInvalidSocket;
    }
    int s = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (s < 0) {
        SetFromErrno();
        return kInvalidSocket;
    }
    return s;
}

bool SocketBind(SocketHandle s, uint16_t port) {
    int on = 1;
    if (::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0) {
        SetFromErrno();
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) {
        SetFromErrno();
        return false;
    }
    return true;
}

bool SocketConnect(SocketHandle s, const char* address, uint16_t port, int timeoutMs) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (!address || ::inet_pton(AF_INET, address, &addr.sin_addr) != 1) {
        t_lastError = SOCKERR_ADDRNOTAVAIL;
        return false;
    }
    // Connect without blocking and wait for the outcome, so the wait has the
    // classic layer's limit; the socket is blocking again afterwards.
    const int flags = ::fcntl(s, F_GETFL);
    if (flags < 0 || ::fcntl(s, F_SETFL, flags | O_NONBLOCK) != 0) {
        SetFromErrno();
        return false;
    }
    bool ok = ::connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0;
    if (!ok && (errno == EINPROGRESS || errno == EINTR)) {
        int ready = SocketWaitFor(s, SOCKET_WRITABLE, timeoutMs);
        int err = 0;
        socklen_t len = sizeof(err);
        if (ready == 0) {
            t_lastError = SOCKERR_TIMEDOUT;
        } else if (ready > 0 && ::getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &len) != 0) {
            SetFromErrno();
        } else if (ready > 0) {
            ok = err == 0;
            if (!ok) t_lastError = SocketErrorFromErrno(err);
        }
    } else if (!ok) {
        SetFromErrno();
    }
    ::fcntl(s, F_SETFL, flags);
    return ok;
}

void SocketClose(SocketHandle s) {
    if (s != kInvalidSocket) ::close(s);
}

int SocketWaitFor(SocketHandle s, SocketWait what, int timeoutMs) {
    if (timeoutMs < 0) timeoutMs = 0;
    const int64_t deadline = NowMs() + timeoutMs;
    pollfd p{};
    p.fd = s;
    p.events = what == SOCKET_READABLE ? POLLIN : POLLOUT;
    for (;;) {
        int left = static_cast<int>(deadline - NowMs());
        if (left < 0) left = 0;
        int rc = ::poll(&p, 1, left);
        if (rc < 0) {
            if (errno == EINTR) continue;
            SetFromErrno();
            return -1;
        }
        if (rc == 0) return 0;
        if (p.revents & POLLNVAL) {
            t_lastError = SOCKERR_NOTSOCK;
            return -1;
        }
        return 1;
    }
}

long SocketSend(SocketHandle s, const void* data, size_t size) {
    ssize_t n;
    do {
        // Never blocks: a full send buffer must not hold the caller past its time-out.
        n = ::send(s, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
    if (n < 0) {
        SetFromErrno();
        return -1;
    }
    return static_cast<long>(n);
}

long SocketRecv(SocketHandle s, void* buffer, size_t size) {
    ssize_t n;
    do {
        n = ::recv(s, buffer, size, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        SetFromErrno();
        return -1;
    }
    return static_cast<long>(n);
}

}  // namespace platform
