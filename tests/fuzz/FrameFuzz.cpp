// Frames off the socket: the input is what the server sends, received frame
// by frame over a socket pair and each payload read as its handler reads.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "net/Framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return 0;
    // Small inputs fit the socket's buffer whole; the rest is cut.
    size_t sent = 0;
    while (sent < size && sent < (64u << 10)) {
        ssize_t n = ::send(fds[1], data + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    ::close(fds[1]);
    NetPacket packet;
    for (int i = 0; i < 4096; ++i) {
        int got = RecvFrame(fds[0], packet, 100);
        if (got < 0) break;
        if (got == 0) continue;  // a dropped packet; the stream goes on
        CByteReader r = packet.Reader();
        r.ReadU16();
        r.ReadU32();
        char text[32];
        r.ReadText(text, sizeof(text), 21);
        while (r.Ok() && r.Remaining() > 0) r.ReadU8();
    }
    ::close(fds[0]);
    return 0;
}
