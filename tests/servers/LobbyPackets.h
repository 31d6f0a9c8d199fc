// The lobby answers a fake server sends, built field by field: the entry
// answer with its player record, a room-list page, the lobby player list and
// a relayed chat line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/LobbyMessages.h"

struct LobbyPlayerSpec {
    std::string nickname = "Hero";
    std::string guildName;
    uint8_t tutorialDone = 1;
    int64_t cra = 0;
    uint32_t guildNumber = 0;
    uint8_t guildMaster = 0;
    uint8_t guildState = 0;
};

// 3005: result, reason (a notice code when accepted), the player record.
std::vector<uint8_t> LobbyEnterAnswer(uint8_t result, uint8_t reason, const LobbyPlayerSpec& player = {});
// 1006: up to ten rooms; the rest of the page is empty slots.
std::vector<uint8_t> RoomListPayload(const std::vector<RoomListRecord>& rooms);
// The 51 bytes of one room; a title of 31 bytes or more fills the field with no NUL.
void WriteRoomListRecord(uint8_t* at, const RoomListRecord& room);
// 3039: result 1, the count, up to thirty names.
std::vector<uint8_t> LobbyUserListPayload(uint16_t count, const std::vector<std::string>& names);
// 1017 as the server relays it.
std::vector<uint8_t> LobbyChatPayload(const std::string& sender, const std::string& text);
