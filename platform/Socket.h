// TCP and UDP sockets over IPv4 in the shape the game's network code was
// written for: blocking calls, readiness by poll, and failures read back as
// the classic socket error numbers (10049 address not available, 10054
// connection reset, 10060 timed out, 10061 refused, 10065 host unreachable...)
// because the game's error texts are chosen by those numbers. A send to a
// closed peer fails with an error instead of raising SIGPIPE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using SocketHandle = int;
constexpr SocketHandle kInvalidSocket = -1;

// Error numbers of the classic socket layer that the game tells apart.
enum SocketError : int {
    SOCKERR_NONE = 0,
    SOCKERR_INTR = 10004,
    SOCKERR_BADF = 10009,
    SOCKERR_ACCES = 10013,
    SOCKERR_FAULT = 10014,
    SOCKERR_INVAL = 10022,
    SOCKERR_MFILE = 10024,
    SOCKERR_WOULDBLOCK = 10035,
    SOCKERR_INPROGRESS = 10036,
    SOCKERR_ALREADY = 10037,
    SOCKERR_NOTSOCK = 10038,
    SOCKERR_MSGSIZE = 10040,
    SOCKERR_PROTONOSUPPORT = 10043,
    SOCKERR_OPNOTSUPP = 10045,
    SOCKERR_AFNOSUPPORT = 10047,
    SOCKERR_ADDRINUSE = 10048,
    SOCKERR_ADDRNOTAVAIL = 10049,
    SOCKERR_NETDOWN = 10050,
    SOCKERR_NETUNREACH = 10051,
    SOCKERR_CONNABORTED = 10053,
    SOCKERR_CONNRESET = 10054,
    SOCKERR_NOBUFS = 10055,
    SOCKERR_ISCONN = 10056,
    SOCKERR_NOTCONN = 10057,
    SOCKERR_SHUTDOWN = 10058,
    SOCKERR_TIMEDOUT = 10060,
    SOCKERR_CONNREFUSED = 10061,
    SOCKERR_HOSTDOWN = 10064,
    SOCKERR_HOSTUNREACH = 10065,
};

enum SocketKind : int { SOCKET_STREAM = 1, SOCKET_DATAGRAM = 2 };
enum SocketWait : int { SOCKET_READABLE = 1, SOCKET_WRITABLE = 2 };

// Start-up and clean-up of the socket layer (nothing to do on POSIX; kept so
// the program's start and end read as they always have).
bool SocketStartup();
void SocketCleanup();

// A new socket, or kInvalidSocket.
SocketHandle SocketOpen(SocketKind kind);
// Sets the reuse-address option and binds to any address on the port.
bool SocketBind(SocketHandle s, uint16_t port);
// How long a connect waits for the server before it fails with
// SOCKERR_TIMEDOUT: the classic layer's time, far shorter than Linux's own.
constexpr int kConnectTimeoutMs = 21000;

// Connect to a dotted IPv4 address, waiting at most timeoutMs. The text is
// never resolved as a name; one that is not a dotted address fails with
// SOCKERR_ADDRNOTAVAIL.
bool SocketConnect(SocketHandle s, const char* address, uint16_t port, int timeoutMs = kConnectTimeoutMs);
void SocketClose(SocketHandle s);

// Waits up to timeoutMs (0 = just look) for the socket to become readable or
// writable. 1 ready, 0 not ready, -1 error. A closed or failed connection
// counts as ready so the following receive or send reports it.
int SocketWaitFor(SocketHandle s, SocketWait what, int timeoutMs);
// One send of what fits now, without waiting: bytes sent (possibly fewer
// than size, 0 when nothing fits) or -1.
long SocketSend(SocketHandle s, const void* data, size_t size);
// One receive: bytes received, 0 when the peer closed, -1 on error.
long SocketRecv(SocketHandle s, void* buffer, size_t size);

// The error of the calling thread's last failed socket call.
int SocketLastError();
void SocketSetLastError(int error);
// The system's description of an error number, or "" when it has none.
std::string SocketErrorText(int error);
// The socket error number for a system errno value.
int SocketErrorFromErrno(int err);

}  // namespace platform
