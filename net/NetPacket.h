// One packet of the game server protocol as a screen holds it after receiving:
// the header's id and payload length, and the payload.
//
// Wire form (little-endian): u16 message id, u16 payload length, then the
// payload. A whole packet is at most 2,048 bytes, so a payload is at most 2,044.
#pragma once

#include <array>
#include <cstdint>

#include "net/ByteReader.h"

constexpr int kPacketHeaderSize = 4;
constexpr int kMaxPacketSize = 2048;
constexpr int kMaxPayload = kMaxPacketSize - kPacketHeaderSize;

struct NetPacket {
    uint16_t id = 0;      // 0 when nothing arrived
    uint16_t length = 0;  // payload bytes
    std::array<uint8_t, kMaxPayload> payload{};

    // Reads the payload's fields; never past the received length.
    CByteReader Reader() const { return CByteReader(payload.data(), length); }
};
