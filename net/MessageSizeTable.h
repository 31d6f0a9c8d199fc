// The message size table: for every message id of the protocol whether it is
// defined, whether its payload length varies, and its payload size (the
// maximum for a variable one). The same list fills the table at start-up,
// validates every received packet and drives the tests and the fake server.
#pragma once

#include <cstdint>
#include <span>

struct MessageSizeEntry {
    uint8_t defined = 0;
    uint8_t variable = 0;
    uint16_t size = 0;
};

// One row of the protocol's list.
struct MessageSizeSpec {
    uint16_t id;
    uint8_t variable;
    uint16_t size;
};

// Ids 0..3999 have an entry.
constexpr int kMessageIdCount = 4000;

// The protocol's 202 ids in list order.
std::span<const MessageSizeSpec> ProtocolMessageSizes();

// Clears every entry and registers the protocol's list (done by NetStartup).
void ResetMessageSizeTable();
void RegisterMessageSize(uint16_t id, uint8_t variable, uint16_t size);
// The entry of an id; ids beyond the table read as not defined.
MessageSizeEntry GetMessageSize(uint16_t id);
int CountDefinedMessageSizes();

// Whether a received packet may reach the handlers: the id is defined and the
// payload fits a packet (a variable id: at most its maximum). A fixed payload
// of another length is accepted too: a server may answer with a bare result
// code, and handlers read through the bounds-checked reader, ignoring extra
// bytes and closing the connection when a field they need is missing.
bool IsAcceptedPacket(uint16_t id, uint16_t length);
