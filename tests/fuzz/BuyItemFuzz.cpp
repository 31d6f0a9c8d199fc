// Fuzz target: CMD_BUY_ITEM (13) records as the dispatcher runs them. The
// input is a run of records, each the ten field bytes after type and size;
// the registry holds two ITEM records and every player's storage starts with
// items in a few places. Whatever the fields, no storage holds more than its
// twelve places, no item sits in two places, each storage's count matches
// the items it holds and no gold goes below 0.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>

#include "commands/GameCommandManager.h"
#include "engine/core/NameHash.h"
#include "net/ClientSession.h"
#include "screens/game/PlayScreen.h"
#include "world/GameDataRegistry.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/WorldObjectManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CGameDataRegistry registry;
    for (const char* name : {"Potion", "Sword"}) {
        CItemData& item = registry.AddNamed(std::make_unique<CItemData>(), name);
        item.itemWord[1] = 7;
    }
    CClientSession session;
    g_pClientSession = &session;
    CWorldObjectManager world;
    world.gameMode = 1;
    world.localSlot = 0;
    CGameCommandManager commands;
    std::array<int32_t, CGameCommandManager::kSlots> teams{};
    commands.BeginSession(0, &world.gameClock, 0, 0, teams);
    for (int s = 0; s < CClientSession::kPlayerSlots; ++s) {
        CPlayerSlot& slot = session.slots[static_cast<size_t>(s)];
        slot.gold = 20;
        for (int p = 0; p < CPlayerSlot::kItems; p += 2) {
            CInventoryItem* item = world.CreateInventoryItem(nullptr, 0, 1);
            if (!item) continue;
            slot.items[static_cast<size_t>(p)] = item;
            ++slot.itemCount;
        }
    }
    {
        CPlayScreen screen;
        constexpr size_t kFields = 10;
        for (size_t at = 0; size - at >= kFields; at += kFields) {
            CGameCommand* r = commands.CreateCommand(CMD_BUY_ITEM);
            if (!r) break;
            std::memcpy(r->Bytes() + 2, data + at, kFields);
            commands.QueueCommand(r);
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
            if (count != slot.itemCount || slot.gold < 0) __builtin_trap();
        }
        for (CPlayerSlot& slot : session.slots) slot.ReleaseItems();
    }
    g_pClientSession = nullptr;
    return 0;
}
