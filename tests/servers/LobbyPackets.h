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

// The community tables as the server sends them: the friend list (15 x 22:
// name, state), the blocked list (15 x 17) and the guild roster (36 x 22:
// name, online flag, the member's number at 18).
struct FriendSpec {
    std::string name;
    uint8_t state = 0;
};
struct RosterSpec {
    std::string name;
    uint8_t online = 0;
    uint32_t number = 0;
};
std::vector<uint8_t> FriendListBytes(const std::vector<FriendSpec>& friends);
std::vector<uint8_t> BlockListBytes(const std::vector<std::string>& names);
std::vector<uint8_t> GuildRosterBytes(const std::vector<RosterSpec>& members);
// A community answer: result, reason, then the body.
std::vector<uint8_t> CommunityAnswer(uint8_t result, int8_t reason, const std::vector<uint8_t>& body = {});
// 3043/3044/3047/3048: the name at 2, the list after it.
std::vector<uint8_t> NamedListAnswer(uint8_t result, int8_t reason, const std::string& name,
                                     const std::vector<uint8_t>& list);
// 3027/3028 (28 bytes).
std::vector<uint8_t> GuildInfoPayload(uint8_t result, int8_t reason, uint32_t number, uint8_t state,
                                      const std::string& name, int32_t cra);
// 3036/3037: up to ten names of 17 bytes.
std::vector<uint8_t> NameListPayload(uint8_t result, const std::vector<std::string>& names);
// 3035: the 76-byte guild data block.
struct GuildDataBlock;
std::vector<uint8_t> GuildDataPayload(const GuildDataBlock& block);
// Guild "Clan" of master "Hero": 40 members over its limit of 38, 1234 points, a notice.
GuildDataBlock SampleGuildData();
