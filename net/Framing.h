// Packet framing on a bare socket: one packet is a 4-byte header (u16 message
// id, u16 payload length) and the payload, 2,048 bytes at most.
//
// There is no network thread. A send waits at most its time-out for the socket
// to take the bytes; a receive looks whether anything is waiting without
// waiting, and once a packet has begun waits at most its time-out for the
// rest. Every wait is a poll with the time still left, so no call blocks past
// its time-out.
//
// Results: a count of bytes (0 = nothing waiting) or a negative code:
//   SendFrame:  0 sent, -1 error (also a payload over 2,044 bytes), -2 time-out
//   RecvBytes and RecvFrame: -1 poll error, -2 time-out, -4 socket error,
//               -5 connection closed or broken
//   RecvExact:  -1 poll error, -2 time-out, -3 socket error, -4 peer closed,
//               -5 negative size
#pragma once

#include <cstdint>

#include "net/NetPacket.h"
#include "platform/Socket.h"

enum FrameResult : int {
    FRAME_POLL_ERROR = -1,
    FRAME_TIMEOUT = -2,
    FRAME_SOCKET_ERROR = -4,
    FRAME_CLOSED = -5,
};

int SendFrame(int length, const void* data, platform::SocketHandle socket, uint16_t id, uint32_t timeoutMs);
int RecvBytes(platform::SocketHandle socket, uint8_t* buffer, int size, uint32_t timeoutMs);
int RecvExact(platform::SocketHandle socket, uint8_t* buffer, int size, uint32_t timeoutMs);
// Receives one packet into packet (id 0 when nothing came): 4 for an empty
// payload, else the payload length, 0 when nothing was waiting or the packet
// was dropped (an id the protocol does not define, or a payload shorter than
// its fixed size), or a negative code. A header announcing more than 2,044
// payload bytes means the stream is broken: -5.
int RecvFrame(platform::SocketHandle socket, NetPacket& packet, uint32_t timeoutMs);
