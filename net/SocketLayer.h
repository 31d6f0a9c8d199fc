// The network library's socket functions: start-up with the message size
// table, and plain open, connect and close over the platform's sockets.
#pragma once

#include <cstdint>

#include "platform/Socket.h"

// Starts the socket layer and fills the message size table. 0 or -1.
int NetStartup(int value);
void NetCleanup();
// The platform's last socket error number.
int NetLastError();

// kind 1 = TCP stream, 2 = UDP datagram. With a port other than 0 the socket
// is bound to it on any address. 0 or -1 (handle = invalid).
int OpenSocket(platform::SocketHandle& handle, uint16_t port, int kind);
// Blocking connect to a dotted IPv4 address: 0 or -1.
int ConnectTo(platform::SocketHandle handle, const char* address, uint16_t port);
// Closes an open handle and marks it invalid; safe to call twice.
void CloseSocket(platform::SocketHandle& handle);
