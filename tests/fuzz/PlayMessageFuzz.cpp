// Fuzz target: the messages the play screen's poll handles itself (command
// frames, a player leaving, the host slot, the leave answer). The first byte
// picks the id, the rest is the payload; the frames' records then run
// through the dispatcher on an empty world. Nothing may be read past the
// bytes, and no slot outside 0..11 may be touched.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "commands/GameCommandManager.h"
#include "net/ClientSession.h"
#include "net/NetPacket.h"
#include "tests/fuzz/FuzzSupport.h"
#include "screens/game/PlayScreen.h"
#include "world/WorldObjectManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const uint16_t kIds[] = {1015, 1022, 1023, 1066, 3008};
    const NetPacket packet = fuzz::PacketFromInput(kIds, std::size(kIds), data, size);
    CClientSession session;
    g_pClientSession = &session;
    CWorldObjectManager world;
    world.online = 1;
    world.gameMode = 0;
    for (bool& occupied : world.slotOccupied) occupied = true;
    CGameCommandManager commands;
    std::array<int32_t, CGameCommandManager::kSlots> teams{};
    commands.BeginSession(1, &world.gameClock, 0, 0, teams);
    {
        CPlayScreen screen;
        screen.HandlePlayMessage(packet);
        screen.DispatchGameCommands(0.0f);
    }
    g_pClientSession = nullptr;
    return 0;
}
