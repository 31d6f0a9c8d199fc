#include "net/Framing.h"

#include <array>
#include <string>

#include "net/ByteWriter.h"
#include "net/MessageSizeTable.h"
#include "net/NetLog.h"
#include "platform/Clock.h"

namespace {

// Milliseconds left of a time-out that began at start; 0 once it has passed.
int TimeLeft(uint32_t start, uint32_t timeoutMs) {
    uint32_t elapsed = platform::TimeGetTime() - start;
    return elapsed >= timeoutMs ? 0 : static_cast<int>(timeoutMs - elapsed);
}

// Reads until size bytes are in. Both receive routines share it; they differ
// only in how they number their failures.
enum class ReadOutcome { Done, PollError, TimedOut, SocketError, Closed };

ReadOutcome ReadAll(platform::SocketHandle socket, uint8_t* buffer, int size, uint32_t start, uint32_t timeoutMs) {
    int got = 0;
    bool ready = true;  // the caller's look found data waiting
    while (got < size) {
        if (!ready) {
            int left = TimeLeft(start, timeoutMs);
            if (left == 0) return ReadOutcome::TimedOut;
            int w = platform::SocketWaitFor(socket, platform::SOCKET_READABLE, left);
            if (w < 0) return ReadOutcome::PollError;
            if (w == 0) return ReadOutcome::TimedOut;
        }
        long n = platform::SocketRecv(socket, buffer + got, static_cast<size_t>(size - got));
        if (n < 0) return ReadOutcome::SocketError;
        if (n == 0) {
            platform::SocketSetLastError(platform::SOCKERR_CONNRESET);
            return ReadOutcome::Closed;
        }
        got += static_cast<int>(n);
        ready = false;
    }
    return ReadOutcome::Done;
}

}  // namespace

int SendFrame(int length, const void* data, platform::SocketHandle socket, uint16_t id, uint32_t timeoutMs) {
    if (length < 0 || length > kMaxPayload || (length > 0 && !data)) {
        platform::SocketSetLastError(platform::SOCKERR_MSGSIZE);
        return -1;
    }
    std::array<uint8_t, kMaxPacketSize> packet{};
    CByteWriter w(packet);
    w.WriteU16(id);
    w.WriteU16(static_cast<uint16_t>(length));
    w.WriteBytes(data, static_cast<size_t>(length));
    const size_t total = w.Position();

    const uint32_t start = platform::TimeGetTime();
    size_t sent = 0;
    while (sent < total) {
        int left = TimeLeft(start, timeoutMs);
        if (left == 0) return -2;
        int ready = platform::SocketWaitFor(socket, platform::SOCKET_WRITABLE, left);
        if (ready < 0) return -1;
        if (ready == 0) return -2;
        // A send may take only part of the packet; the rest follows in the
        // same time-out rather than being lost.
        long n = platform::SocketSend(socket, packet.data() + sent, total - sent);
        if (n < 0) return -1;
        sent += static_cast<size_t>(n);
    }
    return 0;
}

namespace {

// What each receive routine calls its failures.
struct ReadCodes {
    int pollError, timedOut, socketError, closed;
};

int Receive(platform::SocketHandle socket, uint8_t* buffer, int size, uint32_t timeoutMs, const ReadCodes& codes) {
    int ready = platform::SocketWaitFor(socket, platform::SOCKET_READABLE, 0);
    if (ready < 0) return codes.pollError;
    if (ready == 0) return 0;
    switch (ReadAll(socket, buffer, size, platform::TimeGetTime(), timeoutMs)) {
        case ReadOutcome::Done:
            return size;
        case ReadOutcome::PollError:
            return codes.pollError;
        case ReadOutcome::TimedOut:
            return codes.timedOut;
        case ReadOutcome::SocketError:
            return codes.socketError;
        case ReadOutcome::Closed:
            return codes.closed;
    }
    return codes.pollError;
}

}  // namespace

int RecvBytes(platform::SocketHandle socket, uint8_t* buffer, int size, uint32_t timeoutMs) {
    return Receive(socket, buffer, size, timeoutMs, {-1, -2, -4, -5});
}

int RecvExact(platform::SocketHandle socket, uint8_t* buffer, int size, uint32_t timeoutMs) {
    if (size < 0) return -5;
    return Receive(socket, buffer, size, timeoutMs, {-1, -2, -3, -4});
}

int RecvFrame(platform::SocketHandle socket, NetPacket& packet, uint32_t timeoutMs) {
    packet.id = 0;
    packet.length = 0;
    uint8_t header[kPacketHeaderSize];
    int r = RecvBytes(socket, header, kPacketHeaderSize, timeoutMs);
    if (r <= 0) return r;
    CByteReader h(header, sizeof(header));
    const uint16_t id = h.ReadU16();
    const uint16_t length = h.ReadU16();
    if (length > kMaxPayload) {
        // No packet of the protocol is that long: the stream is out of step.
        platform::SocketSetLastError(platform::SOCKERR_CONNRESET);
        return FRAME_CLOSED;
    }

    int result = kPacketHeaderSize;
    if (length > 0) {
        const uint32_t start = platform::TimeGetTime();
        int left = TimeLeft(start, timeoutMs);
        if (left == 0) return FRAME_TIMEOUT;
        int w = platform::SocketWaitFor(socket, platform::SOCKET_READABLE, left);
        if (w < 0) return FRAME_POLL_ERROR;
        if (w == 0) return FRAME_TIMEOUT;
        r = RecvExact(socket, packet.payload.data(), length, static_cast<uint32_t>(TimeLeft(start, timeoutMs)));
        // The payload routine numbers its failures its own way; callers see
        // one numbering, so a close inside a payload is a closed connection.
        switch (r) {
            case 0:
            case -2:
                return FRAME_TIMEOUT;
            case -1:
                return FRAME_POLL_ERROR;
            case -3:
                return FRAME_SOCKET_ERROR;
            case -4:
            case -5:
                return FRAME_CLOSED;
            default:
                break;
        }
        result = r;
    }
    // A packet no handler knows is dropped whole; the stream stays in step.
    if (!IsAcceptedPacket(id, length)) {
        NetLog("dropped message " + std::to_string(id) + " (" + std::to_string(length) + " bytes)");
        return 0;
    }
    packet.id = id;
    packet.length = length;
    return result;
}
