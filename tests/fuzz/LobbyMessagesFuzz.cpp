// Fuzz target: the lobby's answers (room list page, lobby player list, chat
// line, entry result). The first byte picks the reader; whatever the rest,
// nothing is read past it and every text stays within its field.
#include <cstddef>
#include <cstdint>

#include "net/LobbyMessages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t kind = data[0];
    ++data;
    --size;
    switch (kind % 4) {
    case 0: {
        RoomPage rooms;
        if (ReadRoomList(data, size, &rooms) != (size >= kRoomListSize ? 1 : 0)) __builtin_trap();
        for (const RoomListRecord& room : rooms)
            if (room.title.size() > kRoomTitleField) __builtin_trap();
        break;
    }
    case 1: {
        LobbyUserList users;
        if (ReadLobbyUserList(data, size, &users) != (size >= kLobbyUserListSize ? 1 : 0)) __builtin_trap();
        if (users.names.size() > static_cast<size_t>(kLobbyUsersShown)) __builtin_trap();
        for (const std::string& name : users.names)
            if (name.empty() || name.size() > 17) __builtin_trap();
        break;
    }
    case 2: {
        std::string sender, text;
        if (ReadLobbyChat(data, size, &sender, &text) != (size >= 17 ? 1 : 0)) __builtin_trap();
        if (sender.size() > 17 || text.size() + 17 > size + 17) __builtin_trap();
        break;
    }
    default: {
        LobbyEnterResult result;
        if (ReadLobbyEnterResult(data, size, &result) != (size >= kLobbyEnterResultSize ? 1 : 0)) __builtin_trap();
        if (result.record.Nickname().size() > 17) __builtin_trap();
        break;
    }
    }
    return 0;
}
