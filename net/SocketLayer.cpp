#include "net/SocketLayer.h"

#include "net/MessageSizeTable.h"

namespace {
// Kept as the start-up asked for it; nothing reads it.
int g_startupValue = 0;
}  // namespace

int NetStartup(int value) {
    if (!platform::SocketStartup()) return -1;
    g_startupValue = value;
    ResetMessageSizeTable();
    return 0;
}

void NetCleanup() { platform::SocketCleanup(); }

int NetLastError() { return platform::SocketLastError(); }

int OpenSocket(platform::SocketHandle& handle, uint16_t port, int kind) {
    if (kind != platform::SOCKET_STREAM && kind != platform::SOCKET_DATAGRAM) {
        handle = platform::kInvalidSocket;
        platform::SocketSetLastError(platform::SOCKERR_INVAL);
        return -1;
    }
    handle = platform::SocketOpen(static_cast<platform::SocketKind>(kind));
    if (handle == platform::kInvalidSocket) return -1;
    if (port != 0 && !platform::SocketBind(handle, port)) {
        CloseSocket(handle);
        return -1;
    }
    return 0;
}

int ConnectTo(platform::SocketHandle handle, const char* address, uint16_t port) {
    return platform::SocketConnect(handle, address, port) ? 0 : -1;
}

void CloseSocket(platform::SocketHandle& handle) {
    if (handle == platform::kInvalidSocket) return;
    platform::SocketClose(handle);
    handle = platform::kInvalidSocket;
}
