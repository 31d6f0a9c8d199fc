// The community requests the lobby sends (guild, friend and blocked-user
// questions) and the server's answers to them, taken apart field by field.
// Every text of an answer is cut at its own field, so a name without its NUL
// never runs into the next one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/ChatInput.h"

// What a request may carry: the own nickname, the other party's name (a
// guild or a player) and the player's guild number.
struct CommunityRequestFields {
    std::string own;
    std::string name;
    uint32_t guildNumber = 0;
};

// The payload of a community request into out: its length, or 0 for an id
// that is no community request or a buffer too small.
size_t WriteCommunityRequest(uint16_t id, const CommunityRequestFields& fields, uint8_t* out, size_t capacity);
constexpr size_t kCommunityRequestMax = 2 * kNicknameField + 4;

// Every answer starts with a result (1 success) and a reason.
struct CommunityAnswerHead {
    uint8_t result = 0;
    int8_t reason = 0;
};
// 0 when the payload is shorter than the two bytes.
int ReadCommunityAnswerHead(const uint8_t* payload, size_t size, CommunityAnswerHead* out);

// 3027 and 3028: the player's guild as the server now knows it.
struct GuildInfoAnswer {
    uint32_t guildNumber = 0;
    uint8_t guildState = 0;
    std::string guildName;
    int32_t cra = 0;
};
constexpr size_t kGuildInfoAnswerSize = 28;
int ReadGuildInfoAnswer(const uint8_t* payload, size_t size, GuildInfoAnswer* out);

// A guild state the server may send: 0 none, 1 applied, 2 member; any
// other value counts as none.
uint8_t KnownGuildState(uint8_t state);

// 3036 and 3037: ten names of a nickname field from byte 2.
constexpr size_t kAnswerNames = 10;
using AnswerNames = std::array<std::string, kAnswerNames>;
constexpr size_t kNameListAnswerSize = 2 + kAnswerNames * kNicknameField;
int ReadNameListAnswer(const uint8_t* payload, size_t size, AnswerNames* out);

// 3038: the new guild master at byte 2. 3043/3044/3047/3048: the user
// added or removed at byte 2.
int ReadAnswerName(const uint8_t* payload, size_t size, std::string* out);

// The 76-byte guild data block of 3035 (from payload byte 2).
struct GuildDataBlock {
    static constexpr size_t kBytes = 76;
    std::string guildName;    // at 4, 17 bytes
    std::string masterName;   // at 21, 17 bytes
    uint16_t memberLimit = 0; // at 38
    uint16_t memberCount = 0; // at 40
    uint32_t points = 0;      // at 42
    std::string notice;       // at 46, to the end of the block
    std::array<uint8_t, kBytes> bytes{};
};
int ReadGuildDataBlock(const uint8_t* block, size_t size, GuildDataBlock* out);
// The block as a server sends it; the texts are cut at their fields.
void WriteGuildDataBlock(const GuildDataBlock& data, uint8_t* out);
