// Fuzz target: the item-move (16) and item-slot (24) records of other
// players, as the dispatcher runs them. The input is a run of records, each
// a selector byte (even: a move, odd: a slot action) and the record's fields;
// every player's storage starts with items in a few places. Whatever the
// fields, no place outside a storage is touched, no item sits in two places
// and each storage's count matches the items it holds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>

#include "commands/GameCommandManager.h"
#include "net/ClientSession.h"
#include "screens/game/PlayScreen.h"
#include "world/InventoryItem.h"
#include "world/WorldObjectManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CClientSession session;
    g_pClientSession = &session;
    CWorldObjectManager world;
    world.gameMode = 1;
    world.localSlot = 0;
    CGameCommandManager commands;
    std::array<int32_t, CGameCommandManager::kSlots> teams{};
    commands.BeginSession(0, &world.gameClock, 0, 0, teams);
    for (int s = 0; s < CClientSession::kPlayerSlots; ++s)
        for (int p = 0; p < CPlayerSlot::kItems; p += 3) {
            CInventoryItem* item = world.CreateInventoryItem(nullptr, 0, 1);
            if (!item) continue;
            session.slots[static_cast<size_t>(s)].items[static_cast<size_t>(p)] = item;
            ++session.slots[static_cast<size_t>(s)].itemCount;
        }
    {
        CPlayScreen screen;
        size_t at = 0;
        while (at < size) {
            const bool move = (data[at] & 1) == 0;
            const size_t length = move ? 10 : 6;  // the fields after type and size
            if (size - at - 1 < length) break;
            CGameCommand* r = commands.CreateCommand(move ? CMD_MOVE_ITEM : CMD_ITEM_SLOT_ACTION);
            if (!r) break;
            std::memcpy(r->Bytes() + 2, data + at + 1, length);
            commands.QueueCommand(r);
            at += 1 + length;
        }
        screen.DispatchGameCommands(0.0f);
        std::set<const CInventoryItem*> seen;
        for (const CPlayerSlot& slot : session.slots) {
            uint32_t count = 0;
            for (const CInventoryItem* item : slot.items) {
                if (!item) continue;
                ++count;
                if (!seen.insert(item).second) __builtin_trap();
            }
            if (count != slot.itemCount) __builtin_trap();
        }
        for (CPlayerSlot& slot : session.slots) slot.ReleaseItems();
    }
    g_pClientSession = nullptr;
    return 0;
}
