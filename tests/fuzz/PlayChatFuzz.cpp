// Fuzz target: CMD_CHAT records (15) as the dispatcher runs them, whatever
// their sender slot, audience flag, text field and colour. The input is a
// run of the records' fields after type and size (134 bytes each). Players
// of both teams, an operator and a blocked player send; the word filter has
// one word. Every line shown names a real sender or none, carries at most
// 127 bytes of the record's text, and the match keeps at most 100 lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "commands/CommandRecords.h"
#include "commands/GameCommandManager.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "screens/game/PlayScreen.h"
#include "world/WorldObjectManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kFields = 134;
    CClientSession session;
    session.nickname = "Me";
    const char* names[] = {"Me", "Ann", "[GM]Ops", "Pest", "Bob", "Cy"};
    for (size_t s = 0; s < CClientSession::kPlayerSlots; ++s) session.slots[s].nickname = names[s % 6];
    std::array<uint8_t, CCommunityLists::kBlockListBytes> blocked{};
    std::memcpy(blocked.data(), "Pest", 4);
    session.community.SetBlockList(blocked.data(), blocked.size());
    session.words.Load({"darn"}, {"(nice)"});
    g_pClientSession = &session;
    CWorldObjectManager world;
    world.gameMode = 1;
    world.localSlot = 0;
    for (int s = 0; s < CClientSession::kPlayerSlots; ++s) world.ownerTeam[s] = s < 6 ? 0 : 1;
    CGameCommandManager commands;
    std::array<int32_t, CGameCommandManager::kSlots> teams{};
    commands.BeginSession(0, &world.gameClock, 0, 0, teams);
    {
        CPlayScreen screen;
        for (size_t at = 0; size - at >= kFields; at += kFields) {
            CGameCommand* r = commands.CreateCommand(CMD_CHAT);
            if (!r) break;
            std::memcpy(r->Bytes() + 2, data + at, kFields);
            commands.QueueCommand(r);
            // The pools are small: each record runs before the next is made.
            screen.DispatchGameCommands(0.0f);
        }
        if (screen.PlayChatLines().size() > kChatListCap) __builtin_trap();
        for (const std::string& line : screen.PlayChatLines()) {
            if (line.find('\0') != std::string::npos) __builtin_trap();
            const size_t colon = line.find(" : ");
            const size_t text = colon == std::string::npos ? 0 : colon + 3;
            if (line.size() - text > kMaxChatText) __builtin_trap();
        }
    }
    g_pClientSession = nullptr;
    return 0;
}
