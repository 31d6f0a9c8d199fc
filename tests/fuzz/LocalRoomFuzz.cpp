// Fuzz target: the local test server's room, fed what a client might send.
// The input is a run of records: one byte picks the id, one the payload's
// length, then the payload. Every answer must be a packet the client's size
// table accepts.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/MessageSizeTable.h"
#include "net/NetPacket.h"
#include "tests/servers/LocalRoom.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool tableReady = (ResetMessageSizeTable(), true);
    (void)tableReady;
    LocalRoomContent content;
    content.mapKeys = {1, 2};
    content.heroes[0] = {0x1234};
    content.heroes[1] = {0x5678, 0x9abc};
    CLocalRoom room(content);
    room.SetNickname("fuzz");
    const std::vector<uint16_t>& ids = CLocalRoom::Ids();
    size_t at = 0;
    while (at + 2 <= size) {
        FakePacket request;
        request.id = ids[data[at] % ids.size()];
        const size_t length = data[at + 1] <= size - at - 2 ? data[at + 1] : size - at - 2;
        request.payload.assign(data + at + 2, data + at + 2 + length);
        at += 2 + length;
        for (const FakePacket& answer : room.Answer(request)) {
            const MessageSizeEntry entry = GetMessageSize(answer.id);
            if (!entry.defined || answer.payload.size() > static_cast<size_t>(kMaxPayload)) __builtin_trap();
            if (!entry.variable && answer.payload.size() != entry.size) __builtin_trap();
        }
        if (room.InRoom() && (room.OwnSlot() < 0 || room.OwnSlot() >= 12)) __builtin_trap();
    }
    return 0;
}
