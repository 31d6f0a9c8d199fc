// One outgoing or received frame of command records: the payload of
// PK_GAME_COMMANDS (1015), sent with its used bytes as the payload length.
//
//   +0 u8  record count (0..255)
//   +1 u8  sender's player slot (written just before sending)
//   +2 i16 used bytes, header included (8 when empty, at most 2036)
//   +4 f32 the sender's match clock when the frame was sent
//   +8 ... the records back to back
#pragma once

#include <cstdint>
#include <cstring>

#include "commands/CommandRecords.h"

class CommandFrame {
public:
    static constexpr uint16_t kCapacity = 2036;
    static constexpr uint16_t kHeaderSize = 8;
    static constexpr uint8_t kMaxRecords = 255;

    CommandFrame() { Reset(); }

    void Reset() {
        std::memset(m_bytes, 0, kHeaderSize);
        SetUsed(kHeaderSize);
    }

    uint8_t Count() const { return m_bytes[0]; }
    uint8_t Sender() const { return m_bytes[1]; }
    uint16_t Used() const { return LoadU16(m_bytes + 2); }
    float Time() const { return LoadF32(m_bytes + 4); }
    bool Empty() const { return Count() == 0; }

    // Stamps the sender's slot and clock before the frame goes out.
    void Seal(uint8_t slot, float clock) {
        m_bytes[1] = slot;
        StoreF32(m_bytes + 4, clock);
    }

    // Room for a record of size bytes: within the capacity and the count.
    bool Fits(uint32_t size) const { return Used() + size <= kCapacity && Count() < kMaxRecords; }
    // Appends a record head of type and size; the caller writes its fields.
    // Fits must have said yes.
    CGameCommand* Reserve(uint8_t type, uint8_t size) {
        uint8_t* at = m_bytes + Used();
        // A constant span compiles to a few stores; the slack behind the
        // capacity keeps it inside the buffer at the frame's end.
        std::memset(at, 0, kZeroSpan);
        if (size > kZeroSpan) std::memset(at + kZeroSpan, 0, size - kZeroSpan);
        at[0] = type;
        at[1] = size;
        m_bytes[0] = static_cast<uint8_t>(Count() + 1);
        SetUsed(static_cast<uint16_t>(Used() + size));
        return reinterpret_cast<CGameCommand*>(at);
    }

    const uint8_t* Data() const { return m_bytes; }
    uint8_t* Data() { return m_bytes; }

private:
    void SetUsed(uint16_t used) { StoreU16(m_bytes + 2, used); }

    static constexpr size_t kZeroSpan = 24;
    uint8_t m_bytes[kCapacity + kZeroSpan];
};
