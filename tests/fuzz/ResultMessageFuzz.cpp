// Fuzz target: the messages the result screen handles itself (the match
// result, the room record and its slot entries, a player removed, the
// reward answer, the room-number answer). The first byte picks the id, the
// rest is the payload. Nothing may be read past the bytes, and no card row
// outside the table may be written.
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "net/ClientSession.h"
#include "net/NetPacket.h"
#include "screens/game/ResultScreen.h"
#include "tests/fuzz/FuzzSupport.h"
#include "world/WorldObjectManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const uint16_t kIds[] = {1014, 1007, 1008, 1018, 1070, 3017};
    const NetPacket packet = fuzz::PacketFromInput(kIds, std::size(kIds), data, size);
    CClientSession session;
    g_pClientSession = &session;
    CWorldObjectManager world;
    {
        CResultScreen screen(1);
        screen.HandleResultMessage(packet);
        screen.FillScores(1);
    }
    g_pClientSession = nullptr;
    return 0;
}
