// Fuzz target: the room updates the waiting room and the market share, and
// the room chat line's reader. The first byte picks the id, the second the
// own player's slot in a practice room; nothing is read past the payload.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "net/ClientSession.h"
#include "net/NetPacket.h"
#include "net/RoomSenders.h"
#include "net/SharedRoomPackets.h"
#include "ui/Screen.h"

namespace {

struct CountingRoom : IRoomPacketScreen {
    int calls = 0;
    void OnRoomRecord() override { ++calls; }
    void OnSlotStates() override { ++calls; }
    void OnOwnSlotRemoved() override { ++calls; }
    void OnMapChanged() override { ++calls; }
    void OnGuardianChanged() override { ++calls; }
};

constexpr uint16_t kIds[] = {1007, 1008, 1018, 1022, 3011, 3017, 1021};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    CClientSession session;
    session.nickname = "me";
    MemberEntry own;
    own.SetNickname("me");
    BuildPracticeRoom(session.room, data[1] % 12, own, 1, 1);
    g_pClientSession = &session;
    NetPacket packet;
    packet.id = kIds[data[0] % (sizeof kIds / sizeof kIds[0])];
    packet.length = static_cast<uint16_t>(size - 2 > static_cast<size_t>(kMaxPayload) ? kMaxPayload : size - 2);
    std::memcpy(packet.payload.data(), data + 2, packet.length);
    CScreen screen;
    CountingRoom room;
    const int first = HandleSharedRoomPackets(screen, packet, nullptr, &room);
    const int market = HandleSharedRoomPackets(screen, packet, nullptr, nullptr);
    // The room chat line's reader, on the same bytes.
    RoomChatLine line;
    if (ReadRoomChatLine(packet, &line) && (line.nickname.size() > 16 || line.text.size() > packet.length))
        __builtin_trap();
    g_pClientSession = nullptr;
    if (first != market || (first != 0 && first != 1)) __builtin_trap();
    return 0;
}
