// The lobby's wire formats: the requests it sends (entry, room list, chat,
// making and joining rooms, quitting) built field by field, and the answers it
// reads (entry result with the player record, room list page, lobby player
// list, chat line) taken apart with every text bounded to its field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The client version every room request carries: the float 1.00441 by its bits.
constexpr uint32_t kClientVersionBits = 0x3F809082u;

constexpr size_t kAccountIdField = 51;
constexpr size_t kRoomTitleField = 31;
constexpr size_t kRoomPasswordField = 13;
// Edit limits in bytes.
constexpr size_t kRoomTitleMax = 30;
constexpr size_t kRoomPasswordMax = 12;

constexpr size_t kLobbyEnterSize = 70;
constexpr size_t kRoomListRequestSize = 4;
constexpr size_t kKeepAliveSize = 2;
constexpr size_t kLobbyQuitSize = kAccountIdField;
constexpr size_t kMakeRoomSize = 58;
constexpr size_t kJoinRoomSize = 23;
constexpr size_t kQuickJoinSize = 16;
// 1031, 1033 and 1067: four zero bytes.
constexpr size_t kLobbyNoticeSize = 4;

constexpr size_t kPlayerRecordSize = 451;
constexpr size_t kLobbyEnterResultSize = 2 + kPlayerRecordSize;
constexpr size_t kRoomRecordSize = 51;
constexpr int kRoomsPerPage = 10;
constexpr size_t kRoomListSize = kRoomRecordSize * kRoomsPerPage;
constexpr int kLobbyUsersShown = 30;
constexpr size_t kLobbyUserListSize = 4 + 17 * kLobbyUsersShown;
// Room-list pages: 0..kLastRoomPage ("%d/99").
constexpr int kLastRoomPage = 98;

enum RoomListKind : uint16_t { ROOM_LIST_ALL = 0, ROOM_LIST_WAITING = 1 };

// The player record of the lobby entry answer, with the fields the lobby
// screens read and write at their offsets.
struct PlayerRecord {
    static constexpr size_t kGuildNameAt = 2;
    static constexpr size_t kNicknameAt = 19;
    static constexpr size_t kTutorialAt = 70;
    static constexpr size_t kCraAt = 71;
    static constexpr size_t kGuildNumberAt = 85;
    static constexpr size_t kGuildMasterAt = 89;
    static constexpr size_t kGuildStateAt = 90;

    std::array<uint8_t, kPlayerRecordSize> bytes{};

    std::string GuildName() const;
    std::string Nickname() const;
    uint8_t TutorialDone() const { return bytes[kTutorialAt]; }
    int64_t Cra() const;
    void SetCra(int64_t cra);
    uint32_t GuildNumber() const;
    uint8_t GuildMaster() const { return bytes[kGuildMasterAt]; }
    uint8_t GuildState() const { return bytes[kGuildStateAt]; }
};

struct LobbyEnterResult {
    uint8_t result = 0;  // 1 accepted
    uint8_t reason = 0;  // the refusal's reason, or a notice code when accepted
    PlayerRecord record;
};
// 0 when the payload is too short for the record.
int ReadLobbyEnterResult(const uint8_t* payload, size_t size, LobbyEnterResult* out);
// The notice code of an accepted entry that a later screen shows: 58..67
// except 65; other values carry no notice.
bool IsPendingLobbyNotice(uint8_t code);

struct RoomListRecord {
    uint16_t number = 0;
    uint16_t state = 0;  // 0 empty slot, 1 waiting, 2 or more playing
    std::string title;   // at most 30 bytes
    uint16_t players = 0;
    uint16_t capacity = 0;
    int32_t lowestRank = 0;
    int32_t highestRank = 0;
    uint8_t password = 0;  // 1 locked
    uint8_t mode = 0;      // 0 or 1; other values show no icon
    uint8_t randomTeams = 0;
};
using RoomPage = std::array<RoomListRecord, kRoomsPerPage>;
// 0 when the payload holds fewer than ten records.
int ReadRoomList(const uint8_t* payload, size_t size, RoomPage* out);

struct LobbyUserList {
    uint16_t count = 0;               // players in the lobby (may exceed the names sent)
    std::vector<std::string> names;   // the non-empty nicknames, in order
};
int ReadLobbyUserList(const uint8_t* payload, size_t size, LobbyUserList* out);

// 1017: the sender (bounded to its field) and the text up to its NUL or the
// payload's end. 0 when the payload ends inside the sender.
int ReadLobbyChat(const uint8_t* payload, size_t size, std::string* sender, std::string* text);

// Requests; each fills the buffer and gives the payload's length (0 when the
// buffer is too small).
size_t WriteLobbyEnter(uint8_t* out, size_t capacity, std::string_view accountId, std::string_view nickname);
size_t WriteRoomListRequest(uint8_t* out, size_t capacity, uint16_t kind, uint16_t page);
size_t WriteKeepAlive(uint8_t* out, size_t capacity);
size_t WriteLobbyQuit(uint8_t* out, size_t capacity, std::string_view accountId);
// The sender's nickname field, then the text with its NUL.
size_t WriteLobbyChat(uint8_t* out, size_t capacity, std::string_view nickname, std::string_view text);

struct MakeRoomRequest {
    std::string title;
    std::string password;
    uint16_t lowestRank = 1;
    uint16_t highestRank = 100;
    uint32_t mapSum = 0;
    uint8_t mode = 0;
    uint8_t randomTeams = 0;  // sent only in mode 0
};
size_t WriteMakeRoom(uint8_t* out, size_t capacity, const MakeRoomRequest& request);
// password empty for a room without one.
size_t WriteJoinRoom(uint8_t* out, size_t capacity, uint16_t room, std::string_view password, uint32_t mapSum);
// nearMyRank: the level-limit flag.
size_t WriteQuickJoin(uint8_t* out, size_t capacity, bool nearMyRank, uint32_t mapSum, uint8_t mode,
                      uint8_t randomTeams);
